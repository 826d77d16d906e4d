#pragma once

// The saved progress: three records, each the single record of a record
// store named by a constant string (RecordStorage.h). All multi-byte values
// are signed 32-bit little-endian.
//
// Event results (C135): n = the lengths of `s_eventResults` and
// `s_eventProgress` together; 1 + 4n bytes: n's low 8 bits, then the ints of
// the two arrays in that order.
//
// Event records (C136): m = the length of `s_eventRecords`; 1 + 4m bytes:
// m's low 8 bits, then its ints.
//
// Unlocks (C137), with t triplet items and L = 4t + 54 bytes:
//
//   0       L's low 8 bits           21      grid A
//   1       saved byte A             25      the six progress values
//   2, 6    masks A, B               49      the t triplet items
//   10      mask C                   4t + 49 grid B
//   14, 15  saved bytes B, C         4t + 53 vibration: 1 on, 0 off
//   16      reward grid
//   20      promotion pending: 1 or 0
//
// An older writer kept the unlocks in L = 4t + 52 bytes: reward grid at 16,
// then the promotion byte at 17 and grid A at 19 over it, progress values at
// 23, triplets at 47, grid B at 4t + 47, vibration at 4t + 51. Its reward
// grid lost bits 8 to 15 and 24 to 31 to the promotion byte and grid A. Such
// a record is still read, its reward grid from the bits that survive (0 to 7
// from byte 16, 16 to 23 from byte 18), and written back in the layout above.
//
// A record is taken only when its length is exactly the layout's and its
// first byte holds the low 8 bits of its count or length; anything else
// counts as missing, and the reader writes the current values (for the
// unlocks, the defaults) in its place. An unlock record of the right length
// is taken only when every field the game reads holds a value the game can
// write (Progress.h): a record of random contents is refused with one log
// line naming the field, and the defaults take its place. A write that fails is logged by the
// storage, and the values in memory stay.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Offsets in the unlock record.
namespace unlock_record {
inline constexpr std::int32_t kSavedByteA = 1;
inline constexpr std::int32_t kMaskA = 2;
inline constexpr std::int32_t kMaskB = 6;
inline constexpr std::int32_t kMaskC = 10;
inline constexpr std::int32_t kSavedByteB = 14;
inline constexpr std::int32_t kSavedByteC = 15;
inline constexpr std::int32_t kRewardGrid = 16;
inline constexpr std::int32_t kPromotion = 20;
inline constexpr std::int32_t kGridA = 21;
inline constexpr std::int32_t kProgressValues = 25;
inline constexpr std::int32_t kTriplets = 49;
// The length for `items` triplet items, in this layout and the older one.
constexpr std::int32_t length(std::int32_t items) {
    return 4 * items + 54;
}
constexpr std::int32_t olderLength(std::int32_t items) {
    return 4 * items + 52;
}
} // namespace unlock_record

struct SaveRecordStatics {
    // The arrays of the event records, made from the event tables; a record
    // whose array is null is neither read nor written.
    rt::IntArray* s_eventResults = nullptr;
    rt::IntArray* s_eventProgress = nullptr;
    rt::IntArray* s_eventRecords = nullptr;
    // The unlock record's grid B and vibration positions and its length, set
    // once the triplet items exist.
    std::int32_t s_recordCGridPos = 0;
    std::int32_t s_recordCFlagPos = 0;
    std::int32_t s_recordCLength = 0;

    RT_REFERENCE_FIELDS(SaveRecordStatics, rt::NoReferenceBase, s_eventResults, s_eventProgress,
                        s_eventRecords)
};

SaveRecordStatics& saveRecordStatics();

// Sets the unlock record's positions from the number of triplet items.
void initUnlockRecordLayout();

// Each writer answers false when the store did not take the record, true
// otherwise (also when there is nothing to write).
bool saveRecordA();
bool saveRecordB();
bool saveProgress();

// Read their record into the arrays when the arrays exist; a missing or
// mismatching record is replaced by the arrays' current values.
void loadRecordA();
void loadRecordB();
// 1 when the unlock record was read (an older one is also rewritten); 0 when
// the defaults were set and written in its place.
std::int32_t loadRecordC();

} // namespace game
