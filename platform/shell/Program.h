#pragma once

// The program's start: its options, the choice of host and the shell's run.
// main.cpp, the composition root, gives the parts that are not the
// platform's own: the host with a real window, and the game's MIDlet.
//
//     vorlax [--help] [--headless] [--frames N] [--screenshot FILE]
//            [--script FILE] [--seed N] [--record FILE] [--hashes FILE]
//            [--race ROW] [--shots FOLDER] [--raw-pictures] [--log FILE]
//            [PROGRAM_FOLDER]
//
// Exit statuses: see `ExitStatus` (platform/app/StartupHooks.h) and `--help`.
// Every failure writes one line naming what is wrong to standard error.

#include "host/Host.h"
#include "host/Result.h"
#include "platform/app/StartupHooks.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace host {
struct HeadlessOptions;
}

namespace platform {

struct ProgramOptions {
    bool help = false;
    bool headless = false;
    // 0: run until the game ends.
    std::uint32_t frames = 0;
    std::string screenshotPath;
    // Input of a headless run; empty: the window is active and has the focus from the start.
    std::string scriptPath;
    // Replaces the tick that seeds the shared random generator (and a script's seed).
    std::optional<std::int64_t> seed;
    // When set, the run is written there as a replay script.
    std::string recordPath;
    // When set, a line of hashes per painted frame is written there.
    std::string hashesPath;
    // A race row to race at once instead of the front end (a development
    // entry); -1 none.
    std::int32_t raceRow = -1;
    // A headless run's shots: the first frame and one every `kShotPeriod` of
    // virtual time, written there as PNG (the folder is made when missing).
    std::string shotFolder;
    // Pictures (shots, the screenshot) as the device's portrait screen holds
    // them; otherwise turned to landscape, as the player sees the game.
    bool rawPictures = false;
    // When set, the log goes to that file instead of the standard output
    // (failure lines go to standard error as well).
    std::string logPath;
    // Empty: the current folder.
    std::string programFolder;
};

inline constexpr std::uint32_t kShotPeriod = 5000;

// The options after the program's name. Fails on an unknown option, a
// missing or bad value, a second folder, or a script or shots without
// --headless.
host::Result<ProgramOptions> parseProgramOptions(std::span<const char* const> arguments);

struct ProgramParts {
    // The game's start-up; a program without `makeMidlet` has no game to run.
    StartupHooks startup;
    // The host with a real window; used unless --headless is given.
    std::function<std::unique_ptr<host::Host>(const ProgramOptions&)> makeWindowHost;
    // Hands the game the options it reads itself, once they are parsed and
    // before it starts. Empty: none.
    std::function<void(const ProgramOptions&)> applyOptions;
    // Changes a headless run's host options before the host is made: a tool
    // that drives the program by what it shows sets `afterPresent`. Empty: none.
    std::function<void(host::HeadlessOptions&)> adjustHeadless;
};

// Runs the program as `argv` says (argv[0] is the program's name) and answers
// its exit status. `rt::OutOfStore` raised while the data set loads ends the
// run as a broken data set.
int runProgram(std::span<const char* const> argv, const ProgramParts& parts);

} // namespace platform
