// The wait animation of connections on the headless host's virtual clock, and
// the error boxes of a whole shell run.

#include "platform/shell/ConnectionScreen.h"

#include "host/Text.h"
#include "host/headless/HeadlessHost.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using platform::ConnectionScreen;

struct Box {
    int left, top, right, bottom;

    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct Census {
    int red = 0;
    int white = 0;
    int outside = 0; // lit pixels outside the text's box
};

Census census(const std::vector<std::uint16_t>& frame, Box box) {
    Census counts;
    for (int y = 0; y < 640; ++y) {
        for (int x = 0; x < 480; ++x) {
            std::uint16_t p = frame[static_cast<std::size_t>(y * 480 + x)];
            if (p != 0 && !box.contains(x, y))
                ++counts.outside;
            counts.red += p == 0xF800;
            counts.white += p == 0xFFFF;
        }
    }
    return counts;
}

TEST(ConnectionScreen, DotsRunEvery300MsFromTheFirstBeginToTheLastEnd) {
    host::HeadlessOptions options;
    options.hashFrames = true;
    auto host = host::makeHeadlessHost(std::move(options));
    auto screenLock = host->threads().createMutex();
    ConnectionScreen screen(*host, *screenLock, nullptr);
    auto& frames = host->headlessScreen();
    ASSERT_TRUE(host->text().metrics()) << "the test needs the system font";
    const Box box{ConnectionScreen::kLeft, ConnectionScreen::kTop,
                  ConnectionScreen::kLeft + host->text().measure(ConnectionScreen::frameText(0)),
                  ConnectionScreen::kTop + host->text().metrics()->height};

    // Two requests overlap: one animation, until the second ends.
    screen.beginWait();
    screen.beginWait();
    host->clock().sleep(1000);
    EXPECT_EQ(frames.frameCount(), 4u) << "frames at 0, 300, 600 and 900 ms";
    screen.endWait();
    host->clock().sleep(300);
    EXPECT_EQ(frames.frameCount(), 5u) << "one request still runs";
    screen.endWait();
    host->clock().sleep(1000);
    ASSERT_EQ(frames.frameCount(), 5u) << "no frame after the last end";

    // The fifth frame lays seven red dots over the first frame's white ones,
    // on the screen as it was, nowhere else.
    Census fifth = census(frames.lastFrame(), box);
    EXPECT_GT(fifth.red, 7);
    EXPECT_EQ(fifth.white, 0);
    EXPECT_EQ(fifth.outside, 0);
    std::vector<std::uint64_t> hashes = frames.frameHashes();
    for (std::size_t i = 1; i < hashes.size(); ++i)
        EXPECT_NE(hashes[i], hashes[i - 1]) << "frame " << i << " draws something new";

    // The next request starts again with the white frame.
    screen.beginWait();
    host->clock().sleep(100);
    screen.endWait();
    ASSERT_EQ(frames.frameCount(), 6u);
    Census again = census(frames.lastFrame(), box);
    EXPECT_GT(again.white, 7);
    EXPECT_GT(again.white, 2 * again.red) << "white dots cover the red ones: " << again.red << " red left";
    EXPECT_EQ(again.outside, 0);
}

TEST(ConnectionScreen, AnErrorBoxThatCannotBeShownIsLogged) {
    auto host = host::makeHeadlessHost({});
    auto screenLock = host->threads().createMutex();
    std::vector<std::string> shown;
    bool accept = true;
    ConnectionScreen screen(*host, *screenLock, [&](const std::string& caption, const std::string& text) {
        if (accept)
            shown.push_back(caption + "|" + text);
        return accept;
    });
    testing_support::LogCapture log;
    screen.showError("WinSocketClient::Connect", "Unable to connect: 6F / 111");
    accept = false;
    screen.showError("WinSocketClient::Create Failed", "");
    EXPECT_EQ(shown, std::vector<std::string>{"WinSocketClient::Connect|Unable to connect: 6F / 111"});
    EXPECT_TRUE(log.contains("WinSocketClient::Create Failed: "));
    EXPECT_FALSE(log.contains("Unable to connect"));
}

} // namespace
