#pragma once

// Java's integer and conversion arithmetic, exactly, for game and library code.
//
// Names follow the operations of the Java virtual machine (`iadd`, `ldiv`,
// `f2i`, ...), so translated code maps one to one. The rules:
//   - add, subtract, multiply and negate wrap modulo 2^32 or 2^64; they
//     compute through unsigned types, so they are defined without -fwrapv;
//   - shifts use only the low 5 (int) or 6 (long) bits of their count, so a
//     count of 32, 64 or -1 is not undefined here;
//   - division and remainder test the divisor 0 first: an
//     `ArithmeticException` is set pending and the result is 0; the divisor -1
//     comes next, because `INT_MIN / -1` overflows in C++ (the quotient wraps
//     to INT_MIN and the remainder is 0, as Java has it);
//   - float and double to int or long saturate at the type's limits, and NaN
//     gives 0 (a plain cast is undefined outside the range);
//   - int to byte, short and char keep the low bits (sign-extended for byte
//     and short).

#include "runtime/ClassId.h"
#include "runtime/Exceptions.h"

#include <cstdint>
#include <limits>

namespace rt {

// --- int ---

constexpr std::int32_t iadd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr std::int32_t isub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr std::int32_t imul(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
constexpr std::int32_t ineg(std::int32_t a) {
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
}
constexpr std::int32_t ishl(std::int32_t a, std::int32_t count) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (count & 31));
}
constexpr std::int32_t ishr(std::int32_t a, std::int32_t count) {
    return a >> (count & 31); // arithmetic in C++20
}
constexpr std::int32_t iushr(std::int32_t a, std::int32_t count) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) >> (count & 31));
}

// The quotient truncated toward zero. A divisor of 0 sets an
// `ArithmeticException` pending and answers 0.
[[nodiscard]] inline std::int32_t idiv(std::int32_t a, std::int32_t b) {
    if (b == 0) [[unlikely]]
        return raise(ClassId::java_lang_ArithmeticException);
    if (b == -1)
        return ineg(a);
    return a / b;
}
// The remainder, with the sign of `a`. A divisor of 0 as `idiv`.
[[nodiscard]] inline std::int32_t irem(std::int32_t a, std::int32_t b) {
    if (b == 0) [[unlikely]]
        return raise(ClassId::java_lang_ArithmeticException);
    if (b == -1)
        return 0;
    return a % b;
}

// --- long ---

constexpr std::int64_t ladd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
constexpr std::int64_t lsub(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
constexpr std::int64_t lmul(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}
constexpr std::int64_t lneg(std::int64_t a) {
    return static_cast<std::int64_t>(std::uint64_t{0} - static_cast<std::uint64_t>(a));
}
constexpr std::int64_t lshl(std::int64_t a, std::int32_t count) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << (count & 63));
}
constexpr std::int64_t lshr(std::int64_t a, std::int32_t count) {
    return a >> (count & 63);
}
constexpr std::int64_t lushr(std::int64_t a, std::int32_t count) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) >> (count & 63));
}

[[nodiscard]] inline std::int64_t ldiv(std::int64_t a, std::int64_t b) {
    if (b == 0) [[unlikely]]
        return raise(ClassId::java_lang_ArithmeticException);
    if (b == -1)
        return lneg(a);
    return a / b;
}
[[nodiscard]] inline std::int64_t lrem(std::int64_t a, std::int64_t b) {
    if (b == 0) [[unlikely]]
        return raise(ClassId::java_lang_ArithmeticException);
    if (b == -1)
        return 0;
    return a % b;
}

// --- conversions ---

namespace detail {
// `value` truncated toward zero into `Int`, saturating; NaN gives 0. The
// comparisons are against powers of two, which every floating type holds exactly.
template <class Int, class Float>
constexpr Int saturatingTruncate(Float value) {
    constexpr Float kTwoToTheBits = static_cast<Float>(std::numeric_limits<Int>::max()) + Float{1};
    if (value != value)
        return 0;
    if (value >= kTwoToTheBits)
        return std::numeric_limits<Int>::max();
    if (value < -kTwoToTheBits)
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}
} // namespace detail

constexpr std::int32_t f2i(float value) {
    return detail::saturatingTruncate<std::int32_t>(value);
}
constexpr std::int32_t d2i(double value) {
    return detail::saturatingTruncate<std::int32_t>(value);
}
constexpr std::int64_t f2l(float value) {
    return detail::saturatingTruncate<std::int64_t>(value);
}
constexpr std::int64_t d2l(double value) {
    return detail::saturatingTruncate<std::int64_t>(value);
}

constexpr std::int32_t i2b(std::int32_t value) {
    return static_cast<std::int8_t>(value);
}
constexpr std::int32_t i2s(std::int32_t value) {
    return static_cast<std::int16_t>(value);
}
constexpr std::int32_t i2c(std::int32_t value) {
    return static_cast<std::uint16_t>(value);
}

} // namespace rt
