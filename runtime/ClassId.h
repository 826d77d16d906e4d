#pragma once

// Class ids: every object carries the 16-bit id of its class in its header.

#include "runtime/ClassList.h"

#include <array>
#include <cstdint>

namespace rt {

enum class ClassId : std::uint16_t {
#define RT_CLASS_ENUM(id, name, super) name = id,
    RT_CLASS_LIST(RT_CLASS_ENUM)
#undef RT_CLASS_ENUM
};

inline constexpr int kClassCount = 146;
// A freed object's header reads this class id.
inline constexpr std::uint16_t kFreedClassId = 0xFEEE;
// The super-class id of a class without one (only `Object`).
inline constexpr std::uint32_t kNoSuperClass = 0xFEEE;

constexpr int toInt(ClassId id) {
    return static_cast<int>(id);
}
constexpr bool isValidClassId(std::int64_t id) {
    return id >= 0 && id < kClassCount;
}

// Super-class ids in class-id order; kNoSuperClass for `Object`.
inline constexpr std::array<std::uint32_t, kClassCount> kSuperClassIds = {
#define RT_CLASS_SUPER(id, name, super) static_cast<std::uint32_t>(super),
    RT_CLASS_LIST(RT_CLASS_SUPER)
#undef RT_CLASS_SUPER
};

namespace detail {
// The four core classes are known in code by their short names but carry their
// profile names in the class table, so `Class::forName("java.lang.String")` finds them.
constexpr const char* tableName(int id, const char* name) {
    switch (id) {
    case 0:
        return "java_lang_Object";
    case 1:
        return "java_lang_Class";
    case 2:
        return "java_lang_String";
    case 3:
        return "java_lang_StringBuffer";
    default:
        return name;
    }
}
} // namespace detail

// Class names in class-id order, as the class table and `Class::forName` see them.
inline constexpr std::array<const char*, kClassCount> kClassNames = {
#define RT_CLASS_NAME(id, name, super) detail::tableName(id, #name),
    RT_CLASS_LIST(RT_CLASS_NAME)
#undef RT_CLASS_NAME
};

} // namespace rt
