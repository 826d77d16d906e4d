#pragma once

// Reference fields: the byte offsets, from an object's start, of every field
// that holds a reference to another object. The collector follows exactly
// these. Each class declares its own list once, inside its body, and the list
// it answers includes every inherited field:
//
//     class java_util_Vector : public Object {
//         ...
//         Object* m_elementData = nullptr;
//         RT_REFERENCE_FIELDS(java_util_Vector, Object, m_elementData)
//     };
//     class Leaf : public Object {
//         RT_NO_REFERENCE_FIELDS(Leaf, Object)
//     };
//
// A list takes any number of fields (up to 1000), and the pointee types may be
// only forward-declared where the list is written, so two classes that point
// at each other can both declare theirs.
//
// Mistakes are loud:
//   - every type that `rt::make` makes, and every statics block, must declare
//     its own list; one inherited from a base does not compile there;
//   - `Super` must be a base of `Self` that declares its own list (or
//     `rt::NoReferenceBase`, the root of statics blocks' lists);
//   - each listed field must be a pointer to a class type, and where that type
//     is complete (always, in practice, where objects are made) to an `Object`
//     type. The check runs where the list is first used (`ReferenceFieldsOf`),
//     not where it is written, which is what lets the pointee be incomplete;
//   - in builds with `VORLAX_VERIFY_REFERENCES` the collector reports every
//     word of a live object or statics block that holds a live object's address
//     at an offset that is not listed (`ObjectManager`).
//
// The class table takes the list of the object's most-derived C++ type when the
// first object of a class id is made (`rt::make`), so a base-class constructor
// can never register a shorter list for a subclass.

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace rt {

class Object;

// What a class entry points at: a table with static storage duration. Its
// address stands for the C++ type that declared it.
struct ReferenceFieldTable {
    const std::uint32_t* offsets = nullptr;
    std::uint32_t count = 0;
    // The size of the C++ type: its words are the ones the collector checks
    // for unlisted references.
    std::uint32_t objectSize = 0;
};

template <std::size_t N, std::size_t M>
constexpr std::array<std::uint32_t, N + M> joinReferenceFields(const std::array<std::uint32_t, N>& inherited,
                                                               const std::array<std::uint32_t, M>& own) {
    std::array<std::uint32_t, N + M> all{};
    for (std::size_t i = 0; i < N; ++i)
        all[i] = inherited[i];
    for (std::size_t i = 0; i < M; ++i)
        all[N + i] = own[i];
    return all;
}

template <class T>
constexpr bool isCompleteType = requires {
    sizeof(T);
};

// A pointer to a class type; to an `Object` type when the class is complete.
template <class Field>
constexpr bool isReferenceFieldType = [] {
    if constexpr (!std::is_pointer_v<Field>) {
        return false;
    } else {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<Field>>;
        if constexpr (!std::is_class_v<Pointee>)
            return false;
        else if constexpr (isCompleteType<Pointee>)
            return std::is_base_of_v<Object, Pointee>;
        else
            return true;
    }
}();

// One listed field's check, instantiated where the list is used.
template <class Field>
struct ReferenceFieldCheck {
    static_assert(isReferenceFieldType<Field>,
                  "a listed reference field must be a pointer to an Object type");
    static constexpr bool value = true;
};

// The types a list names: its super-class (void at the root) and its fields.
// Only a type list: forming it checks nothing, so pointees may be incomplete.
template <class Super, class... Fields>
struct ReferenceListTypes {};

// The base of a plain struct that declares reference fields without being an
// object (a class's statics): `RT_REFERENCE_FIELDS(Statics, rt::NoReferenceBase, m_a)`.
struct NoReferenceBase {
    static constexpr NoReferenceBase* referenceListOwner() { return nullptr; }
    static constexpr auto referenceFields() { return std::array<std::uint32_t, 0>{}; }
    static constexpr auto referenceListTypes() { return ReferenceListTypes<void>{}; }
};

// 1 when `T` declares its own list rather than inheriting one.
template <class T>
constexpr bool declaresOwnReferenceFields = std::is_same_v<decltype(T::referenceListOwner()), T*>;

// Checks the list of `Self` and those of its super-classes.
template <class Self, class Super, class... Fields>
constexpr bool checkReferenceList(ReferenceListTypes<Super, Fields...>) {
    if constexpr (std::is_void_v<Super>) {
        return true;
    } else {
        static_assert(declaresOwnReferenceFields<Super>,
                      "the super-class named in a reference list must declare its own list");
        static_assert(std::is_base_of_v<Super, Self> || std::is_same_v<Super, NoReferenceBase>,
                      "a reference list must name a base of its class");
        return checkReferenceList<Super>(Super::referenceListTypes()) &&
               (ReferenceFieldCheck<Fields>::value && ...);
    }
}

// The table of a C++ type, kept in static storage for the class entry to point at.
template <class T>
struct ReferenceFieldsOf {
    static_assert(declaresOwnReferenceFields<T>,
                  "this type inherits its reference list: declare its own with RT_REFERENCE_FIELDS or "
                  "RT_NO_REFERENCE_FIELDS");
    static_assert(checkReferenceList<T>(T::referenceListTypes()));
    static constexpr auto offsets = T::referenceFields();
    static constexpr ReferenceFieldTable table{offsets.data(), static_cast<std::uint32_t>(offsets.size()),
                                               static_cast<std::uint32_t>(sizeof(T))};
};

} // namespace rt

// A for-each over any number of arguments (up to 1000): each rescan of
// RT_RF_EXPAND moves the recursion one argument further.
#define RT_RF_PARENS ()
#define RT_RF_EXPAND(...) RT_RF_EXPAND4(RT_RF_EXPAND4(RT_RF_EXPAND4(RT_RF_EXPAND4(__VA_ARGS__))))
#define RT_RF_EXPAND4(...) RT_RF_EXPAND3(RT_RF_EXPAND3(RT_RF_EXPAND3(RT_RF_EXPAND3(__VA_ARGS__))))
#define RT_RF_EXPAND3(...) RT_RF_EXPAND2(RT_RF_EXPAND2(RT_RF_EXPAND2(RT_RF_EXPAND2(__VA_ARGS__))))
#define RT_RF_EXPAND2(...) RT_RF_EXPAND1(RT_RF_EXPAND1(RT_RF_EXPAND1(RT_RF_EXPAND1(__VA_ARGS__))))
#define RT_RF_EXPAND1(...) __VA_ARGS__
#define RT_RF_FOR_EACH(F, S, ...) __VA_OPT__(RT_RF_EXPAND(RT_RF_FOR_EACH_STEP(F, S, __VA_ARGS__)))
#define RT_RF_FOR_EACH_STEP(F, S, first, ...)                                                                \
    F(S, first) __VA_OPT__(, RT_RF_FOR_EACH_AGAIN RT_RF_PARENS(F, S, __VA_ARGS__))
#define RT_RF_FOR_EACH_AGAIN() RT_RF_FOR_EACH_STEP

#define RT_RF_OFFSET_(Self, field) static_cast<std::uint32_t>(offsetof(Self, field))
// An element of an array of references (`m_players[2]`) names its element type.
#define RT_RF_TYPE_(Self, field) std::remove_reference_t<decltype(Self::field)>

// What both declarations share: the owner mark and the types to check.
#define RT_RF_COMMON_(Self, Super, ...)                                                                      \
    static constexpr Self* referenceListOwner() {                                                            \
        return nullptr;                                                                                      \
    }                                                                                                        \
    static constexpr auto referenceListTypes() {                                                             \
        return ::rt::ReferenceListTypes<Super __VA_OPT__(,                                                   \
                                                         RT_RF_FOR_EACH(RT_RF_TYPE_, Self, __VA_ARGS__))>{}; \
    }

// Declares the class's reference fields: those of `Super`, then the named ones.
// Each named field must be a pointer to an `Object` type.
#define RT_REFERENCE_FIELDS(Self, Super, ...)                                                                \
    RT_RF_COMMON_(Self, Super, __VA_ARGS__)                                                                  \
    static constexpr auto referenceFields() {                                                                \
        return ::rt::joinReferenceFields(                                                                    \
            Super::referenceFields(),                                                                        \
            std::to_array<std::uint32_t>({RT_RF_FOR_EACH(RT_RF_OFFSET_, Self, __VA_ARGS__)}));               \
    }

// Declares that the class adds no reference fields to those of `Super`.
#define RT_NO_REFERENCE_FIELDS(Self, Super)                                                                  \
    RT_RF_COMMON_(Self, Super)                                                                               \
    static constexpr auto referenceFields() {                                                                \
        return Super::referenceFields();                                                                     \
    }
