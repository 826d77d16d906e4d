#include "host/TemporaryFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace host {

namespace {

Error systemError(const std::string& what, int code) {
    return Error::withMessage("host: " + what + ": " + std::strerror(code), code);
}

// Writes every byte, going on after short writes and interruptions.
bool writeAll(int descriptor, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

Result<std::unique_ptr<TemporaryFile>> TemporaryFile::create(std::string_view parentFolder,
                                                             std::string_view name,
                                                             std::span<const std::uint8_t> bytes) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return Error::withMessage("host: not a file name: " + std::string(name));
    std::string pattern(parentFolder);
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += "vorlax-XXXXXX";
    std::vector<char> folderName(pattern.begin(), pattern.end());
    folderName.push_back('\0');
    // `mkdtemp` makes the folder with mode 0700 under a name nobody could foresee.
    if (!::mkdtemp(folderName.data()))
        return systemError("cannot make a private folder in " + std::string(parentFolder), errno);
    std::string folder(folderName.data());
    std::string path = folder + "/" + std::string(name);

    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        int code = errno;
        ::rmdir(folder.c_str());
        return systemError("cannot make " + path, code);
    }
    bool written = writeAll(descriptor, bytes);
    int code = errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        ::unlink(path.c_str());
        ::rmdir(folder.c_str());
        return systemError("cannot write " + path, code);
    }
    return std::unique_ptr<TemporaryFile>(new TemporaryFile(std::move(folder), std::move(path)));
}

TemporaryFile::~TemporaryFile() {
    ::unlink(m_path.c_str());
    ::rmdir(m_folder.c_str());
}

} // namespace host
