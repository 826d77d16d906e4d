#include "runtime/Class.h"

#include "runtime/ClassTable.h"
#include "runtime/Object.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include "host/Log.h"

#include <algorithm>

namespace rt {

bool isSubclassOf(std::uint32_t id, std::uint32_t ancestorId) {
    // Each step moves to a super-class; the chain ends at `Object`, whose super
    // id is kNoSuperClass. The bound only guards against a broken table.
    for (int steps = 0; steps <= kClassCount; ++steps) {
        if (id == ancestorId)
            return true;
        if (!isValidClassId(id))
            return false;
        id = kSuperClassIds[id];
    }
    RT_VERIFY_NOT_REACHED();
}

bool Class::isSubclassOf(const Class* entry, const Class* other) {
    RT_VERIFY(entry && other);
    return rt::isSubclassOf(entry->m_id, other->m_id);
}

bool Class::isInstance(const Class* entry, const Object* object) {
    RT_VERIFY(entry);
    return instanceOf(object, static_cast<std::int32_t>(entry->m_id));
}

const Class* Class::forName(std::string_view name) {
    return Runtime::current().classTable().forName(name);
}

const Class* Class::forName(String* name) {
    if (!name) {
        reportNullPointer();
        return nullptr;
    }
    // Class names are ASCII: a text with any other unit names no class.
    std::string narrow;
    for (char16_t unit : name->view()) {
        if (unit == 0 || unit > 0x7F)
            return nullptr;
        narrow.push_back(static_cast<char>(unit));
    }
    return forName(narrow);
}

String* Class::getName(const Class* entry) {
    RT_VERIFY(entry);
    return String::newFromCString(entry->m_name);
}

bool isInstantiableClassId(std::int64_t classId) {
    return std::find(kInstantiableClassIds.begin(), kInstantiableClassIds.end(), classId) !=
           kInstantiableClassIds.end();
}

ClassTable::ClassTable() {
    for (int id = 0; id < kClassCount; ++id) {
        Class& entry = m_entries[id];
        entry.m_name = kClassNames[id];
        entry.m_id = static_cast<std::uint32_t>(id);
        entry.m_superId = kSuperClassIds[id];
    }
}

const Class* ClassTable::getClassById(std::int64_t id) const {
    return isValidClassId(id) ? &m_entries[static_cast<std::size_t>(id)] : nullptr;
}

const Class* ClassTable::forName(std::string_view name) const {
    for (const Class& entry : m_entries) {
        std::string_view candidate(entry.m_name);
        if (candidate.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = candidate[i] == (name[i] == '.' ? '_' : name[i]);
        if (same)
            return &entry;
    }
    return nullptr;
}

static bool sameReferenceFields(const ReferenceFieldTable& a, const ReferenceFieldTable& b) {
    // Compared by hand: an empty list may have no array at all.
    if (a.count != b.count)
        return false;
    for (std::uint32_t i = 0; i < a.count; ++i) {
        if (a.offsets[i] != b.offsets[i])
            return false;
    }
    return true;
}

bool ClassTable::registerReferenceFields(ClassId id, const ReferenceFieldTable& table) {
    Class& entry = m_entries[toInt(id)];
    const ReferenceFieldTable* expected = nullptr;
    if (entry.m_referenceFields.compare_exchange_strong(expected, &table, std::memory_order_acq_rel))
        return true;
    // Each C++ type has its own table: another one means that two types were
    // made under one class id, and the collector would trace one of them with
    // the other's list. Types with the same list (`ForeignShortArray` under
    // `ShortArray`, the media players under `Player`) are traced alike and may share.
    if (!sameReferenceFields(*expected, table)) {
        host::logf(host::LogCategory::Runtime,
                   "class %s (id %u) already has the reference list of another C++ type", entry.m_name,
                   entry.m_id);
        RT_VERIFY_MSG(false, "two C++ types were made under one class id");
    }
    return false;
}

void ClassTable::freeReferenceFields() {
    for (Class& entry : m_entries)
        entry.m_referenceFields.store(nullptr, std::memory_order_release);
}

void ClassTable::setFactory(ClassId id, Class::Factory factory) {
    RT_VERIFY_MSG(isInstantiableClassId(toInt(id)), "this class cannot be made by newInstanceById");
    m_entries[toInt(id)].m_factory.store(factory, std::memory_order_release);
}

Class::Factory ClassTable::factory(std::int64_t id) const {
    return isValidClassId(id)
               ? m_entries[static_cast<std::size_t>(id)].m_factory.load(std::memory_order_acquire)
               : nullptr;
}

Object* java_lang_Class::newInstanceById(std::int32_t classId) {
    Class::Factory factory = Runtime::current().classTable().factory(classId);
    return factory ? factory() : nullptr;
}

} // namespace rt
