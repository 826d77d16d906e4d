#pragma once

// Writing what datakit made into files and folders.

#include "host/Result.h"
#include "tools/datakit/ByteWriter.h"

#include <string>

namespace datakit {

// Writes `bytes` to `path`, making missing parent folders.
host::Result<void> writeFile(const std::string& path, const Bytes& bytes);

} // namespace datakit
