// The demo set's race data: six tracks laid out by code (closed rings of
// straights, bends, hills and a ramp, each with its own sky, fog, verges,
// kerbs, walls, banks, section models, scenery and race objects), the game
// tables with the racer records and
// six race rows, the racers, a three-lap race of six cars on every track,
// and the track zones.
//
// Everything comes from fixed tables and integer arithmetic, so every run
// writes the same bytes.

#include "game/framework/States.h"
#include "game/race/EventRowLayout.h"
#include "game/race/EventType.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RacePictures.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/TrackRing.h"
#include "tools/datakit/TrackRoadside.h"
#include "tools/datakit/TrackWriter.h"
#include "tools/datakit/TriggerCodes.h"
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

// A track's look. The verges alternate between their two shades segment by
// segment; the kerbs and the walls alternate the same way.
struct TrackLook {
    std::uint32_t sky, fog, ground, road;
    std::array<std::uint32_t, 2> verge, kerb, wall;
    // Where the fog starts (depth units; the fog is full at 15360).
    std::uint16_t fogStart;
    // Whether the ground beside the straights is banked.
    bool banked;
};

struct TrackPlan {
    const char* name;
    TrackLook theme;
    std::uint16_t halfWidth;
    int lanes;
    std::vector<Stretch> stretches;
    std::array<std::uint8_t, 3> targetSeconds;
};

// The bends of each plan add up to one full turn, so each ring closes.
const std::vector<TrackPlan>& plans() {
    static const std::vector<TrackPlan> all = {
        {"Dune Loop",
         {0xF2C48A,
          0xF6DDB0,
          0xD9A441,
          0x6E6259,
          {0xC8B27A, 0xB89E62},
          {0xD02020, 0xF0F0F0},
          {0xB07040, 0x8E5A34},
          9000,
          true},
         900,
         3,
         {{60, 0, 0}, {30, 3, 1}, {40, 0, -1}, {45, 2, 0}, {50, 0, 2}, {30, 3, -2}, {60, 0, 0}, {45, 2, 0}},
         {95, 105, 120}},
        {"Glass Canyon",
         {0x9CC7E8,
          0xC4DCEE,
          0x8C5A3C,
          0x5A5652,
          {0x7A4A30, 0x6A3E28},
          {0x2050C0, 0xF0F0F0},
          {0xA0522D, 0x7F4125},
          7000,
          false},
         700,
         2,
         {{40, 0, 0}, {20, -4, 2}, {30, 5, 0}, {50, 0, -2}, {36, 5, 1}, {25, -2, 0}, {40, 4, -1}, {30, 0, 0}},
         {110, 122, 138}},
        {"Salt Flats",
         {0xE6EEF2,
          0xF4F6F8,
          0xF0EFE6,
          0x77777A,
          {0xDADAD2, 0xC8C8BE},
          {0x202020, 0xF0F0F0},
          {0x9090A0, 0x7A7A88},
          12000,
          false},
         1100,
         4,
         {{120, 0, 0}, {60, 3, 0}, {120, 0, 0}, {60, 3, 0}},
         {80, 90, 102}},
        {"Oasis Ridge",
         {0xF7D59C,
          0xE8E0B8,
          0x6E9E4A,
          0x625A50,
          {0x4F7A34, 0x5E8C3E},
          {0xE0A020, 0x305020},
          {0xC8B48C, 0xA8946C},
          8000,
          true},
         800,
         3,
         {{50, 0, 1}, {30, 4, 2}, {40, -3, -1}, {30, 0, -2}, {50, 4, 0}, {40, 4, 1}, {60, 0, 0}, {30, 0, -1}},
         {100, 112, 126}},
        {"Storm Mesa",
         {0x5E6A7A,
          0x7A8490,
          0x8E6A4E,
          0x4E4A48,
          {0x6A503C, 0x5A4432},
          {0xF0D000, 0x202020},
          {0x505860, 0x40484E},
          5000,
          true},
         750,
         2,
         {{35, 0, 3}, {25, 6, 0}, {35, 0, -3}, {30, -4, 1}, {40, 5, -1}, {30, 4, 2}, {45, 0, -2}, {10, 1, 0}},
         {115, 128, 144}},
        {"Crater Rim",
         {0xD88A5A,
          0xE0A080,
          0x7A6A5E,
          0x58504C,
          {0x9A8474, 0x887262},
          {0xE05010, 0xF0E0D0},
          {0x3A302C, 0x2C2420},
          10000,
          true},
         850,
         3,
         {{45, 2, 0}, {45, 2, 1}, {45, 2, 0}, {45, 2, -1}, {45, 0, 0}, {45, 0, 0}},
         {90, 100, 114}},
    };
    return all;
}

// The section models, which are the track's objects: the start gate, a bend
// sign, a marshal's hut (these three never push a car), a crate and a stack
// of barrels narrowing the road (obstacle boxes: the crate stands on the
// left edge, the barrels come with the event's dynamic entries; either
// placed on the right edge, where a car left to itself runs, holds that car
// there for good), a billboard, the timed
// gate at the road's edges, then the models the dynamic bumps and ramps
// show. The billboard and the gate have no lateral extent, so they push
// nothing either; the gate's number is the one the race's gate rule reads.
enum SectionModel : int {
    kStartGate,
    kBendSign,
    kHut,
    kCrate,
    kBarrels,
    kBillboard,
    kGate,
    kBump,
    kRamp,
    kModelCount
};

// The dynamic entries of every race, indexed by the dynamic trigger codes.
enum DynamicEntry : int {
    kItemBoxLeft,
    kItemBoxCentre,
    kItemBoxRight,
    kCoinLeft,
    kCoinCentre,
    kCoinRight,
    kTenCoins,
    kLapTwoBoost,
    kLapTwoBump,
    kRampEveryLap,
    kLapThreeHazard,
    kBarrelsEveryLap,
    // The guided race's own: ten-coins beside the centre lane's, so that a
    // car leaving the ramp from any lane lands on one.
    kTenCoinsLeft,
    kTenCoinsRight,
};

std::vector<std::int32_t> dynamicEntries() {
    using datakit::DynamicAction;
    return {
        datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 2, 1),
        datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 3, 3),
        datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 4, 5),
        datakit::dynamicAction(DynamicAction::Coin, 0, true, 2),
        datakit::dynamicAction(DynamicAction::Coin, 0, true, 3),
        datakit::dynamicAction(DynamicAction::Coin, 0, true, 4),
        datakit::dynamicAction(DynamicAction::TenCoins, 0, true, 3),
        datakit::dynamicAction(DynamicAction::Boost, 1, false, 3),
        datakit::dynamicAction(DynamicAction::Bump, 1, false, 4),
        datakit::dynamicAction(DynamicAction::Ramp, 0, true, 3),
        datakit::dynamicAction(DynamicAction::Hazard, 2, false, 2),
        datakit::dynamicBox(kBarrels, 0, true),
    };
}

// What stands on a straight, by its distance from the straight's start.
// The straights take turns at three groups, so every track shows each kind.
struct Placement {
    int offset;
    int slot;
    std::int16_t code;
    // On a straight too short for the offset it stands this many segments
    // before the straight's end instead; 0 leaves it out.
    int fromEnd = 0;
};

std::vector<Placement> straightPlacements(int group) {
    using datakit::TriggerKind;
    auto lane = datakit::laneTrigger;
    auto dynamic = [](int entry) { return datakit::dynamicTrigger(entry, 0); };
    switch (group) {
    case 0:
        return {{4, 1, lane(TriggerKind::Boost, 3)},
                {5, 1, lane(TriggerKind::Boost, 3)},
                {10, 1, dynamic(kCoinLeft)},
                {11, 1, dynamic(kCoinCentre)},
                {12, 1, dynamic(kCoinRight)},
                {18, 0, dynamic(kItemBoxLeft)},
                {18, 1, dynamic(kItemBoxRight)},
                {19, 1, dynamic(kItemBoxCentre)},
                {26, 0, datakit::boxTrigger(kCrate, true)}};
    case 1:
        return {{6, 1, lane(TriggerKind::Bump, 4)},
                {12, 1, dynamic(kTenCoins)},
                {24, 1, dynamic(kLapTwoBoost)},
                {30, 1, dynamic(kLapTwoBump)},
                {36, 0, datakit::boxTrigger(kGate, false), 4}};
    default:
        return {{6, 1, lane(TriggerKind::Hazard, 2)},
                {14, 1, dynamic(kRampEveryLap)},
                {22, 1, dynamic(kBarrelsEveryLap)},
                {28, 1, dynamic(kLapThreeHazard)},
                {34, 0, dynamic(kItemBoxCentre)}};
    }
}

// The stretch whose middle holds the ramp and the rough patch after it:
// the first straight long enough.
constexpr int kRampStretchLength = 40;

datakit::TrackRing ringOf(const TrackPlan& plan) {
    datakit::TrackRing ring;
    bool rampLaid = false;
    for (const Stretch& stretch : plan.stretches) {
        if (stretch.curve > 0) {
            ring.left(stretch.curve * stretch.segments, stretch.segments);
        } else if (stretch.curve < 0) {
            ring.right(-stretch.curve * stretch.segments, stretch.segments);
        } else if (!rampLaid && stretch.segments >= kRampStretchLength) {
            // The ramp and its landing take six segments, the rough patch six.
            const int before = stretch.segments / 2;
            ring.straight(before).ramp().surface(datakit::kSurfaceRough, 6);
            ring.straight(stretch.segments - before - 12);
            rampLaid = true;
        } else {
            ring.straight(stretch.segments);
        }
    }
    return ring;
}

// Walls line the outside of every bend (kind 0 on the left, 1 on the
// right), the last segment of each run closing it; the straights of
// unbanked tracks run between walls on both sides (kind 2) every other
// straight. Banks slope the ground on the straights, changing sides
// straight by straight.
datakit::TrackRoadside roadsideOf(const TrackPlan& plan, const std::vector<datakit::TrackSegment>& segments) {
    const TrackLook& theme = plan.theme;
    datakit::TrackRoadside r;
    r.fogStart = theme.fogStart;
    using datakit::wall_bits::kLeft;
    using datakit::wall_bits::kRight;
    r.wallKinds = {{kLeft, 500, theme.wall[0], theme.wall[1]},
                   {kRight, 500, theme.wall[0], theme.wall[1]},
                   {kLeft | kRight, 260, theme.kerb[0], theme.kerb[1]}};
    r.walls.assign(segments.size(), 0);
    if (theme.banked)
        r.banks = std::vector<std::int8_t>(segments.size(), 0);
    std::size_t at = 0;
    int straights = 0;
    for (const Stretch& stretch : plan.stretches) {
        const auto n = static_cast<std::size_t>(stretch.segments);
        for (std::size_t i = 0; i < n; ++i) {
            const bool last = i + 1 == n;
            if (stretch.curve != 0)
                r.walls[at + i] = datakit::wallByte(stretch.curve > 0 ? 1 : 0, last);
            else if (!theme.banked && straights % 2 == 1)
                r.walls[at + i] = datakit::wallByte(2, last);
            else if (r.banks && i > 2 && i + 3 < n)
                (*r.banks)[at + i] = datakit::bankByte(96, straights % 2 == 0);
        }
        if (stretch.curve == 0)
            ++straights;
        at += n;
    }
    using datakit::colourPrimitive;
    using datakit::linePrimitive;
    using datakit::polygonPrimitive;
    using datakit::rectanglePrimitive;
    auto rgb = [](std::uint32_t c, int part) { return static_cast<std::uint8_t>(c >> (16 - 8 * part)); };
    auto colour = [&](std::uint32_t c) { return colourPrimitive(rgb(c, 0), rgb(c, 1), rgb(c, 2)); };
    r.sectionModels.resize(kModelCount);
    // Lateral positions from the road's right edge: `across` is the left edge.
    const auto across = static_cast<std::int16_t>(-2 * plan.halfWidth);
    r.sectionModels[kStartGate] = {colour(0x303030),
                                   rectanglePrimitive(60, 480, 0, 120, 540, 900),
                                   rectanglePrimitive(across - 120, 480, 0, across - 60, 540, 900),
                                   colour(theme.kerb[0]),
                                   rectanglePrimitive(across - 120, 500, 700, 120, 520, 900),
                                   colour(theme.kerb[1]),
                                   linePrimitive(across - 120, 510, 800, 120, 510, 800)};
    r.sectionModels[kBendSign] = {
        colour(0x909090), rectanglePrimitive(180, 500, 0, 200, 520, 260),
        colour(0xF2C200), rectanglePrimitive(100, 500, 220, 280, 520, 380),
        colour(0x101010), polygonPrimitive(0, {150, 510, 240}, {240, 510, 300}, {150, 510, 360})};
    r.sectionModels[kHut] = {colour(theme.wall[0]), rectanglePrimitive(400, 300, 0, 800, 700, 360, 2),
                             colour(theme.kerb[0]),
                             polygonPrimitive(0, {360, 500, 360}, {600, 500, 520}, {840, 500, 360}, 2)};
    r.sectionModels[kCrate] = {colour(0x8A5A2B), rectanglePrimitive(-300, 400, 0, 0, 600, 240),
                               colour(0x5A3A1B), linePrimitive(-300, 500, 0, 0, 500, 240)};
    r.sectionModels[kBarrels] = {colour(0xC03020), rectanglePrimitive(-300, 420, 0, -160, 580, 200),
                                 colour(0x2040A0), rectanglePrimitive(-140, 420, 0, 0, 580, 200)};
    r.sectionModels[kBillboard] = {colour(0x404040),
                                   rectanglePrimitive(300, 500, 0, 320, 520, 500),
                                   rectanglePrimitive(700, 500, 0, 720, 520, 500),
                                   colour(theme.sky),
                                   rectanglePrimitive(260, 500, 420, 760, 520, 720, 2),
                                   colour(theme.kerb[0]),
                                   rectanglePrimitive(300, 500, 540, 720, 520, 600, 2)};
    r.sectionModels[kGate] = {
        colour(theme.kerb[0]), rectanglePrimitive(0, 480, 0, 60, 540, 700),
        rectanglePrimitive(static_cast<std::int16_t>(across - 60), 480, 0, across, 540, 700),
        colour(theme.kerb[1]), linePrimitive(static_cast<std::int16_t>(across - 60), 510, 680, 60, 510, 680)};
    r.sectionModels[kBump] = {colour(theme.kerb[1]),
                              polygonPrimitive(0, {0, 400, 0}, {256, 500, 60}, {512, 600, 0})};
    r.sectionModels[kRamp] = {colour(theme.kerb[0]),
                              polygonPrimitive(0, {0, 200, 0}, {400, 900, 240}, {800, 900, 0})};
    // A hedge runs beside the first bend of every track.
    for (std::int16_t s = 0; s < 12; ++s)
        r.strips.push_back({static_cast<std::int16_t>(plan.stretches[0].segments + s), 0,
                            static_cast<std::int16_t>(plan.halfWidth + 400), 0,
                            static_cast<std::int16_t>(s + 1 < 12 ? 0 : -1), 0});
    return r;
}

// The guided race's course on the first track: what its steps wait for,
// coded for the guided variant and left alone by every other event. Each
// straight opens with a row of item boxes across the lanes (the item step),
// then runs coins lane by lane to its end (the collecting step); a ramp
// trigger at the ramp's foot launches the car and ten-coins lie across the
// road just past it, where the car is still in the air (the jumping step). Each code takes the first free
// slot of its segment or the next ones.
void layGuidedCourse(const TrackPlan& plan, std::vector<datakit::TrackSegment>& segments) {
    const int guided = game::gameModeNumber(game::GameMode::Guided);
    const auto lay = [&](std::size_t at, int entry) {
        for (std::size_t s = at; s < segments.size() && s < at + 3; ++s)
            for (std::int16_t& slot : segments[s].triggers)
                if (slot == 0) {
                    slot = datakit::dynamicTrigger(entry, guided);
                    return;
                }
    };
    std::size_t at = 0;
    for (const Stretch& stretch : plan.stretches) {
        const auto n = static_cast<std::size_t>(stretch.segments);
        if (stretch.curve == 0) {
            for (int lane = 0; lane < 3; ++lane)
                lay(at + 1 + static_cast<std::size_t>(lane), kItemBoxLeft + lane);
            for (std::size_t i = 8; i + 4 < n; ++i)
                lay(at + i, kCoinLeft + static_cast<int>(i % 3));
        }
        at += n;
    }
    for (std::size_t s = 0; s < segments.size(); ++s)
        if (segments[s].surface == datakit::kSurfaceRamp) {
            // A ten-coin counts only in a launched jump: the guided course
            // launches from the ramp's foot.
            lay(s - 1, kRampEveryLap);
            lay(s + 2, kTenCoinsLeft);
            lay(s + 2, kTenCoins);
            lay(s + 3, kTenCoinsRight);
            break;
        }
}

std::vector<datakit::TrackSegment> segmentsOf(const TrackPlan& plan, int track) {
    std::vector<datakit::TrackSegment> segments = ringOf(plan).segments();
    std::size_t at = 0;
    int straights = 0;
    for (const Stretch& stretch : plan.stretches) {
        const std::vector<Placement> placements =
            stretch.curve == 0 ? straightPlacements(straights++ % 3) : std::vector<Placement>{};
        for (int i = 0; i < stretch.segments; ++i) {
            datakit::TrackSegment& s = segments[at + static_cast<std::size_t>(i)];
            if (s.slope == 0 && s.surface == datakit::kSurfaceRoad)
                s.slope = static_cast<std::int8_t>(stretch.slope);
            // Shoulders on both sides widen the straights every 40 segments.
            if (stretch.curve == 0 && i % 40 < 8)
                s.edgeFlags = 0x0C;
            // Side profile 1 in the bends.
            s.laneProfileA = s.laneProfileB = static_cast<std::uint8_t>(stretch.curve == 0 ? 0 : 1);
            s.shade = static_cast<std::int8_t>(stretch.curve * 4);
            s.byteB = static_cast<std::int8_t>(stretch.slope);
            if (i == 0 && stretch.curve != 0)
                s.triggers[0] = datakit::boxTrigger(kBendSign, stretch.curve < 0);
            else if (stretch.curve == 0 && i % 15 == 7)
                s.triggers[0] = datakit::boxTrigger(i % 30 == 7 ? kHut : kBillboard, (i + track) % 2 == 1);
            if (s.surface == datakit::kSurfaceRamp)
                s.triggers[1] = datakit::laneTrigger(datakit::TriggerKind::Ramp, 3);
        }
        // Placements past a short straight's end (unless they move back
        // from it: every track's gate) or on the ramp are left out.
        for (const Placement& p : placements) {
            const int offset = p.offset < stretch.segments ? p.offset : stretch.segments - p.fromEnd;
            if (offset >= stretch.segments || offset < 0)
                continue;
            datakit::TrackSegment& s = segments[at + static_cast<std::size_t>(offset)];
            if (s.surface == datakit::kSurfaceRoad)
                s.triggers[static_cast<std::size_t>(p.slot)] = p.code;
        }
        at += static_cast<std::size_t>(stretch.segments);
    }
    segments[0].triggers[0] = datakit::boxTrigger(kStartGate, false);
    if (track == 0)
        layGuidedCourse(plan, segments);
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
    const TrackLook& theme = plan.theme;
    datakit::TrackModel t = ringOf(plan).model(plan.halfWidth, static_cast<std::uint16_t>(plan.halfWidth / 3),
                                               static_cast<std::uint8_t>(plan.lanes));
    t.segments = segmentsOf(plan, track);
    t.wireModel = wireModelOf(t.segments);
    t.styleColours = {theme.sky, theme.ground,  theme.road, theme.verge[0],
                      0xFFFFFF,  theme.kerb[0], theme.road, theme.verge[1]};
    datakit::setSkyAndFog(t, theme.sky, theme.fog, theme.fog);
    t.colourA = theme.sky;
    t.colourB = 0xFFFFFF;
    t.colourC = 0xE0C020;
    t.imageIds = {static_cast<std::uint8_t>(kFirstRoadImage + 2 * track),
                  static_cast<std::uint8_t>(kFirstRoadImage + 2 * track + 1)};
    // The road darkens by 96/256 toward the horizon: whole at half-widths of
    // 60 px and less, none from 400 px.
    t.styleValues = {96, 60, 400};
    t.ambience = {15, 70, 10, 20, 60};
    t.sceneryImage = static_cast<std::uint8_t>(kFirstSceneryImage + track);
    // Each object's first point pair is its lateral extent: the crate and
    // the barrels narrow the road's right side (mirrored: the left), the
    // others stand off the road.
    const auto edge = static_cast<std::uint16_t>(plan.halfWidth);
    t.objects.assign(kModelCount, datakit::TrackObject{{0, 40}, {}});
    t.objects[kCrate].points = {static_cast<std::uint16_t>(edge - 300), edge};
    t.objects[kBarrels].points = {static_cast<std::uint16_t>(edge - 300), edge};
    t.objects[kBillboard].points.clear();
    t.objects[kGate].points.clear();
    const std::size_t sections = 6;
    t.sections.clear();
    for (std::size_t i = 0; i < sections; ++i)
        t.sections.push_back({static_cast<std::uint16_t>(i * t.segments.size() / sections),
                              static_cast<std::int8_t>(i), theme.road, theme.verge[i % 2]});
    // The verges cost a quarter of the speed in every gear, so a car on them
    // never reaches its next gear, but pick the car up at once (the
    // acceleration divides by the grip value, here 1): a car turned far
    // from the road keeps a little of its pull and is never stranded.
    datakit::SideProfile verges{{}, 0, 8, static_cast<std::uint16_t>(plan.halfWidth / 3), {25, 1, 2, 0, 0}};
    // The third colour fills the ground beyond the end of a wall, out to
    // the screen's edge: the verge's own.
    verges.colours = {theme.verge[0], theme.verge[1], theme.verge[0]};
    t.sideProfiles = {verges, verges};
    t.style0 = static_cast<std::int8_t>(track);
    t.backdropOffset = static_cast<std::int16_t>(track * 40);
    t.targetSeconds = plan.targetSeconds;
    t.option = 1;
    t.trackInts = {4096, 8192};
    t.shadeValue = 64;
    // Two flyovers: along the start straight, then a short, quicker one over
    // the last segments before the start line.
    const auto n = static_cast<std::int16_t>(t.segments.size());
    t.cameraPaths = {{0, 300, 90, 10, 8, 240, 45, 12, 16, 200, 0, 14},
                     {static_cast<std::int16_t>(n - 10), 420, 0, 16, static_cast<std::int16_t>(n - 6), 320,
                      60, 16, static_cast<std::int16_t>(n - 2), 260, 90, 12}};
    t.optionTriples = {{100, 0, 1}, {110, 1, 2}, {120, 2, 3}};
    t.backdropSprite = static_cast<std::int8_t>(demoBackdropSlot(track));
    t.backdropMode = 1;
    t.backdropBase = 160;
    t.startRanges = {0, 5, 0, 1};
    t.endRanges = {static_cast<std::int16_t>(n - 5), static_cast<std::int16_t>(n - 1), 0, 1};
    datakit::putRoadside(t, roadsideOf(plan, t.segments));
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

// Each track has its rivals: the cars of the player's block fall into
// three groups (car n into group n mod 3), and track t's race row fields
// group t mod 3 first; the rest of a full grid comes from the other cars.
constexpr int kRivalGroups = 3;

const std::vector<std::vector<RacerPlan>>& racerBlocks() {
    static const std::vector<std::vector<RacerPlan>> blocks = {
        {{game::kCarSprite0, 212, 6, 1180},
         {game::kCarSprite1, 205, 7, 1090},
         {game::kCarSprite2, 224, 5, 1320},
         {game::kCarSprite3, 198, 8, 980},
         {game::kCarSprite4, 231, 5, 1410},
         {game::kCarSprite5, 208, 7, 1150},
         {game::kCarSprite6, 218, 6, 1240},
         {game::kCarSprite8, 236, 4, 1480}},
        {{game::kCarSprite0, 204, 6, 1200},
         {game::kCarSprite2, 210, 6, 1260},
         {game::kCarSprite4, 216, 5, 1350},
         {game::kCarSprite6, 208, 7, 1120},
         {game::kCarSprite7, 200, 7, 1060},
         {game::kCarSprite8, 220, 5, 1400}},
    };
    return blocks;
}

datakit::RacerDefinition racerOf(const RacerPlan& plan, int id) {
    datakit::RacerDefinition r;
    r.spriteSet = plan.spriteSet;
    r.values = {static_cast<std::uint8_t>(id % 4), static_cast<std::uint8_t>(plan.spriteSet + 1),
                static_cast<std::uint8_t>(id)};
    r.nameText = static_cast<std::uint16_t>(kFirstRacerNameText + id);
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
            record.fields = {static_cast<std::uint8_t>(id),
                             plan.spriteSet,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             static_cast<std::uint8_t>(id % kRivalGroups)};
            record.field9 = static_cast<std::uint16_t>(1000 + id);
            chunk.records.push_back(record);
            ++id;
        }
        t.chunks.push_back(chunk);
    }
    for (int race = 0; race < 6; ++race)
        t.races.push_back(
            {{static_cast<std::int8_t>(race), static_cast<std::int8_t>(race), static_cast<std::int8_t>(race),
              static_cast<std::int8_t>(race + 1), 0, 0, 0, static_cast<std::int8_t>(race % kRivalGroups)}});
    return t;
}

} // namespace

namespace {

// An event row with the fields every event of the demo shares: title 0 (the
// track's name), the whole lap as its stretch.
datakit::EventVariant eventOf(game::EventType type, std::array<std::int32_t, 3> targets, int laps,
                              int racers) {
    datakit::EventVariant event;
    event.row[game::kEventTypeField] = game::eventTypeNumber(type);
    for (std::size_t i = 0; i < targets.size(); ++i)
        event.row[1 + i] = targets[i];
    event.row[game::kEventNameField] = 0;
    event.row[game::kEventLapsField] = laps;
    event.row[6] = -1;
    event.row[7] = -1;
    event.row[game::kEventRacersField] = racers;
    event.triggers = dynamicEntries();
    event.shorts = {0, 1, 2};
    return event;
}

} // namespace

datakit::EventEntry demoEvent(int track) {
    const TrackPlan& plan = plans()[static_cast<std::size_t>(track)];
    datakit::EventEntry e;
    for (std::uint16_t p = 0; p < 4; ++p)
        e.path.push_back(
            {static_cast<std::uint16_t>(p * 40), 0, 300, static_cast<std::uint8_t>(p), 4096, 0, 0, 1, 0, 0});
    // The first fields of the path points are the track's name table, which
    // the event row's title index (field 4, 0 below) reads: point 0 names
    // the track.
    e.path[0].a = static_cast<std::uint16_t>(kFirstTrackNameText + track);
    // Variant v is the event of game mode v on this track, each mode's event
    // list taking one event per track. Targets run from the first place's to
    // the third's: times in ms, the rest in their own units.
    const auto lapMs = [&plan](std::size_t place, int laps) {
        return static_cast<std::int32_t>(plan.targetSeconds[place]) * 1000 * laps;
    };
    using game::EventType;
    e.variants = {
        // Three laps against five rivals.
        eventOf(EventType::Laps, {lapMs(0, 3), lapMs(1, 3), lapMs(2, 3)}, 3, 6),
        // One lap alone against the three medal times.
        eventOf(EventType::Distance, {lapMs(0, 1), lapMs(1, 1), lapMs(2, 1)}, 1, 1),
        // Two laps in which the coins and boxes count up to the target.
        eventOf(EventType::Collection, {12, 0, 0}, 2, 6),
        // One lap scored by the time spent rubbing against a rival's side.
        eventOf(EventType::Score, {2400, 1600, 800}, 1, 6),
        // Two laps of stopping and going when told, within the time limit.
        eventOf(EventType::StopAndGo, {lapMs(2, 2), 0, 0}, 2, 6),
        // Two laps scored by the place held, second by second.
        eventOf(EventType::Points, {600, 0, 0}, 2, 6),
    };
    // The guided race is the first track's event of the guided mode (the
    // variant is the mode's number): the guide's steps end it, the guide car
    // rides with the player.
    if (track == 0) {
        const auto guided = static_cast<std::size_t>(game::gameModeNumber(game::GameMode::Guided));
        if (e.variants.size() < guided)
            e.variants.resize(guided, e.variants.front());
        datakit::EventVariant guide = e.variants.front();
        guide.row[game::kEventTypeField] = game::eventTypeNumber(game::EventType::Guided);
        guide.row[game::kEventRacersField] = 2;
        using datakit::DynamicAction;
        guide.triggers.push_back(datakit::dynamicAction(DynamicAction::TenCoins, 0, true, 2));
        guide.triggers.push_back(datakit::dynamicAction(DynamicAction::TenCoins, 0, true, 4));
        e.variants.push_back(guide);
    }
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
    return {plan.theme.sky, plan.theme.ground, plan.theme.road};
}

datakit::RoadLook demoRoadLook(int track) {
    const TrackPlan& plan = plans()[static_cast<std::size_t>(track)];
    datakit::RoadLook look;
    look.tarmac = plan.theme.road;
    look.kerb = plan.theme.kerb;
    look.lanes = static_cast<std::uint32_t>(plan.lanes);
    return look;
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
