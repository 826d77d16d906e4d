#include "tools/datakit/Files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace datakit {

host::Result<void> writeFile(const std::string& path, const Bytes& bytes) {
    std::error_code error;
    auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, error);
    if (error)
        return host::Error::withMessage("cannot make folder " + parent.string() + ": " + error.message());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        return host::Error::withMessage("cannot write " + path + ": " + std::strerror(errno), errno);
    return {};
}

} // namespace datakit
