#pragma once

// The promotion data file: a u16 entry count N, N u32 offsets (relative to
// the end of the offset table; N offsets close N - 1 entries), then the
// entries. Little-endian throughout. Strings of the header are one byte per
// character; the texts are UTF-8 of one to three bytes per character.
//
// Entries: 0 the header (languages, page names, the two lists' row names,
// the extra names, the extra flag, the font variant); 1 the texts, one block
// per language; 2 the font (a palette glyph sheet and its glyph records);
// 3 the fourteen screen images; 4 the regular pages' pictures; 5 the
// property page's picture and one picture per language; 6 and 7 the
// pictures of each list's rows but the last; 8 the portal picture and the
// second portal picture of two languages; 9, only with the extra flag, the
// extra page's picture.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace datakit {

// One glyph record: the glyph's code and its box in the glyph sheet.
struct PromoGlyph {
    std::uint16_t code = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint8_t width = 0;
    std::uint8_t height = 0;
};

struct PromoFont {
    // A palette PNG whose palette entry 1 is the ink the screen recolours.
    Bytes sheet;
    std::vector<PromoGlyph> glyphs;
    // The highest code the glyph table holds (at least every glyph's code).
    std::uint16_t highestCode = 0;
};

struct PromoLanguage {
    std::string code;
    // The texts in the screen's numbering, UTF-8; an empty text is allowed.
    std::vector<std::string> texts;
    // The property page's picture in this language.
    Bytes picture;
};

struct PromoModel {
    std::uint16_t version = 1;
    std::string headerText;
    std::vector<PromoLanguage> languages;
    std::vector<std::string> pageNames;
    std::vector<std::string> list0Names;
    std::vector<std::string> list1Names;
    std::vector<std::string> extraNames;
    bool extraPage = false;
    // Empty, or the wide variant's name: glyph rows of 16-bit x and y.
    std::string fontVariant;
    bool wideGlyphRows = false;
    PromoFont font;
    std::vector<Bytes> screenImages; // 14
    std::vector<Bytes> pagePictures; // one per page name
    Bytes propertyPicture;
    std::vector<Bytes> list0Pictures; // one per row name but the last
    std::vector<Bytes> list1Pictures;
    Bytes portalPicture;
    // Empty, or the second portal picture of the two languages that have one.
    Bytes portalLanguagePicture;
    Bytes extraPicture; // written only with `extraPage`
};

// The entries of the file, entry 0 first.
std::vector<Bytes> promoEntries(const PromoModel& model);
// The whole file. Counts and lengths beyond 16 bits are a bug of the caller.
Bytes writePromo(const PromoModel& model);
// The file of `entries` as they are (for files that test the reader itself).
Bytes writePromoEntries(const std::vector<Bytes>& entries);

// A glyph sheet of the characters `codes` (each below 0x10000), rendered
// from the TrueType face at `facePath` at `pixelSize` in rows: palette
// entry 0 transparent, entry 1 the ink (white). A glyph is ink where the
// face covers at least half of a pixel. With `outline` (0xRRGGBB), every
// glyph's box grows by a pixel on each side and the pixels round its ink
// take palette entry 2 in that colour, which the screen's recolouring of
// entry 1 leaves as it is: text in any ink stands out on any ground.
PromoFont renderPromoFont(const std::string& facePath, const std::vector<std::uint16_t>& codes, int pixelSize,
                          std::optional<std::uint32_t> outline = std::nullopt);

} // namespace datakit
