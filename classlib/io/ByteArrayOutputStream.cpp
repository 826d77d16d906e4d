#include "classlib/io/ByteArrayOutputStream.h"

#include "classlib/io/byterange.h"
#include "classlib/lang/System.h"
#include "runtime/Monitor.h"
#include "runtime/String.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstdint>

namespace lib {

java_io_ByteArrayOutputStream::java_io_ByteArrayOutputStream()
    : java_io_ByteArrayOutputStream(kDefaultSize) {
}

java_io_ByteArrayOutputStream::java_io_ByteArrayOutputStream(std::int32_t size)
    : java_io_OutputStream(kClassId) {
    // A negative size is reported by the array, which then holds nothing and
    // is replaced by the first write.
    m_buf = rt::newByteArray(size);
}

java_io_ByteArrayOutputStream::java_io_ByteArrayOutputStream(NewInstance)
    : java_io_OutputStream(kClassId) {
}

void java_io_ByteArrayOutputStream::close() {
    rt::MonitorScope lock(this);
    m_closed = 1;
}

bool java_io_ByteArrayOutputStream::ensureCapacity(std::int64_t needed) {
    std::int32_t old = capacity();
    if (needed <= old)
        return true;
    if (needed > INT32_MAX) {
        rt::reportRuntimeError("ByteArrayOutputStream: %lld bytes do not fit in one array",
                               static_cast<long long>(needed));
        return false;
    }
    auto length = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(2 * std::int64_t{old}, needed), INT32_MAX));
    rt::ByteArray* grown = rt::newByteArray(length);
    if (m_count > 0)
        java_lang_System::arraycopy(m_buf, 0, grown, 0, m_count);
    m_buf = grown;
    return true;
}

void java_io_ByteArrayOutputStream::write(std::int32_t b) {
    rt::MonitorScope lock(this);
    if (!ensureCapacity(std::int64_t{m_count} + 1))
        return;
    m_buf->elements()[m_count++] = static_cast<std::int8_t>(b);
}

void java_io_ByteArrayOutputStream::write(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    rt::MonitorScope lock(this);
    // A range outside `b` must not count bytes that were never copied.
    if (!checkByteRange(b, off, len) || len == 0)
        return;
    if (!ensureCapacity(std::int64_t{m_count} + len))
        return;
    java_lang_System::arraycopy(b, off, m_buf, m_count, len);
    m_count += len;
}

void java_io_ByteArrayOutputStream::reset() {
    rt::MonitorScope lock(this);
    m_count = 0;
}

std::int32_t java_io_ByteArrayOutputStream::size() {
    return m_count;
}

rt::ByteArray* java_io_ByteArrayOutputStream::toByteArray() {
    rt::MonitorScope lock(this);
    if (m_closed && m_buf && m_buf->length() == m_count)
        return m_buf;
    rt::ByteArray* copy = rt::newByteArray(m_count);
    if (m_count > 0)
        java_lang_System::arraycopy(m_buf, 0, copy, 0, m_count);
    return copy;
}

rt::String* java_io_ByteArrayOutputStream::toString() {
    rt::MonitorScope lock(this);
    if (m_count == 0)
        return rt::make<rt::String>();
    return rt::make<rt::String>(m_buf, 0, m_count);
}

} // namespace lib
