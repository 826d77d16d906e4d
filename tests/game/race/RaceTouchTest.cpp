// The race's fixed touch zones on stand-in sprites: the race button, the
// right half and the HUD panel where their sprites put them, a control held
// while the stylus touches it, and the pause button's highlight and press.

#include "game/race/RaceTouch.h"
#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "tests/game/framework/TouchFixture.h"

namespace {

using RaceTouchTest = framework_testing::TouchTest;

// Sprite 66 frame 4 is 35 high; sprite 65 frame 3 is 34 high; sprite 12
// frame 6 is 18 x 9; sprite 30 frame 17 is 23 high.
TEST_F(RaceTouchTest, RaceZonesSitWhereTheirSpritesPutThem) {
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
TEST_F(RaceTouchTest, ARaceControlIsHeldWhileTheStylusTouchesItAndLetGoWhenItIsLifted) {
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
TEST_F(RaceTouchTest, ThePauseButtonHighlightsAndItsPressPushesThePauseMenu) {
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

} // namespace
