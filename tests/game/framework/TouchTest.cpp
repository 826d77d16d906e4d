// Stylus points turned into game space and latched once per frame, the hit
// tests on the latched pair, the soft-key zones and the promotion screen's
// share of each pointer event; and, on the same stand-in sprites, the
// race's fixed zones and the HUD button's highlight.

#include "game/framework/Touch.h"
#include "game/data/EventSlots.h"
#include "game/framework/GameGraphics.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceTouch.h"
#include "game/racepaint/Hud.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/framework/TouchFixture.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

using framework_testing::TouchTest;

struct Latched {
    std::int32_t pointX, pointY, pressX, pressY;
    bool operator==(const Latched&) const = default;
};

Latched latched() {
    const game::TouchStatics& touch = game::touchStatics();
    return {touch.s_latchedX, touch.s_latchedY, touch.s_latchedPressX, touch.s_latchedPressY};
}

std::ostream& operator<<(std::ostream& out, const Latched& l) {
    return out << "point (" << l.pointX << ", " << l.pointY << ") press (" << l.pressX << ", " << l.pressY
               << ")";
}

TEST_F(TouchTest, APressIsTurnedIntoGameSpaceAndLatchedInExactlyOneFrame) {
    struct Case {
        std::int8_t rotated;
        std::int32_t touchWidth, x, y, gameX, gameY;
    };
    for (const Case& c :
         {Case{1, 480, 10, 20, 20, 470}, Case{1, 480, 479, 639, 639, 1}, Case{0, 640, 10, 20, 10, 20}}) {
        SCOPED_TRACE(testing::Message() << "rotated " << int(c.rotated) << " at " << c.x << "," << c.y);
        game::touchStatics().s_pointX = game::touchStatics().s_pointY = -1;
        game::loopStatics().s_rotated = c.rotated;
        game::loopStatics().s_touchWidth = c.touchWidth;
        game::latchPointer();
        EXPECT_EQ(latched(), (Latched{-1, -1, -1, -1})) << "no point before any event";

        game::pointerPressed(c.x, c.y);
        game::latchPointer();
        EXPECT_EQ(latched(), (Latched{c.gameX, c.gameY, c.gameX, c.gameY}));
        game::latchPointer();
        EXPECT_EQ(latched(), (Latched{-1, -1, -1, -1})) << "the press is gone the frame after";

        game::pointerDragged(c.x + 1, c.y);
        game::pointerReleased(c.x + 2, c.y);
        for (int frame = 0; frame < 2; ++frame) {
            game::latchPointer();
            EXPECT_EQ(latched().pointX, c.rotated ? c.gameX : c.gameX + 2) << "the release point stays";
            EXPECT_EQ(latched().pressX, -1) << "a drag or release is no press";
        }
    }
}

TEST_F(TouchTest, RectanglesIncludeAllFourEdgesAndNoPointNeverHits) {
    struct Case {
        std::int32_t px, py;
        bool inside;
    };
    // The rectangle (10, 20, 30, 40) covers x 10..40 and y 20..60.
    const Case cases[] = {
        {10, 20, true},  {40, 60, true},       {40, 20, true},  {10, 60, true},
        {25, 40, true},  {9, 40, false},       {41, 40, false}, {25, 19, false},
        {25, 61, false}, {INT_MIN, 40, false}, {-1, -1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::pointInRect(c.px, c.py, 10, 20, 30, 40), c.inside) << c.px << "," << c.py;
    EXPECT_FALSE(game::pointInRect(-1, -1, -5, -5, 10, 10)) << "even a rectangle around (-1, -1)";
    EXPECT_TRUE(game::pointInRect(-1, 5, -5, -5, 10, 10)) << "one coordinate of -1 is an ordinary point";
    EXPECT_TRUE(game::pointInRect(0, 0, 0, 0, 0, 0)) << "an empty zone still holds its corner";
}

TEST_F(TouchTest, HitTestsReadTheLatchedPairAndTheActiveZone) {
    pressAt(100, 200);
    EXPECT_TRUE(game::isPressInCorners(100, 200, 150, 250));
    EXPECT_FALSE(game::isPressInCorners(101, 200, 150, 250));
    EXPECT_TRUE(game::isPressOnScreen());
    EXPECT_FALSE(game::isPointerInActiveZone()) << "no active zone yet";

    game::touchStatics().s_activeZone = rt::newIntArray(3);
    EXPECT_FALSE(game::isPointerInActiveZone()) << "a zone shorter than 4";
    rt::IntArray* zone = rt::newIntArray(4);
    rt::Array::fill32(zone, {90, 190, 10, 10});
    game::setTouchZone(zone);
    rt::IntArray::set(zone, 0, 0); // a copy: later changes to the argument do not count
    EXPECT_TRUE(game::isPointerInActiveZone());
    EXPECT_FALSE(game::isZoneTapped()) << "the stylus has left the screen";
    game::loopStatics().s_rotated = 0;
    game::pointerDragged(100, 200);
    EXPECT_TRUE(game::isZoneTapped());

    game::latchPointer();
    EXPECT_FALSE(game::isPressOnScreen());
}

// Sprite 65 frame 4 is 69 x 34: soft keys are 69 x 30, 30 above the bottom.
TEST_F(TouchTest, SoftKeyZonesFollowTheLabelIndexesTheLabelsAndTheGuidedRace) {
    using Rect = std::array<std::int32_t, 4>;
    constexpr Rect kNone = {0, 0, 0, 0};
    constexpr Rect kLeft = {-8, 450, 69, 30};
    constexpr Rect kRight = {575, 450, 69, 30};
    struct Case {
        const char* name;
        game::State state;
        game::GameMode mode;
        std::int32_t left, right;
        bool label3;
        Rect leftZone, rightZone;
    };
    const Case cases[] = {
        {"both keys", game::State::MainMenu, game::GameMode::LapRace, 0, 1, true, kLeft, kRight},
        {"no keys", game::State::MainMenu, game::GameMode::LapRace, -1, -1, true, kNone, kNone},
        {"index past the labels", game::State::MainMenu, game::GameMode::LapRace, 4, 4, true, kNone, kNone},
        {"index of a missing label", game::State::MainMenu, game::GameMode::LapRace, 3, 3, false, kNone,
         kNone},
        {"label 3 gives the guided race a left key", game::State::Race, game::GameMode::Guided, -1, -1, true,
         kLeft, kNone},
        {"but not without it", game::State::Race, game::GameMode::Guided, -1, -1, false, kNone, kNone},
        {"nor another mode's race", game::State::Race, game::GameMode::Points, -1, -1, true, kNone, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setLabels({true, true, true, c.label3});
        setState(c.state, c.mode);
        game::setSoftKeys(c.left, c.right);
        game::buildSoftKeyZones();
        for (std::int32_t side = 0; side < 2; ++side) {
            auto* zone =
                static_cast<rt::IntArray*>(rt::ObjectArray::get(game::touchStatics().s_softKeyZones, side));
            Rect expected = side == 0 ? c.leftZone : c.rightZone;
            EXPECT_EQ(
                (Rect{zone->elements()[0], zone->elements()[1], zone->elements()[2], zone->elements()[3]}),
                expected)
                << "side " << side;
        }
    }
    // An empty zone is hit by (0, 0) alone.
    setState(game::State::PreRaceSelect, game::GameMode::LapRace);
    game::setSoftKeys(-1, -1);
    pressAt(0, 0);
    EXPECT_TRUE(game::touchMenuSoftKeys());
    pressAt(1, 0);
    EXPECT_FALSE(game::touchMenuSoftKeys());
}

TEST_F(TouchTest, SoftKeyTapsAndFramesOnlyInTheirStates) {
    setLabels();
    game::setSoftKeys(0, 1);
    const game::TouchStatics& touch = game::touchStatics();
    pressAt(600, 470); // on the right key
    setState(game::State::MainMenu, game::GameMode::LapRace);
    EXPECT_FALSE(game::touchMenuSoftKeys()) << "the main menu has no right key";
    EXPECT_EQ(touch.s_rightSoftKeyFrame, game::kSoftKeyFrameOff);
    setState(game::State::RaceHelp, game::GameMode::LapRace);
    EXPECT_TRUE(game::touchMenuSoftKeys());
    EXPECT_EQ(touch.s_rightSoftKeyFrame, game::kSoftKeyFrame);

    pressAt(0, 470); // on the left key
    setState(game::State::Race, game::GameMode::LapRace);
    EXPECT_FALSE(game::touchSoftKeys());
    setState(game::State::Race, game::GameMode::Guided);
    EXPECT_TRUE(game::touchSoftKeys());
    EXPECT_EQ(touch.s_leftSoftKeyFrame, game::kSoftKeyFrame);
    game::latchPointer();
    EXPECT_FALSE(game::touchSoftKeys());
    EXPECT_EQ(touch.s_leftSoftKeyFrame, game::kSoftKeyFrameOff);
}

// Sprite 66 frame 4 is 35 high; sprite 65 frame 3 is 34 high; sprite 12
// frame 6 is 18 x 9; sprite 30 frame 17 is 23 high.
TEST_F(TouchTest, RaceZonesSitWhereTheirSpritesPutThem) {
    struct Case {
        const char* name;
        game::State state;
        game::GameMode mode;
        std::int32_t x, y;
        bool raceButton, rightHalf, hudPanel;
    };
    const Case cases[] = {
        {"race button, bottom left", game::State::Race, game::GameMode::LapRace, 15, 435, true, false, false},
        {"race button's far corner", game::State::Race, game::GameMode::LapRace, 50, 470, true, false, false},
        {"below the race button", game::State::Race, game::GameMode::LapRace, 50, 471, false, false, false},
        {"race button in mode 6", game::State::Race, game::GameMode::Guided, 15, 411, true, false, false},
        {"race button outside the race", game::State::RaceCountdown, game::GameMode::LapRace, 15, 435, false,
         false, false},
        {"right half", game::State::Race, game::GameMode::LapRace, 320, 223, false, true, false},
        {"right half, lower edge", game::State::Race, game::GameMode::LapRace, 640, 258, false, true, false},
        {"HUD panel", game::State::RaceCountdown, game::GameMode::LapRace, 36, 131, false, false, true},
        {"HUD panel in mode 6 outside the race", game::State::RaceCountdown, game::GameMode::Guided, 0, 67,
         false, false, true},
        {"no HUD panel in the guided race", game::State::Race, game::GameMode::Guided, 0, 67, false, false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setState(c.state, c.mode);
        pressAt(c.x, c.y);
        EXPECT_EQ(game::isPointerOnRaceButton(), c.raceButton);
        EXPECT_EQ(game::isPointerOnRaceRightHalf(), c.rightHalf);
        EXPECT_EQ(game::isPointerOnHudPanel(), c.hudPanel);
    }
    // The guided race of a section keeps it.
    game::initEventSlots();
    game::setSlotEventType(game::eventSlotStatics().s_currentEvent, game::EventType::Section);
    setState(game::State::Race, game::GameMode::Guided);
    pressAt(0, 67);
    EXPECT_TRUE(game::isPointerOnHudPanel()) << "a section keeps it";
    game::touchStatics().s_pauseButtonUsed = 1;
    EXPECT_FALSE(game::isPointerOnHudPanel()) << "not after the pause button";
}

// The race's controls are held while the stylus touches them: held still
// for many frames, moved onto another control, and lifted. A tap shorter
// than a frame counts for that frame.
TEST_F(TouchTest, ARaceControlIsHeldWhileTheStylusTouchesItAndLetGoWhenItIsLifted) {
    setState(game::State::Race, game::GameMode::LapRace);
    game::loopStatics().s_rotated = 0;
    game::pointerPressed(500, 240);
    for (int frame = 0; frame < 5; ++frame) {
        game::latchPointer();
        EXPECT_TRUE(game::isPointerOnRaceRightHalf()) << "frame " << frame;
    }
    game::pointerDragged(20, 450);
    game::latchPointer();
    EXPECT_FALSE(game::isPointerOnRaceRightHalf());
    EXPECT_TRUE(game::isPointerOnRaceButton());
    game::pointerReleased(20, 450);
    for (int frame = 0; frame < 3; ++frame) {
        game::latchPointer();
        EXPECT_FALSE(game::isPointerOnRaceButton()) << "frame " << frame << " after the lift";
        EXPECT_FALSE(game::isPointerOnRaceRightHalf());
    }
    game::pointerPressed(500, 240);
    game::pointerReleased(500, 240);
    game::latchPointer();
    EXPECT_TRUE(game::isPointerOnRaceRightHalf()) << "a quick tap";
    game::latchPointer();
    EXPECT_FALSE(game::isPointerOnRaceRightHalf());
    game::loopStatics().s_rotated = 1;
}

// Sprite 65 frame 8 is 73 wide: the pause button is (567, 0, 73, 73).
TEST_F(TouchTest, ThePauseButtonHighlightsAndItsPressPushesThePauseMenu) {
    const game::TouchStatics& touch = game::touchStatics();
    setState(game::State::Race, game::GameMode::LapRace);
    pressAt(566, 10);
    EXPECT_FALSE(game::touchRaceStartButtons());
    EXPECT_EQ(touch.s_pauseFrame, game::kPauseFrameOff);
    pressAt(567, 73);
    EXPECT_TRUE(game::touchRaceStartButtons());
    EXPECT_EQ(touch.s_pauseFrame, game::kPauseFrame);
    EXPECT_EQ(touch.s_pauseButtonUsed, 1);
    EXPECT_EQ(game::stateStatics().s_nextState, game::State::PauseMenu);
    EXPECT_EQ(game::getStackedState(2), game::State::PauseMenu);
    setState(game::State::TrackFlyover, game::GameMode::LapRace);
    EXPECT_FALSE(game::touchRaceStartButtons()) << "only states 41 and 42 have it";
}

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
TEST_F(TouchTest, TheHeldHudButtonGetsATranslucentFillOnePixelBeyondItsZone) {
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

TEST_F(TouchTest, MenuZonesStackDownwardsAndTheMainMenuSkipsThePromotionItem) {
    // Sprite 65 frame 1 is 66 x 33.
    struct Case {
        game::State state;
        bool promotion;
        std::array<std::int32_t, 3> tops, widths;
    };
    const Case cases[] = {
        {game::State::MainMenu, false, {78, 0, 111}, {66, 0, 66}},
        {game::State::MainMenu, true, {78, 111, 144}, {66, 66, 66}},
        {game::State::Options, false, {78, 111, 144}, {68, 68, 68}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " promotion " << c.promotion);
        setState(c.state, game::GameMode::LapRace);
        game::seams().promotion.available = c.promotion ? +[] { return true; } : +[] { return false; };
        rt::ObjectArray* zones = game::buildMenuZones(3, 200, 100);
        for (std::int32_t i = 0; i < 3; ++i) {
            auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
            std::size_t at = static_cast<std::size_t>(i);
            EXPECT_EQ(zone->elements()[1], c.tops[at]) << i;
            EXPECT_EQ(zone->elements()[2], c.widths[at]) << i;
        }
    }
}

TEST_F(TouchTest, AListTapSelectsTheItemUnderThePress) {
    rt::ObjectArray* zones = game::buildRowZones(3); // items at x 47, 251, 455
    game::setList(3, zones);
    pressAt(260, 95);
    game::touchList();
    const game::TouchStatics& touch = game::touchStatics();
    EXPECT_EQ(touch.s_selection, 1);
    EXPECT_EQ(touch.s_listTap, 1);
    EXPECT_EQ(touch.s_listHover, 1);
    EXPECT_EQ(touch.s_touchUsed, 1);
}

TEST_F(TouchTest, SplitMenuIndexDividesByTheItemCount) {
    struct Case {
        std::int32_t count, v, answer, selection;
    };
    const Case cases[] = {
        {5, 12, 2, 2}, {5, 5, 1, 0}, {5, 4, 5, 4}, {0, 12, 0, 12}, {5, -3, 5, -3},
    };
    for (const Case& c : cases) {
        game::resetMenu(c.count);
        EXPECT_EQ(game::splitMenuIndex(c.v), c.answer) << c.count << " " << c.v;
        EXPECT_EQ(game::touchStatics().s_selection, c.selection) << c.count << " " << c.v;
    }
}

// What the promotion screen heard, in order.
std::vector<std::string> s_promotion;

TEST_F(TouchTest, EveryPointerEventReachesThePromotionScreenWithTheTurnedPoint) {
    s_promotion.clear();
    game::PromotionHooks& promotion = game::seams().promotion;
    promotion.actionAtPoint = [](std::int32_t x, std::int32_t y) {
        s_promotion.push_back("at " + std::to_string(x) + "," + std::to_string(y));
        return x >= 100 ? 3 : 0;
    };
    promotion.pressed = [](std::int32_t action) {
        s_promotion.push_back("pressed " + std::to_string(action));
    };
    promotion.released = [] { s_promotion.push_back("released"); };
    promotion.hovered = [](std::int32_t action) {
        s_promotion.push_back("hovered " + std::to_string(action));
    };
    game::pointerPressed(10, 20);  // (20, 470): no action
    game::pointerDragged(10, 200); // (200, 470)
    game::pointerDragged(10, 20);
    game::pointerReleased(10, 300);
    EXPECT_EQ(s_promotion, (std::vector<std::string>{"at 20,470", "pressed 0", "at 200,470", "hovered 3",
                                                     "at 20,470", "released", "at 300,470", "hovered 3"}));
}

} // namespace
