// The real `vorlax` program in a window on the X display (Xvfb in CI), on
// the demo set, met as a player meets it: the splash comes up, a click on
// "No" answers the sound question, the title follows, and closing the
// window as a window manager does ends the program normally.
//
// What each screen looks like comes from a headless run of the same data
// (the screen tour's walk of the same screens): the window must show one of
// the frames that run presented in the same state, pixel for pixel, and the
// click goes where that run drew the answer. Every wait polls up to a
// generous deadline, so a loaded machine is slower but not failing. A screen
// that does not come leaves what the window showed, and what was expected,
// as PNG files in the test's build folder. Without a display the test is
// skipped.

#include "game/framework/States.h"
#include "host/display/WindowView.h"
#include "platform/shell/Shell.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PngWriter.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include "tests/sdl/ChildProcess.h"
#include "tests/sdl/WindowPicture.h"
#include "tests/sdl/XDisplay.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr host::ScreenSize kScreen{480, 640};

// Every wait for the window is this long at most.
constexpr auto kPatience = std::chrono::seconds(60);

using Portrait = std::vector<std::uint16_t>;

// The distinct frames the headless run presented on each screen, and where
// it drew the sound question's "No" (its centre, on the device's screen).
struct Screens {
    std::vector<Portrait> splash;
    std::vector<Portrait> soundQuestion;
    std::vector<Portrait> title;
    int noX = -1;
    int noY = -1;
    std::string problem;

    // Files `frame` under the screen that painted it. A frame's state is the
    // one the game is in after it: the frame that changes the state was
    // still painted by the state before, so the painter is the state the
    // frame before ended in.
    void see(const tour::Frame& frame) {
        std::vector<Portrait>* screen = m_painter == game::State::Splash          ? &splash
                                        : m_painter == game::State::SoundQuestion ? &soundQuestion
                                        : m_painter == game::State::Title         ? &title
                                                                                  : nullptr;
        m_painter = frame.state;
        if (!screen || std::any_of(screen->begin(), screen->end(), [&frame](const Portrait& kept) {
                return std::equal(kept.begin(), kept.end(), frame.portrait.begin(), frame.portrait.end());
            }))
            return;
        screen->emplace_back(frame.portrait.begin(), frame.portrait.end());
    }

private:
    game::State m_painter = game::State::StartupLoad;
};

Screens headlessScreens(const fs::path& demo) {
    Screens screens;
    tour::Step question = tour::steps::step(
        "the splash, then the sound question",
        [&screens](const tour::Frame& frame) {
            screens.see(frame);
            return frame.state == game::State::SoundQuestion && frame.stateTime >= 2000;
        },
        [&screens](const tour::Frame& frame, tour::Player& player, std::string& problem) {
            const game::DrawRecord* no = frame.findText(u"No");
            if (!no) {
                problem = "\"No\" is not drawn; texts: " + frame.texts();
                return false;
            }
            const auto [x, y, width, height] = no->box;
            // The game draws turned: its point (x, y) is the screen's (480 - y, x).
            screens.noX = kScreen.width - (y + height / 2);
            screens.noY = x + width / 2;
            player.tap(x + width / 2, y + height / 2);
            return true;
        });
    question.timeoutMs = 60000;
    // Long enough for the title's blinking line to show and hide.
    tour::Step title = tour::steps::step(
        "the title",
        [&screens](const tour::Frame& frame) {
            screens.see(frame);
            return frame.state == game::State::Title && frame.stateTime >= 3000;
        },
        tour::steps::nothing());
    tour::TourResult run = tour::runTour(demo, {question, title});
    if (!run.finished)
        screens.problem = run.problem;
    return screens;
}

// What the window shows now, 0x00RRGGBB.
struct Grab {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;

    host::WindowView view() const { return {kScreen, host::WindowTurn::Turned, width, height}; }
};

bool shows(const Grab& grab, const Portrait& frame) {
    return testing_support::pictureMismatches(
               grab.pixels, grab.width, grab.height, grab.view(), [&frame](int x, int y) {
                   return frame[static_cast<std::size_t>(y * kScreen.width + x)];
               }) == 0;
}

void writePicture(const fs::path& path, int width, int height, std::vector<std::uint32_t> pixels) {
    for (std::uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    if (width > 0 && height > 0)
        (void)datakit::writeFile(
            path.string(),
            datakit::writePng(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), pixels));
}

// Writes what the window showed and the first of `frames` as
// window-NAME-shown.png and window-NAME-expected.png in the build folder;
// answers where they are, for the message.
std::string savePictures(const std::string& name, const Grab& grab, const std::vector<Portrait>& frames) {
    const fs::path shown = fs::path(VORLAX_TEST_OUTPUT_DIR) / ("window-" + name + "-shown.png");
    const fs::path expected = fs::path(VORLAX_TEST_OUTPUT_DIR) / ("window-" + name + "-expected.png");
    writePicture(shown, grab.width, grab.height, grab.pixels);
    const host::ScreenSize landscape = host::windowSizeFor(kScreen, host::WindowTurn::Turned, 1);
    std::vector<std::uint32_t> picture;
    for (std::uint16_t pixel : host::turnedPicture(frames.front(), kScreen, host::WindowTurn::Turned))
        picture.push_back(host::rgb565ToRgb888(pixel));
    writePicture(expected, landscape.width, landscape.height, picture);
    return "it showed " + shown.string() + ", expected is " + expected.string();
}

// Waits until the window shows one of `frames`; when it does not, keeps the
// pictures (`savePictures`) and says where they are.
testing::AssertionResult waitForScreen(testing_support::XDisplay& x, unsigned long window,
                                       testing_support::ChildProcess& vorlax, const std::string& name,
                                       const std::vector<Portrait>& frames) {
    if (frames.empty())
        return testing::AssertionFailure() << "the headless run showed no " << name;
    Grab grab;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline && !vorlax.status()) {
        x.sync();
        grab.pixels = x.capture(window, grab.width, grab.height);
        if (std::any_of(frames.begin(), frames.end(),
                        [&grab](const Portrait& frame) { return shows(grab, frame); }))
            return testing::AssertionSuccess();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return testing::AssertionFailure()
           << "the window (" << grab.width << " x " << grab.height << ") does not show the " << name
           << (vorlax.status() ? " (the program ended)" : "") << "; " << savePictures(name, grab, frames);
}

// The last `count` lines of `text`.
std::string lastLines(const std::string& text, int count) {
    std::size_t start = text.size();
    // Back to the line break before the last `count` lines (the text ends with one).
    for (int breaks = 0; start > 0; --start) {
        if (text[start - 1] == '\n' && ++breaks > count)
            break;
    }
    return text.substr(start);
}

// The window pixel that shows the screen point (x, y).
std::optional<std::pair<int, int>> windowPointOf(const host::WindowView& view, int x, int y) {
    for (int wy = 0; wy < view.windowHeight; ++wy) {
        for (int wx = 0; wx < view.windowWidth; ++wx) {
            int sx = 0;
            int sy = 0;
            if (host::windowToScreen(view, wx, wy, sx, sy) && sx == x && sy == y)
                return std::make_pair(wx, wy);
        }
    }
    return std::nullopt;
}

TEST(VorlaxWindow, ShowsTheSplashTakesTheSoundAnswerShowsTheTitleAndClosesNormally) {
    testing_support::XDisplay x;
    if (!x.connected())
        GTEST_SKIP() << "no X display";
    testing_support::TemporaryFolder root("vorlax-window");
    const fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(mkdata::makeDemoSet(), demo).ok());
    const Screens screens = headlessScreens(demo);
    ASSERT_EQ(screens.problem, "");

    // A lock folder of its own: another program's instance on this machine
    // must not make this one step aside. No sound device is needed.
    const fs::path lockFolder = root.path() / "run";
    fs::create_directories(lockFolder);
    testing_support::ChildProcess vorlax(VORLAX_PROGRAM, {demo.string()},
                                         {"SDL_AUDIODRIVER=dummy", "XDG_RUNTIME_DIR=" + lockFolder.string()},
                                         root.path());
    ASSERT_TRUE(vorlax.started());
    auto ended = [&vorlax] {
        return "\nthe program's standard error:\n" + vorlax.standardError() + "the end of its log:\n" +
               lastLines(vorlax.standardOutput(), 20);
    };

    std::optional<unsigned long> window;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!window && !vorlax.status() && std::chrono::steady_clock::now() < deadline) {
        x.sync();
        window = x.find(platform::kWindowTitle);
        if (!window)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    ASSERT_TRUE(window.has_value()) << "no window titled " << platform::kWindowTitle << ended();

    ASSERT_TRUE(waitForScreen(x, *window, vorlax, "splash", screens.splash)) << ended();
    ASSERT_TRUE(waitForScreen(x, *window, vorlax, "sound-question", screens.soundQuestion)) << ended();
    int width = 0;
    int height = 0;
    (void)x.capture(*window, width, height);
    const auto no =
        windowPointOf({kScreen, host::WindowTurn::Turned, width, height}, screens.noX, screens.noY);
    ASSERT_TRUE(no.has_value()) << "the window shows no screen point " << screens.noX << ", " << screens.noY;
    x.click(*window, no->first, no->second);
    ASSERT_TRUE(waitForScreen(x, *window, vorlax, "title", screens.title)) << ended();

    ASSERT_TRUE(x.askToClose(*window)) << "the window does not take WM_DELETE_WINDOW";
    const auto asked = std::chrono::steady_clock::now();
    const std::optional<int> status = vorlax.waitForEnd(60);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    ASSERT_TRUE(status.has_value()) << "still running " << seconds << " s after the window was closed";
    EXPECT_EQ(*status, 0) << ended();
    std::printf("the program ended %.2f s after its window was closed\n", seconds);
}

} // namespace
