#include "game/race/TrackData.h"

#include "game/data/PackReader.h"
#include "game/framework/GameRandom.h"
#include "game/framework/SlotTables.h"
#include "game/framework/Streams.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceKernel.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <iterator>

namespace game {

namespace {

constexpr const char* kTrackPackName = "track pack";
// Object flag records that exist (`setByteTableEntry`).
constexpr std::int32_t kObjectFlagRecords = 92;

// The tracks whose weather is fixed whatever the draw gave: the first track
// always has the layered strip, and tracks 3 and 5 are always clear.
struct FixedWeather {
    std::int32_t track;
    std::int32_t weather;
};
constexpr FixedWeather kFixedWeather[] = {{0, kStripWeather}, {3, kClearWeather}, {5, kClearWeather}};

// The tracks whose mode value is `kTrackModeValue`; every other track gets
// `kNoTrackModeValue`. Nothing in the game reads the value.
constexpr std::int32_t kModeValueTracks[] = {0, 1, 4};
constexpr std::int32_t kTrackModeValue = 23;
constexpr std::int32_t kNoTrackModeValue = -1;

// Shapes that mark object flag records: a polygon whose flags carry
// `kPolygonMarksFlag` marks the record named by the blue of the last colour
// shape before it in its object, and a sprite marks its sprite's record,
// noting whether the sprite is animated.
constexpr std::int32_t kColourBlueField = 3;
constexpr std::int32_t kPolygonFlagsField = 1;
constexpr std::int32_t kPolygonMarksFlag = 0x1000;
constexpr std::int32_t kSpriteField = 8;
constexpr std::int32_t kSpriteAnimationField = 10;

void setStyle(TrackStyleSlot slot, std::int32_t value) {
    rt::IntArray::set(trackStatics().s_trackStyle, styleIndex(slot), value);
}

void setObjectFlag(std::int32_t entry, std::int32_t a, std::int32_t b) {
    if (entry >= kObjectFlagRecords) {
        host::logf(host::LogCategory::Game, "%s: object flag entry %d is past the %d records; skipped",
                   kTrackPackName, entry, kObjectFlagRecords);
        return;
    }
    setByteTableEntry(entry, a, b);
}

// One shape of an object record; null for a type that carries nothing.
// `lastColourBlue` is the blue of the object's last colour shape so far.
rt::ShortArray* readShape(EntryReader& reader, std::int32_t& lastColourBlue) {
    const std::int32_t type = reader.s8();
    const ShapeLayout* layout = shapeLayout(type);
    if (!layout)
        return nullptr;
    rt::ShortArray* shape = rt::newShortArray(layout->length);
    for (std::int32_t field : layout->storedFields())
        rt::ShortArray::set(shape, field,
                            static_cast<std::int16_t>(layout->valueBytes == 1 ? reader.u8() : reader.u16()));
    auto value = [shape](std::int32_t field) { return std::int32_t{rt::ShortArray::get(shape, field)}; };
    if (type == kColourShapeType)
        lastColourBlue = value(kColourBlueField);
    else if (type == kPolygonShapeType && (value(kPolygonFlagsField) & kPolygonMarksFlag))
        setObjectFlag(lastColourBlue & 255, 0, 1);
    else if (type == kSpriteShapeType)
        setObjectFlag(value(kSpriteField) & 255, value(kSpriteAnimationField) >= 1 ? 1 : 0, 0);
    rt::ShortArray::set(shape, 0, static_cast<std::int16_t>(type));
    return shape;
}

// Object record `index`: its point pairs (none leaves its slot null), then
// its shapes.
bool readObjectRecord(EntryReader& reader, std::int32_t index) {
    TrackStatics& t = trackStatics();
    const std::int32_t pairs = reader.u8();
    if (pairs > 0) {
        if (!reader.fits(pairs, kObjectPointPairBytes, "object points"))
            return false;
        rt::ShortArray* points = rt::newShortArray(2 * pairs);
        for (std::int32_t j = 0; j < 2 * pairs; ++j)
            rt::ShortArray::set(points, j, static_cast<std::int16_t>(reader.u16()));
        rt::ObjectArray::set(t.s_objectPoints, index, points);
    }
    const std::int32_t shapes = reader.u8();
    if (!reader.fits(shapes, 1, "object shapes"))
        return false;
    rt::IntArray::set(t.s_objectShapeCounts, index, shapes);
    rt::ObjectArray* list = rt::newObjectArray(shapes);
    rt::ObjectArray::set(t.s_objectShapes, index, list);
    std::int32_t lastColourBlue = 0;
    for (std::int32_t j = 0; j < shapes && reader.ok(); ++j)
        rt::ObjectArray::set(list, j, readShape(reader, lastColourBlue));
    return true;
}

// Reads `count` values in sets of `setSize` (a partial last set is read
// whole, to stay in step), handing each with its index to `store`.
template <class Store>
bool readSets(EntryReader& reader, std::int32_t count, std::int32_t setSize, const char* field, Store store) {
    std::int32_t values = (count + setSize - 1) / setSize * setSize;
    if (!reader.fits(values, 2, field))
        return false;
    for (std::int32_t i = 0; i < values; ++i)
        store(i, reader.s16());
    return true;
}

// A u16 count of items of `perItem` s32 values each, into a new int array
// at `into`; none keeps the previous track's array.
bool readIntItems(EntryReader& reader, std::int32_t perItem, rt::IntArray*& into, const char* field) {
    const std::int32_t count = reader.u16();
    if (count == 0)
        return true;
    if (!reader.fits(count, 4 * perItem, field))
        return false;
    into = rt::newIntArray(perItem * count);
    for (std::int32_t i = 0; i < perItem * count; ++i)
        rt::IntArray::set(into, i, reader.s32());
    return true;
}

// The readers of the entry's sections, in entry order. Each answers whether
// the load goes on. Once the ring header is read, the statics hold the
// segment count and the trigger codes per segment that later sections use.

bool readPalette(EntryReader& reader, std::span<const PaletteColour> palette) {
    TrackStatics& t = trackStatics();
    for (const PaletteColour& entry : palette) {
        const std::int32_t colour = reader.colour();
        switch (entry.colour) {
        case TrackColour::Style:
            setStyle(entry.slot, colour);
            break;
        case TrackColour::A:
            t.s_trackColourA = colour;
            break;
        case TrackColour::B:
            t.s_trackColourB = colour;
            break;
        case TrackColour::C:
            t.s_trackColourC = colour;
            break;
        }
    }
    return true;
}

bool readFogStart(EntryReader& reader) {
    trackStatics().s_trackHeaderValue = reader.u16();
    return true;
}

bool readImageIds(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t images = reader.u8();
    if (!reader.fits(images, 1, "image ids"))
        return false;
    t.s_trackImageIds = rt::newShortArray(images);
    for (std::int32_t i = 0; i < images; ++i)
        rt::ShortArray::set(t.s_trackImageIds, i, static_cast<std::int16_t>(reader.u8()));
    return true;
}

bool readShading(EntryReader& reader) {
    for (TrackStyleSlot slot : kShadingSlots)
        setStyle(slot, reader.u16());
    return true;
}

// A lane count of 0 is logged and taken as one lane: the lane width divides by it.
bool readRoad(EntryReader& reader, std::int32_t track) {
    TrackStatics& t = trackStatics();
    t.s_roadHalfWidth = reader.u16();
    t.s_roadMargin = reader.u16();
    std::int32_t lanes = (reader.s8() >> 4) & 15;
    if (lanes == 0) {
        host::logf(host::LogCategory::Game, "%s: track %d has a lane count of 0; one lane taken",
                   kTrackPackName, track);
        lanes = 1;
    }
    t.s_laneCount = lanes;
    t.s_laneWidth = 2 * t.s_roadHalfWidth / lanes;
    t.s_firstLaneX = t.s_laneWidth / 2 - t.s_roadHalfWidth;
    return true;
}

bool skipExtraItems(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    t.s_trackExtraCount = reader.u8();
    if (!reader.fits(t.s_trackExtraCount, kExtraItemBytes, "extra items"))
        return false;
    reader.skip(kExtraItemBytes * t.s_trackExtraCount);
    return true;
}

// The ambience bytes, then the race's weather drawn from them.
bool readAmbience(EntryReader& reader, std::int32_t track) {
    TrackStatics& t = trackStatics();
    t.s_ambienceChanceA = reader.u8();
    t.s_ambienceThreshold = reader.u8();
    t.s_ambienceChanceB = reader.u8();
    t.s_ambienceRangeLow = reader.u8();
    t.s_ambienceRangeHigh = reader.u8();
    if (!reader.ok())
        return false;
    // The range is drawn from as it stands, so the generator's later draws do
    // not depend on whether it rises; one that does not rise keeps its low
    // end as the value.
    const std::int32_t value = getRandom(t.s_ambienceRangeLow, t.s_ambienceRangeHigh);
    t.s_ambienceValue = t.s_ambienceRangeLow < t.s_ambienceRangeHigh ? value : t.s_ambienceRangeLow;
    t.s_ambienceCounter += getRandom(2, 5);
    const std::int32_t draw = getRandom(0, 100);
    if (draw < t.s_ambienceChanceA)
        t.s_trackAmbience = kParticleWeather;
    else if (draw < t.s_ambienceChanceA + t.s_ambienceChanceB)
        t.s_trackAmbience = kUnpaintedWeather;
    else if (draw >= t.s_ambienceThreshold)
        t.s_trackAmbience = kStripWeather;
    else
        t.s_trackAmbience = kClearWeather;
    t.s_trackAmbienceLevel = getRandom(50, 150);
    for (const FixedWeather& fixed : kFixedWeather)
        if (track == fixed.track)
            t.s_trackAmbience = fixed.weather;
    return true;
}

bool readSceneryImage(EntryReader& reader) {
    setStyle(TrackStyleSlot::SceneryImage, reader.u8());
    return true;
}

bool readSections(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t sections = reader.u16();
    t.s_sectionCount = sections;
    if (sections == 0)
        return true;
    if (!reader.fits(sections, kSectionEntryBytes, "sections"))
        return false;
    t.s_sectionValues = rt::newIntArray(sections);
    t.s_sectionBytes = rt::newByteArray(sections);
    t.s_sectionColours = rt::newObjectArray(sections);
    for (std::int32_t i = 0; i < sections; ++i) {
        rt::IntArray::set(t.s_sectionValues, i, reader.u16());
        rt::ByteArray::set(t.s_sectionBytes, i, static_cast<std::int8_t>(reader.s8()));
        rt::IntArray* colours = rt::newIntArray(2);
        rt::IntArray::set(colours, 0, reader.colour());
        rt::IntArray::set(colours, 1, reader.colour());
        rt::ObjectArray::set(t.s_sectionColours, i, colours);
    }
    return true;
}

// A profile's ints: [0] to [2] its colours, [5] and [6] two bytes, [7] a
// u16, [8] to [12] the five bytes after it; [3] and [4] stay 0.
bool readSideProfiles(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t profiles = reader.u8();
    t.s_laneProfileCount = profiles;
    if (profiles == 0)
        return true;
    if (!reader.fits(profiles, kSideProfileBytes, "side profiles"))
        return false;
    t.s_sideProfiles = rt::newIntArray(kSideProfileInts * profiles);
    for (std::int32_t p = 0; p < profiles; ++p) {
        auto set = [&t, p](std::int32_t i, std::int32_t value) {
            rt::IntArray::set(t.s_sideProfiles, kSideProfileInts * p + i, value);
        };
        for (std::int32_t i = 0; i < kSideProfileColours; ++i)
            set(i, reader.colour());
        set(5, reader.u8());
        set(6, reader.u8());
        set(7, reader.u16());
        for (std::int32_t i = 0; i < kSideProfileTailBytes; ++i)
            set(8 + i, reader.u8());
    }
    return true;
}

bool readSpots(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t spots = reader.u16();
    t.s_spotCount = spots;
    if (spots == 0)
        return true;
    if (!reader.fits(spots, kSpotBytes, "spots"))
        return false;
    t.s_spotBytes = rt::newByteArray(spots);
    t.s_spotValues = rt::newShortArray(spots);
    for (std::int32_t i = 0; i < spots; ++i) {
        rt::ByteArray::set(t.s_spotBytes, i, static_cast<std::int8_t>(reader.s8()));
        rt::ShortArray::set(t.s_spotValues, i, static_cast<std::int16_t>(reader.s16()));
    }
    return true;
}

// Target times are whole seconds, kept as seconds x 4096.
bool readRingHeader(EntryReader& reader, std::int32_t track) {
    TrackStatics& t = trackStatics();
    t.s_segmentCount = reader.u16();
    t.s_triggersPerSegment = reader.u8();
    setStyle(TrackStyleSlot::RingValue, reader.s8());
    t.s_backdropOffset = reader.s16();
    t.s_trackModeValue = std::ranges::find(kModeValueTracks, track) != std::end(kModeValueTracks)
                             ? kTrackModeValue
                             : kNoTrackModeValue;
    t.s_targetTimes = rt::newIntArray(kTargetTimes);
    for (std::int32_t i = 0; i < kTargetTimes; ++i)
        rt::IntArray::set(t.s_targetTimes, i, ((reader.u8() * 1000) << 12) / 1000);
    return true;
}

// Curves and slopes in angle units, and the edge flags. The load stops here
// when the ring has no segment (the race indexes the segment it wraps to)
// or cannot hold what every segment takes at least.
bool readSegments(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t n = t.s_segmentCount;
    const std::int64_t least = kLeastSegmentBytes + kTriggerCodeBytes * std::int64_t{t.s_triggersPerSegment};
    if (!reader.ok())
        return false;
    if (n == 0) {
        reader.fail("segments:", "the ring has none");
        return false;
    }
    if (!reader.fits(n, least, "segments"))
        return false;
    t.s_segmentCurve = rt::newIntArray(n);
    t.s_segmentHeight = rt::newIntArray(n);
    t.s_segmentEdgeFlags = rt::newByteArray(n);
    for (std::int32_t i = 0; i < n; ++i) {
        rt::IntArray::set(t.s_segmentCurve, i, degreesToAngle(reader.s8()));
        const std::int32_t packed = reader.u16();
        rt::ByteArray::set(t.s_segmentEdgeFlags, i, static_cast<std::int8_t>(packed & 0x7F));
        std::int32_t slope = (packed >> 7) & 31;
        if (slope >= 16)
            slope -= 32;
        rt::IntArray::set(t.s_segmentHeight, i, (degreesToAngle(slope) * t.s_trackScale + 2048) >> 12);
    }
    return true;
}

bool skipRingSpare(EntryReader& reader) {
    reader.skip(kRingSpareBytes);
    return true;
}

bool readOption(EntryReader& reader) {
    trackStatics().s_trackOption = reader.u8();
    return true;
}

// A count of 0 or below reads nothing and keeps the previous track's values.
bool readTrackShorts(EntryReader& reader) {
    const std::int32_t shorts = reader.s16();
    if (shorts <= 0)
        return true;
    rt::ShortArray* values = rt::newShortArray(shorts);
    if (!readSets(reader, shorts, kTrackShortSet, "track shorts", [&](std::int32_t i, std::int32_t v) {
            if (i < shorts)
                rt::ShortArray::set(values, i, static_cast<std::int16_t>(v));
        }))
        return false;
    trackStatics().s_trackShorts = values;
    return true;
}

bool readLaneProfiles(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t n = t.s_segmentCount;
    if (!reader.fits(n, 2, "segment lane profiles"))
        return false;
    t.s_segmentLaneProfileA = rt::newIntArray(n);
    t.s_segmentLaneProfileB = rt::newIntArray(n);
    for (std::int32_t i = 0; i < n; ++i) {
        rt::IntArray::set(t.s_segmentLaneProfileA, i, reader.u8());
        rt::IntArray::set(t.s_segmentLaneProfileB, i, reader.u8());
    }
    return true;
}

bool readShades(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    t.s_shadeValue = reader.u16();
    if (!reader.fits(t.s_segmentCount, 1, "segment shades"))
        return false;
    t.s_segmentShade = reader.byteArray(t.s_segmentCount);
    return true;
}

// Decor bytes are read only when there is one per segment; the array of the
// same length from the track before is reused. Any other count but 0 is
// logged and reads nothing.
bool readDecor(EntryReader& reader, std::int32_t track) {
    TrackStatics& t = trackStatics();
    const std::int32_t n = t.s_segmentCount;
    const std::int32_t decor = reader.u16();
    if (decor == n && n > 0) {
        if (!reader.fits(n, 1, "segment decor"))
            return false;
        if (!t.s_segmentDecor || t.s_segmentDecor->length() != n)
            t.s_segmentDecor = rt::newByteArray(n);
        for (std::int32_t i = 0; i < n; ++i)
            rt::ByteArray::set(t.s_segmentDecor, i, static_cast<std::int8_t>(reader.u8()));
    } else if (decor != 0 && decor != n) {
        host::logf(host::LogCategory::Game, "%s: track %d has %d decor bytes for %d segments; none read",
                   kTrackPackName, track, decor, n);
    }
    return true;
}

bool skipSkippedBytes(EntryReader& reader) {
    const std::int32_t skipped = reader.u16();
    if (!reader.fits(skipped, 1, "skipped bytes"))
        return false;
    reader.skip(skipped);
    return true;
}

// The attribute pairs and the trigger codes are checked together.
bool readAttributesAndTriggerCodes(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t n = t.s_segmentCount;
    const std::int32_t k = t.s_triggersPerSegment;
    if (!reader.fits(n, 2 + kTriggerCodeBytes * std::int64_t{k}, "segment attributes and trigger codes"))
        return false;
    t.s_segmentAttributes = reader.byteArray(2 * n);
    t.s_triggerCodes = rt::newShortArray(n * k);
    for (std::int32_t i = 0; i < n * k; ++i)
        rt::ShortArray::set(t.s_triggerCodes, i, static_cast<std::int16_t>(reader.s16()));
    return true;
}

bool readSegmentBytes(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    if (!reader.fits(t.s_segmentCount, 2, "segment bytes"))
        return false;
    t.s_segmentBytesA = reader.byteArray(t.s_segmentCount);
    t.s_segmentBytesB = reader.byteArray(t.s_segmentCount);
    return true;
}

bool readCameraPaths(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t paths = reader.u8();
    if (paths == 0)
        return true;
    if (!reader.fits(paths, 1, "camera paths"))
        return false;
    t.s_cameraPaths = rt::newObjectArray(paths);
    for (std::int32_t i = 0; i < paths; ++i) {
        const std::int32_t points = reader.u8();
        if (!reader.fits(points, 2 * kCameraPointValues, "camera path points"))
            return false;
        rt::ShortArray* path = rt::newShortArray(kCameraPointValues * points);
        for (std::int32_t j = 0; j < kCameraPointValues * points; ++j)
            rt::ShortArray::set(path, j, static_cast<std::int16_t>(reader.s16()));
        rt::ObjectArray::set(t.s_cameraPaths, i, path);
    }
    return true;
}

// Triples are kept only while the race option flag is set, and a track
// without triples clears the flag.
bool readOptionTriples(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    const std::int32_t triples = reader.u16();
    if (!reader.fits(triples, kOptionTripleBytes, "option triples"))
        return false;
    if (triples == 0) {
        t.s_raceOptionFlag = 0;
    } else if (t.s_raceOptionFlag) {
        t.s_optionTriples = rt::newShortArray(3 * triples);
        for (std::int32_t j = 0; j < triples; ++j) {
            rt::ShortArray::set(t.s_optionTriples, 3 * j, static_cast<std::int16_t>(reader.u16()));
            rt::ShortArray::set(t.s_optionTriples, 3 * j + 1, static_cast<std::int16_t>(reader.u8()));
            rt::ShortArray::set(t.s_optionTriples, 3 * j + 2, static_cast<std::int16_t>(reader.u8()));
        }
    } else {
        reader.skip(kOptionTripleBytes * triples);
    }
    return true;
}

bool readBackdrop(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    t.s_backdropSprite = reader.s8();
    t.s_backdropMode = reader.u8();
    t.s_backdropBase = reader.s16();
    t.s_backdropBase2 = t.s_backdropBase;
    return true;
}

// The count is a value count, and the array holds four ints per value; a
// count of 0 or below reads nothing and keeps the previous track's ranges.
bool readRanges(EntryReader& reader, rt::IntArray*& ranges) {
    const std::int32_t count = reader.s16();
    if (count <= 0)
        return true;
    rt::IntArray* values = rt::newIntArray(kRangeSet * count);
    if (!readSets(reader, count, kRangeSet, "ranges",
                  [&](std::int32_t i, std::int32_t v) { rt::IntArray::set(values, i, v); }))
        return false;
    ranges = values;
    return true;
}

bool readSection(TrackSection section, EntryReader& reader, std::int32_t track) {
    switch (section) {
    case TrackSection::FirstPalette:
        return readPalette(reader, kFirstPalette);
    case TrackSection::FogStart:
        return readFogStart(reader);
    case TrackSection::ImageIds:
        return readImageIds(reader);
    case TrackSection::Shading:
        return readShading(reader);
    case TrackSection::Road:
        return readRoad(reader, track);
    case TrackSection::SecondPalette:
        return readPalette(reader, kSecondPalette);
    case TrackSection::ExtraItems:
        return skipExtraItems(reader);
    case TrackSection::Ambience:
        return readAmbience(reader, track);
    case TrackSection::SceneryImage:
        return readSceneryImage(reader);
    case TrackSection::Objects:
        return loadRecordTable(reader);
    case TrackSection::Sections:
        return readSections(reader);
    case TrackSection::SideProfiles:
        return readSideProfiles(reader);
    case TrackSection::Spots:
        return readSpots(reader);
    case TrackSection::RingHeader:
        return readRingHeader(reader, track);
    case TrackSection::Segments:
        return readSegments(reader);
    case TrackSection::RingSpare:
        return skipRingSpare(reader);
    case TrackSection::Option:
        return readOption(reader);
    case TrackSection::TrackShorts:
        return readTrackShorts(reader);
    case TrackSection::TrackInts:
        return readIntItems(reader, 1, trackStatics().s_trackInts, "track ints");
    case TrackSection::TrackIntPairs:
        return readIntItems(reader, 2, trackStatics().s_trackIntPairs, "track int pairs");
    case TrackSection::LaneProfiles:
        return readLaneProfiles(reader);
    case TrackSection::Shades:
        return readShades(reader);
    case TrackSection::Decor:
        return readDecor(reader, track);
    case TrackSection::SkippedBytes:
        return skipSkippedBytes(reader);
    case TrackSection::AttributesAndTriggerCodes:
        return readAttributesAndTriggerCodes(reader);
    case TrackSection::SegmentBytes:
        return readSegmentBytes(reader);
    case TrackSection::CameraPaths:
        return readCameraPaths(reader);
    case TrackSection::OptionTriples:
        return readOptionTriples(reader);
    case TrackSection::Backdrop:
        return readBackdrop(reader);
    case TrackSection::StartRanges:
        return readRanges(reader, trackStatics().s_startRanges);
    case TrackSection::EndRanges:
        return readRanges(reader, trackStatics().s_endRanges);
    }
    return false;
}

// What a load sets before it reads: the track scale and a new style table.
void beginTrackLoad() {
    TrackStatics& t = trackStatics();
    t.s_trackLoaded = 0;
    if (!t.s_roadsideLanes)
        t.s_roadsideLanes = rt::newIntArray(10);
    t.s_trackScale = kTrackOne;
    t.s_trackStyle = rt::newIntArray(kTrackStyleSlots);
}

// What a whole entry leads to: the race words cleared and the per-segment
// run-time state made, all zero.
void finishTrackLoad() {
    TrackStatics& t = trackStatics();
    const std::int32_t n = t.s_segmentCount;
    t.s_backdropSprite2 = -1;
    t.s_raceWordA = 0;
    t.s_raceWordB = 0;
    t.s_segmentFlagsA = rt::newByteArray(n);
    t.s_segmentFlagsB = rt::newByteArray(n);
    t.s_segmentState = rt::newIntArray(n);
    t.s_trackLoaded = 1;
}

} // namespace

TrackStatics& trackStatics() {
    return rt::getStaticClass().statics<TrackStatics>();
}

std::int32_t trackStyle(TrackStyleSlot slot) {
    const rt::IntArray* style = trackStatics().s_trackStyle;
    const std::int32_t index = styleIndex(slot);
    return style && index < style->length() ? rt::IntArray::get(style, index) : 0;
}

bool loadRecordTable(EntryReader& reader) {
    TrackStatics& t = trackStatics();
    std::int32_t count = reader.u16();
    t.s_objectCount = count;
    if (count == 0)
        return reader.ok();
    // Each record holds at least its two count bytes.
    if (!reader.fits(count, 2, "object records"))
        return false;
    t.s_objectShapeCounts = rt::newIntArray(count);
    t.s_objectShapes = rt::newObjectArray(count);
    t.s_objectPoints = rt::newObjectArray(count);
    for (std::int32_t i = 0; i < count && reader.ok(); ++i)
        if (!readObjectRecord(reader, i))
            return false;
    return reader.ok();
}

bool loadTrackEntry(EntryReader& reader, std::int32_t track) {
    beginTrackLoad();
    for (TrackSection section : kTrackSections)
        if (!readSection(section, reader, track))
            return false;
    if (!reader.ok())
        return false;
    finishTrackLoad();
    return true;
}

void loadTrack(std::int32_t track) {
    trackStatics().s_trackLoaded = 0;
    packOpen(rt::getStaticClass().getConstantString(rt::constants::kTrackPack));
    EntryReader reader = EntryReader::ofEntry(track, kTrackPackName);
    closeStream();
    reader.skip(kWireModelBytes);
    if (!loadTrackEntry(reader, track))
        host::logf(host::LogCategory::Game, "%s: track %d is not loaded", kTrackPackName, track);
}

void loadTrackArrays(std::int32_t track) {
    if (track < 0 || track >= kTrackCount) {
        host::logf(host::LogCategory::Game, "%s: wire model of track %d is outside 0..%d; skipped",
                   kTrackPackName, track, kTrackCount - 1);
        return;
    }
    TrackStatics& t = trackStatics();
    packOpen(rt::getStaticClass().getConstantString(rt::constants::kTrackPack));
    EntryReader reader = EntryReader::ofEntryPrefix(track, kWireModelBytes, kTrackPackName);
    closeStream();
    if (!t.s_wireModels) {
        t.s_wireModels = rt::newObjectArray(kTrackCount);
        for (std::int32_t i = 0; i < kTrackCount; ++i)
            rt::ObjectArray::set(t.s_wireModels, i, rt::newObjectArray(3));
    }
    std::int32_t unit = t.s_wireModelUnit;
    if (unit == 0) {
        host::logf(host::LogCategory::Game, "%s: wire model unit is 0; 1 taken", kTrackPackName);
        unit = 1;
    }
    std::int64_t scale = ((2 * (static_cast<std::int64_t>(t.s_wireModelSize) << 12)) / unit + 1) >> 1;
    rt::IntArray* angles = rt::newIntArray(kWireModelPoints);
    rt::IntArray* radii = rt::newIntArray(kWireModelPoints);
    rt::IntArray* heights = rt::newIntArray(kWireModelPoints);
    for (std::int32_t i = 0; i < kWireModelPoints; ++i) {
        rt::IntArray::set(angles, i, reader.u16());
        rt::IntArray::set(radii, i, static_cast<std::int32_t>(scale * reader.s8()));
        rt::IntArray::set(heights, i, static_cast<std::int32_t>(scale * reader.s8()));
    }
    auto* slot = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(t.s_wireModels, track));
    rt::ObjectArray::set(slot, 0, angles);
    rt::ObjectArray::set(slot, 1, radii);
    rt::ObjectArray::set(slot, 2, heights);
    if (!reader.ok())
        host::logf(host::LogCategory::Game, "%s: wire model of track %d is cut", kTrackPackName, track);
}

} // namespace game
