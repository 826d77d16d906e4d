#pragma once

// `java_util_Vector`: a growable array of references.
//
// `m_elementData` is the storage (its length is the capacity); slots at and
// above `m_elementCount` hold null. Growth, when a needed capacity exceeds the
// current one: the old capacity plus the increment when the increment is
// positive, else twice the old capacity; at least what is needed. The element
// array is replaced, never shared. Only a Vector made with a negative capacity
// has no element array; it reads as a Vector of capacity 0.
//
// Failures set the exception pending and answer a neutral value, changing
// nothing: a bad index an `ArrayIndexOutOfBoundsException` (message constant
// string 229 and the index), `lastIndexOf` past the end an
// `IndexOutOfBoundsException` (the index as text), a negative capacity an
// `IllegalArgumentException` (constant string 182). Methods marked
// synchronized hold the Vector's monitor for their whole run; `size`,
// `isEmpty` and `capacity` read without it.
//
// Searches call `equals` of the argument with each stored element, so a
// String argument compares by contents. The elements may move with the
// buffer heap: nothing here keeps a pointer to them across a call that can
// allocate or run guest code.

#include "classlib/ClassLibrary.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_util_Vector : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Vector;
    static constexpr std::int32_t kNegativeCapacityText = rt::constants::kNegativeCapacity;

    // Capacity 10, doubling.
    java_util_Vector();
    // What `newInstanceById` makes: no element array (capacity 0), doubling.
    explicit java_util_Vector(NewInstance)
        : Object(kClassId) {}
    explicit java_util_Vector(std::int32_t initialCapacity);
    java_util_Vector(std::int32_t initialCapacity, std::int32_t capacityIncrement);
    // Capacity `other.size()`, doubling, holding `other`'s elements in order.
    // A null `other` is reported and gives an empty Vector of capacity 0.
    explicit java_util_Vector(java_util_Vector* other);

    // Unsynchronized.
    virtual std::int32_t size() { return m_elementCount; }
    virtual bool isEmpty() { return m_elementCount == 0; }
    std::int32_t capacity() const { return m_elementData ? m_elementData->length() : 0; }
    virtual bool contains(rt::Object* element);
    std::int32_t indexOf(rt::Object* element);
    std::int32_t lastIndexOf(rt::Object* element);

    // Synchronized.
    void ensureCapacity(std::int32_t minimum);
    void trimToSize();
    // Grows to `newSize` or nulls the slots from `newSize` up; a negative size
    // is an `ArrayIndexOutOfBoundsException`.
    void setSize(std::int32_t newSize);
    // From `index` up; -1 when absent or `index` >= size. A negative index is
    // an `ArrayIndexOutOfBoundsException`.
    [[nodiscard]] std::int32_t indexOf(rt::Object* element, std::int32_t index);
    // From `index` down; -1 when absent or `index` < 0.
    [[nodiscard]] std::int32_t lastIndexOf(rt::Object* element, std::int32_t index);
    [[nodiscard]] rt::Object* elementAt(std::int32_t index);
    // Null (nothing pending) when empty.
    rt::Object* firstElement();
    rt::Object* lastElement();
    void setElementAt(rt::Object* element, std::int32_t index);
    void removeElementAt(std::int32_t index);
    // 0 <= index <= size.
    void insertElementAt(rt::Object* element, std::int32_t index);
    void addElement(rt::Object* element);
    bool removeElement(rt::Object* element);
    virtual void removeAllElements();
    // Copies the elements to the same indexes of `target`, from the last
    // down. A null target is reported; one shorter than the Vector is an
    // `ArrayIndexOutOfBoundsException` and receives nothing.
    void copyInto(rt::ObjectArray* target);

    RT_REFERENCE_FIELDS(java_util_Vector, Object, m_elementData)

protected:
    // For `java_util_Stack`.
    java_util_Vector(rt::ClassId id, std::int32_t initialCapacity, std::int32_t capacityIncrement);

    // Grows the storage to at least `minimum` when it is smaller. Monitor held.
    void growTo(std::int32_t minimum);
    // The element at `index`, which the caller has checked.
    rt::Object* slot(std::int32_t index) const { return m_elementData->elements()[index]; }

    rt::ObjectArray* m_elementData = nullptr;
    std::int32_t m_elementCount = 0;
    std::int32_t m_capacityIncrement = 0;
};

} // namespace lib
