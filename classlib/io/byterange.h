#pragma once

// The one check of a caller's byte range that every stream makes before it
// touches the caller's array.

#include "runtime/Array.h"

#include <cstdint>

namespace lib {

// Whether `b` is a live array and [off, off + len) lies inside it; otherwise
// reports the null array or the first index outside (computed without
// overflow) and answers false.
bool checkByteRange(const rt::ByteArray* b, std::int32_t off, std::int32_t len);

} // namespace lib
