#include "platform/shell/input.h"

#include <cmath>

namespace platform {

namespace {

constexpr std::int32_t kReturn = 13;
constexpr std::int32_t kLeft = 37;
constexpr std::int32_t kDown = 40;
constexpr std::int32_t kDigit0 = 48;
constexpr std::int32_t kDigit9 = 57;
constexpr std::int32_t kF1 = 112;
constexpr std::int32_t kF2 = 113;
constexpr std::int32_t kF8 = 119;
constexpr std::int32_t kF9 = 120;

std::int32_t scaleAxis(std::int32_t value, float factor) {
    if (factor == 1.0f)
        return value;
    float product = static_cast<float>(value) * factor;
    return static_cast<std::int32_t>(std::floor(static_cast<double>(product) + 0.5));
}

} // namespace

std::int32_t mapVirtualKey(std::int32_t virtualKey) {
    if (virtualKey == kReturn || (virtualKey >= kLeft && virtualKey <= kDown) ||
        (virtualKey >= kDigit0 && virtualKey <= kDigit9) || virtualKey == kF8 || virtualKey == kF9)
        return kUnmappedKey;
    if (virtualKey == kF1)
        return kLeftSoftKey;
    if (virtualKey == kF2)
        return kRightSoftKey;
    return virtualKey;
}

void scaleStylusPoint(const StylusScale& scale, std::int32_t& x, std::int32_t& y) {
    x = scaleAxis(x, scale.x);
    y = scaleAxis(y, scale.y);
}

} // namespace platform
