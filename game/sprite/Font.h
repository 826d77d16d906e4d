#pragma once

// Bitmap-font text: a font is an `ASprite` whose frames are glyphs. Frame 0
// holds the line metrics in the y offsets of its first three frame-modules
// (the top of a line, its bottom, the top of the next line); frame 1 is the
// glyph of every character the map lacks; the x offset of a glyph frame's
// first frame-module is the glyph's advance. A character map, built from a
// short array of the font pack, turns a 16-bit character code into a glyph
// frame through buckets of (code, frame) pairs, a code belonging to bucket
// code mod N.
//
// Text codes, the same for measuring, drawing and line breaking:
//   10        next line
//   32        space (the underscore glyph centred in it while underlining)
//   1, p      palette p (255: the palette saved when the draw began)
//   2, n      glyph frame n itself
//   < 32      any other: skipped
//   \^  \_    bold and underline toggled
//   \d        palette d - 48 (ignored when it is no palette of the sprite)
// A code that takes a parameter as the last character of the range ends the
// range: nothing past the text is read.
//
// A sprite that delegates its text to a `BitmapFont` (Glyphs.h; none does in
// this game's data) maps every character to itself and draws it through
// `paintChar`.
//
// Results go to statics (`FontStatics`); the range statics `s_textStart`,
// `s_textEnd` and `s_textLimit` of SpriteStatics.h (-1: not set) narrow what
// is measured and drawn. Both are cut to the text, so no setting of them
// reads outside it. Game thread only; nothing here allocates.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class ASprite;

struct FontStatics {
    // Width of the widest line and height of the last measured text.
    std::int32_t s_textWidth = 0;
    std::int32_t s_textHeight = 0;
    // The palette a draw with `keepPalette` (or a text box) started with;
    // text code 1, 255 goes back to it.
    std::int32_t s_savedPalette = 0;
    // The shared result of `computeLineBreaks` (TextLayout.h).
    rt::ShortArray* s_lineBreaks = nullptr;

    RT_REFERENCE_FIELDS(FontStatics, rt::NoReferenceBase, s_lineBreaks)
};

FontStatics& fontStatics();

// Builds the sprite's character map from the map data (N, N first pairs,
// then runs of bucket, count, pairs) and updates the metrics. A map with
// no buckets, fewer entries than its first pairs need, or a first pair whose
// glyph is not one of the sprite's frames is rejected: the sprite keeps no
// map and every character shows glyph 1. A run naming a bucket outside
// 0..N-1, a count that reaches past the data or a glyph that is not a frame
// stops the reading there; what was read stays. Each fault logs one line. A null
// sprite is reported; a delegating sprite is left alone.
void buildCharMap(ASprite* font, rt::ShortArray* map);
// Line metrics from frame 0 and the space width from the space's glyph.
void updateFontMetrics(ASprite* font);
void updateLineHeight(ASprite* font);
void updateLineSpacing(ASprite* font);
void updateSpaceWidth(ASprite* font);

// Glyph frame of character `code`; 1 when the map lacks it or there is no map.
std::int32_t getCharIndex(const ASprite* font, std::int32_t code);
// Advance of glyph frame `glyph` (of character `glyph` in a delegating
// sprite's font object).
std::int32_t getCharWidth(const ASprite* font, std::int32_t glyph);

// Measures `text` (or `chars` when it is null) into `s_textWidth` and
// `s_textHeight`: the widest line, and n line heights plus n - 1 line
// spacings for n lines. Both null: the results keep their values. The
// sprite's bold switch is read, not changed.
void measureString(ASprite* font, rt::String* text, rt::CharArray* chars);
// Draws `text` (or `chars`) with the pen's top-left at (x, y) moved by the
// anchor (right or centre by the measured width, bottom or centre by the
// height); every line starts at the anchored x. Glyphs paint in the current
// palette; text codes change the palette and the bold and underline
// switches of the sprite, which stay as the text leaves them, except the
// palette with `keepPalette`, which is put back at the end.
void drawString(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, rt::String* text,
                rt::CharArray* chars, std::int32_t x, std::int32_t y, std::int32_t anchor, bool keepPalette);
inline void drawText(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, rt::String* text,
                     std::int32_t x, std::int32_t y, std::int32_t anchor, bool keepPalette) {
    drawString(font, g, text, nullptr, x, y, anchor, keepPalette);
}

// Builds the character map of font `fontSlot` of the font table from the
// short array at `entry` of the open pack. A font slot without a sprite, or
// an entry that is no short array, logs one line (the latter leaves the
// font without a map).
void loadCharMap(std::int32_t fontSlot, std::int32_t entry);

} // namespace game
