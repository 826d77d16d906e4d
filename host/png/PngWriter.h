#pragma once

// Writes RGB565 pictures as PNG files (8-bit RGB), through libpng.

#include "host/Result.h"

#include <cstdint>
#include <span>
#include <string>

namespace host {

// `pixels` holds width x height RGB565 pixels, rows top-down without padding.
// Each channel is widened by repeating its top bits, so 0x1F becomes 0xFF.
Result<void> writePng(const std::string& path, std::span<const std::uint16_t> pixels, int width, int height);

} // namespace host
