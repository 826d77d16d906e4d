// The scripted demo: the real `vorlax` program, headless, on the demo set
// as mkdata makes it, in a fresh program folder for every run, replaying
// demo-run.replay (recorded with `--record` from demo-run.script beside
// it): the splash, the sound question, the title, the main menu and its
// first-time question, the race menu, the racer list, the pre-race
// selection set to one lap, the race's load, flyover, racer intro and
// countdown, the lap itself, the results, the after-race menu and the main
// menu again.
//
// The run must walk exactly those states, log nothing but progress lines
// (no runtime check, no loader warning) and paint the same frames and
// states twice. Pictures of chosen frames (`--frames N --screenshot`) show
// the race's sky, road and the player's car in the colours of mkdata's
// model, hold many colours (painted, not filled rectangles), and hash as
// golden-demo.txt records; a picture that differs is written to the
// tests' build folder as golden-demo-NAME.png. New art changes the hashes,
// not the replay's frames:
//
//     VORLAX_UPDATE_EXPECTED=1 ctest --test-dir build/release -L demo
//
// writes the hashes seen instead of comparing them.

#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path sourceFile(const char* name) {
    return fs::path(VORLAX_TEST_SOURCE_DIR) / "demo" / name;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The replay's painted frames that the checks look at.
constexpr int kTitleFrame = 500;
constexpr int kMainMenuFrame = 625;
// The race state begins at frame 1746; 4 s in, the car is still on the road
// behind the field, 10 s in it has run wide into the first bend.
constexpr int kRaceAt4sFrame = 1846;
constexpr int kRaceAt10sFrame = 1996;
constexpr int kResultsFrame = 12746;

struct DemoRun {
    int status = -1;
    std::string output;
    std::string hashes;
};

// Runs `vorlax --headless --script SCRIPT ARGUMENTS FOLDER` in a fresh
// program folder holding the demo set, the script being the demo's replay
// unless given; `files` is where the run's own files go.
DemoRun runDemo(const fs::path& files, const std::string& arguments,
                const fs::path& script = sourceFile("demo-run.replay")) {
    const mkdata::ProgramFolder& set = testing_support::demoSet();
    const fs::path folder = files / "program";
    fs::remove_all(folder);
    fs::create_directories(files);
    EXPECT_TRUE(mkdata::writeProgramFolder(set, folder).ok());
    const fs::path hashes = files / "hashes.txt";
    testing_support::CommandResult result = testing_support::runCommand(
        std::string("'") + VORLAX_PROGRAM + "' --headless --script '" + script.string() + "' --hashes '" +
        hashes.string() + "' " + arguments + " '" + folder.string() + "' 2>&1");
    return {result.status, result.output, readText(hashes)};
}

std::vector<std::string> stateTrace(const std::string& output) {
    std::vector<std::string> trace;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("state "))
            trace.push_back(line);
    return trace;
}

TEST(Demo, TheRunWalksFromTheTitleThroughARaceBackToTheMainMenuAndRepeatsFrameForFrame) {
    testing_support::TemporaryFolder root("vorlax-demo-run");
    const DemoRun first = runDemo(root.path() / "first", "");
    const DemoRun second = runDemo(root.path() / "second", "");
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(stateTrace(first.output),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> 3", "state 3 -> 4", "state 4 -> 5",
                                        "state 5 -> 6", "state 6 -> 45", "state 45 -> 17", "state 17 -> 14",
                                        "state 14 -> 12", "state 12 -> 4", "state 4 -> 40", "state 40 -> 39",
                                        "state 39 -> 41", "state 41 -> 42", "state 42 -> 43",
                                        "state 43 -> 36", "state 36 -> 4", "state 4 -> 6"}));
    std::istringstream lines(first.output);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(datacheck::isProgressLine(line)) << "a runtime check or a loader warning: " << line;

    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_GT(std::count(first.hashes.begin(), first.hashes.end(), '\n'), kResultsFrame);
    EXPECT_TRUE(first.hashes == second.hashes) << "two runs of the replay paint different frames or states";
}

// A tap at the game's point (x, y), which the turned portrait screen takes
// as (480 - y, x), in a timed script.
std::string tap(int time, int x, int y) {
    const std::string point = std::to_string(480 - y) + ' ' + std::to_string(x);
    return std::to_string(time) + " stylus-down " + point + "\n+40 stylus-up " + point + '\n';
}

// The race menu's last item, the one-off event (the guided race), loads its
// race behind the loading screen, whose prompt then waits for a tap (a key
// does not pass it), and goes on to the countdown, held by the guide's
// explanation until a tap, and the race, logging nothing but progress lines.
TEST(Demo, TheRaceMenusOneOffEventLoadsWaitsForATapAndRaces) {
    testing_support::TemporaryFolder root("vorlax-demo-one-off");
    struct Row {
        std::string prompt;
        std::vector<std::string> lastStates;
    };
    const std::string toTheEvent = "0 activate\n0 focus-gained\n12500 key-down F1\n+60 key-up F1\n" +
                                   tap(22000, 320, 240) + tap(26000, 58, 82) + tap(28000, 320, 240) +
                                   tap(30000, 58, 287);
    for (const Row& row : {Row{"40000 key-down F1\n+60 key-up F1\n", {"state 45 -> 17", "state 17 -> 4"}},
                           // The guided race's explanation holds the count until it is tapped away.
                           Row{tap(40000, 320, 240) + tap(46000, 320, 240),
                               {"state 17 -> 4", "state 4 -> 41", "state 41 -> 42"}}}) {
        const fs::path script = root.path() / "one-off.script";
        std::ofstream(script) << toTheEvent + row.prompt + "60000 quit\n";
        const DemoRun run = runDemo(root.path() / "run", "", script);
        ASSERT_EQ(run.status, 0) << run.output;
        const std::vector<std::string> trace = stateTrace(run.output);
        ASSERT_GE(trace.size(), row.lastStates.size()) << run.output;
        EXPECT_EQ(std::vector<std::string>(trace.end() - static_cast<std::ptrdiff_t>(row.lastStates.size()),
                                           trace.end()),
                  row.lastStates)
            << run.output;
        std::istringstream lines(run.output);
        for (std::string line; std::getline(lines, line);)
            EXPECT_TRUE(datacheck::isProgressLine(line)) << line;
    }
}

// A screenshot, read back; its pixels 0xRRGGBB.
struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> rgb;

    // The pixel at the game's point (x, y): screenshots are landscape, as the
    // player sees the game.
    std::uint32_t at(int x, int y) const {
        return rgb[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)];
    }
    // The colours inside the game's box [x0, x1) x [y0, y1).
    std::set<std::uint32_t> colours(int x0, int y0, int x1, int y1) const {
        std::set<std::uint32_t> found;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                found.insert(at(x, y));
        return found;
    }
    std::set<std::uint32_t> colours() const { return {rgb.begin(), rgb.end()}; }
};

Picture readPicture(const fs::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
        return picture;
    picture.width = image.width;
    picture.height = image.height;
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3)
        picture.rgb.push_back(static_cast<std::uint32_t>(bytes[i]) << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
    return picture;
}

// The replay run up to painted frame `frame`, whose picture it writes.
Picture pictureAt(const fs::path& files, int frame) {
    const fs::path shot = files / ("frame-" + std::to_string(frame) + ".png");
    const DemoRun run =
        runDemo(files, "--frames " + std::to_string(frame) + " --screenshot '" + shot.string() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    Picture picture = readPicture(shot);
    EXPECT_EQ(picture.width, 640u) << "frame " << frame;
    EXPECT_EQ(picture.height, 480u) << "frame " << frame;
    return picture;
}

// The screen keeps 16 bits a pixel: a colour of the model comes back within
// 8 of each of its channels. The road is drawn from the road images the
// race makes of its pictures, which come back within 16 of the tarmac.
bool near(std::uint32_t rgb, std::uint32_t model, int tolerance = 8) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((rgb >> shift) & 0xFF), b = static_cast<int>((model >> shift) & 0xFF);
        if (a - b > tolerance || b - a > tolerance)
            return false;
    }
    return true;
}

// The race of the bonus menu's first cup runs on track 0;
// its first racer, the player's, drives the first racer sprite set.
constexpr int kRaceTrack = 0;
// The player's car on the screen, behind and below the camera, in the
// game's coordinates.
constexpr int kCarBox[4] = {288, 384, 360, 456};
// The body's shades are entries 1 to 5 of a car's palette 0.
constexpr int kFirstBodyShade = 1, kLastBodyShade = 5;

TEST(Demo, TheRaceShowsTheTracksSkyAndRoadAndThePlayersCarInManyShades) {
    testing_support::TemporaryFolder root("vorlax-demo-race");
    const Picture race = pictureAt(root.path(), kRaceAt4sFrame);
    ASSERT_FALSE(race.rgb.empty());
    const mkdata::TrackColours track = mkdata::demoTrackColours(kRaceTrack);
    EXPECT_TRUE(near(race.at(320, 20), track.sky)) << std::hex << race.at(320, 20) << " sky " << track.sky;
    EXPECT_TRUE(near(race.at(320, 476), track.road, 16))
        << std::hex << race.at(320, 476) << " road " << track.road;

    const std::vector<std::optional<datakit::PaintedSprite>> sprites = mkdata::demoSprites();
    const std::vector<std::uint32_t>& palette = sprites[game::kCarSprite0]->palettes[0];
    const std::set<std::uint32_t> car = race.colours(kCarBox[0], kCarBox[1], kCarBox[2], kCarBox[3]);
    std::size_t bodyPixels = 0;
    for (std::uint32_t colour : car)
        for (int shade = kFirstBodyShade; shade <= kLastBodyShade; ++shade)
            bodyPixels += near(colour, palette[static_cast<std::size_t>(shade)] & 0xFFFFFF) ? 1 : 0;
    EXPECT_GT(bodyPixels, 0u) << "the player's car shows its body colour in its box";
    EXPECT_GE(car.size(), 8u) << "the car is shaded, not a block";
    EXPECT_GE(race.colours().size(), 64u) << "the race is painted, not filled with rectangles";
}

// The title's picture, a rendered car and the game's name over a landscape,
// holds many colours, not a few flat areas.
TEST(Demo, TheTitleHoldsManyColours) {
    testing_support::TemporaryFolder root("vorlax-demo-title");
    const Picture title = pictureAt(root.path(), kTitleFrame);
    EXPECT_GE(title.colours().size(), 64u);
}

// FNV-1a over the picture's pixels, each as three bytes, blue first.
std::uint64_t hashPicture(const Picture& picture) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (std::uint32_t pixel : picture.rgb)
        for (int shift = 0; shift < 24; shift += 8) {
            hash ^= (pixel >> shift) & 0xFFu;
            hash *= 0x100000001B3u;
        }
    return hash;
}

TEST(Demo, TheTitleMainMenuRaceAndResultsLookAsRecorded) {
    testing_support::TemporaryFolder root("vorlax-demo-golden");
    struct Golden {
        const char* name;
        int frame;
    };
    constexpr Golden kGoldens[] = {{"title", kTitleFrame},
                                   {"main-menu", kMainMenuFrame},
                                   {"race-10s", kRaceAt10sFrame},
                                   {"results", kResultsFrame}};
    std::map<std::string, std::uint64_t> seen;
    for (const Golden& golden : kGoldens) {
        const fs::path files = root.path() / golden.name;
        fs::create_directories(files);
        seen[golden.name] = hashPicture(pictureAt(files, golden.frame));
    }

    const char* update = std::getenv("VORLAX_UPDATE_EXPECTED");
    if (update && std::string(update) == "1") {
        std::ofstream out(sourceFile("golden-demo.txt"));
        for (const Golden& golden : kGoldens) {
            char hash[17];
            std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(seen[golden.name]));
            out << golden.name << ' ' << hash << '\n';
        }
        return;
    }
    std::map<std::string, std::uint64_t> expected;
    std::istringstream rows(readText(sourceFile("golden-demo.txt")));
    std::string name, hash;
    while (rows >> name >> hash)
        expected[name] = std::stoull(hash, nullptr, 16);
    for (const Golden& golden : kGoldens) {
        if (expected.count(golden.name) && expected[golden.name] == seen[golden.name])
            continue;
        const fs::path kept =
            fs::path(VORLAX_TEST_OUTPUT_DIR) / ("golden-demo-" + std::string(golden.name) + ".png");
        fs::copy_file(root.path() / golden.name / ("frame-" + std::to_string(golden.frame) + ".png"), kept,
                      fs::copy_options::overwrite_existing);
        ADD_FAILURE() << golden.name << " (frame " << golden.frame
                      << ") differs from the recorded picture; it is " << kept.string();
    }
}

// The run command's demo without a display: tools/demo/demo.script on a
// fresh copy of the demo set, as tools/run.sh plays it. A newcomer's walk
// from the splash through the menus to a one-lap race the script drives,
// started from the back of the grid and finished ahead of others, its
// results, the after-race menu and the main menu again, all within two
// minutes of game time; a landscape picture every 5 s. When the demo set
// changes the race, the script is written again from its walk:
//
//     build/release/tools/tour/vorlax-demo-script build/release/demo tools/demo/demo.script
TEST(Demo, TheRunCommandsDemoDrivesARaceToItsResultsAndBackToTheMainMenuInTwoMinutes) {
    testing_support::TemporaryFolder root("vorlax-demo-script");
    const fs::path shots = root.path() / "shots";
    const DemoRun run = runDemo(root.path(), "--shots '" + shots.string() + "'",
                                fs::path(VORLAX_TEST_SOURCE_DIR) / ".." / "tools" / "demo" / "demo.script");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> trace = stateTrace(run.output);
    for (const char* change : {"state 41 -> 42", "state 42 -> 43", "state 43 -> 36"})
        EXPECT_NE(std::find(trace.begin(), trace.end(), change), trace.end())
            << "the countdown leads into the race, the race to its results and those to the after-race menu";
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "state 4 -> 6") << "the demo ends on the main menu";

    int place = 0, racers = 0;
    const std::size_t raceOver = run.output.find("race over: place ");
    ASSERT_NE(raceOver, std::string::npos) << run.output;
    ASSERT_EQ(std::sscanf(run.output.c_str() + raceOver, "race over: place %d of %d", &place, &racers), 2);
    EXPECT_LT(place, racers) << "the player, last on the grid, overtakes";
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(datacheck::isProgressLine(line)) << line;

    // One picture every 5 s up to the last one at two minutes, each landscape.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(shots))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.size(), 25u);
    EXPECT_EQ(names.back(), "shot-0120000.png");
    for (const std::string& name : {names.front(), names.back()}) {
        const Picture picture = readPicture(shots / name);
        EXPECT_EQ(picture.width, 640u) << name;
        EXPECT_EQ(picture.height, 480u) << name;
    }
}

} // namespace
