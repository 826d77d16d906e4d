#pragma once

// `java_lang_Math`: static operations only.
//
// The float forms compute in double and narrow the result. The comparisons
// are plain `<` and `>`, which gives these results on purpose:
//   - `abs` of the most negative int or long is that number;
//   - float and double `abs` negate only what is not >= 0.0, so -0.0 stays
//     -0.0 and a NaN comes back with its sign bit flipped;
//   - `max(a, b)` is a when a > b, else b, so `max(-0.0, 0.0)` is 0.0,
//     `max(0.0, -0.0)` is -0.0 and a NaN on either side gives b; `min` alike.

#include <cstdint>

namespace lib {

class java_lang_Math {
public:
    static std::int32_t abs(std::int32_t value);
    static std::int64_t abs(std::int64_t value);
    static float abs(float value);
    static double abs(double value);

    static std::int32_t max(std::int32_t a, std::int32_t b);
    static std::int64_t max(std::int64_t a, std::int64_t b);
    static float max(float a, float b);
    static double max(double a, double b);
    static std::int32_t min(std::int32_t a, std::int32_t b);
    static std::int64_t min(std::int64_t a, std::int64_t b);
    static float min(float a, float b);
    static double min(double a, double b);

    static double sqrt(double value);
    static double sin(double radians);
    static double cos(double radians);
    static float sqrt(float value);
    static float sin(float radians);
    static float asin(float value);
    static float cos(float radians);
    static float acos(float value);
    static float tan(float radians);
    static float atan2(float y, float x);
    // Widened, times 0.017453292519943295, narrowed.
    static float toRadians(float degrees);
    // Times 180 in float, widened, times 0.3183098861837907, narrowed.
    static float toDegrees(float radians);
};

} // namespace lib
