// The front end as a player meets it: the real `vorlax --headless` on the
// demo set, driven by a script of taps and soft keys from the splash through
// the main and mode menus to the promotion screen and back, with no runtime
// check logged on the way.

#include "tests/support/BuildPaths.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace front_end_program_test {

namespace {

namespace fs = std::filesystem;

// A script line for a tap at the game-space point (x, y): the game is drawn
// turned on the portrait screen, so its point (x, y) is the screen's
// (480 - y, x).
std::string tap(int time, int x, int y) {
    std::ostringstream line;
    line << time << " stylus-down " << 480 - y << ' ' << x << "\n+40 stylus-up " << 480 - y << ' ' << x
         << '\n';
    return line.str();
}

std::string key(int time, const char* name) {
    return std::to_string(time) + " key-down " + name + "\n+60 key-up " + name + '\n';
}

struct ProgramRun {
    int status = -1;
    std::string output;
};

// Runs `vorlax --headless` with `script` on `folder`; its standard output
// carries the game's log, standard error the failures.
ProgramRun runVorlax(const fs::path& folder, const std::string& script, const std::string& options = "") {
    fs::path scriptFile = folder.parent_path() / "script.txt";
    std::ofstream(scriptFile) << script;
    std::string command = std::string("'") + VORLAX_PROGRAM + "' --headless " + options + "--script '" +
                          scriptFile.string() + "' '" + folder.string() + "' 2>&1";
    ProgramRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 512> chunk{};
    while (std::size_t read = std::fread(chunk.data(), 1, chunk.size(), pipe))
        run.output.append(chunk.data(), read);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> linesStartingWith(const std::string& output, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(prefix))
            lines.push_back(line);
    return lines;
}

TEST(FrontEndProgram, ThePlayerWalksFromTheSplashThroughTheMenusToThePromotionAndBack) {
    testing_support::TemporaryFolder root("vorlax-front-end");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    // The left soft key answers the sound question; a tap on the title opens
    // the main menu. Its first item asks the first-time question (answered
    // no on its answer), the race menu's fourth item opens the mode menu,
    // the right soft key goes back twice, the promotion item opens the
    // notice, a tap the promotion screen, whose right soft key leaves it.
    const std::string script = "0 activate\n0 focus-gained\n" + key(12500, "F1") + tap(17000, 320, 240) +
                               tap(19000, 58, 82) + tap(21000, 320, 240) + tap(23000, 58, 240) +
                               tap(25000, 600, 464) + tap(27000, 600, 464) + tap(29000, 58, 118) +
                               tap(31000, 320, 240) + key(33000, "F2") + "35000 quit\n";
    ProgramRun run = runVorlax(demo, script);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "state "),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> 3", "state 3 -> 4", "state 4 -> 5",
                                        "state 5 -> 6", "state 6 -> 45", "state 45 -> 17", "state 17 -> 15",
                                        "state 15 -> 17", "state 17 -> 6", "state 6 -> 37", "state 37 -> 46",
                                        "state 46 -> 6"}))
        << run.output;
    // Every screen on the way drew only frames its sprites have.
    EXPECT_EQ(linesStartingWith(run.output, "stacktrace:"), std::vector<std::string>{}) << run.output;
}

// The window passes the digits, Enter and the arrows to the game as a code
// that no key map holds, as the phone's shell did, so neither '5' nor Enter
// answers the first-time question: game key 5 (fire) has no key on this
// keyboard. The left soft key (F1) chooses the highlighted answer, no.
TEST(FrontEndProgram, OnlyTheLeftSoftKeyAnswersTheFirstTimeQuestionFromTheKeyboard) {
    testing_support::TemporaryFolder root("vorlax-front-end");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    const std::string script = "0 activate\n0 focus-gained\n" + key(12500, "F1") + tap(17000, 320, 240) +
                               tap(19000, 58, 82) + key(20000, "5") + key(20500, "RETURN") +
                               key(21000, "DOWN") + key(21500, "5") + key(23000, "F1") + "25000 quit\n";
    ProgramRun run = runVorlax(demo, script);
    EXPECT_EQ(run.status, 0) << run.output;
    // Had a digit or Enter answered, the race menu would have taken the
    // later F1 as the choice of its first item.
    EXPECT_EQ(linesStartingWith(run.output, "state "),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> 3", "state 3 -> 4", "state 4 -> 5",
                                        "state 5 -> 6", "state 6 -> 45", "state 45 -> 17"}))
        << run.output;
}

// The promotion screen on the demo set, each of its six available pages
// painted in turn: taps on the right page arrow step through them all and
// back to the first, the right soft key leaves; no runtime check is logged
// and the last frame (the main menu again) is written.
TEST(FrontEndProgram, ThePromotionPaintsEveryPageWithoutARuntimeCheck) {
    testing_support::TemporaryFolder root("vorlax-promotion");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    std::string script = "0 activate\n0 focus-gained\n" + key(12500, "F1") + tap(17000, 320, 240) +
                         tap(19000, 58, 118) + tap(21000, 320, 240);
    for (int page = 0; page < 6; ++page)
        script += tap(24000 + 1000 * page, 632, 240);
    script += key(31000, "F2") + "33000 quit\n";
    fs::path shot = root.path() / "last.png";
    ProgramRun run = runVorlax(demo, script, "--screenshot '" + shot.string() + "' ");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "state "),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> 3", "state 3 -> 4", "state 4 -> 5",
                                        "state 5 -> 6", "state 6 -> 37", "state 37 -> 46", "state 46 -> 6"}))
        << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "stacktrace:"), std::vector<std::string>{}) << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "promotion"), std::vector<std::string>{}) << run.output;
    EXPECT_TRUE(fs::exists(shot));
}

// Quitting while the promotion screen is open ends its worker with the game:
// the run exits normally and writes the page it shows.
TEST(FrontEndProgram, QuittingOnThePromotionScreenEndsItsWorker) {
    testing_support::TemporaryFolder root("vorlax-promotion-quit");
    fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    const std::string script = "0 activate\n0 focus-gained\n" + key(12500, "F1") + tap(17000, 320, 240) +
                               tap(19000, 58, 118) + tap(21000, 320, 240) + tap(24000, 632, 240) +
                               "26000 quit\n";
    fs::path shot = root.path() / "page.png";
    ProgramRun run = runVorlax(demo, script, "--screenshot '" + shot.string() + "' ");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "Application::close: "), std::vector<std::string>{})
        << run.output;
    EXPECT_TRUE(fs::exists(shot));
}

// Without the front end's sprite pack the splash has nothing to show: the
// run ends there as a broken data set, with one line naming the pack's
// entry, and goes no further.
TEST(FrontEndProgram, AMissingSpritePackEndsTheStartUpAsABrokenDataSet) {
    testing_support::TemporaryFolder root("vorlax-front-end");
    mkdata::ProgramFolder demo = testing_support::demoSet();
    std::erase_if(demo.archive, [](const datakit::ArchiveEntry& entry) {
        return entry.name.starts_with(mkdata::kSpritePackFile);
    });
    ASSERT_TRUE(mkdata::writeProgramFolder(demo, root.path() / "demo").ok());
    ProgramRun run = runVorlax(root.path() / "demo", "0 activate\n0 focus-gained\n20000 quit\n");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(linesStartingWith(run.output, "vorlax: "),
              std::vector<std::string>{
                  "vorlax: the data set is broken: /sprites.pak entry 0: the sprite cannot be loaded"})
        << run.output;
    EXPECT_EQ(linesStartingWith(run.output, "state "),
              (std::vector<std::string>{"state 1 -> 2", "state 2 -> -1"}))
        << run.output;
}

} // namespace

} // namespace front_end_program_test
