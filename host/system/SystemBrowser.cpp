#include "host/system/SystemBrowser.h"

#include <cstring>
#include <system_error>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace host {

Result<void> SystemBrowser::open(const std::string& address) {
    std::string program = m_program;
    std::string argument = address;
    char* arguments[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    int error = ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments, environ);
    if (error != 0)
        return Error::withMessage("host: cannot start " + program + ": " + std::strerror(error), error);
    // Collect the child when it ends, so that it does not linger as a zombie;
    // nobody waits for the browser itself.
    try {
        std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child stays a zombie until the program ends.
    }
    return {};
}

} // namespace host
