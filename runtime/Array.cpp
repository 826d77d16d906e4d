#include "runtime/Array.h"

#include <cstring>

#include "runtime/String.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include <algorithm>

namespace rt {

std::span<Object* const> Array::objectElementsAt(const Object* object) {
    std::int32_t length;
    void* data;
    auto* bytes = reinterpret_cast<const std::byte*>(object);
    std::memcpy(&length, bytes + offsetof(Array, m_length), sizeof length);
    std::memcpy(&data, bytes + offsetof(Array, m_data), sizeof data);
    if (!data || length <= 0)
        return {};
    return {static_cast<Object* const*>(data), static_cast<std::size_t>(length)};
}

Array::Array(ClassId id, std::int32_t length)
    : Object(id)
    , m_length(length) {
    if (length < 0) {
        reportNegativeArrayLength();
        return;
    }
    if (length == 0)
        return;
    auto bytes = static_cast<std::size_t>(length) * static_cast<std::size_t>(elementSizeOf(id));
    allocBuffer(bytes, &m_data);
}

Array::Array(ClassId id, std::int32_t length, void* foreignData)
    : Object(id)
    , m_length(length)
    , m_data(foreignData) {
    RT_VERIFY_MSG(length >= 0 && (foreignData || length == 0), "foreign array memory is missing");
    RT_VERIFY_MSG(!Runtime::current().bufferHeap().contains(foreignData),
                  "an array cannot be laid over a movable block");
}

Array::~Array() {
    if (m_data)
        freeBuffer(m_data);
    m_data = nullptr;
}

bool Array::checkSpan(const Array* array, std::int32_t offset, std::int32_t count, std::size_t width) {
    if (!array || array->isFreed() || !isArrayClass(array->rawClassId())) {
        reportNullPointer();
        return false;
    }
    if (static_cast<std::size_t>(array->elementSize()) != width) {
        reportCheckCast();
        return false;
    }
    // A negative length has no elements: every range but the empty one at 0 is outside.
    std::int64_t length = array->m_length > 0 ? array->m_length : 0;
    return checkRange(IndexKind::Array, offset, count, length);
}

void* Array::elementAddress(const Array* array, std::int32_t index, std::size_t width) {
    if (!array || array->isFreed() || !isArrayClass(array->rawClassId())) {
        reportNullPointer();
        return nullptr;
    }
    std::int64_t length = array->m_length;
    auto bytes = length * array->elementSize();
    auto end = (static_cast<std::int64_t>(index) + 1) * static_cast<std::int64_t>(width);
    if (index < 0 || index >= length || end > bytes || !array->m_data) {
        reportIndexOutOfBounds(IndexKind::Array, index, length);
        return nullptr;
    }
    return static_cast<std::byte*>(array->m_data) + static_cast<std::size_t>(index) * width;
}

namespace {

template <class T>
T load(const Array* array, std::int32_t index) {
    T value{};
    if (void* at = Array::elementAddress(array, index, sizeof(T)))
        std::memcpy(&value, at, sizeof(T));
    return value;
}

template <class T>
void store(Array* array, std::int32_t index, T value) {
    if (void* at = Array::elementAddress(array, index, sizeof(T)))
        std::memcpy(at, &value, sizeof(T));
}

} // namespace

std::int32_t Array::get8(const Array* array, std::int32_t index) {
    return load<std::int8_t>(array, index);
}

std::int32_t Array::get16(const Array* array, std::int32_t index) {
    return load<std::int16_t>(array, index);
}

std::int32_t Array::getChar(const Array* array, std::int32_t index) {
    return load<std::uint16_t>(array, index);
}

std::int32_t Array::get32(const Array* array, std::int32_t index) {
    return load<std::int32_t>(array, index);
}

std::int64_t Array::get64(const Array* array, std::int32_t index) {
    return load<std::int64_t>(array, index);
}

Object* Array::getRef(const Array* array, std::int32_t index) {
    return load<Object*>(array, index);
}

void Array::set8(Array* array, std::int32_t index, std::int32_t value) {
    store(array, index, static_cast<std::int8_t>(value));
}

void Array::set16(Array* array, std::int32_t index, std::int32_t value) {
    store(array, index, static_cast<std::int16_t>(value));
}

void Array::set32(Array* array, std::int32_t index, std::int32_t value) {
    store(array, index, value);
}

void Array::set64(Array* array, std::int32_t index, std::int64_t value) {
    store(array, index, value);
}

void Array::setRef(Array* array, std::int32_t index, Object* value) {
    store(array, index, value);
}

void Array::fill8(Array* array, std::initializer_list<std::int32_t> values) {
    std::int32_t index = 0;
    for (std::int32_t value : values)
        set8(array, index++, value);
}

void Array::fill16(Array* array, std::initializer_list<std::int32_t> values) {
    std::int32_t index = 0;
    for (std::int32_t value : values)
        set16(array, index++, value);
}

void Array::fill32(Array* array, std::initializer_list<std::int32_t> values) {
    std::int32_t index = 0;
    for (std::int32_t value : values)
        set32(array, index++, value);
}

void Array::copy(Array* src, std::int32_t srcPos, Array* dst, std::int32_t dstPos, std::int32_t length) {
    auto usable = [](const Array* array) {
        return array && !array->isFreed() && isArrayClass(array->rawClassId());
    };
    if (!usable(src) || !usable(dst)) {
        reportNullPointer();
        return;
    }
    if (src->rawClassId() != dst->rawClassId()) {
        reportRuntimeError("ArrayStore %s to %s", Object::getClass(src)->name(),
                           Object::getClass(dst)->name());
        return;
    }
    if (!checkRange(IndexKind::Array, srcPos, length, std::max(src->m_length, 0)) ||
        !checkRange(IndexKind::Array, dstPos, length, std::max(dst->m_length, 0)))
        return;
    if (length == 0)
        return;
    auto width = static_cast<std::size_t>(src->elementSize());
    std::memmove(static_cast<std::byte*>(dst->m_data) + static_cast<std::size_t>(dstPos) * width,
                 static_cast<std::byte*>(src->m_data) + static_cast<std::size_t>(srcPos) * width,
                 static_cast<std::size_t>(length) * width);
}

String* CharArray::toString() {
    std::int32_t count = 0;
    if (const char16_t* units = elements())
        count = static_cast<std::int32_t>(std::find(units, units + m_length, u'\0') - units);
    return make<String>(count, [this] { return elements(); });
}

ForeignShortArray::ForeignShortArray(std::int16_t* memory, std::int32_t length)
    : ShortArray(length, memory) {
}

ForeignShortArray::~ForeignShortArray() {
    // The memory is its owner's: the array only forgets it.
    m_data = nullptr;
}

ObjectArray* newObjectArray(std::int32_t length) {
    return make<ObjectArray>(length);
}
BoolArray* newBoolArray(std::int32_t length) {
    return make<BoolArray>(length);
}
ByteArray* newByteArray(std::int32_t length) {
    return make<ByteArray>(length);
}
CharArray* newCharArray(std::int32_t length) {
    return make<CharArray>(length);
}
ShortArray* newShortArray(std::int32_t length) {
    return make<ShortArray>(length);
}
IntArray* newIntArray(std::int32_t length) {
    return make<IntArray>(length);
}
Long64Array* newLong64Array(std::int32_t length) {
    return make<Long64Array>(length);
}
FloatArray* newFloatArray(std::int32_t length) {
    return make<FloatArray>(length);
}
DoubleArray* newDoubleArray(std::int32_t length) {
    return make<DoubleArray>(length);
}

namespace {

// The array one descriptor position stands for: `element` is the character
// after the position's '[' (0 past the end of the descriptor).
Array* newArrayOfElement(char element, std::int32_t length) {
    switch (element) {
    case 'B':
        return newByteArray(length);
    case 'C':
        return newCharArray(length);
    case 'D':
        return newDoubleArray(length);
    case 'F':
        return newFloatArray(length);
    case 'I':
        return newIntArray(length);
    case 'J':
        return newLong64Array(length);
    case 'S':
        return newShortArray(length);
    case 'Z':
        return newBoolArray(length);
    default:
        return newObjectArray(length);
    }
}

} // namespace

Array* newMultiArray(std::string_view type, std::span<const std::int32_t> lengths) {
    if (lengths.empty())
        return nullptr;
    char element = type.size() > 1 ? type[1] : '\0';
    Array* array = newArrayOfElement(element, lengths[0]);
    if (lengths.size() == 1 || array->classId() != ClassId::ObjectArray)
        return array;
    auto* outer = static_cast<ObjectArray*>(array);
    std::string_view innerType = type.empty() ? type : type.substr(1);
    for (std::int32_t i = 0; i < outer->length(); ++i) {
        // The inner array is made before the element slot is read: making it
        // may move the outer array's elements.
        Array* inner = newMultiArray(innerType, lengths.subspan(1));
        outer->elements()[i] = inner;
    }
    return outer;
}

} // namespace rt
