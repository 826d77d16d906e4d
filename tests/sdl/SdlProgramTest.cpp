// The program in a real SDL window on an X display (Xvfb in CI), with the
// test MIDlet: what the window shows is read back from the X server, and a
// click made by the X server's test extension reaches the canvas as the
// stylus. Without a display the test is skipped.

#include "host/display/WindowView.h"
#include "host/sdl/SdlHost.h"
#include "platform/shell/Program.h"
#include "platform/shell/Shell.h"

#include "tests/sdl/WindowPicture.h"
#include "tests/sdl/XDisplay.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace sdl_program_test {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

// A green screen with a red block in its top-left corner: any turn or mirror
// of it looks different.
std::uint16_t patternPixel(int x, int y) {
    return x < 60 && y < 40 ? 0xF800 : 0x07E0;
}

bool waitFor(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The test MIDlet's program with a real window, its instance lock in
// `lockFolder`, its sound on SDL's silent driver.
platform::ProgramParts windowProgram(testing_support::MidletRecord& record,
                                     const testing_support::TemporaryFolder& lockFolder) {
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    parts.makeWindowHost = [&lockFolder](const platform::ProgramOptions&) {
        host::SdlOptions options;
        options.instanceLockFolder = lockFolder.path().string();
        options.audioDriver = "dummy";
        return host::makeSdlHost(options);
    };
    return parts;
}

TEST(SdlProgram, TheMidletsFrameIsShownAndAClickReachesItAsTheStylus) {
    testing_support::XDisplay x;
    if (!x.connected())
        GTEST_SKIP() << "no X display";

    testing_support::MidletRecord record;
    record.onPaint = [](platform::javax_microedition_lcdui_Graphics* graphics, int) {
        graphics->setColor(0x00FF00);
        graphics->fillRect(0, 0, kWidth, kHeight);
        graphics->setColor(0xFF0000);
        graphics->fillRect(0, 0, 60, 40);
    };
    testing_support::TemporaryFolder lockFolder("vorlax-sdl-lock");
    const platform::ProgramParts parts = windowProgram(record, lockFolder);

    host::ScreenSize size = host::windowSizeFor({kWidth, kHeight}, host::WindowTurn::Turned, 1);
    host::WindowView view{{kWidth, kHeight}, host::WindowTurn::Turned, size.width, size.height};
    int mismatches = -1;
    bool shown = false;
    bool clicked = false;
    std::string expectedPress;
    std::thread watcher([&] {
        std::optional<unsigned long> window;
        if (!waitFor([&] {
                x.sync();
                window = x.find(platform::kWindowTitle);
                return window.has_value();
            })) {
            record.quit = true;
            return;
        }
        shown = waitFor([&] {
            x.sync();
            mismatches = testing_support::pictureMismatches(x, *window, view, patternPixel);
            return mismatches == 0;
        });
        // Once the frame is shown, a click is the stylus event the canvas must see.
        x.click(*window, 100, 30);
        int screenX = 0;
        int screenY = 0;
        host::windowToScreen(view, 100, 30, screenX, screenY);
        expectedPress = "pointerPressed " + std::to_string(screenX) + " " + std::to_string(screenY);
        clicked = waitFor([&] { return record.count(expectedPress) == 1; });
        record.quit = true;
    });
    const char* argv[] = {"vorlax"};
    int result = platform::runProgram(argv, parts);
    watcher.join();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(clicked) << "calls: " << testing::PrintToString(record.calls()) << " expected "
                         << expectedPress;
    EXPECT_TRUE(shown) << "pixels that differ: " << mismatches << ", frames painted: " << record.painted;
    EXPECT_EQ(record.count("destroyApp true"), 1);
}

// The test MIDlet's program in a window, with `watch` run on another thread
// once the window is on the display and has painted a frame; the program
// quits once `watch` returns. Answers the program's exit status.
int runWatched(testing_support::XDisplay& x, testing_support::MidletRecord& record,
               const std::function<void(testing_support::XDisplay&, unsigned long window)>& watch) {
    testing_support::TemporaryFolder lockFolder("vorlax-sdl-lock");
    const platform::ProgramParts parts = windowProgram(record, lockFolder);
    std::thread watcher([&] {
        std::optional<unsigned long> window;
        if (waitFor([&] {
                x.sync();
                window = x.find(platform::kWindowTitle);
                return window.has_value() && record.painted > 0;
            }))
            watch(x, *window);
        record.quit = true;
    });
    const char* argv[] = {"vorlax"};
    int result = platform::runProgram(argv, parts);
    watcher.join();
    return result;
}

// The window is a normal top-level window, one a task bar lists: it names
// its class and is transient for no other window.
TEST(SdlProgram, TheWindowIsANormalTopLevelWindowWithItsClass) {
    testing_support::XDisplay x;
    if (!x.connected())
        GTEST_SKIP() << "no X display";
    testing_support::MidletRecord record;
    std::optional<unsigned long> transient;
    std::string windowClass;
    bool seen = false;
    const int result = runWatched(x, record, [&](testing_support::XDisplay& x, unsigned long window) {
        seen = true;
        transient = x.transientFor(window);
        windowClass = x.windowClass(window);
    });
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(transient.has_value()) << "WM_TRANSIENT_FOR is set to window " << *transient;
    EXPECT_EQ(windowClass, platform::kWindowClass);
}

// Sent away (a system key asks the window manager to minimise the window,
// or another window takes the focus), the game pauses; with no window
// manager to hide the window (Xvfb runs none) it stays on the screen, and a
// click in it resumes the game, which paints again.
TEST(SdlProgram, AfterAMinimiseRequestOrAFocusLossAClickResumesTheGame) {
    testing_support::XDisplay x;
    if (!x.connected())
        GTEST_SKIP() << "no X display";
    struct Case {
        const char* name;
        std::function<void(testing_support::XDisplay&)> sendAway;
    };
    const Case cases[] = {
        {"Escape", [](testing_support::XDisplay& x) { x.pressKey(XK_Escape); }},
        {"the focus moved away", [](testing_support::XDisplay& x) { x.focusRoot(); }},
    };
    for (const Case& c : cases) {
        testing_support::MidletRecord record;
        bool paused = false;
        bool stopped = false;
        bool resumed = false;
        const int result = runWatched(x, record, [&](testing_support::XDisplay& x, unsigned long window) {
            // The window is clicked first, so that the pointer and the
            // keyboard are there; the click reaches the game.
            if (!waitFor([&] {
                    x.click(window, 100, 100);
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    const std::vector<std::string> calls = record.calls();
                    return std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
                        return call.starts_with("pointerReleased");
                    });
                }))
                return;
            const int started = record.count("startApp");
            c.sendAway(x);
            paused = waitFor([&] { return record.count("pauseApp") == 1; });
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const int before = record.painted;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            stopped = record.painted == before;
            x.click(window, 100, 100);
            resumed = waitFor(
                [&] { return record.count("startApp") == started + 1 && record.painted > before + 5; });
        });
        // The window took the keyboard when it came back; the next one starts as the first did.
        x.focusFollowsPointer();
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_TRUE(paused) << c.name << ": " << testing::PrintToString(record.calls());
        EXPECT_TRUE(stopped) << c.name << ": the paused game does not paint";
        EXPECT_TRUE(resumed) << c.name << ": " << testing::PrintToString(record.calls());
    }
}

} // namespace

} // namespace sdl_program_test
