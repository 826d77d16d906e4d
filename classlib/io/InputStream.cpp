#include "classlib/io/InputStream.h"

#include "classlib/io/byterange.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/checks.h"

namespace lib {

std::int32_t java_io_InputStream::read(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (!checkByteRange(b, off, len))
        return -1;
    if (len == 0)
        return 0;
    std::int32_t done = 0;
    while (done < len) {
        std::int32_t c = read();
        if (rt::exceptionPending())
            return done > 0 ? done : -1;
        if (c < 0)
            break;
        // Read the elements again after each call: `read()` may allocate.
        b->elements()[off + done] = static_cast<std::int8_t>(c);
        ++done;
    }
    return done > 0 ? done : -1;
}

std::int32_t java_io_InputStream::read(rt::ByteArray* b) {
    if (!b || b->isFreed()) {
        rt::reportNullPointer();
        return -1;
    }
    return read(b, 0, b->length());
}

std::int64_t java_io_InputStream::skip(std::int64_t n) {
    std::int64_t skipped = 0;
    while (skipped < n) {
        std::int32_t c = read();
        if (c < 0 || rt::exceptionPending())
            break;
        ++skipped;
    }
    return skipped;
}

std::int32_t java_io_InputStream::available() {
    return 0;
}

void java_io_InputStream::close() {
}

void java_io_InputStream::mark(std::int32_t) {
    rt::MonitorScope lock(this);
}

void java_io_InputStream::reset() {
    rt::MonitorScope lock(this);
}

bool java_io_InputStream::markSupported() {
    return false;
}

} // namespace lib
