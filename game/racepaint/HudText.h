#pragma once
// Text of the race's painters without a new object per frame: a text is
// composed in the shared text buffer (where `formatTime` and
// `formatNumber` write theirs), copied into one character array made once,
// and drawn or measured from a range of that array with a bitmap font of
// the font table. Fixed texts come from the text table and the constant
// strings, whose objects already exist.
//
// Game thread only.
#include "game/framework/Anchors.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {
class StringBuffer;
}

namespace game {

// The fonts of the font table: values, titles, and the display's labels.
inline constexpr std::int32_t kValueFont = 0;
inline constexpr std::int32_t kTitleFont = 1;
inline constexpr std::int32_t kHudFont = 2;
// The most characters a composed text keeps.
inline constexpr std::int32_t kHudTextCapacity = 64;

struct HudTextStatics {
    // The copy of the shared buffer that texts are drawn from.
    rt::CharArray* s_hudChars = nullptr;
    std::int32_t s_hudLength = 0;

    RT_REFERENCE_FIELDS(HudTextStatics, rt::NoReferenceBase, s_hudChars)
};

HudTextStatics& hudTextStatics();

// Makes the character array (start-up; a later first use makes it too).
void hudTextStaticInit();

// The shared text buffer, emptied.
lib::StringBuffer* clearedHudBuffer();
// Copies the shared buffer (at most `kHudTextCapacity` units) into the
// character array and answers its length.
std::int32_t takeHudBuffer();
// The index of the first `unit` in the taken text; its length when none.
std::int32_t hudTextIndexOf(char16_t unit);

// Units [start, end) of the taken text in `font` and `palette` at (x, y).
void drawHudText(std::int32_t font, std::int32_t palette, std::int32_t start, std::int32_t end,
                 std::int32_t x, std::int32_t y, std::int32_t anchor);
// The whole taken text.
void drawHudBuffer(std::int32_t font, std::int32_t palette, std::int32_t x, std::int32_t y,
                   std::int32_t anchor);
// A text of the table (or any string) in `font` and `palette`.
void drawHudString(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t x, std::int32_t y,
                   std::int32_t anchor);
// The width and the height of the taken text, and of a string, in `font`.
std::int32_t hudBufferWidth(std::int32_t font);
std::int32_t hudStringWidth(std::int32_t font, rt::String* text);
std::int32_t hudTextHeight();

// Formats into the shared buffer and takes it: a time (`formatTime` with
// minutes and hundredths), and a number with the thousands separator of
// text 81's first character.
std::int32_t takeTime(std::int32_t time, bool withSign);
std::int32_t takeNumber(std::int32_t value, bool keepFour);

// The constant string `number`.
rt::String* constantText(std::int32_t number);

} // namespace game
