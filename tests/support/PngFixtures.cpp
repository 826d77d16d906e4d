#include "tests/support/PngFixtures.h"

#include <png.h>

#include <stdexcept>
#include <utility>

namespace testing_support {

namespace {

int pngColourType(PngColour colour) {
    switch (colour) {
    case PngColour::Grey:
        return PNG_COLOR_TYPE_GRAY;
    case PngColour::Rgb:
        return PNG_COLOR_TYPE_RGB;
    case PngColour::Palette:
        return PNG_COLOR_TYPE_PALETTE;
    case PngColour::GreyAlpha:
        return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngColour::RgbAlpha:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    }
    return PNG_COLOR_TYPE_RGB;
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {
}

// What libpng is handed, made before it runs: its errors jump back over
// the writing frame, which must own nothing.
struct Prepared {
    const PngPicture* picture;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    png_color_16 transparent{};
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> rowPointers;
    std::vector<std::uint8_t> out;
};

bool write(png_structp png, png_infop info, Prepared& prepared) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    const PngPicture& picture = *prepared.picture;
    png_set_write_fn(png, &prepared.out, appendBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, pngColourType(picture.colour),
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!prepared.palette.empty())
        png_set_PLTE(png, info, prepared.palette.data(), static_cast<int>(prepared.palette.size()));
    if (!prepared.alphas.empty())
        png_set_tRNS(png, info, prepared.alphas.data(), static_cast<int>(prepared.alphas.size()), nullptr);
    else if (picture.transparentColour)
        png_set_tRNS(png, info, nullptr, 0, &prepared.transparent);
    png_write_info(png, info);
    if (picture.bitDepth < 8)
        png_set_packing(png);
    png_write_image(png, prepared.rowPointers.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

int channelsOf(PngColour colour) {
    switch (colour) {
    case PngColour::Grey:
    case PngColour::Palette:
        return 1;
    case PngColour::GreyAlpha:
        return 2;
    case PngColour::Rgb:
        return 3;
    case PngColour::RgbAlpha:
        return 4;
    }
    return 1;
}

std::vector<std::uint8_t> encodePng(const PngPicture& picture) {
    Prepared prepared;
    prepared.picture = &picture;
    for (const auto& entry : picture.palette)
        prepared.palette.push_back(png_color{entry[0], entry[1], entry[2]});
    prepared.alphas.assign(picture.paletteAlpha.begin(), picture.paletteAlpha.end());
    if (picture.transparentColour) {
        const auto& colour = *picture.transparentColour;
        prepared.transparent.gray = colour[0];
        prepared.transparent.red = colour[0];
        prepared.transparent.green = colour[1];
        prepared.transparent.blue = colour[2];
    }
    // Rows of one byte per sample below 8 bits (packed by libpng), else big-endian samples.
    const int channels = channelsOf(picture.colour);
    const std::size_t samplesPerRow = static_cast<std::size_t>(picture.width) * channels;
    const std::size_t bytesPerSample = picture.bitDepth == 16 ? 2 : 1;
    prepared.rows.assign(static_cast<std::size_t>(picture.height),
                         std::vector<png_byte>(samplesPerRow * bytesPerSample));
    for (std::size_t y = 0; y < prepared.rows.size(); ++y) {
        for (std::size_t i = 0; i < samplesPerRow; ++i) {
            std::uint16_t sample = picture.samples.at(y * samplesPerRow + i);
            if (bytesPerSample == 2) {
                prepared.rows[y][2 * i] = static_cast<png_byte>(sample >> 8);
                prepared.rows[y][2 * i + 1] = static_cast<png_byte>(sample);
            } else {
                prepared.rows[y][i] = static_cast<png_byte>(sample);
            }
        }
    }
    for (auto& row : prepared.rows)
        prepared.rowPointers.push_back(row.data());

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool written = write(png, info, prepared);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error("encodePng: libpng refused the picture");
    return std::move(prepared.out);
}

} // namespace testing_support
