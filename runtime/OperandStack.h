#pragma once

// `OperandStack`: the evaluation stack of one method activation of code in the
// translated style, kept in the method's native frame. Values sit in 8-byte
// slots (a reference never splits), each with a tag byte at the same depth:
//
//   0  a primitive value or a null reference
//   1  a non-null reference
//   2  one half of a 64-bit value (long or double): the low word in the lower
//      slot, the high word in the upper one, each zero-extended
//
// An int or a float takes one slot (ints sign-extended, floats as their bits);
// a long or a double takes two, so the rearrangements keep their usual orders.
// The collector does not read the tags: it finds references in frames by its
// conservative scan of thread stacks.
//
// A method declares an `OperandFrame<Depth>` sized for its deepest stack. A
// push beyond that depth or a pop from an empty stack is a fault of the
// method itself and stops the process. Array, field and cast operations
// report bad data through the runtime checks and go on.

#include "runtime/Forward.h"

#include <bit>
#include <cstdint>
#include <string_view>

namespace rt {

class OperandStack {
public:
    using Slot = std::uint64_t;
    static constexpr std::uint8_t kTagValue = 0;
    static constexpr std::uint8_t kTagReference = 1;
    static constexpr std::uint8_t kTagWide = 2;

    OperandStack(const OperandStack&) = delete;
    OperandStack& operator=(const OperandStack&) = delete;

    // Empties the stack over `capacity` value slots and as many tag bytes.
    void init(Slot* valueStorage, std::uint8_t* tagStorage, std::int32_t capacity);

    std::int32_t depth() const { return static_cast<std::int32_t>(m_top - m_base); }
    // The tag `depth` slots below the top (0: the top).
    std::uint8_t tagAt(std::int32_t depth) const;
    // The raw slot `depth` slots below the top.
    Slot slotAt(std::int32_t depth) const;

    // Pushes and pops.
    void pushInt(std::int32_t value) { push(static_cast<Slot>(static_cast<std::int64_t>(value)), kTagValue); }
    void pushFloat(float value) { push(std::bit_cast<std::uint32_t>(value), kTagValue); }
    void pushLong(std::int64_t value);
    void pushDouble(double value) { pushLong(std::bit_cast<std::int64_t>(value)); }
    // Tag 1 when not null, else 0.
    void pushRef(Object* ref);
    std::int32_t popInt() { return static_cast<std::int32_t>(pop()); }
    float popFloat() { return std::bit_cast<float>(static_cast<std::uint32_t>(pop())); }
    std::int64_t popLong();
    double popDouble() { return std::bit_cast<double>(popLong()); }
    Object* popRef() { return reinterpret_cast<Object*>(pop()); }

    // `java_lang_Class::newInstanceById(classId)`, tagged as `pushRef`.
    void pushNewInstance(std::int32_t classId);
    // Pushes the value twice.
    void pushRefDup(Object* ref);
    void pushIntDup(std::int32_t value);

    // ... y, x, b -> ... b, y, x, b
    void dupX2();
    // ... x, a, b -> ... a, b, x, a, b
    void dup2X1();

    // The value `depth` slots below the top: with tag 2 there, the 64-bit
    // value of that slot (high word) and the one below it (low word);
    // otherwise the slot's 32-bit value sign-extended.
    std::int64_t peek(std::int32_t depth) const;

    // Pop b, then a; 1 when the comparison holds, else 0. Signed; references
    // compare by address.
    std::int32_t cmpLe();
    std::int32_t cmpLt();
    std::int32_t cmpEq();
    std::int32_t cmpNe();
    // Pops floats b and a and pushes 0 when a - b is 0, 1 when it is above 0,
    // else -1 (so an unordered pair gives -1).
    void fcmp();

    // Pop (value,) index, array. Null arrays and bad indexes are reported; a
    // bad store is dropped and a bad load pushes 0 (null).
    void arrayStore32();
    void arrayStore16();
    void arrayStore8();
    void arrayStoreRef();
    void arrayLoadRef();
    void arrayLoad32();
    void arrayLoad16();
    void arrayLoad8();
    void arrayLoadChar();

    // Pop the value into `field` of the object below it, then pop the object;
    // a null object is reported and nothing is stored.
    void putField32(std::int32_t* field);
    void putFieldRef(Object** field);
    // Stores 1 or 0 (the value is not 0).
    void putFieldBoolean(std::uint8_t* field);
    // Pops into `dest` as 1 or 0, with no check.
    void popBoolean(std::uint8_t* dest);

    // Pops an array and pushes its length (0 for null, reported).
    void arrayLength();
    // Pops an object and pushes `instanceOf(object, classId)` (0 for null).
    void instanceOf(std::int32_t classId);
    // Reports "check cast" when the top is neither null nor of class
    // `classId`; the top stays.
    void checkCast(std::int32_t classId);
    // Pops the exception and makes it pending.
    void athrow();
    // Pops `dims` lengths (the last dimension first) and pushes a new array of
    // those dimensions (see `newMultiArray`).
    void multiANewArray(std::string_view typeString, std::int32_t dims);

    // Logs "OperandStack dump:" and a line per slot from the top down.
    void dump() const;

protected:
    OperandStack() = default;

private:
    void push(Slot value, std::uint8_t tag);
    Slot pop();

    Slot* m_base = nullptr;
    Slot* m_top = nullptr;
    std::uint8_t* m_tagBase = nullptr;
    std::int32_t m_capacity = 0;
};

// An operand stack with its storage, for a method whose deepest stack is `Depth`.
template <int Depth>
class OperandFrame final : public OperandStack {
public:
    static_assert(Depth > 0);
    OperandFrame() { init(m_values, m_tags, Depth); }

private:
    Slot m_values[Depth];
    std::uint8_t m_tags[Depth];
};

} // namespace rt
