#include "host/system/SystemFolders.h"

#include <filesystem>
#include <system_error>

namespace host {

namespace {

namespace fs = std::filesystem;

// An absolute, normal form of `path` that ends with '/'.
std::string asFolder(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error)
        absolute = path;
    std::string text = absolute.lexically_normal().string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

} // namespace

SystemFolders::SystemFolders(const FolderOptions& options) {
    std::error_code error;
    fs::path program =
        options.programFolder.empty() ? fs::current_path(error) : fs::path(options.programFolder);
    m_programFolder = asFolder(program);
    if (!options.programFilesFolder.empty()) {
        m_programFilesFolder = asFolder(options.programFilesFolder);
    } else {
        // "<program files>/Brivanta/Vorlax Rally/": the path ends with '/', so
        // its parent is the folder itself.
        fs::path folder = fs::path(m_programFolder).parent_path();
        m_programFilesFolder = asFolder(folder.parent_path().parent_path());
    }
    if (!options.tempFolder.empty()) {
        m_tempFolder = asFolder(options.tempFolder);
    } else {
        fs::path temp = fs::temp_directory_path(error);
        m_tempFolder = asFolder(error ? fs::path("/tmp") : temp);
    }
}

Result<std::string> SystemFolders::specialFolder(std::int32_t id) const {
    if (id == static_cast<std::int32_t>(SpecialFolder::ProgramFiles))
        return m_programFilesFolder;
    return Error::withMessage("host: no folder stands for special folder " + std::to_string(id));
}

} // namespace host
