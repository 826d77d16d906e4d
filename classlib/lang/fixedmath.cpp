#include "classlib/lang/fixedmath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lib {

namespace {

constexpr std::int32_t kOne = 65536;
constexpr std::int32_t kHalfPi = 102943;
constexpr std::int32_t kFullCircle = 360 * kOne; // 0x1680000

// floor(sqrt(n)) for n below 2^34, bit by bit: a result bit b is set when the
// remainder holds (b + 2 * result) << index(b), the growth of the square.
std::uint64_t squareRootBits(std::uint64_t n, int topBit) {
    std::uint64_t result = 0;
    for (int index = topBit; index >= 0; --index) {
        std::uint64_t bit = std::uint64_t{1} << index;
        std::uint64_t growth = (bit + 2 * result) << index;
        if (n >= growth) {
            n -= growth;
            result |= bit;
        }
    }
    return result;
}

const std::array<std::int32_t, 360>& sineTable() {
    static const std::array<std::int32_t, 360> table = [] {
        std::array<std::int32_t, 360> entries{};
        // The first quadrant by rounding; the others by symmetry, so that
        // entry d equals entry 180 - d exactly.
        for (int d = 0; d <= 90; ++d) {
            auto value =
                static_cast<std::int32_t>(std::lround(std::sin(d * std::numbers::pi / 180.0) * kOne));
            entries[static_cast<std::size_t>(d)] = value;
            entries[static_cast<std::size_t>(180 - d)] = value;
            entries[static_cast<std::size_t>((180 + d) % 360)] = -value;
            entries[static_cast<std::size_t>((360 - d) % 360)] = -value;
        }
        return entries;
    }();
    return table;
}

std::int64_t product16(std::int64_t a, std::int64_t b) {
    return (a * b) >> 16;
}

} // namespace

std::int32_t intSqrt(std::int32_t n) {
    if (n < 0)
        return 0;
    return static_cast<std::int32_t>(squareRootBits(static_cast<std::uint64_t>(n), 15));
}

std::int32_t fx16SinTable(std::int32_t degree) {
    return sineTable()[static_cast<std::size_t>(((degree % 360) + 360) % 360)];
}

std::int32_t fx16Sin(std::int32_t degrees) {
    std::int32_t reduced = ((degrees % kFullCircle) + kFullCircle) % kFullCircle;
    std::int32_t whole = reduced >> 16;
    std::int32_t fraction = reduced & 0xFFFF;
    std::int64_t from = fx16SinTable(whole);
    std::int64_t to = fx16SinTable(whole + 1);
    return static_cast<std::int32_t>(from + product16(to - from, fraction));
}

std::int32_t fx16Atan(std::int32_t x) {
    if (x < 0)
        return -fx16Atan(x == INT32_MIN ? INT32_MAX : -x);
    if (x > kOne) {
        auto inverse = static_cast<std::int32_t>(((std::int64_t{1} << 48) / x) >> 16);
        return kHalfPi - fx16Atan(inverse);
    }
    std::int64_t t = product16(x, x);
    std::int64_t a = product16(1365, t) - 5579;
    std::int64_t b = product16(a, t) + 11805;
    std::int64_t c = product16(b, t) - 21646;
    std::int64_t d = product16(c, t) + 65527;
    return static_cast<std::int32_t>(product16(d, x));
}

std::int32_t fx16Acos(std::int32_t x) {
    x = std::clamp(x, -kOne, kOne);
    if (x < 0)
        return 2 * kHalfPi - fx16Acos(-x);
    std::int64_t a = product16(-1228, x) + 4866;
    std::int64_t b = product16(a, x) - 13901;
    std::int64_t c = product16(b, x) + 102939;
    auto root = static_cast<std::int64_t>(squareRootBits(static_cast<std::uint64_t>(kOne - x) << 16, 16));
    return static_cast<std::int32_t>(product16(c, root));
}

std::int32_t fx16Asin(std::int32_t x) {
    return kHalfPi - fx16Acos(x);
}

} // namespace lib
