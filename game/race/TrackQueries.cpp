#include "game/race/TrackQueries.h"

#include "game/data/EventSlots.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"

namespace game {

namespace {

std::int32_t currentSlotByte(rt::ByteArray* table) {
    return rt::ByteArray::get(table, eventSlotStatics().s_currentEvent);
}

rt::Object* elementOrNull(rt::ObjectArray* a, std::int32_t i) {
    return a && i >= 0 && i < a->length() ? rt::ObjectArray::get(a, i) : nullptr;
}

} // namespace

std::int32_t getCurveSum(std::int32_t segment) {
    std::int32_t first = segmentCurveAt(segment);
    if (first == 0)
        return 0;
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < trackStatics().s_segmentCount; ++i) {
        std::int32_t curve = segmentCurveAt(segment + i);
        if (std::int64_t{curve} * first < 1)
            break;
        sum += curve;
    }
    return sum;
}

bool isCodeForVariant(std::int32_t code) {
    return ((code >> 8) & 15) == currentSlotByte(eventSlotStatics().s_eventVariant);
}

bool findDynamicTrigger(std::int32_t code, std::int32_t& entry) {
    const EventSlotStatics& slots = eventSlotStatics();
    auto* variants = static_cast<rt::ObjectArray*>(
        elementOrNull(eventStatics().s_dynamicTriggers, currentSlotByte(slots.s_eventTrack)));
    auto* entries =
        static_cast<rt::IntArray*>(elementOrNull(variants, currentSlotByte(slots.s_eventVariant)));
    std::int32_t id = code & 255;
    if (!entries || id >= entries->length())
        return false;
    entry = rt::IntArray::get(entries, id);
    return true;
}

std::int32_t getCodeLap(std::int32_t code) {
    std::int32_t entry = 0;
    if (!findDynamicTrigger(code, entry))
        return -1;
    if ((entry & 0x8000) == 0)
        return (entry >> 12) & 7;
    const cEntity* player = racerStatics().s_playerCar;
    return player ? player->m_lap : -1;
}

std::int32_t getLaneProfileValue(std::int32_t side, std::int32_t seg, std::int32_t field) {
    const TrackStatics& t = trackStatics();
    const rt::IntArray* rows = side == 2 ? t.s_segmentLaneProfileA : t.s_segmentLaneProfileB;
    std::int32_t segment = wrapSegment(seg);
    if (field < 0 || field >= kSideProfileInts || !rows || segment >= rows->length())
        return 0;
    std::int64_t at = std::int64_t{rt::IntArray::get(rows, segment)} * kSideProfileInts + field;
    if (!t.s_sideProfiles || at < 0 || at >= t.s_sideProfiles->length())
        return 0;
    return rt::IntArray::get(t.s_sideProfiles, static_cast<std::int32_t>(at));
}

} // namespace game
