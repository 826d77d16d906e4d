#pragma once
// What the view decides about the dynamic triggers (trigger kind 0x2000)
// standing in the road slices: whether the current event shows an entry on
// the player's lap and in this weather, which entry values the guided race
// shows at its current step, and the lane marks of the item boxes in view.
//
// The lane marks are race state (the computer drivers steer for them), so
// they are set here, in the view pass, for exactly the item boxes the race
// scene paints this frame; the item-box painter only reads. A frame leaves
// the same race state with or without a painter.
//
// Game thread only.
#include <cstdint>

namespace game {

class ZoomedAnimPlayer;

// Entry values (the low byte of an entry whose top byte is 0xFF).
inline constexpr std::int32_t kEntryItemBox = 1;
inline constexpr std::int32_t kEntryCoin = 2;
inline constexpr std::int32_t kEntryLaneObject = 3;
inline constexpr std::int32_t kEntryBump = 7;
inline constexpr std::int32_t kEntryRamp = 8;
inline constexpr std::int32_t kEntryTenCoin = 10;
inline constexpr std::int32_t kEntryWideLaneObject = 11;

// Whether entry `entry` shows at a slice of `sliceSegment` on the player's
// current lap: entries of every lap and of the player's lap always; one of
// the next lap only while the slice lies past the ring's end within 15
// segments of the player. Nothing without a player's car.
bool isEntryOnPlayersLap(std::int32_t entry, std::int32_t sliceSegment);
// The current event's entry for trigger code `code` into `entry`, when the
// code is for the event's variant, the entry is on the player's lap at
// `sliceSegment`, and (bit 8 of the entry) its weather is the track's.
bool findShownDynamicTrigger(std::int32_t code, std::int32_t sliceSegment, std::int32_t& entry);
// Whether an entry of value `value` shows in the current game mode: every
// value outside the guided race; in it item boxes only at step 4, coins
// from step 7, ten-coins and bumps from step 8, ramps always, lane objects
// never.
bool isEntryValueShown(std::int32_t value);

// The lateral position of lane mark `lane` (bits 16..19 of an entry).
std::int32_t laneMarkLateral(std::int32_t lane);
// The player that shows the item boxes; null before the race's players
// exist, when no item box is marked or drawn.
ZoomedAnimPlayer* itemBoxPlayer();

// The view pass's step: for every item box the race scene paints this
// frame (slices 12 down to 0 not turned away, in the code order of their
// segments) that is still standing and whose place projects, its lane's
// target becomes the box's lateral position (unless a computer car took
// the mark already) and the lane-target switch goes on. The switch was
// cleared earlier in the same view pass.
void markRoadsideLanes();

} // namespace game
