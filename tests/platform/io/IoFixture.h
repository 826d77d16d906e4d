#pragma once

// What the file, archive and record-store tests share: a runtime with the
// platform installed, a program folder of its own under the system's temporary
// folder (removed afterwards) that the host maps the device's folders onto,
// and helpers to put datakit's bytes there and to read results back.

#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
#include "platform/io/fileio.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/LogCapture.h"
#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace io_testing {

namespace fs = std::filesystem;

// The device path of the game's folder, as the platform builds it.
inline constexpr const char* kProgramFolder = "\\Program Files\\Brivanta\\Vorlax Rally";

// A fresh, empty folder below the system's temporary folder; removed with it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        static std::atomic<int> s_next{0};
        m_path = fs::temp_directory_path() /
                 ("vorlax-io-" + std::to_string(::getpid()) + "-" + std::to_string(s_next++));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

struct IoTest : ::testing::Test {
    IoTest() {
        platform::installPlatform(runtime);
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, "no details"}});
        platform::setFileFolders(&folders);
        fs::create_directories(programFolder());
        fs::create_directories(root.path() / "temp");
    }
    ~IoTest() override { rt::clearPendingException(); }

    // The Linux path of `name` in the program folder.
    std::string inProgramFolder(const std::string& name) const { return (programFolder() / name).string(); }
    fs::path programFolder() const { return root.path() / "pf" / "Brivanta" / "Vorlax Rally"; }

    void put(const std::string& name, const datakit::Bytes& bytes) const {
        ASSERT_TRUE(datakit::writeFile(inProgramFolder(name), bytes).ok()) << name;
    }
    static datakit::Bytes contentOf(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return datakit::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    datakit::Bytes fileContent(const std::string& name) const { return contentOf(inProgramFolder(name)); }

    // The device path of `name` in the program folder, as a String.
    static rt::String* devicePath(const std::string& name) {
        return rt::String::newFromCString((std::string(kProgramFolder) + "\\" + name).c_str());
    }
    static rt::String* text(const char* s) { return rt::String::newFromCString(s); }

    // The class id of the pending exception, which is cleared; 0 for none.
    static int takePending() {
        rt::Object* pending = rt::getPendingException();
        rt::clearPendingException();
        return pending ? rt::toInt(pending->classId()) : 0;
    }

    testing_support::LogCapture log;
    TemporaryFolder root;
    host::SystemFolders folders{host::FolderOptions{programFolder().string(), (root.path() / "pf").string(),
                                                    (root.path() / "temp").string()}};
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20, &host.threads, &host.clock}};
};

// Names parameterised cases by their `what`: letters and digits kept, the rest '_'.
struct NameByWhat {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    }
};

using testing_support::byteArray;
using testing_support::bytesOf;

inline datakit::Bytes asBytes(std::string_view s) {
    return datakit::Bytes(s.begin(), s.end());
}

} // namespace io_testing
