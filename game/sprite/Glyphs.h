#pragma once

// `BitmapFont`: the font object of a sprite that delegates its text to packed
// glyph bits (a few bits per pixel, in one or two colours), and the
// character painters that draw from it. A glyph's index is the position of
// its character in the font's character string.
//
// Pixel i of glyph g (row by row, width x height pixels) is the value
//   (bits[offsets[g] + (i >> byteShift)] >> ((i & pixelInByteMask) << bitShift))
//     & valueMask
// of the signed byte; value 1 is the ink colour, 2 and above the shade
// colour when the font has two colours, else transparent. Offsets and
// widths come with the data: a glyph whose bits reach past the data reads
// the missing bytes as 0, and a glyph is never written past its buffer.
//
// `drawString` (Font.h) paints every character of a delegating sprite
// through `paintChar`. Sprites delegate only where the system-font switch is
// on, which this game's data leaves off, so the game's own texts never reach
// these painters. Game thread only.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class ASprite;

class BitmapFont final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::BitmapFont;

    // Every field 0, false or null.
    BitmapFont()
        : Object(kClassId) {}

    std::int32_t m_glyphHeight = 0;
    std::int32_t m_inkColour = 0;
    std::int32_t m_shadeColour = 0;
    std::int8_t m_twoColour = 0;
    rt::String* m_chars = nullptr;
    // Reused for every glyph painted with drawRGB; grown to the largest glyph.
    rt::IntArray* m_pixelBuffer = nullptr;
    rt::IntArray* m_glyphWidths = nullptr;
    rt::ByteArray* m_bits = nullptr;
    rt::IntArray* m_glyphOffsets = nullptr;
    std::int32_t m_byteShift = 0;
    std::int32_t m_pixelInByteMask = 0;
    std::int32_t m_valueMask = 0;
    std::int32_t m_bitShift = 0;
    std::int32_t m_spaceWidth = 0;
    // The glyph data is present; the painters draw nothing while clear.
    std::int8_t m_loaded = 0;

    // The index of `character` in the character string, -1 when absent.
    std::int32_t glyphIndex(std::int32_t character) const;

    RT_REFERENCE_FIELDS(BitmapFont, Object, m_chars, m_pixelBuffer, m_glyphWidths, m_bits, m_glyphOffsets)
};

struct GlyphStatics {
    // Glyphs are drawn as horizontal runs of lines instead of pixel blocks.
    std::int8_t s_drawGlyphLines = 0;

    RT_NO_REFERENCE_FIELDS(GlyphStatics, rt::NoReferenceBase)
};

GlyphStatics& glyphStatics();

// Fills `out` with the ARGB pixels of `glyph`, row by row, and answers it;
// a new array when `out` is null or shorter than the glyph. A glyph of no
// pixels leaves `out` untouched. Every pixel drawn carries 0x0F000000 too.
rt::IntArray* unpackGlyphPixels(BitmapFont* font, std::int32_t glyph, rt::IntArray* out);

// The advance of `character` in the sprite's font object: the sprite's
// space width for a space, 0 for the separator '|' and for a character the
// font lacks (or a font not loaded), else the glyph's width.
std::int32_t glyphAdvance(const ASprite* font, std::int32_t character);
// Paints `character` of the sprite's font object with its top-left at (x, y)
// and answers its advance (`glyphAdvance`).
std::int32_t paintChar(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, std::int32_t character,
                       std::int32_t x, std::int32_t y);
// The glyph decoded into the font's buffer and drawn with drawRGB.
std::int32_t paintCharRGB(ASprite* font, platform::javax_microedition_lcdui_Graphics* g,
                          std::int32_t character, std::int32_t x, std::int32_t y);
// The glyph drawn as horizontal lines, one per run of a colour in a row.
std::int32_t paintCharLines(ASprite* font, platform::javax_microedition_lcdui_Graphics* g,
                            std::int32_t character, std::int32_t x, std::int32_t y);

} // namespace game
