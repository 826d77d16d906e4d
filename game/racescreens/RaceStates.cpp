#include "game/racescreens/RaceStates.h"

#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/Blink.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racescreens/RaceMenus.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/MenuStatics.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

constexpr std::int32_t kPauseLabel = 4;
constexpr std::int32_t kSkipLabel = 3;
constexpr std::int32_t kNoLabel = -1;
constexpr std::int32_t kStartSound = 12;
// The music of a race whose player car is in its ghost animation.
constexpr std::int32_t kStrikeMusic = 4;
constexpr std::int32_t kMusicCount = 8;

std::int32_t frameTime() {
    return frameMsToTime(loopStatics().s_frameMs);
}

bool leavesPreRace(bool ended) {
    const std::int32_t key = getReleasedKey();
    return ended || key == kPauseKey || key == kFireKey || key == kSelectKey || isPressOnScreen() ||
           touchSoftKeys();
}

// The flyover and the racer intro differ only in how the camera starts,
// how it steps (answering whether it has ended) and where they lead.
void preRaceState(std::int32_t message, void (*placeCamera)(), bool (*stepCamera)(std::int32_t), State next) {
    switch (message) {
    case kEnter:
        ensureRaceSetUp();
        placeCamera();
        setSoftKeys(kSkipLabel, kNoLabel);
        raceTouchStatics().s_raceControlsOff = 1;
        startBlink(cameraStatics().s_blinkStartPeriod);
        break;
    case kUpdate: {
        const std::int32_t dt = frameTime();
        (void)advanceBlinkTimer(dt);
        if (leavesPreRace(stepCamera(dt)))
            pushState(next);
        break;
    }
    case kPaint:
        paintRaceState();
        break;
    default:
        break;
    }
}

// The pause menu over the race: on key 18, or once when the canvas came
// back from hiding while the controls are on.
void pauseOnRequest(std::int32_t releasedKey) {
    RaceTouchStatics& touch = raceTouchStatics();
    if (releasedKey == kPauseKey || (loopStatics().s_resumedThisFrame && !touch.s_raceControlsOff)) {
        touch.s_raceControlsOff = 1;
        raceMenuStatics().s_pauseMenuItem = 0;
        pushState(State::PauseMenu);
    }
}

void playRaceMusic(bool fromCountdown) {
    const RaceStateStatics& s = raceStateStatics();
    const std::int32_t remembered = loopStatics().s_pausedMusic;
    const bool wanted =
        fromCountdown || menuStatics().s_resumeMusic || (remembered >= 0 && remembered < kMusicCount);
    const cEntity* player = racerStatics().s_playerCar;
    if (!wanted || raceStatics().s_raceFinished)
        return;
    requestSound(player && player->m_state == CarState::Ghost ? kStrikeMusic : s.s_raceMusic);
}

} // namespace

void paintRaceState() {
    runRaceViewPass();
    paintRacePicture();
    finishRaceViewPass();
}

bool isPressInPlayArea() {
    const TouchStatics& touch = touchStatics();
    const std::int32_t x = touch.s_latchedPressX;
    const std::int32_t y = touch.s_latchedPressY;
    if (x == kNoPoint && y == kNoPoint)
        return false;
    const std::int32_t width = config().s_gameScreenWidth;
    const std::int32_t height = config().s_gameScreenHeight;
    const std::int32_t margin = raceStateStatics().s_softKeyMargin;
    if (y >= 0 && y <= height - kSoftKeyStrip)
        return true;
    return x >= margin && x <= width - margin && y > height - kSoftKeyStrip && y < height;
}

void leaveRace() {
    hudStatics().s_hudElements = 0;
    switch (currentEventType()) {
    case EventType::Laps:
    case EventType::Distance:
    case EventType::StopAndGo:
    case EventType::Points:
        pushState(State::RaceResults);
        break;
    case EventType::Collection:
    case EventType::Score:
        backToState(State::RaceEndMenu);
        break;
    case EventType::Guided:
        setLoadingTarget(kLoadMenus, State::MainMenu);
        backToState(State::Loading);
        break;
    default:
        setLoadingTarget(kLoadMenus, State::RewardScreen);
        backToState(State::Loading);
        break;
    }
}

bool updateFinishOutro() {
    RaceStateStatics& s = raceStateStatics();
    HudStateStatics& overlay = hudStateStatics();
    const RaceStatics& race = raceStatics();
    overlay.s_finishAnimShown = 0;
    overlay.s_finishShown = 0;
    const EventType type = currentEventType();
    if (type == EventType::Laps || type == EventType::Distance || type == EventType::StopAndGo ||
        type == EventType::Points || type == EventType::Collection || type == EventType::Score) {
        if (type != EventType::Collection && type != EventType::Score)
            s.s_outroTime += race.s_raceFrameTime;
        overlay.s_finishAnimShown = 1;
        if (advanceFinishAnimation())
            overlay.s_finishShown = 1;
    } else if (type >= EventType::Guided && type <= EventType::OpenDistance) {
        // The guided race's car drives on after its last lesson, so its
        // finish shows at once; the others show it once the car stands.
        const cEntity* player = racerStatics().s_playerCar;
        const bool standing = player && player->m_speed == 0 && cameraStatics().s_cameraExtraDistance == 0;
        if (type == EventType::Guided || standing) {
            overlay.s_finishAnimShown = 1;
            if (!race.s_raceResult || advanceFinishAnimation())
                overlay.s_finishShown = 1;
        }
    }
    (void)advanceBlinkTimer(race.s_raceFrameTime);
    const std::int32_t key = getReleasedKey();
    if (key != kFireKey && key != kSelectKey) {
        if (stateStatics().s_gameMode == GameMode::LapRace && s.s_outroTime > s.s_outroAutoLeave)
            return overlay.s_finishShown;
        if (!isPressInPlayArea())
            return false;
    }
    return overlay.s_finishShown;
}

void stateTrackFlyover(std::int32_t message) {
    if (message == kExit)
        menuStatics().s_resumeMusic = 0;
    else
        preRaceState(
            message,
            [] {
                cameraStatics().s_cameraPathPoint = 0;
                startCameraPath(0);
            },
            stepCameraPath, currentEventType() == EventType::Laps ? State::RacerIntro : State::RaceCountdown);
}

void stateRacerIntro(std::int32_t message) {
    preRaceState(message, resetCamera, stepCameraOverRacers, State::RaceCountdown);
}

void stateRaceCountdown(std::int32_t message) {
    switch (message) {
    case kEnter:
        ensureRaceSetUp();
        placeCameraBehindPlayer();
        // The guide's explanation shows until a key or a press.
        eventGoalStatics().s_guideTimer = -1;
        setSoftKeys(kPauseLabel, kNoLabel);
        raceTouchStatics().s_raceControlsOff = 0;
        break;
    case kUpdate: {
        (void)touchRaceStartButtons();
        const std::int32_t key = getReleasedKey();
        // The guide's explanation over the start can leave the guide; the
        // overlay only draws it.
        if (stateStatics().s_gameMode == GameMode::Guided && eventGoalStatics().s_guideTimer < 0 &&
            eventGoalStatics().s_guideStep < kGuideSteps && isGuideExitAsked()) {
            leaveGuide();
            return;
        }
        // The guide's explanation holds the count before its first number:
        // the count starts once the player has read it and tapped.
        const bool explaining = stateStatics().s_gameMode == GameMode::Guided &&
                                eventGoalStatics().s_guideTimer < 0 &&
                                eventGoalStatics().s_guideStep < kGuideSteps;
        if (!explaining || raceStatics().s_startPhase < 1)
            stepState41();
        if (rt::exceptionPending())
            return;
        if (key == kFireKey || key == kSelectKey || isPressOnScreen())
            eventGoalStatics().s_guideTimer = 0;
        pauseOnRequest(key);
        break;
    }
    case kPaint:
        paintRaceState();
        break;
    case kExit: {
        const cEntity* player = racerStatics().s_playerCar;
        if (!player || player->m_gear != 1)
            requestSound(kStartSound);
        break;
    }
    default:
        break;
    }
}

void stateRace(std::int32_t message) {
    switch (message) {
    case kEnter:
        ensureRaceSetUp();
        setSoftKeys(raceStatics().s_raceFinished ? kNoLabel : kPauseLabel, kNoLabel);
        raceTouchStatics().s_raceControlsOff = 0;
        playRaceMusic(stateStatics().s_prevState == State::RaceCountdown);
        break;
    case kUpdate: {
        (void)touchRaceStartButtons();
        const std::int32_t key = getReleasedKey();
        if (raceStatics().s_raceFinished)
            setSoftKeys(kNoLabel, kNoLabel);
        updateRace();
        if (rt::exceptionPending())
            return;
        // Read after the race frame: the frame that finishes the race opens
        // no pause menu.
        if (!raceStatics().s_raceFinished)
            pauseOnRequest(key);
        else if (updateFinishOutro())
            leaveRace();
        break;
    }
    case kPaint:
        paintRaceState();
        break;
    default:
        break;
    }
}

void registerRaceStates() {
    setStateHandler(State::TrackFlyover, stateTrackFlyover);
    setStateHandler(State::RacerIntro, stateRacerIntro);
    setStateHandler(State::RaceCountdown, stateRaceCountdown);
    setStateHandler(State::Race, stateRace);
}

} // namespace game
