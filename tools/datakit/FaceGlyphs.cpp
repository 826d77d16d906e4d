// Glyph tables rendered from a TrueType face by FreeType. Hinting is off so
// that the shapes depend only on the face and the size, and the coverage is
// quantised to a few levels so that a glyph fits a small palette.

#include "tools/datakit/FontWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <stdexcept>

namespace datakit {

namespace {

struct Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Library() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

// One rendered glyph before it is placed in the table's rows.
struct Rendered {
    char16_t code = 0;
    int left = 0;
    int top = 0; // rows above the baseline
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> levels;
};

} // namespace

GlyphTable renderFaceGlyphs(const std::string& fontPath, int pixelSize, std::u16string_view codes,
                            std::uint8_t levels) {
    Library ft;
    if (FT_Init_FreeType(&ft.library) != 0 || FT_New_Face(ft.library, fontPath.c_str(), 0, &ft.face) != 0 ||
        FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
        throw std::runtime_error("cannot load the face " + fontPath);
    levels = std::max<std::uint8_t>(levels, 1);

    std::vector<Rendered> rendered;
    int ascent = 0;
    int descent = 0;
    for (char16_t code : codes) {
        if (FT_Load_Char(ft.face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_NORMAL) != 0)
            throw std::runtime_error("the face " + fontPath + " has no glyph " + std::to_string(code));
        const FT_GlyphSlot slot = ft.face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0)
            throw std::runtime_error("FreeType rendered a glyph without grey levels");
        Rendered glyph{.code = code,
                       .left = slot->bitmap_left,
                       .top = slot->bitmap_top,
                       .width = static_cast<int>(bitmap.width),
                       .rows = static_cast<int>(bitmap.rows),
                       .advance = static_cast<int>((slot->advance.x + 32) >> 6),
                       .levels = {}};
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x) {
                const unsigned coverage = bitmap.buffer[y * bitmap.pitch + x];
                glyph.levels.push_back(static_cast<std::uint8_t>((coverage * levels + 127) / 255));
            }
        // Rows whose coverage all rounds to blank are dropped, so that the
        // line is no taller than the ink it shows.
        auto blankRow = [&glyph](int y) {
            const auto row = glyph.levels.begin() + static_cast<std::ptrdiff_t>(y) * glyph.width;
            return std::all_of(row, row + glyph.width, [](std::uint8_t level) { return level == 0; });
        };
        while (glyph.rows > 0 && blankRow(glyph.rows - 1))
            glyph.levels.resize(static_cast<std::size_t>(--glyph.rows) *
                                static_cast<std::size_t>(glyph.width));
        while (glyph.rows > 0 && blankRow(0)) {
            glyph.levels.erase(glyph.levels.begin(), glyph.levels.begin() + glyph.width);
            --glyph.rows;
            --glyph.top;
        }
        if (glyph.rows > 0) {
            ascent = std::max(ascent, glyph.top);
            descent = std::max(descent, glyph.rows - glyph.top);
        }
        rendered.push_back(std::move(glyph));
    }

    GlyphTable table;
    table.levels = levels;
    table.ascent = static_cast<std::uint8_t>(ascent);
    table.height = static_cast<std::uint8_t>(ascent + descent);
    table.spaceAdvance = static_cast<std::uint8_t>(std::max(1, pixelSize / 4));
    for (const Rendered& r : rendered) {
        GlyphBitmap glyph{.code = r.code,
                          .width = static_cast<std::uint8_t>(r.width),
                          .rows = {},
                          .shades = {},
                          .left = static_cast<std::int8_t>(r.left),
                          .advance = static_cast<std::uint8_t>(std::max(r.advance, 1))};
        if (r.code == u' ')
            table.spaceAdvance = glyph.advance;
        if (r.width > 0 && r.rows > 0) {
            glyph.shades.assign(static_cast<std::size_t>(r.width) * table.height, 0);
            for (int y = 0; y < r.rows; ++y)
                for (int x = 0; x < r.width; ++x)
                    glyph.shades[static_cast<std::size_t>(ascent - r.top + y) * r.width +
                                 static_cast<std::size_t>(x)] =
                        r.levels[static_cast<std::size_t>(y) * r.width + static_cast<std::size_t>(x)];
        } else {
            glyph.width = 0;
        }
        table.glyphs.push_back(std::move(glyph));
    }

    // The missing glyph: an outlined box as tall as the capitals.
    const int boxHeight = std::max(3, static_cast<int>(ft.face->size->metrics.ascender >> 6) * 3 / 4);
    const int boxWidth = std::max(3, pixelSize / 2);
    GlyphBitmap& missing = table.missing;
    missing.width = static_cast<std::uint8_t>(boxWidth);
    missing.left = 1;
    missing.advance = static_cast<std::uint8_t>(boxWidth + 2);
    missing.shades.assign(static_cast<std::size_t>(boxWidth) * table.height, 0);
    for (int y = ascent - boxHeight; y < ascent; ++y)
        for (int x = 0; x < boxWidth; ++x)
            if (y >= 0 && (x == 0 || x == boxWidth - 1 || y == ascent - boxHeight || y == ascent - 1))
                missing.shades[static_cast<std::size_t>(y) * boxWidth + static_cast<std::size_t>(x)] = levels;
    return table;
}

} // namespace datakit
