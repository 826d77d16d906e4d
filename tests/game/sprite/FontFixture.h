#pragma once

// What the font tests share: a tiny glyph table written out here, the font
// sprite datakit makes of it (loaded, with its character map), and a model
// that puts the table's glyph pixels where a text must show them.
//
// The table: 'A' (2 wide), 'B' (3 wide), '_' (3 wide, bottom row), '|'
// and the missing glyph (1 wide, full height), all 3 rows tall on the
// baseline, one pixel apart; the space advances 2. Palette p inks in
// kInks[p].

#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "tests/game/sprite/PaintFixture.h"
#include "tools/datakit/FontWriter.h"

#include <map>
#include <sstream>
#include <string>

namespace sprite_testing {

inline constexpr std::uint32_t kInks[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
inline constexpr std::int32_t kLineGap = 2;
inline constexpr std::int32_t kSpace = 2;
inline constexpr std::int32_t kGlyphRows = 3;

inline datakit::GlyphTable tinyGlyphs() {
    datakit::GlyphTable table{
        .height = kGlyphRows,
        .ascent = kGlyphRows,
        .levels = 1,
        .spaceAdvance = kSpace,
        .missing = {.code = 0, .width = 1, .rows = {1, 1, 1}, .shades = {}, .left = 0, .advance = 0},
        .glyphs = {}};
    table.glyphs = {
        {.code = u' ', .width = 0, .rows = {}, .shades = {}, .left = 0, .advance = 0},
        {.code = u'A', .width = 2, .rows = {0b10, 0b11, 0b10}, .shades = {}, .left = 0, .advance = 0},
        {.code = u'B', .width = 3, .rows = {0b111, 0b100, 0b001}, .shades = {}, .left = 0, .advance = 0},
        {.code = u'_', .width = 3, .rows = {0b000, 0b000, 0b111}, .shades = {}, .left = 0, .advance = 0},
        {.code = u'|', .width = 1, .rows = {1, 0, 1}, .shades = {}, .left = 0, .advance = 0},
    };
    return table;
}

inline datakit::FontData tinyFontData(std::int16_t buckets = 3) {
    datakit::FontStyle style;
    for (std::uint32_t ink : kInks)
        style.palettes.push_back({ink, 0xFF000000u});
    style.palettes.erase(style.palettes.begin());
    style.lineGap = kLineGap;
    style.buckets = buckets;
    return datakit::buildFont(tinyGlyphs(), style);
}

inline rt::ShortArray* shortArray(const std::vector<std::int16_t>& values) {
    rt::ShortArray* array = rt::newShortArray(static_cast<std::int32_t>(values.size()));
    std::ranges::copy(values, rt::ShortArray::span(array).begin());
    return array;
}

inline game::ASprite* loadTinyFont() {
    datakit::FontData data = tinyFontData();
    game::ASprite* font = loadSprite(datakit::writeSprite(data.sprite));
    game::buildCharMap(font, shortArray(data.charMap));
    return font;
}

inline rt::String* str(const std::u16string& text) {
    return rt::make<rt::String>(std::u16string_view(text));
}

// The pixels a text must show, drawn from the glyph table alone.
class TextModel {
public:
    explicit TextModel(std::int32_t width = 64, std::int32_t height = 64)
        : m_width(width)
        , m_height(height)
        , m_pixels(static_cast<std::size_t>(width * height), 0) {
        for (const datakit::GlyphBitmap& glyph : tinyGlyphs().glyphs)
            m_glyphs[glyph.code] = glyph;
    }

    static std::int32_t advance(const datakit::GlyphBitmap& glyph) {
        return glyph.code == u' ' ? kSpace : glyph.width + 1;
    }
    const datakit::GlyphBitmap& glyph(char16_t code) const {
        static const datakit::GlyphBitmap missing = tinyGlyphs().missing;
        auto found = m_glyphs.find(code);
        return found == m_glyphs.end() ? missing : found->second;
    }

    // Draws `text` (codes: newline, \^ bold, \_ underline, \d palette) with
    // the anchor's bits 1, 2, 8 and 32 placing the block.
    void draw(const std::u16string& text, std::int32_t x, std::int32_t y, std::int32_t anchor,
              std::int32_t palette = 0) {
        std::int32_t widest = 0, width = 0, lines = 1;
        bool bold = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\n') {
                widest = std::max(widest, width);
                width = 0;
                ++lines;
            } else if (text[i] == u'\\') {
                bold ^= text[++i] == u'^';
            } else {
                width += advance(glyph(text[i])) + (bold && text[i] != u' ' ? 1 : 0);
            }
        }
        widest = std::max(widest, width);
        const std::int32_t height = lines * kGlyphRows + (lines - 1) * kLineGap;
        x -= (anchor & 8) ? widest : (anchor & 1) ? widest >> 1 : 0;
        y -= (anchor & 32) ? height : (anchor & 2) ? height >> 1 : 0;
        std::int32_t penX = x;
        bool underline = false;
        bold = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c == u'\n') {
                penX = x;
                y += kGlyphRows + kLineGap;
                continue;
            }
            if (c == u'\\') {
                const char16_t d = text[++i];
                if (d == u'^')
                    bold = !bold;
                else if (d == u'_')
                    underline = !underline;
                else if (d >= u'0' && d < u'0' + 4)
                    palette = d - u'0';
                continue;
            }
            const datakit::GlyphBitmap& g = glyph(c);
            const std::int32_t step = advance(g);
            const datakit::GlyphBitmap& under = glyph(u'_');
            if (c != u' ')
                put(g, penX, y, palette);
            if (underline)
                put(under, penX + ((step - advance(under)) >> 1), y, palette);
            if (bold && c != u' ')
                put(g, ++penX, y, palette);
            penX += step;
        }
    }

    std::vector<std::uint16_t> pixels() const { return m_pixels; }

private:
    void put(const datakit::GlyphBitmap& glyph, std::int32_t x, std::int32_t y, std::int32_t palette) {
        for (std::int32_t row = 0; row < static_cast<std::int32_t>(glyph.rows.size()); ++row)
            for (std::int32_t col = 0; col < glyph.width; ++col)
                if ((glyph.rows[row] >> (glyph.width - 1 - col)) & 1) {
                    const std::int32_t px = x + col, py = y + row;
                    if (px >= 0 && py >= 0 && px < m_width && py < m_height)
                        m_pixels[static_cast<std::size_t>(py * m_width + px)] = on565(kInks[palette]);
                }
    }

    std::int32_t m_width;
    std::int32_t m_height;
    std::vector<std::uint16_t> m_pixels;
    std::map<char16_t, datakit::GlyphBitmap> m_glyphs;
};

// Rows of '.' and the palette digit of each ink, for a readable mismatch.
inline std::string picture(const std::vector<std::uint16_t>& pixels, std::int32_t width) {
    std::ostringstream out;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        char c = pixels[i] == 0 ? '.' : '?';
        for (std::size_t p = 0; p < std::size(kInks); ++p)
            if (pixels[i] == on565(kInks[p]))
                c = static_cast<char>('0' + p);
        out << c;
        if ((i + 1) % static_cast<std::size_t>(width) == 0)
            out << '\n';
    }
    return out.str();
}

struct FontTest : PaintTest {
    game::ASprite* font = nullptr;

    FontTest() { font = loadTinyFont(); }
};

} // namespace sprite_testing
