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

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

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
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    testing_support::TemporaryFolder lockFolder("vorlax-sdl-lock");
    parts.makeWindowHost = [&lockFolder](const platform::ProgramOptions&) {
        host::SdlOptions options;
        options.instanceLockFolder = lockFolder.path().string();
        return host::makeSdlHost(options);
    };

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

} // namespace
