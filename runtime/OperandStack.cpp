#include "runtime/OperandStack.h"

#include "runtime/Array.h"
#include "runtime/Class.h"
#include "runtime/Exceptions.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include <cstdint>
#include <vector>

namespace rt {

void OperandStack::init(Slot* valueStorage, std::uint8_t* tagStorage, std::int32_t capacity) {
    RT_VERIFY(valueStorage && tagStorage && capacity > 0);
    m_base = valueStorage;
    m_top = valueStorage;
    m_tagBase = tagStorage;
    m_capacity = capacity;
}

void OperandStack::push(Slot value, std::uint8_t tag) {
    RT_VERIFY_MSG(depth() < m_capacity, "operand stack overflow");
    m_tagBase[depth()] = tag;
    *m_top++ = value;
}

OperandStack::Slot OperandStack::pop() {
    RT_VERIFY_MSG(depth() > 0, "operand stack underflow");
    return *--m_top;
}

std::uint8_t OperandStack::tagAt(std::int32_t below) const {
    RT_VERIFY_MSG(below >= 0 && below < depth(), "operand stack depth out of range");
    return m_tagBase[depth() - 1 - below];
}

OperandStack::Slot OperandStack::slotAt(std::int32_t below) const {
    RT_VERIFY_MSG(below >= 0 && below < depth(), "operand stack depth out of range");
    return m_top[-1 - below];
}

void OperandStack::pushLong(std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    push(bits & 0xFFFFFFFFu, kTagWide);
    push(bits >> 32, kTagWide);
}

std::int64_t OperandStack::popLong() {
    std::uint64_t high = pop() & 0xFFFFFFFFu;
    std::uint64_t low = pop() & 0xFFFFFFFFu;
    return static_cast<std::int64_t>(high << 32 | low);
}

void OperandStack::pushRef(Object* ref) {
    push(reinterpret_cast<Slot>(ref), ref ? kTagReference : kTagValue);
}

void OperandStack::pushNewInstance(std::int32_t classId) {
    pushRef(java_lang_Class::newInstanceById(classId));
}

void OperandStack::pushRefDup(Object* ref) {
    pushRef(ref);
    pushRef(ref);
}

void OperandStack::pushIntDup(std::int32_t value) {
    pushInt(value);
    pushInt(value);
}

void OperandStack::dupX2() {
    RT_VERIFY_MSG(depth() >= 3, "operand stack underflow");
    std::uint8_t tb = tagAt(0), tx = tagAt(1), ty = tagAt(2);
    Slot b = pop(), x = pop(), y = pop();
    push(b, tb);
    push(y, ty);
    push(x, tx);
    push(b, tb);
}

void OperandStack::dup2X1() {
    RT_VERIFY_MSG(depth() >= 3, "operand stack underflow");
    std::uint8_t tb = tagAt(0), ta = tagAt(1), tx = tagAt(2);
    Slot b = pop(), a = pop(), x = pop();
    push(a, ta);
    push(b, tb);
    push(x, tx);
    push(a, ta);
    push(b, tb);
}

std::int64_t OperandStack::peek(std::int32_t below) const {
    if (tagAt(below) == kTagWide && below + 1 < depth()) {
        std::uint64_t high = slotAt(below) & 0xFFFFFFFFu;
        std::uint64_t low = slotAt(below + 1) & 0xFFFFFFFFu;
        return static_cast<std::int64_t>(high << 32 | low);
    }
    return static_cast<std::int32_t>(slotAt(below));
}

std::int32_t OperandStack::cmpLe() {
    auto b = static_cast<std::int64_t>(pop());
    auto a = static_cast<std::int64_t>(pop());
    return a <= b;
}

std::int32_t OperandStack::cmpLt() {
    auto b = static_cast<std::int64_t>(pop());
    auto a = static_cast<std::int64_t>(pop());
    return a < b;
}

std::int32_t OperandStack::cmpEq() {
    Slot b = pop();
    Slot a = pop();
    return a == b;
}

std::int32_t OperandStack::cmpNe() {
    Slot b = pop();
    Slot a = pop();
    return a != b;
}

void OperandStack::fcmp() {
    float b = popFloat();
    float a = popFloat();
    float difference = a - b;
    pushInt(difference == 0.0f ? 0 : difference > 0.0f ? 1 : -1);
}

void OperandStack::arrayStore32() {
    std::int32_t value = popInt();
    std::int32_t index = popInt();
    Array::set32(static_cast<Array*>(popRef()), index, value);
}

void OperandStack::arrayStore16() {
    std::int32_t value = popInt();
    std::int32_t index = popInt();
    Array::set16(static_cast<Array*>(popRef()), index, value);
}

void OperandStack::arrayStore8() {
    std::int32_t value = popInt();
    std::int32_t index = popInt();
    Array::set8(static_cast<Array*>(popRef()), index, value);
}

void OperandStack::arrayStoreRef() {
    Object* value = popRef();
    std::int32_t index = popInt();
    Array::setRef(static_cast<Array*>(popRef()), index, value);
}

void OperandStack::arrayLoadRef() {
    std::int32_t index = popInt();
    pushRef(Array::getRef(static_cast<Array*>(popRef()), index));
}

void OperandStack::arrayLoad32() {
    std::int32_t index = popInt();
    pushInt(Array::get32(static_cast<Array*>(popRef()), index));
}

void OperandStack::arrayLoad16() {
    std::int32_t index = popInt();
    pushInt(Array::get16(static_cast<Array*>(popRef()), index));
}

void OperandStack::arrayLoad8() {
    std::int32_t index = popInt();
    pushInt(Array::get8(static_cast<Array*>(popRef()), index));
}

void OperandStack::arrayLoadChar() {
    std::int32_t index = popInt();
    pushInt(Array::getChar(static_cast<Array*>(popRef()), index));
}

void OperandStack::putField32(std::int32_t* field) {
    std::int32_t value = popInt();
    if (!popRef()) {
        reportNullPointer();
        return;
    }
    *field = value;
}

void OperandStack::putFieldRef(Object** field) {
    Object* value = popRef();
    if (!popRef()) {
        reportNullPointer();
        return;
    }
    *field = value;
}

void OperandStack::putFieldBoolean(std::uint8_t* field) {
    std::int32_t value = popInt();
    if (!popRef()) {
        reportNullPointer();
        return;
    }
    *field = value != 0 ? 1 : 0;
}

void OperandStack::popBoolean(std::uint8_t* dest) {
    *dest = popInt() != 0 ? 1 : 0;
}

void OperandStack::arrayLength() {
    auto* array = static_cast<Array*>(popRef());
    if (!array || array->isFreed()) {
        reportNullPointer();
        pushInt(0);
        return;
    }
    pushInt(array->length());
}

void OperandStack::instanceOf(std::int32_t classId) {
    pushInt(rt::instanceOf(popRef(), classId) ? 1 : 0);
}

void OperandStack::checkCast(std::int32_t classId) {
    Object* top = reinterpret_cast<Object*>(slotAt(0));
    if (top && !rt::instanceOf(top, classId))
        reportCheckCast();
}

void OperandStack::athrow() {
    setPendingException(popRef());
}

void OperandStack::multiANewArray(std::string_view typeString, std::int32_t dims) {
    if (dims < 1 || dims > depth()) {
        reportRuntimeError("multiANewArray dims=%d", dims);
        pushRef(nullptr);
        return;
    }
    std::vector<std::int32_t> lengths(static_cast<std::size_t>(dims));
    for (std::int32_t i = dims - 1; i >= 0; --i)
        lengths[static_cast<std::size_t>(i)] = popInt();
    pushRef(newMultiArray(typeString, lengths));
}

void OperandStack::dump() const {
    logPrintf("OperandStack dump:");
    for (std::int32_t below = 0; below < depth(); ++below) {
        Slot value = slotAt(below);
        const char* className = "?";
        if (value && tagAt(below) == kTagReference) {
            if (const Class* entry = Object::getClass(reinterpret_cast<Object*>(value)))
                className = entry->name();
        }
        logPrintf("\t%d value=0x%llx class=%s", -1 - below, static_cast<unsigned long long>(value),
                  className);
    }
}

} // namespace rt
