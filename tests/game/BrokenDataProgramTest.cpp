// `vorlax --race ROW` on damaged copies of the demo set: every file the
// start-up or the race needs and cannot use ends the run with the
// broken-data status and one line on standard error naming that file and
// what is wrong, before anything could fail a runtime check.

#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

datakit::Bytes& entryBytes(mkdata::ProgramFolder& set, std::u16string_view name) {
    auto found = std::find_if(set.archive.begin(), set.archive.end(),
                              [&](const datakit::ArchiveEntry& entry) { return entry.name == name; });
    EXPECT_NE(found, set.archive.end());
    return found->bytes;
}

void cutToHalf(mkdata::ProgramFolder& set, std::u16string_view name) {
    datakit::Bytes& bytes = entryBytes(set, name);
    bytes.resize(bytes.size() / 2);
}

struct Damage {
    const char* name;
    std::function<void(mkdata::ProgramFolder&)> apply;
    // Where the run ends: in the start-up, or at the race's load.
    int row;
    // The start of the one line on standard error after "vorlax: the data set is broken: ".
    std::string said;
};

TEST(BrokenDataProgram, EachBrokenFileEndsTheRunWithOneLineNamingIt) {
    const Damage damages[] = {
        {"the fixed-point pack's offset table starts at -1",
         [](mkdata::ProgramFolder& set) {
             // u16 entries, s16 parts (1), u16 first entry, then the offsets.
             datakit::Bytes& bytes = entryBytes(set, u"fixed.pak");
             std::fill_n(bytes.begin() + 6, 4, std::uint8_t{0xFF});
         },
         0, "/fixed.pak: entry 0 (the cosine table) is no int array or cannot be read"},
        {"the game tables cut in half", [](mkdata::ProgramFolder& set) { cutToHalf(set, u"tables.pak"); }, 1,
         "/tables.pak: entry 0: "},
        {"the racer pack cut in half", [](mkdata::ProgramFolder& set) { cutToHalf(set, u"racers.pak"); }, 2,
         "/racers.pak: racer "},
        {"the event pack cut in half", [](mkdata::ProgramFolder& set) { cutToHalf(set, u"events.pak"); }, 3,
         "/events.pak: entry "},
        {"the sound content types missing",
         [](mkdata::ProgramFolder& set) {
             std::erase_if(set.archive,
                           [](const datakit::ArchiveEntry& e) { return e.name == u"soundtypes.bin"; });
         },
         4, "/soundtypes.bin: no such resource"},
        {"the zone pack's part count 0, read by the race's load",
         [](mkdata::ProgramFolder& set) {
             datakit::Bytes& bytes = entryBytes(set, u"zones.pak");
             bytes[2] = bytes[3] = 0;
         },
         5, "/zones.pak: entry 5: entry cannot be read"},
    };
    testing_support::TemporaryFolder root("vorlax-broken-data");
    const fs::path script = root.path() / "prompt.txt";
    std::ofstream(script) << "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n";
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        mkdata::ProgramFolder set = testing_support::demoSet();
        damage.apply(set);
        const fs::path folder = root.path() / "set";
        ASSERT_TRUE(mkdata::writeProgramFolder(set, folder).ok());
        const testing_support::CommandResult ended = testing_support::runCommand(
            std::string("'") + VORLAX_PROGRAM + "' --headless --race " + std::to_string(damage.row) +
            " --frames 600 --script '" + script.string() + "' '" + folder.string() + "' 2>&1 >/dev/null");
        EXPECT_EQ(ended.status, 3) << ended.output;
        EXPECT_EQ(ended.output.rfind("vorlax: the data set is broken: " + damage.said, 0), 0u)
            << ended.output;
        EXPECT_EQ(std::count(ended.output.begin(), ended.output.end(), '\n'), 1) << ended.output;
    }
}

// An archive cut in the middle is named as a cut archive, whichever of its
// entries the game would have read first.
TEST(BrokenDataProgram, AnArchiveCutInTheMiddleIsNamedAsCut) {
    testing_support::TemporaryFolder root("vorlax-broken-data");
    const fs::path folder = root.path() / "set";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), folder).ok());
    fs::resize_file(folder / "data.bar", fs::file_size(folder / "data.bar") / 2);
    const testing_support::CommandResult ended =
        testing_support::runCommand(std::string("'") + VORLAX_PROGRAM + "' --headless --frames 5 '" +
                                    folder.string() + "' 2>&1 >/dev/null");
    EXPECT_EQ(ended.status, 3) << ended.output;
    EXPECT_EQ(ended.output.rfind("vorlax: the data set is broken: data.bar: the archive is ", 0), 0u)
        << ended.output;
    EXPECT_EQ(std::count(ended.output.begin(), ended.output.end(), '\n'), 1) << ended.output;
}

} // namespace
