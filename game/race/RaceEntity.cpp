#include "game/race/RaceEntity.h"

#include "game/framework/States.h"
#include "game/race/ComputerDriver.h"
#include "game/race/EntityEffects.h"
#include "game/race/Impacts.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

RaceEntityStatics& raceEntityStatics() {
    return rt::getStaticClass().statics<RaceEntityStatics>();
}

namespace {

std::int32_t sectionStart(std::int32_t section) {
    return rt::IntArray::get(trackStatics().s_sectionValues, section);
}

std::int32_t sectionCount() {
    const TrackStatics& t = trackStatics();
    if (!t.s_sectionValues)
        return 0;
    return t.s_sectionCount < t.s_sectionValues->length() ? t.s_sectionCount : t.s_sectionValues->length();
}

rt::IntArray* filledIntArray(std::int32_t length, std::int32_t value) {
    rt::IntArray* a = rt::newIntArray(length < 0 ? 0 : length);
    for (std::int32_t i = 0; i < a->length(); ++i)
        rt::IntArray::set(a, i, value);
    return a;
}

void moveTopSpeedLag(const cEntity* car) {
    std::int32_t& lag = raceEntityStatics().s_topSpeedLag;
    bool below = car->m_type == 0 ? car->m_speed < car->m_maxSpeed : car->m_speed <= car->m_maxSpeed;
    if (below) {
        lag = lag + 10 > kTopSpeedLagMax ? kTopSpeedLagMax : lag + 10;
        return;
    }
    std::int64_t over = (std::int64_t{car->m_speed} - car->m_maxSpeed) >> 12;
    std::int64_t fall = over > 15 ? over : 15;
    lag = lag - fall < 0 ? 0 : static_cast<std::int32_t>(lag - fall);
}

// The player's pass of the timing point of `section`.
void recordPlayerSplit(const cEntity* car, std::int32_t section) {
    RaceEntityStatics& e = raceEntityStatics();
    rt::IntArray* splits = e.s_splitTimes;
    std::int32_t into = e.s_raceTime - e.s_playerLapStart;
    if (section == 0) {
        // A new lap: this lap's splits become the lap before's.
        for (std::int32_t k = 0; splits && 2 * k + 1 < splits->length(); ++k) {
            rt::IntArray::set(splits, 2 * k + 1, rt::IntArray::get(splits, 2 * k));
            rt::IntArray::set(splits, 2 * k, 0);
        }
        e.s_playerLapStart = e.s_raceTime;
        // Crossing the line from the grid starts the first lap; no lap ended.
        if (car->m_lap <= 1)
            return;
    }
    std::int32_t before = intAt(splits, 2 * section + 1);
    setIntAt(splits, 2 * section, into);
    e.s_splitShown = into;
    e.s_splitDeltaShown = before > 0 ? into - before : 0;
    e.s_splitShownTimer = 0;
    e.s_splitDeltaTimer = before > 0 ? 0 : -1;
}

void passTimingPoint(const cEntity* car, bool player) {
    if (raceStatics().s_raceFinished || car->m_segment == car->m_prevSegment)
        return;
    std::int32_t section = timingPointAt(car->m_segment);
    if (section < 0)
        return;
    RaceEntityStatics& e = raceEntityStatics();
    setIntAt(e.s_timingSection, car->m_racerIndex, section);
    setIntAt(e.s_timingTime, car->m_racerIndex, e.s_raceTime);
    if (player)
        recordPlayerSplit(car, section);
}

bool strikes(CarState state) {
    return state == CarState::Strike || state == CarState::Ghost;
}
bool strikesOrNitro(CarState state) {
    return strikes(state) || state == CarState::Nitro;
}
bool holdsItem(const cEntity* car) {
    return car->m_heldItem >= 0;
}

bool touching(const cEntity* a, const cEntity* b) {
    return checkEntityContact(a, b, false);
}

void knock(cEntity* car) {
    applyImpact(car, ImpactFlag::KnockOut, car->m_speed, nullptr);
}

void useCharge(cEntity* car) {
    useItemCharge(car, true);
}

cEntity* carAhead(const cEntity* car) {
    if (car->m_racePosition < 1)
        return nullptr;
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* other = racerAt(i);
        if (other && other != car && other->m_racePosition == car->m_racePosition - 1)
            return other;
    }
    return nullptr;
}

} // namespace

void resetTimingPoints(std::int32_t racers) {
    RaceEntityStatics& e = raceEntityStatics();
    e.s_timingSection = filledIntArray(racers, -1);
    e.s_timingTime = filledIntArray(racers, 0);
    e.s_splitTimes = filledIntArray(2 * (sectionCount() > 0 ? sectionCount() : 1), 0);
    e.s_playerLapStart = e.s_raceTime;
    e.s_splitShown = 0;
    e.s_splitDeltaShown = 0;
    e.s_splitShownTimer = -1;
    e.s_splitDeltaTimer = -1;
}

std::int32_t timingPointAt(std::int32_t segment) {
    if (segment == 0)
        return 0;
    for (std::int32_t k = 0; k < sectionCount(); ++k)
        if (sectionStart(k) == segment)
            return k;
    return -1;
}

std::int32_t getTrackSection(std::int32_t pos, std::int32_t hint) {
    std::int32_t n = sectionCount();
    if (n < 1)
        return 0;
    if (pos >= sectionStart(n - 1))
        return n - 1;
    std::int32_t i = hint >= 0 && hint < n && sectionStart(hint) <= pos ? hint : 0;
    // A section starting beyond pos exists (the last one does), so the walk
    // ends within one turn of the ring.
    for (std::int32_t steps = 0; steps < n && sectionStart(i) <= pos; ++steps)
        i = i + 1 < n ? i + 1 : 0;
    return i == 0 ? n - 1 : i - 1;
}

void applyContacts(cEntity* car) {
    cEntity* player = racerStatics().s_playerCar;
    if (car->m_knocked || car->m_state == CarState::NoContact)
        return;
    if (player && player->m_state == CarState::NoContact)
        return;
    if (player && player != car && touching(car, player)) {
        if (strikesOrNitro(player->m_state) && !strikes(car->m_state))
            knock(car);
        if (strikesOrNitro(car->m_state) && player->m_state == CarState::Nitro)
            knock(player);
        if (player->m_racePosition > car->m_racePosition && holdsItem(player)) {
            knock(car);
            useCharge(player);
        }
        if (player->m_racePosition < car->m_racePosition && holdsItem(car)) {
            knock(player);
            useCharge(car);
        }
    }
    cEntity* ahead = carAhead(car);
    if (!ahead || ahead->m_state == CarState::NoContact || !touching(car, ahead))
        return;
    if (holdsItem(ahead)) {
        if (!strikes(car->m_state))
            knock(car);
        useCharge(ahead);
    }
    if (strikes(car->m_state) && !strikes(ahead->m_state))
        knock(ahead);
}

void updateRaceEntity(cEntity* car, std::int32_t dt) {
    updateEffects(car, dt);
    if (car->m_spriteSet == kLagSpriteSet)
        moveTopSpeedLag(car);
    RaceEntityStatics& e = raceEntityStatics();
    if (car->m_type == 0) {
        e.s_prevPlayerSpeedDelta = e.s_playerSpeedDelta;
        updatePlayerCar(car, dt);
        passTimingPoint(car, true);
        e.s_playerSegment = car->m_segment;
        e.s_playerLateral = car->m_lateral;
        e.s_playerSegmentPos = car->m_segmentPos;
        e.s_playerSpeedDelta = car->m_speed - car->m_prevSpeed;
    } else if (car->m_type == 1) {
        updateAiCar(car, dt);
        if (stateStatics().s_gameMode == GameMode::Guided)
            return;
        applyContacts(car);
        passTimingPoint(car, false);
    }
    processTrackTriggers(car);
    car->m_trackSection = getTrackSection(car->m_segment, car->m_trackSection);
}

} // namespace game
