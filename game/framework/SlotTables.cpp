#include "game/framework/SlotTables.h"

#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "runtime/Array.h"

namespace game {

namespace {

constexpr std::int32_t kRecordBytes = 4;
// Bits 16 and 17 of a cache request: build the caches, then drop the pixels.
constexpr std::int32_t kBuildAndDrop = 0x30000;

} // namespace

void setByteTableEntry(std::int32_t i, std::int32_t a, std::int32_t b) {
    rt::ObjectArray* table = startupStatics().s_objectFlags;
    auto* record = static_cast<rt::ByteArray*>(rt::ObjectArray::get(table, i));
    if (!record) {
        // A bad table or index was reported by the read; only a free slot
        // gets a record.
        if (!table || i < 0 || i >= table->length())
            return;
        record = rt::newByteArray(kRecordBytes);
        rt::Array::setRef(startupStatics().s_objectFlags, i, record);
    }
    rt::ByteArray::set(record, 0, 1);
    rt::ByteArray::set(record, 1, static_cast<std::int8_t>(a));
    rt::ByteArray::set(record, 2, static_cast<std::int8_t>(b));
}

void releaseSpriteSlot(std::int32_t i) {
    rt::Array::setRef(startupStatics().s_sprites, i, nullptr);
}

void flagSlot(std::int32_t i) {
    if (i >= 0)
        rt::BoolArray::set(startupStatics().s_spriteLoadFlags, i, 1);
}

void setSlotValue(std::int32_t slot, std::int32_t paletteMask) {
    if (slot < 0)
        return;
    StartupStatics& startup = startupStatics();
    rt::BoolArray::set(startup.s_spriteLoadFlags, slot, 1);
    std::int32_t spec = paletteMask & 0xFFFF;
    if (slot == kRacerBadgeSprite)
        spec |= kBuildAndDrop;
    rt::IntArray::set(startup.s_spriteCacheSpecs, slot, spec);
}

} // namespace game
