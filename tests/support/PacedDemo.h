#pragma once

// The demo as the run command plays it without a display: the real program,
// headless, in this process, on a fresh copy of the demo set as mkdata makes
// it, playing a script; every presented frame is timed from the present
// before it. Each frame has three durations:
//
//  - `seconds`: the machine's time, what a player would wait if the frame's
//    work were all there is; on a loaded machine it also holds the time the
//    system gave to other processes;
//  - `cpuSeconds`: the processor time the process spent on it, on every
//    thread (the headless host runs one thread at a time), which another
//    process's load does not lengthen;
//  - `virtualMs`: the virtual clock's advance, the time the program slept or
//    waited on purpose during the frame (a frame of the loop is 40 ms).
//
// The first frame is the program's start-up and is not listed. Tests and
// benchmarks that link the game (vorlax_game, vorlax_mkdata) include this.

#include "game/Game.h"
#include "game/framework/States.h"
#include "game/frontend/Loading.h"
#include "host/headless/HeadlessHost.h"
#include "platform/shell/Program.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/mkdata/ProgramFolder.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <time.h>

namespace testing_support {

struct PacedFrame {
    double seconds = 0;
    double cpuSeconds = 0;
    std::uint64_t virtualMs = 0;
    // The game's state when the frame was presented, and the loading
    // state's next step (the step the frame ran, plus one).
    game::State state{};
    std::int32_t loadingStep = 0;
};

struct PacedRun {
    int status = -1;
    std::vector<PacedFrame> frames; // every frame after the first, in order
};

inline double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Plays `script` to its end; the game's log goes to a file of its own.
inline PacedRun runPacedDemo(const std::filesystem::path& script) {
    using Clock = std::chrono::steady_clock;
    TemporaryFolder root("vorlax-paced-demo");
    PacedRun run;
    const std::filesystem::path folder = root.path() / "demo";
    if (!mkdata::writeProgramFolder(testing_support::demoSet(), folder).ok())
        return run;
    struct Last {
        bool seen = false;
        Clock::time_point time{};
        double cpu = 0;
        std::uint64_t virtualMs = 0;
    } last;
    platform::ProgramParts parts;
    parts.startup = game::startupHooks();
    parts.adjustHeadless = [&run, &last](host::HeadlessOptions& options) {
        options.afterPresent = [&run, &last](std::span<const std::uint16_t>, std::uint64_t now) {
            const Clock::time_point time = Clock::now();
            const double cpu = processCpuSeconds();
            if (last.seen)
                run.frames.push_back({std::chrono::duration<double>(time - last.time).count(), cpu - last.cpu,
                                      now - last.virtualMs, game::stateStatics().s_state,
                                      game::loadingStatics().s_loadingStep});
            last = {true, time, cpu, now};
            return std::vector<host::WindowEvent>{};
        };
    };
    const std::string scriptPath = script.string();
    const std::string log = (root.path() / "vorlax.log").string();
    const std::string folderPath = folder.string();
    const char* argv[] = {"vorlax", "--headless", "--script",        scriptPath.c_str(),
                          "--log",  log.c_str(),  folderPath.c_str()};
    run.status = platform::runProgram(argv, parts);
    return run;
}

} // namespace testing_support
