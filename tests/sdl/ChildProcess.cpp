#include "tests/sdl/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testing_support {

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The environment's "NAME=value" entries with `changes` applied.
std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string line = *entry;
        const std::string name = line.substr(0, line.find('=') + 1);
        bool replaced = false;
        for (const std::string& change : changes)
            replaced = replaced || change.starts_with(name);
        if (!replaced)
            entries.push_back(line);
    }
    entries.insert(entries.end(), changes.begin(), changes.end());
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment,
                           const std::filesystem::path& outputFolder)
    : m_outputFolder(outputFolder) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = environmentWith(environment);
    std::vector<char*> argvPointers = pointersTo(argv);
    std::vector<char*> envpPointers = pointersTo(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = (outputFolder / "stdout").string();
    const std::string err = (outputFolder / "stderr").string();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argvPointers.data(), envpPointers.data()) == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (started() && !status()) {
        ::kill(m_pid, SIGKILL);
        int ignored = 0;
        ::waitpid(m_pid, &ignored, 0);
    }
}

std::optional<int> ChildProcess::status() {
    if (m_status || !started())
        return m_status;
    int raw = 0;
    if (::waitpid(m_pid, &raw, WNOHANG) == m_pid)
        m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return m_status;
}

std::optional<int> ChildProcess::waitForEnd(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!status() && started() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return status();
}

std::string ChildProcess::standardOutput() const {
    return readFile(m_outputFolder / "stdout");
}

std::string ChildProcess::standardError() const {
    return readFile(m_outputFolder / "stderr");
}

} // namespace testing_support
