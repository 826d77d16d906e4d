#pragma once

#include "host/Folders.h"

namespace host {

struct FolderOptions {
    // Empty: the current folder.
    std::string programFolder;
    // Empty: two folders above the program folder, as an install lays them out.
    std::string programFilesFolder;
    // The device's "\temp". Empty: the system's folder for temporary files.
    std::string tempFolder = {};
};

// Folders given by options or derived as the options say; fixed at making.
class SystemFolders final : public Folders {
public:
    explicit SystemFolders(const FolderOptions& options);

    const std::string& programFolder() const override { return m_programFolder; }
    Result<std::string> specialFolder(std::int32_t id) const override;
    const std::string& tempFolder() const override { return m_tempFolder; }

private:
    std::string m_programFolder;
    std::string m_programFilesFolder;
    std::string m_tempFolder;
};

} // namespace host
