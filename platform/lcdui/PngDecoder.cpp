#include "platform/lcdui/PngDecoder.h"

#include "platform/lcdui/pixels.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <type_traits>

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

// How decoded rows become pixels, fixed once the header is read.
enum class Packing : std::uint8_t {
    Rgb,          // 3 bytes R, G, B: the 565 value
    KeyedRgba,    // 4 bytes R, G, B, A (a tRNS chunk): alpha 0 is the colour key, the rest 565
    Argb4444,     // 4 bytes R, G, B, A: the top 4 bits of each
    PaletteTable, // 1 byte, a palette index or an 8-bit grey: its entry of `PngRead::table`
};

// Everything one decode keeps, outside the frame that calls setjmp: libpng's
// errors jump back into that frame, and what they jump over must own nothing.
//
// A row that is not interlaced is final when libpng hands it over, so it is
// packed straight from libpng's own row buffer (reused for every row) into
// the target; palette rows arrive as indices and are looked up in a table of
// the 256 packed entries, built once from the palette, and grey rows packed
// as 565 the same way in a table of the 256 greys. Interlaced rows are
// finished only by the last pass, so those images are kept whole in 8-bit
// RGB or RGBA and packed at the end.
struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Surface16 target;
    bool argb4444 = false;

    // Set by the header.
    bool headerTaken = false;
    Packing packing = Packing::Rgb;
    bool transparency = false;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::size_t rowBytes = 0;
    std::uint16_t table[256] = {};
    bool tableHasColourKey = false;

    // Rows not interlaced: how many were packed (they arrive in order).
    png_uint_32 rowsPacked = 0;
    // Interlaced images: `height` rows of `rowBytes` bytes, zeroed when made.
    png_bytep whole = nullptr;

    // A pixel written has the colour key's value.
    bool wroteColourKey = false;

    ~PngRead() {
        std::free(whole);
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

// `pixels::rgb888To565` of the three bytes, without making the 24-bit colour first.
std::uint16_t packRgb(const png_byte* source) {
    return static_cast<std::uint16_t>((source[0] & 0xF8) << 8 | (source[1] & 0xFC) << 3 | source[2] >> 3);
}

std::uint16_t packKeyedRgba(const png_byte* source) {
    return source[3] ? packRgb(source) : pixels::kColourKey;
}

std::uint16_t packArgb4444(const png_byte* source) {
    return static_cast<std::uint16_t>((source[3] >> 4) << 12 | (source[0] >> 4) << 8 | (source[1] >> 4) << 4 |
                                      source[2] >> 4);
}

// Eight pixels at a time through the compiler's generic vector types, as in
// pixels.cpp, on little-endian machines: a load then gives each pixel's bytes
// R, G, B (and A) from the lowest bit up. Four pixels are packed in two 64-bit
// lanes, two in the low 32 bits of each, and every pixel gets exactly what the
// scalar packing above computes from its bytes, so the results are the same
// bits. Whether a pixel is the colour key is a lane mask ORed up as the row is
// packed, so no second pass over the pixels looks for it.
using Lanes16 = std::uint16_t __attribute__((vector_size(16)));
using Lanes32 = std::uint32_t __attribute__((vector_size(16)));
using Lanes64 = std::uint64_t __attribute__((vector_size(16)));
constexpr int kLanes = 8;

std::uint64_t load64(const png_byte* from) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    return word;
}

// Four RGB pixels (12 bytes; 14 are read): a 64-bit load holds two pixels
// whole, the first in bits 0 to 23, the second in bits 24 to 47, and each
// field moves straight to its place in the 565 value of its pixel.
struct PackRgbLanes {
    static constexpr int kBytes = 3;
    static constexpr int kReadBeyond = 2;
    static Lanes64 pack(const png_byte* source) {
        Lanes64 w = {load64(source), load64(source + 6)};
        Lanes64 first = ((w << 8) & 0xF800) | ((w >> 5) & 0x07E0) | ((w >> 19) & 0x001F);
        Lanes64 second = (w & 0xF8000000) | ((w >> 13) & 0x07E00000) | ((w >> 27) & 0x001F0000);
        return first | second;
    }
};

// Four RGBA pixels, one a 32-bit lane, and the packed values of each pair
// joined in the low half of their 64-bit lane.
template <Lanes32 (*packLanes)(Lanes32)>
struct PackRgbaLanes {
    static constexpr int kBytes = 4;
    static constexpr int kReadBeyond = 0;
    static Lanes64 pack(const png_byte* source) {
        Lanes32 bytes;
        std::memcpy(&bytes, source, sizeof bytes);
        auto pairs = reinterpret_cast<Lanes64>(packLanes(bytes));
        return pairs | pairs >> 16;
    }
};

Lanes32 keyedRgbaLanes(Lanes32 bytes) {
    auto opaque = reinterpret_cast<Lanes32>((bytes >> 24) != 0);
    Lanes32 rgb = ((bytes << 8) & 0xF800) | ((bytes >> 5) & 0x07E0) | ((bytes >> 19) & 0x001F);
    return (rgb & opaque) | (pixels::kColourKey & ~opaque);
}

Lanes32 argb4444Lanes(Lanes32 bytes) {
    return (bytes >> 28) << 12 | ((bytes << 4) & 0x0F00) | ((bytes >> 8) & 0x00F0) | ((bytes >> 20) & 0x000F);
}

// Packs the leading blocks of eight pixels of a row, as many as `Lanes::pack`
// can read (it reads `kReadBeyond` bytes past the four pixels it packs), and
// ORs their colour-key masks into `keys`; answers how many pixels it packed.
template <class Lanes>
std::int32_t packBlocks(const png_byte* source, std::uint16_t* destination, std::int32_t count,
                        Lanes16& keys) {
    constexpr int kBytes = Lanes::kBytes;
    std::int32_t x = 0;
    for (; x * kBytes + kLanes * kBytes + Lanes::kReadBeyond <= count * kBytes;
         x += kLanes, source += kLanes * kBytes) {
        auto low = reinterpret_cast<Lanes32>(Lanes::pack(source));
        auto high = reinterpret_cast<Lanes32>(Lanes::pack(source + 4 * kBytes));
        auto packed = reinterpret_cast<Lanes16>(__builtin_shufflevector(low, high, 0, 2, 4, 6));
        std::memcpy(destination + x, &packed, sizeof packed);
        keys |= reinterpret_cast<Lanes16>(packed == pixels::kColourKey);
    }
    return x;
}

#if defined(__x86_64__) || defined(__i386__)
#define VORLAX_PNG_BYTE_SHUFFLE 1

// packBlocks for RGB with SSSE3's byte shuffle, which every x86-64 processor
// of the last fifteen years has but the x86-64 baseline lacks: two shuffles
// of the block's 24 bytes (two overlapping 16-byte loads, so nothing past the
// block is read) put R and G, then B, in the high and low bytes of each
// pixel's 16-bit lane, and the 565 value is three masks or shifts away.
// Without SSSE3 the compiler would lower the shuffles to one byte at a time.
using Bytes = std::uint8_t __attribute__((vector_size(16)));

[[gnu::target("ssse3")]] std::int32_t
packRgbBlocksShuffled(const png_byte* source, std::uint16_t* destination, std::int32_t count, Lanes16& keys) {
    std::int32_t x = 0;
    for (; x + kLanes <= count; x += kLanes, source += kLanes * 3) {
        // Pixels 0 to 3 from bytes 0 to 11 of `front`, 4 to 7 from bytes 4 to 15 of `back`.
        Bytes front, back;
        std::memcpy(&front, source, sizeof front);
        std::memcpy(&back, source + 8, sizeof back);
        auto redGreen = reinterpret_cast<Lanes16>(
            __builtin_shufflevector(front, back, 1, 0, 4, 3, 7, 6, 10, 9, 21, 20, 24, 23, 27, 26, 30, 29));
        auto blue = reinterpret_cast<Lanes16>(
            __builtin_shufflevector(front, back, 2, 2, 5, 5, 8, 8, 11, 11, 22, 22, 25, 25, 28, 28, 31, 31));
        Lanes16 packed = (redGreen & 0xF800) | ((redGreen << 3) & 0x07E0) | (blue >> 11);
        std::memcpy(destination + x, &packed, sizeof packed);
        keys |= reinterpret_cast<Lanes16>(packed == pixels::kColourKey);
    }
    return x;
}

bool processorShuffles() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

std::atomic<bool> byteShuffle{processorShuffles()};
#endif

// Packs `count` pixels of a decoded row; answers whether one of them is the
// colour key. Pixels that do not fill a block go through the scalar packing.
template <class Lanes, std::uint16_t (*pack)(const png_byte*)>
bool packPixels(const png_byte* source, std::uint16_t* destination, std::int32_t count) {
    constexpr int kBytes = Lanes::kBytes;
    std::int32_t x = 0;
    Lanes16 keys = {};
    if constexpr (std::endian::native == std::endian::little) {
#ifdef VORLAX_PNG_BYTE_SHUFFLE
        if (std::is_same_v<Lanes, PackRgbLanes> && byteShuffle.load(std::memory_order_relaxed))
            x = packRgbBlocksShuffled(source, destination, count, keys);
        else
#endif
            x = packBlocks<Lanes>(source, destination, count, keys);
    }
    std::uint16_t found = 0;
    for (source += x * kBytes; x < count; ++x, source += kBytes) {
        destination[x] = pack(source);
        found |= destination[x] == pixels::kColourKey;
    }
    for (int lane = 0; lane < kLanes; ++lane)
        found |= keys[lane];
    return found != 0;
}

// Whether one of `count` packed pixels is the colour key: for palette rows,
// a pass over the row just written, still in the nearest cache, and only
// when the palette holds the key at all.
bool holdsColourKey(const std::uint16_t* row, std::int32_t count) {
    std::uint32_t keys = 0;
    for (std::int32_t x = 0; x < count; ++x)
        keys |= row[x] == pixels::kColourKey;
    return keys != 0;
}

// Writes the packed pixels of a decoded row into row `y` of the target.
void packRow(PngRead& read, const png_byte* source, png_uint_32 y) {
    if (y >= static_cast<png_uint_32>(read.target.height))
        return;
    auto count = static_cast<std::int32_t>(std::min<png_uint_32>(read.width, read.target.width));
    std::uint16_t* destination = read.target.row(static_cast<std::int32_t>(y));
    bool keys = false;
    switch (read.packing) {
    case Packing::Rgb:
        keys = packPixels<PackRgbLanes, packRgb>(source, destination, count);
        break;
    case Packing::KeyedRgba:
        keys = packPixels<PackRgbaLanes<keyedRgbaLanes>, packKeyedRgba>(source, destination, count);
        break;
    case Packing::Argb4444:
        keys = packPixels<PackRgbaLanes<argb4444Lanes>, packArgb4444>(source, destination, count);
        break;
    case Packing::PaletteTable:
        for (std::int32_t x = 0; x < count; ++x)
            destination[x] = read.table[source[x]];
        keys = read.tableHasColourKey && holdsColourKey(destination, count);
        break;
    }
    read.wroteColourKey = read.wroteColourKey || keys;
}

// The 256 packed entries of a palette image, as libpng's expansion would
// make them: an index past the palette is black, an entry past the tRNS
// alphas opaque.
void buildPaletteTable(PngRead& read) {
    png_colorp palette = nullptr;
    int entries = 0;
    png_get_PLTE(read.png, read.info, &palette, &entries);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (read.transparency)
        png_get_tRNS(read.png, read.info, &alphas, &alphaCount, nullptr);
    for (int i = 0; i < 256; ++i) {
        png_byte rgba[4] = {0, 0, 0, 0xFF};
        if (palette && i < entries) {
            rgba[0] = palette[i].red;
            rgba[1] = palette[i].green;
            rgba[2] = palette[i].blue;
        }
        if (alphas && i < alphaCount)
            rgba[3] = alphas[i];
        std::uint16_t pixel = read.transparency ? packKeyedRgba(rgba)
                              : read.argb4444   ? packArgb4444(rgba)
                                                : packRgb(rgba);
        read.table[i] = pixel;
        read.tableHasColourKey = read.tableHasColourKey || pixel == pixels::kColourKey;
    }
}

// The header has been read: chooses the packing, asks libpng for rows in its
// layout and makes the storage. A size or a row layout the packing cannot
// take ends the decode.
void onHeader(png_structp png, png_infop info) {
    auto& read = *static_cast<PngRead*>(png_get_progressive_ptr(png));
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!pngSizeAllowed(width, height))
        png_error(png, "size refused");
    read.transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    bool palette = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
    read.packing = read.transparency ? Packing::KeyedRgba : read.argb4444 ? Packing::Argb4444 : Packing::Rgb;
    // Grey packed as 565 is a table of the 256 greys: libpng widens the
    // samples to 8 bits but leaves them one a pixel.
    bool greyTable = png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY && read.packing == Packing::Rgb;
    int channels = 1;
    if (palette && !interlaced) {
        read.packing = Packing::PaletteTable;
        png_set_packing(png);
        buildPaletteTable(read);
    } else if (greyTable && !interlaced) {
        read.packing = Packing::PaletteTable;
        png_set_expand(png);
        png_set_strip_16(png);
        for (int grey = 0; grey < 256; ++grey) {
            const png_byte rgb[3] = {static_cast<png_byte>(grey), static_cast<png_byte>(grey),
                                     static_cast<png_byte>(grey)};
            read.table[grey] = packRgb(rgb);
        }
    } else {
        // Everything else is widened to 8-bit RGB, or RGBA when the packing
        // reads 4 bytes a pixel, whatever the file holds.
        bool fourChannels = read.packing != Packing::Rgb;
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        if (fourChannels)
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        else
            png_set_strip_alpha(png);
        channels = fourChannels ? 4 : 3;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    read.rowBytes = png_get_rowbytes(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != channels ||
        read.rowBytes < static_cast<std::size_t>(width) * channels)
        png_error(png, "row layout");
    read.width = width;
    read.height = height;
    if (interlaced) {
        read.whole = static_cast<png_bytep>(std::calloc(height, read.rowBytes));
        if (!read.whole)
            png_error(png, "out of memory");
    }
    read.headerTaken = true;
}

// A row of a pass is decoded: packed at once when the image is not
// interlaced, else merged into the row it belongs to.
void onRow(png_structp png, png_bytep row, png_uint_32 number, int) {
    auto& read = *static_cast<PngRead*>(png_get_progressive_ptr(png));
    if (!row || number >= read.height)
        return;
    if (read.whole) {
        png_progressive_combine_row(png, read.whole + number * read.rowBytes, row);
        return;
    }
    packRow(read, row, number);
    read.rowsPacked = std::max(read.rowsPacked, number + 1);
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
    // libpng takes the bytes as writable but only reads them.
    png_process_data(read.png, read.info, const_cast<png_bytep>(bytes.data()), bytes.size());
    return true;
}

// After the last byte or an error: rows that were never decoded are packed
// as a row of zero bytes would be (the colour key under a tRNS chunk, else
// 0), and an interlaced image is packed whole.
void finishRows(PngRead& read) {
    if (!read.headerTaken)
        return;
    if (read.whole) {
        for (png_uint_32 y = 0; y < read.height; ++y)
            packRow(read, read.whole + y * read.rowBytes, y);
        return;
    }
    auto height = static_cast<png_uint_32>(std::min<std::int64_t>(read.height, read.target.height));
    if (read.rowsPacked >= height)
        return;
    std::uint16_t fill = read.transparency ? pixels::kColourKey : 0;
    auto count = static_cast<std::int32_t>(std::min<png_uint_32>(read.width, read.target.width));
    for (png_uint_32 y = read.rowsPacked; y < height; ++y)
        std::fill_n(read.target.row(static_cast<std::int32_t>(y)), count, fill);
    read.wroteColourKey = read.wroteColourKey || fill == pixels::kColourKey;
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

PngDecoded decodePng(std::span<const std::uint8_t> bytes, const Surface16& target, bool argb4444) {
    if (!target)
        return {};
    PngRead read;
    read.target = target;
    read.argb4444 = argb4444;
    // The version is the installed libpng's own: it checks that the header
    // we were built with matches the library we run with.
    read.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr, allocate,
                                        release);
    if (!read.png)
        return {};
    read.info = png_create_info_struct(read.png);
    if (!read.info)
        return {};
    readRows(read, bytes);
    finishRows(read);
    return PngDecoded{read.wroteColourKey};
}

PngPacking pngPacking() {
#ifdef VORLAX_PNG_BYTE_SHUFFLE
    return byteShuffle.load() ? PngPacking::ByteShuffle : PngPacking::Portable;
#else
    return PngPacking::Portable;
#endif
}

PngPacking usePngPacking(PngPacking packing) {
#ifdef VORLAX_PNG_BYTE_SHUFFLE
    byteShuffle.store(packing == PngPacking::ByteShuffle && processorShuffles());
#else
    (void)packing;
#endif
    return pngPacking();
}

} // namespace platform
