// Reads the input as one typed array, once with its length unknown and once
// bounded by it. Checked: nothing is left pending, neither read counts more
// bytes than the input has, and an array that fits the bound reads the same
// way and takes the same bytes without it. The sanitizers watch every
// element written and the memory limit what unbacked counts could allocate.

#include "classlib/io/ByteArrayInputStream.h"
#include "fuzz/PlatformFiles.h"
#include "game/data/TypedArrayReader.h"
#include "game/framework/Streams.h"

namespace {

using fuzzing::check;
using fuzzing::takePending;

lib::java_io_InputStream* streamOver(const std::uint8_t* data, std::size_t size) {
    rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(size));
    std::copy(data, data + size, reinterpret_cast<std::uint8_t*>(bytes->elements()));
    return rt::make<lib::java_io_ByteArrayInputStream>(bytes);
}

// The bytes a read consumed.
std::int32_t readCounting(lib::java_io_InputStream* in, std::int32_t length, rt::Object*& array) {
    game::streamStatics().s_arrayBytesRead = 0;
    array = game::readArray(in, length);
    check(takePending() == 0);
    return game::streamStatics().s_arrayBytesRead;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    fuzzing::PlatformFiles platform;
    auto length = static_cast<std::int32_t>(size);
    rt::Object* unbounded = nullptr;
    rt::Object* bounded = nullptr;
    std::int32_t unboundedBytes = readCounting(streamOver(data, size), game::kUnknownLength, unbounded);
    std::int32_t boundedBytes = readCounting(streamOver(data, size), length, bounded);
    check(unboundedBytes <= length && boundedBytes <= length);
    if (bounded) {
        check(unbounded && unbounded->classId() == bounded->classId());
        check(unboundedBytes == boundedBytes);
    }
    return 0;
}
