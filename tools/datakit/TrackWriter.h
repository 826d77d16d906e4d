#pragma once
// A track entry of the track pack (the payload after the entry's header
// byte), little-endian, from a model of every field, section by section as
// game/race/TrackEntryLayout.h lays them out (the loader reads by the same
// header). Colours are 0xRRGGBB and are written as the bytes R, G, B.
//
// Counted lists are written with their counts; the two lists the game
// reads in whole sets (the track shorts in sixes, the ranges in fours) are
// padded with zeros to a whole set after their values, their counts naming
// the values. `writeTrack` writes the model as it is: a model may describe
// a broken track on purpose (a lane nibble of 0, a decor count that is
// neither 0 nor the segment count).
#include "game/race/TrackEntryLayout.h"
#include "tools/datakit/ByteWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace datakit {

struct WirePoint {
    std::uint16_t angle = 0;
    std::int8_t radius = 0;
    std::int8_t height = 0;
};

// One shape of an object: its type and the values after the type byte, in
// the order written, as many as `game::shapeLayout` gives the type (a type
// without a layout: none), each as wide as the layout says.
struct TrackShape {
    std::int8_t type = 0;
    std::vector<std::uint16_t> values;
};

struct TrackObject {
    // Point pairs, two u16 per pair.
    std::vector<std::uint16_t> points;
    std::vector<TrackShape> shapes;
};

struct TrackSection {
    std::uint16_t start = 0;
    std::int8_t value = 0;
    std::uint32_t colourA = 0;
    std::uint32_t colourB = 0;
};

struct SideProfile {
    std::array<std::uint32_t, game::kSideProfileColours> colours{};
    std::uint8_t valueA = 0;
    std::uint8_t valueB = 0;
    std::uint16_t width = 0;
    std::array<std::uint8_t, game::kSideProfileTailBytes> bytes{};
};

struct TrackSpot {
    std::int8_t value = 0;
    std::int16_t position = 0;
};

struct TrackSegment {
    std::int8_t curve = 0;      // degrees
    std::uint8_t edgeFlags = 0; // 7 bits
    std::int8_t slope = 0;      // degrees, -16..15
    std::uint8_t spareBits = 0; // bits 12..15 of the packed word, unread
    std::uint8_t laneProfileA = 0;
    std::uint8_t laneProfileB = 0;
    std::int8_t shade = 0;
    std::int8_t decor = 0; // written when the model has decor
    std::uint8_t attribute = 0;
    std::uint8_t surface = 0;
    std::vector<std::int16_t> triggers; // one per trigger slot of the track
    std::int8_t byteA = 0;
    std::int8_t byteB = 0;
};

struct OptionTriple {
    std::uint16_t value = 0;
    std::uint8_t a = 0;
    std::uint8_t b = 0;
};

struct TrackModel {
    std::array<WirePoint, game::kWireModelPoints> wireModel{};
    // The colours of style slots 5 (`SkyColour`) to 12, in slot order.
    std::array<std::uint32_t, 8> styleColours{};
    std::uint32_t colourA = 0;
    std::uint32_t colourB = 0;
    std::uint32_t colourC = 0;
    std::uint16_t headerValue = 0;
    std::vector<std::uint8_t> imageIds;
    // The values of `game::kShadingSlots`.
    std::array<std::uint16_t, game::kShadingSlots.size()> styleValues{};
    std::uint16_t roadHalfWidth = 0;
    std::uint16_t roadMargin = 0;
    std::uint8_t laneByte = 0x10;
    std::vector<std::array<std::uint8_t, game::kExtraItemBytes>> extraItems;
    // Chance A, threshold, chance B, range low, range high.
    std::array<std::uint8_t, game::kAmbienceBytes> ambience{};
    std::uint8_t sceneryImage = 0; // style slot `SceneryImage`
    std::vector<TrackObject> objects;
    std::vector<TrackSection> sections;
    std::vector<SideProfile> sideProfiles;
    std::vector<TrackSpot> spots;
    std::uint8_t triggersPerSegment = 0;
    std::int8_t style0 = 0; // style slot `RingValue`
    std::int16_t backdropOffset = 0;
    std::array<std::uint8_t, game::kTargetTimes> targetSeconds{};
    std::vector<TrackSegment> segments;
    std::array<std::uint8_t, game::kRingSpareBytes> spare{};
    std::uint8_t option = 0;
    std::vector<std::int16_t> trackShorts;
    std::vector<std::int32_t> trackInts;
    std::vector<std::int32_t> trackIntPairs; // two per pair
    std::uint16_t shadeValue = 0;
    bool hasDecor = false;
    // Overrides the decor count written (for broken tracks); decor bytes are
    // then written only when it equals the segment count.
    std::optional<std::uint16_t> decorCount;
    std::vector<std::uint8_t> skipped;
    std::vector<std::vector<std::int16_t>> cameraPaths; // four values per point
    std::vector<OptionTriple> optionTriples;
    std::int8_t backdropSprite = -1;
    std::uint8_t backdropMode = 0;
    std::int16_t backdropBase = 0;
    std::vector<std::int16_t> startRanges;
    std::vector<std::int16_t> endRanges;
};

// The entry's payload.
Bytes writeTrack(const TrackModel& track);

} // namespace datakit
