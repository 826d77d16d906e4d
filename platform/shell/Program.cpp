#include "platform/shell/Program.h"

#include "host/Log.h"
#include "host/headless/HeadlessHost.h"
#include "platform/shell/Shell.h"
#include "runtime/checks.h"

#include <charconv>
#include <filesystem>
#include <string_view>

namespace platform {

namespace {

constexpr const char* kUsage =
    "usage: vorlax [--help] [--headless] [--frames N] [--screenshot FILE] [--script FILE] [--seed N] "
    "[--record FILE] [--hashes FILE] [--race ROW] [--shots FOLDER] [--raw-pictures] [--log FILE] "
    "[PROGRAM_FOLDER]";

constexpr const char* kHelp =
    R"(Runs Vorlax Rally from the data set ("data.bar") in PROGRAM_FOLDER (default: the current folder).

options:
  --help             show this text and exit
  --headless         run without a window: a virtual clock, input from a script, sound recorded
  --frames N         end the run after N painted frames (N above 0)
  --screenshot FILE  write the last painted frame to FILE as PNG when the run ends
  --script FILE      the input of a headless run (needs --headless); without it the
                     window is active and has the focus from the start, and nothing else happens
  --seed N           seed the game's random generator with N in place of the start's tick
  --record FILE      write the run to FILE as a replay script (either back-end)
  --hashes FILE      write a line per painted frame to FILE: the frame's number, the game
                     state's hash and the presented frame's hash
  --race ROW         race race row ROW (0..5) at once, without the menus (for development)
  --shots FOLDER     write the first frame of a headless run and then one frame every 5 s of
                     its virtual time to FOLDER as shot-MILLISECONDS.png (needs --headless)
  --raw-pictures     write the screenshot and the shots as the phone's portrait screen holds
                     them (480 x 640); without it they are turned to landscape (640 x 480),
                     as the game is drawn turned and the player sees it
  --log FILE         write the game's log to FILE instead of the standard output; failures
                     still go to standard error as well (a FILE that cannot be written ends
                     the run before it starts)

script (one line each; '#' starts a comment):
  TIME EVENT         TIME in virtual milliseconds, or +N after the previous line; EVENT is
                     activate, deactivate, focus-gained, focus-lost, key-down KEY, key-up KEY,
                     stylus-down X Y, stylus-move X Y, stylus-up X Y, settings-changed,
                     power on|idle|suspend|unattended, orientation 0|1|2|4, quit
                     (KEY: A..Z, 0..9, F1..F12, RETURN, ESCAPE, HOME, LEFT, UP, RIGHT, DOWN,
                     BACK, TAB, SPACE, LWIN, RWIN or #NN)
  answer yes|no      the answers to the program's yes/no questions, in order
  seed N             as --seed (which wins)
  frame MS [EVENT, EVENT ...]
                     one frame of a replay: the tick moves on by MS as the frame begins, and
                     the events (as above, without a time) are taken before it is painted
  example:           0 activate / 0 focus-gained / 500 key-down 5 / +40 key-up 5 / 2000 quit

exit status:
  0   the run ended normally (or another instance is running)
  1   the window, the display or the runtime could not start (also: no display without
      --headless, a log file or a screenshot that could not be written)
  2   no data set where the program looks (or no game to run yet)
  3   the data set is broken: a file, resource or entry that cannot be loaded
  4   a headless run in which a runtime check failed (the first report is named)
  64  the options or the script cannot be read
Failures are written to standard error, one line each.)";

// The race rows a data set holds.
constexpr std::int32_t kLastRaceRow = 5;

// A headless run without a script: the window is active and has the focus.
constexpr const char* kDefaultScript = "0 activate\n0 focus-gained\n";

// A trace's lines joined by " / " ("stacktrace:" left out).
std::string oneLine(std::string_view trace) {
    std::string joined;
    for (std::size_t end = trace.find('\n'); !trace.empty(); end = trace.find('\n')) {
        std::string_view part = trace.substr(0, end);
        trace.remove_prefix(end == std::string_view::npos ? trace.size() : end + 1);
        if (part.empty() || part == "stacktrace:")
            continue;
        joined += (joined.empty() ? "" : " / ") + std::string(part);
    }
    return joined;
}

void say(const std::string& line) {
    host::logLine(host::LogCategory::Platform, line);
}

// One failure line on standard error, and the status to end with.
int fail(ExitStatus status, const std::string& line) {
    host::logFailure(host::LogCategory::Platform, "vorlax: " + line);
    return exitCode(status);
}

// The game is drawn turned on the portrait screen: pictures show it as the player does.
host::WindowTurn pictureTurn(const ProgramOptions& options) {
    return options.rawPictures ? host::WindowTurn::AsDevice : host::WindowTurn::Turned;
}

std::unique_ptr<host::Host> makeHeadless(const ProgramOptions& options, const ProgramParts& parts,
                                         std::string& problem) {
    auto script =
        options.scriptPath.empty() ? host::parseScript(kDefaultScript) : host::loadScript(options.scriptPath);
    if (!script) {
        problem = script.error().message;
        return nullptr;
    }
    host::HeadlessOptions headless;
    headless.script = std::move(script).value();
    headless.folders.programFolder = options.programFolder;
    if (!options.shotFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.shotFolder, error);
        if (error) {
            problem = "cannot make the shots folder " + options.shotFolder + ": " + error.message();
            return nullptr;
        }
        headless.shotFolder = options.shotFolder;
        headless.shotPeriod = kShotPeriod;
        headless.shotTurn = pictureTurn(options);
    }
    if (parts.adjustHeadless)
        parts.adjustHeadless(headless);
    return host::makeHeadlessHost(std::move(headless));
}

} // namespace

host::Result<ProgramOptions> parseProgramOptions(std::span<const char* const> arguments) {
    ProgramOptions options;
    bool folderGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        auto value = [&]() -> const char* { return i + 1 < arguments.size() ? arguments[++i] : nullptr; };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--frames") {
            const char* text = value();
            std::string_view number = text ? text : "";
            auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), options.frames);
            if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
                options.frames == 0)
                return host::Error::withMessage("--frames takes a number of frames above 0");
        } else if (argument == "--screenshot") {
            const char* path = value();
            if (!path || !*path)
                return host::Error::withMessage("--screenshot takes a file name");
            options.screenshotPath = path;
        } else if (argument == "--script") {
            const char* path = value();
            if (!path || !*path)
                return host::Error::withMessage("--script takes a file name");
            options.scriptPath = path;
        } else if (argument == "--seed") {
            const char* text = value();
            std::string_view number = text ? text : "";
            std::int64_t seed = 0;
            auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), seed);
            if (number.empty() || error != std::errc() || end != number.data() + number.size())
                return host::Error::withMessage("--seed takes a whole number");
            options.seed = seed;
        } else if (argument == "--record" || argument == "--hashes") {
            const char* path = value();
            if (!path || !*path)
                return host::Error::withMessage(std::string(argument) + " takes a file name");
            (argument == "--record" ? options.recordPath : options.hashesPath) = path;
        } else if (argument == "--race") {
            const char* text = value();
            std::string_view number = text ? text : "";
            auto [end, error] =
                std::from_chars(number.data(), number.data() + number.size(), options.raceRow);
            if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
                options.raceRow < 0 || options.raceRow > kLastRaceRow)
                return host::Error::withMessage("--race takes a race row from 0 to 5");
        } else if (argument == "--shots") {
            const char* path = value();
            if (!path || !*path)
                return host::Error::withMessage("--shots takes a folder name");
            options.shotFolder = path;
        } else if (argument == "--raw-pictures") {
            options.rawPictures = true;
        } else if (argument == "--log") {
            const char* path = value();
            if (!path || !*path)
                return host::Error::withMessage("--log takes a file name");
            options.logPath = path;
        } else if (argument.starts_with("-")) {
            return host::Error::withMessage("unknown option " + std::string(argument));
        } else if (folderGiven) {
            return host::Error::withMessage("only one program folder can be given");
        } else {
            options.programFolder = argument;
            folderGiven = true;
        }
    }
    if (!options.scriptPath.empty() && !options.headless)
        return host::Error::withMessage("--script needs --headless");
    if (!options.shotFolder.empty() && !options.headless)
        return host::Error::withMessage("--shots needs --headless");
    return options;
}

int runProgram(std::span<const char* const> argv, const ProgramParts& parts) {
    auto parsed = parseProgramOptions(argv.empty() ? argv : argv.subspan(1));
    if (!parsed) {
        int status = fail(ExitStatus::Usage, parsed.error().message);
        host::logFailure(host::LogCategory::Platform, kUsage);
        return status;
    }
    const ProgramOptions& options = parsed.value();
    if (options.help) {
        say(kUsage);
        // Line by line: the log bounds each line.
        std::string_view help = kHelp;
        for (std::size_t end = help.find('\n'); !help.empty(); end = help.find('\n')) {
            say(std::string(help.substr(0, end)));
            help.remove_prefix(end == std::string_view::npos ? help.size() : end + 1);
        }
        return exitCode(ExitStatus::Normal);
    }
    if (parts.applyOptions)
        parts.applyOptions(options);
    if (!options.programFolder.empty() && !std::filesystem::is_directory(options.programFolder))
        return fail(ExitStatus::NoDataSet,
                    "no data set in " + options.programFolder + ": the folder does not exist");

    std::unique_ptr<host::Host> host;
    if (options.headless) {
        std::string problem;
        host = makeHeadless(options, parts, problem);
        if (!host)
            return fail(ExitStatus::Usage, problem);
    } else if (parts.makeWindowHost) {
        host = parts.makeWindowHost(options);
    }
    if (!host) {
        return fail(ExitStatus::CannotStart, "there is no display to open a window on; run with --headless "
                                             "(and --frames N or a --script that ends the run)");
    }

    if (options.seed)
        host->clock().fixRandomSeed(*options.seed);
    std::unique_ptr<ReplayLog> replay;
    if (!options.recordPath.empty() || !options.hashesPath.empty()) {
        auto opened = ReplayLog::open({options.recordPath, options.hashesPath, parts.startup.stateHash},
                                      host->clock(), host->screen());
        if (!opened)
            return fail(ExitStatus::CannotStart, opened.error().message);
        replay = std::move(opened).value();
    }

    ShellOptions shellOptions;
    shellOptions.run.frameLimit = options.frames;
    shellOptions.run.screenshotPath = options.screenshotPath;
    shellOptions.run.screenshotTurn = pictureTurn(options);
    shellOptions.logToFile = !options.logPath.empty();
    shellOptions.logPath = options.logPath;
    shellOptions.run.replay = replay.get();
    Shell shell(*host, parts.startup, shellOptions);
    StartupResult ran = shell.run();
    if (!ran.ok())
        return fail(ran.status(), ran.message());
    // A report is a fault, never a way of running: a scripted run that saw
    // one must not pass as a good one.
    if (rt::RuntimeReports reports = rt::runtimeReports(); options.headless && reports.count > 0)
        return fail(ExitStatus::RuntimeCheckFailed,
                    "a runtime check failed " + std::to_string(reports.count) +
                        (reports.count == 1 ? " time" : " times") + " during the run; the first: " +
                        reports.first + " (" + oneLine(reports.firstTrace) + ")");
    // The screenshot's writer has said why it failed.
    return exitCode(shell.applicationImpl().screenshotFailed() ? ExitStatus::CannotStart
                                                               : ExitStatus::Normal);
}

} // namespace platform
