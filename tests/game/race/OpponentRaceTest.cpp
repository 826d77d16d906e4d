// Whole races: six cars, three laps, on a datakit track with bends, a crest
// and a ramp, and boost pads, a bump, a hazard, obstacle boxes, coins and
// item boxes; the player's car driven by the steering script, the view pass
// run after every step. Ten seeds of the shared Random: every computer car
// finishes, none stands still for 5 s outside effects and falls or leaves
// the road, places change, items are fired and cars knocked out; a player
// far ahead is chased; and two races from one seed agree on the race-state
// hash after set-up and every frame, in one process and in two.

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/HudState.h"
#include "game/race/Impacts.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceHash.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePhase.h"
#include "game/race/RaceTables.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/race/HeapFigures.h"
#include "tests/game/race/OpponentsFixture.h"
#include "tests/support/Command.h"
#include "tools/datakit/TriggerCodes.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace opponent_race_test {

namespace {

using game::cEntity;
using game::kmhToSpeed;
using race_testing::deviceClock;

constexpr std::int32_t kLaps = 3;
constexpr std::int32_t kCars = race_testing::WholeRaceTest::kRaceCars;
constexpr std::int32_t kFrameMs = 100;

struct OpponentRaceTest : race_testing::WholeRaceTest {
    struct Outcome {
        bool allFinished = true;
        std::int32_t longestStand = 0; // frames
        std::string leftRoad;
        std::int32_t placeChanges = 0;
        bool pushed = false;
        std::int32_t objects = 0;   // steps with a race object on the track
        std::int32_t knockOuts = 0; // steps a car spent knocked out
        std::int32_t frames = 0;
        // The race-state hash right after set-up, then after every frame.
        std::vector<std::uint64_t> hashes;
    };

    // One race with seed `seed`; the player's top speed `playerKmh`.
    static Outcome race(std::int64_t seed, std::int32_t playerKmh) {
        const std::vector<cEntity*> cars = startRace(seed, playerKmh);
        Outcome out;
        drive(out, cars);
        return out;
    }

    // The race of `cars` from its start, frame by frame until every computer
    // car is home and the race finished, or `limit` frames (three minutes).
    static void drive(Outcome& out, const std::vector<cEntity*>& cars,
                      std::int32_t limit = 3 * 60 * 1000 / kFrameMs) {
        std::vector<std::int32_t> stand(kCars, 0), lastPlace(kCars, 0);
        const std::int32_t wall = game::trackStatics().s_roadHalfWidth + game::trackStatics().s_roadMargin;
        cEntity* player = cars.back();
        out.hashes.push_back(game::raceStateHash());
        for (; out.frames < limit; ++out.frames) {
            steerScript(player);
            deviceClock().advance(kFrameMs);
            game::loopStatics().s_frameMs = kFrameMs;
            game::updateRace();
            game::runViewPass(true);
            out.hashes.push_back(game::raceStateHash());
            for (std::int32_t o = 0; o < 10; ++o)
                out.objects +=
                    static_cast<cEntity*>(rt::ObjectArray::get(game::raceStatics().s_raceObjects, o))
                        ->m_active;
            bool all = true;
            for (std::int32_t i = 0; i < kCars; ++i) {
                const cEntity* car = cars[static_cast<std::size_t>(i)];
                if (car->m_type == 1 && car->m_lap <= kLaps)
                    all = false;
                out.knockOuts += car->m_effect == game::CarEffect::KnockOut ? 1 : 0;
                if (car->m_aiMode == game::kAiModePushed)
                    out.pushed = true;
                if (car->m_racePosition != lastPlace[static_cast<std::size_t>(i)] && out.frames > 0)
                    ++out.placeChanges;
                lastPlace[static_cast<std::size_t>(i)] = car->m_racePosition;
                if (car->m_type != 1 || car->m_lap > kLaps)
                    continue;
                const bool free = car->m_effect == game::CarEffect::None && !car->m_fallen &&
                                  !car->m_onPath && car->m_height == 0;
                std::int32_t& s = stand[static_cast<std::size_t>(i)];
                s = free && car->m_speed == 0 ? s + 1 : 0;
                out.longestStand = s > out.longestStand ? s : out.longestStand;
                if (free && (car->m_lateral > wall || car->m_lateral < -wall) && out.leftRoad.empty())
                    out.leftRoad = "car " + std::to_string(i) + " at " + std::to_string(car->m_lateral) +
                                   " frame " + std::to_string(out.frames);
            }
            if (all && game::raceStatics().s_raceFinished)
                break;
        }
        for (const cEntity* car : cars)
            if (car->m_type == 1 && car->m_lap <= kLaps)
                out.allFinished = false;
    }

    // The cars of the race, the player's last.
    static std::vector<cEntity*> carsPlayerLast() {
        std::vector<cEntity*> cars;
        for (std::int32_t i = 0; i < kCars; ++i)
            if (game::racerAt(i)->m_type != 0)
                cars.push_back(game::racerAt(i));
        cars.push_back(game::racerStatics().s_playerCar);
        return cars;
    }
};

TEST_F(OpponentRaceTest, TenSeededRacesEndWithEveryComputerCarHomeAndOnTheRoad) {
    std::int32_t objects = 0, knockOuts = 0;
    for (std::int64_t seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE(seed);
        const Outcome out = race(seed, 215);
        EXPECT_TRUE(out.allFinished) << out.frames;
        EXPECT_LT(out.longestStand, 50);
        EXPECT_EQ(out.leftRoad, "");
        EXPECT_GT(out.placeChanges, 0);
        objects += out.objects;
        knockOuts += out.knockOuts;
    }
    // The cars fought: objects were on the track and cars were knocked out.
    EXPECT_GT(objects, 0);
    EXPECT_GT(knockOuts, 0);
}

// Hashes of two races, compared frame by frame from hash `from` (0 the one
// after set-up); the first frame that differs is named.
std::string firstDifference(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b,
                            std::size_t from = 0) {
    for (std::size_t i = from; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return i == 0 ? std::string("after set-up") : "after frame " + std::to_string(i);
    if (a.size() != b.size())
        return "frames " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    return "";
}

// The frame count and a digest of every frame's hash.
std::string digest(const std::vector<std::uint64_t>& hashes) {
    std::uint64_t d = 0;
    for (std::uint64_t h : hashes)
        d = (d ^ h) * 1099511628211ull;
    char text[40];
    std::snprintf(text, sizeof text, "%zu %016llx", hashes.size(), static_cast<unsigned long long>(d));
    return text;
}

constexpr char kDigestLine[] = "race hash digest of seed 7: ";

TEST_F(OpponentRaceTest, TwoRacesFromOneSeedHashAlikeEveryFrameAndAnotherSeedDoesNot) {
    const Outcome first = race(7, 215);
    ASSERT_TRUE(first.allFinished);
    ASSERT_GT(first.objects, 0);
    // For the test that runs this one in another process.
    std::printf("%s%s\n", kDigestLine, digest(first.hashes).c_str());
    const Outcome second = race(7, 215);
    EXPECT_EQ(firstDifference(first.hashes, second.hashes), "");
    const Outcome other = race(8, 215);
    EXPECT_NE(other.hashes[1], first.hashes[1]);
    EXPECT_NE(other.hashes.back(), first.hashes.back());
}

// Another process places its objects at other addresses (and a first race
// there meets no earlier one): none of that may reach the hash.
TEST_F(OpponentRaceTest, ARaceHashesAlikeInAnotherProcess) {
    const std::string here = digest(race(7, 215).hashes);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command =
        "'" + self +
        "' --gtest_filter=OpponentRaceTest.TwoRacesFromOneSeedHashAlikeEveryFrameAndAnotherSeedDoesNot";
    const testing_support::CommandResult child = testing_support::runCommand(command);
    EXPECT_EQ(child.status, 0) << child.output;
    const std::string& output = child.output;
    const std::size_t at = output.find(kDigestLine);
    ASSERT_NE(at, std::string::npos) << output;
    const std::size_t from = at + std::strlen(kDigestLine);
    EXPECT_EQ(output.substr(from, output.find('\n', from) - from), here);
}

// A restart, after the finish (its blink and animation made) or in the
// middle of the race (the camera pulled back, the steering held), from the
// Random state, the clock and the object pool of the first start, runs the
// race the first start ran: the same race state after every frame. (Right
// after the reset the last run's view, the road slices and the speed lines,
// is still there until the first frame makes them anew.)
TEST_F(OpponentRaceTest, ARestartRunsAsTheFirstStartDid) {
    const Outcome first = race(7, 215);
    ASSERT_TRUE(first.allFinished);
    for (std::int32_t stopAt : {first.frames, 60}) {
        SCOPED_TRACE(stopAt);
        if (stopAt != first.frames) {
            Outcome part;
            drive(part, startRace(7, 215), stopAt);
            ASSERT_EQ(game::raceStatics().s_raceFinished, 0);
        }
        constexpr std::int64_t kScramble = 0x5DEECE66DLL;
        lib::java_util_Random::shared()->setSeed(s_randomAtStart ^ kScramble);
        deviceClock().setTick(0);
        fillObjectPool();
        // The set-up of a restart drops the last finish's animation.
        game::hudStateStatics().s_finishPlayer = nullptr;
        game::resetRaceRun();
        countdown();
        Outcome again;
        drive(again, carsPlayerLast());
        EXPECT_EQ(firstDifference(first.hashes, again.hashes, 1), "");
        EXPECT_EQ(again.frames, first.frames);
    }
}

TEST_F(OpponentRaceTest, APlayerFarAheadIsChased) {
    const Outcome out = race(3, 300);
    EXPECT_TRUE(out.pushed);
    EXPECT_TRUE(out.allFinished);
}

// The track effects that hold a player of the effect pool (kinds 2 to 5).
std::int32_t effectsWithAPlayer() {
    const rt::IntArray* list = game::zoomPoolStatics().s_poolRecordList;
    std::int32_t n = 0;
    for (std::int32_t i = 0; list && i + 3 < list->length(); i += 4) {
        const std::int32_t kind = rt::IntArray::get(list, i) >> 24 & 0xFF;
        n += kind >= 2 && kind <= 5 ? 1 : 0;
    }
    return n;
}

// Ten minutes of racing, a race of so many laps that it never finishes: the
// track effects that hold a player of the pool never outnumber its 40, and
// after the first lap the heap keeps its live objects, and its used bytes do
// not grow (they move by the track effects alive at the moment and by where
// blocks land; see HeapFigures.h).
TEST_F(OpponentRaceTest, TenMinutesOfRacingKeepTheTrackEffectsAndTheHeapFlat) {
    const std::vector<cEntity*> cars = startRace(4, 250, 1000, 150);
    cEntity* player = cars.back();
    std::int32_t lastLap = player->m_lap, most = 0;
    std::vector<race_testing::HeapFigures> laps;
    for (std::int32_t frame = 0; frame < 10 * 60 * 1000 / kFrameMs; ++frame) {
        steerScript(player);
        deviceClock().advance(kFrameMs);
        game::loopStatics().s_frameMs = kFrameMs;
        game::updateRace();
        game::runViewPass(true);
        const std::int32_t n = effectsWithAPlayer();
        most = n > most ? n : most;
        if (player->m_lap != lastLap) {
            lastLap = player->m_lap;
            if (lastLap >= 2)
                laps.push_back(race_testing::collectedHeap());
        }
    }
    EXPECT_EQ(game::raceStatics().s_raceFinished, 0);
    EXPECT_GT(most, 0) << "the race laid track effects";
    EXPECT_LE(most, game::kZoomAnimPoolSize);
    ASSERT_GE(laps.size(), 30u);
    std::size_t early = 0, late = 0;
    for (std::size_t i = 0; i < laps.size(); ++i) {
        EXPECT_EQ(laps[i].objects, laps[0].objects) << "lap " << i + 2;
        std::size_t& half = i < laps.size() / 2 ? early : late;
        half = laps[i].bytes > half ? laps[i].bytes : half;
    }
    // A few blocks of the late laps may land in free blocks up to the
    // allocator's slack larger than their counterparts did early; a growth
    // beyond that is a leak.
    EXPECT_LE(late, early + 4 * rt::MemoryManager::kSplitSlack);
}

} // namespace

} // namespace opponent_race_test
