#include "tools/mkdata/ProgramFolder.h"

#include "tools/datakit/Files.h"

#include <system_error>

namespace mkdata {

namespace fs = std::filesystem;

namespace {

host::Error failure(const std::string& what, const fs::path& path, const std::error_code& error) {
    return host::Error::withMessage("cannot " + what + " " + path.string() + ": " + error.message(),
                                    error.value());
}

// A new, empty folder named after `out` with `infix` and the first free
// number; made by `create_directory`, so two runs never share one.
host::Result<fs::path> freshSibling(const fs::path& out, const std::string& infix) {
    std::error_code error;
    for (int n = 1;; ++n) {
        fs::path candidate = out;
        candidate += infix + std::to_string(n);
        if (fs::create_directory(candidate, error))
            return candidate;
        if (error)
            return failure("make folder", candidate, error);
    }
}

// Whether `out` may be replaced: it is missing, or a folder that is empty or
// holds "data.bar".
host::Result<void> checkReplaceable(const fs::path& out) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(out, error);
    if (status.type() == fs::file_type::not_found)
        return {};
    if (error)
        return failure("look at", out, error);
    if (status.type() != fs::file_type::directory)
        return host::Error::withMessage(out.string() + " exists and is not a folder; not replaced");
    bool empty = fs::is_empty(out, error);
    if (error)
        return failure("read folder", out, error);
    if (!empty && !fs::exists(out / "data.bar", error))
        return host::Error::withMessage(out.string() + " is a folder without data.bar; not replaced");
    return {};
}

host::Result<void> fill(const ProgramFolder& folder, const fs::path& at) {
    for (const auto& [name, bytes] : folder.files)
        HOST_TRY(datakit::writeFile((at / name).string(), bytes));
    return datakit::writeFile((at / "data.bar").string(), datakit::writeArchive(folder.archive));
}

} // namespace

host::Result<void> writeProgramFolder(const ProgramFolder& folder, const fs::path& out) {
    HOST_TRY(checkReplaceable(out));
    fs::path made = HOST_TRY(freshSibling(out, ".tmp-"));
    std::error_code error;
    if (auto filled = fill(folder, made); !filled) {
        fs::remove_all(made, error);
        return filled;
    }
    // A folder cannot be renamed over a full one: the old set steps aside
    // first and is removed once the new one is in place.
    fs::path old;
    if (fs::exists(out, error)) {
        old = HOST_TRY(freshSibling(out, ".old-"));
        fs::rename(out, old / "set", error);
        if (error) {
            std::error_code ignored;
            fs::remove_all(made, ignored);
            fs::remove(old, ignored);
            return failure("move aside", out, error);
        }
    }
    fs::rename(made, out, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(made, ignored);
        if (!old.empty())
            fs::rename(old / "set", out, ignored);
        fs::remove_all(old, ignored);
        return failure("rename into place", out, error);
    }
    if (!old.empty())
        fs::remove_all(old, error);
    return {};
}

} // namespace mkdata
