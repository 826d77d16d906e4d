#pragma once

// `java_io_DataOutputStream`: typed big-endian values and modified UTF-8
// strings written to another output stream; the counterpart of
// `java_io_DataInputStream`.
//
// The stream operations are forwarded to the wrapped stream (a null one is
// reported at each call). The typed writers send their bytes, most
// significant first, one at a time through this stream's own `write(int)`,
// and stop at the first byte after which an exception is pending. No lock.

#include "classlib/io/OutputStream.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_io_DataOutputStream final : public java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_DataOutputStream;
    // The most bytes the 2-byte length of `writeUTF` can announce.
    static constexpr std::int32_t kMaxUtfLength = 65535;

    // No wrapped stream (also what `newInstanceById` makes).
    java_io_DataOutputStream();
    explicit java_io_DataOutputStream(java_io_OutputStream* out);

    java_io_OutputStream* wrapped() const { return m_out; }

    using java_io_OutputStream::write;
    void close() override;
    void flush() override;
    void write(std::int32_t b) override;
    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;

    // 1 for true, 0 for false.
    void writeBoolean(bool v);
    // The low 8 bits.
    void writeByte(std::int32_t v);
    // The low 16 bits.
    void writeShort(std::int32_t v);
    void writeChar(std::int32_t v);
    void writeInt(std::int32_t v);
    // The high int's four bytes, then the low int's.
    void writeLong(std::int64_t v);
    // Each unit as two bytes; a null text is reported and writes nothing.
    void writeChars(rt::String* s);
    // A 2-byte length, then the text in modified UTF-8, in one write. A text
    // whose encoding is longer than 65535 bytes cannot be announced: it
    // leaves a `UTFDataFormatException` pending and writes nothing. A null
    // text is reported and writes nothing.
    void writeUTF(rt::String* s);

    RT_REFERENCE_FIELDS(java_io_DataOutputStream, java_io_OutputStream, m_out)

private:
    java_io_OutputStream* sink();
    // The `count` low bytes of `value`, most significant first; false once an
    // exception is pending.
    bool writeBigEndian(std::uint64_t value, int count);

    java_io_OutputStream* m_out = nullptr;
};

} // namespace lib
