#include "game/sprite/Font.h"

#include "game/data/PackReader.h"
#include "game/framework/DrawingTap.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Glyphs.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextCodes.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <string>

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;
using rt::iadd;
using rt::ShortArray;

constexpr std::int32_t kUnderscore = 95;

// Drops the map: every character then shows glyph 1.
void rejectCharMap(ASprite* font, const char* why) {
    host::logf(host::LogCategory::Game, "buildCharMap: %s; every character shows the missing glyph", why);
    font->m_charMap = nullptr;
    font->m_charMapSize = 0;
}

// No text (both sources null) ends a call quietly; a text without a font is
// reported.
bool hasText(const ASprite* font, const rt::String* text, const rt::CharArray* chars) {
    if (!text && !chars)
        return false;
    if (!font)
        rt::reportNullPointer();
    return font != nullptr;
}

// The drawn range of `text`, for a drawing tap.
std::u16string reportedText(const TextSource& text, TextRange range) {
    std::u16string out;
    for (std::int32_t i = range.start; i < range.end; ++i)
        out.push_back(static_cast<char16_t>(text.at(i)));
    return out;
}

// The first of `pairs` (character, glyph) pairs of `map` from `at` whose
// glyph is not one of the font's frames, -1 when every glyph is.
std::int32_t firstGlyphOutside(const rt::ShortArray* map, std::int32_t at, std::int32_t pairs,
                               std::int32_t frames) {
    for (std::int32_t k = 0; k < pairs; ++k) {
        const std::int32_t glyph = ShortArray::get(map, at + 2 * k + 1);
        if (glyph < 0 || glyph >= frames)
            return k;
    }
    return -1;
}

} // namespace

FontStatics& fontStatics() {
    return rt::getStaticClass().statics<FontStatics>();
}

void buildCharMap(ASprite* font, rt::ShortArray* map) {
    if (!font) {
        rt::reportNullPointer();
        return;
    }
    if (font->m_usesSystemFont)
        return;
    const std::int32_t length = map ? map->length() : 0;
    const std::int32_t buckets = length > 0 ? ShortArray::get(map, 0) : 0;
    if (buckets <= 0) {
        rejectCharMap(font, "the map has no buckets");
        updateFontMetrics(font);
        return;
    }
    if (1 + 2 * buckets > length) {
        rejectCharMap(font, "the map ends inside its first pairs");
        updateFontMetrics(font);
        return;
    }
    if (firstGlyphOutside(map, 1, buckets, font->getFrameCount()) >= 0) {
        rejectCharMap(font, "a first pair names a glyph that is not one of the font's frames");
        updateFontMetrics(font);
        return;
    }
    font->m_charMapSize = static_cast<std::int16_t>(buckets);
    font->m_charMap = rt::newObjectArray(buckets);
    for (std::int32_t b = 0; b < buckets; ++b) {
        ShortArray* bucket = rt::newShortArray(2);
        ShortArray::set(bucket, 0, ShortArray::get(map, 1 + 2 * b));
        ShortArray::set(bucket, 1, ShortArray::get(map, 2 + 2 * b));
        rt::ObjectArray::set(font->m_charMap, b, bucket);
    }
    std::int32_t pos = 1 + 2 * buckets;
    while (pos < length) {
        if (pos + 1 >= length) {
            host::logf(host::LogCategory::Game, "buildCharMap: the map ends inside a run header at %d", pos);
            break;
        }
        const std::int32_t b = ShortArray::get(map, pos);
        const std::int32_t count = ShortArray::get(map, pos + 1);
        if (b < 0 || b >= buckets) {
            host::logf(host::LogCategory::Game,
                       "buildCharMap: bucket %d at %d is not one of %d; reading stops", b, pos, buckets);
            break;
        }
        if (count < 0 || pos + 2 + 2 * count > length) {
            host::logf(host::LogCategory::Game,
                       "buildCharMap: %d pairs at %d reach past the map of %d entries; reading stops", count,
                       pos, length);
            break;
        }
        if (const std::int32_t k = firstGlyphOutside(map, pos + 2, count, font->getFrameCount()); k >= 0) {
            host::logf(host::LogCategory::Game,
                       "buildCharMap: pair %d of the run at %d names glyph %d of %d frames; reading stops", k,
                       pos, ShortArray::get(map, pos + 3 + 2 * k), font->getFrameCount());
            break;
        }
        pos += 2;
        auto* current = static_cast<ShortArray*>(rt::ObjectArray::get(font->m_charMap, b));
        ShortArray* grown = rt::newShortArray(2 * (count + 1));
        ShortArray::set(grown, 0, ShortArray::get(current, 0));
        ShortArray::set(grown, 1, ShortArray::get(current, 1));
        rt::Array::copy(map, pos, grown, 2, 2 * count);
        rt::ObjectArray::set(font->m_charMap, b, grown);
        pos += 2 * count;
    }
    updateFontMetrics(font);
}

void updateFontMetrics(ASprite* font) {
    if (!font) {
        rt::reportNullPointer();
        return;
    }
    font->m_textTopOffset = -font->getFModuleY(0, 0);
    updateLineHeight(font);
    updateLineSpacing(font);
    updateSpaceWidth(font);
}

void updateLineHeight(ASprite* font) {
    if (font)
        font->m_lineHeight = rt::isub(font->getFModuleY(0, 1), font->getFModuleY(0, 0));
}

void updateLineSpacing(ASprite* font) {
    if (font)
        font->m_lineSpacing = rt::isub(font->getFModuleY(0, 2), font->getFModuleY(0, 1));
}

void updateSpaceWidth(ASprite* font) {
    if (font)
        font->m_spaceWidth = getCharWidth(font, getCharIndex(font, ' '));
}

std::int32_t getCharIndex(const ASprite* font, std::int32_t code) {
    if (font->m_usesSystemFont)
        return code;
    const std::int32_t buckets = font->m_charMapSize;
    if (!font->m_charMap || buckets <= 0 || code < 0)
        return 1;
    auto* bucket = static_cast<ShortArray*>(rt::ObjectArray::get(font->m_charMap, code % buckets));
    const auto pairs = ShortArray::span(bucket);
    const auto wanted = static_cast<std::int16_t>(code);
    for (std::size_t k = 0; k + 1 < pairs.size(); k += 2) {
        if (pairs[k] == wanted)
            return pairs[k + 1];
    }
    return 1;
}

std::int32_t getCharWidth(const ASprite* font, std::int32_t glyph) {
    if (font->m_usesSystemFont)
        return glyphAdvance(font, glyph);
    return font->getFModuleX(glyph, 0);
}

void measureString(ASprite* font, rt::String* text, rt::CharArray* chars) {
    if (!hasText(font, text, chars))
        return;
    FontStatics& s = fontStatics();
    const TextSource source{text, chars};
    const TextRange range = textRange(source, false);
    s.s_textWidth = 0;
    s.s_textHeight = font->m_lineHeight;
    bool bold = font->m_bold != 0;
    std::int32_t width = 0;
    std::int32_t widest = 0;
    for (std::int32_t i = range.start; i < range.end;) {
        const TextCode code = readTextCode(font, source, i, range.end);
        i = code.next;
        switch (code.kind) {
        case TextCodeKind::Newline:
            widest = std::max(widest, width);
            width = 0;
            s.s_textHeight = iadd(s.s_textHeight, iadd(font->m_lineHeight, font->m_lineSpacing));
            break;
        case TextCodeKind::Space:
            width = iadd(width, font->m_spaceWidth);
            break;
        case TextCodeKind::Glyph:
            width = iadd(width, iadd(getCharWidth(font, code.value), bold ? 1 : 0));
            break;
        case TextCodeKind::Bold:
            bold = !bold;
            break;
        default:
            break;
        }
    }
    widest = std::max(widest, width);
    s.s_textWidth = widest < 1 ? widest : rt::isub(widest, font->m_charSpacing);
}

void drawString(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, rt::String* text,
                rt::CharArray* chars, std::int32_t x, std::int32_t y, std::int32_t anchor, bool keepPalette) {
    if (!hasText(font, text, chars))
        return;
    FontStatics& s = fontStatics();
    const TextSource source{text, chars};
    const TextRange range = textRange(source, true);
    const std::int32_t givenX = x;
    const std::int32_t givenY = y;
    y = iadd(y, font->m_textTopOffset);
    measureString(font, text, chars);
    if (anchor & Graphics::RIGHT)
        x = rt::isub(x, s.s_textWidth);
    else if (anchor & Graphics::HCENTER)
        x = rt::isub(x, s.s_textWidth >> 1);
    if (anchor & Graphics::BOTTOM)
        y = rt::isub(y, s.s_textHeight);
    else if (anchor & Graphics::VCENTER)
        y = rt::isub(y, s.s_textHeight >> 1);
    const ReportedDraw reported(DrawCall::DrawText, g, font, {givenX, givenY, anchor, font->m_currentPalette},
                                drawingTap() ? reportedText(source, range) : std::u16string(),
                                {x, rt::isub(y, font->m_textTopOffset), s.s_textWidth, s.s_textHeight});
    if (keepPalette)
        s.s_savedPalette = font->m_currentPalette;
    const std::int32_t lineX = x;
    const std::int32_t lineStep = iadd(font->m_lineHeight, font->m_lineSpacing);
    for (std::int32_t i = range.start; i < range.end;) {
        const TextCode code = readTextCode(font, source, i, range.end);
        i = code.next;
        switch (code.kind) {
        case TextCodeKind::Newline:
            x = lineX;
            y = iadd(y, lineStep);
            break;
        case TextCodeKind::Space:
            if (font->m_underline) {
                const std::int32_t u = getCharIndex(font, kUnderscore);
                paintFrame(font, g, u, iadd(x, rt::isub(font->m_spaceWidth, getCharWidth(font, u)) >> 1), y,
                           0, 0, 0);
            }
            x = iadd(x, font->m_spaceWidth);
            break;
        case TextCodeKind::Palette:
            if (code.value < font->m_paletteCount)
                font->setCurrentPalette(code.value);
            else if (code.value == 255)
                font->m_currentPalette = s.s_savedPalette;
            break;
        case TextCodeKind::Glyph: {
            if (font->m_usesSystemFont) {
                // The glyph code is the character itself: the font object's
                // painters draw it and answer its advance.
                x = iadd(x, iadd(paintChar(font, g, code.value, x, y), font->m_charSpacing));
                break;
            }
            const std::int32_t advance = getCharWidth(font, code.value);
            paintFrame(font, g, code.value, x, y, 0, 0, 0);
            if (font->m_underline) {
                const std::int32_t u = getCharIndex(font, kUnderscore);
                paintFrame(font, g, u, iadd(x, rt::isub(advance, getCharWidth(font, u)) >> 1), y, 0, 0, 0);
            }
            if (font->m_bold) {
                x = iadd(x, 1);
                paintFrame(font, g, code.value, x, y, 0, 0, 0);
            }
            x = iadd(x, iadd(advance, font->m_charSpacing));
            break;
        }
        case TextCodeKind::Bold:
            font->m_bold = font->m_bold ? 0 : 1;
            break;
        case TextCodeKind::Underline:
            font->m_underline = font->m_underline ? 0 : 1;
            break;
        case TextCodeKind::EscapePalette:
            font->setCurrentPalette(code.value);
            break;
        default:
            break;
        }
    }
    if (keepPalette)
        font->m_currentPalette = s.s_savedPalette;
}

void loadCharMap(std::int32_t fontSlot, std::int32_t entry) {
    rt::Object* font = rt::ObjectArray::get(startupStatics().s_fonts, fontSlot);
    if (!font || font->classId() != ASprite::kClassId) {
        host::logf(host::LogCategory::Game, "loadCharMap: font %d is not loaded", fontSlot);
        return;
    }
    rt::Object* map = packReadArray(entry);
    if (map && map->classId() != rt::ClassId::ShortArray) {
        host::logf(host::LogCategory::Game, "loadCharMap: entry %d is no short array", entry);
        map = nullptr;
    }
    buildCharMap(static_cast<ASprite*>(font), static_cast<rt::ShortArray*>(map));
}

} // namespace game
