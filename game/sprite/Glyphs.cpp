#include "game/sprite/Glyphs.h"

#include "game/sprite/ASprite.h"
#include "game/sprite/TransformBlit.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <algorithm>

namespace game {

namespace {

constexpr std::int32_t kSeparator = '|';
constexpr std::int32_t kDrawnBits = 0x0F000000;

// The loaded font object of a delegating sprite; null when there is none.
BitmapFont* bitmapFontOf(const ASprite* font) {
    if (!font) {
        rt::reportNullPointer();
        return nullptr;
    }
    rt::Object* object = font->m_systemFont;
    if (!object || object->classId() != BitmapFont::kClassId)
        return nullptr;
    auto* bitmapFont = static_cast<BitmapFont*>(object);
    return bitmapFont->m_loaded ? bitmapFont : nullptr;
}

struct Glyph {
    BitmapFont* font = nullptr;
    std::int32_t index = -1;
    std::int32_t width = 0;
};

// The glyph's pixels in the font's buffer; null when the glyph could not be
// unpacked (a glyph too large for any buffer leaves the buffer as it was).
rt::IntArray* unpackIntoBuffer(const Glyph& glyph) {
    BitmapFont* font = glyph.font;
    font->m_pixelBuffer = unpackGlyphPixels(font, glyph.index, font->m_pixelBuffer);
    const std::int64_t pixels = static_cast<std::int64_t>(glyph.width) * font->m_glyphHeight;
    if (!font->m_pixelBuffer || pixels <= 0 || font->m_pixelBuffer->length() < pixels)
        return nullptr;
    return font->m_pixelBuffer;
}

Glyph findGlyph(const ASprite* sprite, std::int32_t character) {
    BitmapFont* font = bitmapFontOf(sprite);
    if (!font)
        return {};
    const std::int32_t index = font->glyphIndex(character & 0xFFFF);
    if (index < 0)
        return {};
    return {font, index, rt::IntArray::get(font->m_glyphWidths, index)};
}

} // namespace

GlyphStatics& glyphStatics() {
    return rt::getStaticClass().statics<GlyphStatics>();
}

std::int32_t BitmapFont::glyphIndex(std::int32_t character) const {
    return m_chars ? m_chars->indexOf(character) : -1;
}

rt::IntArray* unpackGlyphPixels(BitmapFont* font, std::int32_t glyph, rt::IntArray* out) {
    if (!font) {
        rt::reportNullPointer();
        return out;
    }
    const std::int64_t pixels =
        static_cast<std::int64_t>(rt::IntArray::get(font->m_glyphWidths, glyph)) * font->m_glyphHeight;
    if (pixels <= 0)
        return out;
    if (pixels > ASprite::kMaxModulePixels) {
        rt::reportRuntimeError("unpackGlyphPixels: glyph %d of %lld pixels is too large", glyph,
                               static_cast<long long>(pixels));
        return out;
    }
    const auto n = static_cast<std::int32_t>(pixels);
    if (!out || out->length() < n)
        out = rt::newIntArray(n);
    const std::int64_t first = rt::IntArray::get(font->m_glyphOffsets, glyph);
    const auto bits = rt::ByteArray::span(font->m_bits);
    const auto target = rt::IntArray::span(out, 0, n);
    const std::int32_t byteShift = font->m_byteShift & 31;
    const std::int32_t bitShift = font->m_bitShift & 31;
    const std::int32_t ink = font->m_inkColour | kDrawnBits;
    const std::int32_t shade = font->m_twoColour ? (font->m_shadeColour | kDrawnBits) : 0;
    for (std::int32_t i = n - 1; i >= 0; --i) {
        const std::int64_t at = first + (i >> byteShift);
        const std::int32_t byte = at >= 0 && at < static_cast<std::int64_t>(bits.size()) ? bits[at] : 0;
        const std::int32_t value =
            (byte >> (((i & font->m_pixelInByteMask) << bitShift) & 31)) & font->m_valueMask;
        target[i] = value == 1 ? ink : value >= 2 ? shade : 0;
    }
    return out;
}

std::int32_t glyphAdvance(const ASprite* font, std::int32_t character) {
    character &= 0xFFFF;
    if (character == ' ')
        return font ? font->m_spaceWidth : 0;
    if (character == kSeparator)
        return 0;
    return findGlyph(font, character).width;
}

std::int32_t paintChar(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, std::int32_t character,
                       std::int32_t x, std::int32_t y) {
    character &= 0xFFFF;
    if (character == ' ' || character == kSeparator)
        return glyphAdvance(font, character);
    // The cached-image painter belongs to a switch this game leaves off.
    if (glyphStatics().s_drawGlyphLines)
        return paintCharLines(font, g, character, x, y);
    return paintCharRGB(font, g, character, x, y);
}

std::int32_t paintCharRGB(ASprite* font, platform::javax_microedition_lcdui_Graphics* g,
                          std::int32_t character, std::int32_t x, std::int32_t y) {
    const Glyph glyph = findGlyph(font, character);
    if (!glyph.font || glyph.width <= 0)
        return 0;
    if (rt::IntArray* pixels = unpackIntoBuffer(glyph))
        drawRGB(g, pixels, 0, glyph.width, x, y, glyph.width, glyph.font->m_glyphHeight, true);
    return glyph.width;
}

std::int32_t paintCharLines(ASprite* font, platform::javax_microedition_lcdui_Graphics* g,
                            std::int32_t character, std::int32_t x, std::int32_t y) {
    const Glyph glyph = findGlyph(font, character);
    if (!glyph.font || glyph.width <= 0)
        return 0;
    if (!g) {
        rt::reportNullPointer();
        return glyph.width;
    }
    rt::IntArray* pixels = unpackIntoBuffer(glyph);
    if (!pixels)
        return glyph.width;
    const std::int32_t width = glyph.width;
    const std::int32_t height = glyph.font->m_glyphHeight;
    for (std::int32_t row = 0; row < height; ++row) {
        std::int32_t run = 0;
        while (run < width) {
            const std::int32_t colour = rt::IntArray::get(pixels, row * width + run);
            std::int32_t end = run + 1;
            while (end < width && rt::IntArray::get(pixels, row * width + end) == colour)
                ++end;
            if (colour != 0) {
                g->setColor(colour & 0xFFFFFF);
                g->drawLine(x + run, y + row, x + end - 1, y + row);
            }
            run = end;
        }
    }
    return glyph.width;
}

} // namespace game
