#include "classlib/util/Random.h"
#include "tests/classlib/LangUtilFixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iterator>

namespace {

using lib::java_util_Random;

// An independent model of the generator: the state as a 32-bit low part and
// a 16-bit high part, stepped with 32-bit products, as the generator is
// described rather than as it is written.
struct Model {
    std::uint32_t low = 0;
    std::uint32_t high = 0;

    explicit Model(std::uint64_t seed)
        : low(static_cast<std::uint32_t>(seed) ^ 0xDEECE66Du)
        , high((static_cast<std::uint32_t>(seed >> 32) ^ 5u) & 0xFFFFu) {}

    std::int32_t next(int bits) {
        std::uint64_t product = std::uint64_t{low} * 0xDEECE66Du;
        std::uint32_t middle = low * 5u + high * 0xDEECE66Du;
        product += std::uint64_t{middle} << 32;
        product += 11;
        low = static_cast<std::uint32_t>(product);
        high = static_cast<std::uint32_t>(product >> 32) & 0xFFFFu;
        std::uint64_t state = (std::uint64_t{high} << 32) | low;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(state >> (48 - bits)));
    }
    std::int32_t nextInt(std::int32_t n) {
        if ((n & (n - 1)) == 0)
            return static_cast<std::int32_t>((static_cast<std::int64_t>(n) * next(31)) >> 31);
        for (;;) {
            std::int64_t bits = next(31);
            std::int64_t value = bits % n;
            // The block of n values starting at bits - value must end below 2^31.
            if (bits - value + (n - 1) < (std::int64_t{1} << 31))
                return static_cast<std::int32_t>(value);
        }
    }
    std::int64_t nextLong() {
        std::int64_t high32 = next(32);
        std::int64_t low32 = next(32);
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(high32) << 32) +
                                         static_cast<std::uint64_t>(low32));
    }
};

struct RandomTest : testing_support::LangUtilTest {};

TEST_F(RandomTest, SeedZeroGivesThePublishedFirstDraws) {
    auto* random = rt::make<java_util_Random>(0);
    EXPECT_EQ(random->state(), 0x5DEECE66D);
    EXPECT_EQ(random->nextInt(10), 0);
    EXPECT_EQ(rt::make<java_util_Random>(0)->nextInt(16), 11);
    EXPECT_EQ(rt::make<java_util_Random>(0)->nextInt(), -1155484576);
    EXPECT_EQ(rt::make<java_util_Random>(42)->nextInt(), -1170105035);
    // setSeed keeps only the low 48 bits of seed XOR multiplier.
    random->setSeed(-1);
    EXPECT_EQ(random->state(), (~std::int64_t{0x5DEECE66D}) & java_util_Random::kMask);
}

TEST_F(RandomTest, ThousandDrawsOfEachMethodMatchTheModel) {
    for (std::int64_t seed : {std::int64_t{0}, std::int64_t{12345}, std::int64_t{-987654321987}}) {
        SCOPED_TRACE(seed);
        auto* random = rt::make<java_util_Random>(seed);
        Model model(static_cast<std::uint64_t>(seed));
        for (int i = 0; i < 1000; ++i) {
            int bits = 1 + i % 32;
            ASSERT_EQ(random->next(bits), model.next(bits)) << "next(" << bits << ") draw " << i;
        }
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(random->nextInt(), model.next(32)) << "nextInt draw " << i;
        // Powers of two, small bounds, and bounds whose last block is most of 2^31 (many rejections).
        const std::int32_t bounds[] = {1, 2, 16, 1 << 30, 3, 10, 1000, 0x40000001, 0x7FFFFFFF, 0x55555556};
        for (int i = 0; i < 1000; ++i) {
            std::int32_t n = bounds[i % std::size(bounds)];
            ASSERT_EQ(random->nextInt(n), model.nextInt(n)) << "nextInt(" << n << ") draw " << i;
        }
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(random->nextLong(), model.nextLong()) << "nextLong draw " << i;
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(random->nextFloat(), static_cast<float>(model.next(24)) / 16777220.0f)
                << "nextFloat draw " << i;
        EXPECT_FALSE(rt::exceptionPending());
    }
}

TEST_F(RandomTest, NextFloatDividesBySixteenMillionTwoHundredTwenty) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(java_util_Random::kFloatDivisor), 0x4B800002u);
    EXPECT_LT(16777215.0f / java_util_Random::kFloatDivisor, 1.0f);
    auto* random = rt::make<java_util_Random>(7);
    for (int i = 0; i < 1000; ++i) {
        float value = random->nextFloat();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
}

TEST_F(RandomTest, ABoundBelowOneIsRefusedWithoutAStep) {
    auto* random = rt::make<java_util_Random>(99);
    std::int64_t before = random->state();
    for (std::int32_t n : {0, -5, INT32_MIN}) {
        EXPECT_EQ(random->nextInt(n), 0);
        EXPECT_EQ(pendingMessage(), testing_support::kBadBoundText);
        EXPECT_EQ(takePending(), rt::ClassId::java_lang_IllegalArgumentException);
        EXPECT_EQ(random->state(), before);
    }
}

TEST_F(RandomTest, TheSharedGeneratorIsMadeOnceAndReseeded) {
    EXPECT_EQ(java_util_Random::shared(), nullptr);
    java_util_Random::seedSharedRandom(777);
    java_util_Random* shared = java_util_Random::shared();
    ASSERT_NE(shared, nullptr);
    std::int32_t first[3] = {shared->nextInt(), shared->nextInt(), shared->nextInt()};
    java_util_Random::seedSharedRandom(777);
    EXPECT_EQ(java_util_Random::shared(), shared);
    for (std::int32_t expected : first)
        EXPECT_EQ(shared->nextInt(), expected);
    // The static is a root.
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure & ~rt::ObjectManager::kMarkNewest);
    EXPECT_FALSE(shared->isFreed());
}

} // namespace
