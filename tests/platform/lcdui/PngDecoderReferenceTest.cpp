// The PNG decoder against the one it replaced, kept here as the reference:
// the same bytes must give the same pixels, bit for bit, and the same
// answer about the colour key as a scan of the reference's pixels, on random
// pictures of every kind, cut or damaged, into targets of any size.

#include "platform/lcdui/PngDecoder.h"
#include "platform/lcdui/pixels.h"
#include "tests/support/PngFixtures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// The previous decoder: every row decoded into a row of its own as 8-bit
// RGB or RGBA (palette images expanded by libpng), then all rows packed.

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
    if (!platform::pngSizeAllowed(width, height))
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
    png_set_user_limits(read.png, platform::kMaxPngSide, platform::kMaxPngSide);
    png_set_expand(read.png);
    // libpng takes the bytes as writable but only reads them.
    png_process_data(read.png, read.info, const_cast<png_bytep>(bytes.data()), bytes.size());
    return true;
}

void packRows(const PngRead& read, const platform::Surface16& target, bool argb4444) {
    auto width = static_cast<std::int32_t>(std::min<png_uint_32>(read.width, target.width));
    auto height = static_cast<std::int32_t>(std::min<png_uint_32>(read.rowCount, target.height));
    for (std::int32_t y = 0; y < height; ++y) {
        const png_byte* source = read.rows[y];
        if (!source)
            break;
        std::uint16_t* destination = target.row(y);
        if (read.transparency) {
            for (std::int32_t x = 0; x < width; ++x, source += 4) {
                destination[x] =
                    source[3] ? platform::pixels::rgb888To565(source[0] << 16 | source[1] << 8 | source[2])
                              : platform::pixels::kColourKey;
            }
        } else if (argb4444) {
            for (std::int32_t x = 0; x < width; ++x, source += 4) {
                destination[x] = static_cast<std::uint16_t>((source[3] >> 4) << 12 | (source[0] >> 4) << 8 |
                                                            (source[1] >> 4) << 4 | source[2] >> 4);
            }
        } else {
            for (std::int32_t x = 0; x < width; ++x, source += 3)
                destination[x] = platform::pixels::rgb888To565(source[0] << 16 | source[1] << 8 | source[2]);
        }
    }
}

void referenceDecodePng(std::span<const std::uint8_t> bytes, const platform::Surface16& target,
                        bool argb4444) {
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

using testing_support::channelsOf;
using testing_support::PngColour;
using testing_support::PngPicture;

struct RandomCase {
    PngPicture picture;
    std::vector<std::uint8_t> bytes;
    std::int32_t targetWidth = 0;
    std::int32_t targetHeight = 0;
    std::int32_t pitch = 0;
    bool argb4444 = false;
    std::string description;
};

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The file with its PLTE chunk cut to the first `entries` colours (libpng
// writes no index past its palette, but files may hold them).
std::vector<std::uint8_t> withShorterPalette(const std::vector<std::uint8_t>& bytes, int entries) {
    std::vector<std::uint8_t> out(bytes.begin(), bytes.begin() + 8);
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        std::uint32_t length = static_cast<std::uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
                               bytes[at + 2] << 8 | bytes[at + 3];
        std::vector<std::uint8_t> chunk(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        if (std::equal(chunk.begin(), chunk.begin() + 4, "PLTE"))
            chunk.resize(4 + static_cast<std::size_t>(entries) * 3);
        auto newLength = static_cast<std::uint32_t>(chunk.size() - 4);
        std::uint32_t crc = crc32(chunk.data(), chunk.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(newLength >> shift));
        out.insert(out.end(), chunk.begin(), chunk.end());
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(crc >> shift));
        at += 12 + length;
    }
    return out;
}

RandomCase randomCase(std::mt19937& random) {
    auto below = [&](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
    RandomCase c;
    PngPicture& p = c.picture;
    static constexpr PngColour kColours[] = {PngColour::Grey,     PngColour::GreyAlpha, PngColour::Rgb,
                                             PngColour::RgbAlpha, PngColour::Palette,   PngColour::Palette};
    p.colour = kColours[below(6)];
    static constexpr int kGreyDepths[] = {1, 2, 4, 8, 16};
    static constexpr int kPaletteDepths[] = {1, 2, 4, 8, 8};
    p.bitDepth = p.colour == PngColour::Grey      ? kGreyDepths[below(5)]
                 : p.colour == PngColour::Palette ? kPaletteDepths[below(5)]
                                                  : (below(4) == 0 ? 16 : 8);
    p.width = 1 + below(below(4) == 0 ? 70 : 20);
    p.height = 1 + below(below(4) == 0 ? 50 : 15);
    p.interlaced = below(4) == 0;
    const int channels = channelsOf(p.colour);
    const std::uint32_t limit = 1u << p.bitDepth;
    const std::size_t count = static_cast<std::size_t>(p.width * p.height * channels);
    int shortPalette = 0;
    if (p.colour == PngColour::Palette) {
        // Fewer entries than the depth allows, now and then with indices past
        // them, and tRNS alphas that may outnumber them.
        int entries = 1 + below(static_cast<int>(std::min<std::uint32_t>(limit, 256)));
        bool pastPalette = below(4) == 0;
        if (pastPalette) {
            shortPalette = entries;
            entries = static_cast<int>(limit);
        }
        for (int i = 0; i < entries; ++i) {
            bool magenta = below(5) == 0;
            p.palette.push_back({static_cast<std::uint8_t>(magenta ? 255 : random()),
                                 static_cast<std::uint8_t>(magenta ? 0 : random()),
                                 static_cast<std::uint8_t>(magenta ? 255 : random())});
        }
        for (std::size_t i = 0; i < count; ++i)
            p.samples.push_back(static_cast<std::uint16_t>(random() % static_cast<std::uint32_t>(entries)));
        if (below(2) == 0) {
            int alphas = 1 + below(entries);
            for (int i = 0; i < alphas; ++i) {
                int kind = below(3);
                p.paletteAlpha.push_back(static_cast<std::uint8_t>(kind == 0   ? 0
                                                                   : kind == 1 ? 255
                                                                               : random()));
            }
        }
    } else {
        for (std::size_t i = 0; i < count; ++i)
            p.samples.push_back(static_cast<std::uint16_t>(random() % limit));
        // Magenta pixels, which the 565 packing turns into the key's value.
        if (p.colour == PngColour::Rgb || p.colour == PngColour::RgbAlpha) {
            for (std::size_t i = 0; i + channels <= count; i += static_cast<std::size_t>(channels)) {
                if (below(8) == 0) {
                    p.samples[i] = static_cast<std::uint16_t>(limit - 1);
                    p.samples[i + 1] = 0;
                    p.samples[i + 2] = static_cast<std::uint16_t>(limit - 1);
                }
            }
        }
        // A transparent colour taken from one of the pixels.
        if ((p.colour == PngColour::Grey || p.colour == PngColour::Rgb) && below(3) == 0) {
            std::size_t at = static_cast<std::size_t>(below(p.width * p.height) * channels);
            p.transparentColour = std::array<std::uint16_t, 3>{
                p.samples[at], p.colour == PngColour::Rgb ? p.samples[at + 1] : std::uint16_t{0},
                p.colour == PngColour::Rgb ? p.samples[at + 2] : std::uint16_t{0}};
        }
    }
    c.bytes = testing_support::encodePng(p);
    if (shortPalette)
        c.bytes = withShorterPalette(c.bytes, shortPalette);
    c.description = "colour " + std::to_string(static_cast<int>(p.colour)) + " depth " +
                    std::to_string(p.bitDepth) + " " + std::to_string(p.width) + "x" +
                    std::to_string(p.height) + (p.interlaced ? " interlaced" : "") +
                    (p.paletteAlpha.empty() ? "" : " tRNS") + (p.transparentColour ? " key colour" : "") +
                    (shortPalette ? " palette cut to " + std::to_string(shortPalette) : "");
    // Whole, cut short, or with a damaged byte after the header.
    int damage = below(10);
    if (damage < 2) {
        c.bytes.resize(33 + static_cast<std::size_t>(below(static_cast<int>(c.bytes.size()) - 33)));
        c.description += " cut to " + std::to_string(c.bytes.size());
    } else if (damage == 2) {
        std::size_t at = 33 + static_cast<std::size_t>(below(static_cast<int>(c.bytes.size()) - 33));
        c.bytes[at] ^= static_cast<std::uint8_t>(1 + below(255));
        c.description += " damaged at " + std::to_string(at);
    }
    // Usually the picture's own size, as the chunk scan gives it.
    bool ownSize = below(3) != 0;
    c.targetWidth = ownSize ? p.width : 1 + below(80);
    c.targetHeight = ownSize ? p.height : 1 + below(60);
    c.pitch = c.targetWidth + below(3);
    c.argb4444 = p.colour == PngColour::RgbAlpha ? below(4) != 0 : below(4) == 0;
    c.description += c.argb4444 ? " argb4444" : "";
    return c;
}

// Each way of packing rows the processor can run, in turn; the one in use
// before is restored at the end.
struct EachPacking {
    platform::PngPacking before = platform::pngPacking();
    std::vector<platform::PngPacking> packings;
    EachPacking() {
        for (platform::PngPacking packing :
             {platform::PngPacking::Portable, platform::PngPacking::ByteShuffle}) {
            if (platform::usePngPacking(packing) == packing)
                packings.push_back(packing);
        }
    }
    ~EachPacking() { platform::usePngPacking(before); }
    std::string use(platform::PngPacking packing) const {
        platform::usePngPacking(packing);
        return packing == platform::PngPacking::Portable ? "portable packing" : "byte-shuffle packing";
    }
};

TEST(PngDecoder, GivesThePreviousDecodersPixelsOnRandomPicturesOfEveryKind) {
    EachPacking each;
    ASSERT_FALSE(each.packings.empty());
    for (platform::PngPacking packing : each.packings) {
        SCOPED_TRACE(each.use(packing));
        std::mt19937 random(19);
        constexpr std::uint16_t kUntouched = 0x1234;
        int keyed = 0;
        for (int round = 0; round < 600; ++round) {
            RandomCase c = randomCase(random);
            SCOPED_TRACE("round " + std::to_string(round) + ": " + c.description);
            auto size = static_cast<std::size_t>(c.pitch) * static_cast<std::size_t>(c.targetHeight);
            std::vector<std::uint16_t> expected(size, kUntouched);
            std::vector<std::uint16_t> actual(size, kUntouched);
            referenceDecodePng(c.bytes,
                               platform::Surface16{expected.data(), c.pitch, c.targetWidth, c.targetHeight},
                               c.argb4444);
            platform::PngDecoded decoded = platform::decodePng(
                c.bytes, platform::Surface16{actual.data(), c.pitch, c.targetWidth, c.targetHeight},
                c.argb4444);
            ASSERT_EQ(actual, expected);
            bool expectedKey =
                std::find(expected.begin(), expected.end(), platform::pixels::kColourKey) != expected.end();
            EXPECT_EQ(decoded.wroteColourKey, expectedKey);
            keyed += expectedKey;
        }
        // The cases reach both answers often.
        EXPECT_GT(keyed, 100);
        EXPECT_LT(keyed, 500);
    }
}

// The colour-key answer must come from every pixel of a row, whichever part
// of the packing wrote it: one pixel packing to the key's value, at each
// position of rows of many widths, among random pixels that never do (red
// below 0xF8, the other channels at least 0x20). Packed plain RGB (magenta),
// through a transparent colour (alpha 0) and as ARGB4444 (0xF81F, a nearly
// opaque magenta).
TEST(PngDecoder, FindsTheOnlyColourKeyPixelAtEveryPositionOfARow) {
    struct Kind {
        const char* name;
        PngColour colour;
        bool transparentColour;
        bool argb4444;
        std::array<std::uint16_t, 4> key;
    };
    static constexpr Kind kKinds[] = {
        {"rgb", PngColour::Rgb, false, false, {255, 3, 250, 255}},
        {"rgb with a transparent colour", PngColour::Rgb, true, false, {1, 2, 3, 255}},
        {"rgba as argb4444", PngColour::RgbAlpha, false, true, {0x8F, 0x10, 0xF0, 0xF5}},
    };
    EachPacking each;
    for (platform::PngPacking packing : each.packings) {
        SCOPED_TRACE(each.use(packing));
        std::mt19937 random(23);
        for (const Kind& kind : kKinds) {
            for (std::int32_t width : {1, 2, 7, 8, 9, 10, 15, 16, 17, 18, 31, 33, 64}) {
                // Position `width` stands for a row without the key.
                for (std::int32_t at = 0; at <= width; ++at) {
                    SCOPED_TRACE(std::string(kind.name) + ", width " + std::to_string(width) + ", key at " +
                                 std::to_string(at));
                    PngPicture p;
                    p.width = width;
                    p.height = 2;
                    p.colour = kind.colour;
                    const int channels = channelsOf(p.colour);
                    for (std::int32_t i = 0; i < width * 2; ++i) {
                        for (int channel = 0; channel < channels; ++channel)
                            p.samples.push_back(static_cast<std::uint16_t>(
                                channel == 0 ? random() % 0xF8 : 0x20 + random() % 0xE0));
                    }
                    if (at < width) {
                        std::size_t first = static_cast<std::size_t>((width + at) * channels);
                        std::copy_n(kind.key.begin(), channels,
                                    p.samples.begin() + static_cast<std::ptrdiff_t>(first));
                    }
                    if (kind.transparentColour)
                        p.transparentColour =
                            std::array<std::uint16_t, 3>{kind.key[0], kind.key[1], kind.key[2]};
                    std::vector<std::uint8_t> bytes = testing_support::encodePng(p);
                    std::vector<std::uint16_t> expected(static_cast<std::size_t>(width * 2));
                    std::vector<std::uint16_t> actual(expected.size());
                    referenceDecodePng(bytes, platform::Surface16{expected.data(), width, width, 2},
                                       kind.argb4444);
                    platform::PngDecoded decoded = platform::decodePng(
                        bytes, platform::Surface16{actual.data(), width, width, 2}, kind.argb4444);
                    ASSERT_EQ(actual, expected);
                    EXPECT_EQ(decoded.wroteColourKey, at < width);
                    EXPECT_EQ(std::count(expected.begin(), expected.end(), platform::pixels::kColourKey),
                              at < width);
                }
            }
        }
    }
}

} // namespace
