#pragma once
// One entry of the zone pack, big-endian (the game reads it through a data
// input stream): the zone count (s16), then per zone a u16 and two signed
// bytes.
#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace datakit {

struct TrackZone {
    std::uint16_t segment = 0;
    std::int8_t a = 0;
    std::int8_t b = 0;
};

Bytes writeZones(const std::vector<TrackZone>& zones);

} // namespace datakit
