#include "tools/datakit/TypedArrayWriter.h"

#include <algorithm>
#include <cassert>

namespace datakit {

namespace {

bool allWithin(const std::vector<std::int32_t>& values, std::int32_t low, std::int32_t high) {
    return std::all_of(values.begin(), values.end(), [&](std::int32_t v) { return v >= low && v <= high; });
}

// The width nibble and the bytes each element takes.
struct Width {
    std::uint8_t nibble;
    int bytes;
};

Width widthOf(const TypedArray& array) {
    switch (array.kind) {
    case TypedArray::Kind::Byte:
        return {0, 1};
    case TypedArray::Kind::Short:
        return allWithin(array.values, INT8_MIN, INT8_MAX) ? Width{0, 1} : Width{1, 2};
    case TypedArray::Kind::Int:
        if (allWithin(array.values, INT8_MIN, INT8_MAX))
            return {0, 1};
        return allWithin(array.values, INT16_MIN, INT16_MAX) ? Width{1, 2} : Width{2, 4};
    case TypedArray::Kind::Nested:
        break;
    }
    return {0, 0};
}

void write(ByteWriter& out, const TypedArray& array) {
    std::size_t count = array.kind == TypedArray::Kind::Nested ? array.nested.size() : array.values.size();
    assert(count <= 0xFFFF);
    Width width = widthOf(array);
    bool wideCount = count > 0xFF;
    out.u8(static_cast<std::uint8_t>(width.nibble << 4 | (wideCount ? 8 : 0) | static_cast<int>(array.kind)));
    if (wideCount)
        out.u16(ByteOrder::Little, static_cast<std::uint16_t>(count));
    else
        out.u8(static_cast<std::uint8_t>(count));
    if (array.kind == TypedArray::Kind::Nested) {
        for (const TypedArray& element : array.nested)
            write(out, element);
        return;
    }
    for (std::int32_t value : array.values) {
        auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < width.bytes; ++i)
            out.u8(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

} // namespace

TypedArray byteArray(std::vector<std::int8_t> values) {
    return {TypedArray::Kind::Byte, std::vector<std::int32_t>(values.begin(), values.end()), {}};
}

TypedArray shortArray(std::vector<std::int16_t> values) {
    return {TypedArray::Kind::Short, std::vector<std::int32_t>(values.begin(), values.end()), {}};
}

TypedArray intArray(std::vector<std::int32_t> values) {
    return {TypedArray::Kind::Int, std::move(values), {}};
}

TypedArray nestedArray(std::vector<TypedArray> elements) {
    return {TypedArray::Kind::Nested, {}, std::move(elements)};
}

Bytes writeTypedArray(const TypedArray& array) {
    ByteWriter out;
    write(out, array);
    return std::move(out).take();
}

} // namespace datakit
