#pragma once
// What a track shows beside and over its road, put into the fields of a
// track model that the game reads for it:
// - the fog start is the track's header value;
// - each segment's wall byte is its byte A, its bank byte its decor byte
//   (no decor at all when the track has no banks);
// - wall kinds are the track's spots (the spot byte holds the kind's sides,
//   the spot value its height), kind k coloured by int pair k (even
//   segments, odd segments);
// - section models are the object records' shapes, model i object i;
// - scenery strips are the track shorts, six per strip.
//
// The model fields named above are replaced; every other field is left as
// the caller set it.
#include "tools/datakit/TrackWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace datakit {

namespace wall_bits {
// A segment carries a wall when bits 6..7 of its wall byte are 01.
inline constexpr std::uint8_t kWall = 0x40;
// Ends the current wall run after this segment.
inline constexpr std::uint8_t kEndsRun = 0x20;
inline constexpr std::uint8_t kKindMask = 0x0F;
// Sides of a wall kind.
inline constexpr std::uint8_t kLeft = 1;
inline constexpr std::uint8_t kRight = 2;
} // namespace wall_bits

// The wall byte of a segment with a wall of `kind` (a nibble).
inline std::int8_t wallByte(std::uint8_t kind, bool endsRun = false) {
    return static_cast<std::int8_t>(wall_bits::kWall | (kind & wall_bits::kKindMask) |
                                    (endsRun ? wall_bits::kEndsRun : 0));
}
// The bank byte of a slope of `angle` angle units (2048 to the circle; an
// even angle below 256) on the left or the right side of the road.
inline std::int8_t bankByte(std::int32_t angle, bool left) {
    return static_cast<std::int8_t>(((angle / 2) & 127) | (left ? 0x80 : 0));
}

struct WallKind {
    std::uint8_t sides = 0; // wall_bits::kLeft | wall_bits::kRight
    std::int16_t height = 0;
    std::uint32_t evenColour = 0; // 0xRRGGBB, for even segments
    std::uint32_t oddColour = 0;
};

namespace section_bits {
// Polygon flags.
inline constexpr std::uint16_t kNearDetail = 0x100;
inline constexpr std::uint16_t kGroundFog = 0x200;
inline constexpr std::uint16_t kTexturedQuad = 0x1000;
inline constexpr std::uint16_t kAnchoredOnEdge = 0x4000;
// Sprite modes: the low nibble.
inline constexpr std::uint16_t kStartCountAnimation = 1;
inline constexpr std::uint16_t kTimeDigit = 2;
} // namespace section_bits

// A section model primitive as the game holds it: element 0 the type, the
// rest by field index (a colour's red, green and blue at 1..3; the
// polygon's flags at 1; the positions, heights, detail class, sprite id,
// animation length and mode where the game's painter reads them). Fields a
// type does not store are dropped when written.
struct SectionPrimitive {
    std::array<std::int16_t, 12> fields{};
};

SectionPrimitive colourPrimitive(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// An upright rectangle (type 1) or a line (type 3) between A and B; x
// lateral, t position along the slice 0..1024, y height.
SectionPrimitive rectanglePrimitive(std::int16_t xA, std::int16_t tA, std::int16_t yA, std::int16_t xB,
                                    std::int16_t tB, std::int16_t yB, std::int16_t detail = 0);
SectionPrimitive linePrimitive(std::int16_t xA, std::int16_t tA, std::int16_t yA, std::int16_t xB,
                               std::int16_t tB, std::int16_t yB, std::int16_t detail = 0);
struct PolygonCorner {
    std::int16_t x = 0, t = 0, y = 0;
};
SectionPrimitive polygonPrimitive(std::uint16_t flags, PolygonCorner a, PolygonCorner b, PolygonCorner c,
                                  std::int16_t detail = 0);
struct SpritePrimitive {
    std::int16_t xA = 0;
    std::int16_t depthOffset = 0;
    std::int16_t lift = 0;
    std::int16_t xB = 0;
    std::int16_t t = 0;
    std::int16_t sprite = 0;
    std::int16_t detail = 0;
    std::int16_t animationLength = 0; // 0: a still frame
    // With `kTimeDigit`: ((place * 7 + digit) + 1) << 4 above the nibble.
    std::int16_t mode = 0;
};
SectionPrimitive spritePrimitive(const SpritePrimitive& sprite);
// The mode of a still frame showing digit 0..6 (minutes tens to
// milliseconds units) of the time of the racer in `place`.
std::int16_t timeDigitMode(std::int32_t place, std::int32_t digit);

// The shape the track entry stores for `primitive`: the loader turns it
// back into the same fields.
TrackShape sectionShape(const SectionPrimitive& primitive);

struct SceneryStrip {
    std::int16_t segment = 0;
    std::int16_t slot = 0;
    std::int16_t lateral = 0;
    std::int16_t position = 0;
    std::int16_t link = -1;
    std::int16_t spare = 0;
};

struct TrackRoadside {
    std::uint16_t fogStart = 15360;
    std::vector<WallKind> wallKinds;
    // Per segment; missing entries are 0 (no wall, flat).
    std::vector<std::int8_t> walls;
    std::optional<std::vector<std::int8_t>> banks;
    std::vector<std::vector<SectionPrimitive>> sectionModels;
    std::vector<SceneryStrip> strips;
};

// Puts `roadside` into `track`, whose segments must already be there.
void putRoadside(TrackModel& track, const TrackRoadside& roadside);

} // namespace datakit
