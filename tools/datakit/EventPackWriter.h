#pragma once
// One entry of the event pack, little-endian, laid out as
// game/race/EventEntryLayout.h says (the loader reads by the same header):
// path points, then per variant its event row, list items, objects, skipped
// items, dynamic trigger entries and its short table.
#include "game/race/EventEntryLayout.h"
#include "tools/datakit/ByteWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace datakit {

// The fields of a path point, a list item and an object, in entry order.
struct PathPoint {
    std::uint16_t a = 0, b = 0, c = 0;
    std::uint8_t d = 0;
    std::int32_t e = 0;
    std::int8_t f = 0, g = 0;
    std::uint8_t h = 0, i = 0, j = 0;
};

struct EventListItem {
    std::uint16_t a = 0;
    std::uint8_t b = 0;
    std::uint16_t c = 0;
};

struct EventObject {
    std::uint8_t a = 0;
    std::int16_t b = 0;
    std::uint8_t c = 0;
    std::int16_t d = 0;
    std::int16_t e = 0;
};

struct EventVariant {
    // Field 0 the type, 5 the laps, 16 the racers; each written in its
    // field's encoding (U31 fields lose their top bit).
    std::array<std::int32_t, game::kEventRowFields.size()> row{};
    std::vector<EventListItem> list;
    std::vector<EventObject> objects;
    std::vector<std::array<std::uint8_t, game::kSkippedEventItemBytes>> skipped;
    std::vector<std::int32_t> triggers;
    std::vector<std::int16_t> shorts;
};

struct EventEntry {
    std::vector<PathPoint> path;
    std::vector<EventVariant> variants;
};

Bytes writeEventEntry(const EventEntry& entry);

} // namespace datakit
