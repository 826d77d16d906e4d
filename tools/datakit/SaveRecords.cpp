#include "tools/datakit/SaveRecords.h"

namespace datakit {

namespace {

constexpr ByteOrder kLittle = ByteOrder::Little;

} // namespace

Bytes writeCountRecord(const std::vector<std::int32_t>& values) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(values.size()));
    for (std::int32_t value : values)
        out.i32(kLittle, value);
    return std::move(out).take();
}

Bytes writeUnlockRecord(const UnlockRecord& record, UnlockLayout layout) {
    bool older = layout == UnlockLayout::Older;
    std::size_t length = 4 * record.triplets.size() + (older ? 52 : 54);
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(length));
    out.i8(record.savedByteA);
    out.i32(kLittle, record.maskA);
    out.i32(kLittle, record.maskB);
    out.i32(kLittle, record.maskC);
    out.i8(record.savedByteB);
    out.i8(record.savedByteC);
    if (older) {
        // The promotion byte and grid A landed on bytes 17 and 19 to 22 of the
        // reward grid's place: of the grid, bytes 0 and 2 are left.
        auto reward = static_cast<std::uint32_t>(record.rewardGrid);
        out.u8(static_cast<std::uint8_t>(reward));
        out.u8(record.promotionPending ? 1 : 0);
        out.u8(static_cast<std::uint8_t>(reward >> 16));
    } else {
        out.i32(kLittle, record.rewardGrid);
        out.u8(record.promotionPending ? 1 : 0);
    }
    out.i32(kLittle, record.gridA);
    for (std::int32_t value : record.progressValues)
        out.i32(kLittle, value);
    for (std::int32_t value : record.triplets)
        out.i32(kLittle, value);
    out.i32(kLittle, record.gridB);
    out.u8(record.vibrationOn ? 1 : 0);
    return std::move(out).take();
}

} // namespace datakit
