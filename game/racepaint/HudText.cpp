#include "game/racepaint/HudText.h"

#include "classlib/lang/StringBuffer.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Texts.h"
#include "game/race/TimeTexts.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/MenuPaint.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The separator text of numbers.
constexpr std::int32_t kSeparatorText = 81;

rt::CharArray* hudChars() {
    rt::CharArray*& chars = hudTextStatics().s_hudChars;
    if (!chars)
        chars = rt::newCharArray(kHudTextCapacity);
    return chars;
}

// Selects [start, end) of the taken text for the font's next call; the
// range is cleared again by `RangeScope`'s end.
class RangeScope {
public:
    RangeScope(std::int32_t start, std::int32_t end) {
        SpriteStatics& s = spriteStatics();
        s.s_textStart = start;
        s.s_textEnd = end;
    }
    ~RangeScope() {
        SpriteStatics& s = spriteStatics();
        s.s_textStart = -1;
        s.s_textEnd = -1;
    }
    RangeScope(const RangeScope&) = delete;
    RangeScope& operator=(const RangeScope&) = delete;
};

ASprite* paletteFont(std::int32_t font, std::int32_t palette) {
    ASprite* sprite = loadedFont(font);
    if (sprite)
        sprite->setCurrentPalette(palette);
    return sprite;
}

} // namespace

HudTextStatics& hudTextStatics() {
    return rt::getStaticClass().statics<HudTextStatics>();
}

void hudTextStaticInit() {
    (void)hudChars();
}

lib::StringBuffer* clearedHudBuffer() {
    lib::StringBuffer*& buffer = startupStatics().s_textBuffer;
    if (!buffer)
        buffer = rt::make<lib::StringBuffer>(kHudTextCapacity);
    buffer->setLength(0);
    return buffer;
}

std::int32_t takeHudBuffer() {
    HudTextStatics& s = hudTextStatics();
    rt::CharArray* chars = hudChars();
    lib::StringBuffer* buffer = startupStatics().s_textBuffer;
    std::int32_t length = buffer ? buffer->length() : 0;
    if (length > kHudTextCapacity)
        length = kHudTextCapacity;
    if (chars && length > 0)
        buffer->getChars(0, length, chars, 0);
    s.s_hudLength = chars ? length : 0;
    return s.s_hudLength;
}

std::int32_t hudTextIndexOf(char16_t unit) {
    const HudTextStatics& s = hudTextStatics();
    for (std::int32_t i = 0; i < s.s_hudLength; ++i)
        if (rt::CharArray::get(s.s_hudChars, i) == unit)
            return i;
    return s.s_hudLength;
}

void drawHudText(std::int32_t font, std::int32_t palette, std::int32_t start, std::int32_t end,
                 std::int32_t x, std::int32_t y, std::int32_t anchor) {
    ASprite* sprite = paletteFont(font, palette);
    Graphics* g = loopStatics().s_graphics;
    if (!sprite || !g || start >= end)
        return;
    const RangeScope range(start, end);
    drawString(sprite, g, nullptr, hudTextStatics().s_hudChars, x, y, anchor, false);
}

void drawHudBuffer(std::int32_t font, std::int32_t palette, std::int32_t x, std::int32_t y,
                   std::int32_t anchor) {
    drawHudText(font, palette, 0, hudTextStatics().s_hudLength, x, y, anchor);
}

void drawHudString(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t x, std::int32_t y,
                   std::int32_t anchor) {
    ASprite* sprite = paletteFont(font, palette);
    Graphics* g = loopStatics().s_graphics;
    if (sprite && g && text)
        drawString(sprite, g, text, nullptr, x, y, anchor, false);
}

std::int32_t hudBufferWidth(std::int32_t font) {
    ASprite* sprite = loadedFont(font);
    const HudTextStatics& s = hudTextStatics();
    if (!sprite || s.s_hudLength == 0)
        return 0;
    const RangeScope range(0, s.s_hudLength);
    measureString(sprite, nullptr, s.s_hudChars);
    return fontStatics().s_textWidth;
}

std::int32_t hudStringWidth(std::int32_t font, rt::String* text) {
    ASprite* sprite = loadedFont(font);
    if (!sprite || !text)
        return 0;
    measureString(sprite, text, nullptr);
    return fontStatics().s_textWidth;
}

std::int32_t hudTextHeight() {
    return fontStatics().s_textHeight;
}

std::int32_t takeTime(std::int32_t time, bool withSign) {
    (void)formatTime(time, true, true, withSign);
    return takeHudBuffer();
}

std::int32_t takeNumber(std::int32_t value, bool keepFour) {
    rt::String* separatorText = getString(kSeparatorText);
    const char16_t separator =
        separatorText && separatorText->length() > 0 ? separatorText->units()[0] : u',';
    (void)formatNumber(value, separator, keepFour);
    return takeHudBuffer();
}

rt::String* constantText(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

} // namespace game
