// The game end to end on the race set, run whole as `vorlax --headless
// --script` runs it: from the title through the menus into a race loaded
// behind the bar, the race itself (its sky and road on the screen), its
// results and back to the main menu.

#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SlidingMenus.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceSetFolder.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The race kind's bar after each update of the loading state, and the
// updates the loaded race then waited for its tap.
std::vector<std::int32_t> s_bar;
int s_promptFrames = 0;
// The stack's depth at each entry into the main menu.
std::vector<std::int32_t> s_menuDepths;

void recordLoading(std::int32_t message) {
    game::stateLoading(message);
    if (message != game::kUpdate || (game::stateStatics().s_loadKind & game::kLoadRace) == 0)
        return;
    if (!game::loadingStatics().s_loadingDone || s_bar.empty() || s_bar.back() != 231)
        s_bar.push_back(game::loadingStatics().s_loadingProgress);
    else if (!game::stateStatics().s_stateChangePending)
        ++s_promptFrames;
}

// Race frames' probes: the pixel above the horizon and at the bottom
// centre, after each paint of the race state.
game::StateHandler s_raceState = nullptr;
std::vector<std::pair<std::int32_t, std::int32_t>> s_probes;

void recordRace(std::int32_t message) {
    s_raceState(message);
    if (message != game::kPaint)
        return;
    const std::vector<std::int32_t> argb = framework_testing::pixels(game::loopStatics().s_screenBuffer);
    const std::int32_t width = game::loopStatics().s_screenBuffer->getWidth();
    const std::int32_t height = game::loopStatics().s_screenBuffer->getHeight();
    s_probes.emplace_back(argb[static_cast<std::size_t>(20 * width + width / 2)] & 0xFFFFFF,
                          argb[static_cast<std::size_t>((height - 4) * width + width / 2)] & 0xFFFFFF);
}

void recordMainMenu(std::int32_t message) {
    if (message == game::kEnter)
        s_menuDepths.push_back(game::stateStatics().s_stateStackDepth);
    game::stateMainMenu(message);
}

std::vector<std::string> stateTrace(const testing_support::LogCapture& log) {
    std::vector<std::string> trace;
    for (const std::string& line : log.lines())
        if (line.starts_with("state "))
            trace.push_back(line);
    return trace;
}

// A tap at the game-space point (x, y): the game is drawn turned on the
// portrait screen, so its point (x, y) is the screen's (480 - y, x).
std::string tap(int time, int x, int y) {
    return std::to_string(time) + " stylus-down " + std::to_string(480 - y) + ' ' + std::to_string(x) +
           "\n+40 stylus-up " + std::to_string(480 - y) + ' ' + std::to_string(x) + '\n';
}

std::string leftSoftKey(int time) {
    return std::to_string(time) + " key-down F1\n+60 key-up F1\n";
}

// The sound question answered; the title tapped; the main menu's race item,
// whose first-time question is answered no; the race menu's single race;
// the racer list's first racer, highlighted on entry, by the left soft
// key; in the
// pre-race selection three taps on the lap option's arrow step it from
// three laps down to one, and the left soft key starts the load. The
// prompt is tapped well after the load has ended; the race runs with no
// key held (the car accelerates by itself); a tap ends the results and the
// after-race menu's third answer leaves.
const std::string kScript = "0 activate\n0 focus-gained\n" + leftSoftKey(12500) + tap(17000, 320, 240) +
                            tap(19000, 58, 82) + tap(21000, 320, 240) + tap(23000, 58, 156) +
                            leftSoftKey(27000) + tap(28000, 620, 400) + tap(28500, 620, 400) +
                            tap(29000, 620, 400) + leftSoftKey(31000) + tap(40000, 320, 240) +
                            tap(95000, 320, 240) + tap(100000, 320, 330) + "110000 quit\n";

TEST(EndToEnd, ARaceFromTheMenusRunsOneLapAndComesBackToTheMainMenu) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-end-to-end");
    framework_testing::s_editDemoSet = frontend_testing::useRaceSet;
    framework_testing::writeDemoSet(folder.path());
    s_bar.clear();
    s_promptFrames = 0;
    s_menuDepths.clear();
    s_probes.clear();
    framework_testing::s_register = [] {
        game::setStateHandler(game::State::Loading, recordLoading);
        game::setStateHandler(game::State::MainMenu, recordMainMenu);
        s_raceState = game::stateHandler(game::State::Race);
        game::setStateHandler(game::State::Race, recordRace);
    };
    EXPECT_EQ(framework_testing::runWholeGame(folder.path(), kScript), 0);

    EXPECT_EQ(stateTrace(log),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> 3", "state 3 -> 4", "state 4 -> 5",
                                        "state 5 -> 6", "state 6 -> 45", "state 45 -> 17", "state 17 -> 14",
                                        "state 14 -> 12", "state 12 -> 4", "state 4 -> 40", "state 40 -> 39",
                                        "state 39 -> 41", "state 41 -> 42", "state 42 -> 43",
                                        "state 43 -> 36", "state 36 -> 4", "state 4 -> 6"}));
    // The bar stays below its end until the frame of the kind's last step.
    ASSERT_GE(s_bar.size(), 41u);
    EXPECT_EQ(s_bar.back(), 231);
    for (std::size_t i = 0; i + 1 < s_bar.size(); ++i)
        EXPECT_LT(s_bar[i], 231) << "update " << i;
    EXPECT_GT(s_promptFrames, 50) << "the loaded race waits for its tap";
    ASSERT_EQ(s_menuDepths.size(), 2u);
    EXPECT_EQ(s_menuDepths[1], s_menuDepths[0]);
    // The race shows the track's sky above the horizon and its road at the
    // bottom centre (where the car sometimes passes), the screen's colours
    // being the model's to within its 16-bit depth.
    const datakit::RaceSet set = datakit::makeRaceSet();
    auto near = [](std::int32_t rgb, std::uint32_t model) {
        for (int shift : {0, 8, 16})
            if (std::abs(((rgb >> shift) & 0xFF) - static_cast<std::int32_t>((model >> shift) & 0xFF)) > 8)
                return false;
        return true;
    };
    ASSERT_GT(s_probes.size(), 100u);
    std::size_t onRoad = 0;
    for (auto [sky, road] : s_probes) {
        EXPECT_TRUE(near(sky, set.sky[0])) << std::hex << sky;
        onRoad += near(road, set.road[0]) ? 1 : 0;
    }
    EXPECT_GT(onRoad, s_probes.size() * 9 / 10);
    for (const std::string& line : log.lines()) {
        EXPECT_FALSE(line.starts_with("stacktrace")) << "no screen draws what its sprites lack";
        EXPECT_FALSE(line.starts_with("load of kind")) << line;
    }
}

} // namespace
