#pragma once

// What the harnesses of the platform's file formats share: a program folder of
// their own, and a runtime with the class library, the file names' constant
// strings and the folders service. Both are made at the first input and kept
// for the process (KeptRuntime.h), since making them again for every input is
// what a harness would spend most of its time on; between inputs the folder is
// emptied as well, so that no input sees another's files or caches.

#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "host/Log.h"
#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
#include "platform/io/fileio.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace fuzzing {

// A folder of this process under the system's temporary folder, removed at
// exit. When that is the default /tmp, the memory-backed /dev/shm takes its
// place where there is one: inputs write and remove files all the time, which
// a disk makes the slowest part of a harness. A run that crashed cannot remove
// its own: the folders of processes that no longer exist are removed when the next one starts.
class ScratchFolder {
public:
    ScratchFolder()
        : m_root(base() / (kPrefix + std::to_string(::getpid())))
        , m_programFolder(m_root / "pf" / "Brivanta" / "Vorlax Rally")
        , m_programFolderText(m_programFolder.string()) {
        removeAbandoned();
        std::filesystem::create_directories(programFolder());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Made once: every input writes its files there and empties it.
    const std::filesystem::path& programFolder() const { return m_programFolder; }

    // Removes everything in the program folder. The folder's entries are
    // read into a buffer on the stack: the directory streams of the C and C++
    // libraries allocate tens of kilobytes for every listing, which the
    // address sanitizer fills and keeps in its quarantine.
    void empty() const {
        const std::string& folder = m_programFolderText;
        const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0)
            return;
        alignas(8) char entries[4096];
        for (long got; (got = ::syscall(SYS_getdents64, descriptor, entries, sizeof entries)) > 0;) {
            for (long at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
                at += entry->d_reclen;
                const std::string_view name = entry->d_name;
                if (name == "." || name == "..")
                    continue;
                if (::unlinkat(descriptor, entry->d_name, 0) != 0) {
                    std::error_code ignored;
                    std::filesystem::remove_all(std::filesystem::path(folder) / name, ignored);
                }
            }
        }
        ::close(descriptor);
    }

private:
    static inline const std::string kPrefix = "vorlax-fuzz-";

    static std::filesystem::path base() {
        std::error_code ignored;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path();
        const std::filesystem::path memory = "/dev/shm";
        return temporary == "/tmp" && std::filesystem::is_directory(memory, ignored) ? memory : temporary;
    }

    static void removeAbandoned() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(base(), ignored)) {
            std::string name = entry.path().filename().string();
            if (name.rfind(kPrefix, 0) != 0)
                continue;
            char* end = nullptr;
            long pid = std::strtol(name.c_str() + kPrefix.size(), &end, 10);
            if (pid > 0 && *end == '\0' && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                std::filesystem::remove_all(entry.path(), ignored);
        }
    }

    std::filesystem::path m_root;
    std::filesystem::path m_programFolder;
    std::string m_programFolderText;
};

// The process's folder, log sink and runtime.
class Session {
public:
    Session() { host::setLogSink(&m_quiet); }
    ~Session() { host::setLogSink(nullptr); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    static Session& get() {
        static Session s_session;
        return s_session;
    }

    const ScratchFolder& folder() const { return m_folder; }

    // Gives the input a platform as the first input found it.
    void beginInput() {
        rt::getStaticClass().setConstantStrings(m_constants);
        platform::setFileFolders(&m_folders);
    }

    // Gives the input the constant strings `make` builds (on top of the
    // platform's, which are in force when it runs) in place of the platform's.
    void useConstants(KeptRuntime::MakeConstants make) {
        rt::getStaticClass().setConstantStrings(m_runtime.constants(make));
    }

    // An object every input shares, made by `make` at the first input that
    // asks and kept (KeptRuntime::kept).
    template <class T>
    T* kept(T* (*make)()) {
        return m_runtime.kept(make);
    }

    // Forgets everything the input made: its files, its statics, its objects.
    // The constant strings stay rooted through the collection.
    void endInput() {
        failOnRuntimeReport();
        m_runtime.endInput([this] { rt::getStaticClass().setConstantStrings(m_constants); });
        m_folder.empty();
    }

private:
    // Everything made is held only by the harness's frame or the statics, and
    // collections run only between inputs: the heaps call for none (a full
    // buffer heap falls back to the process heap, and the object heap is large
    // enough for what one input makes).
    void install(rt::Runtime& runtime) {
        runtime.bufferHeap().setFailureHandler(nullptr);
        runtime.objectHeap().setFailureHandler(nullptr);
        platform::installPlatform(runtime);
        std::pair<std::int32_t, const char*> texts[] = {
            {14, ""}, {98, "full"}, {99, "\\"}, {100, "rms_"}, {101, ".dat"}, {102, "no index"}, {103, "#"}};
        m_constants = rt::newObjectArray(104);
        for (std::int32_t i = 0; i < 104; ++i)
            rt::Array::setRef(m_constants, i, rt::String::newFromCString(""));
        for (const auto& [index, text] : texts)
            rt::Array::setRef(m_constants, index, rt::String::newFromCString(text));
        runtime.staticClass().setConstantStrings(m_constants);
    }

    Quiet m_quiet;
    ScratchFolder m_folder;
    host::SystemFolders m_folders{host::FolderOptions{
        m_folder.programFolder().string(), m_folder.programFolder().parent_path().parent_path().string(),
        "/nonexistent-temp"}};
    rt::ObjectArray* m_constants = nullptr;
    KeptRuntime m_runtime{rt::RuntimeOptions{8 << 20, 4 << 20},
                          [this](rt::Runtime& runtime) { install(runtime); }};
};

// The folder every input's files go to.
inline const std::filesystem::path& programFolder() {
    return Session::get().folder().programFolder();
}

// Writes `parts`, one after the other, as the file `name` of the program
// folder, through no buffer of the C++ library (see `ScratchFolder::empty`).
inline void putFile(const std::string& name, std::initializer_list<std::span<const std::uint8_t>> parts) {
    const int descriptor =
        ::open((programFolder() / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(descriptor >= 0);
    for (std::span<const std::uint8_t> bytes : parts) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t wrote = ::write(descriptor, bytes.data() + done, bytes.size() - done);
            check(wrote > 0);
            done += static_cast<std::size_t>(wrote);
        }
    }
    check(::close(descriptor) == 0);
}

inline void putFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    putFile(name, {bytes});
}

// One input's platform, for the input's frame: on its end, what the input made
// is gone. The constant strings are the platform's, or those `make` builds.
class PlatformFiles {
public:
    explicit PlatformFiles(KeptRuntime::MakeConstants make = nullptr) {
        Session::get().beginInput();
        if (make)
            Session::get().useConstants(make);
    }
    ~PlatformFiles() { Session::get().endInput(); }
    PlatformFiles(const PlatformFiles&) = delete;
    PlatformFiles& operator=(const PlatformFiles&) = delete;
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
