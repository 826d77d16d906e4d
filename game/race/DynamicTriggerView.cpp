#include "game/race/DynamicTriggerView.h"

#include "game/framework/States.h"
#include "game/race/EventGoals.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"

namespace game {

namespace {

constexpr std::int32_t kDynamicKind = 0x2000;
constexpr std::int32_t kEveryLapBit = 0x8000;
constexpr std::int32_t kWeatherOnlyBit = 0x100;
constexpr std::int32_t kLaneMarkWidth = 512;
constexpr std::int32_t kLaneMarkOffset = 3;

bool isItemBoxStanding(std::int32_t segment, std::int32_t lane) {
    const rt::IntArray* taken = triggerStatics().s_itemBoxTaken;
    if (!taken || segment < 0 || segment >= taken->length())
        return false;
    return ((rt::IntArray::get(taken, segment) >> lane) & 1) == 0;
}

void markLane(std::int32_t slice, std::int32_t entry) {
    const std::int32_t lane = (entry >> 16) & 15;
    const std::int32_t lateral = laneMarkLateral(lane);
    if (!getRoadSliceX(roadCamera(), slice, lateral, 0, 0).visible || !itemBoxPlayer())
        return;
    TriggerStatics& s = triggerStatics();
    if (!isItemBoxStanding(roadSliceStatics().s_sliceSegment[slice], lane))
        return;
    if (s.s_laneTargets && lane < s.s_laneTargets->length() &&
        rt::IntArray::get(s.s_laneTargets, lane) != kLaneTaken)
        rt::IntArray::set(s.s_laneTargets, lane, lateral);
    s.s_laneTargetsOn = 1;
}

} // namespace

bool isEntryOnPlayersLap(std::int32_t entry, std::int32_t sliceSegment) {
    if ((entry & kEveryLapBit) != 0)
        return true;
    const cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return false;
    const std::int32_t lap = (entry >> 12) & 7;
    if (lap == player->m_lap)
        return true;
    if (lap != player->m_lap + 1)
        return false;
    return player->m_segment + 15 >= trackStatics().s_segmentCount + sliceSegment;
}

bool findShownDynamicTrigger(std::int32_t code, std::int32_t sliceSegment, std::int32_t& entry) {
    if (!isCodeForVariant(code) || !findDynamicTrigger(code, entry) ||
        !isEntryOnPlayersLap(entry, sliceSegment))
        return false;
    return (entry & kWeatherOnlyBit) == 0 || trackStatics().s_trackAmbience == kParticleWeather;
}

bool isEntryValueShown(std::int32_t value) {
    if (stateStatics().s_gameMode != GameMode::Guided)
        return true;
    const std::int32_t step = eventGoalStatics().s_guideStep;
    switch (value) {
    case kEntryItemBox:
        return step == 4;
    case kEntryCoin:
        return step >= 7;
    case kEntryTenCoin:
    case kEntryBump:
        return step >= 8;
    case kEntryLaneObject:
    case kEntryWideLaneObject:
        return false;
    default:
        return true;
    }
}

std::int32_t laneMarkLateral(std::int32_t lane) {
    return (lane - kLaneMarkOffset) * kLaneMarkWidth;
}

ZoomedAnimPlayer* itemBoxPlayer() {
    return zoomPoolStatics().s_fxPlayerA;
}

void markRoadsideLanes() {
    const TrackStatics& t = trackStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    if (!t.s_triggerCodes)
        return;
    for (std::int32_t k = kPaintedSliceCount - 1; k >= 0; --k) {
        if (isSliceTurnedAway(k))
            continue;
        const std::int32_t segment = s.s_sliceSegment[k];
        for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j) {
            const std::int32_t c = triggerCodeAt(segment, j);
            std::int32_t entry = 0;
            if (c == 0 || (c & 0xF000) != kDynamicKind || !findShownDynamicTrigger(c, segment, entry))
                continue;
            if (((entry >> 24) & 255) == 0xFF && (entry & 255) == kEntryItemBox &&
                isEntryValueShown(kEntryItemBox))
                markLane(k, entry);
        }
    }
}

} // namespace game
