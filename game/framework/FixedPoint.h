#pragma once

// The game's integer arithmetic: fixed-point numbers with `s` fraction bits
// (the configuration's fixed-point shift, 12: ONE = 4096), angles in units of
// which a full circle holds 1 << the angle shift (11: 2048 units), the
// cosine and tangent by table, the arctangent by search or by a table built
// on first use, and little-endian integers inside save records.
//
// Numbers are Java's: 32-bit results wrap, shifts mask their count, and
// where a product or quotient is said to go through 64 bits it does so
// exactly, rounding as stated per function. The cosine table is not made
// here: the loader of the fixed-point pack hands it to `setCosTable`; until
// then every trigonometric answer reads as 0 after a reported null access.
//
// Threads: the game thread only, after the static initialisation.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct FixedPointStatics {
    // Derived once from the configuration by `initFixedPointConstants`.
    std::int32_t s_one = 0;              // 1 << s
    std::int32_t s_half = 0;             // ONE / 2
    std::int32_t s_angleUnits = 0;       // 1 << a
    std::int32_t s_quarterCircle = 0;    // units * 90 / 360
    std::int32_t s_halfCircle = 0;       // units * 180 / 360
    std::int32_t s_threeQuarters = 0;    // units * 270 / 360
    std::int32_t s_fullCircle = 0;       // units * 360 / 360; a power of two
    std::int32_t s_pi = 0;               // PI in fixed point
    std::int32_t s_e = 0;                // e in fixed point
    std::int32_t s_degreesPerRadian = 0; // fixed point
    std::int32_t s_unitsPerDegree = 0;   // angle units per degree, fixed point

    // cos(i * 90 / quarter degrees) in fixed point for i = 0..quarter.
    rt::IntArray* s_cosTable = nullptr;
    // The table the fixed-point pack keeps beside the cosines (its entry 1);
    // loaded with them, read by nothing yet.
    rt::IntArray* s_cosCompanion = nullptr;
    // Entry i (0..ONE) is the angle whose tangent is i / ONE; null until
    // `atan2` first needs it.
    rt::IntArray* s_atanTable = nullptr;

    RT_REFERENCE_FIELDS(FixedPointStatics, rt::NoReferenceBase, s_cosTable, s_cosCompanion, s_atanTable)
};

FixedPointStatics& fixedPointStatics();

// a * b with 12 fraction bits, rounded half up, in 32 bits.
inline std::int32_t fixedMulRounded(std::int32_t a, std::int32_t b) {
    return (a * b + 2048) >> 12;
}

// Derives the constants above from the configuration's shifts. Run once by
// the static initialisation, after the configuration and the library statics.
void initFixedPointConstants();
// The cosine table the pack loader read (quarter + 1 entries), and the
// table beside it.
void setCosTable(rt::IntArray* table);
void setCosCompanion(rt::IntArray* table);

// ((2 * (a << s)) / b + 1) >> 1 in 64 bits, cut to 32 bits: the quotient
// rounds half up for positive quotients and towards zero otherwise. A
// divisor of 0 leaves an `ArithmeticException` pending and answers 0.
[[nodiscard]] std::int32_t fixDiv(std::int32_t a, std::int32_t b);

// The cosine of `angle` (any int; only its magnitude modulo the full circle
// counts, and cos(INT_MIN) is the table's entry 0).
std::int32_t cos(std::int32_t angle);
// (cos(quarter - angle) << s) / cos(angle), in 32 bits; 0x7FFFFFFF where the
// cosine is 0.
std::int32_t tan(std::int32_t angle);
// The first angle x in [from, to) with tan(x) <= t < tan(x + 1). When none
// is: the quarter circle if `from` or `to` is it, else three quarters if
// `from` or `to` is that, else 0.
std::int32_t atanSearch(std::int32_t from, std::int32_t to, std::int64_t t);
// Both arctangents take their arguments in `std::atan2`'s order, y first,
// and answer the angle of the vector (x, y), 0 along +x, a quarter along +y.
//
// By a search over the vector's quadrant; t = ONE * y / x is taken in 64
// bits. Where t is 0 the answer is 0, half or the full circle by the signs
// (the searches of the second and fourth quadrants cannot find a tangent of
// 0).
std::int32_t atan2Search(std::int32_t y, std::int32_t x);
// Through the arctangent table when the configuration asks for it (folded
// to the first octant, looked up at ONE * smaller / larger in 64 bits,
// unfolded), else by `atan2Search`. (0, 0) is 0.
std::int32_t atan2(std::int32_t y, std::int32_t x);

// `value`'s four bytes into buf[offset..offset + 3], least significant first.
// A range outside `buf` is reported and nothing is written.
void putIntLE(rt::ByteArray* buf, std::int32_t offset, std::int32_t value);
// The reverse, each byte taken unsigned; 0 after a reported bad range.
std::int32_t getIntLE(rt::ByteArray* buf, std::int32_t offset);

} // namespace game
