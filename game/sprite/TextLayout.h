#pragma once

// Text laid out over several lines, and the small text services the screens
// use: line breaks of a text at a width, the text re-joined with a
// separator at every wrap, boxes of broken lines drawn with per-line
// alignment and an optional character limit, lists of texts by id measured
// once, the question-box frame and the start of the race HUD.
//
// Line breaks: a short array, entry 0 the number of lines L (at least 1),
// then per line k its end (exclusive character index) at 2k + 1 and its
// width at 2k + 2, the spaces at a wrap belonging to the line's range but
// not to its width. A line closed by a newline ends at the newline, which
// starts the next line's range. Lines break only at spaces; a word wider
// than the box stays whole on a line that overflows. The array is shared
// and valid until the next `computeLineBreaks`; it grows with the text, so
// no text writes past it.
//
// Game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class ASprite;

struct TextListStatics {
    // The current page's text (measured with font 0).
    rt::String* s_textPage = nullptr;
    // Text ids of a list and the width of each in font 2; the same for a list
    // of lists (arrays of int arrays).
    rt::IntArray* s_textLineIds = nullptr;
    rt::IntArray* s_textLineWidths = nullptr;
    rt::ObjectArray* s_textItemIds = nullptr;
    rt::ObjectArray* s_textItemWidths = nullptr;
    // Horizontal scroll of the selected item's text; the screen width again
    // whenever a list is set.
    std::int32_t s_textScroll = 0;
    // The question box: its answer count (also the frame of sprite 4 that is
    // its frame) and the answers' text ids, null for a box without answers.
    std::int32_t s_boxAnswerCount = 0;
    rt::IntArray* s_boxAnswerIds = nullptr;

    RT_REFERENCE_FIELDS(TextListStatics, rt::NoReferenceBase, s_textPage, s_textLineIds, s_textLineWidths,
                        s_textItemIds, s_textItemWidths, s_boxAnswerIds)
};

TextListStatics& textListStatics();

struct HudStatics {
    // Layout kind (0..11) and the bits of the elements to draw.
    std::int32_t s_hudKind = 0;
    std::int32_t s_hudElements = 0;
    // The intro: milliseconds left, two slide offsets, and the phase (0
    // before the intro, 1 running, 2 shown).
    std::int32_t s_hudIntroTime = 0;
    std::int32_t s_hudSlideA = 0;
    std::int32_t s_hudSlideB = 0;
    std::int32_t s_hudPhase = 0;
    // Width of text 30 in font 2.
    std::int32_t s_hudLabelWidth = 0;
    // A flag of the race code and its value.
    std::int32_t s_hudFlagValue = 0;
    std::int32_t s_hudFlagOn = 0;
    // Set when the race-start state is entered; cleared by `initHud`.
    std::int32_t s_raceStartEntered = 0;

    RT_NO_REFERENCE_FIELDS(HudStatics, rt::NoReferenceBase)
};

HudStatics& hudStatics();

// Line breaks of `text` at `maxWidth` (the fourth argument has no effect).
// Answers the shared array; a null text is reported and breaks as empty.
rt::ShortArray* computeLineBreaks(ASprite* font, rt::String* text, std::int32_t maxWidth, std::int32_t);
// `text` with constant string 62 (the line separator) inserted at every
// wrap; a line that begins with its own newline gets none.
rt::String* wrapText(ASprite* font, rt::String* text, std::int32_t maxWidth);
// Draws lines firstLine .. firstLine + lineCount - 1 of `breaks` (lineCount
// -1: all that remain) with the block placed by the anchor's vertical bits
// and each line by the anchor against its own width. charLimit >= 0 draws
// only that many characters from the start of the first line. Lines outside
// the breaks draw nothing. The palette is put back and the range statics are
// -1 at the end.
void drawTextBox(ASprite* font, platform::javax_microedition_lcdui_Graphics* g, rt::String* text,
                 rt::ShortArray* breaks, std::int32_t x, std::int32_t y, std::int32_t firstLine,
                 std::int32_t lineCount, std::int32_t anchor, std::int32_t charLimit);

// Font `slot` of the font table; null (reported) when the slot holds no sprite.
ASprite* fontSprite(std::int32_t slot);
// Font `slot` of the font table; null, without a report, while it is not
// loaded (screens paint before and after the fonts arrive).
ASprite* loadedFont(std::int32_t slot);

// The page of text `textId`, measured with font 0 into the text results
// (not measured while font 0 is not loaded). The exit question sets its page.
void setTextPage(std::int32_t textId);
// The list's ids and the width in font 2 of each text (0 for a negative id,
// which names no text, and while font 2 is not loaded); the scroll restarts.
// The menus set their help lines with it.
void setTextLines(rt::IntArray* ids);
// The same for a list of lists. Meant for the item description lines of the
// event selections (states 12 and 16), which show none yet.
void setTextItems(rt::ObjectArray* ids);
// Horizontal offset of a menu text inside `maxWidth`; the menu offsets its
// item labels by it. The ticker is off in this game: always 0.
std::int32_t getTickerOffset(rt::String* text, std::int32_t maxWidth);
// The question box's frame at (x, y) (the screen dimmed first in the race
// and pause states) and one answer slot per answer under it, centred on x.
// Meant for the question box painter, which draws frame and slots without
// the dimming (MenuPaint.h): the dimming would darken every question.
void paintQuestionFrame(std::int32_t x, std::int32_t y);
// Starts the race HUD of `kind` with `elements`: the intro's timing, the
// label's width, and the race flag of the kinds that show it.
void initHud(std::int32_t kind, std::int32_t elements);

} // namespace game
