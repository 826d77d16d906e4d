#pragma once

// `FontWriter`: a bitmap font as the game reads one: a sprite whose frames
// are glyphs and the character map that finds a character's glyph frame.
//
// The sprite's layout: module 0 is a blank of size 0 that marks positions;
// every other module is the image of one glyph. Frame 0 holds the line
// metrics as the y offsets of three blanks (the top of a line, its bottom,
// the top of the next line) around the baseline at y = 0; frame 1 is the
// missing glyph; glyph k of the table is frame 2 + k. A glyph frame starts
// with a blank whose x offset is the glyph's advance, followed by the
// glyph's image with its top at -ascent (a space has the blank alone). Pixel
// index 0 is transparent, 1 to L the ink at L grey levels (L is the glyph
// table's `levels`; level L is full ink) and L + 1 the drop shadow; each
// palette gives the ink and the shadow colour, and the levels between are
// blends of the ink over the shadow colour, as text stands on dark panels.
//
// The character map: N buckets, N first pairs (code, frame), then for every
// bucket holding more codes the bucket, its count and the further pairs; a
// bucket without a code gets the pair (-1, 1).

#include "tools/datakit/SpriteWriter.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace datakit {

// One glyph: `width` columns; bit (width - 1 - x) of rows[y] is the pixel
// at column x of row y. A glyph of width 0 draws nothing. A grey glyph
// gives `shades` instead: width x rows levels, row by row, 0 blank to the
// table's `levels` for full ink.
struct GlyphBitmap {
    char16_t code = 0;
    std::uint8_t width = 0;
    std::vector<std::uint32_t> rows;
    std::vector<std::uint8_t> shades;
    std::int8_t left = 0;     // the image's first column from the pen
    std::uint8_t advance = 0; // the pen's move before gap and shadow; 0: `width`
};

struct GlyphTable {
    std::uint8_t height = 0; // rows of every glyph
    std::uint8_t ascent = 0; // rows above the baseline
    std::uint8_t levels = 1; // ink levels of a grey glyph (1 for bit rows)
    std::uint8_t spaceAdvance = 0;
    GlyphBitmap missing;
    // The space, when listed, advances by `spaceAdvance` and draws nothing.
    std::vector<GlyphBitmap> glyphs;
};

struct FontStyle {
    std::uint8_t scale = 1;     // every glyph pixel becomes scale x scale pixels
    bool shadow = false;        // a shadow one pixel right and down of the ink
    std::uint8_t letterGap = 1; // pixels after each glyph
    std::uint8_t lineGap = 2;   // pixels between lines
    // Per palette: the ink and the shadow colour (0xAARRGGBB, opaque).
    std::vector<std::array<std::uint32_t, 2>> palettes = {{0xFFFFFFFFu, 0xFF000000u}};
    std::uint16_t encoding = 0x0400;
    std::int16_t buckets = 16;
};

struct FontData {
    SpriteModel sprite;
    std::vector<std::int16_t> charMap;
};

// The glyph frame of each code is 2 + its index in `table.glyphs`.
FontData buildFont(const GlyphTable& table, const FontStyle& style);

// Map data for (code, frame) pairs in `buckets` buckets, laid out as above.
std::vector<std::int16_t> charMapData(std::span<const std::pair<std::int16_t, std::int16_t>> pairs,
                                      std::int16_t buckets);

// A proportional 5 x 7 font of the printable ASCII characters (32 to 126)
// with a row for descenders below the baseline, drawn for this project.
GlyphTable asciiFont5x7();

// The ink level of `glyph` at column x of row y: 0 outside or blank, up to
// the table's `levels` (1 for bit rows).
std::uint8_t glyphLevel(const GlyphBitmap& glyph, int x, int y);

// The palette colour of ink level `level` out of `levels` (ink blended over
// the shadow colour, rounded per channel).
std::uint32_t inkShade(std::uint32_t ink, std::uint32_t shadow, int level, int levels);

// Glyphs of `codes` from the TrueType face at `fontPath` rendered by
// FreeType at `pixelSize` pixels without hinting, their coverage quantised
// to `levels` ink levels. The table's ascent and height hold every glyph;
// the missing glyph is a box of the capitals' height. Throws
// std::runtime_error when the face will not load.
GlyphTable renderFaceGlyphs(const std::string& fontPath, int pixelSize, std::u16string_view codes,
                            std::uint8_t levels);

} // namespace datakit
