#pragma once

// `javax_microedition_io_ResourceInputStream`: an input stream over one entry
// of the resource archive, bounded to the entry's size: it never hands out a
// byte of the archive beyond the entry. Reading past the end answers an
// `EOFException` from `read(b, off, len)` and -1 from `read()`.
//
// Every entry stream reads the one archive file that the archive keeps open,
// at its own positions, through a buffer of its own: opening an entry opens
// no file, a seek back is a change of a number, and a byte read is a lookup
// in the buffer. Closing the stream leaves the archive file open for the
// others. One thread at a time.

#include "classlib/ClassLibrary.h"
#include "classlib/io/InputStream.h"
#include "platform/io/FileInputStream.h"

#include <array>
#include <cstdint>
#include <memory>

namespace platform {

class javax_microedition_io_ResourceInputStream final : public lib::java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_io_ResourceInputStream;

    // The `size` bytes of `archive` from `start` (a negative size counts as 0).
    javax_microedition_io_ResourceInputStream(FileInputStream* archive, std::int32_t start,
                                              std::int32_t size);
    // The zero state `newInstanceById` makes: no archive underneath and no bytes left,
    // so every read is at the end.
    explicit javax_microedition_io_ResourceInputStream(lib::NewInstance)
        : java_io_InputStream(kClassId) {}

    using java_io_InputStream::read;
    // Nothing left: an `EOFException` pending (even for `len` 0), answering
    // 0. Else up to min(len, what is left) bytes: fewer only when the archive
    // file ends before the entry does, or once the stream is closed (0).
    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;
    std::int32_t read() override;
    // Up to what is left; n <= 0 skips nothing and answers 0.
    std::int64_t skip(std::int64_t n) override;
    std::int32_t available() override;
    // Reads nothing more; the archive file stays open for the other entries.
    void close() override;
    // The mark keeps this stream's count of bytes consumed, which reset restores.
    void mark(std::int32_t readLimit) override;
    void reset() override;
    bool markSupported() override;

    RT_REFERENCE_FIELDS(javax_microedition_io_ResourceInputStream, java_io_InputStream, m_archive)

private:
    // The bytes a buffer holds at most. A read of at least what the next
    // fill would bring goes round the buffer.
    static constexpr std::int32_t kBufferSize = 4096;
    // The bytes the first fill reads, into the stream's own small buffer: a
    // stream opened for a header or an entry's first byte (a pack's seek)
    // reads no more than it needs and allocates nothing, nor does one whose
    // entry is read whole at once.
    static constexpr std::int32_t kFirstFill = 64;

    // The bytes the next fill asks for.
    std::int32_t nextFillSize() const;
    // Refills the buffer from the current position; false when the archive
    // gave nothing.
    bool fill();
    // Bytes at the current position that the buffer holds.
    std::int32_t buffered() const;
    std::uint8_t* buffer() { return m_large ? m_large.get() : m_small.data(); }

    FileInputStream* m_archive = nullptr;
    std::int32_t m_start = 0;
    std::int32_t m_size = 0;
    std::int32_t m_pos = 0;
    std::int32_t m_markPos = 0;
    // The buffer holds the entry's bytes from `m_bufferStart`, `m_bufferLength`
    // of them: in `m_small` at the first fill, in `m_large` from the second on.
    std::int32_t m_bufferStart = 0;
    std::int32_t m_bufferLength = 0;
    std::int32_t m_fills = 0;
    std::array<std::uint8_t, kFirstFill> m_small;
    std::unique_ptr<std::uint8_t[]> m_large;
};

} // namespace platform
