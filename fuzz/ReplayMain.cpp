// Replays a fuzz harness's corpus as an ordinary test: every file below the
// folders (or the files) named on the command line goes through
// LLVMFuzzerTestOneInput once. A crash or a failed check fails the test.
//
// Each input runs under the limits a libFuzzer run would impose, so that an
// input which only makes the process huge or slow fails here too:
//   -rss_limit_mb=N  the process's resident memory (default 1024 MB), watched
//                    while the input runs and its peak checked after it;
//   -timeout=N       seconds one input may take (default 10).
// Options take libFuzzer's spelling so that the same command line serves both;
// libFuzzer's other options ("-name=value") are passed over.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

struct Limits {
    long rssLimitMb = 1024;
    long timeoutSeconds = 10;
};

// Resident memory now, in MB, from /proc (0 when it cannot be read).
long residentMb() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long pages = 0;
    long resident = 0;
    int fields = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return fields == 2 ? resident * (::sysconf(_SC_PAGESIZE) / 1024) / 1024 : 0;
}

// The process's peak resident memory, in MB.
long peakResidentMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Watches the input being replayed from a thread of its own: more memory
// than the limit, or more time, ends the process with a line naming the input.
// The main thread publishes the input's name and start before running it.
class Watchdog {
public:
    explicit Watchdog(const Limits& limits)
        : m_limits(limits)
        , m_thread([this] { watch(); }) {}
    ~Watchdog() {
        m_stop = true;
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void begin(const std::string& name) {
        std::lock_guard guard(m_lock);
        m_name = name;
        m_started = std::chrono::steady_clock::now();
        m_running = true;
    }
    void end() {
        std::lock_guard guard(m_lock);
        m_running = false;
    }

    [[noreturn]] static void fail(const std::string& name, const char* what, long value, long limit) {
        std::fprintf(stderr, "%s: %s %ld over the limit of %ld\n", name.c_str(), what, value, limit);
        std::fflush(stderr);
        std::_Exit(1);
    }

private:
    void watch() {
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::lock_guard guard(m_lock);
            if (!m_running)
                continue;
            long rss = residentMb();
            if (rss > m_limits.rssLimitMb)
                fail(m_name, "resident MB", rss, m_limits.rssLimitMb);
            auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                            m_started);
            if (seconds.count() > m_limits.timeoutSeconds)
                fail(m_name, "seconds", static_cast<long>(seconds.count()), m_limits.timeoutSeconds);
        }
    }

    Limits m_limits;
    std::mutex m_lock;
    // The input being replayed, under `m_lock`.
    std::string m_name;
    std::chrono::steady_clock::time_point m_started;
    bool m_running = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

int replay(const std::filesystem::path& file, Watchdog& watchdog, const Limits& limits) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name = file.string();
    watchdog.begin(name);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    watchdog.end();
    // A peak shorter than the watcher's interval still counts.
    if (long peak = peakResidentMb(); peak > limits.rssLimitMb)
        Watchdog::fail(name, "peak resident MB", peak, limits.rssLimitMb);
    return 1;
}

bool parseOption(const char* argument, const char* prefix, long& value) {
    std::size_t length = std::strlen(prefix);
    if (std::strncmp(argument, prefix, length) != 0)
        return false;
    char* end = nullptr;
    long parsed = std::strtol(argument + length, &end, 10);
    if (end == argument + length || *end != '\0' || parsed <= 0) {
        std::fprintf(stderr, "bad option: %s\n", argument);
        std::exit(1);
    }
    value = parsed;
    return true;
}

} // namespace

// A harness's one-time set-up, as libFuzzer runs it: before the first input,
// outside every input's time limit.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    Limits limits;
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        if (parseOption(argv[i], "-rss_limit_mb=", limits.rssLimitMb) ||
            parseOption(argv[i], "-timeout=", limits.timeoutSeconds))
            continue;
        if (argv[i][0] == '-' && std::strchr(argv[i], '='))
            continue;
        paths.emplace_back(argv[i]);
    }
    Watchdog watchdog(limits);
    int count = 0;
    for (const std::filesystem::path& path : paths) {
        if (std::filesystem::is_directory(path)) {
            // Sorted, so that a failure names the same input on every run.
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
            for (const auto& file : files)
                count += replay(file, watchdog, limits);
        } else if (std::filesystem::is_regular_file(path)) {
            count += replay(path, watchdog, limits);
        } else {
            std::fprintf(stderr, "no such corpus: %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
