#pragma once

// The frames the race draws and measures in `kRaceIconSprite`
// (SpriteSlots.h). A plain enum with a fixed type, as SpriteSlots.h says
// why.

#include <cstdint>

namespace game {

enum RaceIconFrame : std::int32_t {
    // Frame n is the icon of item n (0 to 8), from its top left; item 8
    // shows in its driver's colours, frame 8 for driver kind 0.
    kFirstItemIconFrame = 0,
    kDriverItemIconFrame = 8,
    // The slot the held item's icon sits in, from its top left.
    kItemSlotFrame = 18,
    // The markers over the player's car, from their bottom centre: plain,
    // and for a marker of a kind other than 0.
    kPlayerMarkerFrame = 19,
    kAlertMarkerFrame = 20,
    // Frames 21 to 25: item 8 for driver kinds 1 to 5.
    kFirstDriverColourFrame = 21,
    // The picture over a car that holds item 2 or 5, zoomed.
    kHeldItemIconFrame = kFirstDriverColourFrame,
};

} // namespace game
