#include "classlib/lang/StringBuffer.h"

#include "runtime/Runtime.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace lib {

namespace {

constexpr std::size_t kUnitSize = sizeof(char16_t);

// Whether `units` points into the block [begin, begin + capacity).
bool liesWithin(const char16_t* units, const char16_t* begin, std::int32_t capacity) {
    std::less<const char16_t*> before;
    return begin && !before(units, begin) && before(units, begin + capacity);
}

} // namespace

StringBuffer::StringBuffer(std::int32_t capacity)
    : Object(kClassId) {
    if (capacity > 0)
        grow(capacity);
}

StringBuffer::StringBuffer(rt::String* str)
    : Object(kClassId) {
    if (!str) {
        rt::reportNullPointer();
        grow(16);
        return;
    }
    grow(str->length() + 1);
    // Read after the buffer exists: making it may have moved the string's units.
    insertChars(0, str->units(), str->length());
}

StringBuffer::~StringBuffer() {
    if (m_units)
        rt::freeBuffer(m_units);
    m_units = nullptr;
}

void StringBuffer::grow(std::int32_t minimum) {
    if (m_capacity >= minimum)
        return;
    std::int64_t wanted = std::max<std::int64_t>(minimum, std::int64_t{m_capacity} * 2);
    auto capacity = static_cast<std::int32_t>(std::min<std::int64_t>(wanted, INT32_MAX));
    // The new block has no owner until the text is in it, so that nothing moves
    // it meanwhile; the old block may move during this allocation, so the text
    // is read after it.
    auto* fresh =
        static_cast<char16_t*>(rt::allocBuffer(static_cast<std::size_t>(capacity) * kUnitSize, nullptr));
    if (m_units) {
        std::memcpy(fresh, m_units, static_cast<std::size_t>(m_length) * kUnitSize);
        rt::freeBuffer(m_units);
    }
    m_units = fresh;
    rt::setOwner(fresh, reinterpret_cast<void**>(&m_units));
    m_capacity = capacity;
}

bool StringBuffer::checkOffset(std::int32_t offset) const {
    if (offset < 0 || offset > m_length) {
        rt::reportIndexOutOfBounds(rt::IndexKind::String, offset, m_length);
        return false;
    }
    return true;
}

void StringBuffer::ensureCapacity(std::int32_t minimum) {
    grow(minimum);
}

void StringBuffer::setLength(std::int32_t length) {
    if (length < 0) {
        rt::reportIndexOutOfBounds(rt::IndexKind::String, length, m_length);
        return;
    }
    grow(length);
    if (length > m_length)
        std::fill(m_units + m_length, m_units + length, u'\0');
    if (m_capacity > length)
        m_units[length] = 0;
    m_length = length;
}

void StringBuffer::insertChars(std::int32_t offset, const char16_t* units, std::int32_t n) {
    if (!checkOffset(offset) || n <= 0)
        return;
    std::int64_t need = std::int64_t{m_length} + n + 1;
    if (need > INT32_MAX) {
        rt::reportRuntimeError("StringBuffer: text too long");
        return;
    }
    // Growing allocates (which may move any buffer-heap block) and frees this
    // buffer, and moving the tail overwrites this buffer: a source in either
    // place is copied out first.
    std::u16string saved;
    if (m_capacity < need || liesWithin(units, m_units, m_capacity)) {
        saved.assign(units, static_cast<std::size_t>(n));
        units = saved.data();
    }
    grow(static_cast<std::int32_t>(need));
    std::memmove(m_units + offset + n, m_units + offset,
                 static_cast<std::size_t>(m_length - offset) * kUnitSize);
    std::memcpy(m_units + offset, units, static_cast<std::size_t>(n) * kUnitSize);
    m_length += n;
    m_units[m_length] = 0;
}

void StringBuffer::insertText(std::int32_t offset, const char* text) {
    char16_t units[400];
    std::size_t n = std::min(std::strlen(text), sizeof units / kUnitSize);
    for (std::size_t i = 0; i < n; ++i)
        units[i] = static_cast<unsigned char>(text[i]);
    insertChars(offset, units, static_cast<std::int32_t>(n));
}

void StringBuffer::insertCString(std::int32_t offset, const char* cString) {
    if (!cString) {
        rt::reportNullPointer();
        return;
    }
    std::u16string units;
    for (const char* at = cString; *at; ++at)
        units.push_back(static_cast<unsigned char>(*at));
    insertChars(offset, units.data(),
                static_cast<std::int32_t>(std::min<std::size_t>(units.size(), INT32_MAX)));
}

StringBuffer* StringBuffer::insert(std::int32_t offset, rt::String* str) {
    if (!str)
        insertText(offset, "null");
    else
        insertChars(offset, str->units(), str->length());
    return this;
}

StringBuffer* StringBuffer::insert(std::int32_t offset, rt::Object* object) {
    if (!checkOffset(offset))
        return this;
    // `toString` may allocate; the text's units are read after it.
    return insert(offset, object ? object->toString() : nullptr);
}

StringBuffer* StringBuffer::insert(std::int32_t offset, bool value) {
    insertText(offset, value ? "true" : "false");
    return this;
}

StringBuffer* StringBuffer::insert(std::int32_t offset, char16_t value) {
    insertChars(offset, &value, 1);
    return this;
}

StringBuffer* StringBuffer::insert(std::int32_t offset, std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    insertText(offset, text);
    return this;
}

StringBuffer* StringBuffer::insert(std::int32_t offset, std::int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%" PRId64, value);
    insertText(offset, text);
    return this;
}

StringBuffer* StringBuffer::insert(std::int32_t offset, float value) {
    return insert(offset, static_cast<double>(value));
}

StringBuffer* StringBuffer::insert(std::int32_t offset, double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    insertText(offset, text);
    return this;
}

StringBuffer* StringBuffer::append(rt::String* str) {
    return insert(m_length, str);
}
StringBuffer* StringBuffer::append(rt::Object* object) {
    return insert(m_length, object);
}
StringBuffer* StringBuffer::append(bool value) {
    return insert(m_length, value);
}
StringBuffer* StringBuffer::append(char16_t value) {
    return insert(m_length, value);
}
StringBuffer* StringBuffer::append(std::int32_t value) {
    return insert(m_length, value);
}
StringBuffer* StringBuffer::append(std::int64_t value) {
    return insert(m_length, value);
}
StringBuffer* StringBuffer::append(float value) {
    return insert(m_length, value);
}
StringBuffer* StringBuffer::append(double value) {
    return insert(m_length, value);
}

StringBuffer* StringBuffer::delete_(std::int32_t start, std::int32_t end) {
    if (start < 0) {
        rt::reportIndexOutOfBounds(rt::IndexKind::String, start, m_length);
        return this;
    }
    end = std::min(end, m_length);
    if (end <= start)
        return this;
    std::memmove(m_units + start, m_units + end, static_cast<std::size_t>(m_length - end) * kUnitSize);
    m_length -= end - start;
    m_units[m_length] = 0;
    return this;
}

StringBuffer* StringBuffer::deleteCharAt(std::int32_t index) {
    if (index < 0 || index >= m_length) {
        rt::reportIndexOutOfBounds(rt::IndexKind::String, index, m_length);
        return this;
    }
    return delete_(index, index + 1);
}

StringBuffer* StringBuffer::reverse() {
    if (m_length > 0)
        std::reverse(m_units, m_units + m_length);
    return this;
}

void StringBuffer::getChars(std::int32_t srcBegin, std::int32_t srcEnd, rt::CharArray* dst,
                            std::int32_t dstBegin) {
    if (!dst) {
        rt::reportNullPointer();
        return;
    }
    std::int64_t count = std::int64_t{srcEnd} - srcBegin;
    if (!rt::checkRange(rt::IndexKind::String, srcBegin, count, m_length) ||
        !rt::checkRange(rt::IndexKind::Array, dstBegin, count, std::max(dst->length(), 0)))
        return;
    if (count > 0)
        std::memmove(dst->elements() + dstBegin, m_units + srcBegin,
                     static_cast<std::size_t>(count) * kUnitSize);
}

rt::String* StringBuffer::toString() {
    return rt::make<rt::String>(m_length, [this] { return m_units; });
}

} // namespace lib
