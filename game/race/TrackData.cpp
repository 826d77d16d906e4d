#include "game/race/TrackData.h"

#include "game/data/PackReader.h"
#include "game/framework/GameRandom.h"
#include "game/framework/SlotTables.h"
#include "game/framework/Streams.h"
#include "game/race/EntryReader.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

constexpr const char* kTrackPackName = "track pack";
// Object flag records that exist (`setByteTableEntry`).
constexpr std::int32_t kObjectFlagRecords = 92;

std::int32_t degreesToAngle(std::int32_t degrees) {
    return degrees * 2048 / 360;
}

void setStyle(std::int32_t index, std::int32_t value) {
    rt::IntArray::set(trackStatics().s_trackStyle, index, value);
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
rt::ShortArray* readShape(EntryReader& reader, std::int32_t& lastType0Value) {
    std::int32_t type = reader.s8();
    auto fill = [&](rt::ShortArray* shape, std::initializer_list<std::int32_t> order, bool wide) {
        for (std::int32_t index : order)
            rt::ShortArray::set(shape, index, static_cast<std::int16_t>(wide ? reader.u16() : reader.u8()));
    };
    rt::ShortArray* shape = nullptr;
    switch (type) {
    case 0:
        shape = rt::newShortArray(4);
        fill(shape, {1, 2, 3}, false);
        lastType0Value = rt::ShortArray::get(shape, 3);
        break;
    case 1:
    case 3:
        shape = rt::newShortArray(9);
        fill(shape, {2, 3, 4, 5, 6, 7, 8}, true);
        break;
    case 2:
        shape = rt::newShortArray(12);
        fill(shape, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1}, true);
        if (rt::ShortArray::get(shape, 1) & 0x1000)
            setObjectFlag(lastType0Value & 255, 0, 1);
        break;
    case 6:
        shape = rt::newShortArray(12);
        fill(shape, {8, 2, 3, 4, 5, 6, 7, 9, 1, 10, 11}, true);
        setObjectFlag(rt::ShortArray::get(shape, 8) & 255, rt::ShortArray::get(shape, 10) >= 1 ? 1 : 0, 0);
        break;
    default:
        return nullptr;
    }
    rt::ShortArray::set(shape, 0, static_cast<std::int16_t>(type));
    return shape;
}

// Reads `count` values of which only the first `stored` are kept, in sets
// of `setSize` (a partial last set is read whole, to stay in step).
template <class Store>
bool readSets(EntryReader& reader, std::int32_t count, std::int32_t setSize, const char* field, Store store) {
    std::int32_t values = (count + setSize - 1) / setSize * setSize;
    if (!reader.fits(values, 2, field))
        return false;
    for (std::int32_t i = 0; i < values; ++i)
        store(i, reader.s16());
    return true;
}

} // namespace

TrackStatics& trackStatics() {
    return rt::getStaticClass().statics<TrackStatics>();
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
    for (std::int32_t i = 0; i < count && reader.ok(); ++i) {
        std::int32_t lastType0Value = 0;
        std::int32_t pairs = reader.u8();
        if (pairs > 0) {
            if (!reader.fits(pairs, 4, "object points"))
                return false;
            rt::ShortArray* points = rt::newShortArray(2 * pairs);
            for (std::int32_t j = 0; j < 2 * pairs; ++j)
                rt::ShortArray::set(points, j, static_cast<std::int16_t>(reader.u16()));
            rt::ObjectArray::set(t.s_objectPoints, i, points);
        }
        std::int32_t shapes = reader.u8();
        if (!reader.fits(shapes, 1, "object shapes"))
            return false;
        rt::IntArray::set(t.s_objectShapeCounts, i, shapes);
        rt::ObjectArray* list = rt::newObjectArray(shapes);
        rt::ObjectArray::set(t.s_objectShapes, i, list);
        for (std::int32_t j = 0; j < shapes && reader.ok(); ++j)
            rt::ObjectArray::set(list, j, readShape(reader, lastType0Value));
    }
    return reader.ok();
}

bool loadTrackEntry(EntryReader& reader, std::int32_t track) {
    TrackStatics& t = trackStatics();
    t.s_trackLoaded = 0;
    if (!t.s_roadsideLanes)
        t.s_roadsideLanes = rt::newIntArray(10);
    t.s_trackScale = kTrackOne;
    t.s_trackStyle = rt::newIntArray(14);

    setStyle(5, reader.colour());
    setStyle(6, reader.colour());
    t.s_trackColourA = reader.colour();
    setStyle(7, reader.colour());
    for (std::int32_t i = 8; i <= 10; ++i)
        setStyle(i, reader.colour());
    t.s_trackHeaderValue = reader.u16();
    std::int32_t images = reader.u8();
    if (!reader.fits(images, 1, "image ids"))
        return false;
    t.s_trackImageIds = rt::newShortArray(images);
    for (std::int32_t i = 0; i < images; ++i)
        rt::ShortArray::set(t.s_trackImageIds, i, static_cast<std::int16_t>(reader.u8()));
    for (std::int32_t i = 2; i <= 4; ++i)
        setStyle(i, reader.u16());
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
    t.s_trackColourB = reader.colour();
    t.s_trackColourC = reader.colour();
    setStyle(11, reader.colour());
    setStyle(12, reader.colour());
    t.s_trackExtraCount = reader.u8();
    if (!reader.fits(t.s_trackExtraCount, 4, "extra items"))
        return false;
    reader.skip(4 * t.s_trackExtraCount);
    t.s_ambienceChanceA = reader.u8();
    t.s_ambienceThreshold = reader.u8();
    t.s_ambienceChanceB = reader.u8();
    t.s_ambienceRangeLow = reader.u8();
    t.s_ambienceRangeHigh = reader.u8();
    if (!reader.ok())
        return false;
    // The draws follow the data; a range that does not rise gives its low end.
    t.s_ambienceValue = t.s_ambienceRangeLow < t.s_ambienceRangeHigh
                            ? getRandom(t.s_ambienceRangeLow, t.s_ambienceRangeHigh)
                            : t.s_ambienceRangeLow;
    t.s_ambienceCounter += getRandom(2, 5);
    std::int32_t draw = getRandom(0, 100);
    if (draw < t.s_ambienceChanceA)
        t.s_trackAmbience = 2;
    else if (draw < t.s_ambienceChanceA + t.s_ambienceChanceB)
        t.s_trackAmbience = 3;
    else if (draw >= t.s_ambienceThreshold)
        t.s_trackAmbience = 1;
    else
        t.s_trackAmbience = 0;
    t.s_trackAmbienceLevel = getRandom(50, 150);
    if (track == 3 || track == 5)
        t.s_trackAmbience = 0;
    else if (track == 0)
        t.s_trackAmbience = 1;

    setStyle(13, reader.u8());
    if (!loadRecordTable(reader))
        return false;

    std::int32_t sections = reader.u16();
    t.s_sectionCount = sections;
    if (sections > 0) {
        if (!reader.fits(sections, 9, "sections"))
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
    }
    std::int32_t profiles = reader.u8();
    t.s_laneProfileCount = profiles;
    if (profiles > 0) {
        if (!reader.fits(profiles, kSideProfileBytes, "side profiles"))
            return false;
        t.s_sideProfiles = rt::newIntArray(kSideProfileInts * profiles);
        for (std::int32_t p = 0; p < profiles; ++p) {
            std::int32_t base = kSideProfileInts * p;
            for (std::int32_t i : {0, 1, 2})
                rt::IntArray::set(t.s_sideProfiles, base + i, reader.colour());
            rt::IntArray::set(t.s_sideProfiles, base + 5, reader.u8());
            rt::IntArray::set(t.s_sideProfiles, base + 6, reader.u8());
            rt::IntArray::set(t.s_sideProfiles, base + 7, reader.u16());
            for (std::int32_t i = 8; i <= 12; ++i)
                rt::IntArray::set(t.s_sideProfiles, base + i, reader.u8());
        }
    }
    std::int32_t spots = reader.u16();
    t.s_spotCount = spots;
    if (spots > 0) {
        if (!reader.fits(spots, 3, "spots"))
            return false;
        t.s_spotBytes = rt::newByteArray(spots);
        t.s_spotValues = rt::newShortArray(spots);
        for (std::int32_t i = 0; i < spots; ++i) {
            rt::ByteArray::set(t.s_spotBytes, i, static_cast<std::int8_t>(reader.s8()));
            rt::ShortArray::set(t.s_spotValues, i, static_cast<std::int16_t>(reader.s16()));
        }
    }

    std::int32_t n = reader.u16();
    std::int32_t k = reader.u8();
    t.s_segmentCount = n;
    t.s_triggersPerSegment = k;
    setStyle(0, reader.s8());
    t.s_backdropOffset = reader.s16();
    t.s_trackModeValue = (track == 0 || track == 1 || track == 4) ? 23 : -1;
    t.s_targetTimes = rt::newIntArray(3);
    for (std::int32_t i = 0; i < 3; ++i)
        rt::IntArray::set(t.s_targetTimes, i, ((reader.u8() * 1000) << 12) / 1000);
    // Every segment takes at least its 3 ring bytes, 2 lane profile bytes, a
    // shade byte, 2 attribute bytes, 2 bytes per trigger code and 2 more.
    if (!reader.ok() || !reader.fits(n, 10 + 2 * static_cast<std::int64_t>(k), "segments"))
        return false;
    t.s_segmentCurve = rt::newIntArray(n);
    t.s_segmentHeight = rt::newIntArray(n);
    t.s_segmentEdgeFlags = rt::newByteArray(n);
    for (std::int32_t i = 0; i < n; ++i) {
        rt::IntArray::set(t.s_segmentCurve, i, degreesToAngle(reader.s8()));
        std::int32_t packed = reader.u16();
        rt::ByteArray::set(t.s_segmentEdgeFlags, i, static_cast<std::int8_t>(packed & 0x7F));
        std::int32_t slope = (packed >> 7) & 31;
        if (slope >= 16)
            slope -= 32;
        rt::IntArray::set(t.s_segmentHeight, i, (degreesToAngle(slope) * t.s_trackScale + 2048) >> 12);
    }
    reader.skip(10);
    t.s_trackOption = reader.u8();
    std::int32_t shorts = reader.s16();
    if (shorts > 0) {
        rt::ShortArray* values = rt::newShortArray(shorts);
        if (!readSets(reader, shorts, 6, "track shorts", [&](std::int32_t i, std::int32_t v) {
                if (i < shorts)
                    rt::ShortArray::set(values, i, static_cast<std::int16_t>(v));
            }))
            return false;
        t.s_trackShorts = values;
    }
    std::int32_t ints = reader.u16();
    if (ints > 0) {
        if (!reader.fits(ints, 4, "track ints"))
            return false;
        t.s_trackInts = rt::newIntArray(ints);
        for (std::int32_t i = 0; i < ints; ++i)
            rt::IntArray::set(t.s_trackInts, i, reader.s32());
    }
    std::int32_t pairs = reader.u16();
    if (pairs > 0) {
        if (!reader.fits(pairs, 8, "track int pairs"))
            return false;
        t.s_trackIntPairs = rt::newIntArray(2 * pairs);
        for (std::int32_t i = 0; i < 2 * pairs; ++i)
            rt::IntArray::set(t.s_trackIntPairs, i, reader.s32());
    }
    if (!reader.fits(n, 2, "segment lane profiles"))
        return false;
    t.s_segmentLaneProfileA = rt::newIntArray(n);
    t.s_segmentLaneProfileB = rt::newIntArray(n);
    for (std::int32_t i = 0; i < n; ++i) {
        rt::IntArray::set(t.s_segmentLaneProfileA, i, reader.u8());
        rt::IntArray::set(t.s_segmentLaneProfileB, i, reader.u8());
    }
    t.s_shadeValue = reader.u16();
    if (!reader.fits(n, 1, "segment shades"))
        return false;
    t.s_segmentShade = reader.byteArray(n);
    std::int32_t decor = reader.u16();
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
    std::int32_t skipped = reader.u16();
    if (!reader.fits(skipped, 1, "skipped bytes"))
        return false;
    reader.skip(skipped);
    if (!reader.fits(n, 2 + 2 * static_cast<std::int64_t>(k), "segment attributes and trigger codes"))
        return false;
    t.s_segmentAttributes = reader.byteArray(2 * n);
    t.s_triggerCodes = rt::newShortArray(n * k);
    for (std::int32_t i = 0; i < n * k; ++i)
        rt::ShortArray::set(t.s_triggerCodes, i, static_cast<std::int16_t>(reader.s16()));
    if (!reader.fits(n, 2, "segment bytes"))
        return false;
    t.s_segmentBytesA = reader.byteArray(n);
    t.s_segmentBytesB = reader.byteArray(n);

    std::int32_t paths = reader.u8();
    if (paths > 0) {
        if (!reader.fits(paths, 1, "camera paths"))
            return false;
        t.s_cameraPaths = rt::newObjectArray(paths);
        for (std::int32_t i = 0; i < paths; ++i) {
            std::int32_t points = reader.u8();
            if (!reader.fits(points, 8, "camera path points"))
                return false;
            rt::ShortArray* path = rt::newShortArray(4 * points);
            for (std::int32_t j = 0; j < 4 * points; ++j)
                rt::ShortArray::set(path, j, static_cast<std::int16_t>(reader.s16()));
            rt::ObjectArray::set(t.s_cameraPaths, i, path);
        }
    }
    std::int32_t triples = reader.u16();
    if (!reader.fits(triples, 4, "option triples"))
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
        reader.skip(4 * triples);
    }
    t.s_backdropSprite = reader.s8();
    t.s_backdropMode = reader.u8();
    t.s_backdropBase = reader.s16();
    t.s_backdropBase2 = t.s_backdropBase;
    // Range counts are value counts; values are stored in sets of four.
    for (rt::IntArray* TrackStatics::*ranges : {&TrackStatics::s_startRanges, &TrackStatics::s_endRanges}) {
        std::int32_t count = reader.s16();
        if (count > 0) {
            rt::IntArray* values = rt::newIntArray(4 * count);
            if (!readSets(reader, count, 4, "ranges",
                          [&](std::int32_t i, std::int32_t v) { rt::IntArray::set(values, i, v); }))
                return false;
            t.*ranges = values;
        }
    }
    if (!reader.ok())
        return false;
    t.s_backdropSprite2 = -1;
    t.s_raceWordA = 0;
    t.s_raceWordB = 0;
    t.s_segmentFlagsA = rt::newByteArray(n);
    t.s_segmentFlagsB = rt::newByteArray(n);
    t.s_segmentState = rt::newIntArray(n);
    t.s_trackLoaded = 1;
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
