#include "host/sdl/SdlHost.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// With a video driver that does not exist, SDL cannot show a window: the host
// still comes up, on the headless window and screen, and says so once.
TEST(SdlHost, FallsBackToTheHeadlessWindowWithoutADisplay) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    {
        testing_support::LogCapture log;
        host::SdlOptions options;
        options.audioDriver = "dummy";
        auto h = host::makeSdlHost(options);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.lines()[0].starts_with("host: no display ("));
        ASSERT_TRUE(h->window().open("BrivantaClass", "Brivanta - Vorlax Rally").ok());
        EXPECT_TRUE(h->window().isForeground());
        h->screen().pixels()[0] = 0xFFFF;
        h->screen().present();
        host::WindowEvent event;
        EXPECT_FALSE(h->window().pollEvent(event));
        EXPECT_FALSE(h->dialogs().askYesNo("Vorlax Rally", "Do you want to connect to the Internet?"));
    }
    if (saved)
        ::setenv("SDL_VIDEODRIVER", saved->c_str(), 1);
    else
        ::unsetenv("SDL_VIDEODRIVER");
}

} // namespace
