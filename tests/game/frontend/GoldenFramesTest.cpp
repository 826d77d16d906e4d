// Golden frames of the front end: the game started on the demo set (sound
// question skipped by the property), run frame by frame on the virtual
// clock, its screen buffer hashed at chosen frames of the title and the
// main menu. The expected rows live in golden-frames.txt beside this file as
// "scenario frame hash" lines; a frame that differs is written as
// golden-SCENARIO-FRAME.png in the working folder. Running the test with
// VORLAX_UPDATE_EXPECTED=1 in the environment writes the rows it saw
// instead of comparing them.

#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PngWriter.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using framework_testing::StartedGame;

constexpr std::uint32_t kFrameMs = 40;
constexpr std::int32_t kTitleState = 5;
constexpr std::int32_t kMainMenuState = 6;

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

// Starts the game and runs it until `frames` frames after the main menu
// opened: the title is shot on its 10th frame, where a tap opens the menu,
// and the menu on its 30th, after its items have settled.
std::vector<Shot> runFrontEnd() {
    StartedGame game(std::vector<datakit::Property>{{"Vorlax-Sound-Question", "0"}});
    EXPECT_TRUE(game.started);
    std::vector<Shot> shots;
    int inState = 0;
    std::int32_t last = -1;
    for (int frame = 0; frame < 2000 && shots.size() < 2; ++frame) {
        game.host->clock().sleep(kFrameMs);
        EXPECT_TRUE(game.frame());
        const std::int32_t state = game::stateStatics().s_state;
        inState = state == last ? inState + 1 : 0;
        last = state;
        if (state == kTitleState && inState == 10) {
            shots.push_back(shoot("title", frame));
            game.canvas()->pointerPressed(240, 320);
            game.canvas()->pointerReleased(240, 320);
        }
        if (state == kMainMenuState && inState == 30)
            shots.push_back(shoot("main-menu", frame));
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

TEST(GoldenFrames, TheTitleAndTheMainMenuLookAsRecordedAndTwoRunsAgree) {
    std::vector<Shot> shots = runFrontEnd();
    ASSERT_EQ(shots.size(), 2u);
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
        ASSERT_EQ(expected.count(shot.scenario), 1u) << expectedFile() << " has no row for it";
        EXPECT_EQ(shot.frame, expected[shot.scenario].first);
        if (shot.hash == expected[shot.scenario].second)
            continue;
        const std::string png = "golden-" + shot.scenario + "-" + std::to_string(shot.frame) + ".png";
        EXPECT_TRUE(datakit::writeFile(png, datakit::writePng(640, 480, shot.pixels)).ok());
        ADD_FAILURE() << "the frame differs from the recorded one; it is in " << png;
    }
}

} // namespace
