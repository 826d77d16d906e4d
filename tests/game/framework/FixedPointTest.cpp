// Fixed-point quotients, the cosine, tangent and arctangent over angle
// units, and little-endian integers in save records.

#include "game/framework/FixedPoint.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/Exceptions.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct FixedPointTest : framework_testing::FrameworkTest {
    FixedPointTest() {
        game::OrvelLibConfig::staticInit();
        game::initFixedPointConstants();
        fillCosTable();
    }

    // What the fixed-point pack holds: round(cos(i * 90 / quarter degrees) * ONE).
    static void fillCosTable() {
        const game::FixedPointStatics& statics = game::fixedPointStatics();
        const std::int32_t quarter = statics.s_quarterCircle;
        rt::IntArray* table = rt::newIntArray(quarter + 1);
        for (std::int32_t i = 0; i <= quarter; ++i)
            rt::IntArray::set(table, i,
                              static_cast<std::int32_t>(
                                  std::lround(std::cos(i * std::numbers::pi / 2 / quarter) * statics.s_one)));
        game::setCosTable(table);
    }

    static std::int32_t entry(std::int32_t i) {
        return rt::IntArray::get(game::fixedPointStatics().s_cosTable, i);
    }

    // The angle of (x, y) in units, 0..2047, from the C library.
    static double referenceAngle(std::int32_t x, std::int32_t y) {
        double units =
            std::atan2(static_cast<double>(y), static_cast<double>(x)) * 2048 / (2 * std::numbers::pi);
        return units < 0 ? units + 2048 : units;
    }
    // The distance of two angles around the circle.
    static double circleDistance(double a, double b) {
        const double d = std::fmod(std::fabs(a - b), 2048);
        return std::min(d, 2048 - d);
    }

    bool loggedRuntimeError() const {
        return log.contains("IndexOutOfBounds") || log.contains("NullPointer");
    }
};

TEST_F(FixedPointTest, ConstantsFollowTheConfiguredShifts) {
    struct Row {
        const char* name;
        std::int32_t game::FixedPointStatics::*field;
        std::int32_t byDefault; // shifts 12 and 11
        std::int32_t shifted;   // shifts 10 and 12
    };
    const Row rows[] = {
        {"one", &game::FixedPointStatics::s_one, 4096, 1024},
        {"half", &game::FixedPointStatics::s_half, 2048, 512},
        {"units", &game::FixedPointStatics::s_angleUnits, 2048, 4096},
        {"quarter", &game::FixedPointStatics::s_quarterCircle, 512, 1024},
        {"half circle", &game::FixedPointStatics::s_halfCircle, 1024, 2048},
        {"three quarters", &game::FixedPointStatics::s_threeQuarters, 1536, 3072},
        {"full", &game::FixedPointStatics::s_fullCircle, 2048, 4096},
        {"pi", &game::FixedPointStatics::s_pi, 12867, 3216},
        {"e", &game::FixedPointStatics::s_e, 11134, 2783},
        {"degrees per radian", &game::FixedPointStatics::s_degreesPerRadian, 234701, 58689},
        {"units per degree", &game::FixedPointStatics::s_unitsPerDegree, 23302, 11651},
    };
    for (const Row& row : rows)
        EXPECT_EQ(game::fixedPointStatics().*row.field, row.byDefault) << row.name;

    game::config().s_fixedShift = 10;
    game::config().s_angleShift = 12;
    game::initFixedPointConstants();
    for (const Row& row : rows)
        EXPECT_EQ(game::fixedPointStatics().*row.field, row.shifted) << row.name;
}

TEST_F(FixedPointTest, QuotientsRoundHalfUpThroughSixtyFourBits) {
    struct Case {
        std::int32_t a, b, quotient;
    };
    const Case cases[] = {
        {4096, 4096, 4096},
        {3, 2048, 6}, // 3 / 0.5
        {-3, 2048, -6},
        {-2048, 1, -8388608},
        {-2049, 1, -8392704},
        {1, 3, 1365},   // 1/3 in fixed point
        {2, 4096, 2},   // 0.5 rounds up
        {-1, 3, -1365}, // negative quotients round towards zero
        {1 << 20, 1 << 20, 4096},
        {INT_MAX, 1 << 12, 2147483647},
        {1 << 20, 3, 1431655765}, // (2^20 << 12) / 3 needs 64 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::fixDiv(c.a, c.b), c.quotient) << c.a << " / " << c.b;
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(FixedPointTest, DivisionByZeroLeavesAnArithmeticExceptionPending) {
    EXPECT_EQ(game::fixDiv(5, 0), 0);
    EXPECT_NE(rt::catchException(rt::ClassId::java_lang_ArithmeticException), nullptr);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(FixedPointTest, CosineFollowsTheTableInEveryQuadrantAndForAnyInt) {
    const std::int32_t t0 = entry(0);
    struct Case {
        std::int32_t angle, expected;
    };
    const Case cases[] = {
        {0, t0},
        {512, 0},
        {1024, -t0},
        {1536, 0},
        {2048, t0},
        {-512, 0},
        {-1024, -t0},
        {1000, -entry(24)},
        {1600, entry(448)},
        {INT_MAX, entry(1)},
        {INT_MIN, t0},
        {INT_MIN + 1, entry(1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::cos(c.angle), c.expected) << c.angle;

    for (std::int32_t angle = -4096; angle <= 4096; ++angle) {
        const double reference = std::cos(angle * 2 * std::numbers::pi / 2048) * 4096;
        ASSERT_LE(std::fabs(game::cos(angle) - reference), 1.0) << angle;
        ASSERT_EQ(game::cos(-angle), game::cos(angle)) << angle;
    }
    EXPECT_FALSE(loggedRuntimeError());
}

TEST_F(FixedPointTest, TangentIsLargestWhereTheCosineIsZero) {
    struct Case {
        std::int32_t angle, expected;
    };
    const Case cases[] = {
        {0, 0},          {256, 4096},  {-256, -4096}, {512, INT_MAX},
        {-512, INT_MAX}, {768, -4096}, {1024, 0},     {1536, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::tan(c.angle), c.expected) << c.angle;
}

TEST_F(FixedPointTest, ArctangentLandsWithinOneUnitInEveryOctantBySearchAndByTable) {
    std::vector<std::pair<std::int32_t, std::int32_t>> vectors;
    for (std::int32_t sx : {1, -1})
        for (std::int32_t sy : {1, -1})
            for (auto [x, y] :
                 {std::pair{100, 1}, std::pair{100, 37}, std::pair{100, 99}, std::pair{99, 100},
                  std::pair{37, 100}, std::pair{1, 100}, std::pair{1 << 20, (1 << 19) + 7},
                  std::pair{(1 << 19) + 7, 1 << 20}, std::pair{3, 1 << 30}, std::pair{INT_MAX, INT_MAX - 5}})
                vectors.emplace_back(sx * x, sy * y);
    vectors.emplace_back(INT_MIN, INT_MIN);
    vectors.emplace_back(INT_MIN, 1);  // y too small for ONE * y / x: nearly half a circle
    vectors.emplace_back(1 << 20, -1); // and nearly a full one
    vectors.emplace_back(7, INT_MIN);

    for (std::int8_t table : {0, 1}) {
        game::config().s_atanTable = table;
        for (auto [x, y] : vectors)
            ASSERT_LE(circleDistance(game::atan2(y, x), referenceAngle(x, y)), 1.0)
                << "table " << int(table) << " (" << x << ", " << y << ") gave " << game::atan2(y, x);

        struct Exact {
            std::int32_t x, y, angle;
        };
        for (const Exact& e :
             {Exact{0, 0, 0}, {-5, 0, 1024}, {5, 0, 0}, {0, 5, 512}, {0, -5, 1536}, {5, 5, 256}})
            EXPECT_EQ(game::atan2(e.y, e.x), e.angle)
                << "table " << int(table) << " (" << e.x << ", " << e.y << ")";
    }
    EXPECT_EQ(rt::IntArray::get(game::fixedPointStatics().s_atanTable, 4096), 256);
    EXPECT_EQ(game::atan2Search(1 << 20, 1), 512);
    EXPECT_FALSE(loggedRuntimeError());
}

// The table is built from a list of the quadrant's tangents; every entry
// must be what the search answers for it.
TEST_F(FixedPointTest, EveryArctangentTableEntryIsTheSearchsAngle) {
    game::config().s_atanTable = 1;
    (void)game::atan2(0, 100);
    rt::IntArray* table = game::fixedPointStatics().s_atanTable;
    const std::int32_t one = game::fixedPointStatics().s_one;
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->length(), one + 1);
    for (std::int32_t i = 0; i <= one; ++i)
        ASSERT_EQ(rt::IntArray::get(table, i), game::atan2Search(i, one)) << "entry " << i;
    EXPECT_FALSE(loggedRuntimeError());
}

TEST_F(FixedPointTest, SaveRecordIntegersAreLittleEndianAndStayInsideTheRecord) {
    rt::ByteArray* record = rt::newByteArray(6);
    game::putIntLE(record, 1, 0x11223344);
    const std::vector<std::int32_t> expected{0, 0x44, 0x33, 0x22, 0x11, 0};
    for (std::int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(rt::ByteArray::get(record, i) & 0xFF, expected[i]) << i;
    EXPECT_EQ(game::getIntLE(record, 1), 0x11223344);

    rt::Array::fill8(record, {0xFF, 0xFF, 0xFF, 0x7F, 0x80, 0});
    EXPECT_EQ(game::getIntLE(record, 0), 0x7FFFFFFF);
    EXPECT_EQ(game::getIntLE(record, 1), static_cast<std::int32_t>(0x807FFFFF));
    game::putIntLE(record, 2, -2);
    EXPECT_EQ(game::getIntLE(record, 2), -2);

    rt::Array::fill8(record, {1, 2, 3, 4, 5, 6});
    log.clear();
    for (std::int32_t offset : {3, -1, INT_MAX}) {
        game::putIntLE(record, offset, -1);
        EXPECT_EQ(game::getIntLE(record, offset), 0) << offset;
    }
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds"));
    for (std::int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(rt::ByteArray::get(record, i), i + 1) << i;
    EXPECT_EQ(game::getIntLE(nullptr, 0), 0);
}

} // namespace
