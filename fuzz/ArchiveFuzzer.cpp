// Takes the input as the resource archive "data.bar" and reads every entry a
// handful of names can reach, checking what the archive promises: the index
// loads once whatever the bytes (a bad one is an empty or shorter index), an
// entry stream never serves more than it said it had nor reaches outside the
// file, reads past its end answer `EOFException` or -1 and nothing else, and
// every loop over an entry ends.

#include "classlib/io/DataInputStream.h"
#include "fuzz/PlatformFiles.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "platform/io/ResourceInputStream.h"

#include <algorithm>

namespace {

using fuzzing::check;
using fuzzing::takePending;

// Names whose entries the seeds hold, in several spellings.
const char* const kNames[] = {"a", "/A", "constants.bin", "/Constants.Bin", "app.jad", "x.png", "//a", ""};

void readEntry(lib::java_io_InputStream* in, std::int32_t fileSize) {
    std::int32_t size = in->available();
    check(size >= 0 && size <= fileSize);
    rt::ByteArray* buffer = rt::newByteArray(97);
    std::int32_t consumed = 0;
    in->mark(0);
    // A mix of the reads, each bounded by the entry.
    for (int step = 0; consumed < size; ++step) {
        std::int32_t before = in->available();
        if (step % 3 == 0) {
            std::int32_t n = in->read(buffer, step % 5, 97 - step % 5);
            check(takePending() == 0);
            if (n <= 0)
                break;
            consumed += n;
        } else if (step % 3 == 1) {
            std::int32_t c = in->read();
            check(c >= -1 && c <= 255);
            if (c < 0)
                break;
            consumed += 1;
        } else {
            std::int64_t skipped = in->skip(step);
            check(skipped >= 0 && skipped <= step);
            consumed += static_cast<std::int32_t>(skipped);
        }
        check(in->available() == size - consumed && in->available() < before);
    }
    check(consumed <= size);
    if (in->available() == 0) {
        check(in->read() == -1);
        (void)in->read(buffer, 0, 1);
        check(takePending() == rt::toInt(rt::ClassId::java_io_EOFException));
    }
    in->reset();
    check(in->available() == size);
    rt::ByteArray* all = platform::readAllBytes(in);
    check(all && all->length() <= size);
    in->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    fuzzing::putFile("data.bar", std::span(data, size));
    fuzzing::PlatformFiles platform;
    for (const char* name : kNames) {
        lib::java_io_InputStream* in = platform::Class::getResourceAsStream(rt::String::newFromCString(name));
        check(takePending() == 0);
        if (in)
            readEntry(in, static_cast<std::int32_t>(size));
    }
    // The data-stream readers the game uses stop at the entry's end too.
    if (lib::java_io_InputStream* in =
            platform::Class::getResourceAsStream(rt::String::newFromCString("a"))) {
        auto* data = rt::make<lib::java_io_DataInputStream>(in);
        for (int i = 0; i < 64; ++i) {
            (void)data->readUTF();
            int pending = takePending();
            check(pending == 0 || pending == rt::toInt(rt::ClassId::java_io_EOFException) ||
                  pending == rt::toInt(rt::ClassId::java_io_UTFDataFormatException));
            if (pending)
                break;
        }
    }
    return 0;
}
