#include "game/sprite/TextLayout.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tests/game/sprite/FontFixture.h"

// Its own namespace: this file compiles in one batch with its neighbours.
namespace text_layout_test {

namespace {

using namespace sprite_testing;

// Advances of the tiny font: 'A' 3, 'B' 4, the space 2.
constexpr std::int32_t kA = 3;
constexpr std::int32_t kB = 4;

using Lines = std::vector<std::pair<std::int32_t, std::int32_t>>;

Lines linesOf(rt::ShortArray* breaks) {
    Lines lines;
    for (std::int32_t k = 0; k < rt::ShortArray::get(breaks, 0); ++k)
        lines.emplace_back(rt::ShortArray::get(breaks, 2 * k + 1), rt::ShortArray::get(breaks, 2 * k + 2));
    return lines;
}

struct BreakCase {
    const char* what;
    const char16_t* text;
    std::int32_t maxWidth;
    Lines lines;
};

TEST_F(FontTest, LinesBreakAtSpacesAndNewlines) {
    const std::int32_t word = kA + kB; // "AB"
    const BreakCase cases[] = {
        {"empty", u"", 10, {{0, 0}}},
        {"fits", u"AB AB", 100, {{5, word + kSpace + word}}},
        {"the next letter overflows", u"AB AB", word, {{3, word}, {5, word}}},
        {"just below the next letter", u"AB AB", word + kSpace + kA - 1, {{3, word}, {5, word}}},
        {"the space overflows", u"AB AB", word + 1, {{3, word}, {5, word}}},
        {"a newline", u"AB\nAB", 100, {{2, word}, {5, word}}},
        {"no break candidate survives a newline",
         u"A A\nABABAB",
         kA + kSpace + kA,
         {{3, kA + kSpace + kA}, {10, 3 * word}}},
        {"spaces at a break count in no width", u"AB   AB", word + 3 * kSpace + 1, {{5, word}, {7, word}}},
        {"spaces overflowing", u"AB   AB", word + 1, {{5, word}, {7, word}}},
        {"a word wider than the box stays whole", u"ABABAB AB", 5, {{7, 3 * word}, {9, word}}},
        {"bold glyphs are one wider", u"\\^AB AB", word + 2, {{5, word + 2}, {7, word + 2}}},
        {"bold is taken back with the word", u"AB \\^A\\^B", word + kSpace + kA, {{3, word}, {9, word + 1}}},
        {"codes take no room", u"A\x01\x02\\3B", 100, {{6, word}}},
        {"a trailing escape ends the text", u"AB\\", 100, {{3, word}}},
        {"a trailing glyph code ends the text", u"AB\x02", 100, {{3, word}}},
    };
    for (const BreakCase& c : cases) {
        font->m_bold = 0;
        EXPECT_EQ(linesOf(game::computeLineBreaks(font, str(c.text), c.maxWidth, 0)), c.lines) << c.what;
    }
}

TEST_F(FontTest, TheBreakBufferGrowsWithTheText) {
    // 120 lines: more than the first buffer holds.
    std::u16string text;
    for (int i = 0; i < 120; ++i)
        text += u"A\n";
    rt::ShortArray* breaks = game::computeLineBreaks(font, str(text), 100, 0);
    const Lines lines = linesOf(breaks);
    ASSERT_EQ(lines.size(), 121u);
    for (std::int32_t k = 0; k < 120; ++k)
        ASSERT_EQ(lines[k], std::make_pair(2 * k + 1, k == 0 ? kA : kA)) << k;
    EXPECT_EQ(lines.back(), std::make_pair(240, 0));
    EXPECT_EQ(game::computeLineBreaks(font, str(u"AB"), 100, 0), breaks) << "the grown buffer is kept";
}

TEST_F(FontTest, WrapTextJoinsTheLinesWithTheSeparator) {
    rt::ObjectArray* constants = rt::newObjectArray(rt::constants::tableLength());
    rt::ObjectArray::set(constants, rt::constants::kDefaultMessage, str(u""));
    rt::ObjectArray::set(constants, rt::constants::kLineSeparator, str(u"\n"));
    rt::getStaticClass().setConstantStrings(constants);
    const std::int32_t word = kA + kB;
    struct Case {
        const char16_t* text;
        std::int32_t maxWidth;
        const char16_t* wrapped;
    } const cases[] = {
        {u"AB AB", word, u"AB \nAB"},
        {u"AB\nAB", 100, u"AB\nAB"},
        {u"AB AB\nAB", word, u"AB \nAB\nAB"},
        {u"", 10, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::u16string(game::wrapText(font, str(c.text), c.maxWidth)->view()), c.wrapped);
}

// A box draws what drawString draws of each line at the line's own place.
struct BoxTest : FontTest {
    Canvas box{64, 64};
    Canvas expected{64, 64};
    const std::int32_t step = kGlyphRows + kLineGap;

    void line(const char16_t* text, std::int32_t x, std::int32_t y) {
        game::drawString(font, expected.graphics, str(text), nullptr, x, y, 0, false);
    }
    void expectSame() { EXPECT_EQ(picture(box.pixels(), 64), picture(expected.pixels(), 64)); }
};

TEST_F(BoxTest, CentredBoxesCentreEveryLineByItsOwnWidth) {
    rt::String* text = str(u"AB\nA\nBAB");
    rt::ShortArray* breaks = game::computeLineBreaks(font, text, 100, 0);
    game::drawTextBox(font, box.graphics, text, breaks, 32, 32, 0, -1, 3, -1);
    const std::int32_t top = 32 - (2 * step >> 1) - (kGlyphRows >> 1);
    line(u"AB", 32 - ((kA + kB) >> 1), top);
    line(u"A", 32 - (kA >> 1), top + step);
    line(u"BAB", 32 - ((kB + kA + kB) >> 1), top + 2 * step);
    expectSame();
    const game::SpriteStatics& s = game::spriteStatics();
    EXPECT_EQ(std::make_tuple(s.s_textStart, s.s_textEnd, s.s_textLimit), std::make_tuple(-1, -1, -1));
}

TEST_F(BoxTest, RightAndBottomAnchorsAndALineRange) {
    rt::String* text = str(u"A\nAB\nB\nBB");
    rt::ShortArray* breaks = game::computeLineBreaks(font, text, 100, 0);
    game::drawTextBox(font, box.graphics, text, breaks, 60, 60, 1, 2, 8 | 32, -1);
    line(u"AB", 60 - (kA + kB), 60 - step - kGlyphRows);
    line(u"B", 60 - kB, 60 - kGlyphRows);
    expectSame();
}

TEST_F(BoxTest, TheCharacterLimitCountsFromTheFirstLinesStart) {
    rt::String* text = str(u"AB\nAB\nABABAB\nA");
    rt::ShortArray* breaks = game::computeLineBreaks(font, text, 100, 0);
    game::drawTextBox(font, box.graphics, text, breaks, 2, 2, 2, -1, 0, 5);
    // Line 2 starts at its newline, the first of the five.
    line(u"ABAB", 2, 2);
    expectSame();

    Canvas none{64, 64};
    game::drawTextBox(font, none.graphics, text, breaks, 2, 2, 0, -1, 0, 0);
    EXPECT_EQ(none.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

TEST_F(BoxTest, LinesOutsideTheBreaksDrawNothingAndThePaletteComesBack) {
    rt::String* text = str(u"A\\2\nB");
    rt::ShortArray* breaks = game::computeLineBreaks(font, text, 100, 0);
    font->m_currentPalette = 1;
    for (std::int32_t first : {2, 9, -1})
        game::drawTextBox(font, box.graphics, text, breaks, 2, 2, first, -1, 0, -1);
    EXPECT_EQ(box.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    // The palette the first line selects carries to the second, and the
    // box's own palette comes back at the end.
    game::drawTextBox(font, box.graphics, text, breaks, 0, 0, 0, -1, 0, -1);
    EXPECT_EQ(box.at(0, 0), on565(kInks[1]));
    EXPECT_EQ(box.at(0, step), on565(kInks[2]));
    EXPECT_EQ(font->m_currentPalette, 1);

    // Entry 0 may claim more lines than the array holds.
    rt::ShortArray* lying = shortArray({40, 1, kA});
    Canvas clipped{64, 64};
    game::drawTextBox(font, clipped.graphics, text, lying, 0, 0, 0, -1, 0, -1);
    EXPECT_EQ(clipped.at(0, 0), on565(kInks[1]));
}

// The screens' text services, with the tiny font in every font slot and a
// few texts by id.
struct TextServicesTest : FontTest {
    TextServicesTest() {
        game::StartupStatics& startup = game::startupStatics();
        startup.s_fonts = rt::newObjectArray(6);
        startup.s_sprites = rt::newObjectArray(game::kSpriteCount);
        for (std::int32_t f = 0; f < 3; ++f)
            rt::ObjectArray::set(startup.s_fonts, f, font);
        rt::ObjectArray* texts = rt::newObjectArray(31);
        rt::ObjectArray::set(texts, 1, str(u"AB"));
        rt::ObjectArray::set(texts, 2, str(u"BAB\nA"));
        rt::ObjectArray::set(texts, 30, str(u"ABA"));
        game::textStatics().s_textCache = texts;
        game::textStatics().s_textCount = 31;
    }
    static rt::IntArray* ids(std::initializer_list<std::int32_t> values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        rt::Array::fill32(array, values);
        return array;
    }
};

TEST_F(TextServicesTest, ListsKeepEachTextsWidthAndRestartTheScroll) {
    game::TextListStatics& s = game::textListStatics();
    s.s_textScroll = 5;
    game::setTextLines(ids({1, 2}));
    EXPECT_EQ(ints(s.s_textLineWidths, 2), (std::vector<std::int32_t>{kA + kB, kB + kA + kB}));
    EXPECT_EQ(s.s_textScroll, 640);

    s.s_textScroll = 5;
    game::setTextLines(ids({}));
    EXPECT_EQ(s.s_textLineWidths->length(), 0);
    EXPECT_EQ(s.s_textScroll, 640);

    // A negative id names no text; without font 2 nothing is measured.
    game::setTextLines(ids({-1, 1}));
    EXPECT_EQ(ints(s.s_textLineWidths, 2), (std::vector<std::int32_t>{0, kA + kB}));
    rt::ObjectArray::set(game::startupStatics().s_fonts, 2, nullptr);
    game::setTextLines(ids({1}));
    EXPECT_EQ(ints(s.s_textLineWidths, 1), (std::vector<std::int32_t>{0}));
    rt::ObjectArray::set(game::startupStatics().s_fonts, 2, font);
    EXPECT_TRUE(log.lines().empty());

    rt::ObjectArray* rows = rt::newObjectArray(2);
    rt::ObjectArray::set(rows, 0, ids({2}));
    rt::ObjectArray::set(rows, 1, ids({30, 1}));
    game::setTextItems(rows);
    auto row = [&](std::int32_t r, std::int32_t n) {
        return ints(static_cast<rt::IntArray*>(rt::ObjectArray::get(s.s_textItemWidths, r)), n);
    };
    EXPECT_EQ(row(0, 1), (std::vector<std::int32_t>{kB + kA + kB}));
    EXPECT_EQ(row(1, 2), (std::vector<std::int32_t>{kA + kB + kA, kA + kB}));

    game::setTextPage(2);
    EXPECT_EQ(game::fontStatics().s_textWidth, kB + kA + kB);
    EXPECT_EQ(game::fontStatics().s_textHeight, 2 * kGlyphRows + kLineGap);
    EXPECT_EQ(game::getTickerOffset(str(u"ABABABABABABABAB"), 4), 0);
}

TEST_F(TextServicesTest, TheHudStartsItsIntroAndMeasuresItsLabel) {
    struct Case {
        std::int32_t kind;
        std::int32_t flagOn;
    } const cases[] = {{0, 1}, {6, 1}, {8, 1}, {11, 1}, {7, 9}, {9, 9}, {10, 9}};
    game::HudStatics& s = game::hudStatics();
    for (const Case& c : cases) {
        s.s_hudFlagOn = 9;
        s.s_hudFlagValue = 9;
        s.s_raceStartEntered = 1;
        s.s_hudPhase = 2;
        game::initHud(c.kind, 0x19002F);
        EXPECT_EQ(std::make_tuple(s.s_hudKind, s.s_hudElements, s.s_hudPhase, s.s_raceStartEntered),
                  std::make_tuple(c.kind, 0x19002F, 0, 0));
        EXPECT_EQ(std::make_tuple(s.s_hudIntroTime, s.s_hudSlideA, s.s_hudSlideB),
                  std::make_tuple(800, 100, 160));
        EXPECT_EQ(s.s_hudLabelWidth, kA + kB + kA);
        EXPECT_EQ(s.s_hudFlagOn, c.flagOn) << c.kind;
        EXPECT_EQ(s.s_hudFlagValue, c.flagOn == 1 ? 0 : 9) << c.kind;
    }
}

// Sprite 4: frame 2 (two answers) a 20 x 12 box whose box 0 starts 4 below
// its origin; sprite 65: frame 3 an 8 x 3 answer slot.
game::ASprite* questionSprite() {
    datakit::SpriteModel model = paletteModel({0x00FF00FFu, 0xFF00FF00u, 0xFF0000FFu});
    model.format |= datakit::sprite_bits::kFrameBoxes;
    addFlatModule(model, 20, 12, 1);
    for (int f = 0; f < 3; ++f) {
        addFrame(model, {{.module = 0}});
        model.frames.back().boxCount = 1;
        model.boxes.push_back({.x = 0, .y = 4, .width = 20, .height = 6});
    }
    return loadSprite(datakit::writeSprite(model));
}

game::ASprite* answerSprite() {
    datakit::SpriteModel model = paletteModel({0x00FF00FFu, 0xFF0000FFu});
    addFlatModule(model, 8, 3, 1);
    for (int f = 0; f < 4; ++f)
        addFrame(model, {{.module = 0}});
    return loadSprite(datakit::writeSprite(model));
}

TEST_F(TextServicesTest, TheQuestionFrameDimsTheScreenOnlyInRaceAndPauseStates) {
    rt::ObjectArray::set(game::startupStatics().s_sprites, 4, questionSprite());
    rt::ObjectArray::set(game::startupStatics().s_sprites, 65, answerSprite());
    game::TextListStatics& s = game::textListStatics();
    s.s_boxAnswerCount = 2;
    s.s_boxAnswerIds = ids({1, 2});
    for (game::State state : {game::State::MainMenu, game::State::PauseMenu}) {
        Canvas screen{64, 64, 0xFFFFFF};
        game::loopStatics().s_graphics = screen.graphics;
        game::stateStatics().s_state = state;
        game::paintQuestionFrame(30, 20);
        EXPECT_EQ(screen.at(0, 0) != on565(0xFFFFFF), state == game::State::PauseMenu) << state;
        EXPECT_EQ(screen.at(30, 20), on565(0xFF00FF00u)) << "the box frame at (x, y)";
        // Answer slots from y + 4, 3 apart, centred on x.
        EXPECT_EQ(screen.at(26, 24), on565(0xFF0000FFu));
        EXPECT_EQ(screen.at(33, 29), on565(0xFF0000FFu));
        EXPECT_EQ(screen.at(34, 24), on565(0xFF00FF00u)) << "right of the slot";
        EXPECT_EQ(screen.at(30, 30), on565(0xFF00FF00u)) << "below the second slot";
    }
    game::loopStatics().s_graphics = this->screen.graphics;
}

} // namespace

} // namespace text_layout_test
