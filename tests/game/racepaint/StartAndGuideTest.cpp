// The start sequence on the frame milliseconds (phases, sounds, the race
// pushed, the boost's one window) with and without a painter, and the
// guided race's steps as a table of inputs.

#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Touch.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/racepaint/Hud.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "tests/game/race/RacePaintMessage.h"
#include "tests/game/racepaint/HudFixture.h"

#include <functional>

namespace {

using hud_testing::HudTest;

struct StartTest : HudTest {
    StartTest() {
        game::makeKeyStateArrays();
        game::stateStatics().s_state = game::State::RaceCountdown;
        game::pushState(game::State::RaceCountdown);
        game::stateStatics().s_nextState = game::State::Quit;
        game::hudStatics().s_hudPhase = 0;
        game::raceStatics().s_startPhase = 0;
        // The boost's surface check keeps the brake trail.
        game::initDrivingTables();
    }

    static void press(std::int32_t key) { rt::ByteArray::set(game::keyStatics().s_keyState, key, 1); }
    static void releaseKeys() {
        for (std::int32_t k = 0; k < game::kGameKeyCount; ++k)
            rt::ByteArray::set(game::keyStatics().s_keyState, k, 0);
    }

    // Frames of `ms` until the race is asked for: the frame of each phase
    // change (phase -> frame), and the frame that pushed the race.
    struct Run {
        std::map<std::int32_t, std::int32_t> phaseFrames;
        std::int32_t raceFrame = -1;
        // The sounds the start asked for.
        std::vector<std::int32_t> sounds;
    };
    static Run run(std::int32_t ms, void (*picture)()) {
        Run out;
        hud_testing::listenToSounds();
        game::loopStatics().s_frameMs = ms;
        game::raceStatics().s_raceFrameTime = game::frameMsToTime(ms);
        for (std::int32_t frame = 1; frame < 200 && out.raceFrame < 0; ++frame) {
            const std::int32_t before = game::raceStatics().s_startPhase;
            game::stepState41();
            if (game::raceStatics().s_startPhase != before)
                out.phaseFrames[game::raceStatics().s_startPhase] = frame;
            if (game::stateStatics().s_nextState == game::State::Race)
                out.raceFrame = frame;
            race_testing::paintRaceStateWith(picture);
        }
        out.sounds = hud_testing::requestedSounds();
        return out;
    }
};

TEST_F(StartTest, PhasesComeASecondApartWithThreeBeepsAndTheGoThenTheRace) {
    const Run withoutPainter = run(100, race_testing::paintNothing);
    // The intro runs 800 ms in the paints of frames 1 to 8; then each
    // count takes a second.
    EXPECT_EQ(withoutPainter.phaseFrames.at(1), 1);
    EXPECT_EQ(withoutPainter.phaseFrames.at(3), 9);
    EXPECT_EQ(withoutPainter.phaseFrames.at(4), 19);
    EXPECT_EQ(withoutPainter.phaseFrames.at(5), 29);
    EXPECT_EQ(withoutPainter.phaseFrames.at(6), 39);
    EXPECT_EQ(withoutPainter.phaseFrames.at(7), 49);
    EXPECT_EQ(withoutPainter.raceFrame, 50);
    EXPECT_FALSE(withoutPainter.phaseFrames.contains(2));
    EXPECT_EQ(withoutPainter.sounds, (std::vector<std::int32_t>{9, 9, 9, 8}));

    // The same frames with a painter, and in an event of type 11 one count more.
    game::raceStatics().s_startPhase = 0;
    game::hudStatics().s_hudPhase = 0;
    game::stateStatics().s_nextState = game::State::Quit;
    game::hudStatics().s_hudElements = 0x19002F;
    EXPECT_EQ(run(100, game::paintHud).raceFrame, withoutPainter.raceFrame);

    game::raceStatics().s_startPhase = 0;
    game::hudStatics().s_hudPhase = 0;
    game::stateStatics().s_nextState = game::State::Quit;
    HudTest::event(game::EventType::Sprint);
    const Run longCount = run(100, race_testing::paintNothing);
    EXPECT_EQ(longCount.phaseFrames.at(2), 9);
    EXPECT_EQ(longCount.raceFrame, 60);
    EXPECT_EQ(longCount.sounds, (std::vector<std::int32_t>{9, 9, 9, 9, 8}));
}

TEST_F(StartTest, TheBoostStartsOnlyInTheGosSecondAndOnlyOnce) {
    game::loopStatics().s_frameMs = 100;
    game::raceStatics().s_raceFrameTime = game::frameMsToTime(100);
    auto stepTo = [&](std::int32_t phase) {
        while (game::raceStatics().s_startPhase < phase) {
            game::stepState41();
            game::paintRaceState();
        }
    };
    stepTo(5);
    press(5);
    game::stepState41();
    releaseKeys();
    EXPECT_EQ(player->m_boostTimer, 0) << "no boost before the go";
    stepTo(6);
    game::stepState41();
    press(11);
    game::stepState41();
    releaseKeys();
    EXPECT_EQ(player->m_boostTimer, 4096);
    EXPECT_EQ(game::shakeStatics().s_shakeLeft > 0, true);
    // Then twice the boost's running time (409 a frame), held to the cap.
    game::StartSequenceStatics& s = game::startSequenceStatics();
    s.s_startBoostMax = 1000;
    for (std::int32_t expected : {818, 1636, 2000}) {
        game::stepState41();
        EXPECT_EQ(player->m_boostTimer, expected);
    }
    EXPECT_EQ(game::drivingStatics().s_raceBoostTimer, 1000);
    EXPECT_EQ(s.s_startBoostActive, 0);
    EXPECT_EQ(game::raceStatics().s_startPhase, 6);
    press(5);
    game::stepState41();
    releaseKeys();
    EXPECT_EQ(s.s_startBoostActive, 0) << "a second press starts nothing";
}

struct GuideTest : HudTest {
    GuideTest() {
        game::makeKeyStateArrays();
        game::stateStatics().s_gameMode = game::GameMode::Guided;
        game::eventGoalStatics().s_guideStep = 0;
        game::eventGoalStatics().s_guideTimer = 0;
        player->m_speed = 1000;
        player->m_itemTimer = 0;
        // Step 0 also takes a press on the pause button.
        game::buildPauseButtonZone();
    }
};

TEST_F(GuideTest, EachStepWaitsForItsInputThenForTheStepTime) {
    struct Step {
        std::int32_t step;
        std::function<void(game::cEntity*)> input;
    };
    auto key = [](std::int32_t k) {
        return [k](game::cEntity*) { rt::ByteArray::set(game::keyStatics().s_keyState, k, 1); };
    };
    const Step steps[] = {
        {0, key(10)},
        {1, key(4)},
        {2, [](game::cEntity* p) { p->m_speed = 0; }},
        {3, key(6)},
        {4, [](game::cEntity* p) { p->m_itemTimer = 1; }},
    };
    const std::int32_t dt = 409;
    const std::int32_t waitFrames = game::raceGuideStatics().s_guideStepTime / (dt * 256) + 1;
    game::EventGoalStatics& g = game::eventGoalStatics();
    for (const Step& s : steps) {
        ASSERT_EQ(g.s_guideStep, s.step);
        for (std::int32_t i = 0; i < 3; ++i)
            game::updateGuideSteps(dt);
        EXPECT_EQ(g.s_guideTimer, 0) << "step " << s.step << " waits for its input";
        s.input(player);
        game::updateGuideSteps(dt);
        for (std::int32_t k = 0; k < game::kGameKeyCount; ++k)
            rt::ByteArray::set(game::keyStatics().s_keyState, k, 0);
        EXPECT_EQ(g.s_guideTimer, game::raceGuideStatics().s_guideStepTime) << "step " << s.step;
        for (std::int32_t i = 1; i < waitFrames; ++i)
            game::updateGuideSteps(dt);
        EXPECT_EQ(g.s_guideStep, s.step) << "still explaining step " << s.step;
        game::updateGuideSteps(dt);
        EXPECT_EQ(g.s_guideStep, s.step + 1);
    }
    // Steps 5 and 6 hand over one charge of item 4 and wait for the track.
    game::updateGuideSteps(dt);
    EXPECT_EQ(player->m_heldItem, 4);
    EXPECT_EQ(player->m_itemCharges, 1);
    EXPECT_EQ(g.s_guideTimer, 0);
    // Step 7 counts ten objects from the step's start.
    g.s_guideStep = 7;
    player->m_collected = 12;
    game::raceGuideStatics().s_guideCollectedBase = 3;
    game::updateGuideSteps(dt);
    EXPECT_EQ(g.s_guideTimer, 0);
    player->m_collected = 13;
    game::updateGuideSteps(dt);
    EXPECT_GT(g.s_guideTimer, 0);
}

TEST_F(GuideTest, Key17LeavesTheGuideForTheMenusAtAnyWaitingStep) {
    game::initStateMachine();
    for (std::int32_t step : {0, 3, 7}) {
        game::eventGoalStatics().s_guideStep = step;
        game::eventGoalStatics().s_guideTimer = 0;
        game::stateStatics().s_nextState = game::State::Quit;
        rt::ByteArray::set(game::keyStatics().s_keyState, game::kGuideExitKey, 1);
        game::updateGuideSteps(409);
        rt::ByteArray::set(game::keyStatics().s_keyState, game::kGuideExitKey, 0);
        EXPECT_EQ(game::stateStatics().s_nextState, game::State::Loading) << step;
        EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadMenus);
        EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RaceMenu);
    }
    // The frame's pressed key is the highest that went down: key 17 together
    // with the right soft key (19) is no request to leave.
    game::eventGoalStatics().s_guideStep = 0;
    game::stateStatics().s_nextState = game::State::Quit;
    game::stateStatics().s_stateChangePending = 0;
    rt::ByteArray::set(game::keyStatics().s_keyState, game::kGuideExitKey, 1);
    rt::ByteArray::set(game::keyStatics().s_keyState, 19, 1);
    game::updateGuideSteps(409);
    rt::ByteArray::set(game::keyStatics().s_keyState, game::kGuideExitKey, 0);
    rt::ByteArray::set(game::keyStatics().s_keyState, 19, 0);
    EXPECT_EQ(game::stateStatics().s_nextState, game::State::Quit);
    EXPECT_EQ(game::eventGoalStatics().s_guideStep, 0);
}

} // namespace
