#pragma once

// Arrays: one layout for the nine array classes (class ids 4 to 12), which
// differ only in their element type.
//
//   header | length (signed 32-bit) | data (the elements, or null)
//
// The elements live in a block of the buffer heap owned by the `m_data` field
// (the process heap when the buffer heap is full); compaction may move the
// block and rewrite the field, so a pointer to the elements must be read again
// after any allocation. A length below 1 has no data. A negative length is
// reported when the array is made and kept: every index is outside such an
// array.
//
// The element size always comes from the class (`elementSize()`); references
// are full pointers, 8 bytes here. The collector follows the elements of an
// `ObjectArray` itself (`length()` and `elements()`); arrays have no reference
// fields of their own.
//
// Access from guest code goes through the checked accessors: a null or freed
// array reports "NullPointer", an index outside the array reports the index
// and the length (and an access wider than the elements counts as outside);
// a bad read answers 0 or null and a bad write is dropped. Nothing ever
// touches memory outside the array.

#include "runtime/Object.h"
#include "runtime/Runtime.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

namespace rt {

class Array : public Object {
public:
    ~Array() override;

    std::int32_t length() const { return m_length; }
    std::int32_t elementSize() const { return elementSizeOf(classId()); }
    // The elements; null when the length is below 1. Read again after any allocation.
    void* data() const { return m_data; }

    // For the collector: the elements of the object array at `object`, read
    // from its bytes, so that an array still under construction (its length
    // set, its elements perhaps not yet) can be traced. Empty without elements.
    static std::span<Object* const> objectElementsAt(const Object* object);

    // The bytes of one element of an array class; 0 for any other class.
    static constexpr std::int32_t elementSizeOf(ClassId id) {
        switch (id) {
        case ClassId::ObjectArray:
            return static_cast<std::int32_t>(sizeof(Object*));
        case ClassId::BoolArray:
        case ClassId::ByteArray:
            return 1;
        case ClassId::CharArray:
        case ClassId::ShortArray:
            return 2;
        case ClassId::IntArray:
        case ClassId::FloatArray:
            return 4;
        case ClassId::Long64Array:
        case ClassId::DoubleArray:
            return 8;
        default:
            return 0;
        }
    }
    static constexpr bool isArrayClass(std::uint16_t id) {
        return id >= toInt(ClassId::ObjectArray) && id <= toInt(ClassId::DoubleArray);
    }

    // 1 when `array` is a live array of `width`-byte elements and [offset,
    // offset + count) lies inside it; otherwise reports why (a null or freed
    // array, a wrong element size, the first index outside) and answers 0.
    static bool checkSpan(const Array* array, std::int32_t offset, std::int32_t count, std::size_t width);

    // The address of the `width`-byte element `index` (elements counted in
    // `width`-byte steps), or null after reporting why there is none.
    static void* elementAddress(const Array* array, std::int32_t index, std::size_t width);

    // Checked accessors for translated code, by element width. 8- and 16-bit
    // reads sign-extend, `getChar` zero-extends; 32-bit accesses carry ints
    // and float bits, 64-bit ones longs and double bits.
    static std::int32_t get8(const Array* array, std::int32_t index);
    static std::int32_t get16(const Array* array, std::int32_t index);
    static std::int32_t getChar(const Array* array, std::int32_t index);
    static std::int32_t get32(const Array* array, std::int32_t index);
    static std::int64_t get64(const Array* array, std::int32_t index);
    static Object* getRef(const Array* array, std::int32_t index);
    static void set8(Array* array, std::int32_t index, std::int32_t value);
    static void set16(Array* array, std::int32_t index, std::int32_t value);
    static void set32(Array* array, std::int32_t index, std::int32_t value);
    static void set64(Array* array, std::int32_t index, std::int64_t value);
    static void setRef(Array* array, std::int32_t index, Object* value);

    // Array initialisers: the values go to elements 0, 1, ... (each store checked).
    static void fill8(Array* array, std::initializer_list<std::int32_t> values);
    static void fill16(Array* array, std::initializer_list<std::int32_t> values);
    static void fill32(Array* array, std::initializer_list<std::int32_t> values);

    // Copies `length` elements from `src` at `srcPos` to `dst` at `dstPos`,
    // correctly for any overlap. Null arrays, arrays of different classes and
    // ranges outside either array are reported and copy nothing.
    static void copy(Array* src, std::int32_t srcPos, Array* dst, std::int32_t dstPos, std::int32_t length);

    RT_NO_REFERENCE_FIELDS(Array, Object)

protected:
    // Reports a negative length; allocates zeroed data for a positive one.
    Array(ClassId id, std::int32_t length);
    // An array over memory that another owner keeps: no data of its own.
    Array(ClassId id, std::int32_t length, void* foreignData);

    std::int32_t m_length = 0;
    void* m_data = nullptr;
};

// The array class of one element type.
template <class E, ClassId Id>
class TypedArray : public Array {
public:
    using Element = E;
    static constexpr ClassId kClassId = Id;
    static_assert(sizeof(E) == static_cast<std::size_t>(elementSizeOf(Id)));

    explicit TypedArray(std::int32_t length)
        : Array(Id, length) {}

    // The elements; null when the length is below 1. Read again after any allocation.
    E* elements() const { return static_cast<E*>(m_data); }

    // Checked element access on a possibly null array.
    static E get(const TypedArray* array, std::int32_t index) {
        E value{};
        if (void* at = elementAddress(array, index, sizeof(E)))
            std::memcpy(&value, at, sizeof(E));
        return value;
    }
    static void set(TypedArray* array, std::int32_t index, E value) {
        if (void* at = elementAddress(array, index, sizeof(E)))
            std::memcpy(at, &value, sizeof(E));
    }

    // Spans: the elements [offset, offset + count) for loops over many of them
    // (pixels), with one range check here and plain access after. A null array
    // or a range outside the array is reported as every checked access is, and
    // answers an empty span.
    //
    // When a span stays valid: the elements live in a movable buffer-heap
    // block, and a collection may move it. A span kept in a local variable is
    // safe, because the collector scans stacks and registers, and a word that
    // points into a block pins it and keeps its array alive. So keep spans on
    // the stack only, for the loop that needs them: never in an object, a
    // statics block, a C++ container or a lambda that outlives the call, where
    // the collector cannot see the pointer and the block may move under it.
    // An empty span pins nothing, and needs nothing pinned.
    static std::span<E> span(TypedArray* array, std::int32_t offset, std::int32_t count) {
        if (!checkSpan(array, offset, count, sizeof(E)) || count == 0)
            return {};
        return std::span<E>(array->elements() + offset, static_cast<std::size_t>(count));
    }
    // Every element.
    static std::span<E> span(TypedArray* array) {
        return span(array, 0, array && array->length() > 0 ? array->length() : 0);
    }

    RT_NO_REFERENCE_FIELDS(TypedArray, Array)

protected:
    TypedArray(std::int32_t length, void* foreignData)
        : Array(Id, length, foreignData) {}
};

using ObjectArray = TypedArray<Object*, ClassId::ObjectArray>;
using BoolArray = TypedArray<std::uint8_t, ClassId::BoolArray>;
using ByteArray = TypedArray<std::int8_t, ClassId::ByteArray>;
using ShortArray = TypedArray<std::int16_t, ClassId::ShortArray>;
using IntArray = TypedArray<std::int32_t, ClassId::IntArray>;
using Long64Array = TypedArray<std::int64_t, ClassId::Long64Array>;
using FloatArray = TypedArray<float, ClassId::FloatArray>;
using DoubleArray = TypedArray<double, ClassId::DoubleArray>;

class CharArray final : public TypedArray<char16_t, ClassId::CharArray> {
public:
    using TypedArray::TypedArray;
    // A new `String` of the units up to the first 0 unit (at most the length).
    String* toString() override;
    RT_NO_REFERENCE_FIELDS(CharArray, TypedArray)
};

// A `ShortArray` laid over memory that another owner keeps (the pixels of a
// display surface). It never frees that memory, which must not be a movable
// buffer-heap block: nothing would tell the array that it moved.
class ForeignShortArray final : public ShortArray {
public:
    ForeignShortArray(std::int16_t* memory, std::int32_t length);
    ~ForeignShortArray() override;
    RT_NO_REFERENCE_FIELDS(ForeignShortArray, ShortArray)
};

// What a translated `new T[length]` does.
ObjectArray* newObjectArray(std::int32_t length);
BoolArray* newBoolArray(std::int32_t length);
ByteArray* newByteArray(std::int32_t length);
CharArray* newCharArray(std::int32_t length);
ShortArray* newShortArray(std::int32_t length);
IntArray* newIntArray(std::int32_t length);
Long64Array* newLong64Array(std::int32_t length);
FloatArray* newFloatArray(std::int32_t length);
DoubleArray* newDoubleArray(std::int32_t length);

// A multi-dimensional array from its type descriptor ("[[I": one '[' per
// dimension, then the element letter) and the lengths of its outer
// `lengths.size()` dimensions, outermost first. An array whose descriptor
// continues with '[' or an object type is an `ObjectArray`; one with a
// primitive letter (B C D F I J S Z) is of that type. Inner dimensions not
// given stay null, as do the elements of an array whose length is below 1.
// Null when `lengths` is empty.
Array* newMultiArray(std::string_view type, std::span<const std::int32_t> lengths);

} // namespace rt
