#include "game/racescreens/ResultsScreen.h"

#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/Blink.h"
#include "game/race/DrivingTuning.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"

namespace game {

namespace {

// Half the blink period of the results' text, in ms.
constexpr std::int32_t kBlinkPeriod = 250;

bool keyToGoOn(std::int32_t key) {
    return key == kSelectKey || key == kFireKey || isPressOnScreen();
}

void enterResults() {
    RaceResultsStatics& s = raceResultsStatics();
    if (isChampionship())
        awardCupPoints();
    setSoftKeys(-1, -1);
    startBlink(kBlinkPeriod);
    s.s_resultsRows = racerCount() < kResultsRowsShown + 1 ? racerCount() : kResultsRowsShown;
    s.s_resultsRow = 0;
    s.s_resultsSlide = 0;
    s.s_resultsPhase = 0;
    s.s_resultsReady = 0;
}

void leaveRows() {
    RaceResultsStatics& s = raceResultsStatics();
    if (isChampionship()) {
        s.s_resultsSlide = kResultsSlideFull;
        s.s_resultsPhase = 1;
        s.s_resultsReady = 0;
    } else if (isLastEvent()) {
        backToState(State::RaceEndMenu);
    } else {
        setLoadingTarget(kLoadNextRace, State::TrackFlyover);
        backToState(State::Loading);
    }
}

void updateResults() {
    RaceResultsStatics& s = raceResultsStatics();
    RaceStatics& race = raceStatics();
    const std::int32_t ms = loopStatics().s_frameMs;
    race.s_raceFrameTime = (ms << 12) / 1000;
    raceStep(race.s_raceFrameTime);
    if (cEntity* player = racerStatics().s_playerCar)
        player->m_heading = 0;
    const std::int32_t key = getReleasedKey();
    (void)advanceBlinkTimer(ms);
    switch (s.s_resultsPhase) {
    case 0:
        if (stateStatics().s_gameMode == GameMode::LapRace) {
            if (s.s_resultsSlide < kResultsSlideFull) {
                s.s_resultsSlide += kResultsSlideStep;
            } else if (s.s_resultsRow < s.s_resultsRows) {
                s.s_resultsSlide = 0;
                ++s.s_resultsRow;
            } else {
                s.s_resultsReady = 1;
            }
        } else {
            // Modes 1, 4 and 5 show their rows at once; a mode without rows
            // has nothing to wait for.
            s.s_resultsReady = 1;
        }
        if (s.s_resultsReady && keyToGoOn(key))
            leaveRows();
        break;
    case 1:
        s.s_resultsSlide -= kResultsSlideStep;
        if (s.s_resultsSlide <= 0) {
            s.s_resultsSlide = 0;
            s.s_resultsPhase = 2;
        }
        break;
    case 2:
        s.s_resultsSlide += kResultsSlideStep;
        if (s.s_resultsSlide > kResultsSlideFull) {
            s.s_resultsSlide = kResultsSlideFull;
            s.s_resultsPhase = 3;
        }
        break;
    case 3: {
        s.s_resultsReady = 1;
        for (std::int32_t i = 0; i < racerCount(); ++i) {
            const cEntity* car = racerAt(i);
            const std::int32_t kind = car ? car->m_driverKind : -1;
            if (intAt(s.s_cupShownPoints, kind) < intAt(s.s_cupPoints, kind)) {
                addIntAt(s.s_cupShownPoints, kind, 1);
                s.s_resultsReady = 0;
            }
        }
        if (s.s_resultsReady && keyToGoOn(key)) {
            s.s_resultsReady = 0;
            s.s_resultsPhase = 4;
            for (std::int32_t kind = 0; kind < kDriverKinds; ++kind)
                setIntAt(s.s_cupShownPoints, kind, intAt(s.s_cupPoints, kind));
            updateCupStandings();
        }
        break;
    }
    case 4:
        // The standings have no animation: ready at once.
        s.s_resultsReady = 1;
        if (keyToGoOn(key)) {
            ++s.s_cupRace;
            if (s.s_cupRace >= kCupRaces) {
                // Over: the end screen reads the points, and the next
                // championship begins at its first race.
                s.s_cupRace = 0;
                setLoadingTarget(kLoadMenus, State::RewardScreen);
            } else {
                setLoadingTarget(kLoadNextRace, State::TrackFlyover);
            }
            backToState(State::Loading);
        }
        break;
    default:
        break;
    }
}

} // namespace

void stateRaceResults(std::int32_t message) {
    switch (message) {
    case kEnter:
        enterResults();
        break;
    case kUpdate:
        updateResults();
        break;
    case kPaint:
        paintRaceState();
        break;
    default:
        break;
    }
}

} // namespace game
