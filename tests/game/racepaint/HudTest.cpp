// The head-up display: its elements in their order for the element bits
// of every event type and where each is left out, the values and places
// they draw, the split's paints, the item panel's tables, the shake, the
// lap box's pixels and a frame without new objects; and, on stand-in
// sprites, the held HUD button's highlight.

#include "game/racepaint/Hud.h"
#include "game/race/ScreenShake.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceEntity.h"
#include "game/sprite/Font.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/MenuPaint.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tests/game/framework/TouchFixture.h"
#include "tests/game/racepaint/HudFixture.h"

#include <algorithm>
#include <array>
#include <climits>
#include <sstream>

namespace {

using hud_testing::HudTest;
using testing_support::DrawingLog;

// Which element a described call begins, or "" for the calls inside one.
std::string elementOf(const std::string& line) {
    auto has = [&](const char* part) { return line.find(part) != std::string::npos; };
    if (line.starts_with("frame 63:"))
        return "strip";
    if (line.starts_with("frame 12:") && has("@540,"))
        return "place";
    if (line.starts_with("frame 12:") && has("@440,"))
        return "laps";
    if (line.starts_with("text 'T45'"))
        return "box";
    if (line.starts_with("frame 30:6 "))
        return "gauge";
    if (line.starts_with("text") && has("@320,12 "))
        return "times";
    if (line.starts_with("text") && has("@300,12 "))
        return "numbers";
    if (line.starts_with("frame 14:9 "))
        return "big";
    if (line.starts_with("text 'T46'"))
        return "two";
    if (line.starts_with("text 'T48"))
        return "number";
    if (line.starts_with("frame 39:"))
        return "notice";
    if (line.starts_with("text") && has("@145,"))
        return "split";
    if (line.starts_with("frame 26:18 "))
        return "item";
    return "";
}

std::string without(const std::string& elements, std::initializer_list<const char*> dropped) {
    std::istringstream in(elements);
    std::string out, word;
    while (in >> word)
        if (std::none_of(dropped.begin(), dropped.end(), [&](const char* d) { return word == d; }))
            out += (out.empty() ? "" : " ") + word;
    return out;
}

struct HudPaintTest : HudTest {
    HudPaintTest() {
        game::raceEntityStatics().s_splitShownTimer = 0;
        player->m_itemSlot = 2;
        player->m_heldItem = 1;
    }

    // One painted frame as the view pass frames the painter.
    static void frame() {
        game::hudViewPass();
        game::paintHud();
        game::hudClosingPass();
    }

    std::string elementsDrawn() {
        DrawingLog log;
        game::paintHud();
        std::string out;
        for (const std::string& line : described(log)) {
            const std::string element = elementOf(line);
            if (!element.empty() && !out.ends_with(element))
                out += (out.empty() ? "" : " ") + element;
        }
        return out;
    }
    std::vector<std::string> drawn() {
        DrawingLog log;
        game::paintHud();
        return described(log);
    }
    static bool contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(HudPaintTest, EachEventTypesElementsComeInOrderAndOnlyWhereTheyBelong) {
    struct Row {
        std::int32_t bits;
        const char* elements;
    };
    const Row rows[] = {
        {0x19002F, "strip place laps gauge split item"},
        {0x190826, "gauge two split item"},
        {0x100226, "box item"},
        {0x191086, "gauge numbers number split item"},
        {0x1A0020, "gauge notice two item"},
        {0x1D002F, "strip place laps gauge number split item"},
        {0x110446, "times big split item"},
        {0x110146, "times big split item"},
        {0x12046, "times big split"},
        {0x4000, ""},
        {0x118006, "split item"},
        {0x1002F, "strip place laps split"},
    };
    game::StateStatics& states = game::stateStatics();
    for (const Row& row : rows) {
        game::hudStatics().s_hudElements = row.bits;
        for (game::State state : {game::State::Race, game::State::RaceCountdown, game::State::PauseMenu,
                                  game::State::RaceResults}) {
            states.s_state = state;
            const std::string expected = state == game::State::Race
                                             ? row.elements
                                             : without(row.elements, {"big", "two", "number", "notice"});
            EXPECT_EQ(elementsDrawn(), expected) << std::hex << row.bits << std::dec << " in state " << state;
        }
        states.s_state = game::State::Race;
        states.s_gameMode = game::GameMode::Guided;
        EXPECT_EQ(elementsDrawn(), without(row.elements, {"strip", "place", "laps", "gauge"}))
            << std::hex << row.bits << " in the guided race";
        states.s_gameMode = game::GameMode::LapRace;
    }
}

TEST_F(HudPaintTest, HiddenDisplayDrawsNothingButTakesTheShakeBack) {
    game::hudStatics().s_hudElements = 0x1FFFFF;
    game::hudStatics().s_hudPhase = 0;
    game::setShakeOffset(5, -3);
    ASSERT_EQ(screen.graphics->getTranslateX(), 5);
    EXPECT_EQ(elementsDrawn(), "");
    EXPECT_EQ(screen.graphics->getTranslateX(), 5) << "a paint leaves the Graphics as it found it";
    game::hudClosingPass();
    EXPECT_EQ(game::shakeStatics().s_shakeX, 0);
    EXPECT_EQ(game::shakeStatics().s_shakeY, 0);
    EXPECT_EQ(screen.graphics->getTranslateX(), 0);
    EXPECT_EQ(screen.graphics->getTranslateY(), 0);

    // Shown, the display is drawn where it would be without the shake.
    game::hudStatics().s_hudPhase = 2;
    game::hudStatics().s_hudElements = game::hud_bits::kRacerStrip;
    game::setShakeOffset(7, 4);
    const std::vector<std::uint16_t> before = screen.pixels();
    game::paintHud();
    EXPECT_NE(screen.at(12, 2), before[640 * 2 + 12]) << "the strip's first icon at (10, 1) of the screen";
}

TEST_F(HudPaintTest, PlaceLapsAndCollectedBoxShowTheRaceValues) {
    game::hudStatics().s_hudElements =
        game::hud_bits::kRacerStrip | game::hud_bits::kLapCounter | game::hud_bits::kCollectedBox;
    player->m_racePosition = 1;
    player->m_collected = 3;
    std::vector<std::string> lines = drawn();
    EXPECT_TRUE(contains(lines, "frame 63:4 @10,1")) << "a computer car shows its car type";
    EXPECT_TRUE(contains(lines, "frame 63:2 @170,1")) << "the player shows its driver kind";
    EXPECT_TRUE(contains(lines, "frame 12:1 @540,106"));
    EXPECT_TRUE(contains(lines, "frame 15:18 @540,106"));
    EXPECT_TRUE(contains(lines, "text '3/10' @225,53 a3 p0"));
    DrawingLog log;
    game::paintHud();
    std::vector<std::string> fills;
    for (const game::DrawRecord& r : log.outer(game::DrawCall::FillRect))
        fills.push_back(DrawingLog::line(r).substr(0, DrawingLog::line(r).find(" clip")) + " " +
                        DrawingLog::line(r).substr(DrawingLog::line(r).find("colour")));
    EXPECT_TRUE(contains(fills, "fillRect 175 35 100 36 colour ffffff"));
    EXPECT_TRUE(contains(fills, "fillRect 177 37 96 32 colour 000000"));

    struct Lap {
        std::int32_t lap, frame;
    };
    for (const Lap& c : {Lap{0, 0}, Lap{1, 0}, Lap{3, 2}, Lap{4, 2}}) {
        player->m_lap = c.lap;
        EXPECT_TRUE(contains(drawn(), "frame 12:" + std::to_string(c.frame) + " @440,106"))
            << "lap " << c.lap;
    }
}

TEST_F(HudPaintTest, TheLapBoxesAreFilledInTheirBlue) {
    game::hudStatics().s_hudElements = game::hud_bits::kLapCounter;
    player->m_lap = 2;
    game::paintHud();
    // The label's box: left of the lap's frame by the label's width + 6.
    game::ASprite* font = game::loadedFont(2);
    game::measureString(font, game::getString(30), nullptr);
    const std::int32_t w1 = game::fontStatics().s_textWidth + 6;
    const std::int32_t h = game::fontStatics().s_textHeight;
    const std::int32_t top = 106 - hud_testing::standInHeight(1) / 2 - (h + 4) / 2;
    const std::int32_t left = 440 - hud_testing::standInWidth(1) - w1;
    EXPECT_EQ(screen.at(left + 1, top + 2), sprite_testing::on565(0x6088C8));
    EXPECT_EQ(screen.at(left, top + 2), sprite_testing::on565(0xFFFFFF));
}

TEST_F(HudPaintTest, GaugeTargetsAndBigTimesFormatTheirValues) {
    // The gauge fills 9.9 pixels an object; in the guided race it sits higher.
    game::hudStateStatics().s_collectedShown = 10;
    struct Gauge {
        game::GameMode mode;
        game::State state;
        std::int32_t top;
    };
    for (const Gauge& c : {Gauge{game::GameMode::LapRace, game::State::Race, 90},
                           Gauge{game::GameMode::Guided, game::State::Race, 67},
                           Gauge{game::GameMode::Guided, game::State::PauseMenu, 67},
                           Gauge{game::GameMode::Guided, game::State::RaceResults, 90}}) {
        game::stateStatics().s_gameMode = c.mode;
        game::stateStatics().s_state = c.state;
        DrawingLog log;
        game::paintHudCollectedGauge();
        const std::int32_t barY = hud_testing::standInHeight(17) + c.top + 4;
        bool clipped = false;
        for (const game::DrawRecord& r : log.outer(game::DrawCall::PaintFrame))
            if (r.args[0] == 7)
                clipped = r.args[2] == barY && r.clip == std::array<std::int32_t, 4>{10, barY, 99, 10};
        EXPECT_TRUE(clipped) << "mode " << c.mode << " state " << c.state;
        EXPECT_EQ(screen.graphics->getClipWidth(), 640);
        EXPECT_TRUE(contains(described(log), "frame 30:17 @10," + std::to_string(c.top)));
    }
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::stateStatics().s_state = game::State::Race;

    game::hudStatics().s_hudElements = game::hud_bits::kTargetTimes | game::hud_bits::kTargetNumbers;
    HudTest::event(game::EventType::Distance, {60000, 600000, 3000});
    std::vector<std::string> lines = drawn();
    for (const char* line :
         {"text '1:00.000' @320,12 a24 p1", "text '10:00.000' @320,37 a24 p1",
          "text '0:03.000' @320,62 a24 p1", "text '60,000' @300,12 a24 p1", "text '600,000' @300,37 a24 p1",
          "text '3000' @300,62 a24 p1", "frame 14:6 @200,10", "frame 14:8 @200,60"})
        EXPECT_TRUE(contains(lines, line)) << line;

    // 12.5 s cut at the point: the stop zone keeps it with the fraction.
    game::EventGoalStatics& goals = game::eventGoalStatics();
    goals.s_stopZone.clock = goals.s_section.clock = goals.s_secondSection.clock = 12 * 4096 + 2048;
    struct Cut {
        std::int32_t bit;
        const char *left, *right;
    };
    for (const Cut& c :
         {Cut{0x100, "0:12", ".500"}, Cut{0x400, "0:12.", "500"}, Cut{0x2000, "0:12.", "500"}}) {
        game::hudStatics().s_hudElements = c.bit;
        lines = drawn();
        EXPECT_TRUE(contains(lines, std::string("text '") + c.left + "' @25,135 a20 p1")) << c.bit;
        EXPECT_TRUE(contains(lines, std::string("text '") + c.right + "' @63,135 a20 p1")) << c.bit;
    }
}

TEST_F(HudPaintTest, ASplitAndItsDifferenceStayFor51Paints) {
    game::hudStatics().s_hudElements = game::hud_bits::kSplitTimes;
    game::RaceEntityStatics& e = game::raceEntityStatics();
    e.s_splitShown = 8192;
    e.s_splitDeltaShown = -2048;
    e.s_splitShownTimer = 0;
    e.s_splitDeltaTimer = 0;
    std::int32_t splits = 0, deltas = 0;
    for (std::int32_t i = 0; i < 60; ++i) {
        game::hudViewPass();
        const std::vector<std::string> lines = drawn();
        splits += contains(lines, "text '0:02.000' @145,110 a24 p1") ? 1 : 0;
        deltas += contains(lines, "text '-0:00.500' @145,130 a24 p0") ? 1 : 0;
        game::hudClosingPass();
    }
    EXPECT_EQ(splits, game::kSplitShownPaints);
    EXPECT_EQ(deltas, game::kSplitShownPaints);
    EXPECT_EQ(e.s_splitShownTimer, -1);
    // A slower split shows its '+' in palette 2.
    e.s_splitDeltaShown = 4096;
    e.s_splitDeltaTimer = 0;
    EXPECT_TRUE(contains(drawn(), "text '+0:01.000' @145,130 a24 p2"));
}

TEST_F(HudPaintTest, TheItemPanelShowsTheSlotIconAndNameInsideItsTables) {
    game::hudStatics().s_hudElements = game::hud_bits::kItemPanel;
    player->m_itemSlot = 2;
    player->m_itemTimer = 0;
    std::vector<std::string> lines = drawn();
    EXPECT_TRUE(contains(lines, "frame 26:18 @540,375"));
    EXPECT_TRUE(contains(lines, "frame 26:2 @555,390"));
    EXPECT_TRUE(contains(lines, "text 'T84' @440,112 a17 p0"));

    // Dimmed while the car has a target: the slot's frame rectangle.
    player->m_hasTarget = 1;
    DrawingLog log;
    game::paintHud();
    ASSERT_EQ(log.outer(game::DrawCall::FillRectAlpha).size(), 1U);
    EXPECT_EQ(DrawingLog::call(log.outer(game::DrawCall::FillRectAlpha)[0]),
              "fillRectAlpha 540 375 " + std::to_string(hud_testing::standInWidth(18)) + " " +
                  std::to_string(hud_testing::standInHeight(18)));
    EXPECT_EQ(static_cast<std::uint32_t>(game::graphicsStatics().s_fillColour), 0xBB100000u);
    player->m_hasTarget = 0;

    // Item 8 by driver kind; kinds, items and names outside the tables draw no icon.
    struct Icon {
        std::int32_t slot, kind;
        const char* icon;
    };
    for (const Icon& c :
         {Icon{8, 0, "frame 26:8 @555,390"}, Icon{8, 5, "frame 26:25 @555,390"}, Icon{8, 6, nullptr},
          Icon{8, -1, nullptr}, Icon{9, 0, nullptr}, Icon{-7, 0, nullptr}}) {
        player->m_itemSlot = c.slot;
        player->m_driverKind = c.kind;
        lines = drawn();
        const bool anyIcon = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find("@555,390") != std::string::npos;
        });
        if (c.icon)
            EXPECT_TRUE(contains(lines, c.icon)) << c.slot << " kind " << c.kind;
        else
            EXPECT_FALSE(anyIcon) << c.slot << " kind " << c.kind;
    }

    // An empty slot whose item is spent empties in the view pass; an offer
    // blinks and its time runs down after the paint.
    player->m_itemSlot = 3;
    player->m_heldItem = -1;
    player->m_offeredItem = 5;
    player->m_offerTimer = 4096;
    game::raceStatics().s_raceFrameTime = 100;
    game::hudViewPass();
    EXPECT_EQ(player->m_itemSlot, -1);
    game::loopStatics().s_frameCount = 1;
    EXPECT_TRUE(contains(drawn(), "frame 26:5 @555,390"));
    game::loopStatics().s_frameCount = 2;
    lines = drawn();
    EXPECT_TRUE(contains(lines, "frame 26:18 @540,375"));
    EXPECT_FALSE(contains(lines, "frame 26:5 @555,390"));
    game::hudClosingPass();
    EXPECT_EQ(player->m_offerTimer, 3996);
}

TEST_F(HudPaintTest, AHundredFramesMakeNoObject) {
    game::hudStatics().s_hudElements = 0x1FFFFF;
    player->m_offeredItem = -1;
    frame(); // the shared text buffer grows once
    const std::size_t objects = runtime.objectManager().objectCount();
    for (std::int32_t i = 0; i < 100; ++i)
        frame();
    EXPECT_EQ(runtime.objectManager().objectCount(), objects);
}

using HudButtonTest = framework_testing::TouchTest;

// The bounding box {x, y, w, h} of the pixels of `image` whose RGB is
// `rgb`; all 0 when there is none.
std::array<std::int32_t, 4> boxOf(platform::javax_microedition_lcdui_Image* image, std::int32_t rgb) {
    const std::int32_t width = image->getWidth();
    const std::int32_t height = image->getHeight();
    rt::IntArray* argb = rt::newIntArray(width * height);
    image->getRGB(argb, 0, width, 0, 0, width, height);
    std::int32_t left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if ((rt::IntArray::get(argb, y * width + x) & 0xFFFFFF) != rgb)
                continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {0, 0, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

// Sprite 26 frame 18 is 44 x 22: the HUD button is (540, 375, 44, 22).
TEST_F(HudButtonTest, TheHeldHudButtonGetsATranslucentFillOnePixelBeyondItsZone) {
    using Image = platform::javax_microedition_lcdui_Image;
    Image* screen = Image::createImage(640, 480);
    platform::javax_microedition_lcdui_Graphics* graphics = screen->getGraphics();
    game::loopStatics().s_graphics = graphics;
    // The fill's own colour, 0xFF0000, has an alpha of 0 and shows nothing.
    // setFillColor keeps the tile image it made for an unchanged colour, so
    // an opaque green image put in its place shows where the fill goes.
    game::setFillColor(0xFF0000);
    rt::IntArray* green = rt::newIntArray(16 * 16);
    for (std::int32_t& pixel : rt::IntArray::span(green))
        pixel = static_cast<std::int32_t>(0xFF00FF00);
    game::graphicsStatics().s_fillTileImage = Image::createRGBImage(green, 16, 16, true);

    pressAt(539, 380);
    game::paintHudButtons();
    EXPECT_EQ(boxOf(screen, 0x00FF00), (std::array<std::int32_t, 4>{0, 0, 0, 0})) << "off the button";
    pressAt(584, 397);
    game::paintHudButtons();
    EXPECT_EQ(boxOf(screen, 0x00FF00), (std::array<std::int32_t, 4>{539, 374, 46, 24}));
    EXPECT_EQ(graphics->getClipWidth(), 640) << "the clip is given back";
    EXPECT_EQ(game::graphicsStatics().s_fillColour, 0xFF0000);
    game::loopStatics().s_graphics = nullptr;
}

} // namespace
