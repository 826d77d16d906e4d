#pragma once

// The promotion screen's step loading: one step per update reads one entry
// of the data file (texts, font, screen images, page and row pictures), then
// the texts are wrapped to their boxes. The byte-level pieces (the text
// decoder, the palette rewrite and its CRC) are pure and fuzzable.

#include "game/promo/PromoScreenStatics.h"
#include "game/promo/PromoText.h"

#include <cstdint>
#include <span>
#include <string>

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game::promo {

// The PNG standard's CRC-32 of `bytes`.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// Decodes UTF-8 of one to three bytes into UTF-16 with ASCII a-z upper-cased.
// A malformed or cut sequence ends the text: the result holds what came
// before it and `complete` is cleared.
std::u16string decodeText(std::span<const std::uint8_t> bytes, bool* complete = nullptr);

// Sets palette entry `index` of the PNG in `png[offset, offset + length)` to
// `rgb` and writes the PLTE chunk's CRC again. False, with nothing written,
// when there is no PLTE chunk in the range or the entry, the chunk or its CRC
// does not lie inside it.
bool rewritePaletteBytes(std::span<std::uint8_t> png, std::int32_t offset, std::int32_t length,
                         std::int32_t index, std::int32_t rgb);
// The same on a guest byte array, then the image decoded from the range (as
// stored when the palette could not be rewritten).
platform::javax_microedition_lcdui_Image* rewritePalette(rt::ByteArray* png, std::int32_t offset,
                                                         std::int32_t length, std::int32_t index,
                                                         std::int32_t rgb);

// One loading step: -1 makes the image tables, 0 opens the file, 1 .. the
// entries; the extra page's step and the closing step as the page table says.
void loadResources(std::int32_t step);
// The select (OK) and back commands, labelled with fixed texts 7 and 8.
void makeCommands();
// Checks and wraps the portal text for painting (null when refused).
void parseTexts();
// Wraps every loaded text to its box.
void layoutTexts();

// Text `i` of the loaded table, the empty string when it has none.
rt::String* getText(std::int32_t i);
// The glyph metrics of the loaded font.
LineMetrics lineMetrics();
// `wrapText` with the loaded font, the language and the line separator;
// fills the line table.
rt::String* wrapText(rt::String* text, std::int32_t maxWidth, std::int32_t maxLines, bool hintFirst);

} // namespace game::promo
