#pragma once

// The reading of text codes that measuring, drawing and line breaking share
// (Font.h lists the codes). Internal to the font code.

#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "runtime/Array.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstdint>

namespace game {

// A String, or a char array when the String is null. Units are read one at
// a time through the object, never through a pointer kept across a paint
// (painting may allocate, and a collection may move the units).
struct TextSource {
    rt::String* string = nullptr;
    rt::CharArray* chars = nullptr;

    std::int32_t length() const {
        if (string)
            return string->length();
        return chars ? chars->length() : 0;
    }
    // Unit `index`, which the caller keeps inside [0, length()).
    std::int32_t at(std::int32_t index) const {
        return string ? string->units()[index] : chars->elements()[index];
    }
};

struct TextRange {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// The range the statics select, cut to the text: `s_textStart` (-1: 0),
// `s_textEnd` (-1: the length) and, when drawing, `s_textLimit`.
inline TextRange textRange(const TextSource& text, bool applyLimit) {
    const SpriteStatics& s = spriteStatics();
    const std::int32_t length = text.length();
    std::int32_t start = s.s_textStart < 0 ? 0 : s.s_textStart;
    std::int32_t end = s.s_textEnd < 0 ? length : s.s_textEnd;
    if (applyLimit && s.s_textLimit >= 0 && end > s.s_textLimit)
        end = s.s_textLimit;
    end = std::clamp(end, 0, length);
    start = std::clamp(start, 0, end);
    return {start, end};
}

enum class TextCodeKind : std::uint8_t {
    Glyph, // value: the glyph frame
    Space,
    Newline,
    Palette,       // code 1; value: the palette
    Bold,          // backslash, caret
    Underline,     // backslash, underscore
    EscapePalette, // backslash, other; value: the unit - 48
    Skip,          // any other code below 32, and code 1 while line breaking
    End,           // a code whose parameter would lie past the range
};

struct TextCode {
    TextCodeKind kind;
    std::int32_t value;
    std::int32_t next; // index after the code and its parameter
};

// The code at `index` (< `end`) of `text`.
inline TextCode readTextCode(const ASprite* font, const TextSource& text, std::int32_t index,
                             std::int32_t end) {
    const std::int32_t c = text.at(index);
    const bool hasParameter = index + 1 < end;
    switch (c) {
    case '\n':
        return {TextCodeKind::Newline, 0, index + 1};
    case ' ':
        return {TextCodeKind::Space, 0, index + 1};
    case 1:
        if (!hasParameter)
            return {TextCodeKind::End, 0, end};
        return {TextCodeKind::Palette, text.at(index + 1), index + 2};
    case 2: {
        if (!hasParameter)
            return {TextCodeKind::End, 0, end};
        // A glyph named by the text that is not one of the font's frames
        // shows as the missing glyph, as an unmapped character does.
        const std::int32_t glyph = text.at(index + 1);
        const bool known = font->m_usesSystemFont || (glyph >= 0 && glyph < font->getFrameCount());
        return {TextCodeKind::Glyph, known ? glyph : 1, index + 2};
    }
    case '\\':
        if (!config().s_textEscapes)
            break;
        if (!hasParameter)
            return {TextCodeKind::End, 0, end};
        switch (const std::int32_t d = text.at(index + 1)) {
        case '^':
            return {TextCodeKind::Bold, 0, index + 2};
        case '_':
            return {TextCodeKind::Underline, 0, index + 2};
        default:
            return {TextCodeKind::EscapePalette, d - '0', index + 2};
        }
    default:
        if (c < ' ')
            return {TextCodeKind::Skip, 0, index + 1};
        break;
    }
    return {TextCodeKind::Glyph, getCharIndex(font, c), index + 1};
}

} // namespace game
