// tools/run.sh's argument check: a word among its arguments that is neither
// an option nor an option's value names a program folder, which replaces
// the demo set; the value of every option that takes one is no folder.

#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the check `function` of tools/run-args.sh prints for `arguments`.
std::string checkArgs(const std::string& function, const std::string& arguments) {
    const testing_support::CommandResult run =
        testing_support::runCommand(std::string("bash -c 'source \"") + VORLAX_SOURCE_DIR +
                                    "/tools/run-args.sh\"; " + function + " " + arguments + "'");
    EXPECT_EQ(run.status, 0) << arguments;
    return run.output;
}

std::string folderGiven(const std::string& arguments) {
    return checkArgs("program_folder_given", arguments);
}

TEST(RunArgs, OnlyAWordThatIsNoOptionsValueNamesAProgramFolder) {
    struct Case {
        const char* arguments;
        const char* given;
    };
    for (const Case& c : {Case{"", "0\n"}, Case{"--headless --frames 10", "0\n"},
                          Case{"--headless --race 0 --script s.txt --shots shots/", "0\n"},
                          Case{"--seed 7 --record r.txt --hashes h.txt --screenshot a.png", "0\n"},
                          Case{"--race 2 /opt/game", "1\n"}, Case{"game --frames 5", "1\n"},
                          Case{"--log game.log --raw-pictures", "0\n"}, Case{"--raw-pictures game", "1\n"}})
        EXPECT_EQ(folderGiven(c.arguments), c.given) << c.arguments;
}

// The game's log goes to the file the run's own --log names (the last one
// given, as the game reads it), else to the run command's.
TEST(RunArgs, TheLogFileIsTheOneTheLastLogArgumentNames) {
    struct Case {
        const char* arguments;
        const char* file;
    };
    for (const Case& c : {Case{"", "\n"}, Case{"--seed 3 demo", "\n"}, Case{"--log a.txt", "a.txt\n"},
                          Case{"--log a.txt demo --log b.txt", "b.txt\n"}})
        EXPECT_EQ(checkArgs("log_file_given", c.arguments), c.file) << c.arguments;
}

} // namespace
