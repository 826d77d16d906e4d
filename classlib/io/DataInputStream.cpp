#include "classlib/io/DataInputStream.h"

#include "classlib/io/byterange.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/charsets.h"
#include "runtime/checks.h"

#include <algorithm>
#include <span>
#include <string>

namespace lib {

java_io_DataInputStream::java_io_DataInputStream()
    : java_io_InputStream(kClassId) {
}

java_io_DataInputStream::java_io_DataInputStream(java_io_InputStream* in)
    : java_io_InputStream(kClassId)
    , m_in(in) {
}

java_io_InputStream* java_io_DataInputStream::source() {
    if (!m_in)
        rt::reportNullPointer();
    return m_in;
}

std::int32_t java_io_DataInputStream::read(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    java_io_InputStream* in = source();
    return in ? in->read(b, off, len) : -1;
}

std::int32_t java_io_DataInputStream::read() {
    java_io_InputStream* in = source();
    return in ? in->read() : -1;
}

std::int64_t java_io_DataInputStream::skip(std::int64_t n) {
    java_io_InputStream* in = source();
    return in ? in->skip(n) : 0;
}

std::int32_t java_io_DataInputStream::available() {
    java_io_InputStream* in = source();
    return in ? in->available() : 0;
}

void java_io_DataInputStream::close() {
    if (java_io_InputStream* in = source())
        in->close();
}

void java_io_DataInputStream::mark(std::int32_t readLimit) {
    rt::MonitorScope lock(this);
    if (java_io_InputStream* in = source())
        in->mark(readLimit);
}

void java_io_DataInputStream::reset() {
    rt::MonitorScope lock(this);
    if (java_io_InputStream* in = source())
        in->reset();
}

bool java_io_DataInputStream::markSupported() {
    java_io_InputStream* in = source();
    return in && in->markSupported();
}

std::int32_t java_io_DataInputStream::readOrRaise() {
    std::int32_t b = read();
    if (rt::exceptionPending())
        return -1;
    if (b < 0)
        rt::raise(rt::ClassId::java_io_EOFException);
    return b;
}

bool java_io_DataInputStream::readBoolean() {
    return readOrRaise() > 0;
}

std::int8_t java_io_DataInputStream::readByte() {
    std::int32_t b = readOrRaise();
    return b < 0 ? 0 : static_cast<std::int8_t>(b);
}

std::int32_t java_io_DataInputStream::readUnsignedByte() {
    std::int32_t b = readOrRaise();
    return b < 0 ? 0 : b;
}

std::int32_t java_io_DataInputStream::readUnsignedShort() {
    std::int32_t a = readOrRaise();
    if (a < 0)
        return 0;
    std::int32_t b = readOrRaise();
    if (b < 0)
        return 0;
    return (a << 8) | b;
}

std::int16_t java_io_DataInputStream::readShort() {
    return static_cast<std::int16_t>(readUnsignedShort());
}

char16_t java_io_DataInputStream::readChar() {
    return static_cast<char16_t>(readUnsignedShort());
}

std::int32_t java_io_DataInputStream::readInt() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        std::int32_t b = readOrRaise();
        if (b < 0)
            return 0;
        value = (value << 8) | static_cast<std::uint32_t>(b);
    }
    return static_cast<std::int32_t>(value);
}

std::int64_t java_io_DataInputStream::readLong() {
    std::int32_t high = readInt();
    if (rt::exceptionPending())
        return 0;
    std::int32_t low = readInt();
    if (rt::exceptionPending())
        return 0;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
                                     static_cast<std::uint32_t>(low));
}

void java_io_DataInputStream::readFully(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (!checkByteRange(b, off, len))
        return;
    std::int32_t done = 0;
    while (done < len) {
        std::int32_t k = read(b, off + done, len - done);
        if (rt::exceptionPending())
            return;
        if (k <= 0) {
            rt::raise(rt::ClassId::java_io_EOFException);
            return;
        }
        // A stream that claims more than it was asked for has filled the range.
        done += std::min(k, len - done);
    }
}

void java_io_DataInputStream::readFully(rt::ByteArray* b) {
    if (!b || b->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    readFully(b, 0, b->length());
}

std::int32_t java_io_DataInputStream::skipBytes(std::int32_t n) {
    std::int32_t total = 0;
    while (total < n) {
        auto k = skip(n - total);
        if (rt::exceptionPending() || k <= 0 || k > n - total)
            break;
        total += static_cast<std::int32_t>(k);
    }
    return total;
}

rt::String* java_io_DataInputStream::readUTF() {
    std::int32_t length = readUnsignedShort();
    if (rt::exceptionPending())
        return nullptr;
    rt::ByteArray* bytes = rt::newByteArray(length);
    readFully(bytes, 0, length);
    if (rt::exceptionPending())
        return nullptr;
    std::u16string units;
    // Nothing allocates in the runtime's heaps between reading the elements'
    // address and the end of the decoding, so the block cannot move meanwhile.
    auto* first = reinterpret_cast<const std::uint8_t*>(bytes->elements());
    if (!rt::decodeModifiedUtf8(std::span(first, static_cast<std::size_t>(length)), units))
        return rt::raise(rt::ClassId::java_io_UTFDataFormatException);
    return rt::make<rt::String>(std::u16string_view(units));
}

} // namespace lib
