#pragma once

// Trigonometry on 16.16 fixed-point values (65536 is 1.0), beside
// `java_lang_Math`. Nothing in the program calls these yet; they are kept
// with their exact integer steps so that a caller gets the values the game's
// library always gave. Angles of `fx16Sin` are in degrees; the inverse
// functions answer radians (102943 is pi/2).

#include <cstdint>

namespace lib {

// floor(sqrt(n)) for n >= 0, one result bit at a time from bit 15 down; 0 for
// a negative n.
std::int32_t intSqrt(std::int32_t n);

// The sine of `degrees`, reduced modulo 360 (negative angles included), from a
// table of whole degrees, interpolated linearly over the fraction.
std::int32_t fx16Sin(std::int32_t degrees);
// The table entry of a whole degree 0..359: sin(d) * 65536 rounded.
std::int32_t fx16SinTable(std::int32_t degree);

// The arc tangent: a polynomial in x * x for |x| <= 1.0, pi/2 minus the arc
// tangent of 1/x beyond; odd in x.
std::int32_t fx16Atan(std::int32_t x);

// The arc cosine of x in [-1.0, 1.0] (clamped): sqrt(1 - x) times a cubic in
// x for x >= 0, pi minus the arc cosine of -x below. The square-root factor
// is sqrt(1 - x) in 16.16.
std::int32_t fx16Acos(std::int32_t x);
// pi/2 minus the arc cosine.
std::int32_t fx16Asin(std::int32_t x);

} // namespace lib
