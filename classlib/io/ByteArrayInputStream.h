#pragma once

// `java_io_ByteArrayInputStream`: reads the bytes [pos, count) of a byte
// array. The array is shared, not copied: writes to it show in later reads.
//
// Invariant: 0 <= mark, pos <= count <= length of `buf` (all 0 without a
// buffer), so no read leaves the array. Every operation but `mark` and
// `markSupported` holds the stream's monitor, so threads may share a stream.

#include "classlib/io/InputStream.h"

#include <cstdint>

namespace lib {

class java_io_ByteArrayInputStream final : public java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_ByteArrayInputStream;

    // An empty stream without a buffer: what `newInstanceById` makes.
    java_io_ByteArrayInputStream();
    // Every byte of `buf`. A null `buf` is reported and gives an empty stream.
    explicit java_io_ByteArrayInputStream(rt::ByteArray* buf);
    // The bytes from `offset` up to `offset + length` or the end of `buf`,
    // whichever comes first; `mark` starts at `offset`. A null `buf`, a
    // negative length or an offset outside [0, length of buf] is reported and
    // gives an empty stream.
    java_io_ByteArrayInputStream(rt::ByteArray* buf, std::int32_t offset, std::int32_t length);

    using java_io_InputStream::read;
    // Copies min(len, count - pos) bytes; -1 once pos reaches count (also for
    // len 0), 0 for len 0 before it.
    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;
    std::int32_t read() override;
    // Moves pos by min(n, count - pos); answers 0 for n <= 0.
    std::int64_t skip(std::int64_t n) override;
    std::int32_t available() override;
    void close() override;
    // Remembers pos; the limit is ignored.
    void mark(std::int32_t readLimit) override;
    // Goes back to the mark (the start when none was set).
    void reset() override;
    bool markSupported() override { return true; }

    RT_REFERENCE_FIELDS(java_io_ByteArrayInputStream, java_io_InputStream, m_buf)

private:
    rt::ByteArray* m_buf = nullptr;
    std::int32_t m_pos = 0;
    std::int32_t m_mark = 0;
    std::int32_t m_count = 0;
};

} // namespace lib
