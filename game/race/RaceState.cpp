#include "game/race/RaceState.h"

#include "game/data/EventSlots.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceTables.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

RaceStateStatics& raceStateStatics() {
    return rt::getStaticClass().statics<RaceStateStatics>();
}

RaceMenuStatics& raceMenuStatics() {
    return rt::getStaticClass().statics<RaceMenuStatics>();
}

RaceStatics& raceStatics() {
    return rt::getStaticClass().statics<RaceStatics>();
}

rt::IntArray* currentEventRow() {
    const EventSlotStatics& slots = eventSlotStatics();
    std::int32_t track = rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent);
    std::int32_t variant = rt::ByteArray::get(slots.s_eventVariant, slots.s_currentEvent);
    return eventRow(track, variant);
}

std::int32_t currentEventField(std::int32_t field, std::int32_t fallback) {
    rt::IntArray* row = currentEventRow();
    if (!row || field < 0 || field >= row->length())
        return fallback;
    return rt::IntArray::get(row, field);
}

std::int32_t wrapSegment(std::int32_t segment) {
    std::int32_t count = trackStatics().s_segmentCount;
    if (count < 1)
        return 0;
    // A segment number is at most a few rings away; the remainder keeps a
    // wild value from looping long.
    segment %= count;
    return segment < 0 ? segment + count : segment;
}

std::int32_t segmentCurveAt(std::int32_t segment) {
    const TrackStatics& t = trackStatics();
    if (t.s_segmentCount < 1 || !t.s_segmentCurve)
        return 0;
    return rt::IntArray::get(t.s_segmentCurve, wrapSegment(segment));
}

std::int32_t intAt(const rt::IntArray* a, std::int32_t i) {
    return a && i >= 0 && i < a->length() ? rt::IntArray::get(a, i) : 0;
}

void setIntAt(rt::IntArray* a, std::int32_t i, std::int32_t value) {
    if (a && i >= 0 && i < a->length())
        rt::IntArray::set(a, i, value);
}

void addIntAt(rt::IntArray* a, std::int32_t i, std::int32_t value) {
    setIntAt(a, i, intAt(a, i) + value);
}

std::int32_t carGap(const cEntity* a, const cEntity* b) {
    return ringDistance(a->m_lap, a->m_segment, a->m_segmentPos, b->m_lap, b->m_segment, b->m_segmentPos,
                        trackStatics().s_segmentCount);
}

bool hasFinished(const cEntity* car) {
    return car->m_lap > raceStatics().s_laps;
}

std::int32_t racerCount() {
    rt::ObjectArray* racers = raceStatics().s_racers;
    return racers ? racers->length() : 0;
}

cEntity* racerAt(std::int32_t i) {
    if (i < 0 || i >= racerCount())
        return nullptr;
    return static_cast<cEntity*>(rt::ObjectArray::get(raceStatics().s_racers, i));
}

bool racersInRaceOrder() {
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        const cEntity* car = racerAt(i);
        if (!car || car->m_racePosition != i)
            return false;
    }
    return true;
}

void rankRacers() {
    rt::ObjectArray* racers = raceStatics().s_racers;
    for (std::int32_t i = racerCount() - 1; i >= 1; --i) {
        cEntity* ahead = racerAt(i - 1);
        cEntity* behind = racerAt(i);
        if (!ahead || !behind)
            continue;
        if (hasFinished(ahead))
            return;
        if (behind->m_racePosition <= ahead->m_racePosition || carGap(behind, ahead) < 1)
            continue;
        behind->m_racePosition = i - 1;
        ahead->m_racePosition = i;
        rt::ObjectArray::set(racers, i - 1, behind);
        rt::ObjectArray::set(racers, i, ahead);
    }
}

namespace {

template <class Match>
cEntity* findRacer(Match match) {
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* car = racerAt(i);
        if (car && match(car))
            return car;
    }
    return nullptr;
}

} // namespace

cEntity* findRacerByIndex(std::int32_t index) {
    return findRacer([index](const cEntity* car) { return car->m_racerIndex == index; });
}

cEntity* findRacerByKind(std::int32_t kind) {
    return findRacer([kind](const cEntity* car) { return car->m_driverKind == kind; });
}

void setRacersAiMode(std::int32_t mode) {
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (cEntity* car = racerAt(i))
            car->m_aiMode = mode;
}

} // namespace game
