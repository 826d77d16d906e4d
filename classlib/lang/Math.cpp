#include "classlib/lang/Math.h"

#include "runtime/javamath.h"

#include <cmath>

namespace lib {

std::int32_t java_lang_Math::abs(std::int32_t value) {
    std::int32_t negated = rt::ineg(value);
    return value < negated ? negated : value;
}

std::int64_t java_lang_Math::abs(std::int64_t value) {
    return value >= 0 ? value : rt::lneg(value);
}

float java_lang_Math::abs(float value) {
    return value >= 0.0f ? value : -value;
}

double java_lang_Math::abs(double value) {
    return value >= 0.0 ? value : -value;
}

std::int32_t java_lang_Math::max(std::int32_t a, std::int32_t b) {
    return a < b ? b : a;
}

std::int64_t java_lang_Math::max(std::int64_t a, std::int64_t b) {
    return a > b ? a : b;
}

float java_lang_Math::max(float a, float b) {
    return a > b ? a : b;
}

double java_lang_Math::max(double a, double b) {
    return a > b ? a : b;
}

std::int32_t java_lang_Math::min(std::int32_t a, std::int32_t b) {
    return a < b ? a : b;
}

std::int64_t java_lang_Math::min(std::int64_t a, std::int64_t b) {
    return a < b ? a : b;
}

float java_lang_Math::min(float a, float b) {
    return a < b ? a : b;
}

double java_lang_Math::min(double a, double b) {
    return a < b ? a : b;
}

double java_lang_Math::sqrt(double value) {
    return std::sqrt(value);
}

double java_lang_Math::sin(double radians) {
    return std::sin(radians);
}

double java_lang_Math::cos(double radians) {
    return std::cos(radians);
}

float java_lang_Math::sqrt(float value) {
    return static_cast<float>(std::sqrt(static_cast<double>(value)));
}

float java_lang_Math::sin(float radians) {
    return static_cast<float>(std::sin(static_cast<double>(radians)));
}

float java_lang_Math::asin(float value) {
    return static_cast<float>(std::asin(static_cast<double>(value)));
}

float java_lang_Math::cos(float radians) {
    return static_cast<float>(std::cos(static_cast<double>(radians)));
}

float java_lang_Math::acos(float value) {
    return static_cast<float>(std::acos(static_cast<double>(value)));
}

float java_lang_Math::tan(float radians) {
    return static_cast<float>(std::tan(static_cast<double>(radians)));
}

float java_lang_Math::atan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

float java_lang_Math::toRadians(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * 0.017453292519943295);
}

float java_lang_Math::toDegrees(float radians) {
    return static_cast<float>(static_cast<double>(radians * 180.0f) * 0.3183098861837907);
}

} // namespace lib
