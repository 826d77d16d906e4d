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
// The class table takes the list of the object's most-derived C++ type when the
// first object of a class id is made (`rt::make`), so a base-class constructor
// can never register a shorter list for a subclass.

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace rt {

class Object;

// What a class entry points at: a table with static storage duration.
struct ReferenceFieldTable {
    const std::uint32_t* offsets = nullptr;
    std::uint32_t count = 0;
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

// The base of a plain struct that declares reference fields without being an
// object (a class's statics): `RT_REFERENCE_FIELDS(Statics, rt::NoReferenceBase, m_a)`.
struct NoReferenceBase {
    static constexpr auto referenceFields() { return std::array<std::uint32_t, 0>{}; }
};

// The table of a C++ type, kept in static storage for the class entry to point at.
template <class T>
struct ReferenceFieldsOf {
    static constexpr auto offsets = T::referenceFields();
    static constexpr ReferenceFieldTable table{offsets.data(), static_cast<std::uint32_t>(offsets.size())};
};

template <class Field>
constexpr bool isReferenceFieldType =
    std::is_pointer_v<Field>&& std::is_base_of_v<Object, std::remove_cv_t<std::remove_pointer_t<Field>>>;

template <bool... Checks>
constexpr bool allReferenceFieldTypes = (Checks && ...);

} // namespace rt

// Argument counting and a for-each over up to 16 field names.
#define RT_RF_COUNT_(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16, N, ...) N
#define RT_RF_COUNT(...) RT_RF_COUNT_(__VA_ARGS__, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define RT_RF_CAT_(a, b) a##b
#define RT_RF_CAT(a, b) RT_RF_CAT_(a, b)
#define RT_RF_1(F, S, x) F(S, x)
#define RT_RF_2(F, S, x, ...) F(S, x), RT_RF_1(F, S, __VA_ARGS__)
#define RT_RF_3(F, S, x, ...) F(S, x), RT_RF_2(F, S, __VA_ARGS__)
#define RT_RF_4(F, S, x, ...) F(S, x), RT_RF_3(F, S, __VA_ARGS__)
#define RT_RF_5(F, S, x, ...) F(S, x), RT_RF_4(F, S, __VA_ARGS__)
#define RT_RF_6(F, S, x, ...) F(S, x), RT_RF_5(F, S, __VA_ARGS__)
#define RT_RF_7(F, S, x, ...) F(S, x), RT_RF_6(F, S, __VA_ARGS__)
#define RT_RF_8(F, S, x, ...) F(S, x), RT_RF_7(F, S, __VA_ARGS__)
#define RT_RF_9(F, S, x, ...) F(S, x), RT_RF_8(F, S, __VA_ARGS__)
#define RT_RF_10(F, S, x, ...) F(S, x), RT_RF_9(F, S, __VA_ARGS__)
#define RT_RF_11(F, S, x, ...) F(S, x), RT_RF_10(F, S, __VA_ARGS__)
#define RT_RF_12(F, S, x, ...) F(S, x), RT_RF_11(F, S, __VA_ARGS__)
#define RT_RF_13(F, S, x, ...) F(S, x), RT_RF_12(F, S, __VA_ARGS__)
#define RT_RF_14(F, S, x, ...) F(S, x), RT_RF_13(F, S, __VA_ARGS__)
#define RT_RF_15(F, S, x, ...) F(S, x), RT_RF_14(F, S, __VA_ARGS__)
#define RT_RF_16(F, S, x, ...) F(S, x), RT_RF_15(F, S, __VA_ARGS__)
#define RT_RF_FOR_EACH(F, S, ...) RT_RF_CAT(RT_RF_, RT_RF_COUNT(__VA_ARGS__))(F, S, __VA_ARGS__)

#define RT_RF_OFFSET_(Self, field) static_cast<std::uint32_t>(offsetof(Self, field))
#define RT_RF_CHECK_(Self, field) ::rt::isReferenceFieldType<decltype(Self::field)>

// Declares the class's reference fields: those of `Super`, then the named ones.
// Each named field must be a pointer to an `Object` type.
#define RT_REFERENCE_FIELDS(Self, Super, ...)                                                                \
    static constexpr auto referenceFields() {                                                                \
        static_assert(::rt::allReferenceFieldTypes<RT_RF_FOR_EACH(RT_RF_CHECK_, Self, __VA_ARGS__)>,         \
                      "a reference field must be a pointer to an Object type");                              \
        return ::rt::joinReferenceFields(Super::referenceFields(),                                           \
                                         std::array<std::uint32_t, RT_RF_COUNT(__VA_ARGS__)>{                \
                                             RT_RF_FOR_EACH(RT_RF_OFFSET_, Self, __VA_ARGS__)});             \
    }

// Declares that the class adds no reference fields to those of `Super`.
#define RT_NO_REFERENCE_FIELDS(Self, Super)                                                                  \
    static constexpr auto referenceFields() {                                                                \
        return Super::referenceFields();                                                                     \
    }
