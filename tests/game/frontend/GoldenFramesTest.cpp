// Golden frames of the front end: the game started on the demo set, run
// frame by frame on the virtual clock, its screen buffer hashed at chosen
// frames of the splash, the sound question, the title, the main menu and a
// question box. The expected rows live in golden-frames.txt beside this file as
// "scenario frame hash" lines; a frame that differs is written as
// golden-SCENARIO-FRAME.png in the tests' build folder, wherever the test runs
// from, so no picture lands in the source tree. Running the test with
// VORLAX_UPDATE_EXPECTED=1 in the environment writes the rows it saw
// instead of comparing them.

#include "game/framework/LoopStatics.h"
#include "game/framework/Overlay.h"
#include "game/framework/States.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/BuildPaths.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PngWriter.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using game::State;

using framework_testing::StartedGame;

constexpr std::uint32_t kFrameMs = 40;

std::filesystem::path expectedFile() {
    return std::filesystem::path(VORLAX_TEST_SOURCE_DIR) / "game" / "frontend" / "golden-frames.txt";
}

struct Shot {
    std::string scenario;
    int frame = 0;
    std::uint64_t hash = 0;
    std::vector<std::uint32_t> pixels;
};

// FNV-1a over the buffer's pixels, each as four bytes, low byte first.
std::uint64_t hashPixels(const std::vector<std::uint32_t>& pixels) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (std::uint32_t pixel : pixels)
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (pixel >> shift) & 0xFFu;
            hash *= 0x100000001B3u;
        }
    return hash;
}

Shot shoot(const std::string& scenario, int frame) {
    std::vector<std::int32_t> buffer = framework_testing::pixels(game::loopStatics().s_screenBuffer);
    Shot shot{scenario, frame, 0, std::vector<std::uint32_t>(buffer.begin(), buffer.end())};
    shot.hash = hashPixels(shot.pixels);
    return shot;
}

// A tap at the game-space point (x, y): the canvas takes the phone's
// portrait coordinates, on which the game is drawn turned.
void tapFrame(StartedGame& game, std::int32_t x, std::int32_t y) {
    game.canvas()->pointerPressed(480 - y, x);
    game.canvas()->pointerReleased(480 - y, x);
}

// What the run does on a frame of a state: shoot the screen (when it names
// a scenario), then act as the player.
struct Stop {
    const char* scenario;
    State state;
    int inState;
    void (*act)(StartedGame&);
};

constexpr std::int32_t kLeftSoftKeyCode = -6;

// The player's road: the splash's picture and, 6.4 s in, its first text;
// the sound question, answered by the left soft key (pressed on one frame,
// released on the next); the title, tapped; the main menu once its items
// have settled, whose first item opens the first-time question box.
constexpr Stop kStops[] = {
    {"splash", State::Splash, 10, nullptr},
    {"splash-text", State::Splash, 160, nullptr},
    {"sound-question", State::SoundQuestion, 10,
     [](StartedGame& game) { game.canvas()->keyPressed(kLeftSoftKeyCode); }},
    {nullptr, State::SoundQuestion, 11,
     [](StartedGame& game) { game.canvas()->keyReleased(kLeftSoftKeyCode); }},
    {"title", State::Title, 10, [](StartedGame& game) { tapFrame(game, 320, 240); }},
    {"main-menu", State::MainMenu, 30, [](StartedGame& game) { tapFrame(game, 58, 82); }},
    {"question-box", State::StartQuestion, 10, nullptr},
};
constexpr std::size_t kShotCount = 6;

// Starts the game on the demo set and walks the stops, one frame of 40 ms
// at a time; answers the shots taken.
std::vector<Shot> runFrontEnd() {
    StartedGame game;
    EXPECT_TRUE(game.started);
    std::vector<Shot> shots;
    int inState = 0;
    State last = State::Quit;
    for (int frame = 0; frame < 2000 && shots.size() < kShotCount; ++frame) {
        game.host->clock().sleep(kFrameMs);
        EXPECT_TRUE(game.frame());
        const game::State state = game::stateStatics().s_state;
        inState = state == last ? inState + 1 : 0;
        last = state;
        for (const Stop& stop : kStops) {
            if (stop.state != state || stop.inState != inState)
                continue;
            if (stop.scenario)
                shots.push_back(shoot(stop.scenario, frame));
            if (stop.act)
                stop.act(game);
        }
    }
    return shots;
}

std::map<std::string, std::pair<int, std::uint64_t>> readExpected() {
    std::map<std::string, std::pair<int, std::uint64_t>> rows;
    std::ifstream in(expectedFile());
    std::string scenario;
    int frame = 0;
    std::string hash;
    while (in >> scenario >> frame >> hash)
        rows[scenario] = {frame, std::stoull(hash, nullptr, 16)};
    return rows;
}

TEST(GoldenFrames, TheStartUpScreensMenusAndQuestionsLookAsRecordedAndTwoRunsAgree) {
    std::vector<Shot> shots = runFrontEnd();
    ASSERT_EQ(shots.size(), kShotCount);
    std::vector<Shot> again = runFrontEnd();
    ASSERT_EQ(again.size(), shots.size());
    for (std::size_t i = 0; i < shots.size(); ++i) {
        EXPECT_EQ(again[i].frame, shots[i].frame) << shots[i].scenario;
        EXPECT_EQ(again[i].hash, shots[i].hash)
            << shots[i].scenario << ": the same run paints the same frame";
    }

    const char* update = std::getenv("VORLAX_UPDATE_EXPECTED");
    if (update && std::string(update) == "1") {
        std::ofstream out(expectedFile());
        for (const Shot& shot : shots) {
            std::ostringstream hash;
            hash << std::hex << shot.hash;
            out << shot.scenario << ' ' << shot.frame << ' ' << hash.str() << '\n';
        }
        return;
    }
    std::map<std::string, std::pair<int, std::uint64_t>> expected = readExpected();
    for (const Shot& shot : shots) {
        SCOPED_TRACE(shot.scenario);
        const std::string png = (std::filesystem::path(VORLAX_TEST_OUTPUT_DIR) /
                                 ("golden-" + shot.scenario + "-" + std::to_string(shot.frame) + ".png"))
                                    .string();
        auto row = expected.find(shot.scenario);
        if (row == expected.end()) {
            ADD_FAILURE() << expectedFile() << " has no row for it; the frame is in " << png;
        } else {
            EXPECT_EQ(shot.frame, row->second.first);
            if (shot.hash == row->second.second)
                continue;
            ADD_FAILURE() << "the frame differs from the recorded one; it is in " << png;
        }
        EXPECT_TRUE(datakit::writeFile(png, datakit::writePng(640, 480, shot.pixels)).ok());
    }
}

// The main menu repaints only when something asks, while its help line runs
// along the bottom bar every frame: each frame, as the game paints it over
// the frame before, must look like the same frame painted whole.
TEST(GoldenFrames, EveryMainMenuFrameLooksAsIfPaintedWhole) {
    StartedGame game(std::vector<datakit::Property>{{"Vorlax-Sound-Question", "0"}});
    ASSERT_TRUE(game.started);
    game::LoopStatics& loop = game::loopStatics();
    int inMenu = 0;
    int compared = 0;
    for (int frame = 0; frame < 2000 && compared < 60; ++frame) {
        game.host->clock().sleep(kFrameMs);
        ASSERT_TRUE(game.frame());
        if (game::stateStatics().s_state == State::Title) {
            game.canvas()->pointerPressed(240, 320);
            game.canvas()->pointerReleased(240, 320);
        }
        // The items slide in over the first frames, repainting everything.
        if (game::stateStatics().s_state != State::MainMenu || ++inMenu < 20)
            continue;
        std::vector<std::int32_t> painted = framework_testing::pixels(loop.s_screenBuffer);
        platform::javax_microedition_lcdui_Graphics* saved = loop.s_graphics;
        loop.s_graphics = loop.s_bufferGraphics;
        game::menuStatics().s_redraw = 1;
        game::sendStateMessage(game::kPaint);
        game::paintOverlay(loop.s_graphics);
        loop.s_graphics = saved;
        std::vector<std::int32_t> whole = framework_testing::pixels(loop.s_screenBuffer);
        ASSERT_EQ(painted.size(), whole.size());
        std::size_t differing = 0;
        std::size_t first = 0;
        for (std::size_t i = painted.size(); i-- > 0;)
            if (painted[i] != whole[i]) {
                ++differing;
                first = i;
            }
        ASSERT_EQ(differing, 0u) << "menu frame " << inMenu << ": the first differing pixel is at ("
                                 << first % 640 << ", " << first / 640 << ")";
        ++compared;
    }
    EXPECT_EQ(compared, 60);
}

} // namespace
