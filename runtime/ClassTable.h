#pragma once

// The class table: an entry for each of the 146 class ids, entry i for id i.

#include "runtime/Class.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace rt {

// The class ids `java_lang_Class::newInstanceById` can create, once each
// class's layer has registered its factory.
inline constexpr std::array<std::uint16_t, 57> kInstantiableClassIds = {
    0,  2,  3,  15,  16,  17,  18,  19,  20,  24,  25,  27,  29,  35,  37,  38,  39,  40,  44,
    45, 47, 48, 51,  53,  55,  56,  59,  60,  61,  62,  63,  65,  68,  70,  71,  76,  80,  84,
    86, 88, 90, 104, 107, 110, 111, 112, 113, 115, 119, 121, 127, 130, 140, 141, 142, 144, 145,
};

bool isInstantiableClassId(std::int64_t classId);

class ClassTable {
public:
    // Fills every entry from the built-in names and super-class ids.
    ClassTable();
    ClassTable(const ClassTable&) = delete;
    ClassTable& operator=(const ClassTable&) = delete;

    // The entry of `id`, or null when no class has it.
    const Class* getClassById(std::int64_t id) const;
    // The entry named `name` (dots read as underscores), or null.
    const Class* forName(std::string_view name) const;

    // Records the reference fields of class `id` unless it already has a table.
    // Answers whether this call recorded them.
    bool registerReferenceFields(ClassId id, const ReferenceFieldTable& table);
    // Forgets every reference-field table (application close).
    void freeReferenceFields();

    // Sets the factory of an instantiable class.
    void setFactory(ClassId id, Class::Factory factory);
    Class::Factory factory(std::int64_t id) const;

private:
    std::array<Class, kClassCount> m_entries;
};

} // namespace rt
