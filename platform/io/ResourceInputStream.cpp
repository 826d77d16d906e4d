#include "platform/io/ResourceInputStream.h"

#include "runtime/Exceptions.h"

#include <algorithm>

namespace platform {

javax_microedition_io_ResourceInputStream::javax_microedition_io_ResourceInputStream(
    lib::java_io_InputStream* in, std::int32_t size)
    : java_io_InputStream(kClassId)
    , m_in(in)
    , m_size(std::max(size, 0)) {
}

std::int32_t javax_microedition_io_ResourceInputStream::read(rt::ByteArray* b, std::int32_t off,
                                                             std::int32_t len) {
    if (m_pos >= m_size)
        return rt::raise(rt::ClassId::java_io_EOFException);
    std::int32_t left = m_size - m_pos;
    if (len > left)
        len = left;
    std::int32_t n = m_in ? m_in->read(b, off, len) : 0;
    // A stream underneath that answers -1, or more than it was asked for, moves nothing past the entry's end.
    if (n > 0)
        m_pos += std::min(n, len);
    return n;
}

std::int32_t javax_microedition_io_ResourceInputStream::read() {
    if (m_pos >= m_size || !m_in)
        return -1;
    m_pos += 1;
    return m_in->read();
}

std::int64_t javax_microedition_io_ResourceInputStream::skip(std::int64_t n) {
    if (n <= 0 || !m_in)
        return 0;
    n = std::min<std::int64_t>(n, m_size - m_pos);
    std::int64_t r = m_in->skip(n);
    r = std::clamp<std::int64_t>(r, 0, n);
    m_pos += static_cast<std::int32_t>(r);
    return r;
}

std::int32_t javax_microedition_io_ResourceInputStream::available() {
    return m_size - m_pos;
}

void javax_microedition_io_ResourceInputStream::close() {
    if (m_in)
        m_in->close();
}

void javax_microedition_io_ResourceInputStream::mark(std::int32_t readLimit) {
    if (!m_in)
        return;
    m_in->mark(readLimit);
    m_markPos = m_pos;
}

void javax_microedition_io_ResourceInputStream::reset() {
    if (!m_in)
        return;
    m_in->reset();
    m_pos = m_markPos;
}

bool javax_microedition_io_ResourceInputStream::markSupported() {
    return m_in && m_in->markSupported();
}

} // namespace platform
