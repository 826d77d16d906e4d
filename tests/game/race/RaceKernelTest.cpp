// The race kernel: products that state their width, track distances across
// the ring's wrap, the unit conversions, and the one draw from the shared
// Random. Run under UBSan, the edge rows show that nothing overflows.

#include "game/race/RaceKernel.h"
#include "classlib/util/Random.h"
#include "tests/game/race/RaceDataFixture.h"

#include <climits>

namespace {

using race_testing::RaceDataTest;

struct Product {
    std::int32_t a, b, wrap, fix32, fix64;
};

TEST(RaceKernel, ProductsStateTheirWidth) {
    const Product rows[] = {
        {0, 0, 0, 0, 0},
        {4096, 4096, 16777216, 4096, 4096},
        {-1, 1, -1, 0, 0}, // -1 + 2048 >> 12 rounds to 0
        {-2048, 1, -2048, 0, 0},
        {-2049, 1, -2049, -1, -1},
        {INT_MIN, -1, INT_MIN, -524288, 524288},
        {INT_MIN, 1, INT_MIN, -524288, -524288},
        {65536, 32768, INT_MIN, -524288, 524288}, // 2^31: the 32-bit product turns negative
        {65536, 65536, 0, 0, 1048576},            // 2^32 vanishes in 32 bits
        {INT_MAX, INT_MAX, 1, 0, -1048576},       // 64 bits cut back to 32
        {46341, 46341, INT_MIN + 4633, -524287, 524289},
    };
    for (const Product& r : rows) {
        SCOPED_TRACE(testing::Message() << r.a << " * " << r.b);
        EXPECT_EQ(game::mulWrap(r.a, r.b), r.wrap);
        EXPECT_EQ(game::fixMul32(r.a, r.b), r.fix32);
        EXPECT_EQ(game::fixMul64(r.a, r.b), r.fix64);
    }
}

TEST(RaceKernel, DivisionByZeroAnswersZeroAndMinByMinusOneWraps) {
    EXPECT_EQ(game::divOrZero(7, 0), 0);
    EXPECT_EQ(game::divOrZero(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(game::divOrZero(-7, 2), -3);
    EXPECT_EQ(game::divOrZero(7, -1), -7);
}

TEST(RaceKernel, DistancesStayExactAcrossTheRingWrap) {
    constexpr std::int32_t n = 37;
    EXPECT_EQ(game::trackDistance(2, 5, 100, n), ((2 * 37 + 5) << 10) + 100);
    // Segment 0 of lap k + 1 is ahead of the last segment of lap k by one
    // segment less the position difference.
    EXPECT_EQ(game::ringDistance(3, 0, 200, 2, n - 1, 300, n), 1024 - 100);
    EXPECT_EQ(game::ringDistance(2, n - 1, 300, 3, 0, 200, n), -(1024 - 100));
    EXPECT_EQ(game::ringDistance(1, 4, 10, 1, 4, 10, n), 0);
    // Far beyond 32 bits of progress the difference still wraps to the truth.
    EXPECT_EQ(game::ringDistance(INT_MAX, 0, 0, INT_MAX - 1, 0, 0, n), n << 10);
}

TEST(RaceKernel, ConversionsAndClampedInterpolation) {
    EXPECT_EQ(game::kmhToSpeed(90), 102400);
    EXPECT_EQ(game::kmhToSpeed(200), 227555);
    EXPECT_EQ(game::kmhToSpeed(0), 0);
    EXPECT_EQ(game::kmhToSpeed(-36), -40960);

    EXPECT_EQ(game::frameMsToTime(40), 163);
    EXPECT_EQ(game::frameMsToTime(1000), 4096);
    EXPECT_EQ(game::frameMsToTime(5000), 4096);
    EXPECT_EQ(game::frameMsToTime(-3), 0);
    // Event times above 524287 ms would wrap in a 32-bit shift.
    EXPECT_EQ(game::msToTime(600000), 2457600);
    EXPECT_EQ(game::msToTime(524288), 2147483);

    struct Lerp {
        std::int32_t a, b, t, out;
    };
    const Lerp rows[] = {
        {100, 200, -5, 100},
        {100, 200, 0, 100},
        {100, 200, 2048, 150},
        {100, 200, 4096, 200},
        {100, 200, 99999, 200},
        {200, 100, 1024, 175},
        {INT_MIN, INT_MAX, 4096, INT_MAX}, // b - a wraps to -1 in 32 bits
        {-1000000, 1000000, 2048, 0},
    };
    for (const Lerp& r : rows)
        EXPECT_EQ(game::lerpClamped(r.a, r.b, r.t), r.out) << r.a << ".." << r.b << " at " << r.t;
}

TEST(RaceKernel, MagnitudeModTakesTheUnsignedMagnitude) {
    struct Row {
        std::int32_t draw, k, out;
    };
    const Row rows[] = {
        {INT_MIN, 2048, 0}, {INT_MIN, 3000, 2147483648u % 3000},
        {-1, 50, 1},        {0, 7, 0},
        {-7, 7, 0},         {INT_MAX, 10, 7},
        {5, 0, 0},          {5, -3, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(game::magnitudeMod(r.draw, r.k), r.out) << r.draw << " mod " << r.k;
}

TEST_F(RaceDataTest, RaceDrawsStepTheSharedRandomOnce) {
    lib::java_util_Random::seedSharedRandom(1234);
    rt::Handle<lib::java_util_Random> twin(runtime.objectManager(), rt::make<lib::java_util_Random>(1234));
    for (std::int32_t k : {2048, 50, 1, 37, 3000})
        EXPECT_EQ(game::raceRandom(k), game::magnitudeMod(twin->next(32), k));
    // A bound of 0 takes no step.
    EXPECT_EQ(game::raceRandom(0), 0);
    EXPECT_EQ(lib::java_util_Random::shared()->state(), twin->state());
}

} // namespace
