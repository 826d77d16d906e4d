#include "classlib/io/DataOutputStream.h"

#include "runtime/Exceptions.h"
#include "runtime/charsets.h"
#include "runtime/checks.h"

namespace lib {

java_io_DataOutputStream::java_io_DataOutputStream()
    : java_io_OutputStream(kClassId) {
}

java_io_DataOutputStream::java_io_DataOutputStream(java_io_OutputStream* out)
    : java_io_OutputStream(kClassId)
    , m_out(out) {
}

java_io_OutputStream* java_io_DataOutputStream::sink() {
    if (!m_out)
        rt::reportNullPointer();
    return m_out;
}

void java_io_DataOutputStream::close() {
    if (java_io_OutputStream* out = sink())
        out->close();
}

void java_io_DataOutputStream::flush() {
    if (java_io_OutputStream* out = sink())
        out->flush();
}

void java_io_DataOutputStream::write(std::int32_t b) {
    if (java_io_OutputStream* out = sink())
        out->write(b);
}

void java_io_DataOutputStream::write(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (java_io_OutputStream* out = sink())
        out->write(b, off, len);
}

bool java_io_DataOutputStream::writeBigEndian(std::uint64_t value, int count) {
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8) {
        write(static_cast<std::int32_t>((value >> shift) & 0xFF));
        if (rt::exceptionPending())
            return false;
    }
    return true;
}

void java_io_DataOutputStream::writeBoolean(bool v) {
    writeBigEndian(v ? 1 : 0, 1);
}

void java_io_DataOutputStream::writeByte(std::int32_t v) {
    writeBigEndian(static_cast<std::uint32_t>(v), 1);
}

void java_io_DataOutputStream::writeShort(std::int32_t v) {
    writeBigEndian(static_cast<std::uint32_t>(v), 2);
}

void java_io_DataOutputStream::writeChar(std::int32_t v) {
    writeBigEndian(static_cast<std::uint32_t>(v), 2);
}

void java_io_DataOutputStream::writeInt(std::int32_t v) {
    writeBigEndian(static_cast<std::uint32_t>(v), 4);
}

void java_io_DataOutputStream::writeLong(std::int64_t v) {
    writeBigEndian(static_cast<std::uint64_t>(v), 8);
}

void java_io_DataOutputStream::writeChars(rt::String* s) {
    if (!s) {
        rt::reportNullPointer();
        return;
    }
    // Read the unit again each time: a write may allocate and move the text.
    for (std::int32_t i = 0; i < s->length(); ++i) {
        if (!writeBigEndian(s->units()[i], 2))
            return;
    }
}

void java_io_DataOutputStream::writeUTF(rt::String* s) {
    if (!s) {
        rt::reportNullPointer();
        return;
    }
    std::size_t encoded = rt::modifiedUtf8Length(s->view());
    if (encoded > static_cast<std::size_t>(kMaxUtfLength)) {
        rt::raise(rt::ClassId::java_io_UTFDataFormatException);
        return;
    }
    auto length = static_cast<std::int32_t>(encoded);
    rt::ByteArray* bytes = rt::newByteArray(length + 2);
    // Both blocks are read after the allocation, which may have moved the text.
    auto* out = reinterpret_cast<std::uint8_t*>(bytes->elements());
    out[0] = static_cast<std::uint8_t>(length >> 8);
    out[1] = static_cast<std::uint8_t>(length);
    rt::encodeModifiedUtf8(s->view(), out + 2);
    write(bytes);
}

} // namespace lib
