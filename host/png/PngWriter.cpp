#include "host/png/PngWriter.h"

#include "host/display/WindowView.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace host {

Result<void> writePng(const std::string& path, std::span<const std::uint16_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return Error::withMessage("writePng: the pixels do not match the size");

    std::vector<std::uint8_t> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        std::uint32_t colour = rgb565ToRgb888(pixels[i]);
        rgb[i * 3] = static_cast<std::uint8_t>(colour >> 16);
        rgb[i * 3 + 1] = static_cast<std::uint8_t>(colour >> 8);
        rgb[i * 3 + 2] = static_cast<std::uint8_t>(colour);
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        std::string reason = image.message;
        png_image_free(&image);
        return Error::withMessage("writePng: " + path + ": " + reason);
    }
    return {};
}

} // namespace host
