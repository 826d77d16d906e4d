#pragma once

// Writers of the per-slot tables that state 1 makes (StartupLoad.h) and the
// loaders read: the object flag table (92 records of four bytes: in use and
// two values), the sprite table's load flags and cache requests, and
// the sprite table's slots themselves.
//
// A missing table or an index outside one is reported as every checked
// access is, and the call changes nothing. Threads: the game thread only.

#include <cstdint>

namespace game {

// Record `i` of the object flag table becomes {1, a, b, its fourth byte};
// a record not made yet is made with a fourth byte of 0.
void setByteTableEntry(std::int32_t i, std::int32_t a, std::int32_t b);

// Empties slot `i` of the sprite table without freeing the sprite's images
// (`unloadSprite` frees them).
void releaseSpriteSlot(std::int32_t i);
// Marks sprite slot `i` to be loaded; nothing for a negative `i`.
void flagSlot(std::int32_t i);
// Marks sprite slot `slot` to be loaded with `paletteMask & 0xFFFF` as its
// cache request, plus build-and-drop for `kRacerBadgeSprite`; nothing for a
// negative `slot`.
void setSlotValue(std::int32_t slot, std::int32_t paletteMask);

} // namespace game
