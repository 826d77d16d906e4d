// The per-slot tables that state 1 makes: the object flag records, the
// sprite load flags and cache requests, and the sprite table's slots.

#include "game/framework/SlotTables.h"
#include "game/framework/StartupLoad.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <vector>

namespace {

struct SlotTablesTest : framework_testing::FrameworkTest {
    SlotTablesTest() {
        game::StartupStatics& startup = game::startupStatics();
        startup.s_objectFlags = rt::newObjectArray(92);
        startup.s_sprites = rt::newObjectArray(game::kSpriteCount);
        startup.s_spriteLoadFlags = rt::newBoolArray(game::kSpriteCount);
        startup.s_spriteCacheSpecs = rt::newIntArray(game::kSpriteCount);
    }

    // Record `i` of the object flag table; empty when it was never made.
    static std::vector<std::int32_t> record(std::int32_t i) {
        auto* bytes =
            static_cast<rt::ByteArray*>(rt::ObjectArray::get(game::startupStatics().s_objectFlags, i));
        std::vector<std::int32_t> out;
        for (std::int32_t j = 0; bytes && j < bytes->length(); ++j)
            out.push_back(rt::ByteArray::get(bytes, j));
        return out;
    }
};

TEST_F(SlotTablesTest, ObjectFlagRecordsAreMadeOnceAndKeepTheirFourthByte) {
    game::setByteTableEntry(5, 7, -2);
    EXPECT_EQ(record(5), (std::vector<std::int32_t>{1, 7, -2, 0}));
    rt::ByteArray::set(
        static_cast<rt::ByteArray*>(rt::ObjectArray::get(game::startupStatics().s_objectFlags, 5)), 3, 9);
    game::setByteTableEntry(5, 0, 0);
    EXPECT_EQ(record(5), (std::vector<std::int32_t>{1, 0, 0, 9}));

    // Outside the table, or with no table: reported, nothing written.
    for (std::int32_t i : {92, -1}) {
        log.clear();
        game::setByteTableEntry(i, 1, 1);
        EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds")) << i;
    }
    EXPECT_EQ(record(0), std::vector<std::int32_t>{});
    log.clear();
    game::startupStatics().s_objectFlags = nullptr;
    game::setByteTableEntry(0, 1, 1);
    EXPECT_TRUE(log.contains("NullPointer"));
}

TEST_F(SlotTablesTest, SpriteSlotsAreFlaggedWithTheirCacheWordAndReleased) {
    game::StartupStatics& startup = game::startupStatics();
    game::flagSlot(3);
    game::flagSlot(-1);
    game::setSlotValue(10, 0x1FFFF);
    game::setSlotValue(63, 0x12345);
    game::setSlotValue(-1, 5);
    std::vector<std::int32_t> flagged;
    for (std::int32_t i = 0; i < game::kSpriteCount; ++i) {
        if (rt::BoolArray::get(startup.s_spriteLoadFlags, i))
            flagged.push_back(i);
    }
    EXPECT_EQ(flagged, (std::vector<std::int32_t>{3, 10, 63}));
    EXPECT_EQ(rt::IntArray::get(startup.s_spriteCacheSpecs, 3), 0) << "a bare flag leaves the cache request";
    EXPECT_EQ(rt::IntArray::get(startup.s_spriteCacheSpecs, 10), 0xFFFF);
    EXPECT_EQ(rt::IntArray::get(startup.s_spriteCacheSpecs, 63), 0x32345) << "built, then its pixels dropped";

    rt::Array::setRef(startup.s_sprites, 8, startup.s_spriteCacheSpecs);
    game::releaseSpriteSlot(8);
    EXPECT_EQ(rt::ObjectArray::get(startup.s_sprites, 8), nullptr);
}

} // namespace
