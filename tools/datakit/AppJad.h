#pragma once

// "app.jad": the application properties, one "Key: value" line each, in
// Latin-1.

#include "tools/datakit/ByteWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace datakit {

enum class LineEnding : std::uint8_t {
    Lf,
    CrLf,
};

using Property = std::pair<std::string, std::string>;

// The lines "key: value" in the given order (`value` and `key` as Latin-1 bytes).
Bytes writeAppJad(const std::vector<Property>& properties, LineEnding ending = LineEnding::CrLf);

} // namespace datakit
