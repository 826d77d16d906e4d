#pragma once
// Impacts: what happens to a car or race object that something strikes (a
// car alongside, an obstacle box, a hazard, a gate, a race object, a
// stop-and-go penalty). A request is a set of flag bits; the first bit of
// a fixed order decides the new effect, its time, a sideways push, a speed
// loss and a lean, and bit 16 adds the crash on top. A knocked car ignores
// every impact until its effect ends.
//
// Besides, the contact test between two cars: their footprints (half-width
// `m_widthProfile[5]`, length `m_widthProfile[11]`, turned by
// `m_smoothHeading`) overlap or touch, they are at most 100 apart in
// height and at most two segments apart along the ring
// (docs/driving.md, "Contacts").
//
// Game thread only.
#include "game/race/cEntity.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The bits of an impact request. The first bit of the order `applyImpact`
// tests decides; `Crash` adds to whichever it is. The bits from `Weave` on
// start the car effect of the same value.
enum class ImpactFlag : std::int32_t {
    None = 0,
    Side = 1,
    // A side contact from the left (the car is pushed right) or the right.
    FromLeft = 2,
    FromRight = 4,
    Graze = 8,
    Crash = 16,
    Bump = 32,
    // An obstacle box on the car's left or right.
    BoxLeft = 64,
    BoxRight = 128,
    Weave = static_cast<std::int32_t>(CarEffect::Weave),
    Shake = static_cast<std::int32_t>(CarEffect::Shake),
    Spin = static_cast<std::int32_t>(CarEffect::Spin),
    LongSpin = static_cast<std::int32_t>(CarEffect::LongSpin),
    FlaggedSpin = static_cast<std::int32_t>(CarEffect::FlaggedSpin),
    KnockOut = static_cast<std::int32_t>(CarEffect::KnockOut),
};

constexpr ImpactFlag operator|(ImpactFlag a, ImpactFlag b) {
    return static_cast<ImpactFlag>(static_cast<std::int32_t>(a) | static_cast<std::int32_t>(b));
}

// Whether `flags` holds any bit of `bits`.
constexpr bool hasAny(ImpactFlag flags, ImpactFlag bits) {
    return (static_cast<std::int32_t>(flags) & static_cast<std::int32_t>(bits)) != 0;
}

// Contacts are tested only between cars this many segments apart or closer.
inline constexpr std::int32_t kContactSegments = 2;
inline constexpr std::int32_t kContactHeight = 100;

struct ImpactStatics {
    // Effect times: 1000, 800, 8000 and 4000 ms.
    std::int32_t s_crashTime = 4096;
    std::int32_t s_impactTime = 3276;
    std::int32_t s_effectTime = 32768;
    std::int32_t s_longEffectTime = 16384;
    // The shake of side and box impacts, as a duration (0.2 s).
    std::int32_t s_impactShakeKind = 819;
    // A box struck faster than 150 km/h at more than 20 degrees to the road
    // crashes the car (flag 16) instead of grazing it.
    std::int32_t s_impactSpeedLimit = 170666;
    std::int32_t s_impactAngleLimit = 114;
    // Two ZoomedAnimPlayer: the crash animation of the player's car, played
    // from its start on every crash; null until the race's load makes them.
    rt::ObjectArray* s_crashAnims = nullptr;

    RT_REFERENCE_FIELDS(ImpactStatics, rt::NoReferenceBase, s_crashAnims)
};

ImpactStatics& impactStatics();

// The impact `flags` on `e` at `speed`; `other` is the striking car or null.
void applyImpact(cEntity* e, ImpactFlag flags, std::int32_t speed, cEntity* other);
// Whether the two cars' footprints meet. With `alongside`, only a contact in
// which b's centre lies within half of a's length along a's course counts
// (the side contact).
bool checkEntityContact(const cEntity* a, const cEntity* b, bool alongside);
// -1 no side contact; else 1 when b moved left this step, or (not moving
// sideways) when b is right of a and a's contact flag equals the player's,
// or left of or level with a and the flags differ; 0 otherwise.
std::int32_t testSideContact(const cEntity* a, const cEntity* b);

// Restarts every animation player of `players` from its first frame;
// null, and elements that are no animation player, are passed over.
void restartAnimPlayers(const rt::ObjectArray* players);
// Every animation player of `players` (null: none) advances `ms`; each stops
// itself at its end.
void advanceAnimPlayers(const rt::ObjectArray* players, std::int32_t ms);

} // namespace game
