#pragma once

// `java_io_ByteArrayOutputStream`: collects written bytes in a byte array
// that grows as needed.
//
// Growth: when a write needs more than the buffer holds, a new buffer of
// max(2 x old length, needed) bytes replaces it (the old one goes to the
// collector); the buffer never shrinks. Writing after `close` is still
// accepted. Every operation that touches the buffer holds the stream's
// monitor, so threads may share a stream.

#include "classlib/ClassLibrary.h"
#include "classlib/io/OutputStream.h"

#include <cstdint>

namespace lib {

class java_io_ByteArrayOutputStream final : public java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_ByteArrayOutputStream;
    static constexpr std::int32_t kDefaultSize = 32;

    // A 32-byte buffer.
    java_io_ByteArrayOutputStream();
    // A `size`-byte buffer (a negative size is reported and gives an empty one).
    explicit java_io_ByteArrayOutputStream(std::int32_t size);
    // No buffer until the first write.
    explicit java_io_ByteArrayOutputStream(NewInstance);

    using java_io_OutputStream::write;
    // Sets the closed flag; later writes still land.
    void close() override;
    void write(std::int32_t b) override;
    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;

    // Forgets what was written; the buffer stays.
    void reset();
    std::int32_t size();
    // The bytes written, in a new array; the buffer itself (no copy) when the
    // stream is closed and the buffer is exactly full, so that a caller that
    // is done with the stream gets its bytes without copying them.
    rt::ByteArray* toByteArray();
    // A new `String` with one unit per byte written, each byte read as 0..255.
    rt::String* toString() override;

    RT_REFERENCE_FIELDS(java_io_ByteArrayOutputStream, java_io_OutputStream, m_buf)

private:
    // Makes room for `needed` bytes; false (reported) when no array can hold them.
    bool ensureCapacity(std::int64_t needed);
    std::int32_t capacity() const { return m_buf && m_buf->length() > 0 ? m_buf->length() : 0; }

    rt::ByteArray* m_buf = nullptr;
    std::int32_t m_count = 0;
    std::uint8_t m_closed = 0;
};

} // namespace lib
