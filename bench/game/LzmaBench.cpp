// Unpacking one 1 MB packed payload (text, small-valued tables and repeated
// runs, as game data mixes them): our decoder, liblzma's decoder on the same
// bytes, and both timed in turn in one benchmark that reports how many times
// longer ours takes ("own_per_liblzma").

#include "classlib/ClassLibrary.h"
#include "game/data/Lzma.h"
#include "runtime/Array.h"
#include "runtime/Runtime.h"
#include "tools/datakit/LzmaWriter.h"

#include <benchmark/benchmark.h>
#include <lzma.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr std::size_t kSize = 1 << 20;

datakit::Bytes gameLikeData() {
    static const char* const kWords[] = {"the",    "racer",  "takes",   "a",   "tight", "bend",
                                         "near",   "Vorlax", "harbour", "and", "boost", "lap",
                                         "record", "falls",  "at",      "dusk"};
    std::mt19937 random(2026);
    datakit::Bytes out;
    while (out.size() < kSize / 2) {
        std::string word = kWords[random() % std::size(kWords)];
        out.insert(out.end(), word.begin(), word.end());
        out.push_back(random() % 9 == 0 ? '\n' : ' ');
    }
    while (out.size() < kSize * 3 / 4)
        out.push_back(static_cast<std::uint8_t>(random() % 24));
    while (out.size() < kSize)
        out.push_back(static_cast<std::uint8_t>("start grid "[out.size() % 11]));
    return out;
}

struct Unpacking {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 8 << 20}};
    datakit::Bytes data = gameLikeData();
    datakit::Bytes payload = datakit::LzmaWriter{}.write(data);
    rt::ByteArray* input = nullptr;
    std::int32_t probabilityCount = game::lzmaProbabilityCount(3, 0);
    datakit::Bytes liblzmaOut = datakit::Bytes(kSize);

    Unpacking() {
        lib::installClassLibrary(runtime);
        auto length = static_cast<std::int32_t>(payload.size()) - game::kLzmaHeaderSize;
        input = rt::newByteArray(length);
        std::memcpy(input->elements(), payload.data() + game::kLzmaHeaderSize,
                    static_cast<std::size_t>(length));
        game::LzmaStatics& statics = game::lzmaStatics();
        statics.s_lzmaOutput = rt::newByteArray(static_cast<std::int32_t>(kSize));
        statics.s_lzmaProbs = rt::newShortArray(probabilityCount);
    }

    void own() {
        if (!game::lzmaDecode(2 * probabilityCount, 3, 0, 2, input, static_cast<std::int32_t>(kSize)))
            std::abort();
    }
    void liblzma() {
        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_alone_decoder(&stream, UINT64_MAX) != LZMA_OK)
            std::abort();
        stream.next_in = payload.data();
        stream.avail_in = payload.size();
        stream.next_out = liblzmaOut.data();
        stream.avail_out = liblzmaOut.size();
        lzma_ret result = lzma_code(&stream, LZMA_FINISH);
        lzma_end(&stream);
        if (result != LZMA_STREAM_END || stream.total_out != kSize)
            std::abort();
    }
    // Both decoders must give the data back before anything is timed.
    void verify() {
        own();
        liblzma();
        const auto* ownOut =
            reinterpret_cast<const std::uint8_t*>(game::lzmaStatics().s_lzmaOutput->elements());
        if (std::memcmp(ownOut, data.data(), kSize) != 0 || liblzmaOut != data)
            std::abort();
    }
};

// One decoder alone, `run` of an `Unpacking`.
void unpackAlone(benchmark::State& state, void (Unpacking::*run)()) {
    Unpacking unpacking;
    unpacking.verify();
    for (auto _ : state)
        (unpacking.*run)();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK_CAPTURE(unpackAlone, Own, &Unpacking::own)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(unpackAlone, Liblzma, &Unpacking::liblzma)->Unit(benchmark::kMillisecond);

// Each iteration runs both, so a busy machine slows them alike.
void BM_LzmaUnpackOwnAgainstLiblzma(benchmark::State& state) {
    Unpacking unpacking;
    unpacking.verify();
    std::chrono::steady_clock::duration ownTime{}, liblzmaTime{};
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        unpacking.own();
        auto middle = std::chrono::steady_clock::now();
        unpacking.liblzma();
        liblzmaTime += std::chrono::steady_clock::now() - middle;
        ownTime += middle - start;
    }
    state.counters["own_per_liblzma"] = static_cast<double>(ownTime.count()) /
                                        static_cast<double>(std::max<std::int64_t>(liblzmaTime.count(), 1));
    state.SetBytesProcessed(static_cast<std::int64_t>(2 * state.iterations() * kSize));
}
BENCHMARK(BM_LzmaUnpackOwnAgainstLiblzma)->Unit(benchmark::kMillisecond);

} // namespace
