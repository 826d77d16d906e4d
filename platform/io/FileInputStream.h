#pragma once

// `FileInputStream`: an input stream over one open file (class id 21, the
// slot order of `java_io_InputStream`). The file's length is measured once,
// when the stream is made, and `available()` counts from it even if the file
// grows or shrinks later. At the end of the file `read(b, off, len)` answers
// 0, never -1; nothing raises an exception. The stream closes its file in its
// destructor, so a stream the collector frees releases its handle. One
// thread at a time.

#include "classlib/io/InputStream.h"

#include <cstdint>
#include <cstdio>
#include <span>

namespace platform {

class FileInputStream final : public lib::java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;

    // Takes `file` (open for reading) and measures its length.
    explicit FileInputStream(std::FILE* file);
    ~FileInputStream() override;

    using java_io_InputStream::read;
    // Up to `len` bytes into `b` from `off`: how many were read, 0 at the end
    // of the file and for `len` < 1. A null `b` or a range outside it is
    // reported and reads nothing (0).
    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;
    std::int32_t read() override;
    // n <= 0 is answered unchanged without moving; otherwise the position
    // moves forward by n (also past the end of the file) and n is answered.
    std::int64_t skip(std::int64_t n) override;
    // The length measured at the start minus the current position.
    std::int32_t available() override;
    // Closes the file; a second close does nothing.
    void close() override;
    // Remembers the position (the limit is ignored); reset goes back to it.
    void mark(std::int32_t readLimit) override;
    void reset() override;
    bool markSupported() override { return true; }

    std::int32_t fileSize() const { return m_fileSize; }
    // Up to `bytes.size()` bytes from `position` into native memory, without
    // moving this stream: fewer only at the end of the file. Streams that
    // share the file read it through this (the archive's entries), from any
    // thread; 0 once the stream is closed.
    std::size_t readAt(std::int64_t position, std::span<std::uint8_t> bytes) const;

    RT_NO_REFERENCE_FIELDS(FileInputStream, java_io_InputStream)

private:
    std::int32_t position() const;

    std::FILE* m_file = nullptr;
    std::int32_t m_markPos = 0;
    std::int32_t m_fileSize = 0;
};

} // namespace platform
