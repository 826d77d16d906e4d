// The golden replay: a three-lap race on a short track with bends, slopes
// and a ramp, driven to the finish by the checked-in script
// golden-race.script, must give the race-state hashes recorded in
// golden-race.txt beside this file, frame for frame. A mismatch names the
// first frame that differs and the statics blocks whose hashes differ
// there. The same script gives the same hashes in another process (the
// `vorlax` program) and with a race painter that paints nothing.
//
// The presented frames' hashes are not held: the painters change far more
// often than the race does, and the front end's golden frames watch pixels.
//
// VORLAX_UPDATE_EXPECTED=1 in the environment writes the script (driven
// until a little after the finish) and the hashes instead of comparing
// them; a commit that renews them says why.

#include "game/Game.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/race/RaceHash.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/race/RacePaintMessage.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/ReplayScript.h"
#include "tools/datakit/TrackRing.h"
#include "tools/datakit/ZoneWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace golden_replay_test {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kSeed = 20261210;
constexpr std::uint32_t kFrameMs = 40;
// Frames that the race's load takes behind the loading screen, and more.
constexpr std::uint32_t kLoadFrames = 60;

fs::path sourceFile(const char* name) {
    return fs::path(VORLAX_TEST_SOURCE_DIR) / "game" / "race" / name;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Track 0 of the demo set laid out again as a short ring: two left bends
// on the level, a climb, a ramp, a descent, two more left bends.
datakit::TrackModel goldenTrack() {
    datakit::TrackRing ring;
    ring.straight(10).left(90, 6).slope(3, 4).straight(3).left(90, 6).ramp().slope(-3, 4).left(90, 6);
    ring.straight(8).left(90, 6).straight(4);
    datakit::TrackModel track = mkdata::demoTrack(0);
    track.segments = ring.segments();
    const auto count = static_cast<std::int16_t>(track.segments.size());
    track.headerValue = static_cast<std::uint16_t>(count / 6);
    track.sections.clear();
    for (std::int16_t i = 0; i < 6; ++i)
        track.sections.push_back(
            {static_cast<std::uint16_t>(i * count / 6), static_cast<std::int8_t>(i), 0, 0});
    track.spots = {{1, 12}, {2, static_cast<std::int16_t>(count / 2)}};
    track.endRanges = {static_cast<std::int16_t>(count - 5), static_cast<std::int16_t>(count - 1), 0, 1};
    return track;
}

void useGoldenTrack(mkdata::ProgramFolder& set) {
    std::erase_if(set.archive, [](const datakit::ArchiveEntry& e) {
        return e.name.starts_with(mkdata::kTrackPackFile) || e.name.starts_with(mkdata::kZonePackFile);
    });
    std::vector<datakit::Bytes> tracks, zones;
    for (int t = 0; t < mkdata::kDemoTrackCount; ++t) {
        datakit::TrackModel track = t == 0 ? goldenTrack() : mkdata::demoTrack(t);
        const std::size_t count = track.segments.size();
        std::vector<datakit::TrackZone> zone;
        for (std::size_t z = 0; z < 6; ++z)
            zone.push_back({static_cast<std::uint16_t>(z * count / 6), static_cast<std::int8_t>(z),
                            static_cast<std::int8_t>(z % 2 ? -1 : 1)});
        tracks.push_back(datakit::writeTrack(track));
        zones.push_back(datakit::writeZones(zone));
    }
    mkdata::addPack(set, mkdata::kTrackPackFile, tracks);
    mkdata::addPack(set, mkdata::kZonePackFile, zones);
}

// The player's run: the race's load (at most 60 frames) and a tap on its
// prompt, the flyover and the racer intro skipped with the left soft key, then a steering tap to each side
// every few seconds while the car drives itself, for `frames` frames in all.
datakit::ReplayScript playerRun(std::uint32_t frames) {
    datakit::ReplayScript replay(kSeed);
    replay.idle(kLoadFrames, kFrameMs)
        .stylusTap(240, 320, kFrameMs)
        .idle(10, kFrameMs)
        .keyTap(host::vk::F1, kFrameMs)
        .idle(10, kFrameMs)
        .keyTap(host::vk::F1, kFrameMs);
    for (std::uint32_t n = 0; replay.frameCount() + 40 < frames; ++n) {
        replay.idle(30, kFrameMs).keyTap(n % 2 ? host::vk::Right : host::vk::Left, kFrameMs);
    }
    replay.idle(static_cast<std::uint32_t>(frames > replay.frameCount() ? frames - replay.frameCount() : 1),
                kFrameMs);
    return replay.quit();
}

// What a run saw at each painted frame, in order.
struct Frame {
    std::uint64_t hash = 0;
    game::State state{};
    std::vector<game::RaceBlockHash> blocks;
};
std::vector<Frame> g_frames;

std::uint64_t watchFrame() {
    g_frames.push_back({game::raceStateHash(), game::stateStatics().s_state, game::raceStateBlockHashes()});
    return g_frames.back().hash;
}

bool g_withoutPainter = false;

// A race state as the game has it, except that its paint message paints
// nothing between the race's view pass and its closing step.
template <void (*Handler)(std::int32_t)>
void paintingNothing(std::int32_t message) {
    if (message == game::kPaint)
        race_testing::paintRaceStateWith(race_testing::paintNothing);
    else
        Handler(message);
}

// Runs the race as `vorlax --headless --race 0 --script S --hashes H` does, in
// this process; answers what each painted frame saw.
std::vector<Frame> runInProcess(const fs::path& folder, const fs::path& script, bool painter) {
    g_frames.clear();
    g_withoutPainter = !painter;
    framework_testing::s_register = [] {
        game::startWithQuickRace(0);
        if (g_withoutPainter) {
            game::setStateHandler(game::State::TrackFlyover, paintingNothing<game::stateTrackFlyover>);
            game::setStateHandler(game::State::RacerIntro, paintingNothing<game::stateRacerIntro>);
            game::setStateHandler(game::State::RaceCountdown, paintingNothing<game::stateRaceCountdown>);
            game::setStateHandler(game::State::Race, paintingNothing<game::stateRace>);
            game::setStateHandler(game::State::RaceResults, paintingNothing<game::stateRaceResults>);
        }
    };
    EXPECT_EQ(framework_testing::runQuickRaceProgram(folder, 0, script, watchFrame), 0);
    game::registerGame();
    return std::move(g_frames);
}

// The expected file: a line naming the parts, then "FRAME HASH DIGESTS" a
// frame, DIGESTS two hex digits of each part's hash.
std::string digestsOf(const Frame& frame) {
    std::string digits;
    char pair[3];
    for (const game::RaceBlockHash& block : frame.blocks) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(block.hash & 0xFF));
        digits += pair;
    }
    return digits;
}

std::string expectedText(const std::vector<Frame>& frames) {
    std::ostringstream out;
    out << "parts";
    for (const game::RaceBlockHash& block : frames.front().blocks)
        out << ' ' << block.name;
    out << '\n';
    char hash[17];
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(frames[i].hash));
        out << i << ' ' << hash << ' ' << digestsOf(frames[i]) << '\n';
    }
    return out.str();
}

struct GoldenReplay : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-golden"};
    fs::path data = root.path() / "golden";

    GoldenReplay() {
        mkdata::ProgramFolder set = testing_support::demoSet();
        useGoldenTrack(set);
        EXPECT_TRUE(mkdata::writeProgramFolder(set, data).ok());
    }
};

TEST_F(GoldenReplay, TheRaceRunsAsRecordedInAnyProcessWithOrWithoutThePainter) {
    const char* update = std::getenv("VORLAX_UPDATE_EXPECTED");
    if (update && std::string(update) == "1") {
        // Long enough for any finish, then cut 50 frames after it.
        fs::path longRun = root.path() / "long.script";
        ASSERT_TRUE(datakit::writeFile(longRun.string(), playerRun(20000).bytes()).ok());
        std::vector<Frame> frames = runInProcess(data, longRun, true);
        std::size_t finish = 0;
        while (finish < frames.size() && frames[finish].state != game::State::RaceResults)
            ++finish;
        ASSERT_LT(finish, frames.size()) << "the race did not finish";
        ASSERT_TRUE(datakit::writeFile(sourceFile("golden-race.script").string(),
                                       playerRun(static_cast<std::uint32_t>(finish + 50)).bytes())
                        .ok());
        frames = runInProcess(data, sourceFile("golden-race.script"), true);
        std::ofstream(sourceFile("golden-race.txt")) << expectedText(frames);
        return;
    }

    const std::vector<Frame> painted = runInProcess(data, sourceFile("golden-race.script"), true);
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back().state, game::State::RaceResults) << "the replay drives the race to its finish";

    std::istringstream expected(readText(sourceFile("golden-race.txt")));
    std::string line;
    std::getline(expected, line);
    std::vector<std::string> parts;
    std::istringstream names(line.substr(line.find(' ') + 1));
    for (std::string name; names >> name;)
        parts.push_back(name);
    std::size_t frame = 0;
    for (std::size_t number = 0; std::getline(expected, line); ++frame) {
        std::istringstream row(line);
        std::string hash, digests;
        row >> number >> hash >> digests;
        ASSERT_LT(frame, painted.size()) << "the run ended at frame " << frame << ", the recording later";
        if (std::stoull(hash, nullptr, 16) == painted[frame].hash)
            continue;
        std::string differing;
        const std::string seen = digestsOf(painted[frame]);
        for (std::size_t p = 0; p < parts.size(); ++p)
            if (seen.substr(2 * p, 2) != digests.substr(2 * p, 2))
                differing += " " + parts[p];
        FAIL() << "frame " << number << " (state " << painted[frame].state
               << ") differs from the recording first; its parts that differ:" << differing;
    }
    EXPECT_EQ(frame, painted.size()) << "the run goes on past the recording's end";

    const std::vector<Frame> bare = runInProcess(data, sourceFile("golden-race.script"), false);
    ASSERT_EQ(bare.size(), painted.size());
    for (std::size_t i = 0; i < bare.size(); ++i)
        ASSERT_EQ(bare[i].hash, painted[i].hash) << "frame " << i << " without the painter";

    const fs::path hashes = root.path() / "process.txt";
    const testing_support::CommandResult other =
        testing_support::runCommand(std::string("'") + VORLAX_PROGRAM + "' --headless --race 0 --script '" +
                                    sourceFile("golden-race.script").string() + "' --hashes '" +
                                    hashes.string() + "' '" + data.string() + "' 2>/dev/null");
    ASSERT_EQ(other.status, 0);
    // "FRAME STATE_HASH FRAME_HASH" lines, one a painted frame.
    std::istringstream lines(readText(hashes));
    std::size_t at = 0;
    for (std::string number, stateHash, frameHash; lines >> number >> stateHash >> frameHash; ++at) {
        ASSERT_LT(at, painted.size());
        ASSERT_EQ(std::stoull(stateHash, nullptr, 16), painted[at].hash)
            << "frame " << number << " in another process";
    }
    EXPECT_EQ(at, painted.size());
}

} // namespace

} // namespace golden_replay_test
