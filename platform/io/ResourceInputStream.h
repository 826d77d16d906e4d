#pragma once

// `javax_microedition_io_ResourceInputStream`: an input stream over one entry
// of the resource archive, bounded to the entry's size: it never hands out a
// byte of the archive beyond the entry. Reading past the end answers an
// `EOFException` from `read(b, off, len)` and -1 from `read()`. The file
// stream underneath is positioned at the entry's first byte when this stream
// is made, and belongs to it. One thread at a time.

#include "classlib/ClassLibrary.h"
#include "classlib/io/InputStream.h"

#include <cstdint>

namespace platform {

class javax_microedition_io_ResourceInputStream final : public lib::java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_io_ResourceInputStream;

    // `size` bytes of `in` from its current position (a negative size counts as 0).
    javax_microedition_io_ResourceInputStream(lib::java_io_InputStream* in, std::int32_t size);
    // The zero state `newInstanceById` makes: no stream underneath and no bytes left,
    // so every read is at the end.
    explicit javax_microedition_io_ResourceInputStream(lib::NewInstance)
        : java_io_InputStream(kClassId) {}

    using java_io_InputStream::read;
    // Nothing left: an `EOFException` pending (even for `len` 0), answering
    // 0. Else up to min(len, what is left) bytes through the stream underneath.
    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;
    std::int32_t read() override;
    // Up to what is left; n <= 0 skips nothing and answers 0.
    std::int64_t skip(std::int64_t n) override;
    std::int32_t available() override;
    void close() override;
    // Forwarded to the stream underneath; the mark keeps this stream's count
    // of bytes consumed too, which reset restores.
    void mark(std::int32_t readLimit) override;
    void reset() override;
    bool markSupported() override;

    RT_REFERENCE_FIELDS(javax_microedition_io_ResourceInputStream, java_io_InputStream, m_in)

private:
    lib::java_io_InputStream* m_in = nullptr;
    std::int32_t m_size = 0;
    std::int32_t m_pos = 0;
    std::int32_t m_markPos = 0;
};

} // namespace platform
