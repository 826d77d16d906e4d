#include "host/system/SystemInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace host {

namespace {

// A file name made of the class and the title, with every character that a
// file name cannot hold replaced.
std::string lockFileName(const std::string& className, const std::string& title) {
    std::string name = className + "-" + title + ".lock";
    for (char& c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    }
    return name;
}

} // namespace

SystemInstanceLock::SystemInstanceLock(std::string folder)
    : m_folder(std::move(folder)) {
}

SystemInstanceLock::~SystemInstanceLock() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::string SystemInstanceLock::defaultFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return runtime;
    std::error_code error;
    std::string temporary = std::filesystem::temp_directory_path(error).string();
    return error ? std::string("/tmp") : temporary;
}

Result<InstanceState> SystemInstanceLock::acquire(const std::string& className, const std::string& title) {
    if (m_folder.empty() || m_descriptor >= 0)
        return InstanceState::Only;
    std::string path = m_folder + "/" + lockFileName(className, title);
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        int error = errno;
        return Error::withMessage("host: cannot make the lock file " + path + ": " + std::strerror(error),
                                  error);
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK)
            return InstanceState::Another;
        return Error::withMessage("host: cannot lock " + path + ": " + std::strerror(error), error);
    }
    m_descriptor = descriptor;
    return InstanceState::Only;
}

} // namespace host
