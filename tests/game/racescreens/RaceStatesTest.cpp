// The race states' own rules: when the outro lets the race be left (the
// finish animation played out), where a press counts as one in the play
// area, the pause that the finishing frame and a second hide do not open,
// the race music again after the pause, the countdown that steps the start
// sequence and the guide's explanation over it, the view pass that projects
// the road from the camera before the painter, and where the race is left
// to.

#include "game/racescreens/RaceStates.h"
#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/Paint.h"
#include "game/sprite/TextLayout.h"
#include "tests/game/framework/TouchFixture.h"
#include "tests/game/race/DrivingFixture.h"
#include "tests/game/race/HeardSounds.h"
#include "tests/game/race/RacePaintMessage.h"
#include "tests/game/sprite/PaintFixture.h"
#include "tests/support/CosTable.h"
#include "tools/datakit/TrackRing.h"

#include <optional>

namespace {

struct RaceStates : race_testing::DrivingTest {
    RaceStates() {
        testing_support::installCosTable();
        game::initEventSlots();
        game::initStateMachine();
        loadRing(datakit::TrackRing().straight(12));
        game::raceStatics().s_racers = rt::newObjectArray(2);
        rt::ObjectArray::set(game::raceStatics().s_racers, 0, makeCar(1, {0, 100}, 4096));
        game::cEntity* player = makeCar(0, {0, 100}, 4096);
        player->m_racerIndex = 1;
        rt::ObjectArray::set(game::raceStatics().s_racers, 1, player);
        game::racerStatics().s_playerCar = player;
        game::raceStatics().s_laps = 1;
        game::raceStatics().s_raceSetUp = 1;
        game::resetRaceRun();
        noPress();
    }
    // A test may replace a registry's member.
    ~RaceStates() override { game::registerGame(); }

    static game::cEntity* player() { return game::racerStatics().s_playerCar; }
    static void released(std::int32_t key) {
        keys({}, {});
        game::keyStatics().s_keysReleased = key < 0 ? 0 : 1 << key;
    }
    static void press(std::int32_t x, std::int32_t y) {
        game::touchStatics().s_latchedPressX = x;
        game::touchStatics().s_latchedPressY = y;
    }
    static void noPress() { press(game::kNoPoint, game::kNoPoint); }
    static void frame(std::int32_t ms) {
        game::loopStatics().s_frameMs = ms;
        game::raceStatics().s_raceFrameTime = game::frameMsToTime(ms);
    }
    static std::optional<game::State> requested() {
        if (!game::stateStatics().s_stateChangePending)
            return std::nullopt;
        return game::stateStatics().s_nextState;
    }
    static void clearRequest() {
        game::stateStatics().s_stateChangePending = 0;
        game::stateStatics().s_nextState = game::State::Quit;
    }
};

TEST_F(RaceStates, PressesCountInThePlayAreaUpToTheStripAndBetweenTheSoftKeys) {
    // 640 x 480, the strip's 21 rows, soft keys 80 wide.
    struct Row {
        std::int32_t x, y;
        bool want;
    };
    for (Row r :
         {Row{-1, -1, false}, Row{5, 0, true}, Row{0, 459, true}, Row{79, 460, false}, Row{80, 460, true},
          Row{560, 479, true}, Row{561, 479, false}, Row{300, 480, false}, Row{300, -1, false}}) {
        press(r.x, r.y);
        EXPECT_EQ(game::isPressInPlayArea(), r.want) << r.x << ", " << r.y;
    }
}

// A sprite of one animation of four frames, 2500 ms each at 10 ms a time
// unit.
game::ASprite* tenSecondAnimation() {
    game::spriteStaticInit();
    game::spriteStatics().s_gcOnLoad = 0;
    game::paintStatics().s_aframeTimeUnit = 10;
    datakit::SpriteModel model = sprite_testing::paletteModel({0, 0xFFFF0000u});
    sprite_testing::addFlatModule(model, 1, 1, 1);
    const std::uint8_t frame = sprite_testing::addFrame(model, {{.module = 0}});
    sprite_testing::addAnim(model, std::vector<datakit::SpriteAFrame>(4, {.frame = frame, .time = 250}));
    return sprite_testing::loadSprite(datakit::writeSprite(model));
}

TEST_F(RaceStates, GameModeZeroLeavesEightSecondsAfterTheFinishOnceTheAnimationEnded) {
    struct Row {
        const char* what;
        bool playing;
        std::int32_t wantFrame;
    };
    // 100 ms frames: 409 a frame passes 8 s (32768) in frame 81. The finish
    // makes its animation on sprite 15 with none selected, which has played
    // out at once; an animation of 10 s played once, 50 ms a frame, has its
    // end seen in the frame after the 200th.
    for (const Row r : {Row{"the finish's own", false, 81}, Row{"ten seconds", true, 201}}) {
        SCOPED_TRACE(r.what);
        game::raceStateStatics().s_outroTime = 0;
        game::finishRace();
        auto* animation = static_cast<game::OrvelLibPlayer*>(game::hudStateStatics().s_finishPlayer);
        ASSERT_NE(animation, nullptr);
        if (r.playing) {
            animation->initWithSprite(tenSecondAnimation(), 0, 0);
            animation->m_anim = 0;
            animation->m_loops = 0;
        }
        frame(100);
        released(-1);
        std::int32_t left = 0;
        for (std::int32_t f = 1; f <= 400 && !left; ++f)
            if (game::updateFinishOutro())
                left = f;
        EXPECT_EQ(left, r.wantFrame);
    }
}

// Where a finished race goes by its event type; the head-up display's
// elements are cleared on the way.
TEST_F(RaceStates, AFinishedRaceIsLeftByItsEventType) {
    struct Row {
        game::EventType type;
        game::State state;
        std::optional<game::State> loadingNext; // none: no load
    };
    using game::EventType;
    using game::State;
    const Row rows[] = {
        {EventType::Laps, State::RaceResults, std::nullopt},
        {EventType::Distance, State::RaceResults, std::nullopt},
        {EventType::StopAndGo, State::RaceResults, std::nullopt},
        {EventType::Points, State::RaceResults, std::nullopt},
        {EventType::Collection, State::RaceEndMenu, std::nullopt},
        {EventType::Score, State::RaceEndMenu, std::nullopt},
        {EventType::Guided, State::Loading, State::MainMenu},
        {EventType::Section, State::Loading, State::RewardScreen},
        {EventType::OpenDistance, State::Loading, State::RewardScreen},
    };
    // What the loading target holds when the race is left without a load.
    constexpr std::int32_t kNoKind = -1;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.type);
        game::initStateMachine();
        game::StateStatics& s = game::stateStatics();
        rt::IntArray::set(s.s_stateStack, 0, game::stateNumber(State::Race));
        s.s_stateStackDepth = 1;
        s.s_state = State::Race;
        game::setLoadingTarget(kNoKind, State::Quit);
        game::hudStatics().s_hudElements = 0x191086;
        game::setSlotEventType(0, r.type);
        game::leaveRace();
        EXPECT_EQ(requested(), r.state);
        EXPECT_EQ(s.s_loadKind, r.loadingNext ? game::kLoadMenus : kNoKind);
        EXPECT_EQ(s.s_loadingNextState, r.loadingNext.value_or(State::Quit));
        EXPECT_EQ(game::hudStatics().s_hudElements, 0);
    }
}

TEST_F(RaceStates, OtherModesWaitForAKeyOrAPressAndStillCarsForTheChallenges) {
    game::stateStatics().s_gameMode = game::GameMode::TimeTrial;
    frame(100);
    released(-1);
    for (int f = 0; f < 300; ++f)
        ASSERT_FALSE(game::updateFinishOutro());
    for (std::int32_t key : {game::kFireKey, game::kSelectKey}) {
        released(key);
        EXPECT_TRUE(game::updateFinishOutro()) << key;
    }
    released(game::kPauseKey);
    EXPECT_FALSE(game::updateFinishOutro());
    press(300, 200);
    EXPECT_TRUE(game::updateFinishOutro());
    press(10, 475);
    EXPECT_FALSE(game::updateFinishOutro());

    // A challenge type waits until the player's car stands.
    game::setSlotEventType(0, game::EventType::SecondSection);
    released(game::kFireKey);
    player()->m_speed = 100;
    EXPECT_FALSE(game::updateFinishOutro());
    EXPECT_EQ(game::hudStateStatics().s_finishAnimShown, 0);
    player()->m_speed = 0;
    EXPECT_TRUE(game::updateFinishOutro());

    // The guided race's car drives on past its last lesson: the finish
    // shows, and a press leaves, while it still moves.
    game::setSlotEventType(0, game::EventType::Guided);
    player()->m_speed = 100;
    EXPECT_TRUE(game::updateFinishOutro());
    EXPECT_EQ(game::hudStateStatics().s_finishShown, 1);
}

TEST_F(RaceStates, TheFinishingFrameOpensNoPauseAndAHideOpensItOnce) {
    frame(40);
    // Key 18 in an ordinary race frame opens the pause menu.
    released(game::kPauseKey);
    game::stateRace(game::kUpdate);
    EXPECT_EQ(requested(), game::State::PauseMenu);
    clearRequest();
    game::raceTouchStatics().s_raceControlsOff = 0;

    // Key 18 in the frame that finishes the race does not.
    player()->m_lap = 2;
    game::stateRace(game::kUpdate);
    ASSERT_EQ(game::raceStatics().s_raceFinished, 1);
    EXPECT_NE(requested(), game::State::PauseMenu);
    clearRequest();

    // Back from a hide in the countdown and in the race: once each, while
    // the controls are on.
    for (auto handler : {game::stateRaceCountdown, game::stateRace}) {
        game::raceStatics().s_raceFinished = 0;
        player()->m_lap = 1;
        game::raceTouchStatics().s_raceControlsOff = 0;
        released(-1);
        game::loopStatics().s_resumedThisFrame = 1;
        handler(game::kUpdate);
        EXPECT_EQ(requested(), game::State::PauseMenu);
        clearRequest();
        handler(game::kUpdate);
        EXPECT_EQ(requested(), std::nullopt) << "opened a second time";
        game::loopStatics().s_resumedThisFrame = 0;
    }
}

TEST_F(RaceStates, ResumingFromThePauseRestartsTheRaceMusicOnlyIfMusicPlayedWhenItOpened) {
    race_testing::HeardSounds sounds;
    game::raceStateStatics().s_raceMusic = 2;
    game::loopStatics().s_pausedMusic = -1;
    struct Row {
        std::int32_t playing, played;
    };
    // Music 3, no sound, and sound effect 9 (no music) when the menu opened.
    for (const Row& row : {Row{3, 2}, Row{-1, -1}, Row{9, -1}}) {
        sounds.play(row.playing);
        game::initStateMachine();
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (game::State state : {game::State::Race, game::State::PauseMenu})
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, game::stateNumber(state));
        s.s_state = game::State::PauseMenu;
        game::statePauseMenu(game::kEnter);
        sounds.play(-1); // the menu stopped it
        s.s_prevState = game::State::PauseMenu;
        s.s_state = game::State::Race;
        game::stateRace(game::kEnter);
        EXPECT_EQ(sounds.last(), row.played) << "playing " << row.playing;
    }
}

TEST_F(RaceStates, TheCountdownStepsTheStartSequenceAndItsPauseKeepsThePhase) {
    game::raceStatics().s_startPhase = 0;
    game::hudStatics().s_hudPhase = 0;
    game::stateRaceCountdown(game::kEnter);
    frame(250);
    released(-1);
    game::stateRaceCountdown(game::kUpdate);
    // The sequence's first step starts the display's intro and waits for it.
    EXPECT_EQ(game::raceStatics().s_startPhase, 1);
    EXPECT_EQ(game::hudStatics().s_hudPhase, 1);
    // The pause over the count and the way back (a pop enters 41 again)
    // leave the count where it was.
    game::setStartPhase(4);
    released(game::kPauseKey);
    game::stateRaceCountdown(game::kUpdate);
    EXPECT_EQ(requested(), game::State::PauseMenu);
    EXPECT_EQ(game::raceMenuStatics().s_pauseMenuItem, 0);
    EXPECT_EQ(game::raceTouchStatics().s_raceControlsOff, 1);
    clearRequest();
    game::stateRaceCountdown(game::kEnter);
    EXPECT_EQ(game::raceStatics().s_startPhase, 4);
    EXPECT_EQ(game::raceTouchStatics().s_raceControlsOff, 0);
}

TEST_F(RaceStates, TheGuidesExplanationOverTheCountEndsOnAKeyOrLeavesOnKey17) {
    game::stateStatics().s_gameMode = game::GameMode::Guided;
    frame(40);
    struct Row {
        std::int32_t released, pressed, wantTimer;
        std::optional<game::State> wantState;
    };
    for (Row r : {Row{-1, -1, -1, std::nullopt}, Row{game::kFireKey, -1, 0, std::nullopt},
                  Row{game::kSelectKey, -1, 0, std::nullopt},
                  Row{-1, game::kGuideExitKey, -1, game::State::Loading}}) {
        clearRequest();
        game::eventGoalStatics().s_guideStep = 0;
        game::stateRaceCountdown(game::kEnter);
        released(r.released);
        if (r.pressed >= 0)
            game::keyStatics().s_keysPressed = 1 << r.pressed;
        game::stateRaceCountdown(game::kUpdate);
        EXPECT_EQ(game::eventGoalStatics().s_guideTimer, r.wantTimer) << r.released << " " << r.pressed;
        EXPECT_EQ(requested(), r.wantState) << r.released << " " << r.pressed;
        if (r.wantState == game::State::Loading) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RaceMenu);
        }
    }
}

TEST_F(RaceStates, TheViewPassProjectsTheRoadFromTheRaceCameraBeforeThePainter) {
    game::CameraStatics& c = game::cameraStatics();
    c.s_cameraSegment = 11;
    c.s_cameraSegmentPos = 300;
    c.s_cameraLateral = 100;
    player()->m_segment = 0;
    player()->m_segmentPos = 0;
    game::viewPassStaticInit();
    static std::int32_t seenDepth;
    static std::int32_t seenSegment;
    seenDepth = seenSegment = -1;
    race_testing::paintRaceStateWith([] {
        seenDepth = game::roadSliceStatics().s_sliceDepth[0];
        seenSegment = game::roadSliceStatics().s_sliceSegment[1];
    });
    const game::RoadSliceStatics& s = game::roadSliceStatics();
    EXPECT_EQ(s.s_sliceSegment[0], 11);
    EXPECT_EQ(seenSegment, 0) << "the slices wrap past the ring's end";
    EXPECT_EQ(s.s_sliceX[0], -100);
    EXPECT_EQ(seenDepth, -300);
    EXPECT_GT(s.s_sliceScreenWidth[1], 0);
}

using LeaveRaceTest = framework_testing::TouchTest;

// The way out of a race follows the current event's type; the HUD's
// element bits are cleared on every way.
TEST_F(LeaveRaceTest, LeavingARaceGoesWhereItsTypeLeads) {
    struct Case {
        game::EventType raceType;
        game::State requested, afterLoading;
        std::int32_t loadKind;
    };
    // Back to the menus through the loading state means the menus' load
    // (kind 4): a kind left at 0 would end the load at once.
    using game::EventType;
    using game::State;
    const Case cases[] = {
        {EventType::Laps, State::RaceResults, State{}, 0},
        {EventType::Distance, State::RaceResults, State{}, 0},
        {EventType::StopAndGo, State::RaceResults, State{}, 0},
        {EventType::Points, State::RaceResults, State{}, 0},
        {EventType::Collection, State::RaceEndMenu, State{}, 0},
        {EventType::Score, State::RaceEndMenu, State{}, 0},
        {EventType::Guided, State::Loading, State::MainMenu, 4},
        {EventType::Section, State::Loading, State::RewardScreen, 4},
        {EventType::None, State::Loading, State::RewardScreen, 4},
    };
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raceType);
        game::initStateMachine();
        for (State state : {State::Loading, State::RaceEndMenu, State::TrackFlyover, State::Race})
            game::pushState(state);
        game::stateStatics().s_loadingNextState = State{};
        game::stateStatics().s_loadKind = 0;
        // No type: no event in the current slot.
        slots.s_currentEvent = c.raceType == EventType::None ? game::kEventSlots : 0;
        game::setSlotEventType(0, c.raceType);
        game::hudStatics().s_hudElements = 0x7F;
        game::leaveRace();
        EXPECT_EQ(game::hudStatics().s_hudElements, 0);
        EXPECT_EQ(game::stateStatics().s_nextState, c.requested);
        EXPECT_EQ(game::stateStatics().s_loadingNextState, c.afterLoading);
        EXPECT_EQ(game::stateStatics().s_loadKind, c.loadKind);
    }
}

} // namespace
