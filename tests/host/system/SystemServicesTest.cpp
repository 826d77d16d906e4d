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

// Device paths land in the folder standing for their device part; only that
// part is matched without case, and nothing may climb out of its folder.
TEST(SystemFolders, DevicePathsMapOntoTheirLinuxFolders) {
    host::SystemFolders folders({"/data/Run", "/srv/PF", "/var/tmp/vx"});
    EXPECT_EQ(folders.deviceFolder(38).value(), "\\Program Files");
    EXPECT_FALSE(folders.deviceFolder(5).ok());
    struct Case {
        const char* device;
        const char* hostPath; // null: the mapping fails
    };
    const Case cases[] = {
        {"\\program files\\brivanta\\vorlax rally\\data.bar", "/data/Run/data.bar"},
        {"\\Program Files\\Brivanta\\Vorlax Rally", "/data/Run/"},
        {"\\program files\\brivanta\\vorlax rally\\Sub\\A.rms", "/data/Run/Sub/A.rms"},
        {"\\program files\\maker\\suite\\s.rms", "/srv/PF/maker/suite/s.rms"},
        {"\\PROGRAM FILES/maker/x", "/srv/PF/maker/x"},
        {"\\program files\\brivanta\\vorlax rallyX\\a", "/srv/PF/brivanta/vorlax rallyX/a"},
        {"\\temp\\sound0.wav", "/var/tmp/vx/sound0.wav"},
        {"\\tempo\\a", nullptr},
        {"program files\\a", nullptr},
        {"\\windows\\a", nullptr},
        {"\\temp\\..\\etc\\passwd", nullptr},
        {"\\program files\\brivanta\\vorlax rally\\.\\a", nullptr},
        {"\\temp/../x", nullptr},
    };
    for (const Case& c : cases) {
        host::Result<std::string> mapped = folders.hostPath(c.device);
        if (c.hostPath) {
            ASSERT_TRUE(mapped.ok()) << c.device;
            EXPECT_EQ(mapped.value(), c.hostPath) << c.device;
        } else {
            EXPECT_FALSE(mapped.ok()) << c.device;
        }
    }
    EXPECT_FALSE(folders.hostPath(std::string_view("\\temp\\a\0b", 9)).ok()) << "a NUL byte";
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
