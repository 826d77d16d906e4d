#pragma once

// "constants.bin": the texts of the program's string literals. A big-endian
// signed 32-bit count, then each string as a 2-byte byte length and its
// modified UTF-8 bytes. String i is constant i.
//
// Data sets are written by the catalogue of constant strings
// (runtime/constantStrings.h): a text is given for a catalogued number, and
// the writer puts it where the code reads it. `writeConstants` writes a list
// as it is, for files that test the loader itself.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace datakit {

struct ConstantsOptions {
    std::optional<std::int32_t> indexedCount; // written in place of the true count
};

Bytes writeConstants(const std::vector<std::u16string>& strings, const ConstantsOptions& options = {});

// The text of one catalogued constant string.
struct ConstantText {
    std::int32_t number;
    std::u16string text;
};

// The strings of a data set: `rt::constants::tableLength()` of them, each
// text at its number and the empty string at every number without one. A number the catalogue does not hold,
// or one given twice, is a bug of the caller.
std::vector<std::u16string> layOutConstants(std::span<const ConstantText> texts);

// `writeConstants(layOutConstants(texts))`.
Bytes writeConstantTable(std::span<const ConstantText> texts);

// The catalogued numbers that `texts` gives no text for, rising.
std::vector<std::int32_t> missingConstants(std::span<const ConstantText> texts);

} // namespace datakit
