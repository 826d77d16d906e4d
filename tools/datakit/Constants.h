#pragma once

// "constants.bin": the texts of the program's string literals. A big-endian
// signed 32-bit count, then each string as a 2-byte byte length and its
// modified UTF-8 bytes. String i is constant i.

#include "tools/datakit/ByteWriter.h"

#include <optional>
#include <string>
#include <vector>

namespace datakit {

struct ConstantsOptions {
    std::optional<std::int32_t> indexedCount; // written in place of the true count
};

Bytes writeConstants(const std::vector<std::u16string>& strings, const ConstantsOptions& options = {});

} // namespace datakit
