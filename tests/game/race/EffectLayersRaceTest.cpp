// The race's animation players in a race of the demo set, as
// `vorlax --headless --race ROW` runs it through the program's start-up in
// this process. Items have no key in this build, so the watch of the painted
// frames uses them for the player's car as its item key would, and knocks it
// as a crash does; everything after that is the race's own doing:
//   - the shield's bubble is drawn over the car, in its colours, while its
//     layer plays, and the end of that animation (not the state's timer)
//     returns the car to state 0;
//   - item 5's cast, when its layer ends, starts the struck layer of the
//     computer cars, and each lands into the swapped steering with its
//     stars when that layer ends;
//   - a crash's two players run on through the knock, so its drawing moves;
//   - the long gate's player runs, and the gate's progress is its time.
// A layer that is never advanced, never made or never drawn fails one of
// these.

#include "game/framework/CarFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/race/EntityEffects.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/DemoSet.h"
#include "tests/support/DrawingLog.h"
#include "tools/mkdata/DemoSet.h"

#include <cstdlib>
#include <fstream>
#include <set>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace effect_layers_race_test {

namespace {

namespace fs = std::filesystem;
using game::CarState;
using game::cEntity;

// The load ends in about 1.5 s of virtual time; its prompt is tapped at 2 s,
// and the left soft key skips the flyover and the racer intro.
constexpr const char* kToRace =
    "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n"
    "2240 key-down F1\n+40 key-up F1\n2640 key-down F1\n+40 key-up F1\n";
constexpr std::int32_t kScreenWidth = 640;
constexpr std::int32_t kScreenHeight = 480;
constexpr std::int32_t kSecond = 4096;
// The demo cars' shield rim (tools/mkdata/DemoCars.cpp).
constexpr std::uint32_t kShieldRim = 0xD8F4FF;

cEntity* player() {
    return game::racerStatics().s_playerCar;
}

game::ZoomedAnimPlayer* layer(const cEntity* car, std::int32_t n) {
    return static_cast<game::ZoomedAnimPlayer*>(car->m_layerPlayers[n - 1]);
}

// Pixels of the shield's rim colour in a box round the player's car.
int shieldPixels() {
    const std::vector<std::int32_t> pixels = framework_testing::pixels(game::loopStatics().s_screenBuffer);
    const cEntity* p = player();
    int count = 0;
    for (int y = std::max(0, p->m_screenY - 90); y < std::min(kScreenHeight, p->m_screenY + 10); ++y)
        for (int x = std::max(0, p->m_screenX - 60); x < std::min(kScreenWidth, p->m_screenX + 60); ++x) {
            const std::int32_t c = pixels[static_cast<std::size_t>(y * kScreenWidth + x)];
            bool near = true;
            for (int shift : {0, 8, 16})
                near = near &&
                       std::abs(((c >> shift) & 255) - static_cast<int>((kShieldRim >> shift) & 255)) < 12;
            count += near;
        }
    return count;
}

void useItem(cEntity* car, std::int32_t item) {
    car->m_itemSlot = item;
    car->m_itemUses = 1;
    car->m_itemCooldown = 0;
    game::useItem(car);
}

// What the watch saw, phase by phase of race time.
struct Seen {
    enum class Phase { Waiting, Shield, Cast, Struck, Crash, Done } phase = Phase::Waiting;
    std::int32_t phaseStart = 0;
    int shieldBefore = -1, shieldDuring = 0;
    bool shieldDrawn = false;
    bool shieldHeldUntilItsEnd = true;
    bool shieldEndedState = false;
    int struckCars = 0, landedCars = 0;
    std::set<const cEntity*> landed;
    bool landedWithStars = true;
    std::set<std::int32_t> crashTimes;
    std::int32_t raceFrames = 0;
};
Seen g_seen;
testing_support::DrawingLog* g_log = nullptr;

bool drewLayer(std::int32_t sprite, std::int32_t anim) {
    for (const game::DrawRecord& r : g_log->records())
        if (r.call == game::DrawCall::PaintZoomedAnim && r.args[0] == sprite && r.args[1] == anim)
            return true;
    return false;
}

std::vector<cEntity*> computerCars() {
    std::vector<cEntity*> cars;
    for (std::int32_t i = 0; i < game::racerCount(); ++i)
        if (cEntity* car = game::racerAt(i); car && car != player() && car->m_driverKind != 2)
            cars.push_back(car);
    return cars;
}

std::uint64_t watchItems() {
    Seen& s = g_seen;
    cEntity* p = player();
    if (game::stateStatics().s_state != game::State::Race || !p) {
        g_log->clear();
        return 0;
    }
    ++s.raceFrames;
    const std::int32_t now = game::raceEntityStatics().s_raceTime;
    using Phase = Seen::Phase;
    switch (s.phase) {
    case Phase::Waiting:
        if (now > kSecond) {
            s.shieldBefore = shieldPixels();
            useItem(p, 4);
            // Only the end of the shield's animation may end the state.
            p->m_stateTimer = 100 * kSecond;
            s.phase = Phase::Shield;
            s.phaseStart = now;
        }
        break;
    case Phase::Shield:
        if (game::effectLayerRunning(p, game::kItemLayer)) {
            s.shieldDrawn = s.shieldDrawn || drewLayer(p->m_spriteSet, game::kShieldAnim);
            s.shieldDuring = std::max(s.shieldDuring, shieldPixels());
            s.shieldHeldUntilItsEnd = s.shieldHeldUntilItsEnd && p->m_state == CarState::Shield;
        } else {
            s.shieldEndedState = p->m_state == CarState::Normal && now - s.phaseStart >= 5 * kSecond;
            useItem(p, 5);
            s.phase = Phase::Cast;
            s.phaseStart = now;
        }
        break;
    case Phase::Cast:
        if (!game::effectLayerRunning(p, game::kItemLayer)) {
            for (cEntity* car : computerCars())
                s.struckCars += game::effectLayerPlays(car, game::kStruckLayer, game::kStarRingAnim,
                                                       game::kStruckLayerMode) &&
                                game::effectLayerRunning(car, game::kStruckLayer) &&
                                car->m_state != CarState::Swapped;
            s.phase = Phase::Struck;
            s.phaseStart = now;
        }
        break;
    case Phase::Struck:
        // Each struck car lands in its own time and stays as long as its
        // racer's factor says: a landing counts the first frame it shows.
        for (cEntity* car : computerCars()) {
            if (car->m_state != CarState::Swapped || s.landed.count(car))
                continue;
            s.landed.insert(car);
            s.landedWithStars = s.landedWithStars && game::effectLayerRunning(car, game::kStateLayer) &&
                                layer(car, game::kStateLayer)->m_animation == game::kStarRingAnim;
        }
        if (now - s.phaseStart > 4 * kSecond) {
            s.landedCars = static_cast<int>(s.landed.size());
            game::applyImpact(p, game::ImpactFlag::Crash, p->m_speed, nullptr);
            s.phase = Phase::Crash;
            s.phaseStart = now;
        }
        break;
    case Phase::Crash:
        for (const game::DrawRecord& r : g_log->records())
            if (r.call == game::DrawCall::PaintZoomedAnim && r.args[0] == p->m_spriteSet &&
                r.args[1] == game::kCarSpinAnim)
                s.crashTimes.insert(r.args[6]);
        if (now - s.phaseStart > kSecond / 2)
            s.phase = Phase::Done;
        break;
    case Phase::Done:
        break;
    }
    g_log->clear();
    return 0;
}

int runRace(const fs::path& folder, std::int32_t row, std::uint64_t (*watch)(), int frames) {
    static std::int32_t s_row;
    s_row = row;
    const fs::path script = folder / "race.script";
    std::ofstream(script) << kToRace;
    framework_testing::s_register = [] { game::startWithQuickRace(s_row); };
    return framework_testing::runQuickRaceProgram(folder, row, script, watch,
                                                  {"--frames", std::to_string(frames)});
}

TEST(EffectLayersRace, ItemsShowOnTheirLayersAndActWhenTheirAnimationsEnd) {
    testing_support::TemporaryFolder root{"vorlax-effect-layers"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    testing_support::DrawingLog log;
    g_log = &log;
    g_seen = {};
    EXPECT_EQ(runRace(root.path(), 0, watchItems, 1200), 0);
    g_log = nullptr;
    const Seen& s = g_seen;
    ASSERT_EQ(s.phase, Seen::Phase::Done) << "the race ran " << s.raceFrames << " frames";
    EXPECT_TRUE(s.shieldDrawn);
    EXPECT_GT(s.shieldDuring, s.shieldBefore + 40) << "before " << s.shieldBefore;
    EXPECT_TRUE(s.shieldHeldUntilItsEnd);
    EXPECT_TRUE(s.shieldEndedState);
    EXPECT_GT(s.struckCars, 0);
    // A struck car lands unless something else took its layer or its state
    // spares it as the stars end (shielded, ghosted, out of contact).
    EXPECT_GT(s.landedCars, 0);
    EXPECT_LE(s.landedCars, s.struckCars);
    EXPECT_TRUE(s.landedWithStars);
    EXPECT_GT(s.crashTimes.size(), 3u) << "the crash shows one frame for its whole length";
}

struct GateSeen {
    int frames = 0;
    bool progressIsTheGatesTime = true;
    std::set<std::int32_t> progress;
    bool wrapped = false;
    std::int32_t last = -1;
};
GateSeen g_gate;

std::uint64_t watchGate() {
    if (game::stateStatics().s_state != game::State::Race)
        return 0;
    const game::TriggerStatics& t = game::triggerStatics();
    if (!t.s_movingObjectPlayer)
        return 0;
    ++g_gate.frames;
    g_gate.progressIsTheGatesTime =
        g_gate.progressIsTheGatesTime && t.s_movingObjectProgress == t.s_movingObjectPlayer->m_time;
    g_gate.wrapped = g_gate.wrapped || t.s_movingObjectProgress < g_gate.last;
    g_gate.last = t.s_movingObjectProgress;
    g_gate.progress.insert(t.s_movingObjectProgress);
    return 0;
}

TEST(EffectLayersRace, TheLongGateRunsAndItsProgressIsItsPlayersTime) {
    testing_support::TemporaryFolder root{"vorlax-gate"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    g_gate = {};
    // The sixth track holds the long gate (7 s a pass).
    EXPECT_EQ(runRace(root.path(), 5, watchGate, 500), 0);
    ASSERT_GT(g_gate.frames, 100);
    EXPECT_TRUE(g_gate.progressIsTheGatesTime);
    EXPECT_GT(g_gate.progress.size(), 50u);
    EXPECT_TRUE(g_gate.wrapped) << "the gate never started a new pass";
    EXPECT_LE(*g_gate.progress.rbegin(), 7000);
}

// The nitro of the player's item fires its burst behind the car: drawn at
// the car while its player runs, at moving times, and stopped by itself
// after one pass.
struct NitroSeen {
    bool fired = false;
    std::int32_t firedAt = 0;
    std::set<std::int32_t> burstTimes;
    int burstAwayFromCar = 0;
    bool stoppedAfter = false, done = false;
};
NitroSeen g_nitro;

std::uint64_t watchNitro() {
    NitroSeen& n = g_nitro;
    cEntity* p = player();
    const std::int32_t now = game::raceEntityStatics().s_raceTime;
    if (game::stateStatics().s_state != game::State::Race || !p || n.done) {
        g_log->clear();
        return 0;
    }
    if (!n.fired) {
        if (now > kSecond) {
            useItem(p, 2);
            n.fired = true;
            n.firedAt = now;
        }
    } else {
        for (const game::DrawRecord& d : g_log->records())
            if (d.call == game::DrawCall::PaintZoomedAnim && d.args[0] == game::kTrackEffectSprite &&
                d.args[1] == game::kNitroBurstAnim) {
                n.burstTimes.insert(d.args[6]);
                n.burstAwayFromCar += d.args[3] != p->m_screenX;
            }
        if (now - n.firedAt > kSecond) {
            n.stoppedAfter = game::raceResourceStatics().s_raceFxPlayerA->m_stopped != 0;
            n.done = true;
        }
    }
    g_log->clear();
    return 0;
}

TEST(EffectLayersRace, ThePlayersNitroFiresItsBurstOnce) {
    testing_support::TemporaryFolder root{"vorlax-nitro-burst"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    testing_support::DrawingLog log;
    g_log = &log;
    g_nitro = {};
    EXPECT_EQ(runRace(root.path(), 1, watchNitro, 400), 0);
    g_log = nullptr;
    ASSERT_TRUE(g_nitro.done);
    EXPECT_GT(g_nitro.burstTimes.size(), 3u);
    EXPECT_EQ(g_nitro.burstAwayFromCar, 0);
    EXPECT_TRUE(g_nitro.stoppedAfter);
}

// The gate rule in a race of the demo set: the watch puts the player's car
// in the gate's lane a little before a gate segment at a chosen moment of
// the gate's player (as a driver steering for it would), and the race does
// the rest. The timed gate (a pass of 7 s) is shut past 2599 ms of its pass
// and knocks the car out; before that it lets the car through. The gate that
// always lets the player through plays the five animations under the car
// once, each stopping by itself at its end.
struct GatePass {
    // The gate's progress at which the car is placed.
    std::int32_t placeFrom, placeTo;
    bool knocked;
};
struct GatePassSeen {
    bool placed = false, onGate = false, knocked = false;
    // The gate's progress over the frames the car spent on the gate segment.
    std::int32_t progressLow = INT32_MAX, progressHigh = -1;
    bool gateDrawnAtItsProgress = false;
    // The player's knock-out sparks: the times they were drawn at, and
    // whether their player stopped by itself after them.
    std::set<std::int32_t> sparkTimes;
    bool sparksStoppedAfter = false;
    int underCarRunning = 0, underCarStoppedAfter = 0;
    std::int32_t placedAt = 0;
};
struct GateRun {
    std::vector<GatePass> passes;
    std::vector<GatePassSeen> seen;
    std::size_t current = 0;
    std::int32_t gateSegment = 0;
    bool farSide = false;
    bool lapRace = false;
    int frames = 0;
};
GateRun g_run;

// The first gate segment, negative when the gate stands at the far edge; 0
// none.
std::int32_t findGateSegment() {
    const game::TrackStatics& t = game::trackStatics();
    const std::int32_t id = game::triggerStatics().s_movingObjectId;
    for (std::int32_t s = 1; s < t.s_segmentCount; ++s)
        for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j) {
            const std::int32_t c = game::triggerCodeAt(s, j);
            if ((c & 0xF000) == game::kTriggerBox && (c & 0xFF) == id)
                return (c & game::kTriggerFarSide) ? -s : s;
        }
    return 0;
}

int underCarPlayers(bool running) {
    const rt::ObjectArray* players = game::triggerStatics().s_underCarPlayers;
    int n = 0;
    for (std::int32_t i = 0; players && i < players->length(); ++i) {
        const auto* p = static_cast<const game::ZoomedAnimPlayer*>(rt::ObjectArray::get(players, i));
        n += p && (p->m_stopped == 0) == running && (!running || p->m_time > 0);
    }
    return n;
}

std::uint64_t watchGatePasses() {
    GateRun& r = g_run;
    cEntity* p = player();
    const game::TriggerStatics& t = game::triggerStatics();
    if (game::stateStatics().s_state != game::State::Race || !p || r.current >= r.passes.size()) {
        g_log->clear();
        return 0;
    }
    ++r.frames;
    if (r.gateSegment == 0) {
        r.gateSegment = findGateSegment();
        r.farSide = r.gateSegment < 0;
        r.gateSegment = r.gateSegment < 0 ? -r.gateSegment : r.gateSegment;
        r.lapRace = game::stateStatics().s_gameMode == game::GameMode::LapRace;
    }
    const GatePass& pass = r.passes[r.current];
    GatePassSeen& seen = r.seen[r.current];
    const std::int32_t now = game::raceEntityStatics().s_raceTime;
    const std::int32_t progress = t.s_movingObjectProgress;
    if (!seen.placed) {
        const bool settled = !p->m_knocked && p->m_effect == game::CarEffect::None && now > kSecond;
        if (r.gateSegment > 0 && settled && progress >= pass.placeFrom && progress <= pass.placeTo) {
            p->m_segment = p->m_prevSegment = r.gateSegment - 1;
            p->m_segmentPos = p->m_prevSegmentPos = 700;
            p->m_lateral = p->m_prevLateral = r.farSide ? t.s_movingObjectX2 : t.s_movingObjectX;
            p->m_heading = p->m_smoothHeading = 0;
            p->m_speed = p->m_maxSpeed = game::kmhToSpeed(150);
            seen.placed = true;
            seen.placedAt = now;
        }
        g_log->clear();
        return 0;
    }
    if (p->m_segment == r.gateSegment) {
        seen.onGate = true;
        seen.progressLow = std::min(seen.progressLow, progress);
        seen.progressHigh = std::max(seen.progressHigh, progress);
    }
    seen.knocked = seen.knocked || p->m_effect == game::CarEffect::KnockOut;
    for (const game::DrawRecord& d : g_log->records())
        seen.gateDrawnAtItsProgress =
            seen.gateDrawnAtItsProgress ||
            (d.call == game::DrawCall::PaintZoomedAnim && d.args[0] == game::kTrackEffectSprite &&
             d.args[1] == t.s_gateKind && d.args[6] == progress);
    for (const game::DrawRecord& d : g_log->records())
        if (d.call == game::DrawCall::PaintZoomedAnim && d.args[0] == game::kTrackEffectSprite &&
            d.args[1] == game::kKnockSparksAnim)
            seen.sparkTimes.insert(d.args[6]);
    seen.underCarRunning = std::max(seen.underCarRunning, underCarPlayers(true));
    // The pass ends 1.5 s after the placing: past the gate, and past the
    // second the animations under the car play.
    if (now - seen.placedAt > 3 * kSecond / 2) {
        seen.underCarStoppedAfter = underCarPlayers(false);
        seen.sparksStoppedAfter = game::raceResourceStatics().s_raceFxPlayerB->m_stopped != 0;
        ++r.current;
    }
    g_log->clear();
    return 0;
}

struct GateCase {
    const char* name;
    std::int32_t row;
    std::vector<GatePass> passes;
    // The gate lets the player through whatever its progress, and plays
    // the five animations under the car.
    bool underCar;
};

class GateRace : public testing::TestWithParam<GateCase> {};

TEST_P(GateRace, TheGatesPlayerDecidesWhetherACarPasses) {
    const GateCase& c = GetParam();
    testing_support::TemporaryFolder root{"vorlax-gate-pass"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    testing_support::DrawingLog log;
    g_log = &log;
    g_run = {};
    g_run.passes = c.passes;
    g_run.seen.resize(c.passes.size());
    EXPECT_EQ(runRace(root.path(), c.row, watchGatePasses, 900), 0);
    g_log = nullptr;
    ASSERT_GT(g_run.gateSegment, 0) << "no gate on the race's track";
    EXPECT_TRUE(g_run.lapRace);
    ASSERT_EQ(g_run.current, c.passes.size()) << "the race ran " << g_run.frames << " frames";
    for (std::size_t i = 0; i < c.passes.size(); ++i) {
        SCOPED_TRACE("pass " + std::to_string(i));
        const GatePassSeen& s = g_run.seen[i];
        ASSERT_TRUE(s.onGate);
        EXPECT_TRUE(s.gateDrawnAtItsProgress);
        EXPECT_EQ(s.knocked, c.passes[i].knocked)
            << "progress on the gate " << s.progressLow << ".." << s.progressHigh;
        // A knock-out shows its sparks at the car, moving, and they end.
        EXPECT_EQ(s.sparkTimes.size() > 3, c.passes[i].knocked);
        EXPECT_TRUE(s.sparksStoppedAfter);
        if (c.underCar) {
            EXPECT_EQ(s.underCarRunning, game::kUnderCarAnims);
            EXPECT_EQ(s.underCarStoppedAfter, game::kUnderCarAnims);
        } else if (c.passes[i].knocked) {
            EXPECT_GT(s.progressHigh, 2599);
        } else {
            EXPECT_LE(s.progressHigh, 2599);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    DemoTracks, GateRace,
    testing::Values(GateCase{"TimedGateShutThenOpen", 5, {{3300, 3700, true}, {100, 400, false}}, false},
                    GateCase{"PlayersGate", 3, {{0, 7000, false}}, true}),
    [](const testing::TestParamInfo<GateCase>& info) { return std::string(info.param.name); });

} // namespace

} // namespace effect_layers_race_test
