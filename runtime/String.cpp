#include "runtime/String.h"

#include "runtime/Verify.h"
#include "runtime/charsets.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace rt {

namespace {

// Units from memory that cannot move while a string is made.
void requireStable(const void* units) {
    RT_VERIFY_MSG(!Runtime::current().bufferHeap().contains(units),
                  "units in the buffer heap must be read after the string's allocation");
}

// The text of a number, formatted on the stack.
template <class... Args>
String* formatted(const char* format, Args... args) {
    char text[400];
    std::snprintf(text, sizeof text, format, args...);
    return String::newFromCString(text);
}

bool equalsCStringWith(const String& string, const char* cString, char16_t (*map)(char16_t)) {
    if (!cString)
        return false;
    std::size_t size = std::strlen(cString);
    if (size != static_cast<std::size_t>(string.length()))
        return false;
    const char16_t* units = string.units();
    for (std::size_t i = 0; i < size; ++i) {
        if (map(units[i]) != map(static_cast<unsigned char>(cString[i])))
            return false;
    }
    return true;
}

char16_t unchanged(char16_t unit) {
    return unit;
}

} // namespace

String::String()
    : Object(kClassId) {
}

String::String(CharArray* value, std::int32_t offset, std::int32_t count)
    : Object(kClassId) {
    if (!value) {
        reportNullPointer();
        return;
    }
    if (!checkRange(IndexKind::Array, offset, count, std::max(value->length(), 0)))
        return;
    char16_t* units = reserve(count);
    copyUnits(units, value->elements() + (count > 0 ? offset : 0), count);
}

String::String(CharArray* value)
    : String(value, 0, value ? std::max(value->length(), 0) : 0) {
}

String::String(String* s)
    : Object(kClassId) {
    if (!s)
        return;
    std::int32_t length = s->length();
    char16_t* units = reserve(length);
    copyUnits(units, s->m_units, length);
}

String::String(const char16_t* units, std::int32_t offset, std::int32_t length)
    : Object(kClassId) {
    if (!units || length <= 0)
        return;
    requireStable(units);
    assign(std::u16string_view(units + offset, static_cast<std::size_t>(length)));
}

String::String(const char16_t* units, std::int32_t length)
    : String(units, 0, length) {
}

String::String(std::u16string_view units)
    : Object(kClassId) {
    if (!units.empty())
        requireStable(units.data());
    assign(units);
}

String::String(const char16_t* wideCString)
    : String(wideCString ? std::u16string_view(wideCString) : std::u16string_view()) {
}

String::String(const char* cString)
    : Object(kClassId) {
    if (!cString)
        return;
    requireStable(cString);
    auto length = static_cast<std::int32_t>(std::min<std::size_t>(std::strlen(cString), INT32_MAX - 1));
    char16_t* units = reserve(length);
    for (std::int32_t i = 0; i < length; ++i)
        units[i] = static_cast<unsigned char>(cString[i]);
}

String::String(ByteArray* bytes, std::int32_t offset, std::int32_t length)
    : Object(kClassId) {
    decode(bytes, offset, length, nullptr);
}

String::String(ByteArray* bytes)
    : String(bytes, 0, bytes ? std::max(bytes->length(), 0) : 0) {
}

String::String(ByteArray* bytes, std::int32_t offset, std::int32_t length, String* charsetName)
    : Object(kClassId) {
    decode(bytes, offset, length, charsetName);
}

String::String(ByteArray* bytes, String* charsetName)
    : String(bytes, 0, bytes ? std::max(bytes->length(), 0) : 0, charsetName) {
}

String::~String() {
    if (m_units != m_inline)
        freeBuffer(m_units);
    m_units = nullptr;
}

String* String::newFromCString(const char* cString) {
    return make<String>(cString);
}

char16_t* String::reserve(std::int32_t length) {
    length = std::max(length, 0);
    if (m_units != m_inline) {
        freeBuffer(m_units);
        m_units = m_inline;
    }
    m_count = length + 1;
    if (m_count >= kInlineUnits)
        allocBuffer<char16_t>(static_cast<std::size_t>(m_count), &m_units);
    m_units[length] = 0;
    return m_units;
}

void String::copyUnits(char16_t* to, const char16_t* from, std::int32_t length) {
    if (length > 0)
        std::memcpy(to, from, static_cast<std::size_t>(length) * sizeof(char16_t));
}

void String::assign(std::u16string_view units) {
    auto length = static_cast<std::int32_t>(std::min<std::size_t>(units.size(), INT32_MAX - 1));
    copyUnits(reserve(length), units.data(), length);
}

void String::decode(ByteArray* bytes, std::int32_t offset, std::int32_t length, String* charsetName) {
    if (!bytes) {
        reportNullPointer();
        return;
    }
    if (!checkRange(IndexKind::Array, offset, length, std::max(bytes->length(), 0)))
        return;
    Charset charset = charsetName ? charsetForName(charsetName->view()) : Charset::Iso8859_1;
    // Decoded into a buffer of this call, outside the guest heaps, before the
    // string's storage is made.
    std::u16string text;
    if (length > 0) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->elements()) + offset;
        decodeBytes(std::span(data, static_cast<std::size_t>(length)), charset, text);
    }
    assign(text);
}

std::string String::toUtf8() const {
    return rt::toUtf8(view());
}

char16_t String::charAt(std::int32_t index) const {
    if (index < 0 || index >= length()) {
        reportIndexOutOfBounds(IndexKind::String, index, length());
        return 0;
    }
    return m_units[index];
}

bool String::equals(Object* other) {
    if (!other || other->classId() != kClassId)
        return false;
    if (other == this)
        return true;
    return compareTo(static_cast<String*>(other)) == 0;
}

std::int32_t String::compareTo(String* other) const {
    if (!other) {
        reportNullPointer();
        return 0;
    }
    std::int32_t shared = std::min(m_count, other->m_count);
    for (std::int32_t i = 0; i < shared; ++i) {
        if (m_units[i] != other->m_units[i])
            return m_units[i] - other->m_units[i];
    }
    return m_count - other->m_count;
}

std::int32_t String::hashCode() {
    if (m_count < 1)
        return 0;
    std::uint32_t hash = 0;
    for (std::int32_t i = 0; i < m_count; ++i)
        hash = 31 * hash + m_units[i];
    return static_cast<std::int32_t>(hash);
}

bool String::equalsIgnoreCase(String* other) const {
    if (!other || other->length() != length())
        return false;
    for (std::int32_t i = 0; i < length(); ++i) {
        if (asciiLower(m_units[i]) != asciiLower(other->m_units[i]))
            return false;
    }
    return true;
}

bool String::equalsCString(const char* cString) const {
    return equalsCStringWith(*this, cString, &unchanged);
}

bool String::equalsIgnoreCaseCString(const char* cString) const {
    return equalsCStringWith(*this, cString, &asciiLower);
}

bool String::regionMatches(bool ignoreCase, std::int32_t toffset, String* other, std::int32_t ooffset,
                           std::int32_t len) const {
    if (!other) {
        reportNullPointer();
        return false;
    }
    if (toffset < 0 || ooffset < 0 || std::int64_t{toffset} > std::int64_t{m_count} - len ||
        std::int64_t{ooffset} > std::int64_t{other->m_count} - len)
        return false;
    for (std::int32_t i = 0; i < len; ++i) {
        char16_t a = m_units[toffset + i];
        char16_t b = other->m_units[ooffset + i];
        if (a == b)
            continue;
        if (!ignoreCase || (asciiUpper(a) != asciiUpper(b) && asciiLower(a) != asciiLower(b)))
            return false;
    }
    return true;
}

bool String::startsWith(String* prefix, std::int32_t toffset) const {
    if (!prefix || toffset < 0 || toffset >= m_count || prefix->length() > length() - toffset)
        return false;
    return std::equal(prefix->m_units, prefix->m_units + prefix->length(), m_units + toffset);
}

bool String::startsWith(String* prefix) const {
    return startsWith(prefix, 0);
}

bool String::endsWith(String* suffix) const {
    if (!suffix)
        return false;
    return startsWith(suffix, length() - suffix->length());
}

std::int32_t String::indexOf(std::int32_t unit) const {
    return indexOf(unit, 0);
}

std::int32_t String::indexOf(std::int32_t unit, std::int32_t from) const {
    for (std::int32_t i = std::max(from, 0); i < length(); ++i) {
        if (m_units[i] == unit)
            return i;
    }
    return -1;
}

std::int32_t String::indexOf(String* str) const {
    return indexOf(str, 0);
}

std::int32_t String::indexOf(String* str, std::int32_t from) const {
    if (!str) {
        reportNullPointer();
        return -1;
    }
    if (str->length() == 1)
        return indexOf(str->m_units[0], from);
    std::int32_t needle = str->length();
    for (std::int32_t at = std::max(from, 0); at <= length() - needle; ++at) {
        if (std::equal(str->m_units, str->m_units + needle, m_units + at))
            return at;
    }
    return -1;
}

std::int32_t String::lastIndexOf(std::int32_t unit) const {
    return lastIndexOf(unit, m_count - 1);
}

std::int32_t String::lastIndexOf(std::int32_t unit, std::int32_t from) const {
    for (std::int32_t i = std::min(from, m_count - 1); i >= 0; --i) {
        if (m_units[i] == unit)
            return i;
    }
    return -1;
}

String* String::substring(std::int32_t begin, std::int32_t end) {
    if (!checkRange(IndexKind::String, begin, std::int64_t{end} - begin, length()))
        return make<String>();
    return make<String>(end - begin, [this, begin] { return m_units + begin; });
}

String* String::substring(std::int32_t begin) {
    return substring(begin, length());
}

String* String::concat(String* s) {
    if (!s) {
        reportNullPointer();
        return this;
    }
    if (s->length() == 0)
        return this;
    std::int32_t head = length();
    std::int32_t tail = s->length();
    auto* result = make<String>();
    char16_t* units = result->reserve(head + tail);
    copyUnits(units, m_units, head);
    copyUnits(units + head, s->m_units, tail);
    return result;
}

String* String::replace(char16_t oldUnit, char16_t newUnit) {
    if (oldUnit == newUnit || indexOf(oldUnit) < 0)
        return this;
    auto* result = make<String>(length(), [this] { return m_units; });
    std::replace(result->m_units, result->m_units + result->length(), oldUnit, newUnit);
    return result;
}

String* String::toLowerCase() {
    auto* result = make<String>(length(), [this] { return m_units; });
    std::transform(result->m_units, result->m_units + result->length(), result->m_units, asciiLower);
    return result;
}

String* String::toUpperCase() {
    auto* result = make<String>(length(), [this] { return m_units; });
    std::transform(result->m_units, result->m_units + result->length(), result->m_units, asciiUpper);
    return result;
}

String* String::trim() {
    std::int32_t begin = 0;
    std::int32_t end = length();
    while (begin < end && m_units[begin] <= u' ')
        ++begin;
    while (end > begin && m_units[end - 1] <= u' ')
        --end;
    return substring(begin, end);
}

CharArray* String::toCharArray() {
    CharArray* array = newCharArray(length());
    copyUnits(array->elements(), m_units, length());
    return array;
}

void String::getChars(std::int32_t srcBegin, std::int32_t srcEnd, CharArray* dst, std::int32_t dstBegin) {
    if (!dst) {
        reportNullPointer();
        return;
    }
    std::int64_t count = std::int64_t{srcEnd} - srcBegin;
    if (!checkRange(IndexKind::String, srcBegin, count, length()) ||
        !checkRange(IndexKind::Array, dstBegin, count, std::max(dst->length(), 0)))
        return;
    if (count > 0)
        std::memmove(dst->elements() + dstBegin, m_units + srcBegin, static_cast<std::size_t>(count) * 2);
}

ByteArray* String::getBytes() {
    ByteArray* bytes = newByteArray(length());
    for (std::int32_t i = 0; i < length(); ++i)
        bytes->elements()[i] = static_cast<std::int8_t>(m_units[i] & 0xFF);
    return bytes;
}

ByteArray* String::getBytes(String* charsetName) {
    if (!charsetName || charsetForName(charsetName->view()) != Charset::Utf8)
        return nullptr;
    auto size = modifiedUtf8Length(view());
    if (size > INT32_MAX) {
        reportRuntimeError("getBytes: text too long");
        return nullptr;
    }
    ByteArray* bytes = newByteArray(static_cast<std::int32_t>(size));
    encodeModifiedUtf8(view(), reinterpret_cast<std::uint8_t*>(bytes->elements()));
    return bytes;
}

String* String::valueOf(std::int32_t value) {
    return formatted("%d", value);
}

String* String::valueOf(std::int64_t value) {
    return formatted("%" PRId64, value);
}

String* String::valueOf(float value) {
    return formatted("%f", static_cast<double>(value));
}

String* String::valueOf(double value) {
    return formatted("%f", value);
}

String* String::valueOf(char16_t value) {
    return make<String>(&value, 1);
}

String* String::valueOf(bool value) {
    return newFromCString(value ? "true" : "false");
}

String* String::valueOf(CharArray* data, std::int32_t offset, std::int32_t count) {
    if (!data) {
        reportNullPointer();
        return make<String>();
    }
    if (!checkRange(IndexKind::Array, offset, count, std::max(data->length(), 0)))
        return make<String>();
    const char16_t* units = data->elements() + (count > 0 ? offset : 0);
    std::int32_t upToZero = static_cast<std::int32_t>(std::find(units, units + count, u'\0') - units);
    return make<String>(data, offset, upToZero);
}

String* String::valueOf(Object* object) {
    String* text = object ? object->toString() : nullptr;
    return text ? text : newFromCString("null");
}

} // namespace rt
