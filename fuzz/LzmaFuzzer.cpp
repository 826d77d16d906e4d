// Takes the input as a packed pack-entry payload (the 13-byte header and the
// stream) and unpacks it as a pack read does, through a byte stream holding
// the input and three bytes of the next entry. Checked: whatever the bytes,
// the unpacker answers null or exactly the unpacked size the header gives
// (never above the bound), reads no byte past the payload, leaves no
// exception pending and lets go of its working arrays; reads and writes
// outside any array are the sanitizers' to find.

#include "classlib/ClassLibrary.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/data/Lzma.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cstdint>

using fuzzing::check;

namespace {

fuzzing::KeptRuntime& lzmaRuntime() {
    static fuzzing::KeptRuntime s_kept{rt::RuntimeOptions{4 << 20, 1 << 20},
                                       &fuzzing::installClassLibraryWithoutCollections};
    return s_kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)lzmaRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    fuzzing::QuietLog quiet;
    // The objects below are held only by this frame, which no collection
    // scans, so none may run: the unpacker's collection is switched off, a
    // full buffer heap falls back to the process heap, and the object heap
    // holds the few objects made here.
    fuzzing::KeptRuntimeInput input(lzmaRuntime());
    game::OrvelLibConfig::staticInit();
    game::config().s_packLzma = 1;
    game::config().s_gcAfterUnload = 0;

    constexpr std::int32_t kNextEntry = 3;
    const auto payloadLength = static_cast<std::int32_t>(size);
    rt::ByteArray* bytes = rt::newByteArray(payloadLength + kNextEntry);
    std::copy(data, data + size, reinterpret_cast<std::uint8_t*>(bytes->elements()));
    auto* in = rt::make<lib::java_io_ByteArrayInputStream>(bytes);
    game::lzmaUnpack(in, payloadLength);

    const game::LzmaStatics& statics = game::lzmaStatics();
    check(!rt::exceptionPending());
    check(in->available() >= kNextEntry);
    check(!statics.s_lzmaProbs && !statics.s_lzmaInput);
    if (rt::ByteArray* out = statics.s_lzmaOutput) {
        check(size >= static_cast<std::size_t>(game::kLzmaHeaderSize) && data[0] < 225);
        std::uint32_t declared =
            static_cast<std::uint32_t>(data[5]) | static_cast<std::uint32_t>(data[6]) << 8 |
            static_cast<std::uint32_t>(data[7]) << 16 | static_cast<std::uint32_t>(data[8]) << 24;
        check(declared <= static_cast<std::uint32_t>(game::kLzmaMaxSize));
        check(static_cast<std::uint32_t>(out->length()) == declared);
    }
    return 0;
}
