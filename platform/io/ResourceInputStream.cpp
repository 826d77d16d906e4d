#include "platform/io/ResourceInputStream.h"

#include "classlib/io/byterange.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace platform {

javax_microedition_io_ResourceInputStream::javax_microedition_io_ResourceInputStream(FileInputStream* archive,
                                                                                     std::int32_t start,
                                                                                     std::int32_t size)
    : java_io_InputStream(kClassId)
    , m_archive(archive)
    , m_start(start)
    , m_size(std::max(size, 0)) {
}

std::int32_t javax_microedition_io_ResourceInputStream::buffered() const {
    if (m_pos < m_bufferStart || m_pos >= m_bufferStart + m_bufferLength)
        return 0;
    return m_bufferStart + m_bufferLength - m_pos;
}

std::int32_t javax_microedition_io_ResourceInputStream::nextFillSize() const {
    return m_fills == 0 ? kFirstFill : kBufferSize;
}

bool javax_microedition_io_ResourceInputStream::fill() {
    std::int32_t size = kFirstFill;
    if (m_fills++ > 0) {
        if (!m_large)
            m_large = std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize);
        size = kBufferSize;
    }
    const std::int32_t want = std::min(size, m_size - m_pos);
    m_bufferStart = m_pos;
    m_bufferLength = static_cast<std::int32_t>(m_archive->readAt(
        static_cast<std::int64_t>(m_start) + m_pos, std::span(buffer(), static_cast<std::size_t>(want))));
    return m_bufferLength > 0;
}

std::int32_t javax_microedition_io_ResourceInputStream::read(rt::ByteArray* b, std::int32_t off,
                                                             std::int32_t len) {
    if (m_pos >= m_size)
        return rt::raise(rt::ClassId::java_io_EOFException);
    len = std::min(len, m_size - m_pos);
    if (len < 1 || !m_archive || !lib::checkByteRange(b, off, len))
        return 0;
    std::int32_t done = 0;
    while (done < len) {
        std::int32_t ready = buffered();
        if (ready == 0 && len - done >= nextFillSize()) {
            // A read of at least what the next fill would bring goes round
            // the buffer, through a native chunk: the array's elements may
            // move while the file is read.
            std::array<std::uint8_t, kBufferSize> chunk;
            const std::int32_t want = std::min(len - done, kBufferSize);
            const auto got = static_cast<std::int32_t>(
                m_archive->readAt(static_cast<std::int64_t>(m_start) + m_pos,
                                  std::span(chunk).first(static_cast<std::size_t>(want))));
            std::memcpy(b->elements() + off + done, chunk.data(), static_cast<std::size_t>(got));
            done += got;
            m_pos += got;
            if (got < want)
                break;
            continue;
        }
        if (ready == 0) {
            if (!fill())
                break;
            ready = m_bufferLength;
        }
        const std::int32_t count = std::min(ready, len - done);
        std::memcpy(b->elements() + off + done, buffer() + (m_pos - m_bufferStart),
                    static_cast<std::size_t>(count));
        done += count;
        m_pos += count;
    }
    return done;
}

std::int32_t javax_microedition_io_ResourceInputStream::read() {
    if (m_pos >= m_size || !m_archive)
        return -1;
    if (buffered() == 0 && !fill())
        return -1;
    return buffer()[m_pos++ - m_bufferStart];
}

std::int64_t javax_microedition_io_ResourceInputStream::skip(std::int64_t n) {
    if (n <= 0 || !m_archive)
        return 0;
    n = std::min<std::int64_t>(n, m_size - m_pos);
    m_pos += static_cast<std::int32_t>(n);
    return n;
}

std::int32_t javax_microedition_io_ResourceInputStream::available() {
    return m_size - m_pos;
}

void javax_microedition_io_ResourceInputStream::close() {
    m_archive = nullptr;
    m_large.reset();
    m_bufferLength = 0;
}

void javax_microedition_io_ResourceInputStream::mark(std::int32_t) {
    if (m_archive)
        m_markPos = m_pos;
}

void javax_microedition_io_ResourceInputStream::reset() {
    if (m_archive)
        m_pos = m_markPos;
}

bool javax_microedition_io_ResourceInputStream::markSupported() {
    return m_archive != nullptr;
}

} // namespace platform
