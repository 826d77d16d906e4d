#include "runtime/Object.h"

#include "runtime/Class.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/checks.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace rt {

Object::Object(ClassId classId)
    : m_classId(static_cast<std::uint16_t>(classId))
    , m_collectable(classId == ClassId::java_lang_Thread ? 0 : 1)
    , m_mark(kMarked) {
}

Object::~Object() {
    if (m_monitor)
        releaseMonitor(this);
}

bool Object::equals(Object* other) {
    return other == this;
}

Object* Object::clone() {
    reportRuntimeError("clone");
    return nullptr;
}

String* Object::toString() {
    char text[64];
    std::snprintf(text, sizeof text, "Object_id=%d @0x%llx", static_cast<int>(m_classId),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(this)));
    return String::newFromCString(text);
}

std::int32_t Object::hashCode() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this)));
}

void* Object::getInterface(ClassId) {
    return nullptr;
}

std::uint16_t Object::classIdAt(const void* memory) {
    std::uint16_t id;
    std::memcpy(&id, static_cast<const std::byte*>(memory) + offsetof(Object, m_classId), sizeof id);
    return id;
}

const Class* Object::getClass(const Object* object) {
    if (!object)
        return nullptr;
    return Runtime::current().classTable().getClassById(object->rawClassId());
}

bool instanceOf(const Object* object, ClassId classId) {
    if (!object)
        return false;
    // `getInterface` is not const in the classes' own code; asking it changes nothing.
    if (const_cast<Object*>(object)->getInterface(classId))
        return true;
    return isSubclassOf(object->rawClassId(), static_cast<std::uint32_t>(classId));
}

bool instanceOf(const Object* object, std::int32_t classId) {
    if (!object || !isValidClassId(classId))
        return false;
    return instanceOf(object, static_cast<ClassId>(classId));
}

} // namespace rt
