#include "game/sprite/TextLayout.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextCodes.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"
#include "runtime/constantStrings.h"
#include "runtime/javamath.h"

#include <algorithm>

namespace game {

namespace {

using rt::ShortArray;

constexpr std::int32_t kListFont = 2;
constexpr std::int32_t kPageFont = 0;
constexpr std::int32_t kHudLabelText = 30;
constexpr std::int32_t kDimColour = static_cast<std::int32_t>(0xBB100000u);

std::int16_t wrap16(std::int32_t value) {
    return static_cast<std::int16_t>(value);
}

// The shared break buffer and the next entry to write; records grow it.
class BreakWriter {
public:
    BreakWriter() {
        FontStatics& s = fontStatics();
        if (!s.s_lineBreaks)
            s.s_lineBreaks = rt::newShortArray(std::max(config().s_lineBreakValue, 3));
    }

    void record(std::int32_t end, std::int32_t width) {
        FontStatics& s = fontStatics();
        if (m_next + 1 >= s.s_lineBreaks->length()) {
            ShortArray* grown = rt::newShortArray(s.s_lineBreaks->length() * 2 + 1);
            rt::Array::copy(s.s_lineBreaks, 0, grown, 0, s.s_lineBreaks->length());
            s.s_lineBreaks = grown;
        }
        ShortArray::set(s.s_lineBreaks, m_next, wrap16(end));
        ShortArray::set(s.s_lineBreaks, m_next + 1, wrap16(width));
        m_next += 2;
    }

    ShortArray* finish() {
        ShortArray* breaks = fontStatics().s_lineBreaks;
        ShortArray::set(breaks, 0, wrap16(m_next / 2));
        return breaks;
    }

private:
    std::int32_t m_next = 1;
};

bool isSpace(const TextSource& text, std::int32_t index) {
    return text.at(index) == ' ';
}

// Line widths subtract the run of spaces that ends at `from`.
std::int16_t withoutSpacesBefore(const TextSource& text, std::int32_t from, std::int32_t width,
                                 std::int32_t spaceWidth) {
    for (std::int32_t j = from; j >= 0 && isSpace(text, j); --j)
        width = wrap16(width - spaceWidth);
    return wrap16(width);
}

// Width of line k of `breaks`, a signed 16-bit value.
std::int32_t lineWidth(ShortArray* breaks, std::int32_t line) {
    return ShortArray::get(breaks, 2 * line + 2);
}

std::int32_t lineStart(ShortArray* breaks, std::int32_t line) {
    return line == 0 ? 0 : ShortArray::get(breaks, 2 * line - 1);
}

rt::IntArray* measureList(rt::IntArray* ids) {
    const std::int32_t count = ids ? ids->length() : 0;
    rt::IntArray* widths = rt::newIntArray(count);
    ASprite* font = loadedFont(kListFont);
    for (std::int32_t i = 0; font && i < count; ++i) {
        const std::int32_t id = rt::IntArray::get(ids, i);
        if (id < 0)
            continue;
        measureString(font, getString(id), nullptr);
        rt::IntArray::set(widths, i, fontStatics().s_textWidth);
    }
    return widths;
}

ASprite* spriteSlot(std::int32_t slot) {
    rt::Object* sprite = rt::ObjectArray::get(startupStatics().s_sprites, slot);
    return sprite && sprite->classId() == ASprite::kClassId ? static_cast<ASprite*>(sprite) : nullptr;
}

bool dimsScreen(State state) {
    switch (state) {
    case State::ExitQuestion:
    case State::QuitRaceQuestion:
    case State::RestartQuestion:
    case State::PauseMenu:
    case State::RaceOptions:
    case State::RaceHelp:
        return true;
    default:
        return false;
    }
}

} // namespace

TextListStatics& textListStatics() {
    return rt::getStaticClass().statics<TextListStatics>();
}

HudStatics& hudStatics() {
    return rt::getStaticClass().statics<HudStatics>();
}

rt::ShortArray* computeLineBreaks(ASprite* font, rt::String* text, std::int32_t maxWidth, std::int32_t) {
    BreakWriter out;
    if (!font || !text) {
        rt::reportNullPointer();
        out.record(0, 0);
        return out.finish();
    }
    const TextSource source{text, nullptr};
    const std::int32_t n = source.length();
    const std::int32_t spaceWidth = font->m_spaceWidth;
    const std::int32_t frames = font->getFrameCount();
    std::int16_t width = 0;
    std::int16_t wordWidth = 0;
    bool haveBreak = false;
    std::int32_t breakAt = 0;
    bool bold = font->m_bold != 0;
    bool boldAtBreak = bold;
    std::int32_t i = 0;
    while (i < n) {
        const TextCode code = readTextCode(font, source, i, n);
        if (code.kind == TextCodeKind::End)
            break;
        if (code.kind == TextCodeKind::Space) {
            width = wrap16(width + spaceWidth);
            haveBreak = true;
            wordWidth = 0;
            breakAt = i;
            boldAtBreak = bold;
            if (width <= maxWidth) {
                ++i;
                continue;
            }
            // The space itself overflows: the line ends after the run of
            // spaces, none of which counts.
            haveBreak = false;
            width = withoutSpacesBefore(source, i, width, spaceWidth);
            std::int32_t k = i;
            while (k < n && isSpace(source, k))
                ++k;
            out.record(k, width);
            breakAt = k - 1;
            width = 0;
            i = k;
            continue;
        }
        if (code.kind == TextCodeKind::Newline) {
            out.record(i, width);
            width = 0;
            wordWidth = 0;
            haveBreak = false;
            i = code.next;
            continue;
        }
        if (code.kind == TextCodeKind::Bold)
            bold = !bold;
        if (code.kind != TextCodeKind::Glyph) {
            i = code.next;
            continue;
        }
        std::int32_t glyph = code.value;
        if (glyph < 0 || glyph >= frames)
            glyph = 0;
        const std::int32_t advance = getCharWidth(font, glyph) + font->m_charSpacing + (bold ? 1 : 0);
        width = wrap16(width + advance);
        wordWidth = wrap16(wordWidth + advance);
        if (width <= maxWidth || !haveBreak) {
            i = code.next;
            continue;
        }
        // Break at the last space; the overflowing word is read again on
        // the new line.
        haveBreak = false;
        width = withoutSpacesBefore(source, breakAt, width, spaceWidth);
        out.record(breakAt + 1, wrap16(width - wordWidth));
        bold = boldAtBreak;
        width = 0;
        i = breakAt + 1;
    }
    out.record(n, width);
    return out.finish();
}

rt::String* wrapText(ASprite* font, rt::String* text, std::int32_t maxWidth) {
    ShortArray* breaks = computeLineBreaks(font, text, maxWidth, 0);
    rt::StaticClass& statics = rt::getStaticClass();
    rt::String* result = statics.getConstantString(rt::constants::kDefaultMessage);
    if (!text || !result)
        return result;
    const std::int32_t lines = ShortArray::get(breaks, 0);
    const std::int32_t length = text->length();
    std::int32_t start = 0;
    for (std::int32_t k = 0; k < lines; ++k) {
        const std::int32_t end = std::clamp<std::int32_t>(ShortArray::get(breaks, 2 * k + 1), start, length);
        if (start != 0 && (start == length || text->charAt(start) != '\n'))
            result = result->concat(statics.getConstantString(rt::constants::kLineSeparator));
        result = result->concat(text->substring(start, end));
        start = end;
    }
    return result;
}

void drawTextBox(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, rt::String* text,
                 rt::ShortArray* breaks, std::int32_t x, std::int32_t y, std::int32_t firstLine,
                 std::int32_t lineCount, std::int32_t anchor, std::int32_t charLimit) {
    if (!font || !breaks) {
        rt::reportNullPointer();
        return;
    }
    SpriteStatics& statics = spriteStatics();
    FontStatics& fonts = fontStatics();
    // Lines the array holds, whatever its entry 0 says.
    const std::int32_t lines = std::min<std::int32_t>(ShortArray::get(breaks, 0), (breaks->length() - 1) / 2);
    std::int32_t count = lineCount == -1 ? lines : lineCount;
    if (rt::iadd(firstLine, count) > lines)
        count = lines - firstLine;
    const std::int32_t step = rt::iadd(font->m_lineHeight, font->m_lineSpacing);
    if (anchor & Graphics::BOTTOM)
        y = rt::isub(y, rt::imul(count - 1, step));
    else if (anchor & Graphics::VCENTER)
        y = rt::isub(y, rt::imul(count - 1, step) >> 1);
    fonts.s_savedPalette = font->m_currentPalette;
    const bool validFirst = firstLine >= 0 && firstLine < lines;
    if (charLimit >= 0 && validFirst)
        statics.s_textLimit = rt::iadd(lineStart(breaks, firstLine), charLimit);
    const std::int32_t length = text ? text->length() : 0;
    for (std::int32_t k = firstLine, j = 0; validFirst && j < count && k < lines; ++k, ++j) {
        statics.s_textStart = lineStart(breaks, k);
        statics.s_textEnd = ShortArray::get(breaks, 2 * k + 1);
        if (statics.s_textStart >= 0 && statics.s_textStart < length &&
            text->charAt(statics.s_textStart) == '\n')
            statics.s_textStart += 1;
        std::int32_t lineX = x;
        std::int32_t lineY = rt::iadd(y, rt::imul(j, step));
        if (anchor & Graphics::RIGHT)
            lineX = rt::isub(x, lineWidth(breaks, k));
        else if (anchor & Graphics::HCENTER)
            lineX = rt::isub(x, lineWidth(breaks, k) >> 1);
        if (anchor & Graphics::BOTTOM)
            lineY = rt::isub(lineY, font->m_lineHeight);
        else if (anchor & Graphics::VCENTER)
            lineY = rt::isub(lineY, font->m_lineHeight >> 1);
        drawString(font, g, text, nullptr, lineX, lineY, 0, false);
    }
    font->m_currentPalette = fonts.s_savedPalette;
    statics.s_textStart = statics.s_textEnd = statics.s_textLimit = -1;
}

ASprite* fontSprite(std::int32_t slot) {
    rt::Object* font = rt::ObjectArray::get(startupStatics().s_fonts, slot);
    if (font && font->classId() == ASprite::kClassId)
        return static_cast<ASprite*>(font);
    rt::reportNullPointer();
    return nullptr;
}

ASprite* loadedFont(std::int32_t slot) {
    rt::ObjectArray* fonts = startupStatics().s_fonts;
    rt::Object* font =
        fonts && slot >= 0 && slot < fonts->length() ? rt::ObjectArray::get(fonts, slot) : nullptr;
    return font && font->classId() == ASprite::kClassId ? static_cast<ASprite*>(font) : nullptr;
}

void setTextPage(std::int32_t textId) {
    TextListStatics& s = textListStatics();
    s.s_textPage = getString(textId);
    if (ASprite* font = loadedFont(kPageFont))
        measureString(font, s.s_textPage, nullptr);
}

void setTextLines(rt::IntArray* ids) {
    TextListStatics& s = textListStatics();
    s.s_textLineIds = ids;
    rt::IntArray* widths = measureList(ids);
    s.s_textLineWidths = widths;
    s.s_textScroll = config().s_gameScreenWidth;
}

void setTextItems(rt::ObjectArray* ids) {
    TextListStatics& s = textListStatics();
    s.s_textItemIds = ids;
    const std::int32_t rows = ids ? ids->length() : 0;
    s.s_textItemWidths = rt::newObjectArray(rows);
    for (std::int32_t r = 0; r < rows; ++r) {
        rt::Object* row = rt::ObjectArray::get(ids, r);
        auto* rowIds =
            row && row->classId() == rt::ClassId::IntArray ? static_cast<rt::IntArray*>(row) : nullptr;
        rt::IntArray* widths = measureList(rowIds);
        rt::ObjectArray::set(s.s_textItemWidths, r, widths);
    }
    s.s_textScroll = config().s_gameScreenWidth;
}

std::int32_t getTickerOffset(rt::String*, std::int32_t) {
    return 0;
}

void paintQuestionFrame(std::int32_t x, std::int32_t y) {
    const TextListStatics& s = textListStatics();
    ASprite* box = spriteSlot(kQuestionBoxSprite);
    rt::IntArray* rect = rt::newIntArray(4);
    if (box)
        box->getFrameBox(s.s_boxAnswerCount, kAnswerPoint, rect, 0);
    auto* g = loopStatics().s_graphics;
    if (dimsScreen(stateStatics().s_state)) {
        setFillColor(kDimColour);
        fillRectAlpha(g, 0, 0, config().s_gameScreenWidth, config().s_gameScreenHeight);
    }
    paintFrame(box, g, s.s_boxAnswerCount, x, y, 0, 0, 0);
    if (!s.s_boxAnswerIds)
        return;
    ASprite* answer = spriteSlot(kMenuItemSprite);
    const std::int32_t step = getFrameHeight(answer, kAnswerFrame);
    const std::int32_t width = getFrameWidth(answer, kAnswerFrame);
    const std::int32_t top = rt::iadd(y, rt::IntArray::get(rect, 1));
    for (std::int32_t k = 0; k < s.s_boxAnswerCount; ++k)
        paintFrame(answer, g, kAnswerFrame, x - (width >> 1), rt::iadd(top, rt::imul(k, step)), 0, 0, 0);
}

void initHud(std::int32_t kind, std::int32_t elements) {
    HudStatics& s = hudStatics();
    s.s_hudKind = kind;
    s.s_hudElements = elements;
    s.s_hudIntroTime = 800;
    s.s_hudSlideA = 100;
    s.s_hudSlideB = 160;
    s.s_hudPhase = 0;
    measureString(fontSprite(kListFont), getString(kHudLabelText), nullptr);
    s.s_hudLabelWidth = fontStatics().s_textWidth;
    switch (kind) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 8:
    case 11:
        s.s_hudFlagOn = 1;
        s.s_hudFlagValue = 0;
        break;
    default:
        break;
    }
    s.s_raceStartEntered = 0;
}

} // namespace game
