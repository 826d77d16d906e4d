#pragma once

// Runs a shell command the way a player or another program would start it.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace testing_support {

struct CommandResult {
    // The exit status, -1 when the command did not exit by itself.
    int status = -1;
    // What the command wrote on its standard output (`command` redirects
    // other streams there, or away, as it needs).
    std::string output;
};

// Runs `command` through the shell and waits for it to end.
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 512> chunk{};
    while (std::size_t read = std::fread(chunk.data(), 1, chunk.size(), pipe))
        result.output.append(chunk.data(), read);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace testing_support
