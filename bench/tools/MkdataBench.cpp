// mkdata itself: the whole demo set made in memory, each producer alone on
// an empty folder (so the slow one stands out), and the finished set written
// to disk beside its destination and renamed into place, as the program does.

#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void makeDemoSet(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        mkdata::ProgramFolder folder = mkdata::makeDemoSet();
        bytes = 0;
        for (const datakit::ArchiveEntry& entry : folder.archive)
            bytes += entry.bytes.size();
        benchmark::DoNotOptimize(folder);
    }
    state.counters["archive bytes"] = static_cast<double>(bytes);
}
BENCHMARK(makeDemoSet)->Unit(benchmark::kMillisecond);

void produce(benchmark::State& state, const mkdata::Producer& producer) {
    for (auto _ : state) {
        mkdata::ProgramFolder folder;
        producer.produce(folder);
        benchmark::DoNotOptimize(folder);
    }
}

// One benchmark per producer, named after it.
const bool s_producersRegistered = [] {
    for (const mkdata::Producer& producer : mkdata::producers())
        benchmark::RegisterBenchmark(("produce/" + std::string(producer.name)).c_str(), produce, producer)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

void writeProgramFolder(benchmark::State& state) {
    const mkdata::ProgramFolder folder = mkdata::makeDemoSet();
    testing_support::TemporaryFolder root("vorlax-mkdata-bench");
    for (auto _ : state) {
        if (!mkdata::writeProgramFolder(folder, root.path() / "demo").ok()) {
            state.SkipWithError("the set could not be written");
            break;
        }
    }
}
BENCHMARK(writeProgramFolder)->Unit(benchmark::kMillisecond);

} // namespace
