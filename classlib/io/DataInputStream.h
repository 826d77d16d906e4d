#pragma once

// `java_io_DataInputStream`: typed big-endian values and modified UTF-8
// strings read from another input stream, the byte order and string format
// of every binary format the platform reads.
//
// The stream operations are forwarded to the wrapped stream (a null one is
// reported at each call, and reads as the end of the data). The typed readers
// take their bytes one at a time through this stream's own `read()`. At the
// end of the data they leave an `EOFException` pending and answer 0, false or
// null, having consumed the bytes that were there; an exception left pending
// by the wrapped stream stops them at once in the same way. One data stream
// is used by one thread at a time; only `mark` and `reset` take its monitor.

#include "classlib/io/InputStream.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_io_DataInputStream final : public java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_DataInputStream;

    // No wrapped stream (also what `newInstanceById` makes).
    java_io_DataInputStream();
    explicit java_io_DataInputStream(java_io_InputStream* in);

    java_io_InputStream* wrapped() const { return m_in; }

    using java_io_InputStream::read;
    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;
    std::int32_t read() override;
    std::int64_t skip(std::int64_t n) override;
    std::int32_t available() override;
    void close() override;
    void mark(std::int32_t readLimit) override;
    void reset() override;
    bool markSupported() override;

    // One byte: any value but 0 is true.
    [[nodiscard]] bool readBoolean();
    [[nodiscard]] std::int8_t readByte();
    [[nodiscard]] std::int32_t readUnsignedByte();
    // Two bytes, most significant first.
    [[nodiscard]] std::int16_t readShort();
    [[nodiscard]] std::int32_t readUnsignedShort();
    [[nodiscard]] char16_t readChar();
    // Four bytes, most significant first.
    [[nodiscard]] std::int32_t readInt();
    // The high 32 bits as an int, then the low 32 bits.
    [[nodiscard]] std::int64_t readLong();
    // Exactly `len` bytes into `b` from `off`, through `read(b, off, len)`
    // until they are all there; a read that brings nothing is the end of the
    // data. A null `b` or a range outside it is reported and reads nothing.
    void readFully(rt::ByteArray* b, std::int32_t off, std::int32_t len);
    void readFully(rt::ByteArray* b);
    // Skips up to `n` bytes, stopping when `skip` makes no progress; answers
    // how many it skipped. Never ends in an exception of its own.
    std::int32_t skipBytes(std::int32_t n);
    // A 2-byte length L, then L bytes of modified UTF-8. A byte sequence it
    // does not accept leaves a `UTFDataFormatException` pending (null).
    [[nodiscard]] rt::String* readUTF();

    RT_REFERENCE_FIELDS(java_io_DataInputStream, java_io_InputStream, m_in)

private:
    // The wrapped stream; null after reporting when there is none.
    java_io_InputStream* source();
    // The next byte 0..255 for a typed reader, or -1 with an exception
    // pending (an `EOFException` at the end of the data).
    std::int32_t readOrRaise();

    java_io_InputStream* m_in = nullptr;
};

} // namespace lib
