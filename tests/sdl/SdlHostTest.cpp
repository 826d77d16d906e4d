// The sdl host on a real X display (Xvfb in CI): what the window shows is
// read back from the X server, and clicks are made by the X server's test
// extension, so both go through the real window. Without a display the tests
// are skipped.

#include "host/sdl/SdlHost.h"
#include "host/display/WindowView.h"
#include "platform/display/openDisplay.h"

#include "tests/sdl/WindowPicture.h"
#include "tests/sdl/XDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

constexpr int kWidth = platform::kLogicalScreenWidth;
constexpr int kHeight = platform::kLogicalScreenHeight;

// Stripes of four colours across, a gradient down: every turn and mirror of
// it looks different.
std::uint16_t patternPixel(int x, int y) {
    static constexpr std::uint16_t kStripes[] = {0xF800, 0x07E0, 0x001F, 0xFFE0};
    return static_cast<std::uint16_t>(kStripes[(x / 60) % 4] ^ (y / 40));
}

// Pumps the window thread's turns until `done` or twenty seconds have passed
// (a loaded machine's X server can take seconds to deliver a click).
bool pumpUntil(host::Host& h, std::vector<host::WindowEvent>& events, const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        host::WindowEvent event;
        while (h.window().pollEvent(event))
            events.push_back(event);
        if (done())
            return true;
        h.clock().sleep(10);
    }
    return false;
}

class SdlHostOnDisplay : public testing::TestWithParam<host::WindowTurn> {};

TEST_P(SdlHostOnDisplay, ShowsPresentedFramesAsTurnedAndMapsClicksToScreenPixels) {
    testing_support::XDisplay x;
    if (!x.connected())
        GTEST_SKIP() << "no X display";

    host::SdlOptions options;
    options.turn = GetParam();
    options.instanceLockFolder = testing::TempDir();
    auto h = host::makeSdlHost(options);
    std::string title = "Brivanta - Vorlax Rally test " + std::to_string(::getpid());
    ASSERT_TRUE(h->window().open("BrivantaClass", title).ok());

    std::unique_ptr<platform::DisplayDriver> driver;
    ASSERT_EQ(platform::openDisplay(u"GDI", *h, &h->window(), driver), 1);
    std::uint16_t* surface = driver->surfacePixels();
    for (int y = 0; y < kHeight; ++y) {
        for (int column = 0; column < kWidth; ++column)
            surface[y * kWidth + column] = patternPixel(column, y);
    }
    // The game thread presents; the window thread shows the frame at its next turn.
    auto game = h->threads().create([&] { driver->present(); });
    ASSERT_TRUE(game.ok());
    game.value()->resume();
    game.value()->join();

    host::ScreenSize size = host::windowSizeFor({kWidth, kHeight}, options.turn, 1);
    host::WindowView view{{kWidth, kHeight}, options.turn, size.width, size.height};
    std::vector<host::WindowEvent> events;
    std::optional<unsigned long> window;
    int mismatches = -1;
    bool shown = pumpUntil(*h, events, [&] {
        x.sync();
        window = x.find(title);
        if (!window)
            return false;
        mismatches = testing_support::pictureMismatches(x, *window, view, patternPixel);
        return mismatches == 0;
    });
    ASSERT_TRUE(shown) << "window found: " << window.has_value() << ", pixels that differ: " << mismatches;

    x.click(*window, 100, 30);
    // Other window events (focus, exposure) may follow the release.
    auto released = [&] {
        return std::ranges::any_of(events, [](const host::WindowEvent& event) {
            return event.type == host::WindowEventType::StylusUp;
        });
    };
    ASSERT_TRUE(pumpUntil(*h, events, released));
    std::erase_if(events, [](const host::WindowEvent& event) {
        return event.type != host::WindowEventType::StylusDown &&
               event.type != host::WindowEventType::StylusUp &&
               event.type != host::WindowEventType::StylusMove;
    });
    ASSERT_EQ(events.size(), 2u) << "a click is a press and a release, with no move between";
    int expectedX = options.turn == host::WindowTurn::Turned ? kWidth - 1 - 30 : 100;
    int expectedY = options.turn == host::WindowTurn::Turned ? 100 : 30;
    EXPECT_EQ(events[0].type, host::WindowEventType::StylusDown);
    EXPECT_EQ(events[0].x, expectedX);
    EXPECT_EQ(events[0].y, expectedY);
    EXPECT_EQ(events[1].x, expectedX);
    EXPECT_EQ(events[1].y, expectedY);
    driver.reset();
}

INSTANTIATE_TEST_SUITE_P(EachTurn, SdlHostOnDisplay,
                         testing::Values(host::WindowTurn::Turned, host::WindowTurn::AsDevice),
                         [](const testing::TestParamInfo<host::WindowTurn>& info) {
                             return info.param == host::WindowTurn::Turned ? "Turned" : "AsDevice";
                         });

} // namespace
