#pragma once

// `String`: the system's immutable text, UTF-16 units with a stored count
// that includes a terminating 0 unit (so `length()` is the count minus one).
//
// Storage: a text whose count is below 16 (length 14 or less) lives in the
// object's own inline buffer; a longer one always has a block of the buffer
// heap owned by the `m_units` field (the process heap when the buffer heap is
// full). Compaction may move that block and rewrite the field, so a pointer
// to the units of any string or array must not be kept across an allocation:
// every operation here that allocates reads its sources only after its last
// allocation.
//
// Case handling is ASCII only. Operations that take another object report
// "NullPointer" for a null one and answer a neutral value; index ranges are
// checked ("StringIndexOutOfBounds index=.. length=..") so that nothing reads
// or writes outside a string or an array. None of them throws.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/Runtime.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

class String final : public Object {
public:
    static constexpr ClassId kClassId = ClassId::String;
    // Units held in the object itself, the terminator included.
    static constexpr std::int32_t kInlineUnits = 16;

    // The empty string.
    String();
    // `count` units of `value` from `offset`. A null array or a range outside
    // it is reported and gives the empty string.
    String(CharArray* value, std::int32_t offset, std::int32_t count);
    explicit String(CharArray* value);
    // A copy of `s` (the empty string for null).
    explicit String(String* s);
    // Units from memory outside the buffer heap (the C++ stack, static data,
    // the process heap): it cannot move while the string is made.
    String(const char16_t* units, std::int32_t offset, std::int32_t length);
    String(const char16_t* units, std::int32_t length);
    explicit String(std::u16string_view units);
    // A NUL-terminated 16-bit string, and a NUL-terminated 8-bit string with
    // one unit per byte (both outside the buffer heap).
    explicit String(const char16_t* wideCString);
    explicit String(const char* cString);
    // ISO-8859-1: one unit per byte.
    String(ByteArray* bytes, std::int32_t offset, std::int32_t length);
    explicit String(ByteArray* bytes);
    // By charset name: "UTF-8" or "UTF8" in any ASCII case, "ISO-8859-1",
    // "SJIS"; a null or unknown name decodes as ISO-8859-1.
    String(ByteArray* bytes, std::int32_t offset, std::int32_t length, String* charsetName);
    String(ByteArray* bytes, String* charsetName);
    // `length` units copied from where `readUnits()` answers, called once the
    // string's own storage exists: for sources in the buffer heap (another
    // string's or a buffer's units), which making the storage may move.
    template <class ReadUnits>
    requires std::is_invocable_r_v<const char16_t*, ReadUnits&> String(std::int32_t length,
                                                                       ReadUnits readUnits)
        : Object(kClassId) {
        char16_t* units = reserve(length);
        copyUnits(units, readUnits(), length);
    }

    ~String() override;

    static String* newFromCString(const char* cString);

    std::int32_t length() const { return m_count - 1; }
    // The stored count: length + 1.
    std::int32_t count() const { return m_count; }
    // The units, terminator included. Read again after any allocation.
    const char16_t* units() const { return m_units; }
    std::u16string_view view() const {
        return std::u16string_view(m_units, static_cast<std::size_t>(length()));
    }
    // The text as UTF-8, for logs and host calls.
    std::string toUtf8() const;

    // The unit at `index`; 0 (reported) outside the string.
    char16_t charAt(std::int32_t index) const;

    // True for another `String` with the same units.
    bool equals(Object* other) override;
    // The difference of the first unequal units over the smaller count (the
    // shorter string's terminator takes part), else the difference of the counts.
    std::int32_t compareTo(String* other) const;
    // h = 31 * h + unit over every stored unit, the terminator included.
    std::int32_t hashCode() override;
    String* toString() override { return this; }

    // Whole-string comparisons; the IgnoreCase forms map 'A'-'Z' to 'a'-'z'
    // on both sides. A C string's bytes are units 0 to 255.
    bool equalsIgnoreCase(String* other) const;
    bool equalsCString(const char* cString) const;
    bool equalsIgnoreCaseCString(const char* cString) const;

    bool regionMatches(bool ignoreCase, std::int32_t toffset, String* other, std::int32_t ooffset,
                       std::int32_t len) const;
    bool startsWith(String* prefix, std::int32_t toffset) const;
    bool startsWith(String* prefix) const;
    bool endsWith(String* suffix) const;

    // Searches answer the index found or -1.
    std::int32_t indexOf(std::int32_t unit) const;
    std::int32_t indexOf(std::int32_t unit, std::int32_t from) const;
    std::int32_t indexOf(String* str) const;
    std::int32_t indexOf(String* str, std::int32_t from) const;
    // Scans down from the last stored unit, so `lastIndexOf(0)` finds the terminator.
    std::int32_t lastIndexOf(std::int32_t unit) const;
    std::int32_t lastIndexOf(std::int32_t unit, std::int32_t from) const;

    // New strings (or this one where nothing changes). A range outside the
    // string is reported and gives the empty string.
    String* substring(std::int32_t begin, std::int32_t end);
    String* substring(std::int32_t begin);
    String* concat(String* s);
    String* replace(char16_t oldUnit, char16_t newUnit);
    String* toLowerCase();
    String* toUpperCase();
    String* trim();

    CharArray* toCharArray();
    // Copies the units [srcBegin, srcEnd) into `dst` from `dstBegin`; both
    // ranges are checked and a bad one copies nothing.
    void getChars(std::int32_t srcBegin, std::int32_t srcEnd, CharArray* dst, std::int32_t dstBegin);
    // The low 8 bits of each unit.
    ByteArray* getBytes();
    // "UTF-8" or "UTF8" in any ASCII case: the modified UTF-8 form (the unit 0
    // as C0 80); any other name: null.
    ByteArray* getBytes(String* charsetName);

    // Texts of values: "%d", the decimal 64-bit value, "%f", one unit,
    // "true"/"false", the units of `data` up to the first 0 unit, and the
    // object's `toString` ("null" for null).
    static String* valueOf(std::int32_t value);
    static String* valueOf(std::int64_t value);
    static String* valueOf(float value);
    static String* valueOf(double value);
    static String* valueOf(char16_t value);
    static String* valueOf(bool value);
    static String* valueOf(CharArray* data, std::int32_t offset, std::int32_t count);
    static String* valueOf(Object* object);

    RT_NO_REFERENCE_FIELDS(String, Object)

private:
    // Makes room for `length` units and the terminator (inline, or a block
    // owned by `m_units`), writes the terminator and answers the units. May
    // allocate; a negative length counts as 0.
    char16_t* reserve(std::int32_t length);
    static void copyUnits(char16_t* to, const char16_t* from, std::int32_t length);
    void assign(std::u16string_view units);
    void decode(ByteArray* bytes, std::int32_t offset, std::int32_t length, String* charsetName);

    char16_t m_inline[kInlineUnits] = {};
    char16_t* m_units = m_inline;
    std::int32_t m_count = 1;
};

} // namespace rt
