#include "platform/shell/Program.h"

#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using Args = std::vector<const char*>;

TEST(ProgramOptions, ReadsEveryOption) {
    Args args = {"--headless", "--frames", "12",      "--screenshot", "shot.png",
                 "--script",   "run.txt",  "--shots", "shots/",       "/opt/vr"};
    auto options = platform::parseProgramOptions(args);
    ASSERT_TRUE(options.ok()) << options.error().message;
    EXPECT_TRUE(options.value().headless);
    EXPECT_FALSE(options.value().help);
    EXPECT_EQ(options.value().frames, 12u);
    EXPECT_EQ(options.value().screenshotPath, "shot.png");
    EXPECT_EQ(options.value().scriptPath, "run.txt");
    EXPECT_EQ(options.value().shotFolder, "shots/");
    EXPECT_EQ(options.value().programFolder, "/opt/vr");
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
        {{"--shots"}, "--shots takes a folder name"},
        {{"--shots", "shots"}, "--shots needs --headless"},
        {{"--fast"}, "unknown option --fast"},
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
    for (const char* text :
         {"--headless", "--frames N", "--screenshot FILE", "--script FILE", "PROGRAM_FOLDER", "key-down KEY",
          "stylus-down X Y", "answer yes|no", "+N", "\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  64 "})
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

} // namespace
