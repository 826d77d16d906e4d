#include "classlib/lang/Boolean.h"
#include "classlib/lang/Byte.h"
#include "classlib/lang/Character.h"
#include "classlib/lang/Double.h"
#include "classlib/lang/Float.h"
#include "classlib/lang/Integer.h"
#include "classlib/lang/Long.h"
#include "tests/classlib/LangUtilFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace numbers_test {

namespace {

using lib::java_lang_Boolean;
using lib::java_lang_Byte;
using lib::java_lang_Character;
using lib::java_lang_Double;
using lib::java_lang_Integer;
using lib::java_lang_Long;
using testing_support::textOf;

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kLongMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<std::int64_t>::max();

struct NumbersTest : testing_support::LangUtilTest {
    static rt::String* text(const char* chars) { return rt::String::newFromCString(chars); }
};

TEST_F(NumbersTest, IntegerParsingReadsLikeAtoiAndNeverThrows) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"123", 123},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"  -45", -45},
        {"\t\n\v\f\r+7", 7},
        {"- 5", 0},
        {"0x1F", 0},
        {"007", 7},
        {"2147483647", kIntMax},
        {"-2147483648", kIntMin},
        {"2147483648", kIntMax},
        {"-99999999999999999999", kIntMin},
        {"1e5", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(java_lang_Integer::parseInt(text(c.text)), c.value);
        EXPECT_EQ(java_lang_Integer::valueOf(text(c.text))->intValue(), c.value);
    }
    // The 8-bit text: the low byte of each unit, up to the first 0 unit.
    const char16_t units[] = {u'4', 0x0132, 0, u'9'};
    EXPECT_EQ(java_lang_Integer::parseInt(rt::make<rt::String>(units, 4)), 42);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(NumbersTest, OnlyRadixTenIsReadAndAnotherIsLogged) {
    EXPECT_EQ(java_lang_Integer::parseInt(text("ff"), 16), 0);
    EXPECT_TRUE(log.contains("base == 10"));
    EXPECT_TRUE(log.contains("stacktrace:"));
    log.clear();
    EXPECT_EQ(java_lang_Integer::parseInt(text("19"), 16), 19);
    EXPECT_EQ(java_lang_Long::parseLong(text("19"), 2), 19);
    auto lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "base == 10"), 2);
    log.clear();
    EXPECT_EQ(java_lang_Integer::parseInt(text("19"), 10), 19);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(NumbersTest, NullTextsAreReportedOrGiveZeroObjects) {
    EXPECT_EQ(java_lang_Integer::valueOf(nullptr)->intValue(), 0);
    EXPECT_TRUE(log.lines().empty()) << "Integer.valueOf(null) is silent";
    EXPECT_EQ(java_lang_Integer::parseInt(nullptr), 0);
    EXPECT_TRUE(log.contains("NullPointer"));
    log.clear();
    EXPECT_EQ(java_lang_Double::valueOf(nullptr)->doubleValue(), 0.0);
    EXPECT_TRUE(log.contains("java_lang_Double::valueOf(): param0 is NULL, returning 0.0 Double."));
    EXPECT_EQ(java_lang_Double::parseDouble(nullptr), 0.0);
    EXPECT_EQ(java_lang_Long::parseLong(nullptr), 0);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(NumbersTest, LongParsingCoversTheWholeLongRange) {
    struct Case {
        const char* text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"5000000000", 5000000000},
        {" -42x", -42},
        {"9223372036854775807", kLongMax},
        {"-9223372036854775808", kLongMin},
        {"99999999999999999999", kLongMax},
        {"-9223372036854775809", kLongMin},
        {"x1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(java_lang_Long::parseLong(text(c.text)), c.value);
    }
}

TEST_F(NumbersTest, ByteParsingThrowsOnlyOutsideTheByteRange) {
    struct Case {
        const char* text;
        std::int8_t value;
        bool throws;
    };
    const Case cases[] = {
        {"-128", -128, false}, {"127", 127, false}, {"12z", 12, false}, {"z", 0, false},
        {"200", 0, true},      {"128", 0, true},    {"-129", 0, true},  {"99999999999", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(java_lang_Byte::parseByte(text(c.text)), c.value);
        EXPECT_EQ(takePending(),
                  c.throws ? rt::ClassId::java_lang_NumberFormatException : rt::ClassId::Object);
    }
    EXPECT_EQ(java_lang_Byte::parseByte(text("7f"), 16), 7);
    EXPECT_TRUE(log.contains("base == 10"));
}

TEST_F(NumbersTest, IntegerTextForms) {
    struct Case {
        std::int32_t value;
        const char* decimal;
        const char* hex;
        std::string binary;
    };
    const Case cases[] = {
        {0, "0", "0", "0"},
        {1, "1", "1", "1"},
        {255, "255", "ff", "11111111"},
        {-1, "-1", "ffffffff", std::string(32, '1')},
        {kIntMin, "-2147483648", "80000000", "1" + std::string(31, '0')},
        {kIntMax, "2147483647", "7fffffff", std::string(31, '1')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(textOf(java_lang_Integer::toString(c.value)), c.decimal);
        EXPECT_EQ(textOf(rt::make<java_lang_Integer>(c.value)), c.decimal);
        EXPECT_EQ(textOf(java_lang_Integer::toHexString(c.value)), c.hex);
        EXPECT_EQ(textOf(java_lang_Integer::toBinaryString(c.value)), c.binary);
    }
    EXPECT_EQ(textOf(java_lang_Long::toString(kLongMin)), "-9223372036854775808");
    EXPECT_EQ(textOf(rt::make<java_lang_Long>(std::int64_t{1} << 40)), "1099511627776");
    EXPECT_EQ(textOf(rt::make<java_lang_Byte>(std::int8_t{-5})), "-5");
    EXPECT_EQ(textOf(rt::make<java_lang_Character>(u'Q')), "Q");
    EXPECT_EQ(textOf(rt::make<java_lang_Double>(1.5)), "1.500000");
    EXPECT_EQ(textOf(rt::make<java_lang_Double>(-2e10)), "-20000000000.000000");
}

TEST_F(NumbersTest, WrapperEqualityHashesAndNarrowing) {
    auto* five = rt::make<java_lang_Integer>(5);
    EXPECT_TRUE(five->equals(rt::make<java_lang_Integer>(5)));
    EXPECT_FALSE(five->equals(rt::make<java_lang_Integer>(6)));
    EXPECT_FALSE(five->equals(rt::make<java_lang_Long>(5)));
    EXPECT_FALSE(five->equals(nullptr));
    EXPECT_EQ(five->hashCode(), 5);

    auto* big = rt::make<java_lang_Integer>(0x12345687);
    EXPECT_EQ(big->byteValue(), -121);
    EXPECT_EQ(big->shortValue(), 0x5687);
    EXPECT_EQ(rt::make<java_lang_Integer>(-2)->longValue(), -2);

    auto* longValue = rt::make<java_lang_Long>(0x1234567800000009);
    EXPECT_EQ(longValue->hashCode(), 9);
    EXPECT_TRUE(longValue->equals(rt::make<java_lang_Long>(0x1234567800000009)));
    EXPECT_FALSE(longValue->equals(rt::make<java_lang_Long>(9)));

    // Double keeps Object's identity equality and hash.
    auto* half = rt::make<java_lang_Double>(0.5);
    EXPECT_FALSE(half->equals(rt::make<java_lang_Double>(0.5)));
    EXPECT_TRUE(half->equals(half));

    EXPECT_EQ(rt::make<java_lang_Byte>(std::int8_t{-3})->hashCode(), -3);
    EXPECT_TRUE(rt::make<java_lang_Byte>(std::int8_t{-3})->equals(rt::make<java_lang_Byte>(std::int8_t{-3})));
    EXPECT_EQ(rt::make<java_lang_Character>(char16_t{0xFFFF})->hashCode(), 0xFFFF);
    EXPECT_TRUE(rt::make<java_lang_Character>(u'x')->equals(rt::make<java_lang_Character>(u'x')));
    EXPECT_FALSE(rt::make<java_lang_Character>(u'x')->equals(rt::make<java_lang_Integer>(u'x')));
}

TEST_F(NumbersTest, BooleanStoresOneForAnyNonZeroAndPrintsConstantStrings) {
    auto* five = rt::make<java_lang_Boolean>(5);
    EXPECT_TRUE(five->booleanValue());
    EXPECT_EQ(five->hashCode(), 1);
    EXPECT_TRUE(five->equals(rt::make<java_lang_Boolean>(1)));
    EXPECT_FALSE(five->equals(rt::make<java_lang_Boolean>(0)));
    EXPECT_EQ(textOf(five), "yes");
    EXPECT_EQ(textOf(rt::make<java_lang_Boolean>(0)), "no");
    EXPECT_EQ(rt::make<java_lang_Boolean>(0)->hashCode(), 0);

    EXPECT_EQ(java_lang_Boolean::sharedTrue(), nullptr);
    java_lang_Boolean::staticInit();
    java_lang_Boolean* shared = java_lang_Boolean::sharedTrue();
    ASSERT_NE(shared, nullptr);
    EXPECT_TRUE(shared->booleanValue());
    EXPECT_FALSE(java_lang_Boolean::sharedFalse()->booleanValue());
    java_lang_Boolean::staticInit();
    EXPECT_EQ(java_lang_Boolean::sharedTrue(), shared);
    // The statics are a root.
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure & ~rt::ObjectManager::kMarkNewest);
    EXPECT_FALSE(java_lang_Boolean::sharedFalse()->isFreed());
}

TEST_F(NumbersTest, DoubleConversionsSaturateAndParseLikeAtof) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        std::int32_t byteValue, shortValue, intValue;
        std::int64_t longValue;
        bool nan, infinite;
    };
    const Case cases[] = {
        {kNaN, 0, 0, 0, 0, true, false},
        {kInf, -1, -1, kIntMax, kIntMax, false, true},
        {-kInf, 0, 0, kIntMin, kIntMin, false, true},
        {3e9, -1, -1, kIntMax, kIntMax, false, false},
        {-3e9, 0, 0, kIntMin, kIntMin, false, false},
        {300.7, 44, 300, 300, 300, false, false},
        {-1.9, -1, -1, -1, -1, false, false},
        {70000.0, 112, 4464, 70000, 70000, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        auto* boxed = rt::make<java_lang_Double>(c.value);
        EXPECT_EQ(boxed->byteValue(), c.byteValue);
        EXPECT_EQ(boxed->shortValue(), c.shortValue);
        EXPECT_EQ(boxed->intValue(), c.intValue);
        EXPECT_EQ(boxed->longValue(), c.longValue);
        EXPECT_EQ(boxed->isNaN(), c.nan);
        EXPECT_EQ(boxed->isInfinite(), c.infinite);
    }
    EXPECT_EQ(rt::make<java_lang_Double>(0.1)->floatValue(), 0.1f);
    EXPECT_EQ(rt::make<lib::java_lang_Float>(std::nanf(""))->intValue(), 0);
    EXPECT_EQ(rt::make<lib::java_lang_Float>(-1e20f)->intValue(), kIntMin);

    EXPECT_EQ(java_lang_Double::parseDouble(text("  2.5e2xyz")), 250.0);
    EXPECT_EQ(java_lang_Double::parseDouble(text("-.5")), -0.5);
    EXPECT_EQ(java_lang_Double::parseDouble(text("pi")), 0.0);
    EXPECT_EQ(java_lang_Double::valueOf(text("3.25"))->doubleValue(), 3.25);
}

TEST_F(NumbersTest, CharacterTestsKnowLatin1Letters) {
    struct Case {
        char16_t unit;
        bool lower, upper, digit;
        char16_t toLower, toUpper;
    };
    const Case cases[] = {
        {u'a', true, false, false, u'a', u'A'},        {u'z', true, false, false, u'z', u'Z'},
        {u'A', false, true, false, u'a', u'A'},        {u'Z', false, true, false, u'z', u'Z'},
        {u'5', false, false, true, u'5', u'5'},        {u'@', false, false, false, u'@', u'@'},
        {0xC0, false, true, false, 0xE0, 0xC0},        {0xD6, false, true, false, 0xF6, 0xD6},
        {0xD7, false, false, false, 0xD7, 0xD7},       {0xDE, false, true, false, 0xFE, 0xDE},
        {0xDF, true, false, false, 0xDF, 0xBF},        {0xF7, false, false, false, 0xF7, 0xF7},
        {0xFF, true, false, false, 0xFF, 0xDF},        {0x0100, false, false, false, 0x0100, 0x0100},
        {0x0661, false, false, false, 0x0661, 0x0661},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.unit));
        EXPECT_EQ(java_lang_Character::isLowerCase(c.unit), c.lower);
        EXPECT_EQ(java_lang_Character::isUpperCase(c.unit), c.upper);
        EXPECT_EQ(java_lang_Character::isDigit(c.unit), c.digit);
        EXPECT_EQ(java_lang_Character::toLowerCase(c.unit), c.toLower);
        EXPECT_EQ(java_lang_Character::toUpperCase(c.unit), c.toUpper);
    }
}

TEST_F(NumbersTest, CharacterDigitByRadix) {
    struct Case {
        char16_t unit;
        std::int32_t radix, digit;
    };
    const Case cases[] = {
        {u'0', 2, 0},   {u'1', 2, 1},   {u'2', 2, -1},  {u'9', 10, 9},  {u'a', 10, -1}, {u'a', 11, 10},
        {u'A', 16, 10}, {u'F', 16, 15}, {u'G', 16, -1}, {u'z', 36, 35}, {u'Z', 36, 35}, {0xC0, 16, 9},
        {0xFF, 36, -1}, {u'@', 36, -1}, {u'5', 1, -1},  {u'5', 37, -1}, {u'5', 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.unit) << " radix " << c.radix);
        EXPECT_EQ(java_lang_Character::digit(c.unit, c.radix), c.digit);
    }
}

} // namespace

} // namespace numbers_test
