#include "runtime/javamath.h"
#include "runtime/Runtime.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kLongMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<std::int64_t>::max();

TEST(JavaMath, IntAndLongOperationsWrap) {
    struct Case {
        std::int32_t a, b, sum, difference, product;
    };
    const Case ints[] = {
        {kIntMax, 1, kIntMin, kIntMax - 1, kIntMax},
        {kIntMin, -1, kIntMax, kIntMin + 1, kIntMin},
        {kIntMin, kIntMin, 0, 0, 0},
        {65536, 65536, 131072, 0, 0},
        {-7, 3, -4, -10, -21},
        {0x12345678, 0x10, 0x12345688, 0x12345668, 0x23456780},
    };
    for (const Case& c : ints) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
        EXPECT_EQ(rt::iadd(c.a, c.b), c.sum);
        EXPECT_EQ(rt::isub(c.a, c.b), c.difference);
        EXPECT_EQ(rt::imul(c.a, c.b), c.product);
    }
    EXPECT_EQ(rt::ineg(kIntMin), kIntMin);
    EXPECT_EQ(rt::ineg(5), -5);
    EXPECT_EQ(rt::ladd(kLongMax, 1), kLongMin);
    EXPECT_EQ(rt::lsub(kLongMin, 1), kLongMax);
    EXPECT_EQ(rt::lmul(kLongMin, -1), kLongMin);
    EXPECT_EQ(rt::lmul(std::int64_t{1} << 32, std::int64_t{1} << 32), 0);
    EXPECT_EQ(rt::lneg(kLongMin), kLongMin);
}

TEST(JavaMath, ShiftsUseOnlyTheLowBitsOfTheirCount) {
    struct Case {
        std::int32_t value, count, shl, shr, ushr;
    };
    const Case ints[] = {
        {1, 31, kIntMin, 0, 0},
        {1, 32, 1, 1, 1},
        {-8, 1, -16, -4, 0x7FFFFFFC},
        {-8, 33, -16, -4, 0x7FFFFFFC},
        {-1, -1, kIntMin, -1, 1},
        {kIntMin, 31, 0, -1, 1},
        {0x40000000, 0, 0x40000000, 0x40000000, 0x40000000},
    };
    for (const Case& c : ints) {
        SCOPED_TRACE(testing::Message() << c.value << " by " << c.count);
        EXPECT_EQ(rt::ishl(c.value, c.count), c.shl);
        EXPECT_EQ(rt::ishr(c.value, c.count), c.shr);
        EXPECT_EQ(rt::iushr(c.value, c.count), c.ushr);
    }
    EXPECT_EQ(rt::lshl(1, 63), kLongMin);
    EXPECT_EQ(rt::lshl(1, 64), 1);
    EXPECT_EQ(rt::lshr(-16, 66), -4);
    EXPECT_EQ(rt::lushr(-1, -1), 1);
    EXPECT_EQ(rt::lushr(-1, 32), 0xFFFFFFFF);
}

struct JavaMathDivision : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    JavaMathDivision() { testing_support::installTestThrowables(runtime); }

    // True when an ArithmeticException was pending; clears it.
    static bool tookArithmeticException() {
        return rt::catchException(rt::ClassId::java_lang_ArithmeticException) != nullptr;
    }
};

TEST_F(JavaMathDivision, TruncatesTowardZeroAndHandlesMinusOne) {
    struct Case {
        std::int32_t a, b, quotient, remainder;
    };
    const Case ints[] = {
        {7, 2, 3, 1},
        {-7, 2, -3, -1},
        {7, -2, -3, 1},
        {-7, -2, 3, -1},
        {kIntMin, -1, kIntMin, 0},
        {kIntMax, -1, -kIntMax, 0},
        {kIntMin, 1, kIntMin, 0},
        {0, 5, 0, 0},
    };
    for (const Case& c : ints) {
        SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
        EXPECT_EQ(rt::idiv(c.a, c.b), c.quotient);
        EXPECT_EQ(rt::irem(c.a, c.b), c.remainder);
        EXPECT_FALSE(rt::exceptionPending());
    }
    EXPECT_EQ(rt::ldiv(kLongMin, -1), kLongMin);
    EXPECT_EQ(rt::lrem(kLongMin, -1), 0);
    EXPECT_EQ(rt::ldiv(-9, 4), -2);
    EXPECT_EQ(rt::lrem(-9, 4), -1);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(JavaMathDivision, DivisionByZeroSetsArithmeticExceptionPending) {
    EXPECT_EQ(rt::idiv(5, 0), 0);
    EXPECT_TRUE(tookArithmeticException());
    EXPECT_EQ(rt::irem(kIntMin, 0), 0);
    EXPECT_TRUE(tookArithmeticException());
    EXPECT_EQ(rt::ldiv(kLongMax, 0), 0);
    EXPECT_TRUE(tookArithmeticException());
    EXPECT_EQ(rt::lrem(-1, 0), 0);
    EXPECT_TRUE(tookArithmeticException());
}

TEST(JavaMath, FloatToIntegerSaturatesAndNaNGivesZero) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        std::int32_t asInt;
        std::int64_t asLong;
    };
    const Case cases[] = {
        {kNaN, 0, 0},
        {kInf, kIntMax, kLongMax},
        {-kInf, kIntMin, kLongMin},
        {3e9, kIntMax, 3000000000},
        {-3e9, kIntMin, -3000000000},
        {1e19, kIntMax, kLongMax},
        {-1e19, kIntMin, kLongMin},
        {2147483647.9, kIntMax, 2147483647},
        {2147483648.0, kIntMax, 2147483648},
        {-2147483648.9, kIntMin, -2147483648},
        {-2.9, -2, -2},
        {2.9, 2, 2},
        {-0.0, 0, 0},
        {0.5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value);
        EXPECT_EQ(rt::d2i(c.value), c.asInt);
        EXPECT_EQ(rt::d2l(c.value), c.asLong);
        // Float holds every row but the near-limit ones exactly enough for the same answer.
        if (std::isnan(c.value) || std::isinf(c.value) || std::fabs(c.value) >= 3e9 ||
            std::fabs(c.value) < 10) {
            EXPECT_EQ(rt::f2i(static_cast<float>(c.value)), c.asInt);
            EXPECT_EQ(rt::f2l(static_cast<float>(c.value)), c.asLong);
        }
    }
    EXPECT_EQ(rt::f2i(2147483520.0f), 2147483520); // the largest float below 2^31
    EXPECT_EQ(rt::f2i(2147483648.0f), kIntMax);
    EXPECT_EQ(rt::f2l(std::ldexp(1.0f, 63)), kLongMax);
    EXPECT_EQ(rt::f2l(std::nextafter(std::ldexp(1.0f, 63), 0.0f)), 9223371487098961920);
}

TEST(JavaMath, NarrowingKeepsTheLowBits) {
    EXPECT_EQ(rt::i2b(0x1FF), -1);
    EXPECT_EQ(rt::i2b(0x17F), 127);
    EXPECT_EQ(rt::i2s(0x18000), -32768);
    EXPECT_EQ(rt::i2c(-1), 0xFFFF);
    EXPECT_EQ(rt::i2c(0x12345), 0x2345);
}

} // namespace
