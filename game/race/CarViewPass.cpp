#include "game/race/CarViewPass.h"

#include "game/data/SoundChannels.h"
#include "game/data/SoundRequests.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The music the end of the ghost animation stops for a restart.
constexpr std::int32_t kRestartMusic = 4;

std::int32_t modOrZero(std::int32_t value, std::int32_t modulo) {
    // A car without a phase-1 modulo keeps its counter at 0 rather than
    // dividing by zero.
    return modulo == 0 ? 0 : value % modulo;
}

bool isPlayersTarget(const cEntity* car) {
    const cEntity* player = racerStatics().s_playerCar;
    return player && player->m_hasTarget && player->m_targetRacer == car->m_racerIndex;
}

// The marker of a car back from a fall rises while its start row is below
// the top of the screen. A car still falling keeps `m_fallLateral` as the
// lateral position it returns to.
void riseMarker(cEntity* car) {
    if (!car->m_onPath && !car->m_fallen && car->m_fallLateral > 0)
        car->m_fallLateral -= kMarkerRise;
}

// The player's car back on the road after its fall: on the first segment
// past the gap, at the lateral position the fall chose, stopped, following
// its path back to the centre line.
void endFall(cEntity* car) {
    const std::int32_t segment = nextSegmentOffGap(car->m_segment);
    if (segment < 0) {
        host::logf(host::LogCategory::Game, "car view: no segment without a gap to put the fallen car on");
        return;
    }
    car->m_segment = segment;
    car->m_lateral = car->m_fallLateral;
    car->m_speed = 0;
    car->m_maxSpeed = 0;
    car->m_heading = 0;
    car->m_fallen = 0;
    dropCollected(car);
    car->m_onPath = 1;
}

// Each entity the race scene paints this frame, in paint order.
template <class Step>
void forPaintedEntities(Step step) {
    const ViewPassStatics& v = viewPassStatics();
    for (std::int32_t k = kPaintedSliceCount - 1; k >= 0; --k) {
        if (isSliceTurnedAway(k))
            continue;
        for (std::int32_t n = 0; n < v.s_sliceEntityCount[k]; ++n)
            step(sliceEntity(k, n));
    }
}

} // namespace

void prepareSliceEntities() {
    const std::int32_t centre = viewPassStatics().s_screenCenterX;
    forPaintedEntities([centre](cEntity* e) { prepareEntityPaint(e, centre); });
}

void finishSliceEntities() {
    forPaintedEntities(finishEntityPaint);
}

CarViewStatics& carViewStatics() {
    return rt::getStaticClass().statics<CarViewStatics>();
}

bool isShakeEffect(CarEffect effect) {
    return effect == CarEffect::KnockOut || effect == CarEffect::Spin || effect == CarEffect::Shake ||
           effect == CarEffect::LongSpin || effect == CarEffect::FlaggedSpin;
}

bool isInSharpBend(const cEntity* car) {
    if (segmentCurveAt(car->m_segment) == 0 || car->m_airborne)
        return false;
    const std::int32_t sum = getCurveSum(car->m_segment);
    return sum >= kSharpBendCurveSum || sum <= -kSharpBendCurveSum;
}

bool isCarOutOfView(const cEntity* car) {
    return car->m_roadSlice < 0 && isInSharpBend(car);
}

std::int32_t nextSegmentOffGap(std::int32_t segment) {
    const std::int32_t count = trackStatics().s_segmentCount;
    for (std::int32_t step = 1; step <= count; ++step) {
        const std::int32_t next = wrapSegment(segment + step);
        if (segmentSurface(next) != kSurfaceGap)
            return next;
    }
    return -1;
}

void advanceCarAnimation(cEntity* car) {
    std::int32_t& counter = car->m_animCounter;
    if (car->m_effect == CarEffect::Shake)
        counter = counter >= 3 ? 0 : counter + 1;
    else if (car->m_spinning &&
             (car->m_effect == CarEffect::KnockOut || car->m_effect == CarEffect::Spin ||
              car->m_effect == CarEffect::LongSpin || car->m_effect == CarEffect::FlaggedSpin))
        counter = counter >= 5 ? 0 : counter + 1;
    else if (car->m_state == CarState::Ghost)
        ++counter;
    else if (car->m_state != CarState::Strike)
        counter = 0;
    if (car->m_fallen && car->m_fallStep == 0)
        car->m_fallStep = 1;
    if (isShakeEffect(car->m_effect) || car->m_state != CarState::Ghost)
        return;
    switch (car->m_stateAnim) {
    case 0:
        if (counter >= car->m_animFrameCount)
            car->m_stateAnim = 1;
        break;
    case 1:
        counter = modOrZero(counter, car->m_animFrameModulo);
        if (car->m_stateTimer < kStateAnimEndTime) {
            car->m_stateAnim = 2;
            counter %= 2;
        }
        break;
    default:
        if (counter >= car->m_animFrameCount) {
            car->m_stateTimer = 0;
            car->m_state = CarState::Normal;
            car->m_stateAnim = 0;
        }
        break;
    }
}

void advancePlayerCarAnimation(cEntity* car) {
    DrivingStatics& d = drivingStatics();
    // A jump from one side straight to the other shows one straight frame.
    if ((d.s_steerInput == 1 && d.s_prevSteerInput == -1) ||
        (d.s_steerInput == -1 && d.s_prevSteerInput == 1))
        d.s_steerInput = 0;
    if (car->m_state == CarState::Ghost) {
        switch (car->m_stateAnim) {
        case 0:
            if (d.s_steerInput2 >= car->m_animFrameCount) {
                car->m_stateAnim = 1;
                d.s_steerInput2 = 0;
            }
            break;
        case 1:
            d.s_steerInput2 = modOrZero(d.s_steerInput2, car->m_animFrameModulo);
            if (car->m_stateTimer < kStateAnimEndTime) {
                car->m_stateAnim = 2;
                d.s_steerInput2 = 0;
            }
            break;
        default:
            if (d.s_steerInput2 >= car->m_animFrameCount) {
                car->m_stateTimer = 0;
                car->m_state = CarState::Normal;
                car->m_stateAnim = 0;
                d.s_steerInput2 = 0;
                if (!raceStatics().s_raceFinished &&
                    (soundChannelStatics().s_rememberedMusic == kRestartMusic ||
                     getChannelSound(0) == kRestartMusic))
                    stopMusic();
            }
            break;
        }
    }
    // A knocked car shows its crash animation and does not fall on.
    // A car that finds no road to return to stays down, its step counter
    // stopped one past the return.
    if (car->m_fallen && !(car->m_knocked && car->m_state != CarState::Ghost) &&
        car->m_fallStep <= kFallFrames) {
        car->m_fallStep = car->m_fallStep < 1 ? 1 : car->m_fallStep + 1;
        if (car->m_fallStep == kFallFrames)
            endFall(car);
    }
}

void prepareEntityPaint(cEntity* entity, std::int32_t screenCenterX) {
    if (!entity)
        return;
    if (entity->m_type == 0) {
        if (!carViewStatics().s_hidePlayerCar)
            advancePlayerCarAnimation(entity);
        return;
    }
    if (entity->m_type != 1)
        return;
    if (isPlayersTarget(entity))
        entity->m_screenX = screenCenterX;
    if (isCarOutOfView(entity) || (entity->m_knocked && entity->m_state != CarState::Ghost))
        return;
    advanceCarAnimation(entity);
}

void finishEntityPaint(cEntity* entity) {
    if (!entity)
        return;
    if (entity->m_type == 0) {
        if (!carViewStatics().s_hidePlayerCar)
            riseMarker(entity);
        return;
    }
    if (entity->m_type == 1 && !isCarOutOfView(entity))
        riseMarker(entity);
}

} // namespace game
