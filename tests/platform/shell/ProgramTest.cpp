#include "platform/shell/Program.h"

#include "runtime/checks.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Args = std::vector<const char*>;

TEST(ProgramOptions, ReadsEveryOption) {
    Args args = {"--headless", "--frames", "12",  "--screenshot", "shot.png", "--script",
                 "run.txt",    "--seed",   "-42", "--record",     "rec.txt",  "--hashes",
                 "h.txt",      "--race",   "5",   "--shots",      "shots/",   "/opt/vr"};
    auto options = platform::parseProgramOptions(args);
    ASSERT_TRUE(options.ok()) << options.error().message;
    EXPECT_TRUE(options.value().headless);
    EXPECT_FALSE(options.value().help);
    EXPECT_EQ(options.value().frames, 12u);
    EXPECT_EQ(options.value().screenshotPath, "shot.png");
    EXPECT_EQ(options.value().scriptPath, "run.txt");
    EXPECT_EQ(options.value().seed, -42);
    EXPECT_EQ(options.value().recordPath, "rec.txt");
    EXPECT_EQ(options.value().hashesPath, "h.txt");
    EXPECT_EQ(options.value().raceRow, 5);
    EXPECT_EQ(options.value().shotFolder, "shots/");
    EXPECT_EQ(options.value().programFolder, "/opt/vr");
    EXPECT_FALSE(platform::parseProgramOptions(Args{"--headless"}).value().seed.has_value());
}

TEST(ProgramOptions, RefusesWhatItCannotRead) {
    struct Case {
        Args args;
        const char* message;
    };
    const Case cases[] = {
        {{"--frames"}, "--frames takes a number of frames above 0"},
        {{"--frames", "0"}, "--frames takes a number of frames above 0"},
        {{"--frames", "12x"}, "--frames takes a number of frames above 0"},
        {{"--frames", "-3"}, "--frames takes a number of frames above 0"},
        {{"--screenshot"}, "--screenshot takes a file name"},
        {{"--script", "run.txt"}, "--script needs --headless"},
        {{"--race"}, "--race takes a race row from 0 to 5"},
        {{"--race", "6"}, "--race takes a race row from 0 to 5"},
        {{"--race", "-1"}, "--race takes a race row from 0 to 5"},
        {{"--shots"}, "--shots takes a folder name"},
        {{"--shots", "shots"}, "--shots needs --headless"},
        {{"--fast"}, "unknown option --fast"},
        {{"--seed"}, "--seed takes a whole number"},
        {{"--seed", "1e3"}, "--seed takes a whole number"},
        {{"--record"}, "--record takes a file name"},
        {{"--hashes", ""}, "--hashes takes a file name"},
        {{"one", "two"}, "only one program folder can be given"},
    };
    for (const Case& c : cases) {
        auto options = platform::parseProgramOptions(c.args);
        ASSERT_FALSE(options.ok()) << c.message;
        EXPECT_EQ(options.error().message, c.message);
    }
}

TEST(Program, ExitStatusesSayWhyItDidNotRun) {
    testing_support::LogCapture log;
    platform::ProgramParts noGame;
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--frames"}, noGame), 64) << "bad options";
    EXPECT_TRUE(log.contains("vorlax: --frames takes a number of frames above 0"));
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--headless"}, noGame), 2);
    EXPECT_TRUE(log.contains("vorlax: the game cannot start yet: the game is not built."));

    testing_support::MidletRecord record;
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--headless", "/no/such/folder"}, parts), 2);
    EXPECT_TRUE(log.contains("vorlax: no data set in /no/such/folder: the folder does not exist"));
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--headless", "--script", "/no/such/script"}, parts), 64);
    EXPECT_EQ(platform::runProgram(Args{"vorlax"}, parts), 1) << "no window host was given";
    EXPECT_TRUE(log.contains("vorlax: there is no display to open a window on; run with --headless"));
    EXPECT_TRUE(record.calls().empty());
}

// --help is the user's manual: every option, the script's lines and every
// exit status, on standard output; failures go to standard error.
TEST(Program, HelpNamesEveryOptionTheScriptAndTheExitStatuses) {
    platform::ProgramParts noGame;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--help"}, noGame), 0);
    std::string help = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (const char* text : {"--headless", "--frames N", "--screenshot FILE", "--script FILE",
                             "PROGRAM_FOLDER", "key-down KEY", "stylus-down X Y", "answer yes|no", "+N",
                             "\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  64 "})
        EXPECT_NE(help.find(text), std::string::npos) << text;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::runProgram(Args{"vorlax", "--fast"}, noGame), 64);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::string error = testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("vorlax: unknown option --fast\n"), std::string::npos) << error;
    EXPECT_NE(error.find("usage: vorlax"), std::string::npos) << error;
}

// The program as it is started: a script file, a frame count and a screenshot.
TEST(Program, AHeadlessRunStopsAfterItsFramesAndWritesTheLastOne) {
    testing_support::TemporaryFolder program("vorlax-program");
    const std::filesystem::path& folder = program.path();
    std::string script = (folder / "run.txt").string();
    std::ofstream(script) << "0 activate\n0 focus-gained\n";
    std::string shot = (folder / "shot.png").string();

    testing_support::MidletRecord record;
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    Args args = {"vorlax", "--headless",   "--script",   script.c_str(), "--frames",
                 "3",      "--screenshot", shot.c_str(), folder.c_str()};
    EXPECT_EQ(platform::runProgram(args, parts), 0);
    EXPECT_EQ(record.painted, 3);
    EXPECT_EQ(record.count("destroyApp true"), 1);
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_GT(std::filesystem::file_size(shot), 0u);

    Args unwritable = {"vorlax", "--headless", "--frames", "1", "--screenshot", "/no/such/folder/shot.png"};
    EXPECT_EQ(platform::runProgram(unwritable, parts), 1);
}

// A runtime check that fails during a headless run is a fault the run must
// not hide: the run ends with its own status and one line naming the first
// report and how many there were; a run without one ends normally.
TEST(Program, AHeadlessRunThatFailedARuntimeCheckEndsWithItsStatusNamingTheFirst) {
    testing_support::TemporaryFolder program("vorlax-program");
    for (int reports : {0, 3}) {
        SCOPED_TRACE(reports);
        testing_support::MidletRecord record;
        record.afterFrame = [reports](testing_support::TestMidlet&) {
            for (int i = 0; i < reports; ++i)
                rt::reportIndexOutOfBounds(rt::IndexKind::Array, 9 + i, 4);
        };
        platform::ProgramParts parts;
        parts.startup = testing_support::midletHooks(record);
        testing::internal::CaptureStderr();
        const int status = platform::runProgram(
            Args{"vorlax", "--headless", "--frames", "2", program.path().c_str()}, parts);
        const std::string errors = testing::internal::GetCapturedStderr();
        if (reports == 0) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(errors, "");
        } else {
            EXPECT_EQ(status, 4);
            EXPECT_TRUE(errors.starts_with("vorlax: a runtime check failed ")) << errors;
            EXPECT_NE(errors.find(" times during the run; the first: ArrayIndexOutOfBounds index=9 length=4"),
                      std::string::npos)
                << errors;
            EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        }
    }
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A recorded run, replayed from its recording, gives the same input calls
// at the same frames, the same ticks at every paint and the same hashes,
// although the recording run's input came at times of its own.
TEST(Program, ARecordedRunReplaysFrameForFrame) {
    testing_support::TemporaryFolder program("vorlax-replay");
    const std::filesystem::path& folder = program.path();
    std::string script = (folder / "run.txt").string();
    std::ofstream(script)
        << "0 activate\n0 focus-gained\n130 key-down 5\n+47 key-up 5\n301 stylus-down 10 20\n"
           "+35 stylus-move 12 22\n+1 stylus-up 12 22\n333 key-down A\n+3 key-up A\n"
           "520 key-down Q\n+10 key-up Q\n";
    std::string recording = (folder / "rec.txt").string();

    struct Run {
        std::vector<std::string> calls;
        std::vector<std::uint32_t> paintTimes;
        std::int64_t seed = 0;
        std::string hashes;
    };
    auto run = [&](Args options, const std::string& hashes) {
        testing_support::MidletRecord record;
        record.onStart = [&record](testing_support::TestMidlet&) {
            record.add("seed " +
                       std::to_string(platform::ApplicationImpl::current()->host().clock().randomSeed()));
        };
        // Each frame shows the input so far and the tick it was painted at.
        record.onPaint = [&record](platform::javax_microedition_lcdui_Graphics* graphics, int) {
            auto tick = platform::ApplicationImpl::current()->host().clock().tickCount();
            graphics->setColor(static_cast<std::int32_t>(record.calls().size() * 0x10101 + tick));
            graphics->fillRect(0, 0, 40, 40);
        };
        platform::ProgramParts parts;
        parts.startup = testing_support::midletHooks(record);
        Args args = {"vorlax", "--headless", "--hashes", hashes.c_str()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(folder.c_str());
        EXPECT_EQ(platform::runProgram(args, parts), 0);
        return Run{record.calls(), record.paintTimes, 0, readFile(hashes)};
    };
    std::string firstHashes = (folder / "first.txt").string();
    std::string replayHashes = (folder / "replay.txt").string();
    Run first = run({"--script", script.c_str(), "--seed", "77", "--record", recording.c_str()}, firstHashes);
    Run replay = run({"--script", recording.c_str()}, replayHashes);

    std::string text = readFile(recording);
    EXPECT_TRUE(text.starts_with("seed 77\nframe ")) << text;
    EXPECT_NE(text.find("\nframe 40 key-down 5\n"), std::string::npos) << text;
    EXPECT_NE(std::find(first.calls.begin(), first.calls.end(), "seed 77"), first.calls.end());
    EXPECT_NE(std::find(first.calls.begin(), first.calls.end(), "pointerPressed 10 20"), first.calls.end());
    EXPECT_EQ(replay.calls, first.calls);
    EXPECT_EQ(replay.paintTimes, first.paintTimes);
    EXPECT_GT(first.paintTimes.size(), 10u);
    EXPECT_EQ(std::count(first.hashes.begin(), first.hashes.end(), '\n'), std::ssize(first.paintTimes));
    EXPECT_TRUE(first.hashes.starts_with("0 0000000000000000 ")) << "no state hash was given";
    EXPECT_EQ(replay.hashes, first.hashes);
}

} // namespace
