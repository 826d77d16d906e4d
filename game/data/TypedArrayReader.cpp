#include "game/data/TypedArrayReader.h"

#include "classlib/io/InputStream.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

enum : std::int32_t {
    kByteType = 0,
    kShortType = 1,
    kIntType = 2,
    kWideCountBit = 8,
    // The least a nested array takes: its header and a 1-byte count.
    kLeastNestedBytes = 2,
};
constexpr std::int32_t kFirstNestedCapacity = 16;

class ArrayReader {
public:
    ArrayReader(lib::java_io_InputStream* in, std::int32_t payloadLength)
        : m_in(in)
        , m_limit(payloadLength)
        , m_start(streamStatics().s_arrayBytesRead) {}

    // The array at `level` (1 the outermost); null on a fault or an exception.
    rt::Object* read(std::int32_t level) {
        if (level > kMaxArrayNesting)
            return fail("arrays nest deeper than 16 levels");
        std::int32_t header = next();
        if (header < 0)
            return nullptr;
        std::int32_t count = (header & kWideCountBit) ? nextShort() : next();
        if (count < 0)
            return nullptr;
        std::int32_t type = header & 7;
        std::int32_t width = header >> 4;
        switch (type) {
        case kByteType:
            return readBytes(count);
        case kShortType:
            return readNumbers(count, width == 0 ? 1 : 2, rt::newShortArray);
        case kIntType:
            return readNumbers(count, width == 0 ? 1 : width == 1 ? 2 : 4, rt::newIntArray);
        default:
            return readNested(count, level);
        }
    }

    bool broken() const { return m_fault != nullptr; }
    const char* fault() const { return m_fault; }

private:
    std::nullptr_t fail(const char* why) {
        if (!m_fault)
            m_fault = why;
        return nullptr;
    }

    // The payload bytes not read yet.
    std::int64_t left() const {
        if (m_limit < 0)
            return std::numeric_limits<std::int64_t>::max();
        return static_cast<std::int64_t>(m_limit) - (streamStatics().s_arrayBytesRead - m_start);
    }

    bool fits(std::int32_t count, std::int32_t bytesEach) {
        if (static_cast<std::int64_t>(count) * bytesEach <= left())
            return true;
        fail("the counts do not fit in the payload");
        return false;
    }

    // The next byte, or -1 at the end (a fault) or after an exception.
    std::int32_t next() {
        if (left() < 1) {
            fail("the array runs past its payload");
            return -1;
        }
        std::int32_t value = streamReadByte(m_in);
        if (rt::exceptionPending())
            return -1;
        if (value < 0)
            fail("the data ends inside an array");
        return value;
    }
    // The next two bytes as an unsigned 16-bit value, or -1 as `next`.
    std::int32_t nextShort() {
        if (left() < 2) {
            fail("the array runs past its payload");
            return -1;
        }
        const std::int32_t before = streamStatics().s_arrayBytesRead;
        std::int32_t value = streamReadShort(m_in);
        if (rt::exceptionPending())
            return -1;
        // The reader counts only the bytes that came.
        if (streamStatics().s_arrayBytesRead - before < 2) {
            fail("the data ends inside an array");
            return -1;
        }
        return value;
    }
    // `width` bytes, little-endian, sign-extended; false at the end or on an exception.
    bool nextValue(std::int32_t width, std::int32_t& value) {
        std::uint32_t bits = 0;
        for (std::int32_t i = 0; i < width; ++i) {
            std::int32_t b = next();
            if (b < 0)
                return false;
            bits |= static_cast<std::uint32_t>(b) << (8 * i);
        }
        std::int32_t unused = 32 - 8 * width;
        value = static_cast<std::int32_t>(bits << unused) >> unused;
        return true;
    }

    rt::Object* readBytes(std::int32_t count) {
        if (!fits(count, 1))
            return nullptr;
        rt::ByteArray* array = rt::newByteArray(count);
        std::int32_t got = readAvailable(m_in, array, 0, count);
        streamStatics().s_arrayBytesRead += got;
        if (rt::catchException(rt::ClassId::java_io_EOFException) || (got < count && !rt::exceptionPending()))
            return fail("the data ends inside an array");
        return rt::exceptionPending() ? nullptr : array;
    }

    // A short or int array of `count` elements stored in `width` bytes each.
    template <class NumberArray>
    rt::Object* readNumbers(std::int32_t count, std::int32_t width, NumberArray* (*make)(std::int32_t)) {
        if (!fits(count, width))
            return nullptr;
        NumberArray* array = make(count);
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t value = 0;
            if (!nextValue(width, value))
                return nullptr;
            array->elements()[i] = static_cast<typename NumberArray::Element>(value);
        }
        return array;
    }

    // The array grows as its elements arrive (each takes at least two bytes),
    // so a count that the data does not back costs no memory.
    rt::Object* readNested(std::int32_t count, std::int32_t level) {
        if (!fits(count, kLeastNestedBytes))
            return nullptr;
        rt::ObjectArray* array = rt::newObjectArray(std::min(count, kFirstNestedCapacity));
        for (std::int32_t i = 0; i < count; ++i) {
            rt::Object* element = read(level + 1);
            if (broken())
                return nullptr;
            // A nested array that raised an exception stays null.
            if (rt::exceptionPending() && !rt::catchException(rt::ClassId::java_lang_Exception))
                return nullptr;
            if (i == array->length()) {
                rt::ObjectArray* larger = rt::newObjectArray(std::min(count, 2 * i));
                rt::Array::copy(array, 0, larger, 0, i);
                array = larger;
            }
            rt::Array::setRef(array, i, element);
        }
        return array;
    }

    lib::java_io_InputStream* m_in;
    std::int32_t m_limit;
    std::int32_t m_start;
    const char* m_fault = nullptr;
};

} // namespace

rt::Object* readArray(lib::java_io_InputStream* in, std::int32_t payloadLength) {
    ArrayReader reader(in, payloadLength);
    rt::Object* array = reader.read(1);
    if (reader.broken()) {
        host::logf(host::LogCategory::Game, "readArray: %s", reader.fault());
        return nullptr;
    }
    if (rt::exceptionPending()) {
        rt::catchException(rt::ClassId::java_lang_Exception);
        return nullptr;
    }
    return array;
}

} // namespace game
