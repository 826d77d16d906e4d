#pragma once

// `TemporaryFile`: a file of the process's own below a shared temporary
// folder, for bytes that another library must read from a path.
//
// A shared temporary folder is open to every user of the machine, who can
// plant a file or a link under any name there before we use it. So the file
// is made in a new folder that only this user can enter (a fresh random name,
// mode 0700, `mkdtemp`), and created there exclusively and without following
// a link (`O_CREAT | O_EXCL | O_NOFOLLOW`, mode 0600). Destroying the object
// removes the file and its folder.
//
// Any thread; the calls block on the file system.

#include "host/Result.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace host {

class TemporaryFile {
public:
    // Makes a folder "vorlax-XXXXXX" in `parentFolder` and in it the file
    // `name` holding `bytes`. `name` is one path component (no '/', not "."
    // or ".."). Fails, leaving nothing behind, when the folder or the file
    // cannot be made or written.
    static Result<std::unique_ptr<TemporaryFile>> create(std::string_view parentFolder, std::string_view name,
                                                         std::span<const std::uint8_t> bytes);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The file's path, and the path of the private folder holding it.
    const std::string& path() const { return m_path; }
    const std::string& folder() const { return m_folder; }

private:
    TemporaryFile(std::string folder, std::string path)
        : m_folder(std::move(folder))
        , m_path(std::move(path)) {}

    std::string m_folder;
    std::string m_path;
};

} // namespace host
