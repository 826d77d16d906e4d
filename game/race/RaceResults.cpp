#include "game/race/RaceResults.h"

#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// Points by finishing place.
constexpr std::int32_t kPlacePoints[] = {10, 8, 6, 5, 4, 3, 2, 1};

rt::IntArray* kindTable(rt::IntArray*& table) {
    if (!table)
        table = rt::newIntArray(kDriverKinds);
    return table;
}

std::int32_t placePoints(std::int32_t place) {
    return intAt(raceResultsStatics().s_cupPlacePoints, place);
}

} // namespace

RaceResultsStatics& raceResultsStatics() {
    return rt::getStaticClass().statics<RaceResultsStatics>();
}

bool isChampionship() {
    return raceResultsStatics().s_championship != 0;
}

void raceResultsStaticInit() {
    RaceResultsStatics& s = raceResultsStatics();
    if (!s.s_cupPlacePoints) {
        constexpr std::int32_t n = static_cast<std::int32_t>(std::size(kPlacePoints));
        s.s_cupPlacePoints = rt::newIntArray(n);
        for (std::int32_t i = 0; s.s_cupPlacePoints && i < n; ++i)
            rt::IntArray::set(s.s_cupPlacePoints, i, kPlacePoints[i]);
    }
    resetChampionship();
}

void resetChampionship() {
    RaceResultsStatics& s = raceResultsStatics();
    s.s_cupRace = 0;
    s.s_cupShownPoints = rt::newIntArray(kDriverKinds);
    s.s_cupPoints = rt::newIntArray(kDriverKinds);
    s.s_cupStandings = rt::newIntArray(kDriverKinds);
    updateCupStandings();
}

void updateCupStandings() {
    RaceResultsStatics& s = raceResultsStatics();
    rt::IntArray* order = kindTable(s.s_cupStandings);
    for (std::int32_t i = 0; i < kDriverKinds; ++i)
        setIntAt(order, i, i);
    // Insertion sort: most points first, equal points by kind.
    for (std::int32_t i = 1; i < kDriverKinds; ++i) {
        const std::int32_t kind = intAt(order, i);
        std::int32_t j = i;
        while (j > 0 && intAt(s.s_cupPoints, intAt(order, j - 1)) < intAt(s.s_cupPoints, kind)) {
            setIntAt(order, j, intAt(order, j - 1));
            --j;
        }
        setIntAt(order, j, kind);
    }
    const cEntity* player = racerStatics().s_playerCar;
    const std::int32_t mine = player ? player->m_driverKind : -1;
    s.s_cupPlayerStanding = 0;
    for (std::int32_t i = 0; i < kDriverKinds; ++i)
        if (intAt(order, i) == mine)
            s.s_cupPlayerStanding = i;
    s.s_cupPlayerLeads = s.s_cupPlayerStanding == 0 ? 1 : 0;
}

void awardCupPoints() {
    RaceResultsStatics& s = raceResultsStatics();
    // A championship's first race counts from nothing, whatever an earlier
    // championship left for its end screen.
    if (s.s_cupRace == 0)
        for (std::int32_t kind = 0; kind < kDriverKinds; ++kind)
            setIntAt(kindTable(s.s_cupPoints), kind, 0);
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        const cEntity* car = racerAt(i);
        const std::int32_t kind = car ? car->m_driverKind : -1;
        setIntAt(kindTable(s.s_cupShownPoints), kind, intAt(s.s_cupPoints, kind));
        addIntAt(kindTable(s.s_cupPoints), kind, placePoints(i));
    }
    updateCupStandings();
}

std::int32_t resultsTime() {
    if (stateStatics().s_gameMode == GameMode::StopAndGo)
        return eventGoalStatics().s_stopGoClock;
    const cEntity* player = racerStatics().s_playerCar;
    return player ? intAt(raceFrameStatics().s_racerTimes, player->m_racerIndex) : 0;
}

} // namespace game
