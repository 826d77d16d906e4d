#include "host/text/FreeTypeText.h"

#include "host/Log.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace host {

namespace {

// Calls `visit(codePoint)` for each character of one line of text.
template <class Visit>
void forEachCharacter(std::u16string_view text, Visit&& visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            visit(U'\uFFFD');
        } else if (unit >= 0x20 && (unit < 0x7F || unit > 0x9F)) {
            visit(unit);
        }
    }
}

// `over` laid on `under` with `coverage` out of 255, per 8-bit channel, rounded.
std::uint32_t mix(std::uint32_t under, std::uint32_t over, unsigned coverage) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned a = (under >> shift) & 0xFF;
        unsigned b = (over >> shift) & 0xFF;
        result |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    return result;
}

} // namespace

struct FreeTypeText::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FontMetrics metrics;

    ~Face() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    // The hinted advance of `codePoint` in whole pixels; 0 when it will not load.
    int advance(char32_t codePoint) {
        if (FT_Load_Char(face, codePoint, FT_LOAD_DEFAULT) != 0)
            return 0;
        return static_cast<int>(face->glyph->advance.x >> 6);
    }
};

FreeTypeText::FreeTypeText(const std::string& fontPath, int pixelSize) {
    auto face = std::make_unique<Face>();
    int error = FT_Init_FreeType(&face->library);
    if (error == 0)
        error = FT_New_Face(face->library, fontPath.c_str(), 0, &face->face);
    if (error == 0)
        error = FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(pixelSize));
    if (error != 0) {
        logf(LogCategory::Host, "text: cannot load the system font %s (FreeType error %d); text is not drawn",
             fontPath.c_str(), error);
        return;
    }
    const FT_Size_Metrics& size = face->face->size->metrics;
    face->metrics.ascent = static_cast<int>((size.ascender + 63) >> 6);
    face->metrics.height = face->metrics.ascent + static_cast<int>((-size.descender + 63) >> 6);
    m_face = std::move(face);
}

FreeTypeText::~FreeTypeText() = default;

std::optional<FontMetrics> FreeTypeText::metrics() {
    std::lock_guard lock(m_lock);
    if (!m_face)
        return std::nullopt;
    return m_face->metrics;
}

int FreeTypeText::measure(std::u16string_view text) {
    std::lock_guard lock(m_lock);
    if (!m_face)
        return 0;
    int width = 0;
    forEachCharacter(text, [&](char32_t codePoint) { width += m_face->advance(codePoint); });
    return width;
}

bool FreeTypeText::render(std::u16string_view text, std::uint32_t foreground, std::uint32_t background,
                          std::span<std::uint32_t> pixels, int width, int height) {
    std::lock_guard lock(m_lock);
    if (!m_face || width < 0 || height < 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return false;
    std::fill_n(pixels.begin(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                background & 0xFFFFFF);
    foreground &= 0xFFFFFF;
    FT_Face face = m_face->face;
    int penX = 0;
    forEachCharacter(text, [&](char32_t codePoint) {
        if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            return;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            int left = penX + face->glyph->bitmap_left;
            int top = m_face->metrics.ascent - face->glyph->bitmap_top;
            for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
                int y = top + row;
                if (y < 0 || y >= height)
                    continue;
                const unsigned char* coverage =
                    bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
                for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
                    int x = left + column;
                    if (x < 0 || x >= width || coverage[column] == 0)
                        continue;
                    std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * width + x];
                    pixel = mix(pixel, foreground, coverage[column]);
                }
            }
        }
        penX += static_cast<int>(face->glyph->advance.x >> 6);
    });
    return true;
}

} // namespace host
