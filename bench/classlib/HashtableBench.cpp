// `Hashtable.get` with `Integer` keys: the sprite engine's zoom caches look
// one up for every sprite it paints.

#include "classlib/lang/Integer.h"
#include "classlib/util/Hashtable.h"
#include "runtime/Array.h"
#include "runtime/Runtime.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using lib::java_lang_Integer;
using lib::java_util_Hashtable;

// A table of `state.range(0)` entries; each lookup uses a key object of its
// own (as game code makes a new Integer per lookup), hits or misses.
void hashtableGet(benchmark::State& state, bool hit) {
    // No threads: nothing collects unless an allocation fails, which these never do.
    rt::Runtime runtime{rt::RuntimeOptions{8 << 20, 8 << 20}};
    auto entries = static_cast<std::int32_t>(state.range(0));
    auto* table = rt::make<java_util_Hashtable>();
    for (std::int32_t i = 0; i < entries; ++i) {
        auto* key = rt::make<java_lang_Integer>(i * 7919);
        (void)table->put(key, key);
    }
    constexpr std::int32_t kLookups = 1024;
    std::vector<java_lang_Integer*> keys;
    for (std::int32_t i = 0; i < kLookups; ++i)
        keys.push_back(rt::make<java_lang_Integer>((i % entries) * 7919 + (hit ? 0 : 1)));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->get(keys[next]));
        next = (next + 1) % kLookups;
    }
    state.SetItemsProcessed(state.iterations());
}

void hashtableGetHit(benchmark::State& state) {
    hashtableGet(state, true);
}
void hashtableGetMiss(benchmark::State& state) {
    hashtableGet(state, false);
}

BENCHMARK(hashtableGetHit)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK(hashtableGetMiss)->Arg(256);

} // namespace
