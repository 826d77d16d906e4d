#pragma once
// The layout of a track entry of the track pack (constant string 158; the
// payload after the entry's header byte): the wire model, then the sections
// of `kTrackSections` in that order, each right after the one before. The
// track loader (TrackData.cpp) reads and datakit's track writer
// (tools/datakit/TrackWriter.cpp) writes the entry section by section from
// this header, so the two cannot disagree on the order of the sections, on
// where a section's values go or on the size of its records.
//
// Values are little-endian u8, s8, u16, s16 or s32; a colour is the three
// bytes R, G, B, read as the opaque colour 0xFFRRGGBB. A u16 stored into a
// short array wraps from 32768 on.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace game {

// The slots of the track's style table (`TrackStatics::s_trackStyle`).
enum class TrackStyleSlot : std::int32_t {
    RingValue = 0, // the s8 of the ring header; nothing reads it
    Unwritten = 1, // never written by the loader: stays 0
    // The race background's darkening toward the horizon: its depth in
    // 256ths, the road half-width at and below which it is whole, and the
    // half-width from which there is none.
    ShadeDepth = 2,
    ShadeFar = 3,
    ShadeNear = 4,
    SkyColour = 5,
    // 6, 8, 10, 11 and 12: colours of the palettes that nothing reads.
    PaletteColour6 = 6,
    GroundFogColour = 7,
    PaletteColour8 = 8,
    WallFogColour = 9,
    PaletteColour10 = 10,
    PaletteColour11 = 11,
    PaletteColour12 = 12,
    SceneryImage = 13, // the image pack entry of the scenery image
};
inline constexpr std::int32_t kTrackStyleSlots = 14;

constexpr std::int32_t styleIndex(TrackStyleSlot slot) {
    return static_cast<std::int32_t>(slot);
}

// Where a colour of the two palettes goes: a style slot, or one of the
// track colours A, B and C, which have statics of their own.
enum class TrackColour : std::uint8_t { Style, A, B, C };
struct PaletteColour {
    TrackColour colour = TrackColour::Style;
    TrackStyleSlot slot = TrackStyleSlot::Unwritten; // for `TrackColour::Style`
};

inline constexpr std::int32_t kColourBytes = 3;

inline constexpr std::int32_t kWireModelPoints = 36;
// Angle u16, radius s8, height s8.
inline constexpr std::int32_t kWirePointBytes = 4;
inline constexpr std::int32_t kWireModelBytes = kWireModelPoints * kWirePointBytes;

// The sections after the wire model.
enum class TrackSection : std::uint8_t {
    FirstPalette,  // the colours of `kFirstPalette`
    FogStart,      // u16: `s_trackHeaderValue`, the depth where the roadside fog starts
    ImageIds,      // u8 count, then a u8 image id each
    Shading,       // u16 each into the style slots of `kShadingSlots`
    Road,          // u16 half-width, u16 margin, s8 lane byte (the lane count in its high nibble)
    SecondPalette, // the colours of `kSecondPalette`
    ExtraItems,    // u8 count, then `kExtraItemBytes` each, skipped
    Ambience,      // `kAmbienceBytes` u8: chance A, threshold, chance B, range low, range high
    SceneryImage,  // u8 into style slot `SceneryImage`
    Objects,       // u16 count, then the object records (below)
    Sections,      // u16 count, then `kSectionEntryBytes` each: u16 start segment, s8, two colours
    SideProfiles,  // u8 count, then `kSideProfileBytes` each
    Spots,         // u16 count, then `kSpotBytes` each: s8, s16
    RingHeader,    // u16 segments N, u8 trigger codes per segment K, s8 style `RingValue`,
                   // s16 backdrop offset, `kTargetTimes` u8 target times in whole seconds
    Segments,      // N records of `kSegmentRecordBytes`: s8 curve in degrees, u16 packed
                   // (bits 0..6 edge flags, 7..11 the slope in signed degrees, 12..15 unread)
    RingSpare,     // `kRingSpareBytes`, skipped
    Option,        // u8
    TrackShorts,   // s16 value count q, then sets of `kTrackShortSet` s16 while a set starts below q
    TrackInts,     // u16 count, then an s32 each
    TrackIntPairs, // u16 count, then two s32 each
    LaneProfiles,  // N pairs of u8 side profile indexes
    Shades,        // u16 shade value, then N bytes
    Decor,         // u16 count d, then N bytes when d is N (and nothing otherwise)
    SkippedBytes,  // u16 count, then that many bytes, skipped
    AttributesAndTriggerCodes, // N pairs of bytes (byte 2i + 1 is segment i's surface),
                               // then N x K s16 trigger codes, segment by segment
    SegmentBytes,              // N bytes A, then N bytes B
    CameraPaths,   // u8 count, then per path a u8 point count and `kCameraPointValues` s16 a point
    OptionTriples, // u16 count, then `kOptionTripleBytes` each: u16, u8, u8
    Backdrop,      // s8 sprite (-1 none), u8 mode, s16 base
    StartRanges,   // s16 value count r, then sets of `kRangeSet` s16 while a set starts below r
    EndRanges,     // as the start ranges
};

inline constexpr std::array kTrackSections = {
    TrackSection::FirstPalette,
    TrackSection::FogStart,
    TrackSection::ImageIds,
    TrackSection::Shading,
    TrackSection::Road,
    TrackSection::SecondPalette,
    TrackSection::ExtraItems,
    TrackSection::Ambience,
    TrackSection::SceneryImage,
    TrackSection::Objects,
    TrackSection::Sections,
    TrackSection::SideProfiles,
    TrackSection::Spots,
    TrackSection::RingHeader,
    TrackSection::Segments,
    TrackSection::RingSpare,
    TrackSection::Option,
    TrackSection::TrackShorts,
    TrackSection::TrackInts,
    TrackSection::TrackIntPairs,
    TrackSection::LaneProfiles,
    TrackSection::Shades,
    TrackSection::Decor,
    TrackSection::SkippedBytes,
    TrackSection::AttributesAndTriggerCodes,
    TrackSection::SegmentBytes,
    TrackSection::CameraPaths,
    TrackSection::OptionTriples,
    TrackSection::Backdrop,
    TrackSection::StartRanges,
    TrackSection::EndRanges,
};

// Every section once, in the order the enumeration declares them.
static_assert([] {
    for (std::size_t i = 0; i < kTrackSections.size(); ++i)
        if (static_cast<std::size_t>(kTrackSections[i]) != i)
            return false;
    return static_cast<std::size_t>(TrackSection::EndRanges) + 1 == kTrackSections.size();
}());

inline constexpr std::array<PaletteColour, 7> kFirstPalette = {{
    {TrackColour::Style, TrackStyleSlot::SkyColour},
    {TrackColour::Style, TrackStyleSlot::PaletteColour6},
    {TrackColour::A},
    {TrackColour::Style, TrackStyleSlot::GroundFogColour},
    {TrackColour::Style, TrackStyleSlot::PaletteColour8},
    {TrackColour::Style, TrackStyleSlot::WallFogColour},
    {TrackColour::Style, TrackStyleSlot::PaletteColour10},
}};
inline constexpr std::array<PaletteColour, 4> kSecondPalette = {{
    {TrackColour::B},
    {TrackColour::C},
    {TrackColour::Style, TrackStyleSlot::PaletteColour11},
    {TrackColour::Style, TrackStyleSlot::PaletteColour12},
}};
inline constexpr std::array kShadingSlots = {TrackStyleSlot::ShadeDepth, TrackStyleSlot::ShadeFar,
                                             TrackStyleSlot::ShadeNear};

// The head up to the image ids has no count in it, so its offsets are fixed.
inline constexpr std::int32_t kFogStartOffset =
    kWireModelBytes + static_cast<std::int32_t>(kFirstPalette.size()) * kColourBytes;
inline constexpr std::int32_t kImageCountOffset = kFogStartOffset + 2;
static_assert(kFogStartOffset == 165 && kImageCountOffset == 167);

inline constexpr std::int32_t kExtraItemBytes = 4;
inline constexpr std::int32_t kAmbienceBytes = 5;
inline constexpr std::int32_t kSectionEntryBytes = 2 + 1 + 2 * kColourBytes;
// Three colours, two u8, a u16 and five u8.
inline constexpr std::int32_t kSideProfileColours = 3;
inline constexpr std::int32_t kSideProfileTailBytes = 5;
inline constexpr std::int32_t kSideProfileBytes =
    kSideProfileColours * kColourBytes + 2 + 2 + kSideProfileTailBytes;
inline constexpr std::int32_t kSpotBytes = 3;
inline constexpr std::int32_t kTargetTimes = 3;
inline constexpr std::int32_t kSegmentRecordBytes = 3;
inline constexpr std::int32_t kRingSpareBytes = 10;
inline constexpr std::int32_t kTrackShortSet = 6;
inline constexpr std::int32_t kCameraPointValues = 4;
inline constexpr std::int32_t kOptionTripleBytes = 4;
inline constexpr std::int32_t kRangeSet = 4;
inline constexpr std::int32_t kTriggerCodeBytes = 2;
// What each segment takes at least besides its trigger codes: its ring
// record, two lane profile indexes, a shade byte, two attribute bytes and
// bytes A and B.
inline constexpr std::int32_t kLeastSegmentBytes = kSegmentRecordBytes + 2 + 1 + 2 + 2;
static_assert(kSectionEntryBytes == 9 && kSideProfileBytes == 18 && kLeastSegmentBytes == 10);

// An object record: a u8 count of point pairs, then two u16 a pair; a u8
// shape count, then per shape an s8 type and the values its layout gives.
inline constexpr std::int32_t kObjectPointPairBytes = 4;

// A shape of an object record: a short array whose element 0 holds the
// type, filled with `valueCount` values of `valueBytes` bytes each, the n-th
// value into element `fields`[n]. The types without a layout carry nothing
// after their type byte and leave their shape null.
struct ShapeLayout {
    std::int32_t length = 0;
    std::int32_t valueBytes = 0;
    std::int32_t valueCount = 0;
    std::array<std::int8_t, 11> fields{};

    constexpr std::span<const std::int8_t> storedFields() const {
        return {fields.data(), static_cast<std::size_t>(valueCount)};
    }
};
// Type 0: red, green and blue of the current colour.
inline constexpr ShapeLayout kColourShape{4, 1, 3, {1, 2, 3}};
// Types 1 (a rectangle) and 3 (a line): two corners and the detail class.
inline constexpr ShapeLayout kRectangleShape{9, 2, 7, {2, 3, 4, 5, 6, 7, 8}};
// Type 2: three corners, the detail class, then the flags.
inline constexpr ShapeLayout kPolygonShape{12, 2, 11, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1}};
// Type 6: the sprite first, then its place, its detail class and its look.
inline constexpr ShapeLayout kSpriteShape{12, 2, 11, {8, 2, 3, 4, 5, 6, 7, 9, 1, 10, 11}};

inline constexpr std::int32_t kColourShapeType = 0;
inline constexpr std::int32_t kRectangleShapeType = 1;
inline constexpr std::int32_t kPolygonShapeType = 2;
inline constexpr std::int32_t kLineShapeType = 3;
inline constexpr std::int32_t kSpriteShapeType = 6;

constexpr const ShapeLayout* shapeLayout(std::int32_t type) {
    switch (type) {
    case kColourShapeType:
        return &kColourShape;
    case kRectangleShapeType:
    case kLineShapeType:
        return &kRectangleShape;
    case kPolygonShapeType:
        return &kPolygonShape;
    case kSpriteShapeType:
        return &kSpriteShape;
    default:
        return nullptr;
    }
}

} // namespace game
