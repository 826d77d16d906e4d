#include "tools/mkdata/ProgramFolder.h"

#include "tools/datakit/Files.h"

#include <fstream>
#include <iterator>
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

bool isRecordStoreFile(const ProgramFolder& folder, const std::string& name) {
    return !folder.recordStorePrefix.empty() && name.size() > folder.recordStorePrefix.size() &&
           name.starts_with(folder.recordStorePrefix) && name.ends_with(folder.recordStoreSuffix);
}

// Copies the record-store files of the old set `from` (when there is one)
// into `to`.
host::Result<void> carryRecordStores(const ProgramFolder& folder, const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::is_directory(from, error))
        return {};
    for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!it->is_regular_file(error) || !isRecordStoreFile(folder, name))
            continue;
        fs::copy_file(it->path(), to / name, error);
        if (error)
            return failure("keep the record store", it->path(), error);
    }
    if (error)
        return failure("read folder", from, error);
    return {};
}

host::Result<void> fillFolder(const ProgramFolder& folder, const fs::path& at) {
    for (const auto& [name, bytes] : folder.files)
        HOST_TRY(datakit::writeFile((at / name).string(), bytes));
    return datakit::writeFile((at / "data.bar").string(), datakit::writeArchive(folder.archive));
}

bool fileHolds(const fs::path& path, const datakit::Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    datakit::Bytes content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !in.bad() && content == bytes;
}

} // namespace

bool holdsProgramFolder(const ProgramFolder& folder, const fs::path& out) {
    for (const auto& [name, bytes] : folder.files) {
        if (!fileHolds(out / name, bytes))
            return false;
    }
    return fileHolds(out / "data.bar", datakit::writeArchive(folder.archive));
}

host::Result<void> writeProgramFolder(const ProgramFolder& folder, const fs::path& out) {
    HOST_TRY(checkReplaceable(out));
    fs::path made = HOST_TRY(freshSibling(out, ".tmp-"));
    std::error_code error;
    auto filled = fillFolder(folder, made);
    if (filled)
        filled = carryRecordStores(folder, out, made);
    if (!filled) {
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
