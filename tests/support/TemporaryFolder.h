#pragma once

// A folder of the test's own below the system's temporary folder, made empty
// and removed with everything in it when the object goes.

#include <filesystem>
#include <string>
#include <unistd.h>

namespace testing_support {

class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix) {
        static int s_made = 0;
        m_path = std::filesystem::temp_directory_path() /
                 (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++s_made));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    operator const std::filesystem::path&() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace testing_support
