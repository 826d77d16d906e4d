// The shared menu painters on stand-in sprites whose frames measure
// (sprite + frame) x (sprite + frame) / 2, with every sprite frame and text
// painted recorded.

#include "game/ui/MenuPaint.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Texts.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/TouchFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using framework_testing::s_paints;

struct MenuPaintTest : framework_testing::TouchTest {
    MenuPaintTest() {
        for (std::int32_t number : {1, 2, 4, 5, 7, 8})
            standIn(number);
        // Texts "T0" .. "T69".
        rt::ObjectArray* texts = rt::newObjectArray(70);
        for (std::int32_t i = 0; i < 70; ++i)
            rt::Array::setRef(texts, i, rt::String::newFromCString(("T" + std::to_string(i)).c_str()));
        game::textStatics().s_textCache = texts;
        game::textStatics().s_textCount = 70;
        game::seams().promotion.available = [] { return true; };
    }

    static rt::IntArray* ids(std::initializer_list<std::int32_t> values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        rt::Array::fill32(array, values);
        return array;
    }

    // A menu of `count` items labelled T10, T11, ... in `state`.
    static void paint(game::State state, std::int32_t count, std::int32_t selection) {
        setState(state, game::GameMode::LapRace);
        game::resetMenu(count);
        game::touchStatics().s_selection = selection;
        game::menuStatics().s_redraw = 1;
        s_paints.clear();
        game::paintMenu(count, ids({10, 11, 12, 13, 14, 15}));
    }

    // The paints that draw items (sprite 65) and labels (a 'T1x' text), in order.
    static std::vector<std::string> items() {
        std::vector<std::string> out;
        for (const std::string& call : s_paints)
            if (call.starts_with("frame 65:") || call.starts_with("text 'T1"))
                out.push_back(call);
        return out;
    }
    // The palette selected just before the label `text`.
    static std::string paletteOf(const std::string& text) {
        auto at = std::find_if(s_paints.begin(), s_paints.end(), [&](const std::string& call) {
            return call.starts_with("text '" + text + "'");
        });
        return at == s_paints.begin() || at == s_paints.end() ? "" : *(at - 1);
    }
};

TEST_F(MenuPaintTest, AMenuPaintsOnlyWhenAskedAndDropsTheTitlePictures) {
    setState(game::State::ModeMenu, game::GameMode::LapRace);
    game::resetMenu(2);
    game::menuStatics().s_redraw = 0;
    game::menuStatics().s_fullRepaint = 0;
    game::paintMenu(2, ids({10, 11}));
    EXPECT_TRUE(s_paints.empty());
    auto* title = static_cast<game::ASprite*>(game::spriteAt(1));
    auto* logo = static_cast<game::ASprite*>(game::spriteAt(2));
    EXPECT_EQ(title->getFrameCount(), framework_testing::kStandInFrames);

    game::menuStatics().s_fullRepaint = 1;
    game::paintMenu(2, ids({10, 11}));
    EXPECT_FALSE(s_paints.empty());
    EXPECT_EQ(game::spriteAt(1), nullptr);
    EXPECT_EQ(game::spriteAt(2), nullptr);
    EXPECT_EQ(title->getFrameCount(), 0) << "their images and frames are freed";
    EXPECT_EQ(logo->getFrameCount(), 0);
}

TEST_F(MenuPaintTest, TheMainMenuLaysOutItsItemsAndHidesThePromotionItem) {
    // Sprite 65 frame 0 is 65 x 32: the first row's frame at y 64 with six
    // items shown, at 90 with five.
    paint(game::State::MainMenu, 6, 2);
    std::vector<std::string> firstRows = items();
    firstRows.resize(6);
    EXPECT_EQ(firstRows, (std::vector<std::string>{"frame 65:1 @10,64", "text 'T10' @42,80 a3",
                                                   "frame 65:1 @10,96", "text 'T11' @42,112 a3",
                                                   "frame 65:0 @10,128", "text 'T12' @42,144 a3"}));
    EXPECT_EQ(paletteOf("T10"), "palette 1:1");
    EXPECT_EQ(paletteOf("T11"), "palette 1:1")
        << "the promotion item, shown only when it works, looks like any";
    EXPECT_EQ(paletteOf("T12"), "palette 1:3") << "the highlighted item";

    game::seams().promotion.available = [] { return false; };
    paint(game::State::MainMenu, 6, 0);
    std::vector<std::string> drawn = items();
    ASSERT_EQ(drawn.size(), 10U);
    EXPECT_EQ(drawn[0], "frame 65:0 @10,90");
    EXPECT_EQ(drawn[2], "frame 65:1 @10,122");
    EXPECT_EQ(drawn[3], "text 'T12' @42,138 a3") << "item 1 is left out";
}

TEST_F(MenuPaintTest, TheChosenItemBlinksThenTheItemsLeaveOneByOne) {
    game::MenuStatics& menu = game::menuStatics();
    setState(game::State::RaceMenu, game::GameMode::LapRace);
    game::resetMenu(3);
    game::touchStatics().s_selection = 1;
    menu.s_menuLeaving = 1;
    menu.s_menuSlideCount = 3;
    menu.s_menuSlideOut = -200;
    std::vector<std::string> palettes;
    for (menu.s_menuChoiceBlink = 8; menu.s_menuChoiceBlink > 0; --menu.s_menuChoiceBlink) {
        menu.s_redraw = 1;
        s_paints.clear();
        game::paintMenu(3, ids({10, 11, 12}));
        palettes.push_back(paletteOf("T11"));
        EXPECT_EQ(items()[0], "frame 65:1 @10,142") << "nothing moves during the blink";
    }
    EXPECT_EQ(palettes,
              (std::vector<std::string>{"palette 1:3", "palette 1:2", "palette 1:3", "palette 1:2",
                                        "palette 1:3", "palette 1:2", "palette 1:3", "palette 1:2"}));
    EXPECT_EQ(menu.s_menuSlideOut, 10) << "the slide starts from the rest position";

    // The sliding menu's update: 128 px a frame down to -330.
    std::vector<std::vector<std::int32_t>> xs;
    for (std::int32_t frame = 0; frame < 12; ++frame) {
        menu.s_menuSlideOut = std::max(-330, menu.s_menuSlideOut - 128);
        menu.s_redraw = 1;
        s_paints.clear();
        game::paintMenu(3, ids({10, 11, 12}));
        std::vector<std::int32_t> row;
        for (const std::string& call : items())
            if (call.starts_with("frame"))
                row.push_back(std::stoi(call.substr(call.find('@') + 1)));
        xs.push_back(row);
    }
    const std::vector<std::vector<std::int32_t>> expected = {
        {-118, 10, 10},     {-246, 10, 10},     {-330, 10, 10},     {-330, -118, 10},
        {-330, -246, 10},   {-330, -330, 10},   {-330, -330, -118}, {-330, -330, -246},
        {-330, -330, -330}, {-330, -330, -330}, {-330, -330, -330}, {-330, -330, -330},
    };
    EXPECT_EQ(xs, expected);
    EXPECT_EQ(menu.s_menuSlideCount, 1);
    EXPECT_EQ(menu.s_menuSlideOut, -330);
}

TEST_F(MenuPaintTest, TheHelpLineShowsTheHighlightedItemsTextAndRestartsAtTheRightEdge) {
    game::resetMenu(3);
    game::touchStatics().s_selection = 2;
    rt::IntArray* help = ids({20, 21, 22});
    game::setHelpTexts(help);
    EXPECT_EQ(game::menuStatics().s_helpLineX, 640);
    EXPECT_EQ(game::textListStatics().s_textLineIds, help) << "the help lines are the text lines";
    ASSERT_EQ(game::textListStatics().s_textLineWidths->length(), 3);
    std::vector<std::int32_t> xs;
    game::menuStatics().s_helpLineX = 8;
    for (int frame = 0; frame < 4; ++frame) {
        game::scrollMenuText();
        xs.push_back(game::menuStatics().s_helpLineX);
    }
    // The stand-in font's texts are 0 wide: it has left once x < 0.
    EXPECT_EQ(xs, (std::vector<std::int32_t>{4, 0, 640, 636}));
    game::paintHelpLine();
    // The bar along the bottom, 48 pixels high, painted anew (the
    // background, then sprite 8's bar) under the text.
    EXPECT_EQ(s_paints, (std::vector<std::string>{"frame 5:0 @0,0", "frame 5:1 @0,0", "frame 8:0 @320,432",
                                                  "palette 2:1", "text 'T22' @636,452 a20"}));

    s_paints.clear();
    game::touchStatics().s_selection = -1;
    game::paintHelpLine();
    EXPECT_TRUE(s_paints.empty()) << "nothing highlighted, no help";
}

TEST_F(MenuPaintTest, TheQuestionBoxDrawsItsFrameTitleAndAnswers) {
    game::MenuStatics& menu = game::menuStatics();
    menu.s_questionPaintCount = 2;
    menu.s_questionTitleText = 9;
    menu.s_questionAnswerTexts = ids({3, 4});
    for (std::int8_t touchUsed : {0, 1}) {
        SCOPED_TRACE(int(touchUsed));
        game::touchStatics().s_touchUsed = touchUsed;
        s_paints.clear();
        game::paintQuestionBox(1, 320, 240);
        // Sprite 65 frame 3 is 68 x 34; the stand-in box has no box points.
        EXPECT_EQ(s_paints,
                  (std::vector<std::string>{"frame 4:2 @320,240", "palette 2:1", "text 'T9' @320,240 a17",
                                            "frame 65:3 @286,240", "palette 2:1", "text 'T3' @320,257 a3",
                                            touchUsed ? "frame 65:2 @286,274" : "frame 65:3 @286,274",
                                            "palette 2:0", "text 'T4' @320,291 a3"}));
    }
    menu.s_questionTitleText = -1;
    s_paints.clear();
    game::paintBoxTitle(0, 0);
    EXPECT_TRUE(s_paints.empty());
}

// The pause list's sound item (item 1 of five, 2 of six) reads its label
// followed by the word for the sound option (text 63 on, 64 off), as one
// line from the item's centre; the stand-in font measures nothing.
TEST_F(MenuPaintTest, ThePauseListsSoundItemSaysWhetherSoundIsOn) {
    game::MenuStatics& menu = game::menuStatics();
    menu.s_questionTitleText = -1;
    setState(game::State::PauseMenu, game::GameMode::LapRace);
    struct Case {
        std::initializer_list<std::int32_t> items;
        bool soundOn;
        const char* label;
        const char* suffix;
        std::int32_t y;
    };
    for (const Case& c : {Case{{1, 59, 3, 6, 8}, true, "T59", "T63", 291},
                          Case{{1, 5, 59, 3, 6, 8}, false, "T59", "T64", 325}}) {
        SCOPED_TRACE(c.suffix);
        menu.s_questionAnswerTexts = ids(c.items);
        menu.s_questionPaintCount = static_cast<std::int32_t>(c.items.size());
        game::setSoundOption(c.soundOn);
        s_paints.clear();
        game::paintQuestionBox(0, 320, 240);
        const std::string at = " @320," + std::to_string(c.y) + " a6";
        EXPECT_NE(std::find(s_paints.begin(), s_paints.end(), std::string("text '") + c.label + "'" + at),
                  s_paints.end());
        EXPECT_NE(std::find(s_paints.begin(), s_paints.end(), std::string("text '") + c.suffix + "'" + at),
                  s_paints.end());
    }
    setState(game::State::MainMenu, game::GameMode::LapRace);
    s_paints.clear();
    game::paintQuestionBox(0, 320, 240);
    EXPECT_EQ(std::count_if(s_paints.begin(), s_paints.end(),
                            [](const std::string& p) { return p.find("'T63'") != std::string::npos; }),
              0)
        << "outside the pause no item is the sound switch";
}

// Sprite 8 frame 2, the empty gauge, is 10 wide: the end piece sits at the
// filled width, a value outside 0..100 is held to it, and a row without a
// label draws its gauge alone.
TEST_F(MenuPaintTest, TheGaugePanelFillsEachGaugeToItsValue) {
    s_paints.clear();
    game::paintGaugePanel(300, 100, ids({20, 21, -1}), ids({50, 150, -5}));
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"palette 2:1", "text 'T20' @300,100 a24", "frame 8:2 @308,100",
                                        "frame 8:3 @308,100", "frame 8:5 @313,100", "palette 2:1",
                                        "text 'T21' @300,120 a24", "frame 8:2 @308,120", "frame 8:3 @308,120",
                                        "frame 8:5 @318,120", "frame 8:2 @308,140", "frame 8:3 @308,140",
                                        "frame 8:5 @308,140"}));
}

// Sprite 7's arrows measure 7 x 3 (left) and 8 x 4 (right). Each is centred
// in its zone, so the left one shows whole although its zone begins 8 px
// past the screen's left edge.
TEST_F(MenuPaintTest, EachOptionArrowIsCentredInItsZone) {
    rt::ObjectArray* zones = rt::newObjectArray(2);
    rt::Array::setRef(zones, 0, ids({-8, 192, 48, 96}));
    rt::Array::setRef(zones, 1, ids({600, 192, 48, 96}));
    s_paints.clear();
    game::paintOptionArrows(zones);
    EXPECT_EQ(s_paints, (std::vector<std::string>{"frame 7:0 @12,238", "frame 7:1 @620,238"}));
}

} // namespace
