#pragma once

// Typed arrays: a header byte (type in bits 0..2: 0 byte, 1 short, 2 int,
// 3 nested arrays; bit 3 a 2-byte count; stored element width in the high
// nibble), the count (1 byte, or 2 little-endian), then the elements
// little-endian, or the nested arrays one after another. The writer picks
// the smallest width that holds every element: shorts in 1 byte (nibble 0)
// or 2 (nibble 1); ints in 1 byte (0), 2 (1) or 4 (2); bytes and nested
// arrays always carry nibble 0.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace datakit {

struct TypedArray {
    enum class Kind : std::uint8_t { Byte, Short, Int, Nested };
    Kind kind = Kind::Int;
    // The elements of a byte, short or int array.
    std::vector<std::int32_t> values;
    // The elements of a nested array.
    std::vector<TypedArray> nested;

    bool operator==(const TypedArray&) const = default;
};

TypedArray byteArray(std::vector<std::int8_t> values);
TypedArray shortArray(std::vector<std::int16_t> values);
TypedArray intArray(std::vector<std::int32_t> values);
TypedArray nestedArray(std::vector<TypedArray> elements);

// The encoding of `array`; a count above 65,535 is a bug of the caller.
Bytes writeTypedArray(const TypedArray& array);

} // namespace datakit
