#pragma once

// The game's saved progress records, little-endian, each the single record of
// its record store (write the store with RecordStore.h).
//
// A count record (the event results with the progress values after them, or
// the event records): the count's low 8 bits, then each int.
//
// The unlock record, with t triplet items, 4t + 54 bytes: the length's low 8
// bits, saved byte A, masks A, B and C, saved bytes B and C, the reward grid
// (at 16), the promotion byte (20), grid A (21), six progress values (25), t
// triplet items (49), grid B and the vibration byte.
//
// The older unlock layout, 4t + 52 bytes, is written as its writer wrote it:
// the reward grid at 16, then the promotion byte at 17 and grid A at 19 over
// it, the progress values at 23 and the rest two bytes earlier.

#include "tools/datakit/ByteWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace datakit {

Bytes writeCountRecord(const std::vector<std::int32_t>& values);

struct UnlockRecord {
    std::int8_t savedByteA = 0;
    std::int32_t maskA = 7;
    std::int32_t maskB = 7;
    std::int32_t maskC = 3;
    std::int8_t savedByteB = 0;
    std::int8_t savedByteC = 0;
    std::int32_t rewardGrid = 0;
    bool promotionPending = false;
    std::int32_t gridA = 17;
    std::array<std::int32_t, 6> progressValues{};
    std::vector<std::int32_t> triplets;
    std::int32_t gridB = 0;
    bool vibrationOn = false;
};

enum class UnlockLayout : std::uint8_t {
    Current,
    Older,
};

Bytes writeUnlockRecord(const UnlockRecord& record, UnlockLayout layout = UnlockLayout::Current);

} // namespace datakit
