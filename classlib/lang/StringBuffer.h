#pragma once

// `StringBuffer`: the system's growable text, UTF-16 units in a block of the
// buffer heap owned by the `m_units` field (the process heap when the buffer
// heap is full), a capacity and a length. Whenever the capacity exceeds the
// length, the unit at the length is 0.
//
// Growth: when an insertion needs more than the capacity (length + n + 1
// units), the capacity becomes the larger of that need and twice the old
// capacity. The buffer never shrinks.
//
// Compaction may move the buffer, and the units of the strings and arrays
// appended to it: nothing here keeps a pointer to such units across an
// allocation. Offsets and ranges are checked: a bad one is reported
// ("StringIndexOutOfBounds index=.. length=..") and changes nothing.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class StringBuffer final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::StringBuffer;

    // An empty buffer of `capacity` units (none for a capacity below 1).
    explicit StringBuffer(std::int32_t capacity = 16);
    // A buffer holding the text of `str`, with one unit to spare. A null
    // string is reported and gives an empty buffer of 16 units.
    explicit StringBuffer(rt::String* str);
    ~StringBuffer() override;

    std::int32_t length() const { return m_length; }
    std::int32_t capacity() const { return m_capacity; }
    // The units in use. Read again after any allocation.
    const char16_t* units() const { return m_units; }

    void ensureCapacity(std::int32_t minimum);
    // Shortens or lengthens the text; new units are 0. A negative length is
    // reported and changes nothing.
    void setLength(std::int32_t length);

    // Inserts `n` units at `offset` (0 <= offset <= length). `units` may lie
    // anywhere, this buffer and the buffer heap included.
    void insertChars(std::int32_t offset, const char16_t* units, std::int32_t n);
    // Inserts a NUL-terminated 8-bit string, one unit per byte.
    void insertCString(std::int32_t offset, const char* cString);

    // Each answers this buffer. Texts: "null" for a null string or object, an
    // object's `toString`, "true"/"false", one unit, "%d", the decimal 64-bit
    // value, "%f".
    StringBuffer* append(rt::String* str);
    StringBuffer* append(rt::Object* object);
    StringBuffer* append(bool value);
    StringBuffer* append(char16_t value);
    StringBuffer* append(std::int32_t value);
    StringBuffer* append(std::int64_t value);
    StringBuffer* append(float value);
    StringBuffer* append(double value);

    StringBuffer* insert(std::int32_t offset, rt::String* str);
    StringBuffer* insert(std::int32_t offset, rt::Object* object);
    StringBuffer* insert(std::int32_t offset, bool value);
    StringBuffer* insert(std::int32_t offset, char16_t value);
    StringBuffer* insert(std::int32_t offset, std::int32_t value);
    StringBuffer* insert(std::int32_t offset, std::int64_t value);
    StringBuffer* insert(std::int32_t offset, float value);
    StringBuffer* insert(std::int32_t offset, double value);

    // `delete(start, end)`: removes the units [start, min(end, length)); nothing
    // when that range is empty. A negative start is reported.
    StringBuffer* delete_(std::int32_t start, std::int32_t end);
    // Removes the unit at `index` (reported outside the text).
    StringBuffer* deleteCharAt(std::int32_t index);
    // Reverses the order of the units.
    StringBuffer* reverse();
    // Copies the units [srcBegin, srcEnd) into `dst` from `dstBegin`; both
    // ranges are checked and a bad one copies nothing.
    void getChars(std::int32_t srcBegin, std::int32_t srcEnd, rt::CharArray* dst, std::int32_t dstBegin);

    // A new `String` of the text.
    rt::String* toString() override;

    RT_NO_REFERENCE_FIELDS(StringBuffer, Object)

private:
    // Makes the capacity at least `minimum`, moving the text to a new block.
    void grow(std::int32_t minimum);
    void insertText(std::int32_t offset, const char* text);
    bool checkOffset(std::int32_t offset) const;

    char16_t* m_units = nullptr;
    std::int32_t m_capacity = 0;
    std::int32_t m_length = 0;
};

} // namespace lib
