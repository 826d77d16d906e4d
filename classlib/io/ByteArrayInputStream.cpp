#include "classlib/io/ByteArrayInputStream.h"

#include "classlib/io/byterange.h"
#include "classlib/lang/System.h"
#include "runtime/Monitor.h"
#include "runtime/checks.h"

#include <algorithm>

namespace lib {

java_io_ByteArrayInputStream::java_io_ByteArrayInputStream()
    : java_io_InputStream(kClassId) {
}

java_io_ByteArrayInputStream::java_io_ByteArrayInputStream(rt::ByteArray* buf)
    : java_io_InputStream(kClassId) {
    if (!buf || buf->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    m_buf = buf;
    m_count = buf->length();
}

java_io_ByteArrayInputStream::java_io_ByteArrayInputStream(rt::ByteArray* buf, std::int32_t offset,
                                                           std::int32_t length)
    : java_io_InputStream(kClassId) {
    if (!buf || buf->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    m_buf = buf;
    // Image and resource loaders pass offsets: one outside the array, or a
    // negative length, must not place the window outside it. A length past
    // the end is cut there, without the overflow of offset + length.
    bool badOffset = offset < 0 || offset > buf->length();
    if (badOffset || length < 0) {
        rt::reportIndexOutOfBounds(rt::IndexKind::Array, badOffset ? offset : std::int64_t{offset} + length,
                                   buf->length());
        return;
    }
    m_pos = offset;
    m_mark = offset;
    m_count = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{offset} + length, buf->length()));
}

std::int32_t java_io_ByteArrayInputStream::read(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    rt::MonitorScope lock(this);
    if (!checkByteRange(b, off, len))
        return -1;
    if (m_pos >= m_count)
        return -1;
    len = std::min(len, m_count - m_pos);
    if (len < 1)
        return 0;
    java_lang_System::arraycopy(m_buf, m_pos, b, off, len);
    m_pos += len;
    return len;
}

std::int32_t java_io_ByteArrayInputStream::read() {
    rt::MonitorScope lock(this);
    if (m_pos >= m_count)
        return -1;
    return static_cast<std::uint8_t>(m_buf->elements()[m_pos++]);
}

std::int64_t java_io_ByteArrayInputStream::skip(std::int64_t n) {
    rt::MonitorScope lock(this);
    n = std::min<std::int64_t>(n, m_count - m_pos);
    if (n < 0)
        return 0;
    m_pos += static_cast<std::int32_t>(n);
    return n;
}

std::int32_t java_io_ByteArrayInputStream::available() {
    rt::MonitorScope lock(this);
    return m_count - m_pos;
}

void java_io_ByteArrayInputStream::close() {
    rt::MonitorScope lock(this);
}

void java_io_ByteArrayInputStream::mark(std::int32_t) {
    m_mark = m_pos;
}

void java_io_ByteArrayInputStream::reset() {
    rt::MonitorScope lock(this);
    m_pos = m_mark;
}

} // namespace lib
