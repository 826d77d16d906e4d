#pragma once

// The frames, animations and palettes the race draws in the cars' sprite
// sets (`kCarSprite0` and on, and any set a racer's definition names) and
// in the sprites drawn with a car: its shadow and its wheels' particles
// (SpriteSlots.h). Plain enums with a fixed type, as SpriteSlots.h says
// why.

#include <cstdint>

namespace game {

// A car's sprite set; body frames are drawn from the car's ground point.
enum CarFrame : std::int32_t {
    // Frames 0 to 10: the body steering from full left to full right; a
    // car's steering input s (-5 to 5) shows frame kStraightCarFrame + s.
    // The racer list shows the first.
    kFullLeftCarFrame = 0,
    kStraightCarFrame = 5,
    kCarSteerFrames = 11,
    // The body turned into a bend, which a shaken car alternates with the
    // straight one.
    kTurnedCarFrame = 2,
    // Frame n + kCarLightFrames: the tail lights over body frame n.
    kCarLightFrames = 11,
    // The boost's exhaust flame over the straight body.
    kCarFlameFrame = 23,
    // Smoke at the outer rear wheel of a hard turn, one frame for each way
    // the car slides: three from the first for a turn right, three up to
    // the last for a turn left.
    kFirstSlideFrame = 43,
    kLastSlideFrame = 48,
};
enum CarAnim : std::int32_t {
    // A spin: the crash's animation, and the count of spin frames.
    kCarSpinAnim = 2,
    // The animated state (a car's `CarState::Ghost`): in and out, then held.
    kCarStateAnim = 3,
    kCarStateHoldAnim = 4,
    // A fall, zoomed at the race's load.
    kCarFallAnim = 5,
    // The effect layers' animations, drawn over the car from its ground
    // point and played by the car's own layer players. The collected coins
    // scattering from the car.
    kCollectDropAnim = 30,
    // Stars circling the car: steering swapped, an item cast at the others
    // or striking this car, a target lock, a charge spent.
    kStarRingAnim = 31,
    // A glow streaming back from the car (the item that makes it untouchable).
    kSpeedGlowAnim = 32,
    // The shield's bubble.
    kShieldAnim = 33,
    // Sparks bursting from a car knocked out.
    kKnockOutBurstAnim = 34,
    kCarAnimCount = 35,
};
enum CarPalette : std::int32_t {
    // The car's own colours; the translucent copy that the load blends and
    // a car without contacts or a flashing car shows; a slowed car's look.
    kCarBodyPalette = 0,
    kCarBlendPalette = 1,
    kCarSlowedPalette = 3,
};

// `kCarShadowSprite`: frame b x kShadowColumns + c under body frame b, c a
// column for a group of cars; kAnimatedCarShadowFrame under a car in its
// animated state.
enum CarShadowFrame : std::int32_t {
    kShadowColumns = 4,
    kAnimatedCarShadowFrame = 44,
};

// `kWheelParticleSprite`: frames 2 s and 2 s + 1 the two phases of what
// surface s throws up (seven surfaces), then the two phases of tyre smoke.
enum WheelParticleFrame : std::int32_t {
    kTyreSmokeFrame = 14,
    // The frames the race's load zooms (the crash draws them zoomed).
    kZoomedParticleFrames = 6,
};
enum WheelParticleAnim : std::int32_t {
    // The smoke of a crash.
    kCrashSmokeAnim = 0,
};

} // namespace game
