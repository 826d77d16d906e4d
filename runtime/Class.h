#pragma once

// `Class`: one entry of the class table, one per class id. Entries are not
// objects: they are never collected and have no virtual operations.
//
// Name and super-class id are fixed at build time. The reference-field table is
// set once, by the first object made of the class (`rt::make`), and read by the
// collector; the factory is set by the layer that defines the class, for the
// classes that `java_lang_Class::newInstanceById` can create.

#include "runtime/ClassId.h"
#include "runtime/Forward.h"
#include "runtime/ReferenceFields.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>

namespace rt {

class Class {
public:
    // Makes a zeroed, registered object of the class with its header set and
    // its fields at their defaults; no constructor of the profile runs.
    using Factory = Object* (*)();

    const char* name() const { return m_name; }
    std::uint32_t id() const { return m_id; }
    std::uint32_t superId() const { return m_superId; }

    // The offsets of every reference field of the class's objects; empty until registered.
    std::span<const std::uint32_t> referenceOffsets() const {
        const ReferenceFieldTable* table = m_referenceFields.load(std::memory_order_acquire);
        return table ? std::span<const std::uint32_t>(table->offsets, table->count)
                     : std::span<const std::uint32_t>();
    }
    // The size of the C++ type whose table was registered; 0 until then.
    std::uint32_t objectSize() const {
        const ReferenceFieldTable* table = m_referenceFields.load(std::memory_order_acquire);
        return table ? table->objectSize : 0;
    }
    bool hasReferenceFieldTable() const {
        return m_referenceFields.load(std::memory_order_acquire) != nullptr;
    }

    // 1 when `entry` is `other` or one of its super-classes is.
    static bool isSubclassOf(const Class* entry, const Class* other);
    // 1 when `object` is an instance of the entry's class (as `instanceOf`).
    static bool isInstance(const Class* entry, const Object* object);
    // The entry whose name equals `name` once every '.' is read as '_', or null.
    static const Class* forName(std::string_view name);
    static const Class* forName(String* name);
    // A new `String` of the entry's name.
    static String* getName(const Class* entry);

private:
    friend class ClassTable;

    const char* m_name = nullptr;
    std::uint32_t m_id = 0;
    std::uint32_t m_superId = kNoSuperClass;
    std::atomic<const ReferenceFieldTable*> m_referenceFields{nullptr};
    std::atomic<Factory> m_factory{nullptr};
};

// The super-class walk on bare ids: 1 when `id` is `ancestorId` or descends from it.
bool isSubclassOf(std::uint32_t id, std::uint32_t ancestorId);

class java_lang_Class {
public:
    // An object of class `classId` made by its registered factory; null for an
    // id outside 0..145 and for the classes that cannot be made this way.
    static Object* newInstanceById(std::int32_t classId);
};

} // namespace rt
