// The game from its start to the menus' load, run whole on the demo set with
// its game thread and a script: the state trace, the splash's timetable seen
// in the screen buffer, and the sound question skipped by the property.

#include "game/data/SoundRequests.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/frontend/StartupScreens.h"
#include "tests/game/framework/GameFixture.h"

#include <functional>
#include <string>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace startup_flow_test {

namespace {

// What the splash left in the screen buffer after one of its paints.
struct SplashFrame {
    std::int32_t time;
    std::int32_t corner;
    std::size_t hash;
    int litPixels;
};
std::vector<SplashFrame> s_splashFrames;
// The sound option and the state after the load as states 2 and 3 leave.
std::vector<std::pair<bool, game::State>> s_leaving;

void recordLeaving(std::int32_t message) {
    if (message == game::kExit)
        s_leaving.emplace_back(game::isSoundOn(), game::stateStatics().s_loadingNextState);
}

void recordSoundPrompt(std::int32_t message) {
    game::stateSoundPrompt(message);
    recordLeaving(message);
}

void recordSplash(std::int32_t message) {
    game::stateSplash(message);
    recordLeaving(message);
    if (message != game::kPaint)
        return;
    std::vector<std::int32_t> pixels = framework_testing::pixels(game::loopStatics().s_screenBuffer);
    SplashFrame frame{game::stateStatics().s_stateTime, pixels.front() & 0xFFFFFF, 0, 0};
    for (std::int32_t pixel : pixels) {
        frame.hash = frame.hash * 31 + static_cast<std::uint32_t>(pixel);
        frame.litPixels += (pixel & 0xFFFFFF) != 0 ? 1 : 0;
    }
    s_splashFrames.push_back(frame);
}

// The log's line for a change from `from` to `to`.
std::string change(game::State from, game::State to) {
    return "state " + std::to_string(game::stateNumber(from)) + " -> " +
           std::to_string(game::stateNumber(to));
}

// The "state a -> b" lines of the log, in order.
std::vector<std::string> stateTrace(const testing_support::LogCapture& log) {
    std::vector<std::string> trace;
    for (const std::string& line : log.lines()) {
        std::size_t at = line.find("state ");
        if (at != std::string::npos && line.find(" -> ", at) != std::string::npos)
            trace.push_back(line.substr(at));
    }
    return trace;
}

// A tap on the splash halfway through, the left soft key a second after the
// splash has ended.
constexpr const char* kScript =
    "0 activate\n0 focus-gained\n5000 stylus-down 100 100\n+40 stylus-up 100 100\n"
    "12500 key-down F1\n+100 key-up F1\n13500 quit\n";

TEST(StartupFlow, TheSplashRunsItsTimetableThenTheSoundQuestionLeadsToTheMenusLoad) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-startup");
    framework_testing::writeDemoSet(folder.path());
    s_splashFrames.clear();
    s_leaving.clear();
    framework_testing::s_register = [] {
        game::setStateHandler(game::State::Splash, recordSplash);
        game::setStateHandler(game::State::SoundQuestion, recordSoundPrompt);
    };
    EXPECT_EQ(framework_testing::runWholeGame(folder.path(), kScript), 0);

    using game::State;
    EXPECT_EQ(stateTrace(log), (std::vector<std::string>{change(State::StartupLoad, State::Splash),
                                                         change(State::Splash, State::SoundQuestion),
                                                         change(State::SoundQuestion, State::Loading)}));
    ASSERT_FALSE(s_splashFrames.empty());
    EXPECT_EQ(s_splashFrames.back().time, 11040)
        << "the first frame past 11 s leaves, the tap at 5 s did nothing";
    std::size_t firstText = 0, secondText = 0;
    for (const SplashFrame& frame : s_splashFrames) {
        SCOPED_TRACE(frame.time);
        EXPECT_EQ(frame.corner, frame.time < 6000 ? 0xFFFFFF : 0x000000);
        if (frame.time >= 6000) {
            EXPECT_GT(frame.litPixels, 100) << "the text shows";
            std::size_t& text = frame.time < 9000 ? firstText : secondText;
            if (text == 0)
                text = frame.hash;
            EXPECT_EQ(frame.hash, text) << "one picture per text";
        }
    }
    EXPECT_NE(firstText, secondText) << "text 10 follows text 9";
    // The left soft key answered the highlighted no.
    EXPECT_EQ(s_leaving, (std::vector<std::pair<bool, game::State>>{{false, game::State{}},
                                                                    {false, game::State::Title}}));
}

TEST(StartupFlow, ThePropertyOfZeroSkipsTheSoundQuestionAndSwitchesSoundOn) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-startup");
    framework_testing::writeDemoSet(folder.path(), {{"Vorlax-Sound-Question", "0"}});
    s_leaving.clear();
    framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, recordSplash); };
    EXPECT_EQ(framework_testing::runWholeGame(folder.path(), kScript), 0);
    using game::State;
    EXPECT_EQ(stateTrace(log), (std::vector<std::string>{change(State::StartupLoad, State::Splash),
                                                         change(State::Splash, State::Loading)}));
    EXPECT_EQ(s_leaving, (std::vector<std::pair<bool, State>>{{true, State::Title}}));
}

} // namespace

} // namespace startup_flow_test
