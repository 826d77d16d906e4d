#include "game/sprite/Font.h"

#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "tests/game/sprite/FontFixture.h"
#include "tests/support/DrawingLog.h"

namespace {

using namespace sprite_testing;
using game::fontStatics;

// Advances of the tiny font: 'A' 3, 'B' 4, the space 2.
constexpr std::int32_t kA = 3;
constexpr std::int32_t kB = 4;

TEST_F(FontTest, MetricsComeFromFrameZeroAndTheSpaceGlyph) {
    EXPECT_EQ(font->m_lineHeight, kGlyphRows);
    EXPECT_EQ(font->m_lineSpacing, kLineGap);
    EXPECT_EQ(font->m_textTopOffset, kGlyphRows);
    EXPECT_EQ(font->m_spaceWidth, kSpace);
    EXPECT_EQ(game::getCharWidth(font, game::getCharIndex(font, 'B')), kB);
}

struct MeasureCase {
    const char16_t* text;
    std::int32_t width;
    std::int32_t lines;
};

TEST_F(FontTest, MeasuresTheWidestLineAndEveryLinesHeight) {
    const MeasureCase cases[] = {
        {u"", 0, 1},
        {u"A\nAB", kA + kB, 2},
        {u"A B", kA + kSpace + kB, 1},
        {u"\\^AB\\^A", kA + 1 + kB + 1 + kA, 1},  // bold glyphs one wider
        {u"\\^A B", kA + 1 + kSpace + kB + 1, 1}, // the space stays as it is
        {u"\\_A\\3B\\9", kA + kB, 1},             // underline and palette pairs take no room
        {u"A\x01\x02"
         u"B\x05",
         kA + kB, 1}, // code 1 and its palette; other low codes
        {u"\x02\x04"
         u"A",
         kB + kA, 1},          // code 2 names glyph frame 4 ('A' is 3, 'B' 4)
        {u"Z", 2, 1},          // the missing glyph
        {u"\x02\u012C", 2, 1}, // code 2 naming no frame of the font: the missing glyph
        {u"A\\", kA, 1},       // a trailing escape ends the text
        {u"A\x01", kA, 1},
        {u"A\x02", kA, 1},
        {u"\n\n", 0, 3},
    };
    for (const MeasureCase& c : cases) {
        game::measureString(font, str(c.text), nullptr);
        EXPECT_EQ(fontStatics().s_textWidth, c.width) << "text #" << (&c - cases);
        EXPECT_EQ(fontStatics().s_textHeight, c.lines * kGlyphRows + (c.lines - 1) * kLineGap)
            << "text #" << (&c - cases);
    }
    EXPECT_EQ(font->m_bold, 0) << "measuring leaves the sprite's switches alone";
}

TEST_F(FontTest, MeasuresACharArrayAndTheRangeCutToTheText) {
    rt::CharArray* chars = rt::newCharArray(3);
    std::ranges::copy(std::u16string_view(u"ABA"), rt::CharArray::span(chars).begin());
    game::measureString(font, nullptr, chars);
    EXPECT_EQ(fontStatics().s_textWidth, kA + kB + kA);
    // A code that takes a parameter as the array's last unit reads nothing
    // past it (the sanitizer build watches).
    for (char16_t last : {u'\\', u'\x01', u'\x02'}) {
        rt::CharArray::set(chars, 2, last);
        game::measureString(font, nullptr, chars);
        EXPECT_EQ(fontStatics().s_textWidth, kA + kB) << int(last);
        Canvas canvas{16, 16};
        game::drawString(font, canvas.graphics, nullptr, chars, 0, 0, 0, false);
    }

    struct Range {
        std::int32_t start, end, width;
    };
    const Range ranges[] = {{1, 2, kB}, {1, -1, kB + kA}, {2, 99, kA}, {99, -1, 0}, {2, 1, 0}};
    for (const Range& r : ranges) {
        game::spriteStatics().s_textStart = r.start;
        game::spriteStatics().s_textEnd = r.end;
        game::measureString(font, str(u"ABA"), nullptr);
        EXPECT_EQ(fontStatics().s_textWidth, r.width) << r.start << ".." << r.end;
    }
    game::spriteStatics().s_textStart = game::spriteStatics().s_textEnd = -1;

    fontStatics().s_textWidth = 77;
    game::measureString(font, nullptr, nullptr);
    EXPECT_EQ(fontStatics().s_textWidth, 77) << "no text keeps the results";
}

struct DrawCase {
    const char16_t* text;
    std::int32_t x, y, anchor;
};

// Every glyph pixel where the model of the glyph table puts it, and nothing
// else drawn.
TEST_F(FontTest, GlyphPixelsLieWhereTheModelPutsThem) {
    const DrawCase cases[] = {
        {u"AB", 5, 5, 0},
        {u"AB Z|", 1, 1, 0},
        {u"A\nAB\nB", 32, 10, 1 | 16},       // lines left-aligned in a centred block
        {u"AB\nA", 60, 60, 8 | 32},          // right and bottom
        {u"BA\nA", 30, 30, 1 | 2},           // both centres
        {u"A\\^B\\^A", 4, 4, 0},             // bold
        {u"\\_AB A\\_B", 4, 4, 0},           // underline, under the space too
        {u"A\\1B\\2A\\3\nB\\0A", 10, 10, 0}, // palettes by escape
        {u"A\\9B\\/A", 10, 10, 0},           // no such palettes
    };
    for (const DrawCase& c : cases) {
        Canvas canvas{64, 64};
        font->m_bold = font->m_underline = 0;
        font->m_currentPalette = 0;
        testing_support::DrawingLog log;
        game::drawString(font, canvas.graphics, str(c.text), nullptr, c.x, c.y, c.anchor, false);
        TextModel model;
        model.draw(c.text, c.x, c.y, c.anchor);
        EXPECT_EQ(picture(canvas.pixels(), 64), picture(model.pixels(), 64)) << "text #" << (&c - cases);
        // The reported box holds every pixel drawn: a tap there meets the text
        // (an underline may overhang a glyph narrower than itself).
        const std::vector<game::DrawRecord> texts = log.outer(game::DrawCall::DrawText);
        ASSERT_EQ(texts.size(), 1u);
        if (std::u16string_view(c.text).find(u"\\_") != std::u16string_view::npos)
            continue;
        const auto [bx, by, bw, bh] = texts[0].box;
        const std::vector<std::uint16_t> drawn = canvas.pixels();
        for (std::int32_t i = 0; i < 64 * 64; ++i)
            if (drawn[static_cast<std::size_t>(i)] != 0) {
                EXPECT_TRUE(i % 64 >= bx && i % 64 < bx + bw && i / 64 >= by && i / 64 < by + bh)
                    << "text #" << (&c - cases) << " box " << bx << "," << by << " " << bw << "x" << bh
                    << " pixel " << i % 64 << "," << i / 64 << " outside its box";
            }
    }
}

TEST_F(FontTest, TextCodesLeaveTheSpritesSwitchesAndKeepPaletteRestores) {
    Canvas canvas{64, 64};
    game::drawString(font, canvas.graphics, str(u"\\^\\_\\2A"), nullptr, 0, 0, 0, false);
    EXPECT_EQ(font->m_bold, 1);
    EXPECT_EQ(font->m_underline, 1);
    EXPECT_EQ(font->m_currentPalette, 2);

    font->m_bold = font->m_underline = 0;
    font->m_currentPalette = 1;
    // Code 1 with 255 goes back to the palette the draw started with, in the
    // middle of the text; after the draw the sprite has that palette again.
    Canvas coded{64, 64};
    game::drawString(font, coded.graphics,
                     str(u"A\x01\x03"
                         u"A\x01\xFF"
                         u"A\\2"),
                     nullptr, 0, 0, 0, true);
    EXPECT_EQ(font->m_currentPalette, 1);
    EXPECT_EQ(coded.at(0, 0), on565(kInks[1]));
    EXPECT_EQ(coded.at(kA, 0), on565(kInks[3]));
    EXPECT_EQ(coded.at(2 * kA, 0), on565(kInks[1]));
}

TEST_F(FontTest, TheLimitCutsTheDrawButNotTheAnchoring) {
    Canvas canvas{64, 64};
    game::spriteStatics().s_textLimit = 3;
    game::drawString(font, canvas.graphics, str(u"ABAB"), nullptr, 40, 0, 8, false);
    game::spriteStatics().s_textLimit = -1;
    TextModel model;
    model.draw(u"ABA", 40 - (kA + kB + kA + kB), 0, 0);
    EXPECT_EQ(picture(canvas.pixels(), 64), picture(model.pixels(), 64));
}

TEST_F(FontTest, EmptyTextDrawsNothing) {
    Canvas canvas{16, 16};
    game::drawString(font, canvas.graphics, str(u""), nullptr, 2, 2, 0, false);
    game::drawString(font, canvas.graphics, nullptr, nullptr, 2, 2, 0, false);
    EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

struct MapCase {
    const char* what;
    std::vector<std::int16_t> map;
    // Glyph frames of 'A' (65), 'B' (66), 'C' (67), 'E' (69).
    std::int32_t a, b, c, e;
    bool logs;
};

TEST_F(FontTest, CharacterMapsReadWhatIsSoundAndStopAtTheFirstFault) {
    const MapCase cases[] = {
        {"sound", {2, 66, 3, 65, 2, 1, 1, 67, 4}, 2, 3, 4, 1, false},
        {"a bucket named twice keeps its first pair and the later run",
         {2, 66, 3, 65, 2, 1, 1, 67, 4, 1, 1, 69, 5},
         2,
         3,
         1,
         5,
         false},
        {"no buckets", {0, 65, 2}, 1, 1, 1, 1, true},
        {"negative buckets", {-2, 65, 2, 66, 3}, 1, 1, 1, 1, true},
        {"empty", {}, 1, 1, 1, 1, true},
        {"first pairs cut short", {3, 66, 3, 65}, 1, 1, 1, 1, true},
        {"bucket out of range", {2, 66, 3, 65, 2, 2, 1, 67, 4}, 2, 3, 1, 1, true},
        {"negative bucket", {2, 66, 3, 65, 2, -1, 1, 67, 4}, 2, 3, 1, 1, true},
        {"count past the array", {2, 66, 3, 65, 2, 1, 2, 67, 4}, 2, 3, 1, 1, true},
        {"negative count", {2, 66, 3, 65, 2, 1, -1, 67, 4}, 2, 3, 1, 1, true},
        {"a run header cut short", {2, 66, 3, 65, 2, 1}, 2, 3, 1, 1, true},
        // Every glyph a character finds is one of the font's frames.
        {"a first pair's glyph past the frames", {2, 66, 3, 65, 300, 1, 1, 67, 4}, 1, 1, 1, 1, true},
        {"a first pair's negative glyph", {2, 66, -3, 65, 2}, 1, 1, 1, 1, true},
        {"a run's glyph past the frames", {2, 66, 3, 65, 2, 1, 2, 67, 4, 69, 300}, 2, 3, 1, 1, true},
    };
    for (const MapCase& c : cases) {
        log.clear();
        game::buildCharMap(font, shortArray(c.map));
        EXPECT_EQ(game::getCharIndex(font, 'A'), c.a) << c.what;
        EXPECT_EQ(game::getCharIndex(font, 'B'), c.b) << c.what;
        EXPECT_EQ(game::getCharIndex(font, 'C'), c.c) << c.what;
        EXPECT_EQ(game::getCharIndex(font, 'E'), c.e) << c.what;
        EXPECT_EQ(log.contains("buildCharMap"), c.logs) << c.what;
    }
    game::buildCharMap(font, nullptr);
    EXPECT_EQ(game::getCharIndex(font, 'A'), 1);
}

} // namespace
