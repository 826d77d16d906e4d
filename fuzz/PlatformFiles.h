#pragma once

// What the harnesses of the platform's file formats share: a program folder of
// their own (made once per process under the system's temporary folder,
// removed at exit), and per input a quiet log and a fresh runtime with the
// class library, the file names' constant strings and the folders service.

#include "classlib/ClassLibrary.h"
#include "host/Log.h"
#include "host/system/SystemFolders.h"
#include "platform/io/fileio.h"
#include "runtime/Array.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "tools/datakit/Files.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <utility>

namespace fuzzing {

inline void check(bool condition) {
    if (!condition)
        std::abort();
}

// A folder of this process under the system's temporary folder, removed at exit.
class ScratchFolder {
public:
    ScratchFolder()
        : m_root(std::filesystem::temp_directory_path() / ("vorlax-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_root / "pf" / "Brivanta" / "Vorlax Rally");
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path programFolder() const { return m_root / "pf" / "Brivanta" / "Vorlax Rally"; }

private:
    std::filesystem::path m_root;
};

// The folder every input's files go to.
inline std::filesystem::path programFolder() {
    static const ScratchFolder s_scratch;
    return s_scratch.programFolder();
}

inline void putFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    check(datakit::writeFile((programFolder() / name).string(), datakit::Bytes(bytes.begin(), bytes.end()))
              .ok());
}

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

// One input's platform. Everything made is held only by the harness's frame,
// which no collection scans: the heaps call for none (a full buffer heap falls
// back to the process heap, and the object heap is large enough for what one
// input makes).
class PlatformFiles {
public:
    PlatformFiles() {
        m_previous = host::setLogSink(&m_quiet);
        m_runtime.bufferHeap().setFailureHandler(nullptr);
        m_runtime.objectHeap().setFailureHandler(nullptr);
        lib::installClassLibrary(m_runtime);
        std::pair<std::int32_t, const char*> texts[] = {
            {14, ""}, {98, "full"}, {99, "\\"}, {100, "rms_"}, {101, ".dat"}, {102, "no index"}, {103, "#"}};
        rt::ObjectArray* constants = rt::newObjectArray(104);
        for (std::int32_t i = 0; i < 104; ++i)
            rt::Array::setRef(constants, i, rt::String::newFromCString(""));
        for (const auto& [index, text] : texts)
            rt::Array::setRef(constants, index, rt::String::newFromCString(text));
        rt::getStaticClass().setConstantStrings(constants);
        platform::setFileFolders(&m_folders);
    }
    ~PlatformFiles() { host::setLogSink(m_previous); }
    PlatformFiles(const PlatformFiles&) = delete;
    PlatformFiles& operator=(const PlatformFiles&) = delete;

private:
    Quiet m_quiet;
    host::LogSink* m_previous = nullptr;
    host::SystemFolders m_folders{host::FolderOptions{
        programFolder().string(), programFolder().parent_path().parent_path().string(), "/nonexistent-temp"}};
    rt::Runtime m_runtime{rt::RuntimeOptions{8 << 20, 4 << 20}};
};

// The class id of the pending exception (cleared), or 0 for none.
inline int takePending() {
    rt::Object* pending = rt::getPendingException();
    if (!pending)
        return 0;
    rt::clearPendingException();
    return rt::toInt(pending->classId());
}

} // namespace fuzzing
