#include "host/Arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Every size gets memory it can write from end to end, aligned for the heaps
// (16 bytes; 2 MiB from 2 MiB on, where large pages are asked for); a size
// that cannot be rounded up to whole large pages gets nothing.
TEST(Arena, SmallAndLargeArenasAreAlignedAndWholeAndImpossibleOnesAreRefused) {
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    for (std::size_t bytes : {std::size_t{32}, std::size_t{4096} + 16, kLargePage - 16, kLargePage,
                              kLargePage + 16, 3 * kLargePage}) {
        SCOPED_TRACE(bytes);
        auto* arena = static_cast<std::byte*>(host::allocateArena(bytes));
        ASSERT_NE(arena, nullptr);
        auto address = reinterpret_cast<std::uintptr_t>(arena);
        EXPECT_EQ(address % 16, 0u);
        if (bytes >= kLargePage) {
            EXPECT_EQ(address % kLargePage, 0u);
        }
        std::memset(arena, 0x5A, bytes);
        EXPECT_EQ(arena[bytes - 1], std::byte{0x5A});
        host::freeArena(arena);
    }
    EXPECT_EQ(host::allocateArena(SIZE_MAX - 100), nullptr);
    host::freeArena(nullptr);
}

} // namespace
