#pragma once

// `Object`: the root of every class of the system.
//
// Header, in every object:
//   word 0   the table of virtual operations (the C++ vtable pointer)
//   word 1   16-bit class id | 8-bit collectable flag | 8-bit mark byte | 32 bits for the runtime
//
// The class id is the object's class in the class table, 0xFEEE once the
// collector has freed it. Collectable 0 means an ordinary collection never
// frees the object (threads while they run, constant strings). The collector
// uses the low four bits of the mark byte; every constructor leaves it marked,
// so an object built during a collection survives that collection's sweep.
//
// Objects live in the object heap. They are made with `rt::make<T>(...)`,
// which takes zeroed memory from the heap, constructs the object in place and
// makes sure the class table knows the class's reference fields. Interfaces
// (`java_lang_Runnable` and the others) are C++ bases after `Object`, reached
// through `getInterface` with the interface's class id; `Object` stays the
// first base, so an object's address is its `Object*`.

#include "runtime/ClassId.h"
#include "runtime/Forward.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace rt {

class Object {
public:
    static constexpr ClassId kClassId = ClassId::Object;

    // The mark byte's bits the collector uses, and the value of a marked object.
    static constexpr std::uint8_t kMarkMask = 0x0F;
    static constexpr std::uint8_t kMarked = 0x01;

    // The header initialiser: class id, collectable (0 for `java_lang_Thread`), marked.
    explicit Object(ClassId classId = ClassId::Object);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Virtual operations every class has, in this order.
    virtual ~Object();
    virtual bool equals(Object* other);
    // Objects cannot be cloned: logs "clone" and answers null.
    virtual Object* clone();
    // A new `String` "Object_id=<class id> @0x<address in hex>".
    virtual String* toString();
    virtual std::int32_t hashCode();
    // The object's view for the interface with class id `interfaceId`, or null
    // when the class does not implement it. Use `rt::interfaceOf<I>(obj)`.
    virtual void* getInterface(ClassId interfaceId);

    ClassId classId() const { return static_cast<ClassId>(m_classId); }
    std::uint16_t rawClassId() const { return m_classId; }
    bool isFreed() const { return m_classId == kFreedClassId; }
    bool isCollectable() const { return m_collectable != 0; }
    void setCollectable(bool collectable) { m_collectable = collectable ? 1 : 0; }
    bool isMarked() const { return (m_mark & kMarkMask) != 0; }
    void setMarked() { m_mark = static_cast<std::uint8_t>((m_mark & ~kMarkMask) | kMarked); }
    void clearMark() { m_mark = static_cast<std::uint8_t>(m_mark & ~kMarkMask); }
    // The collector's last word on a freed object.
    void markFreed() { m_classId = kFreedClassId; }

    // Monitors (runtime/Monitor.h). The caller of `wait` and `notify` holds the
    // object's monitor. `wait` with 0 milliseconds waits until notified;
    // `notify` wakes `count` waiters, -1 for all.
    static void wait(Object* object, std::int64_t milliseconds);
    static void notify(Object* object, std::int32_t count = 1);
    static void notifyAll(Object* object);

    // The class id in the header at `memory`, read as bytes: safe on the
    // memory of an object that the collector has freed (it reads 0xFEEE),
    // where calling a member function is not.
    static std::uint16_t classIdAt(const void* memory);

    // The class entry of the object's class id in the running runtime's table.
    static const Class* getClass(const Object* object);

    // The root of every reference list (runtime/ReferenceFields.h).
    static constexpr Object* referenceListOwner() { return nullptr; }
    static constexpr auto referenceFields() { return std::array<std::uint32_t, 0>{}; }
    static constexpr auto referenceListTypes() { return ReferenceListTypes<void>{}; }

private:
    friend class MonitorPool;

    std::uint16_t m_classId;
    std::uint8_t m_collectable;
    std::uint8_t m_mark;
    // The rest of the second header word: the number of the object's monitor, 0 for none.
    std::uint32_t m_monitor = 0;
};

// The typed form of `getInterface`: `I` is an interface class with a `kInterfaceId`.
template <class I>
I* interfaceOf(Object* object) {
    return object ? static_cast<I*>(object->getInterface(I::kInterfaceId)) : nullptr;
}

// `java_lang_Runnable`: the view of an object that can be run on a thread.
class java_lang_Runnable {
public:
    static constexpr ClassId kInterfaceId = ClassId::java_lang_Runnable;
    virtual void run() = 0;

protected:
    ~java_lang_Runnable() = default;
};

// 1 when `object` is an instance of class `classId`: through an interface the
// object answers first, then through its super-class chain. 0 for null.
bool instanceOf(const Object* object, ClassId classId);
bool instanceOf(const Object* object, std::int32_t classId);

} // namespace rt
