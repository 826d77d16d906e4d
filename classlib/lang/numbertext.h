#pragma once

// The number parsing that the wrapper classes share. Numbers are read from a
// `String`'s 8-bit text: the low byte of every unit, up to the first 0 unit.
//
// Integers are read the way C's `atoi` reads them: leading white space, an
// optional sign, then decimal digits up to the first other character; text
// without a leading number gives 0 and nothing ever fails. Where `atoi` would
// overflow (undefined in C) the value saturates at the limit, as `strtol` does.

#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace lib {

// The 8-bit text of `text` (which must not be null).
std::string eightBitText(const rt::String* text);

// The decimal number at the start of `text`, clamped to [minimum, maximum].
std::int64_t parseDecimalPrefix(const std::string& text, std::int64_t minimum, std::int64_t maximum);

// `atof` of `text`: the longest leading floating-point number, 0.0 when none.
double parseDoublePrefix(const std::string& text);

} // namespace lib
