// Without a display there is no window to show: the sdl host is not made, and
// the program run without --headless says that it needs it and ends with
// status 1 instead of waiting for a window that never becomes active.

#include "host/sdl/SdlHost.h"
#include "platform/shell/Program.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// SDL_VIDEODRIVER set to a driver that does not exist while it lives.
class NoDisplay {
public:
    NoDisplay() {
        if (const char* previous = std::getenv("SDL_VIDEODRIVER"))
            m_saved = previous;
        ::setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    }
    ~NoDisplay() {
        if (m_saved)
            ::setenv("SDL_VIDEODRIVER", m_saved->c_str(), 1);
        else
            ::unsetenv("SDL_VIDEODRIVER");
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;

private:
    std::optional<std::string> m_saved;
};

TEST(SdlHost, IsNotMadeWithoutADisplayAndSaysWhy) {
    NoDisplay noDisplay;
    testing_support::LogCapture log;
    host::SdlOptions options;
    options.audioDriver = "dummy";
    EXPECT_EQ(host::makeSdlHost(options), nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("host: no display (")) << log.lines()[0];
}

TEST(SdlProgram, WithoutADisplayTheProgramSaysItNeedsHeadlessAndEnds) {
    NoDisplay noDisplay;
    testing_support::MidletRecord record;
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    testing_support::TemporaryFolder lockFolder("vorlax-sdl-lock");
    parts.makeWindowHost = [&lockFolder](const platform::ProgramOptions&) {
        host::SdlOptions options;
        options.audioDriver = "dummy";
        options.instanceLockFolder = lockFolder.path().string();
        return host::makeSdlHost(options);
    };
    testing_support::LogCapture log;
    const char* argv[] = {"vorlax"};
    EXPECT_EQ(platform::runProgram(argv, parts), 1);
    EXPECT_TRUE(log.contains("vorlax: there is no display to open a window on; run with --headless"));
    EXPECT_TRUE(record.calls().empty());
}

} // namespace
