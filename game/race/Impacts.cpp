#include "game/race/Impacts.h"

#include "game/data/SoundRequests.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "runtime/StaticClass.h"

namespace game {

ImpactStatics& impactStatics() {
    return rt::getStaticClass().statics<ImpactStatics>();
}

namespace {

constexpr std::int32_t kSideShove = 100;
constexpr std::int32_t kPlayerShove = 200;
constexpr std::int32_t kLean = 10;
constexpr std::int32_t kCrashSound = 11;

void sideShake() {
    requestShake(impactStatics().s_impactShakeKind, 1, 0, 2);
}

void slowOnBump(cEntity* e) {
    if (e->m_speed > kmhToSpeed(50))
        e->m_speed -= e->m_speed / 25;
}

void resetEffectLayers(cEntity* e) {
    for (rt::Object* layer : e->m_layerPlayers)
        if (layer && (layer->classId() == rt::ClassId::ZoomedAnimPlayer ||
                      layer->classId() == rt::ClassId::PreZoomedAnimPlayer))
            static_cast<ZoomedAnimPlayer*>(layer)->stop();
}

std::int32_t widthValue(const cEntity* car, std::int32_t i) {
    return car->m_widthProfile && car->m_widthProfile->length() > i
               ? rt::IntArray::get(car->m_widthProfile, i)
               : 0;
}

// A side contact: `sign` +1 when e is struck from the left (pushed right).
// Answers the push of the player's car at the end of the impact.
std::int32_t sideImpact(cEntity* e, cEntity* other, std::int32_t sign) {
    const bool player = e->m_type == 0;
    if (player) {
        startHudFlash(sign > 0 ? kLeftImpactFlashAnim : kRightImpactFlashAnim,
                      impactStatics().s_impactTime / 2, false, 8);
        sideShake();
    }
    std::int32_t push = 0;
    e->m_lean = sign * kLean;
    if (other && other->m_type == 1) {
        // The lighter car gives way.
        if (other->m_defValues[3] <= e->m_defValues[3])
            other->m_lateral -= sign * kSideShove;
        else
            e->m_lateral += sign * kSideShove;
    } else if (player) {
        push = sign * kPlayerShove;
    }
    e->m_effectTimer = impactStatics().s_impactTime;
    return push;
}

// The knock-out effect: the effect layers stopped, the player's sparks
// restarted, the speed cut, the held item's charge used.
void startKnockOut(cEntity* e, std::int32_t speed) {
    const ImpactStatics& s = impactStatics();
    resetEffectLayers(e);
    e->m_effect = CarEffect::KnockOut;
    e->m_effectTimer = s.s_impactTime;
    if (ZoomedAnimPlayer* sparks = raceResourceStatics().s_raceFxPlayerB; sparks && e->m_type == 0)
        sparks->restart();
    if (speed == 0 && e->m_type != 0) {
        e->m_speed = 0;
        e->m_maxSpeed = 0;
    } else if (e->m_speed > kmhToSpeed(80) && speed / 2 < e->m_speed) {
        const std::int32_t half = e->m_speed >> 1;
        e->m_speed = half > kmhToSpeed(40) ? half : kmhToSpeed(40);
        e->m_maxSpeed = e->m_speed;
    }
    useItemCharge(e, false);
}

// Footprint of a car for the contact test: centre, axes and half sizes.
struct Footprint {
    std::int64_t x, z;
    std::int64_t rightX, rightZ, forwardX, forwardZ; // unit vectors, 4096 = 1
    std::int64_t halfWidth, halfLength;
};

Footprint footprint(const cEntity* car, std::int64_t x, std::int64_t z) {
    const std::int64_t s = sinFx(car->m_smoothHeading);
    const std::int64_t c = cosFx(car->m_smoothHeading);
    return {x, z, c, -s, s, c, widthValue(car, 5), widthValue(car, 11) / 2};
}

std::int64_t magnitude(std::int64_t v) {
    return v < 0 ? -v : v;
}

// The footprint's extent along axis (nx, nz), in 4096 x 4096 units.
std::int64_t reach(const Footprint& f, std::int64_t nx, std::int64_t nz) {
    return f.halfWidth * magnitude(f.rightX * nx + f.rightZ * nz) +
           f.halfLength * magnitude(f.forwardX * nx + f.forwardZ * nz);
}

// Two turned rectangles meet unless one of their four axes separates them.
bool footprintsMeet(const Footprint& a, const Footprint& b) {
    const std::int64_t axes[4][2] = {
        {a.rightX, a.rightZ}, {a.forwardX, a.forwardZ}, {b.rightX, b.rightZ}, {b.forwardX, b.forwardZ}};
    const std::int64_t dx = b.x - a.x;
    const std::int64_t dz = b.z - a.z;
    for (const auto& n : axes) {
        const std::int64_t gap = magnitude(dx * n[0] + dz * n[1]) * kRaceOne;
        if (gap > reach(a, n[0], n[1]) + reach(b, n[0], n[1]))
            return false;
    }
    return true;
}

} // namespace

void applyImpact(cEntity* e, ImpactFlag flags, std::int32_t speed, cEntity* other) {
    if (!e || e->m_knocked)
        return;
    e->m_spinning = 1;
    e->m_knocked = 0;
    const bool player = e->m_type == 0;
    const ImpactStatics& s = impactStatics();
    std::int32_t push = 0;
    if (hasAny(flags, ImpactFlag::Bump)) {
        if (player)
            requestShake(1000, 1, 0, 4);
        slowOnBump(e);
        e->m_effectTimer = s.s_impactTime;
    } else if (hasAny(flags, ImpactFlag::Side)) {
        if (player)
            sideShake();
    } else if (hasAny(flags, ImpactFlag::FromLeft)) {
        push = sideImpact(e, other, 1);
    } else if (hasAny(flags, ImpactFlag::FromRight)) {
        push = sideImpact(e, other, -1);
    } else if (hasAny(flags, ImpactFlag::Graze)) {
        if (player)
            sideShake();
    } else if (hasAny(flags, ImpactFlag::BoxLeft | ImpactFlag::BoxRight)) {
        if (player) {
            startHudFlash(hasAny(flags, ImpactFlag::BoxLeft) ? kLeftImpactFlashAnim : kRightImpactFlashAnim,
                          s.s_impactTime / 2, false, 8);
            sideShake();
        }
        slowOnBump(e);
        e->m_effectTimer = s.s_impactTime;
    } else if (hasAny(flags, ImpactFlag::Weave)) {
        e->m_effect = CarEffect::Weave;
        e->m_effectTimer = s.s_effectTime;
    } else if (hasAny(flags, ImpactFlag::Shake | ImpactFlag::Spin)) {
        e->m_effect = hasAny(flags, ImpactFlag::Shake) ? CarEffect::Shake : CarEffect::Spin;
        e->m_effectTimer = s.s_effectTime / 8;
    } else if (hasAny(flags, ImpactFlag::LongSpin | ImpactFlag::FlaggedSpin)) {
        e->m_effect = hasAny(flags, ImpactFlag::LongSpin) ? CarEffect::LongSpin : CarEffect::FlaggedSpin;
        e->m_effectTimer = s.s_longEffectTime;
    } else if (hasAny(flags, ImpactFlag::KnockOut)) {
        startKnockOut(e, speed);
    }
    if (hasAny(flags, ImpactFlag::Crash)) {
        e->m_noMirror = e->m_lateral < 0 ? 1 : 0;
        e->m_knocked = 1;
        e->m_driveMode = 1;
        e->m_effectTimer = s.s_crashTime;
        if (player) {
            requestShake(4096, 0, 2, 4);
            restartAnimPlayers(s.s_crashAnims);
            return;
        }
    }
    if (!player)
        return;
    if (e->m_sideContact != 0 && other && other->m_type != 1)
        e->m_contactEnd = 1;
    e->m_lateral += push;
    if (!raceStatics().s_raceFinished)
        requestSound(kCrashSound);
}

bool checkEntityContact(const cEntity* a, const cEntity* b, bool alongside) {
    if (!a || !b || a == b)
        return false;
    if (magnitude(std::int64_t{a->m_height} - b->m_height) > kContactHeight)
        return false;
    const std::int32_t count = trackStatics().s_segmentCount;
    std::int32_t d = b->m_segment - a->m_segment;
    if (count > 0 && (d > count / 2 || d < -(count / 2)))
        d = d <= 0 ? d + count : d - count;
    if (d > kContactSegments || d < -kContactSegments)
        return false;
    const std::int64_t dz = (std::int64_t{d} << kSegmentShift) + b->m_segmentPos - a->m_segmentPos;
    const Footprint fa = footprint(a, a->m_lateral, 0);
    const Footprint fb = footprint(b, b->m_lateral, dz);
    if (!footprintsMeet(fa, fb))
        return false;
    if (!alongside)
        return true;
    // b's centre measured along a's course.
    const std::int64_t along = (std::int64_t{b->m_lateral - a->m_lateral} * fa.forwardX + dz * fa.forwardZ);
    return magnitude(along) <= fa.halfLength * kRaceOne;
}

std::int32_t testSideContact(const cEntity* a, const cEntity* b) {
    if (!checkEntityContact(a, b, true))
        return -1;
    if (b->m_lateral < b->m_prevLateral)
        return 1;
    if (b->m_lateral == b->m_prevLateral) {
        const cEntity* player = racerStatics().s_playerCar;
        const bool sameFlag = player && a->m_contactFlag == player->m_contactFlag;
        if ((b->m_lateral > a->m_lateral && sameFlag) || (b->m_lateral <= a->m_lateral && !sameFlag))
            return 1;
    }
    return 0;
}

namespace {

template <typename Action>
void forEachAnimPlayer(const rt::ObjectArray* players, Action action) {
    if (!players)
        return;
    for (rt::Object* o : rt::Array::objectElementsAt(players))
        if (o && (o->classId() == rt::ClassId::ZoomedAnimPlayer ||
                  o->classId() == rt::ClassId::PreZoomedAnimPlayer))
            action(static_cast<ZoomedAnimPlayer*>(o));
}

} // namespace

void restartAnimPlayers(const rt::ObjectArray* players) {
    forEachAnimPlayer(players, [](ZoomedAnimPlayer* p) { p->restart(); });
}

void advanceAnimPlayers(const rt::ObjectArray* players, std::int32_t ms) {
    forEachAnimPlayer(players, [ms](ZoomedAnimPlayer* p) { p->update(ms); });
}

} // namespace game
