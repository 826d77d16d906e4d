#include "host/system/SystemBrowser.h"
#include "host/system/SystemClock.h"
#include "host/system/SystemDevice.h"
#include "host/system/SystemFolders.h"
#include "host/system/SystemInstanceLock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(SystemClock, CalendarTimeIsInSecondsSince1970) {
    host::SystemClock clock;
    auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    EXPECT_NEAR(static_cast<double>(clock.wallClockSeconds()), static_cast<double>(now.count()), 2.0);
}

TEST(SystemFolders, TheProgramFilesFolderFollowsFromTheProgramFolderUnlessGiven) {
    host::SystemFolders derived({"/opt/games/Brivanta/Vorlax Rally", ""});
    EXPECT_EQ(derived.programFolder(), "/opt/games/Brivanta/Vorlax Rally/");
    EXPECT_EQ(derived.specialFolder(38).value(), "/opt/games/");
    auto unknown = derived.specialFolder(5);
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().message, "host: no folder stands for special folder 5");

    host::SystemFolders given({"/data/run/", "/srv/pf"});
    EXPECT_EQ(given.specialFolder(38).value(), "/srv/pf/");

    host::SystemFolders current({});
    EXPECT_EQ(current.programFolder(), fs::current_path().string() + "/");
}

TEST(SystemInstanceLock, ASecondHolderOfTheSameNameIsTurnedAway) {
    fs::path folder = fs::temp_directory_path() / ("vorlax-lock-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    {
        host::SystemInstanceLock first(folder.string());
        host::SystemInstanceLock second(folder.string());
        EXPECT_EQ(first.acquire("BrivantaClass", "Brivanta - Vorlax Rally").value(),
                  host::InstanceState::Only);
        EXPECT_EQ(first.acquire("BrivantaClass", "Brivanta - Vorlax Rally").value(),
                  host::InstanceState::Only);
        EXPECT_EQ(second.acquire("BrivantaClass", "Brivanta - Vorlax Rally").value(),
                  host::InstanceState::Another);
        EXPECT_EQ(second.acquire("BrivantaClass", "another/title").value(), host::InstanceState::Only);
    }
    host::SystemInstanceLock again(folder.string());
    EXPECT_EQ(again.acquire("BrivantaClass", "Brivanta - Vorlax Rally").value(), host::InstanceState::Only)
        << "a lock is let go with its holder";
    host::SystemInstanceLock nowhere((folder / "missing").string());
    EXPECT_FALSE(nowhere.acquire("c", "t").ok());
    fs::remove_all(folder);
}

TEST(SystemDevice, LanguageComesFromTheLocaleName) {
    struct Case {
        const char* locale;
        int primary;
    };
    const Case cases[] = {{"de_DE.UTF-8", 7}, {"fr", 12}, {"es_ES", 10}, {"pt_BR.UTF-8", 22}, {"cs_CZ", 5},
                          {"C", 9},           {"deu", 9}, {"", 9},       {"en_GB.UTF-8", 9}};
    for (const Case& c : cases)
        EXPECT_EQ(host::SystemDevice::languageOfLocale(c.locale) & 0x3FF, c.primary) << c.locale;

    host::SystemDevice device(host::makeLanguageId(12));
    EXPECT_EQ(device.uiLanguage() & 0x3FF, 12);
    host::MemoryStatus memory = device.memoryStatus();
    EXPECT_GT(memory.totalPhysical, 0u);
    EXPECT_LE(memory.availablePhysical, memory.totalPhysical);
    EXPECT_FALSE(device.isPocketPC());
}

TEST(SystemBrowser, StartsTheProgramOrSaysWhyNot) {
    EXPECT_TRUE(host::SystemBrowser("true").open("http://example.invalid/").ok());
    auto missing = host::SystemBrowser("/nonexistent/browser").open("http://example.invalid/");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ENOENT);
}

} // namespace
