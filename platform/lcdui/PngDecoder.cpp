#include "platform/lcdui/PngDecoder.h"

#include "platform/lcdui/pixels.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>

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
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool argb4444 = false;
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

// The header has been read: asks for 8-bit RGB or RGBA rows and makes them.
// A size or a row layout the packing cannot take ends the decode.
void onHeader(png_structp png, png_infop info) {
    auto& read = *static_cast<PngRead*>(png_get_progressive_ptr(png));
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!pngSizeAllowed(width, height))
        png_error(png, "size refused");
    read.transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // The packing reads 4 bytes a pixel with transparency or for ARGB4444,
    // else 3: ask libpng for exactly that, whatever the file holds.
    read.fourChannels = read.transparency || read.argb4444;
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (read.fourChannels)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    else
        png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    int channels = read.fourChannels ? 4 : 3;
    read.rowBytes = png_get_rowbytes(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != channels ||
        read.rowBytes < static_cast<std::size_t>(width) * channels)
        png_error(png, "row layout");
    read.width = width;
    read.rows = static_cast<png_bytep*>(std::calloc(height, sizeof(png_bytep)));
    if (!read.rows)
        png_error(png, "out of memory");
    read.rowCount = height;
    for (png_uint_32 i = 0; i < height; ++i) {
        read.rows[i] = static_cast<png_bytep>(std::calloc(1, read.rowBytes));
        if (!read.rows[i])
            png_error(png, "out of memory");
    }
}

// A row of a pass is decoded: merges it into the row it belongs to (all of
// it without interlacing).
void onRow(png_structp png, png_bytep row, png_uint_32 number, int) {
    auto& read = *static_cast<PngRead*>(png_get_progressive_ptr(png));
    if (row && number < read.rowCount && read.rows[number])
        png_progressive_combine_row(png, read.rows[number], row);
}

// Feeds the whole file to libpng's incremental reader, which decodes rows as
// their bytes arrive and handles any other chunk only once all of its bytes
// are there. So a chunk never costs more memory than the bytes present, however
// long it claims to be, and data that ends early leaves the rows decoded
// before the end; nothing is ever invented to stand for missing bytes.
// Answers false when libpng stopped at an error.
bool readRows(PngRead& read, std::span<const std::uint8_t> bytes) {
    if (setjmp(png_jmpbuf(read.png)))
        return false;
    png_set_progressive_read_fn(read.png, &read, onHeader, onRow, nullptr);
    png_set_user_limits(read.png, kMaxPngSide, kMaxPngSide);
    png_set_expand(read.png);
    // libpng takes the bytes as writable but only reads them.
    png_process_data(read.png, read.info, const_cast<png_bytep>(bytes.data()), bytes.size());
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
    read.argb4444 = argb4444;
    // The version is the installed libpng's own: it checks that the header
    // we were built with matches the library we run with.
    read.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr, allocate,
                                        release);
    if (!read.png)
        return;
    read.info = png_create_info_struct(read.png);
    if (!read.info)
        return;
    readRows(read, bytes);
    if (read.rows)
        packRows(read, target, argb4444);
}

} // namespace platform
