// Reading a 2 MB pack of 512 entries (two parts): every entry in a shuffled
// order, where each backward move reopens its part and skips from the start,
// and every entry in rising order; beside them, the baseline of a plain read
// of the same part files start to end through the archive.

#include "classlib/io/InputStream.h"
#include "game/data/PackReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
#include "platform/io/Class.h"
#include "platform/io/fileio.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PackWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 512;

// The platform over a program folder whose archive holds the pack "b.pak".
struct PackFolder {
    testing_support::TemporaryFolder root{"vorlax-pack-bench"};
    fs::path programFolder = root.path() / "pf" / "Brivanta" / "Vorlax Rally";
    host::SystemFolders folders{host::FolderOptions{programFolder.string(), (root.path() / "pf").string(),
                                                    (root.path() / "temp").string()}};
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{16 << 20, 16 << 20, &host.threads, &host.clock}};
    std::int64_t packBytes = 0;
    std::int64_t payloadBytes = 0;
    bool ready = false;

    PackFolder() {
        platform::installPlatform(runtime);
        testing_support::installConstantStrings(
            {{rt::constants::kDefaultMessage, ""}, {rt::constants::kPackPartSeparator, "."}});
        platform::setFileFolders(&folders);
        fs::create_directories(programFolder);
        fs::create_directories(root.path() / "temp");
        game::OrvelLibConfig::staticInit();
        std::mt19937 random(2);
        std::vector<datakit::Bytes> entries;
        for (int i = 0; i < kEntries; ++i) {
            datakit::Bytes payload(random() % 8000);
            for (std::uint8_t& b : payload)
                b = static_cast<std::uint8_t>(random());
            payloadBytes += static_cast<std::int64_t>(payload.size());
            entries.push_back(datakit::packEntry(0, payload));
        }
        std::vector<datakit::Bytes> parts = datakit::writePack(entries, {0, kEntries / 2});
        for (const datakit::Bytes& part : parts)
            packBytes += static_cast<std::int64_t>(part.size());
        ready = datakit::writeFile((programFolder / "data.bar").string(),
                                   datakit::writeArchive(datakit::packArchiveEntries(u"b.pak", u".", parts)))
                    .ok();
        game::packOpen(rt::String::newFromCString("b.pak"));
    }
};

void readEntries(benchmark::State& state, bool shuffled) {
    PackFolder folder;
    if (!folder.ready) {
        state.SkipWithError("the pack could not be written");
        return;
    }
    std::vector<int> order(kEntries);
    std::iota(order.begin(), order.end(), 0);
    if (shuffled)
        std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::int64_t read = 0;
    for (auto _ : state) {
        for (int entry : order) {
            rt::ByteArray* bytes = game::packReadEntry(entry);
            read += bytes ? bytes->length() : 0;
        }
    }
    if (read != state.iterations() * folder.payloadBytes)
        state.SkipWithError("an entry did not read whole");
    state.SetBytesProcessed(state.iterations() * folder.packBytes);
}

void BM_PackEntriesShuffled(benchmark::State& state) {
    readEntries(state, true);
}
BENCHMARK(BM_PackEntriesShuffled)->Unit(benchmark::kMillisecond);

void BM_PackEntriesRising(benchmark::State& state) {
    readEntries(state, false);
}
BENCHMARK(BM_PackEntriesRising)->Unit(benchmark::kMillisecond);

// The baseline: the same bytes read start to end in 4 KB blocks.
void BM_PackPlainRead(benchmark::State& state) {
    PackFolder folder;
    if (!folder.ready) {
        state.SkipWithError("the pack could not be written");
        return;
    }
    rt::ByteArray* block = rt::newByteArray(4096);
    std::int64_t read = 0;
    for (auto _ : state) {
        for (const char* name : {"b.pak", "b.pak.1"}) {
            lib::java_io_InputStream* in =
                platform::Class::getResourceAsStream(rt::String::newFromCString(name));
            for (std::int32_t n = 4096; n == 4096;) {
                n = game::readAvailable(in, block, 0, 4096);
                read += n;
            }
            // The read at the end leaves an EOFException pending.
            rt::clearPendingException();
            in->close();
        }
    }
    if (read != state.iterations() * folder.packBytes)
        state.SkipWithError(("the plain read did not see every byte: " + std::to_string(read) + " of " +
                             std::to_string(state.iterations() * folder.packBytes))
                                .c_str());
    state.SetBytesProcessed(read);
}
BENCHMARK(BM_PackPlainRead)->Unit(benchmark::kMillisecond);

} // namespace
