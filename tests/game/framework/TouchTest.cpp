// Stylus points turned into game space and latched once per frame, the hit
// tests on the latched pair, the soft-key zones and the promotion screen's
// share of each pointer event.

#include "game/framework/Touch.h"
#include "tests/game/framework/TouchFixture.h"

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

TEST_F(TouchTest, HitTestsReadTheLatchedPressAndTheActiveZoneIsACopy) {
    pressAt(100, 200);
    EXPECT_TRUE(game::isPressInRect(100, 200, 50, 50));
    EXPECT_FALSE(game::isPressInRect(101, 200, 49, 50));
    EXPECT_TRUE(game::isPressOnScreen());

    game::touchStatics().s_activeZone = rt::newIntArray(3);
    rt::IntArray* zone = rt::newIntArray(4);
    rt::Array::fill32(zone, {90, 190, 10, 10});
    game::setTouchZone(zone);
    rt::IntArray::set(zone, 0, 0); // a copy: later changes to the argument do not count
    const rt::IntArray* active = game::touchStatics().s_activeZone;
    ASSERT_EQ(active->length(), 4) << "a zone shorter than 4 is made anew";
    EXPECT_EQ(rt::IntArray::get(active, 0), 90);
    EXPECT_EQ(rt::IntArray::get(active, 3), 10);

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
