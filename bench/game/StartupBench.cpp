// Start-up as a player meets it: the program started headless on the demo
// set, running until it has presented its first frame and then ending,
// beside an empty program started the same way. Each iteration is one whole
// process, timed from its start until it has been waited for; the counter
// `peak KiB` is the largest resident memory any iteration's process reached.
// A started process's peak is never below this process's own (the system
// counts the memory it starts from), which the empty program's figure shows.

#include "tests/support/BuildPaths.h"
#include "tests/support/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct ProcessRun {
    bool exitedCleanly = false;
    double seconds = 0;
    long peakKib = 0;
};

// Starts `argv` with its output sent away and waits for it.
ProcessRun runProcess(const std::vector<std::string>& argv) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    ProcessRun run;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakKib = usage.ru_maxrss;
    return run;
}

void startProcess(benchmark::State& state, const std::vector<std::string>& argv) {
    long peakKib = 0;
    for (auto _ : state) {
        ProcessRun run = runProcess(argv);
        if (!run.exitedCleanly) {
            state.SkipWithError((argv[0] + " did not start and end cleanly").c_str());
            return;
        }
        state.SetIterationTime(run.seconds);
        peakKib = std::max(peakKib, run.peakKib);
    }
    state.counters["peak KiB"] = static_cast<double>(peakKib);
}

// The demo set, written once for the whole run by the mkdata program: made in
// this process it would raise this process's peak, which a process started
// from here inherits as its own floor.
const std::filesystem::path& demoSet() {
    static testing_support::TemporaryFolder s_root("vorlax-startup-bench");
    static const std::filesystem::path s_demo = [] {
        std::filesystem::path demo = s_root.path() / "demo";
        if (!runProcess({VORLAX_MKDATA, demo.string()}).exitedCleanly)
            demo.clear();
        return demo;
    }();
    return s_demo;
}

void emptyProgram(benchmark::State& state) {
    startProcess(state, {VORLAX_EMPTY_PROGRAM});
}
BENCHMARK(emptyProgram)->UseManualTime()->Unit(benchmark::kMillisecond);

void gameToFirstFrame(benchmark::State& state) {
    if (demoSet().empty()) {
        state.SkipWithError("the demo set could not be written");
        return;
    }
    startProcess(state, {VORLAX_PROGRAM, "--headless", "--frames", "1", demoSet().string()});
}
BENCHMARK(gameToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
