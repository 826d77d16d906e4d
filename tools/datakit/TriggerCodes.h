#pragma once
// Encoders of the race's trigger codes (one 16-bit code per trigger slot
// of a segment) and of the event's dynamic trigger entries (32 bits each),
// in the layout the race reads (game/race/TrackTriggers.h).
#include <cstdint>

namespace datakit {

enum class TriggerKind : std::uint16_t {
    Boost = 0x4000,
    Bump = 0x5000,
    Ramp = 0x7000,
    Hazard = 0xA000,
};

enum class DynamicAction : std::uint8_t {
    ItemBox = 1,
    Coin = 2,
    Boost = 3,
    Bump = 7,
    Ramp = 8,
    TenCoins = 10,
    Hazard = 11,
};

// A lane trigger: `lane` 0..15, the lane whose centre is (lane - 3) * 512.
std::int16_t laneTrigger(TriggerKind kind, int lane);
// An obstacle box or gate `number` (0..255, the object of the track's
// object table); `farSide` mirrors the box and picks the gate's far side.
std::int16_t boxTrigger(int number, bool farSide);
// Entry `index` (0..255) of the event's dynamic table, for `variant` (0..15).
std::int16_t dynamicTrigger(int index, int variant);

// A dynamic action in `lane` from `lap` (0..7), or on every lap; `item`
// (0..15) is the item an item box draws.
std::int32_t dynamicAction(DynamicAction action, int lap, bool everyLap, int lane, int item = 0);
// A dynamic obstacle box `number` from `lap`, or on every lap.
std::int32_t dynamicBox(int number, int lap, bool everyLap);

} // namespace datakit
