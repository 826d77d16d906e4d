#include "platform/shell/Program.h"

#include "host/Log.h"
#include "host/headless/HeadlessHost.h"
#include "platform/shell/Shell.h"

#include <charconv>
#include <filesystem>
#include <string_view>

namespace platform {

namespace {

constexpr const char* kUsage =
    "usage: vorlax [--help] [--headless] [--frames N] [--screenshot FILE] [--script FILE] [PROGRAM_FOLDER]";

// A headless run without a script: the window is active and has the focus.
constexpr const char* kDefaultScript = "0 activate\n0 focus-gained\n";

void say(const std::string& line) {
    host::logLine(host::LogCategory::Platform, line);
}

std::unique_ptr<host::Host> makeHeadless(const ProgramOptions& options, std::string& problem) {
    auto script =
        options.scriptPath.empty() ? host::parseScript(kDefaultScript) : host::loadScript(options.scriptPath);
    if (!script) {
        problem = script.error().message;
        return nullptr;
    }
    host::HeadlessOptions headless;
    headless.script = std::move(script).value();
    headless.folders.programFolder = options.programFolder;
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
    return options;
}

int runProgram(std::span<const char* const> argv, const ProgramParts& parts) {
    auto parsed = parseProgramOptions(argv.empty() ? argv : argv.subspan(1));
    if (!parsed) {
        say("vorlax: " + parsed.error().message);
        say(kUsage);
        return 2;
    }
    const ProgramOptions& options = parsed.value();
    if (options.help) {
        say(kUsage);
        return 0;
    }
    if (!parts.startup.makeMidlet) {
        say("vorlax: the game cannot start yet: the game is not built.");
        return 2;
    }
    if (!options.programFolder.empty() && !std::filesystem::is_directory(options.programFolder)) {
        say("vorlax: the program folder " + options.programFolder + " does not exist");
        return 2;
    }

    std::unique_ptr<host::Host> host;
    if (options.headless) {
        std::string problem;
        host = makeHeadless(options, problem);
        if (!host) {
            say("vorlax: " + problem);
            return 2;
        }
    } else if (parts.makeWindowHost) {
        host = parts.makeWindowHost(options);
    }
    if (!host) {
        say("vorlax: there is no window to run in; try --headless");
        return 1;
    }

    ShellOptions shellOptions;
    shellOptions.run.frameLimit = options.frames;
    shellOptions.run.screenshotPath = options.screenshotPath;
    Shell shell(*host, parts.startup, shellOptions);
    if (shell.run() != 0) {
        say("vorlax: the window, the display or the runtime could not start");
        return 1;
    }
    return shell.applicationImpl().screenshotFailed() ? 1 : 0;
}

} // namespace platform
