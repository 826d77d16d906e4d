#pragma once

// What the program plugs into start-up: the parts that belong to the game
// and to the data it loads. The composition root (game/main.cpp) fills them.
// Also how a run ends: the program's exit statuses, and what a start-up step
// answers so that start-up can pick one.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace platform {

class javax_microedition_midlet_MIDlet;

// The program's exit statuses. Each failure also writes one line naming what
// is wrong to standard error.
enum class ExitStatus : int {
    // The run ended normally (or another instance is running).
    Normal = 0,
    // The window, the display or the runtime could not start (no display
    // without --headless, an unreadable script, a screenshot not written).
    CannotStart = 1,
    // No data set where the program looks (or no game to run yet).
    NoDataSet = 2,
    // The data set is there but broken: a file, resource or entry that
    // cannot be loaded, or loading it filled the object heap.
    BrokenDataSet = 3,
    // A headless run ended after a runtime check had failed (a null, index,
    // cast or size fault in the game's code or in data its loaders let
    // through); the line names the first report.
    RuntimeCheckFailed = 4,
    // The options cannot be read; kept apart from the statuses above.
    Usage = 64,
};

constexpr int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

// What a start-up step answers: ready, or why the program cannot go on.
class StartupResult {
public:
    static StartupResult ready() { return StartupResult(ExitStatus::Normal, {}); }
    // No data set in `folder`; the line says how to make one.
    static StartupResult missingDataSet(const std::string& folder) {
        return StartupResult(ExitStatus::NoDataSet,
                             "no data set in " + folder +
                                 " (data.bar is missing); make the demo set with `bash tools/run.sh` or "
                                 "`mkdata FOLDER`, or name the folder that holds the game's data.bar");
    }
    // `file` (a file, a resource or an entry) cannot be loaded because of `what`.
    static StartupResult broken(const std::string& file, const std::string& what) {
        return StartupResult(ExitStatus::BrokenDataSet, "the data set is broken: " + file + ": " + what);
    }
    // The program has no game to run: the composition root gave no MIDlet.
    static StartupResult noGame() {
        return StartupResult(ExitStatus::NoDataSet, "the game cannot start yet: the game is not built.");
    }
    // Loading the data set filled the object heap: a file holds more than
    // the device could.
    static StartupResult outOfStore() {
        return StartupResult(ExitStatus::BrokenDataSet,
                             "the data set is broken: loading it filled the object heap (out of store)");
    }
    // The window, the display or the runtime cannot start, because of `what`.
    static StartupResult cannotStart(const std::string& what) {
        return StartupResult(ExitStatus::CannotStart, what);
    }

    bool ok() const { return m_status == ExitStatus::Normal; }
    ExitStatus status() const { return m_status; }
    // The one line saying what is wrong; empty when ready.
    const std::string& message() const { return m_message; }

private:
    StartupResult(ExitStatus status, std::string message)
        : m_status(status)
        , m_message(std::move(message)) {}

    ExitStatus m_status;
    std::string m_message;
};

struct StartupHooks {
    // Runs once the runtime stands, before the screen and the MIDlet exist:
    // loads the constant strings and runs the static initialisation of the
    // game. Anything but ready stops start-up, and the program ends with the
    // result's status and line. Empty: nothing to do.
    std::function<StartupResult()> initializeStatics;
    // Makes the MIDlet to run (the game's); null stops start-up.
    std::function<javax_microedition_midlet_MIDlet*()> makeMidlet;
    // The hash of the game's simulation state, asked on the game thread after
    // each painted frame of a run that writes hashes (`--hashes`); null
    // stands for a hash of 0.
    std::uint64_t (*stateHash)() = nullptr;
};

} // namespace platform
