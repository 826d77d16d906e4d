// `vorlax --race ROW` on damaged copies of the demo set: every file the
// start-up or the race needs and cannot use ends the run with the
// broken-data status and one line on standard error naming that file and
// what is wrong, before anything could fail a runtime check. In normal play
// a race that cannot be loaded is told to the player, who goes back to the
// menus.

#include "game/framework/States.h"
#include "game/race/TrackEntryLayout.h"
#include "runtime/checks.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

// The demo set with track 0 cut short past the wire model that the menus
// read at start-up: only a race on that track reads the rest.
mkdata::ProgramFolder setWithTrack0Cut() {
    mkdata::ProgramFolder set = testing_support::demoSet();
    const std::u16string pack(mkdata::kTrackPackFile);
    std::erase_if(set.archive, [&](const datakit::ArchiveEntry& entry) {
        return entry.name == pack || entry.name.starts_with(pack + u".");
    });
    std::vector<datakit::Bytes> tracks;
    for (int track = 0; track < mkdata::kDemoTrackCount; ++track)
        tracks.push_back(datakit::writeTrack(mkdata::demoTrack(track)));
    tracks[0].resize(game::kWireModelBytes + 16);
    mkdata::addPack(set, pack, tracks);
    return set;
}

// The player chooses the guided race on track 0 from the menus, where its
// items are drawn; its load fails, a notice says so on the screen and the
// player's tap (or left soft key) leads back to the main menu. The run ends
// normally, with the file named in the log and no runtime check reported.
TEST(BrokenDataProgram, ARaceThatCannotLoadIsToldToThePlayerWhoGoesBackToTheMenus) {
    testing_support::TemporaryFolder root("vorlax-broken-race");
    ASSERT_TRUE(mkdata::writeProgramFolder(setWithTrack0Cut(), root.path()).ok());
    using game::State;
    using tour::Frame;
    using tour::Step;
    auto tapOn = [](State state, std::u16string text) {
        return tour::steps::step("a tap on a label", tour::steps::showing(state, text, 900),
                                 tour::steps::tapText(text));
    };
    const std::u16string prompt = u"Tap the screen to continue";
    struct Answer {
        const char* name;
        std::function<bool(const Frame&, tour::Player&, std::string&)> act;
    };
    const Answer answers[] = {
        {"a tap on the prompt", tour::steps::tapText(prompt)},
        {"the left soft key", tour::steps::press(tour::SoftKey::Left)},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.name);
        std::string shown;
        Step notice = tour::steps::step("the notice that the race could not be loaded",
                                        tour::steps::showing(State::Loading, prompt, 900),
                                        [&](const Frame& frame, tour::Player& player, std::string& problem) {
                                            shown = frame.texts();
                                            return answer.act(frame, player, problem);
                                        });
        notice.shot = "race-load-failed";
        const std::vector<Step> steps = {
            tour::steps::step("the sound question", tour::steps::inState(State::SoundQuestion),
                              tour::steps::press(tour::SoftKey::Left)),
            tapOn(State::Title, prompt),
            tapOn(State::MainMenu, u"Play"),
            tapOn(State::StartQuestion, u"Yes"),
            notice,
            tour::steps::step("the main menu", tour::steps::inState(State::MainMenu), tour::steps::nothing()),
        };
        testing_support::LogCapture log;
        const tour::TourResult result = tour::runTour(root.path(), steps);
        EXPECT_TRUE(result.finished) << result.problem;
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(rt::runtimeReports().count, 0u) << rt::runtimeReports().first;
        EXPECT_NE(shown.find("This race could not be loaded"), std::string::npos) << shown;
        EXPECT_TRUE(log.contains("/tracks.pak entry 0")) << "the log does not name the track's file";
        EXPECT_EQ(result.raceFrames, 0);
        ASSERT_EQ(result.pictures.size(), 1u);
        std::string problem;
        EXPECT_TRUE(tour::writePicture(result.pictures[0],
                                       std::filesystem::path(VORLAX_TEST_OUTPUT_DIR) / "race-load-failed.png",
                                       problem))
            << problem;
    }
}

} // namespace
