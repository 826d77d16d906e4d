#include "tools/datakit/TriggerCodes.h"

#include <stdexcept>

namespace datakit {

namespace {

int checked(int value, int low, int high, const char* what) {
    if (value < low || value > high)
        throw std::invalid_argument(what);
    return value;
}

std::uint32_t lapBits(int lap, bool everyLap) {
    return everyLap ? 0x8000u : static_cast<std::uint32_t>(checked(lap, 0, 7, "trigger lap")) << 12;
}

} // namespace

std::int16_t laneTrigger(TriggerKind kind, int lane) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(kind) | checked(lane, 0, 15, "trigger lane"));
}

std::int16_t boxTrigger(int number, bool farSide) {
    return static_cast<std::int16_t>(0x1000 | (farSide ? 0x800 : 0) | checked(number, 0, 255, "box number"));
}

std::int16_t dynamicTrigger(int index, int variant) {
    return static_cast<std::int16_t>(0x2000 | checked(variant, 0, 15, "trigger variant") << 8 |
                                     checked(index, 0, 255, "dynamic index"));
}

std::int32_t dynamicAction(DynamicAction action, int lap, bool everyLap, int lane, int item) {
    const std::uint32_t bits = 0xFF000000u | static_cast<std::uint32_t>(checked(item, 0, 15, "item")) << 20 |
                               static_cast<std::uint32_t>(checked(lane, 0, 15, "trigger lane")) << 16 |
                               lapBits(lap, everyLap) | static_cast<std::uint8_t>(action);
    return static_cast<std::int32_t>(bits);
}

std::int32_t dynamicBox(int number, int lap, bool everyLap) {
    return static_cast<std::int32_t>(lapBits(lap, everyLap) |
                                     static_cast<std::uint32_t>(checked(number, 0, 255, "box number")));
}

} // namespace datakit
