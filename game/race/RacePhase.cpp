#include "game/race/RacePhase.h"

#include "classlib/lang/System.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

RacePhaseStatics& racePhaseStatics() {
    return rt::getStaticClass().statics<RacePhaseStatics>();
}

std::int64_t raceNowMs() {
    return lib::java_lang_System::currentTimeMillis();
}

void resetRacePhase() {
    RacePhaseStatics& p = racePhaseStatics();
    p.s_racePhase = 0;
    p.s_phaseStamp = -1;
    p.s_phasePosition = 0;
}

namespace {

void setComputerModes(std::int32_t mode) {
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (cEntity* car = racerAt(i); car && car->m_type == 1)
            car->m_aiMode = mode;
}

} // namespace

std::int32_t phaseOfProgress(const cEntity* player) {
    const std::int32_t progress =
        player->m_lap < 1 ? 0 : (player->m_lap - 1) * trackStatics().s_segmentCount + player->m_segment;
    const std::int32_t total = raceStatics().s_totalSegments;
    if (progress < kPhaseStartSegments)
        return 0;
    if (progress <= total / 3)
        return 1;
    if (progress <= 2 * total / 3)
        return 2;
    return 3;
}

cEntity* carAtPlace(std::int32_t place) {
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (cEntity* car = racerAt(i); car && car->m_racePosition == place)
            return car;
    return nullptr;
}

namespace {

// Drops modes 2 and 3 that no longer fit where the car is against the
// player; the last car of the list keeps its mode.
void releaseStaleModes(const cEntity* player) {
    for (std::int32_t i = 0; i + 1 < racerCount(); ++i) {
        cEntity* car = racerAt(i);
        if (!car || car == player)
            continue;
        bool playerAhead = player->m_racePosition < car->m_racePosition;
        if ((car->m_aiMode == kAiModeHeld && playerAhead) || (car->m_aiMode == kAiModePushed && !playerAhead))
            car->m_aiMode = kAiModeRacePace;
    }
}

} // namespace

void setModeBehindPlayer() {
    const cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    for (std::int32_t place = player->m_racePosition + 1; place < racerCount(); ++place) {
        cEntity* car = carAtPlace(place);
        if (car && car != player && car->m_aiMode != kAiModePushed &&
            carGap(car, player) < -(kPhaseModeGap - 1)) {
            car->m_aiMode = kAiModePushed;
            return;
        }
    }
}

void setModeAheadOfPlayer() {
    const cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    for (std::int32_t place = player->m_racePosition - 1; place >= 0; --place) {
        cEntity* car = carAtPlace(place);
        if (car && car != player && car->m_aiMode != kAiModeHeld && carGap(car, player) >= kPhaseModeGap) {
            car->m_aiMode = kAiModeHeld;
            return;
        }
    }
}

void updateRacePhase() {
    const cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    RacePhaseStatics& p = racePhaseStatics();
    const std::int32_t phase = phaseOfProgress(player);
    if (phase != p.s_racePhase) {
        p.s_racePhase = phase;
        p.s_phaseStamp = -1;
    }
    if (phase > 0)
        releaseStaleModes(player);

    const std::int64_t now = raceNowMs();
    const std::int32_t position = player->m_racePosition;
    auto stamp = [&] {
        p.s_phaseStamp = now;
        p.s_phasePosition = position;
    };
    if (p.s_phaseStamp < 0) {
        stamp();
        if (phase == 0)
            setComputerModes(kAiModeRecovered);
        else if (phase == 1)
            setComputerModes(kAiModeRacePace);
        return;
    }
    if (now - p.s_phaseStamp <= p.s_phaseInterval[phase])
        return;
    const bool gained = position < p.s_phasePosition || position == 0;
    const bool last = position >= racerCount() - 1;
    switch (phase) {
    case 1:
        if (gained)
            setModeBehindPlayer();
        else if (position > p.s_phasePosition || last)
            setModeAheadOfPlayer();
        stamp();
        break;
    case 2:
        if (gained)
            setModeBehindPlayer();
        else
            setModeAheadOfPlayer();
        stamp();
        break;
    case 3:
        // The stamp stays: from here the decision is taken every step.
        if (last)
            setModeAheadOfPlayer();
        else
            setComputerModes(kAiModeRacePace);
        break;
    default:
        stamp();
        break;
    }
}

} // namespace game
