#include "platform/lcdui/PngDecoder.h"

#include "platform/lcdui/pixels.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint32_t chunkType(const char (&name)[5]) {
    return static_cast<std::uint32_t>(name[0]) << 24 | static_cast<std::uint32_t>(name[1]) << 16 |
           static_cast<std::uint32_t>(name[2]) << 8 | static_cast<std::uint32_t>(name[3]);
}

std::int32_t readInt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[at]) << 24 |
                                     static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3]);
}

// Everything one decode keeps, outside the frame that calls setjmp: libpng's
// errors jump back into that frame, and what they jump over must own nothing.
struct PngRead {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    // The decoded rows: `rowCount` rows of `rowBytes` bytes, zeroed when made.
    png_bytep* rows = nullptr;
    png_uint_32 rowCount = 0;
    png_uint_32 width = 0;
    std::size_t rowBytes = 0;
    bool transparency = false;
    bool fourChannels = false;

    ~PngRead() {
        if (rows) {
            for (png_uint_32 i = 0; i < rowCount; ++i)
                std::free(rows[i]);
            std::free(rows);
        }
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// Hands libpng the next `count` bytes. libpng asks for compressed data in
// large blocks; when the data ends inside one, the bytes that are there come
// with zeros after them, so that the rows they hold are still decoded before
// the zeros make the stream fail. Asking again after the end is an error.
void readBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* read = static_cast<PngRead*>(png_get_io_ptr(png));
    std::size_t left = read->bytes.size() - read->position;
    if (left == 0)
        png_error(png, "read past the end of the data");
    std::size_t taken = std::min(count, left);
    std::memcpy(out, read->bytes.data() + read->position, taken);
    std::memset(out + taken, 0, count - taken);
    read->position += taken;
}

[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {
}

png_voidp allocate(png_structp, png_alloc_size_t size) {
    return std::malloc(size);
}

void release(png_structp, png_voidp memory) {
    std::free(memory);
}

// Reads the header, asks for 8-bit RGB or RGBA rows and decodes every row
// into `read.rows`. Answers false when libpng stopped early; the rows made by
// then hold what was decoded.
bool readRows(PngRead& read, bool argb4444) {
    if (setjmp(png_jmpbuf(read.png)))
        return false;
    png_set_read_fn(read.png, &read, readBytes);
    png_set_user_limits(read.png, kMaxPngSide, kMaxPngSide);
    png_set_expand(read.png);
    png_read_info(read.png, read.info);
    png_uint_32 width = png_get_image_width(read.png, read.info);
    png_uint_32 height = png_get_image_height(read.png, read.info);
    if (!pngSizeAllowed(width, height))
        return false;
    read.transparency = png_get_valid(read.png, read.info, PNG_INFO_tRNS) != 0;
    // The packing reads 4 bytes a pixel with transparency or for ARGB4444,
    // else 3: ask libpng for exactly that, whatever the file holds.
    read.fourChannels = read.transparency || argb4444;
    png_set_strip_16(read.png);
    png_set_gray_to_rgb(read.png);
    if (read.fourChannels)
        png_set_add_alpha(read.png, 0xFF, PNG_FILLER_AFTER);
    else
        png_set_strip_alpha(read.png);
    png_set_interlace_handling(read.png);
    png_read_update_info(read.png, read.info);
    int channels = read.fourChannels ? 4 : 3;
    read.rowBytes = png_get_rowbytes(read.png, read.info);
    if (png_get_bit_depth(read.png, read.info) != 8 || png_get_channels(read.png, read.info) != channels ||
        read.rowBytes < static_cast<std::size_t>(width) * channels)
        return false;
    read.width = width;
    read.rows = static_cast<png_bytep*>(std::calloc(height, sizeof(png_bytep)));
    if (!read.rows)
        return false;
    read.rowCount = height;
    for (png_uint_32 i = 0; i < height; ++i) {
        read.rows[i] = static_cast<png_bytep>(std::calloc(1, read.rowBytes));
        if (!read.rows[i])
            return false;
    }
    png_read_image(read.png, read.rows);
    return true;
}

void packRows(const PngRead& read, const Surface16& target, bool argb4444) {
    auto width = static_cast<std::int32_t>(std::min<png_uint_32>(read.width, target.width));
    auto height = static_cast<std::int32_t>(std::min<png_uint_32>(read.rowCount, target.height));
    for (std::int32_t y = 0; y < height; ++y) {
        const png_byte* source = read.rows[y];
        if (!source)
            break;
        std::uint16_t* destination = target.row(y);
        if (read.transparency) {
            for (std::int32_t x = 0; x < width; ++x, source += 4) {
                destination[x] = source[3] ? pixels::rgb888To565(source[0] << 16 | source[1] << 8 | source[2])
                                           : pixels::kColourKey;
            }
        } else if (argb4444) {
            for (std::int32_t x = 0; x < width; ++x, source += 4) {
                destination[x] = static_cast<std::uint16_t>((source[3] >> 4) << 12 | (source[0] >> 4) << 8 |
                                                            (source[1] >> 4) << 4 | source[2] >> 4);
            }
        } else {
            for (std::int32_t x = 0; x < width; ++x, source += 3)
                destination[x] = pixels::rgb888To565(source[0] << 16 | source[1] << 8 | source[2]);
        }
    }
}

} // namespace

PngSummary scanPngChunks(std::span<const std::uint8_t> bytes) {
    PngSummary summary;
    const std::int64_t size = static_cast<std::int64_t>(bytes.size());
    std::int64_t at = 8;
    while (at + 8 <= size) {
        std::int32_t length = readInt(bytes, static_cast<std::size_t>(at));
        std::uint32_t type = static_cast<std::uint32_t>(readInt(bytes, static_cast<std::size_t>(at) + 4));
        at += 8;
        if (type == chunkType("IEND"))
            break;
        if (type == chunkType("IHDR")) {
            if (at + 10 > size)
                break;
            summary.width = readInt(bytes, static_cast<std::size_t>(at));
            summary.height = readInt(bytes, static_cast<std::size_t>(at) + 4);
            summary.bitDepth = bytes[static_cast<std::size_t>(at) + 8];
            summary.colourType = bytes[static_cast<std::size_t>(at) + 9];
            at += 10 + std::max<std::int64_t>(length - 10, 0) + 4;
            continue;
        }
        if (type == chunkType("PLTE"))
            summary.paletteEntries = length / 3;
        else if (type == chunkType("tRNS"))
            summary.hasTransparency = true;
        at += std::max<std::int64_t>(length, 0) + 4;
    }
    return summary;
}

bool pngSizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPngSide && height <= kMaxPngSide &&
           width * height <= kMaxPngPixels;
}

void decodePng(std::span<const std::uint8_t> bytes, const Surface16& target, bool argb4444) {
    if (!target)
        return;
    PngRead read;
    read.bytes = bytes;
    // The version is the installed libpng's own: it checks that the header
    // we were built with matches the library we run with.
    read.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr, allocate,
                                        release);
    if (!read.png)
        return;
    read.info = png_create_info_struct(read.png);
    if (!read.info)
        return;
    readRows(read, argb4444);
    if (read.rows)
        packRows(read, target, argb4444);
}

} // namespace platform
