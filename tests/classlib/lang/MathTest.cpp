#include "classlib/lang/Math.h"
#include "classlib/lang/fixedmath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace {

using lib::java_lang_Math;

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLongMin = std::numeric_limits<std::int64_t>::min();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bit-exact float and double comparison, so that -0.0 and 0.0 differ.
std::uint32_t bitsOf(float value) {
    return std::bit_cast<std::uint32_t>(value);
}
std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

TEST(JavaLangMath, AbsKeepsTheMostNegativeNumbersAndNegativeZero) {
    struct IntCase {
        std::int32_t value, abs;
    };
    for (IntCase c : {IntCase{5, 5}, IntCase{-5, 5}, IntCase{0, 0}, IntCase{kIntMin, kIntMin},
                      IntCase{kIntMin + 1, -(kIntMin + 1)}})
        EXPECT_EQ(java_lang_Math::abs(c.value), c.abs) << c.value;
    EXPECT_EQ(java_lang_Math::abs(std::int64_t{-7}), 7);
    EXPECT_EQ(java_lang_Math::abs(kLongMin), kLongMin);
    EXPECT_EQ(java_lang_Math::abs(std::int64_t{1} << 40), std::int64_t{1} << 40);

    struct FloatCase {
        float value, abs;
    };
    for (FloatCase c : {FloatCase{-2.5f, 2.5f}, FloatCase{2.5f, 2.5f}, FloatCase{-0.0f, -0.0f},
                        FloatCase{0.0f, 0.0f}, FloatCase{-INFINITY, INFINITY}})
        EXPECT_EQ(bitsOf(java_lang_Math::abs(c.value)), bitsOf(c.abs)) << c.value;
    EXPECT_EQ(bitsOf(java_lang_Math::abs(-0.0)), bitsOf(-0.0));
    EXPECT_EQ(java_lang_Math::abs(-1e300), 1e300);
    // NaN is not >= 0.0: it is negated, sign bit flipped.
    EXPECT_EQ(bitsOf(java_lang_Math::abs(kNaNf)), bitsOf(-kNaNf));
    EXPECT_EQ(bitsOf(java_lang_Math::abs(kNaN)), bitsOf(-kNaN));
}

TEST(JavaLangMath, MaxAndMinFollowPlainComparisons) {
    EXPECT_EQ(java_lang_Math::max(3, -4), 3);
    EXPECT_EQ(java_lang_Math::min(3, -4), -4);
    EXPECT_EQ(java_lang_Math::max(kLongMin, std::int64_t{0}), 0);
    EXPECT_EQ(java_lang_Math::min(kLongMin, std::int64_t{0}), kLongMin);

    struct Case {
        float a, b, max, min;
    };
    const Case cases[] = {
        {1.0f, 2.0f, 2.0f, 1.0f},  {-0.0f, 0.0f, 0.0f, 0.0f},   {0.0f, -0.0f, -0.0f, -0.0f},
        {kNaNf, 1.0f, 1.0f, 1.0f}, {1.0f, kNaNf, kNaNf, kNaNf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << ", " << c.b);
        EXPECT_EQ(bitsOf(java_lang_Math::max(c.a, c.b)), bitsOf(c.max));
        EXPECT_EQ(bitsOf(java_lang_Math::min(c.a, c.b)), bitsOf(c.min));
        EXPECT_EQ(bitsOf(java_lang_Math::max(double{c.a}, double{c.b})), bitsOf(double{c.max}));
        EXPECT_EQ(bitsOf(java_lang_Math::min(double{c.a}, double{c.b})), bitsOf(double{c.min}));
    }
}

TEST(JavaLangMath, FloatFunctionsComputeInDoubleAndNarrow) {
    const float x = 0.3f;
    EXPECT_EQ(java_lang_Math::sqrt(2.0f), static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(java_lang_Math::sin(x), static_cast<float>(std::sin(double{x})));
    EXPECT_EQ(java_lang_Math::cos(x), static_cast<float>(std::cos(double{x})));
    EXPECT_EQ(java_lang_Math::tan(x), static_cast<float>(std::tan(double{x})));
    EXPECT_EQ(java_lang_Math::asin(x), static_cast<float>(std::asin(double{x})));
    EXPECT_EQ(java_lang_Math::acos(x), static_cast<float>(std::acos(double{x})));
    EXPECT_EQ(java_lang_Math::atan2(1.0f, -1.0f), static_cast<float>(3 * std::numbers::pi / 4));
    EXPECT_EQ(java_lang_Math::sqrt(2.0), std::sqrt(2.0));
    EXPECT_TRUE(std::isnan(java_lang_Math::sqrt(-1.0f)));
    EXPECT_EQ(java_lang_Math::toRadians(180.0f), static_cast<float>(std::numbers::pi));
    EXPECT_EQ(java_lang_Math::toDegrees(static_cast<float>(std::numbers::pi)),
              static_cast<float>(static_cast<double>(static_cast<float>(std::numbers::pi) * 180.0f) *
                                 0.3183098861837907));
    EXPECT_NEAR(java_lang_Math::toDegrees(1.0f), 57.29578f, 1e-4f);
}

TEST(FixedMath, IntegerSquareRootIsTheFloor) {
    struct Case {
        std::int32_t n, root;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}, Case{3, 1}, Case{4, 2}, Case{15, 3}, Case{16, 4}, Case{65535, 255},
                   Case{65536, 256}, Case{2147395599, 46339}, Case{2147395600, 46340},
                   Case{2147483647, 46340}, Case{-9, 0}})
        EXPECT_EQ(lib::intSqrt(c.n), c.root) << c.n;
}

TEST(FixedMath, SineTableAndInterpolation) {
    const std::int32_t firstEntries[] = {0, 1144, 2287, 3430, 4572, 5712};
    for (int d = 0; d < 6; ++d)
        EXPECT_EQ(lib::fx16SinTable(d), firstEntries[d]) << d;
    EXPECT_EQ(lib::fx16SinTable(90), 65536);
    EXPECT_EQ(lib::fx16SinTable(270), -65536);
    for (int d = 0; d < 360; ++d) {
        EXPECT_NEAR(lib::fx16SinTable(d), std::sin(d * std::numbers::pi / 180) * 65536, 1.0) << d;
        if (d <= 90) {
            EXPECT_EQ(lib::fx16SinTable(d), lib::fx16SinTable(180 - d)) << d;
        }
    }
    EXPECT_EQ(lib::fx16Sin(90 << 16), 65536);
    EXPECT_EQ(lib::fx16Sin(450 << 16), 65536);
    EXPECT_EQ(lib::fx16Sin(-90 << 16), -65536);
    // Half a degree lies halfway between the entries of 0 and 1.
    EXPECT_EQ(lib::fx16Sin(1 << 15), 572);
    // 359.5 degrees interpolates toward entry 0.
    EXPECT_EQ(lib::fx16Sin((359 << 16) + (1 << 15)), (lib::fx16SinTable(359) + 0) / 2);
}

TEST(FixedMath, InverseFunctionsApproximateTheirDoubleForms) {
    auto fixed = [](double value) { return static_cast<std::int32_t>(std::lround(value * 65536)); };
    for (double x : {0.0, 0.25, 0.5, 0.9, 1.0, 2.0, 10.0, -0.5, -4.0}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(lib::fx16Atan(fixed(x)), std::atan(x) * 65536, 8);
    }
    EXPECT_EQ(lib::fx16Atan(0), 0);
    for (double x : {0.0, 0.1, 0.5, 0.75, 1.0, -0.5, -1.0}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(lib::fx16Acos(fixed(x)), std::acos(x) * 65536, 12);
        EXPECT_NEAR(lib::fx16Asin(fixed(x)), std::asin(x) * 65536, 12);
    }
    EXPECT_EQ(lib::fx16Acos(65536), 0);
    EXPECT_EQ(lib::fx16Acos(5 << 16), 0) << "clamped to 1.0";
}

} // namespace
