#pragma once
// The race's integer kernel, beside the framework's fixed point
// (game/framework/FixedPoint.h): each helper states the width it works in.
// Race numbers are Java ints: 32-bit results wrap, and nothing here relies
// on a pending `ArithmeticException`; a division by a value that data or
// state can make 0 goes through `divOrZero`.
//
// Fixed point is 4096 = 1.0; race time is seconds in fixed point; a track
// position is a segment and a position of 0..1023 in it.
//
// Game thread only.
#include "runtime/Array.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kRaceOne = 4096;
inline constexpr std::int32_t kSegmentLength = 1024;
inline constexpr std::int32_t kSegmentShift = 10;
// The longest race step: 0.1 s.
inline constexpr std::int32_t kMaxRaceStep = 409;

// a * b, wrapping in 32 bits.
std::int32_t mulWrap(std::int32_t a, std::int32_t b);
// (a * b + 2048) >> 12 with the product wrapping in 32 bits, for the places
// whose operands the original multiplied as ints.
std::int32_t fixMul32(std::int32_t a, std::int32_t b);
// (a * b + 2048) >> 12 with the product exact in 64 bits, the result cut to
// 32 bits with wrap.
std::int32_t fixMul64(std::int32_t a, std::int32_t b);
// a / b truncated toward zero; 0 when b is 0, and INT_MIN / -1 is INT_MIN.
std::int32_t divOrZero(std::int32_t a, std::int32_t b);

// The progress of a car along the race: ((lap * segments + segment) << 10)
// + position, wrapping in 32 bits.
std::int32_t trackDistance(std::int32_t lap, std::int32_t segment, std::int32_t position,
                           std::int32_t segmentCount);
// How far (lapA, segA, posA) is ahead of (lapB, segB, posB): the lap and
// segment differences are formed first, so the answer stays exact across
// the wrap of the segment number.
std::int32_t ringDistance(std::int32_t lapA, std::int32_t segA, std::int32_t posA, std::int32_t lapB,
                          std::int32_t segB, std::int32_t posB, std::int32_t segmentCount);

// Degrees as angle units (2048 to the full circle): degrees * 2048 / 360
// in 32 bits.
constexpr std::int32_t degreesToAngle(std::int32_t degrees) {
    return degrees * 2048 / 360;
}

// A speed in km/h as track units per second in fixed point:
// (v << 12) * 10 / 36 in 32 bits.
std::int32_t kmhToSpeed(std::int32_t kmh);
// a + (((b - a) * t + 2048) >> 12) with t clamped to 0..4096; b - a wraps
// in 32 bits, the product is taken in 64.
std::int32_t lerpClamped(std::int32_t a, std::int32_t b, std::int32_t t);

// A frame's milliseconds, clamped to 0..1000, as fixed-point seconds:
// (ms << 12) / 1000.
std::int32_t frameMsToTime(std::int32_t ms);
// The same for a millisecond count of any size (event times): the product
// is taken in 64 bits, so values above 524287 ms do not wrap.
std::int32_t msToTime(std::int32_t ms);
// Fixed-point seconds as the milliseconds the animation players count:
// (time * 1000) >> 12, the product taken in 64 bits.
std::int32_t timeToMs(std::int32_t time);

// |v| as an unsigned number: INT_MIN gives 2^31.
std::uint32_t unsignedMagnitude(std::int32_t v);
// |draw| mod k on the unsigned magnitude (INT_MIN gives 2^31 mod k);
// 0 when k < 1.
std::int32_t magnitudeMod(std::int32_t draw, std::int32_t k);
// One step of the shared `java_util_Random` (seeded from the host clock if
// nothing seeded it yet), answered as |r| mod k. k < 1 answers 0 without a
// step. Debug builds check that every draw comes from one thread.
std::int32_t raceRandom(std::int32_t k);

// A new int[max(0, length + n)] (int[max(0, n)] for null) holding `a` as far
// as it fits, the added tail -1.
rt::IntArray* growIntArray(rt::IntArray* a, std::int32_t n);
// A copy of `a` without elements from..from+count-1; null when `a` is null
// or the range is not inside it.
rt::IntArray* removeIntRange(rt::IntArray* a, std::int32_t from, std::int32_t count);

} // namespace game
