#pragma once
// What the race data tests share: the data fixture with the race's packs
// named by their constant strings, a helper that puts several packs into one
// archive, racer records and definitions, and random track models.

#include "game/framework/SlotTables.h"
#include "game/framework/StartupLoad.h"
#include "runtime/Array.h"
#include "runtime/constantStrings.h"
#include "tests/game/data/DataFixture.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/TrackWriter.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace race_testing {

using datakit::Bytes;

struct RaceDataTest : data_testing::DataTest {
    RaceDataTest() {
        namespace c = rt::constants;
        testing_support::installConstantStrings({{c::kDefaultMessage, ""},
                                                 {c::kPackPartSeparator, "."},
                                                 {c::kRacerPack, "/racers.pak"},
                                                 {c::kRaceImagePack, "/images.pak"},
                                                 {c::kGameTablesPack, "/tables.pak"},
                                                 {c::kTrackPack, "/tracks.pak"},
                                                 {c::kEventPack, "/events.pak"},
                                                 {c::kZonePack, "/zones.pak"},
                                                 {c::kRecordStoreFull, "full"},
                                                 {c::kRecordStorePathSeparator, "\\"},
                                                 {c::kRecordStorePrefix, "rms_"},
                                                 {c::kRecordStoreSuffix, ".dat"},
                                                 {c::kRecordStoreWriteFailed, "not written"},
                                                 {c::kRecordStoreRecordInfix, "_"},
                                                 {c::kRecordReadFailed, "unreadable: "},
                                                 {c::kEventResultsStore, "Results"},
                                                 {c::kEventRecordsStore, "Records"}});
        // The object flag table that the track loader writes into.
        game::startupStatics().s_objectFlags = rt::newObjectArray(92);
    }

    // Writes "data.bar" holding each pack; the platform reads the archive's
    // index once, so a test writes it once (name without '/', payloads of its
    // entries, each stored behind a header byte of 0).
    void putPacks(const std::vector<std::pair<std::string, std::vector<Bytes>>>& packs) {
        std::vector<datakit::ArchiveEntry> files;
        for (const auto& [name, payloads] : packs) {
            std::vector<Bytes> entries;
            for (const Bytes& payload : payloads)
                entries.push_back(datakit::packEntry(0, payload));
            for (auto& file :
                 datakit::packArchiveEntries(datakit::widen(name), u".", datakit::writePack(entries)))
                files.push_back(std::move(file));
        }
        putArchive(files);
    }
};

// An int array of `values`, and the values of an int array (none for null).
inline rt::IntArray* ints(const std::vector<std::int32_t>& values) {
    rt::IntArray* a = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        rt::IntArray::set(a, static_cast<std::int32_t>(i), values[i]);
    return a;
}
inline std::vector<std::int32_t> values(const rt::IntArray* a) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; a && i < a->length(); ++i)
        out.push_back(rt::IntArray::get(a, i));
    return out;
}

// The game tables with racer records 0..count-1, each naming definition
// row `count - 1 - id`.
inline Bytes recordTables(int count) {
    datakit::GameTables t;
    t.chunks.push_back({});
    for (int id = 0; id < count; ++id) {
        datakit::TableRecord record;
        record.fields[0] = static_cast<std::uint8_t>(count - 1 - id);
        t.chunks[0].records.push_back(record);
    }
    return datakit::writeGameTables(t);
}

// A racer definition of three speed steps up to 90 km/h.
inline datakit::RacerDefinition racerDefinition() {
    datakit::RacerDefinition r;
    r.spriteSet = 44;
    // Value 1 is the second sprite set, another car.
    r.values = {7, 45, 9};
    r.speed = 90;
    r.speedSteps = {30, 60, 90};
    r.timesMs = {0, 1500};
    r.braking = 3;
    r.grip88 = 0x0180;
    r.turnDegrees = 90;
    r.weight = 1200;
    r.value11 = 11;
    r.widthProfile = {100, 97, 93, 87, 82, 120, 82, 87, 93, 97, 100};
    r.widthTail = 24;
    return r;
}

// A random track of `segments` segments with `triggers` codes each; every
// shape type, decor when asked, triples present.
inline datakit::TrackModel randomTrack(std::mt19937& rng, int segments, int triggers, bool decor) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto rgb = [&] { return static_cast<std::uint32_t>(pick(0, 0xFFFFFF)); };
    datakit::TrackModel t;
    for (auto& p : t.wireModel)
        p = {static_cast<std::uint16_t>(pick(0, 65535)), static_cast<std::int8_t>(pick(-128, 127)),
             static_cast<std::int8_t>(pick(-128, 127))};
    for (auto& c : t.styleColours)
        c = rgb();
    t.colourA = rgb();
    t.colourB = rgb();
    t.colourC = rgb();
    t.headerValue = static_cast<std::uint16_t>(pick(0, 65535));
    t.imageIds.resize(static_cast<std::size_t>(pick(0, 5)));
    for (auto& id : t.imageIds)
        id = static_cast<std::uint8_t>(pick(0, 255));
    for (auto& v : t.styleValues)
        v = static_cast<std::uint16_t>(pick(0, 65535));
    t.roadHalfWidth = static_cast<std::uint16_t>(pick(100, 4000));
    t.roadMargin = static_cast<std::uint16_t>(pick(0, 800));
    t.laneByte = static_cast<std::uint8_t>((pick(1, 15) << 4) | pick(0, 15));
    t.extraItems.resize(static_cast<std::size_t>(pick(0, 3)));
    t.ambience = {static_cast<std::uint8_t>(pick(0, 40)), static_cast<std::uint8_t>(pick(40, 100)),
                  static_cast<std::uint8_t>(pick(0, 40)), static_cast<std::uint8_t>(pick(0, 50)),
                  static_cast<std::uint8_t>(pick(51, 200))};
    t.sceneryImage = static_cast<std::uint8_t>(pick(0, 9));
    const std::vector<std::int8_t> types = {0, 1, 2, 3, 4, 6, 9};
    for (int i = pick(1, 4); i > 0; --i) {
        datakit::TrackObject object;
        object.points.resize(static_cast<std::size_t>(2 * pick(0, 2)));
        for (auto& v : object.points)
            v = static_cast<std::uint16_t>(pick(0, 65535));
        for (std::int8_t type : types) {
            datakit::TrackShape shape{type, {}};
            std::size_t count = type == 0                  ? 3
                                : (type == 1 || type == 3) ? 7
                                : (type == 2 || type == 6) ? 11
                                                           : 0;
            for (std::size_t v = 0; v < count; ++v)
                shape.values.push_back(static_cast<std::uint16_t>(type == 0 ? pick(0, 91) : pick(0, 65535)));
            if (type == 6)
                shape.values[0] = static_cast<std::uint16_t>(pick(0, 91)); // goes to [8], the flag entry
            object.shapes.push_back(shape);
        }
        t.objects.push_back(object);
    }
    for (int i = pick(1, 4); i > 0; --i)
        t.sections.push_back({static_cast<std::uint16_t>(pick(0, segments - 1)),
                              static_cast<std::int8_t>(pick(-128, 127)), rgb(), rgb()});
    for (int i = pick(1, 3); i > 0; --i) {
        datakit::SideProfile p;
        for (auto& c : p.colours)
            c = rgb();
        p.valueA = static_cast<std::uint8_t>(pick(0, 255));
        p.valueB = static_cast<std::uint8_t>(pick(0, 255));
        p.width = static_cast<std::uint16_t>(pick(0, 65535));
        for (auto& b : p.bytes)
            b = static_cast<std::uint8_t>(pick(0, 255));
        t.sideProfiles.push_back(p);
    }
    for (int i = pick(0, 3); i > 0; --i)
        t.spots.push_back(
            {static_cast<std::int8_t>(pick(-128, 127)), static_cast<std::int16_t>(pick(-32768, 32767))});
    t.triggersPerSegment = static_cast<std::uint8_t>(triggers);
    t.style0 = static_cast<std::int8_t>(pick(-128, 127));
    t.backdropOffset = static_cast<std::int16_t>(pick(-32768, 32767));
    t.targetSeconds = {static_cast<std::uint8_t>(pick(0, 255)), static_cast<std::uint8_t>(pick(0, 255)),
                       static_cast<std::uint8_t>(pick(0, 255))};
    for (int i = 0; i < segments; ++i) {
        datakit::TrackSegment s;
        s.curve = static_cast<std::int8_t>(pick(-128, 127));
        s.edgeFlags = static_cast<std::uint8_t>(pick(0, 127));
        s.slope = static_cast<std::int8_t>(pick(-16, 15));
        s.spareBits = static_cast<std::uint8_t>(pick(0, 15));
        s.laneProfileA = static_cast<std::uint8_t>(pick(0, 255));
        s.laneProfileB = static_cast<std::uint8_t>(pick(0, 255));
        s.shade = static_cast<std::int8_t>(pick(-128, 127));
        s.decor = static_cast<std::int8_t>(pick(-128, 127));
        s.attribute = static_cast<std::uint8_t>(pick(0, 255));
        s.surface = static_cast<std::uint8_t>(pick(0, 255));
        for (int k = 0; k < triggers; ++k)
            s.triggers.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
        s.byteA = static_cast<std::int8_t>(pick(-128, 127));
        s.byteB = static_cast<std::int8_t>(pick(-128, 127));
        t.segments.push_back(s);
    }
    t.option = static_cast<std::uint8_t>(pick(0, 255));
    for (int i = pick(0, 13); i > 0; --i)
        t.trackShorts.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
    for (int i = pick(0, 3); i > 0; --i)
        t.trackInts.push_back(pick(INT32_MIN, INT32_MAX));
    for (int i = 2 * pick(0, 3); i > 0; --i)
        t.trackIntPairs.push_back(pick(INT32_MIN, INT32_MAX));
    t.shadeValue = static_cast<std::uint16_t>(pick(0, 65535));
    t.hasDecor = decor;
    t.skipped.resize(static_cast<std::size_t>(pick(0, 4)), 0xEE);
    for (int i = pick(0, 3); i > 0; --i) {
        std::vector<std::int16_t> path;
        for (int v = 4 * pick(0, 4); v > 0; --v)
            path.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
        t.cameraPaths.push_back(path);
    }
    for (int i = pick(1, 4); i > 0; --i)
        t.optionTriples.push_back({static_cast<std::uint16_t>(pick(0, 65535)),
                                   static_cast<std::uint8_t>(pick(0, 255)),
                                   static_cast<std::uint8_t>(pick(0, 255))});
    t.backdropSprite = static_cast<std::int8_t>(pick(-1, 60));
    t.backdropMode = static_cast<std::uint8_t>(pick(0, 255));
    t.backdropBase = static_cast<std::int16_t>(pick(-32768, 32767));
    for (int i = pick(0, 9); i > 0; --i)
        t.startRanges.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
    for (int i = pick(0, 9); i > 0; --i)
        t.endRanges.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
    return t;
}

} // namespace race_testing
