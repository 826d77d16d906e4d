#pragma once

// What the player has unlocked: three 32-bit unlock masks, three 32-bit bit
// grids (rewards granted, and grids A and B of the front end), one int of bit
// triplets per item, six progress values and a few saved one-byte options.
// All of it is saved in the unlock record (SaveRecords.h).
//
// Bit numbers are taken from their low 8 bits; a number of 32 to 255 names
// no bit: testing it answers false and setting it changes nothing. A grid
// cell (column, row) is bit column + row x R, R being the length of
// `s_gridRowLengthTable`. Triplet bit (tier, bit) of an item is bit
// tier x 3 + bit of its int.
//
// The lengths the saved records depend on are fixed here, once, by
// `initProgressStatics`: `kTripletItems` items and grid rows of
// `kGridRowLength` cells.
//
// None of the single-bit operations saves; their callers save when done.
// `grantReward` applies the unlock rules and saves at once. Game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Chosen here, as no data gives them. Six triplet items, as many as the race
// tables keep track slots; the unlock record is then 78 bytes.
inline constexpr std::int32_t kTripletItems = 6;
// Four columns, one per unlockable column of the front end: the column
// unlock of column c opens column c + 1 in rows 0 and 1, and grid A's
// default (17: cells (0, 0) and (0, 1)) opens column 0 there.
inline constexpr std::int32_t kGridRowLength = 4;
inline constexpr std::int32_t kProgressValueCount = 6;

// What the game can set, which the unlock record's reader holds a stored
// record to. The masks hold only their defaults' bits and these: A and B
// bits 3 to 5 from rewards, C bit 2 from the second tier and bit 3 from the
// front end's start question. Grid cells lie in rows 0 to 2 (the reward rows
// and the row a tier opens), so the grids use 3 x R bits. A triplet item
// holds the 3 bits of tiers 0 to 9.
inline constexpr std::int32_t kMaskADefault = 7;
inline constexpr std::int32_t kMaskBDefault = 7;
inline constexpr std::int32_t kMaskCDefault = 3;
inline constexpr std::int32_t kGridADefault = 17;
inline constexpr std::uint32_t kMaskABits = 0x3F;
inline constexpr std::uint32_t kMaskBBits = 0x3F;
inline constexpr std::uint32_t kMaskCBits = 0x0F;
inline constexpr std::int32_t kGridRows = 3;
inline constexpr std::uint32_t kGridBits = (1u << (kGridRows * kGridRowLength)) - 1;
inline constexpr std::int32_t kTripletTiers = 10;
inline constexpr std::uint32_t kTripletBits = (1u << (3 * kTripletTiers)) - 1;

// The sound switch as the player last set it, in saved byte A: a progress
// saved before any choice (or by an older game) holds `None`.
enum class SoundChoice : std::int32_t { None = 0, Off = 1, On = 2 };

struct ProgressStatics {
    std::int32_t s_progressMaskA = 0;
    std::int32_t s_progressMaskB = 0;
    std::int32_t s_progressMaskC = 0;
    std::int32_t s_rewardGrid = 0;
    std::int32_t s_gridFlagsA = 0;
    std::int32_t s_gridFlagsB = 0;
    // int[kTripletItems]: 3 bits per tier, tiers 0 to 9.
    rt::IntArray* s_tripletFlags = nullptr;
    // int[kProgressValueCount].
    rt::IntArray* s_progressValues = nullptr;
    // Its length is the grids' row length R.
    rt::IntArray* s_gridRowLengthTable = nullptr;
    // The bit numbers `grantReward` just set in mask A and mask B, for the
    // front end to announce.
    rt::IntArray* s_newMaskABits = nullptr;
    rt::IntArray* s_newMaskBBits = nullptr;
    // 1 once a reward completed the last tier.
    std::int32_t s_allTiersDone = 0;
    // Saved options and counters kept in one byte each (-128..127 survive).
    // Byte A is the player's sound choice (`SoundChoice`).
    std::int32_t s_savedByteA = 0;
    std::int32_t s_savedByteB = 0;
    std::int32_t s_savedByteC = 0;
    std::int8_t s_promotionPending = 0;
    std::int8_t s_vibrationOn = 0;

    RT_REFERENCE_FIELDS(ProgressStatics, rt::NoReferenceBase, s_tripletFlags, s_progressValues,
                        s_gridRowLengthTable, s_newMaskABits, s_newMaskBBits)
};

ProgressStatics& progressStatics();

// Makes the triplet items, the progress values and the grid row table, and
// the unlock record's positions that follow from them (SaveRecords.h).
void initProgressStatics();

// The unlock defaults: masks 7, 7 and 3 (`kMask?Default`), reward grid 0,
// grid A 17 (`kGridADefault`), grid B 0,
// every progress value and triplet 0. The one-byte fields and the flags keep
// their values.
void resetUnlocks();

bool hasProgressFlagA(std::int32_t bit);
bool hasProgressFlagB(std::int32_t bit);
void setProgressFlagC(std::int32_t bit);
bool hasProgressFlagC(std::int32_t bit);

bool hasReward(std::int32_t column, std::int32_t row);
void setGridFlagA(std::int32_t column, std::int32_t row);
// Sets cells 0 to R - 1 of `row`.
void setGridRowA(std::int32_t row);
bool hasGridFlagA(std::int32_t column, std::int32_t row);
void setGridFlagB(std::int32_t column, std::int32_t row);
void setGridRowB(std::int32_t row);
void clearGridFlagB(std::int32_t column, std::int32_t row);
bool hasGridFlagB(std::int32_t column, std::int32_t row);

void setTripletFlag(std::int32_t item, std::int32_t tier, std::int32_t bit);
// Whether every item has bit 0 of `tier`; true when there are no items.
bool isTierComplete(std::int32_t tier);

// Grants reward (column, row) with the unlocks it brings, and saves. A reward
// already granted changes nothing and saves nothing. Rows 0 and 1 of a column
// (below 4) share one column unlock, applied by whichever comes first; each
// of rows 0, 1 and 2 then checks its tier.
void grantReward(std::int32_t column, std::int32_t row);

} // namespace game
