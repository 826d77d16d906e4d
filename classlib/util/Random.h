#pragma once

// `java_util_Random`: the 48-bit linear congruential generator.
//
// The state is below 2^48. Seeding takes (seed XOR 0x5DEECE66D) modulo 2^48;
// a step is state = (state * 0x5DEECE66D + 0xB) modulo 2^48, and `next(bits)`
// answers the top `bits` bits of the new state. `setSeed` and each step hold
// the Random's monitor, one step at a time, so draws from other threads may
// fall between the two halves of a `nextLong` or between the tries of a
// `nextInt(n)`.
//
// The game draws from one shared generator, a static made by the first
// `seedSharedRandom`.

#include "classlib/ClassLibrary.h"
#include "runtime/Object.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_util_Random final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Random;
    static constexpr std::int64_t kMultiplier = 0x5DEECE66DLL;
    static constexpr std::int64_t kAddend = 0xB;
    static constexpr std::int64_t kMask = (std::int64_t{1} << 48) - 1;
    // `nextFloat` divides by this float, 16777220.0 (bits 0x4B800002), so its
    // results stay below 1.0.
    static constexpr float kFloatDivisor = 16777220.0f;
    static constexpr std::int32_t kBadBoundText = rt::constants::kBadRandomBound;

    // Seeded with `System.currentTimeMillis()`.
    java_util_Random();
    explicit java_util_Random(std::int64_t seed);
    // What `newInstanceById` makes: the state 0, not seeded.
    explicit java_util_Random(NewInstance)
        : Object(kClassId) {}

    void setSeed(std::int64_t seed);
    // One step; the top `bits` (1..32) bits of the new state.
    std::int32_t next(std::int32_t bits);
    // `next(32)`.
    std::int32_t nextInt();
    // Uniform in [0, n): n * next(31) >> 31 for a power of two; otherwise
    // next(31) modulo n, drawing again while the draw falls in the last,
    // incomplete block of n values below 2^31. n <= 0 sets an
    // `IllegalArgumentException` (constant string 203) pending, takes no step
    // and answers 0.
    [[nodiscard]] std::int32_t nextInt(std::int32_t n);
    // next(32) << 32 plus next(32) sign-extended.
    std::int64_t nextLong();
    // next(24) / 16777220.0f.
    float nextFloat();

    // The state, for tests and diagnostics.
    std::int64_t state() const { return m_seed; }

    // Seeds the shared generator, making it on the first call.
    static void seedSharedRandom(std::int64_t seed);
    // The shared generator; null until it is first seeded.
    static java_util_Random* shared();

    RT_NO_REFERENCE_FIELDS(java_util_Random, Object)

private:
    static std::int64_t scramble(std::int64_t seed) { return (seed ^ kMultiplier) & kMask; }

    std::int64_t m_seed = 0;
};

} // namespace lib
