#pragma once
// One entry of the racer pack, little-endian: sprite set, three values,
// name text id, a value, speed, the speed steps and the times (each with
// its u8 count), then the handling values and the width profile.
//
// Speeds are km/h; the game turns them into 4096 units in 64 bits, and a
// speed of 52429 or more, which the original's 32 bits could not hold, is
// refused here (`writeRacer` answers an empty entry).
#include "tools/datakit/ByteWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace datakit {

inline constexpr std::uint16_t kMaxRacerSpeed = 52428;

struct RacerDefinition {
    std::uint8_t spriteSet = 43;
    std::array<std::uint8_t, 3> values{}; // definition [2], [3], [4]
    std::uint16_t nameText = 0;
    std::uint16_t value6 = 0;
    std::uint16_t speed = 0;
    std::vector<std::uint16_t> speedSteps; // km/h
    std::vector<std::uint16_t> timesMs;
    std::uint16_t braking = 0; // whole units; definition [7]
    std::uint16_t grip88 = 0;  // 8.8 fixed point; definition [8]
    std::uint8_t turnDegrees = 0;
    std::uint16_t weight = 0; // definition [10]
    std::uint8_t value11 = 0;
    std::array<std::uint8_t, 11> widthProfile{};
    std::uint8_t widthTail = 0; // written x 10 by the game
};

// The entry's payload; empty when a speed is 52429 or more.
Bytes writeRacer(const RacerDefinition& racer);

} // namespace datakit
