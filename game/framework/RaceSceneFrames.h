#pragma once

// The frames and animations the race scene draws in the sprites of the
// track and its effects (SpriteSlots.h), a type per sprite. Plain enums
// with a fixed type, as SpriteSlots.h says why.

#include <cstdint>

namespace game {

// A track's backdrop (the slot its data names): a panorama as wide as the
// screen standing on the horizon, then the overlays the race cycles over
// it.
enum BackdropFrame : std::int32_t {
    kBackdropFrame = 0,
    kFirstBackdropOverlayFrame = 1,
};

// `kTrackEffectSprite`, animations drawn zoomed from the car's point. The
// gates are animations too, by track (the race loader's table): each the
// gate's post and beam, the timed gate's (`kTimedGateAnim`) open for its
// first `kTimedGateOpenFrames` of `kTimedGateFrames` frames.
enum TrackEffectAnim : std::int32_t {
    // Kept running by a fixed player that no painter draws.
    kTrackEffectAnim = 0,
    kFirstGateAnim = 2,
    kLastPulseGateAnim = 6,
    // Animations 8 to 12: the five players under the car on the track that
    // has them.
    kFirstUnderCarAnim = 8,
    kUnderCarAnims = 5,
    kTimedGateAnim = 13,
    // The player's race effects: the burst behind the car when its nitro
    // fires (pre-zoomed) and the sparks of a knock-out (zoomed), each played
    // once.
    kNitroBurstAnim = 14,
    kKnockSparksAnim = 15,
    kTrackEffectAnims = 16,
};
inline constexpr std::int32_t kTimedGateFrames = 8;
inline constexpr std::int32_t kTimedGateOpenFrames = 3;

// `kItemBoxSprite`: the item boxes on the road.
enum ItemBoxAnim : std::int32_t {
    kItemBoxAnim = 0,
};

// `kPathMarkerSprite`: three frames the marker cycles through.
enum PathMarkerFrame : std::int32_t {
    kPathMarkerFrames = 3,
};

// `kHeldItemSprite`.
enum HeldItemFrame : std::int32_t {
    // The picture over a car that holds an item, zoomed.
    kHeldItemFrame = 9,
};
enum HeldItemAnim : std::int32_t {
    // Kept running by a fixed player that no painter draws.
    kHeldItemAnim = 7,
};

} // namespace game
