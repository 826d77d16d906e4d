#pragma once

// A program started beside the test, as a player starts it from a terminal,
// that the test watches while it runs: it can ask whether it has ended and
// with what status, without blocking, and read what it wrote. A program
// still running when the object goes is killed, so a failed test leaves
// nothing behind.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace testing_support {

class ChildProcess {
public:
    // Starts `program` with `arguments`, in this process's environment
    // with `environment` ("NAME=value") added or replacing; its standard
    // output and standard error go to the files of those names in
    // `outputFolder`. `started` says whether it could be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment, const std::filesystem::path& outputFolder);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    // Its exit status once it has ended, -1 when a signal ended it;
    // nothing while it runs. Never blocks.
    std::optional<int> status();
    // Waits up to `seconds` for the end, looking every few milliseconds.
    std::optional<int> waitForEnd(int seconds);
    // What it has written on its standard output and standard error so far.
    std::string standardOutput() const;
    std::string standardError() const;

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
    std::filesystem::path m_outputFolder;
};

} // namespace testing_support
