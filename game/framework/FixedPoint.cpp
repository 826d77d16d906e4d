#include "game/framework/FixedPoint.h"

#include "game/framework/OrvelLibConfig.h"
#include "runtime/StaticClass.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace game {

namespace {

std::int32_t shift() {
    return config().s_fixedShift;
}

std::int32_t cosEntry(std::int32_t index) {
    return rt::IntArray::get(fixedPointStatics().s_cosTable, index);
}

// The quotient of two 64-bit values whose divisor is known not to be 0.
std::int64_t quotient(std::int64_t a, std::int64_t b) {
    return b == -1 ? rt::lneg(a) : a / b;
}

// Entry i is atan2Search(i, ONE), the first angle x of the first quadrant
// with tan(x) <= i < tan(x + 1) (0 for i = 0, the quarter circle when none).
// The search is the same, but reads the quadrant's tangents from a list made
// once, instead of working out two tangents per angle tried for every entry:
// a race load builds the table in one of its frames.
void ensureAtanTable() {
    FixedPointStatics& statics = fixedPointStatics();
    if (statics.s_atanTable)
        return;
    const std::int32_t one = statics.s_one;
    rt::IntArray* table = rt::newIntArray(rt::iadd(one, 1));
    if (!table)
        return;
    statics.s_atanTable = table;
    const std::int32_t quarter = statics.s_quarterCircle;
    std::vector<std::int32_t> tangents(static_cast<std::size_t>(std::max(quarter, 0)) + 1);
    for (std::int32_t x = 0; x <= quarter; ++x)
        tangents[static_cast<std::size_t>(x)] = tan(x);
    for (std::int32_t i = 1; i <= one; ++i) {
        std::int32_t angle = quarter;
        for (std::int32_t x = 0; x < quarter; ++x) {
            if (tangents[static_cast<std::size_t>(x)] <= i && i < tangents[static_cast<std::size_t>(x) + 1]) {
                angle = x;
                break;
            }
        }
        rt::IntArray::set(table, i, angle);
    }
}

} // namespace

FixedPointStatics& fixedPointStatics() {
    return rt::getStaticClass().statics<FixedPointStatics>();
}

void initFixedPointConstants() {
    FixedPointStatics& statics = fixedPointStatics();
    const std::int32_t s = config().s_fixedShift;
    statics.s_one = rt::ishl(1, s);
    statics.s_half = statics.s_one / 2;
    const std::int32_t units = rt::ishl(1, config().s_angleShift);
    statics.s_angleUnits = units;
    statics.s_quarterCircle = rt::imul(units, 90) / 360;
    statics.s_halfCircle = rt::imul(units, 180) / 360;
    statics.s_threeQuarters = rt::imul(units, 270) / 360;
    statics.s_fullCircle = rt::imul(units, 360) / 360;
    statics.s_pi = rt::ishr(1686629713, 29 - s);
    statics.s_e = rt::ishr(1459366444, 29 - s);
    // A shift beyond 29 leaves PI at 0; the quotient is then left at 0
    // rather than raised during the static initialisation.
    statics.s_degreesPerRadian = statics.s_pi != 0 ? fixDiv(rt::ishl(180, s), statics.s_pi) : 0;
    statics.s_unitsPerDegree = fixDiv(units, 360);
    statics.s_atanTable = nullptr;
}

void setCosTable(rt::IntArray* table) {
    fixedPointStatics().s_cosTable = table;
}

void setCosCompanion(rt::IntArray* table) {
    fixedPointStatics().s_cosCompanion = table;
}

std::int32_t fixDiv(std::int32_t a, std::int32_t b) {
    const std::int64_t doubled = rt::lmul(2, rt::lshl(a, shift()));
    const std::int64_t q = rt::ldiv(doubled, b);
    if (b == 0)
        return 0;
    return static_cast<std::int32_t>(rt::lshr(rt::ladd(q, 1), 1));
}

std::int32_t cos(std::int32_t angle) {
    const FixedPointStatics& statics = fixedPointStatics();
    // The magnitude through unsigned: |INT_MIN| keeps its bits, as Java's has it.
    const std::uint32_t magnitude =
        angle < 0 ? 0u - static_cast<std::uint32_t>(angle) : static_cast<std::uint32_t>(angle);
    const auto r =
        static_cast<std::int32_t>(magnitude & static_cast<std::uint32_t>(statics.s_fullCircle - 1));
    if (r <= statics.s_quarterCircle)
        return cosEntry(r);
    if (r < statics.s_halfCircle)
        return rt::ineg(cosEntry(statics.s_halfCircle - r));
    if (r <= statics.s_threeQuarters)
        return rt::ineg(cosEntry(r - statics.s_halfCircle));
    return cosEntry(statics.s_fullCircle - r);
}

std::int32_t tan(std::int32_t angle) {
    const std::int32_t c = cos(angle);
    if (c == 0)
        return INT_MAX;
    const std::int32_t sine = cos(rt::isub(fixedPointStatics().s_quarterCircle, angle));
    return static_cast<std::int32_t>(quotient(rt::ishl(sine, shift()), c));
}

std::int32_t atanSearch(std::int32_t from, std::int32_t to, std::int64_t t) {
    const FixedPointStatics& statics = fixedPointStatics();
    if (from < to) {
        std::int32_t low = tan(from);
        for (std::int32_t x = from; x < to; ++x) {
            const std::int32_t high = tan(x + 1);
            if (low <= t && t < high)
                return x;
            low = high;
        }
    }
    if (from == statics.s_quarterCircle || to == statics.s_quarterCircle)
        return statics.s_quarterCircle;
    if (from == statics.s_threeQuarters || to == statics.s_threeQuarters)
        return statics.s_threeQuarters;
    return 0;
}

std::int32_t atan2Search(std::int32_t y, std::int32_t x) {
    const FixedPointStatics& statics = fixedPointStatics();
    if (x == 0)
        return y > 0 ? statics.s_quarterCircle : y < 0 ? statics.s_threeQuarters : 0;
    if (y == 0)
        return x < 0 ? statics.s_halfCircle : 0;
    // In 64 bits: ONE * y overflows an int once |y| reaches 2^19.
    const std::int64_t t = quotient(rt::lmul(statics.s_one, y), x);
    // A y too small against x leaves t at 0. The searches of the second and
    // fourth quadrants never find 0, which is the tangent only at their
    // upper ends, and would fall back to a quarter away: answer those ends.
    if (t == 0)
        return x < 0 ? statics.s_halfCircle : y < 0 ? statics.s_fullCircle : 0;
    if (x > 0)
        return y > 0 ? atanSearch(0, statics.s_quarterCircle, t)
                     : atanSearch(statics.s_threeQuarters, statics.s_fullCircle, t);
    return y > 0 ? atanSearch(statics.s_quarterCircle, statics.s_halfCircle, t)
                 : atanSearch(statics.s_halfCircle, statics.s_threeQuarters, t);
}

std::int32_t atan2(std::int32_t y, std::int32_t x) {
    if (!config().s_atanTable)
        return atan2Search(y, x);
    const FixedPointStatics& statics = fixedPointStatics();
    if (x == 0)
        return y > 0 ? statics.s_quarterCircle : y < 0 ? statics.s_threeQuarters : 0;
    ensureAtanTable();
    // Magnitudes and the index in 64 bits, so neither INT_MIN nor a large
    // component leads outside the table.
    const std::int64_t ax = x < 0 ? -static_cast<std::int64_t>(x) : x;
    const std::int64_t ay = y < 0 ? -static_cast<std::int64_t>(y) : y;
    const bool xSide = ax >= ay;
    const std::int64_t index = xSide ? statics.s_one * ay / ax : statics.s_one * ax / ay;
    const std::int32_t a = rt::IntArray::get(statics.s_atanTable, static_cast<std::int32_t>(index));
    if (x > 0) {
        if (y >= 0)
            return xSide ? a : statics.s_quarterCircle - a;
        return xSide ? statics.s_fullCircle - a : statics.s_threeQuarters + a;
    }
    if (y >= 0)
        return xSide ? statics.s_halfCircle - a : statics.s_quarterCircle + a;
    return xSide ? statics.s_halfCircle + a : statics.s_threeQuarters - a;
}

void putIntLE(rt::ByteArray* buf, std::int32_t offset, std::int32_t value) {
    auto bytes = rt::ByteArray::span(buf, offset, 4);
    if (bytes.empty())
        return;
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<rt::ByteArray::Element>(static_cast<std::uint32_t>(value) >> (8 * i));
}

std::int32_t getIntLE(rt::ByteArray* buf, std::int32_t offset) {
    auto bytes = rt::ByteArray::span(buf, offset, 4);
    if (bytes.empty())
        return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

} // namespace game
