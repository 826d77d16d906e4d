// The program as a player starts it: the real `vorlax` on a folder holding
// the set mkdata makes, on one that does not exist and on one whose archive is cut.
// Each problem has its exit status and one line on standard error naming
// what is wrong; the demo set runs the game until the script quits.

#include "runtime/constantStrings.h"
#include "tests/game/data/SavedProgressFixture.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/RecordStore.h"
#include "tools/datakit/ReplayScript.h"
#include "tools/datakit/SaveRecords.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Ended {
    int status = -1;
    // What the program wrote on standard error.
    std::string errors;
};

// Runs `command` with its standard error captured and its standard output dropped.
Ended run(const std::string& command) {
    testing_support::CommandResult ended = testing_support::runCommand(command + " 2>&1 >/dev/null");
    return {ended.status, ended.output};
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Writes the demo set, as mkdata makes it, as the program folder `demo`.
bool writeDemo(const fs::path& demo) {
    return mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok();
}

Ended vorlax(const fs::path& folder) {
    return run(std::string("'") + VORLAX_PROGRAM + "' --headless --frames 1 " + quoted(folder));
}

TEST(VorlaxProgram, TheDemoSetRunsTheGameUntilTheScriptQuits) {
    testing_support::TemporaryFolder root("vorlax-program");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(writeDemo(demo));
    fs::path script = root.path() / "script.txt";
    std::FILE* file = std::fopen(script.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("0 activate\n0 focus-gained\n100 key-down F1\n+40 key-up F1\n600 quit\n", file);
    std::fclose(file);
    // Standard output this time: the game's log names each change of state.
    std::string command = std::string("'") + VORLAX_PROGRAM + "' --headless --script " + quoted(script) +
                          " " + quoted(demo) + " 2>/dev/null";
    const testing_support::CommandResult ended = testing_support::runCommand(command);
    EXPECT_EQ(ended.status, 0);
    const std::string& output = ended.output;
    EXPECT_NE(output.find("state 1 -> 2"), std::string::npos) << output;
    // State 1's loading step read the fixed-point pack.
    EXPECT_NE(output.find("fixed-point tables from /fixed.pak: 513 cosine values, 0 beside them"),
              std::string::npos)
        << output;
    // State 2 loaded the front end's first texts from the text pack that state 1 named.
    EXPECT_NE(output.find("text pack /texts.pak: entry 0 loaded"), std::string::npos) << output;
}

// Where the player has no display the program does not wait for a window
// nobody can see (SDL falls back on its "offscreen" driver, which shows
// nothing): it ends within seconds, status 1, with the line that says to run
// it with --headless. A driver the environment names is honoured: the same
// run with SDL_VIDEODRIVER=offscreen plays its frames in the unseen window
// and ends normally.
TEST(VorlaxProgram, WithoutADisplayItEndsAtOnceAndSaysToRunHeadless) {
    testing_support::TemporaryFolder root("vorlax-program");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(writeDemo(demo));
    struct Case {
        const char* environment;
        const char* arguments;
        int status;
        const char* lastError;
    };
    for (const Case& c :
         {Case{"", "", 1, "vorlax: there is no display to open a window on; run with --headless"},
          Case{"SDL_VIDEODRIVER=offscreen", "--frames 5", 0, ""}}) {
        const auto started = std::chrono::steady_clock::now();
        const Ended ended = run(std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ") +
                                c.environment + " SDL_AUDIODRIVER=dummy timeout 60 '" + VORLAX_PROGRAM +
                                "' " + c.arguments + " " + quoted(demo));
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
                .count();
        EXPECT_EQ(ended.status, c.status) << c.environment << ": " << ended.errors;
        EXPECT_LT(seconds, 20) << c.environment;
        const std::size_t lastLine = ended.errors.rfind('\n', ended.errors.size() - 2);
        EXPECT_TRUE(
            ended.errors.substr(lastLine == std::string::npos ? 0 : lastLine + 1).starts_with(c.lastError))
            << c.environment << ": " << ended.errors;
        if (*c.lastError == '\0') {
            EXPECT_EQ(ended.errors, "") << c.environment;
        }
    }
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A replay written by datakit drives the game; the run recorded meanwhile,
// replayed in another process, presents the same frames with the same state
// hashes, and ends at the same frame.
TEST(VorlaxProgram, ARecordedRunReplaysWithTheSameHashes) {
    testing_support::TemporaryFolder root("vorlax-program");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(writeDemo(demo));
    datakit::ReplayScript replay(20260101);
    replay.idle(20, 40).keyTap(host::vk::F1, 33).stylusTap(240, 320, 47).idle(10, 40).quit();
    auto back = host::parseScript(replay.text());
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_EQ(back.value().frames, replay.script().frames);
    EXPECT_EQ(back.value().seed, 20260101);
    ASSERT_TRUE(datakit::writeFile((root.path() / "replay.txt").string(), replay.bytes()).ok());

    auto vorlaxRun = [&](const char* script, const char* extra, const char* hashes) {
        return run(std::string("'") + VORLAX_PROGRAM + "' --headless --script " +
                   quoted(root.path() / script) + " " + extra + " --hashes " + quoted(root.path() / hashes) +
                   " " + quoted(demo));
    };
    Ended recording =
        vorlaxRun("replay.txt", ("--record " + quoted(root.path() / "rec.txt")).c_str(), "first.txt");
    ASSERT_EQ(recording.status, 0) << recording.errors;
    Ended replayed = vorlaxRun("rec.txt", "", "again.txt");
    ASSERT_EQ(replayed.status, 0) << replayed.errors;

    std::string first = readFile(root.path() / "first.txt");
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), std::ssize(replay.script().frames) - 1)
        << "a line per painted frame, the quit's frame is never painted";
    EXPECT_EQ(readFile(root.path() / "again.txt"), first);
    EXPECT_TRUE(readFile(root.path() / "rec.txt").starts_with("seed 20260101\n"));
}

TEST(VorlaxProgram, EachDataSetProblemEndsWithItsStatusAndOneLineNamingIt) {
    testing_support::TemporaryFolder root("vorlax-program");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(writeDemo(demo));

    // The demo set runs the game: one frame, then a normal end.
    Ended sound = vorlax(demo);
    EXPECT_EQ(sound.status, 0);
    EXPECT_EQ(sound.errors, "");

    Ended missing = vorlax(root.path() / "nowhere");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.errors.find("no data set in " + (root.path() / "nowhere").string()), std::string::npos)
        << missing.errors;

    fs::resize_file(demo / "data.bar", 20);
    Ended cut = vorlax(demo);
    EXPECT_EQ(cut.status, 3);
    EXPECT_EQ(cut.errors.rfind("vorlax: the data set is broken: data.bar: the index is cut at entry", 0), 0u)
        << cut.errors;
    EXPECT_EQ(std::count(cut.errors.begin(), cut.errors.end(), '\n'), 1) << cut.errors;
}

// With --log the game's log goes to that file and the terminal gets only
// the failure that ends the run, in one line. A log file that
// cannot be written ends the run before it starts, in one line, rather than
// pouring the log onto the terminal.
TEST(VorlaxProgram, TheLogGoesToTheFileLogNamesAndOnlyFailuresToTheTerminal) {
    testing_support::TemporaryFolder root("vorlax-program");
    const fs::path demo = root.path() / "demo";
    ASSERT_TRUE(writeDemo(demo));
    const fs::path broken = root.path() / "broken";
    fs::copy(demo, broken);
    fs::resize_file(broken / "data.bar", 20);
    const fs::path log = root.path() / "game.log";
    const std::string nowhere = (root.path() / "no-such-folder" / "game.log").string();
    struct Case {
        const char* what;
        fs::path folder;
        fs::path logPath;
        int status;
        std::string errors; // the start of standard error, which is one line
        const char* logged; // a line the log file holds; null: no file
    };
    const Case cases[] = {
        {"a run", demo, log, 0, "", "state 1 -> 2"},
        {"a broken data set", broken, log, 3,
         "vorlax: the data set is broken: data.bar: ", "data.bar: the index is cut at entry"},
        {"a log that cannot be written", demo, nowhere, 1,
         "vorlax: cannot write the log to " + nowhere + ": No such file or directory\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(log);
        const fs::path errorsFile = root.path() / "errors.txt";
        const testing_support::CommandResult ended = testing_support::runCommand(
            std::string("'") + VORLAX_PROGRAM + "' --headless --frames 40 --log " + quoted(c.logPath) + " " +
            quoted(c.folder) + " 2>" + quoted(errorsFile));
        const std::string errors = readFile(errorsFile);
        EXPECT_EQ(ended.status, c.status) << errors;
        EXPECT_EQ(ended.output, "") << "nothing of the log on the standard output";
        EXPECT_TRUE(errors.starts_with(c.errors)) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.errors.empty() ? 0 : 1) << errors;
        if (c.logged) {
            const std::string text = readFile(log);
            EXPECT_NE(text.find("InitInstance: SHFullscreen returned 1."), std::string::npos) << text;
            EXPECT_NE(text.find(c.logged), std::string::npos) << text;
        } else {
            EXPECT_FALSE(fs::exists(c.logPath));
        }
    }
}

// A racer the game cannot drive (here one without times) ends start-up
// with the broken-data status, naming the pack's file and the racer.
TEST(VorlaxProgram, ABrokenRacerEndsStartUpAsABrokenDataSet) {
    testing_support::TemporaryFolder root("vorlax-program");
    mkdata::ProgramFolder demo = testing_support::demoSet();
    datakit::RacerDefinition racer;
    racer.spriteSet = 43;
    racer.values = {0, 44, 0};
    racer.speedSteps = {100, 200};
    racer.timesMs = {900, 1400};
    std::vector<datakit::Bytes> entries(14, datakit::packEntry(0, datakit::writeRacer(racer)));
    racer.timesMs.clear();
    entries[5] = datakit::packEntry(0, datakit::writeRacer(racer));
    std::erase_if(demo.archive, [](const datakit::ArchiveEntry& entry) {
        return entry.name.starts_with(mkdata::kRacerPackFile);
    });
    for (datakit::ArchiveEntry& part : datakit::packArchiveEntries(
             mkdata::kRacerPackFile, mkdata::kPackPartSeparatorText, datakit::writePack(entries)))
        demo.archive.push_back(std::move(part));
    ASSERT_TRUE(mkdata::writeProgramFolder(demo, root.path() / "broken").ok());
    Ended broken = vorlax(root.path() / "broken");
    EXPECT_EQ(broken.status, 3);
    EXPECT_EQ(broken.errors, "vorlax: the data set is broken: /racers.pak: racer 5 has no time\n");
}

// The demo set's text of constant string `number`, as Latin-1.
std::string demoText(std::int32_t number) {
    for (const datakit::ConstantText& entry : mkdata::demoConstantTexts()) {
        if (entry.number == number)
            return std::string(entry.text.begin(), entry.text.end());
    }
    ADD_FAILURE() << "the demo set has no constant string " << number;
    return "";
}

datakit::Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return datakit::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The unlock record goes through the real start-up: made at the first start,
// read at the next. An older record written in the folder is read and
// written back in the current layout, which shows every field it restored.
// The files of the demo set's unlock store in `demo`: its index and the file
// of record `id`.
struct UnlockStoreFiles {
    explicit UnlockStoreFiles(const fs::path& demo)
        : index(demo / datakit::recordStoreIndexName(store, names))
        , record(demo / datakit::recordFileName(store, 1, names))
        , folder(demo) {}
    fs::path recordOf(std::int32_t id) const { return folder / datakit::recordFileName(store, id, names); }

    datakit::RecordStoreNames names{demoText(rt::constants::kRecordStorePrefix),
                                    demoText(rt::constants::kRecordStoreSuffix),
                                    demoText(rt::constants::kRecordStoreRecordInfix)};
    std::string store = demoText(rt::constants::kUnlocksStore);
    fs::path index;
    fs::path record;
    fs::path folder;
};

// A fresh demo set and the files of its unlock store, which the first start
// writes.
class SavingProgram : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeDemo(demo)); }

    testing_support::TemporaryFolder root{"vorlax-program"};
    fs::path demo = root.path() / "demo";
    const UnlockStoreFiles files{demo};
    const fs::path& index = files.index;
    const fs::path& record = files.record;
};

TEST_F(SavingProgram, TheFirstStartSavesTheUnlocksAndTheNextStartRestoresThem) {
    ASSERT_EQ(vorlax(demo).status, 0);
    datakit::UnlockRecord defaults;
    defaults.triplets.assign(game::kTripletItems, 0);
    EXPECT_EQ(fileBytes(index), datakit::writeRecordStoreIndex(1, {1}));
    EXPECT_EQ(fileBytes(record), datakit::writeUnlockRecord(defaults));

    datakit::UnlockRecord saved = progress_testing::everyFieldSet();
    ASSERT_TRUE(
        datakit::writeFile(record.string(), datakit::writeUnlockRecord(saved, datakit::UnlockLayout::Older))
            .ok());
    ASSERT_EQ(vorlax(demo).status, 0);
    saved.rewardGrid &= 0x00FF00FF; // what the older layout kept of it
    EXPECT_EQ(fileBytes(record), datakit::writeUnlockRecord(saved));
    EXPECT_EQ(fileBytes(index), datakit::writeRecordStoreIndex(1, {1}));

    saved = progress_testing::everyFieldSet();
    ASSERT_TRUE(datakit::writeFile(record.string(), datakit::writeUnlockRecord(saved)).ok());
    ASSERT_EQ(vorlax(demo).status, 0);
    EXPECT_EQ(fileBytes(record), datakit::writeUnlockRecord(saved)) << "read as it is, not reset";
}

// A store index damaged between two runs (its count zeroed or -1, the file
// cut to 6 bytes) must not cost the player the progress in record 1: the
// next start reads it from the record file, writes no record 2 beside it,
// and leaves the index whole again.
TEST_F(SavingProgram, ADamagedStoreIndexKeepsTheProgressAPreviousRunSaved) {
    ASSERT_EQ(vorlax(demo).status, 0);
    datakit::Bytes saved = datakit::writeUnlockRecord(progress_testing::everyFieldSet());
    ASSERT_TRUE(datakit::writeFile(record.string(), saved).ok());

    struct Case {
        const char* what;
        datakit::RecordStoreIndexOptions damage;
    } cases[] = {
        {"count 0", {.indexedCount = 0, .truncateTo = {}}},
        {"count -1", {.indexedCount = -1, .truncateTo = {}}},
        {"cut to 6 bytes", {.indexedCount = {}, .truncateTo = 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(
            datakit::writeFile(index.string(), datakit::writeRecordStoreIndex(1, {1}, c.damage)).ok());
        Ended ended = vorlax(demo);
        EXPECT_EQ(ended.status, 0) << ended.errors;
        EXPECT_EQ(fileBytes(record), saved) << "the progress is read as it is, not reset";
        EXPECT_FALSE(fs::exists(files.recordOf(2))) << "no record beside it";
        EXPECT_EQ(fileBytes(index), datakit::writeRecordStoreIndex(1, {1}));
    }
}

// A save writes NAME.new and renames it over NAME. A power cut right after
// the rename must find the whole new file, and the rename itself kept: the
// new file reaches the disk (fsync) before the rename, its folder after it.
// Seen from the system calls of a first start, which saves the unlock store.
TEST_F(SavingProgram, EverySaveReachesTheDiskBeforeTheRenameAndItsFolderAfter) {
    if (run("command -v strace").status != 0)
        GTEST_SKIP() << "no strace here";
    const fs::path trace = root.path() / "trace.txt";
    // The leak check of a sanitizer build cannot run under a tracer.
    Ended ended = run("ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -y -qq -o " +
                      quoted(trace) + " -e trace=fsync,fdatasync,rename,renameat,renameat2 '" +
                      VORLAX_PROGRAM + "' --headless --frames 1 " + quoted(demo));
    if (ended.status != 0 && !fs::exists(trace))
        GTEST_SKIP() << "strace cannot trace here: " << ended.errors;
    ASSERT_EQ(ended.status, 0) << ended.errors;

    // Each call in order: its name and its first argument (a path, or a
    // descriptor shown with its path).
    std::vector<std::pair<std::string, std::string>> calls;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const std::size_t open = line.find('(');
        const std::size_t name = line.find_last_of(' ', open) + 1;
        if (open == std::string::npos || line.find("= -1") != std::string::npos)
            continue;
        const std::size_t end = line.find_first_of(",)", open);
        calls.emplace_back(line.substr(name, open - name), line.substr(open + 1, end - open - 1));
    }
    const std::string folder = fs::canonical(demo).string();
    std::size_t renames = 0;
    std::size_t afterLastRename = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (!calls[i].first.starts_with("rename"))
            continue;
        const std::string& from = calls[i].second; // "…/NAME.new"
        SCOPED_TRACE(from);
        ASSERT_TRUE(from.ends_with(".new\"")) << "a save renames its .new file";
        const std::string name =
            from.substr(from.find_last_of('/') + 1, from.size() - from.find_last_of('/') - 2);
        ++renames;
        auto synced = [&](std::size_t begin, std::size_t end, const std::string& path) {
            for (std::size_t j = begin; j < end; ++j)
                if ((calls[j].first == "fsync" || calls[j].first == "fdatasync") &&
                    calls[j].second.ends_with(path + ">"))
                    return true;
            return false;
        };
        EXPECT_TRUE(synced(afterLastRename, i, "/" + name))
            << "the new file is on the disk before the rename";
        afterLastRename = i + 1;
        std::size_t next = i + 1;
        while (next < calls.size() && !calls[next].first.starts_with("rename"))
            ++next;
        EXPECT_TRUE(synced(i + 1, next, folder)) << "the folder is on the disk after the rename";
    }
    EXPECT_GE(renames, 2u) << "the first start saves the store's record and its index";
}

} // namespace
