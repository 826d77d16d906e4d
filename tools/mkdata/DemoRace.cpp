// The demo set's race data: six tracks laid out by code (closed rings of
// straights, bends and hills), the game tables with the racer records and
// six race rows, the racers, a three-lap race of six cars on every track,
// and the track zones.
//
// Everything comes from fixed tables and integer arithmetic, so every run
// writes the same bytes.

#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/TrackWriter.h"
#include "tools/datakit/ZoneWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

// One stretch of a track: `segments` segments bending `curve` degrees each
// and climbing `slope` degrees each.
struct Stretch {
    int segments;
    int curve;
    int slope;
};

struct TrackPlan {
    const char* name;
    std::uint32_t sky, ground, road, verge;
    std::uint16_t halfWidth;
    int lanes;
    std::vector<Stretch> stretches;
    std::array<std::uint8_t, 3> targetSeconds;
};

// The bends of each plan add up to one full turn, so each ring closes.
const std::vector<TrackPlan>& plans() {
    static const std::vector<TrackPlan> all = {
        {"Dune Loop",
         0xF2C48A,
         0xD9A441,
         0x6E6259,
         0xC8B27A,
         900,
         3,
         {{60, 0, 0}, {30, 3, 1}, {40, 0, -1}, {45, 2, 0}, {50, 0, 2}, {30, 3, -2}, {60, 0, 0}, {45, 2, 0}},
         {95, 105, 120}},
        {"Glass Canyon",
         0x9CC7E8,
         0x8C5A3C,
         0x5A5652,
         0x7A4A30,
         700,
         2,
         {{40, 0, 0}, {20, -4, 2}, {30, 5, 0}, {50, 0, -2}, {36, 5, 1}, {25, -2, 0}, {40, 4, -1}, {30, 0, 0}},
         {110, 122, 138}},
        {"Salt Flats",
         0xE6EEF2,
         0xF0EFE6,
         0x77777A,
         0xDADAD2,
         1100,
         4,
         {{120, 0, 0}, {60, 3, 0}, {120, 0, 0}, {60, 3, 0}},
         {80, 90, 102}},
        {"Oasis Ridge",
         0xF7D59C,
         0x6E9E4A,
         0x625A50,
         0x4F7A34,
         800,
         3,
         {{50, 0, 1}, {30, 4, 2}, {40, -3, -1}, {30, 0, -2}, {50, 4, 0}, {40, 4, 1}, {60, 0, 0}, {30, 0, -1}},
         {100, 112, 126}},
        {"Storm Mesa",
         0x5E6A7A,
         0x8E6A4E,
         0x4E4A48,
         0x6A503C,
         750,
         2,
         {{35, 0, 3}, {25, 6, 0}, {35, 0, -3}, {30, -4, 1}, {40, 5, -1}, {30, 4, 2}, {45, 0, -2}, {10, 1, 0}},
         {115, 128, 144}},
        {"Crater Rim",
         0xD88A5A,
         0x7A6A5E,
         0x58504C,
         0x9A8474,
         850,
         3,
         {{45, 2, 0}, {45, 2, 1}, {45, 2, 0}, {45, 2, -1}, {45, 0, 0}, {45, 0, 0}},
         {90, 100, 114}},
    };
    return all;
}

std::vector<datakit::TrackSegment> segmentsOf(const TrackPlan& plan, int track) {
    std::vector<datakit::TrackSegment> segments;
    for (const Stretch& stretch : plan.stretches)
        for (int i = 0; i < stretch.segments; ++i) {
            datakit::TrackSegment s;
            s.curve = static_cast<std::int8_t>(stretch.curve);
            s.slope = static_cast<std::int8_t>(stretch.slope);
            // Shoulders widen the road on straights every 40 segments.
            s.edgeFlags = (stretch.curve == 0 && i % 40 < 8) ? 3 : 0;
            s.laneProfileA = 0;
            s.laneProfileB = static_cast<std::uint8_t>(stretch.curve == 0 ? 0 : 1);
            s.shade = static_cast<std::int8_t>(stretch.curve * 4);
            s.decor = static_cast<std::int8_t>((i * 7 + track) % 5);
            s.attribute = 0;
            // Surface 2 (boost) on the first segments of every long straight.
            s.surface =
                static_cast<std::uint8_t>(stretch.curve == 0 && stretch.segments >= 50 && i < 4 ? 2 : 1);
            s.triggers = {
                static_cast<std::int16_t>(i == 0 ? 0x100 + static_cast<int>(segments.size() % 97) : 0), 0};
            s.byteA = static_cast<std::int8_t>(i % 4);
            s.byteB = static_cast<std::int8_t>(stretch.slope);
            segments.push_back(s);
        }
    return segments;
}

// The top view of the ring, sampled at 36 points round its centre.
std::array<datakit::WirePoint, 36> wireModelOf(const std::vector<datakit::TrackSegment>& segments) {
    std::vector<double> xs, ys, hs;
    double x = 0, y = 0, h = 0, heading = 0;
    for (const auto& s : segments) {
        heading += s.curve * std::numbers::pi / 180;
        x += std::cos(heading);
        y += std::sin(heading);
        h += std::sin(s.slope * std::numbers::pi / 180);
        xs.push_back(x);
        ys.push_back(y);
        hs.push_back(h);
    }
    double cx = 0, cy = 0, reach = 1, lift = 1;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        cx += xs[i] / static_cast<double>(xs.size());
        cy += ys[i] / static_cast<double>(ys.size());
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        reach = std::max(reach, std::hypot(xs[i] - cx, ys[i] - cy));
        lift = std::max(lift, std::abs(hs[i]));
    }
    std::array<datakit::WirePoint, 36> model{};
    for (std::size_t p = 0; p < model.size(); ++p) {
        std::size_t i = p * xs.size() / model.size();
        double angle = std::atan2(ys[i] - cy, xs[i] - cx);
        if (angle < 0)
            angle += 2 * std::numbers::pi;
        model[p].angle = static_cast<std::uint16_t>(std::lround(angle / (2 * std::numbers::pi) * 65535));
        model[p].radius =
            static_cast<std::int8_t>(std::lround(std::hypot(xs[i] - cx, ys[i] - cy) / reach * 100));
        model[p].height = static_cast<std::int8_t>(std::lround(hs[i] / lift * 20));
    }
    return model;
}

} // namespace

datakit::TrackModel demoTrack(int track) {
    const TrackPlan& plan = plans()[static_cast<std::size_t>(track)];
    datakit::TrackModel t;
    t.segments = segmentsOf(plan, track);
    t.wireModel = wireModelOf(t.segments);
    t.styleColours = {plan.sky, plan.ground, plan.road, plan.verge,
                      0xFFFFFF, 0xCC2222,    plan.road, plan.verge};
    t.colourA = plan.sky;
    t.colourB = 0xFFFFFF;
    t.colourC = 0xE0C020;
    t.headerValue = static_cast<std::uint16_t>(t.segments.size() / 6);
    t.imageIds = {static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(6 + track)};
    t.styleValues = {200, 400, 60};
    t.roadHalfWidth = plan.halfWidth;
    t.roadMargin = static_cast<std::uint16_t>(plan.halfWidth / 3);
    t.laneByte = static_cast<std::uint8_t>(plan.lanes << 4);
    t.ambience = {15, 70, 10, 20, 60};
    t.sceneryImage = static_cast<std::uint8_t>(kFirstSceneryImage + track);
    // A start gate (a type-0 post pair and a banner) and a rock.
    t.objects = {{{0, 40},
                  {{0, {static_cast<std::uint8_t>(track), 1, static_cast<std::uint8_t>(10 + track)}},
                   {2, {0, 0, 300, 120, 0, 0, 0, 0, 0, 0, 0x1000}}}},
                 {{60, 60}, {{1, {30, 30, 0, 0, 80, 60, 4}}}}};
    const std::size_t sections = 6;
    for (std::size_t i = 0; i < sections; ++i)
        t.sections.push_back({static_cast<std::uint16_t>(i * t.segments.size() / sections),
                              static_cast<std::int8_t>(i), plan.road, plan.verge});
    t.sideProfiles = {{{plan.verge, plan.ground, 0xFFFFFF}, 0, 8, 120, {0, 1, 2, 0, 0}},
                      {{plan.verge, plan.ground, 0xCC2222}, 1, 12, 160, {1, 1, 2, 20, 0}}};
    t.spots = {{1, 12}, {2, static_cast<std::int16_t>(t.segments.size() / 2)}};
    t.triggersPerSegment = 2;
    t.style0 = static_cast<std::int8_t>(track);
    t.backdropOffset = static_cast<std::int16_t>(track * 40);
    t.targetSeconds = plan.targetSeconds;
    t.option = 1;
    t.trackShorts = {10, 20, 30, 40, 50, 60};
    t.trackInts = {4096, 8192};
    t.trackIntPairs = {0, 100};
    t.shadeValue = 64;
    t.hasDecor = true;
    t.cameraPaths = {{0, 300, 90, 10, 8, 240, 45, 12, 16, 200, 0, 14}};
    t.optionTriples = {{100, 0, 1}, {110, 1, 2}, {120, 2, 3}};
    t.backdropSprite = static_cast<std::int8_t>(20 + track);
    t.backdropMode = 1;
    t.backdropBase = 160;
    t.startRanges = {0, 5, 0, 1};
    t.endRanges = {static_cast<std::int16_t>(t.segments.size() - 5),
                   static_cast<std::int16_t>(t.segments.size() - 1), 0, 1};
    return t;
}

namespace {

// Racers: the player's block first (eight cars), then six computer drivers.
struct RacerPlan {
    std::uint8_t spriteSet;
    std::uint16_t topSpeed; // km/h
    std::uint16_t braking;
    std::uint16_t weight;
};

const std::vector<std::vector<RacerPlan>>& racerBlocks() {
    static const std::vector<std::vector<RacerPlan>> blocks = {
        {{43, 212, 6, 1180},
         {44, 205, 7, 1090},
         {45, 224, 5, 1320},
         {46, 198, 8, 980},
         {47, 231, 5, 1410},
         {48, 208, 7, 1150},
         {49, 218, 6, 1240},
         {51, 236, 4, 1480}},
        {{43, 204, 6, 1200},
         {45, 210, 6, 1260},
         {47, 216, 5, 1350},
         {49, 208, 7, 1120},
         {50, 200, 7, 1060},
         {51, 220, 5, 1400}},
    };
    return blocks;
}

datakit::RacerDefinition racerOf(const RacerPlan& plan, int id) {
    datakit::RacerDefinition r;
    r.spriteSet = plan.spriteSet;
    r.values = {static_cast<std::uint8_t>(id % 4), static_cast<std::uint8_t>(plan.spriteSet + 1),
                static_cast<std::uint8_t>(id)};
    r.nameText = static_cast<std::uint16_t>(200 + id);
    r.value6 = static_cast<std::uint16_t>(plan.topSpeed * 10);
    r.speed = plan.topSpeed;
    // Five gears up to the top speed; each takes longer to pull.
    for (int gear = 1; gear <= 5; ++gear) {
        r.speedSteps.push_back(static_cast<std::uint16_t>(plan.topSpeed * gear / 5));
        r.timesMs.push_back(static_cast<std::uint16_t>(700 + gear * 450 + plan.weight / 4));
    }
    r.braking = plan.braking;
    r.grip88 = static_cast<std::uint16_t>(0x0100 + (1500 - plan.weight) / 4);
    r.turnDegrees = static_cast<std::uint8_t>(40 + (1500 - plan.weight) / 25);
    r.weight = plan.weight;
    r.value11 = 3;
    r.widthProfile = {100, 97, 93, 87, 82, 120, 82, 87, 93, 97, 100};
    r.widthTail = 24;
    return r;
}

datakit::GameTables gameTables() {
    datakit::GameTables t;
    int id = 0;
    for (std::size_t block = 0; block < racerBlocks().size(); ++block) {
        datakit::RecordChunk chunk;
        chunk.value = static_cast<std::uint16_t>(block);
        for (const RacerPlan& plan : racerBlocks()[block]) {
            datakit::TableRecord record;
            record.fields = {static_cast<std::uint8_t>(id), plan.spriteSet, 0, 0, 0, 0, 0, 0, 0};
            record.field9 = static_cast<std::uint16_t>(1000 + id);
            chunk.records.push_back(record);
            ++id;
        }
        t.chunks.push_back(chunk);
    }
    for (int race = 0; race < 6; ++race)
        t.races.push_back(
            {{static_cast<std::int8_t>(race), static_cast<std::int8_t>(race), static_cast<std::int8_t>(race),
              static_cast<std::int8_t>(race + 1), 0, 0, 0, -1}});
    return t;
}

} // namespace

datakit::EventEntry demoEvent(int track) {
    const TrackPlan& plan = plans()[static_cast<std::size_t>(track)];
    datakit::EventEntry e;
    for (std::uint16_t p = 0; p < 4; ++p)
        e.path.push_back(
            {static_cast<std::uint16_t>(p * 40), 0, 300, static_cast<std::uint8_t>(p), 4096, 0, 0, 1, 0, 0});
    datakit::EventVariant race;
    // A race: type 0, three target times in ms, title 0, 3 laps, the whole
    // lap as its stretch, 6 racers.
    race.row = {0,
                plan.targetSeconds[0] * 3000,
                plan.targetSeconds[1] * 3000,
                plan.targetSeconds[2] * 3000,
                0,
                3,
                -1,
                -1,
                0,
                0,
                0,
                0,
                0,
                0,
                0,
                0,
                6};
    race.triggers = {0x100, 0x200};
    race.shorts = {0, 1, 2};
    e.variants = {race};
    return e;
}

namespace {

std::vector<datakit::TrackZone> zonesOf(int track) {
    std::size_t segments = segmentsOf(plans()[static_cast<std::size_t>(track)], track).size();
    std::vector<datakit::TrackZone> zones;
    for (std::size_t z = 0; z < 6; ++z)
        zones.push_back({static_cast<std::uint16_t>(z * segments / 6), static_cast<std::int8_t>(z),
                         static_cast<std::int8_t>(z % 2 ? -1 : 1)});
    return zones;
}

} // namespace

void addPack(ProgramFolder& folder, std::u16string_view file, const std::vector<datakit::Bytes>& payloads) {
    std::vector<datakit::Bytes> entries;
    for (const datakit::Bytes& payload : payloads)
        entries.push_back(datakit::packEntry(0, payload));
    for (datakit::ArchiveEntry& part :
         datakit::packArchiveEntries(file, kPackPartSeparatorText, datakit::writePack(entries)))
        folder.archive.push_back(std::move(part));
}

TrackColours demoTrackColours(int track) {
    const TrackPlan& plan = plans()[static_cast<std::size_t>(track)];
    return {plan.sky, plan.ground};
}

void produceRaceData(ProgramFolder& folder) {
    std::vector<datakit::Bytes> tracks, events, zones, racers;
    for (int track = 0; track < kDemoTrackCount; ++track) {
        tracks.push_back(datakit::writeTrack(demoTrack(track)));
        events.push_back(datakit::writeEventEntry(demoEvent(track)));
        zones.push_back(datakit::writeZones(zonesOf(track)));
    }
    int id = 0;
    for (const auto& block : racerBlocks())
        for (const RacerPlan& plan : block)
            racers.push_back(datakit::writeRacer(racerOf(plan, id++)));
    addPack(folder, kTrackPackFile, tracks);
    addPack(folder, kEventPackFile, events);
    addPack(folder, kZonePackFile, zones);
    addPack(folder, kRacerPackFile, racers);
    addPack(folder, kGameTablesPackFile, {datakit::writeGameTables(gameTables())});
}

} // namespace mkdata
