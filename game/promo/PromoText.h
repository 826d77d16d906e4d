#pragma once

// The promotion screen's text lines over plain UTF-16 text: break hints
// for languages without spaces, measuring and breaking into lines, joining
// the wrapped lines and removing the break signs. '|' is the break sign: a
// place where a line may end, never drawn. Widths come from the caller (the
// screen's glyph table), so these are pure and fuzzable.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace game::promo {

inline constexpr char16_t kBreakSign = u'|';
// The line table holds at most this many lines (a count and two values each
// in 50 shorts); a text that breaks into more keeps the rest on the last.
inline constexpr std::int32_t kMaxLines = 24;

struct LineMetrics {
    // Width of a character (its glyph width; 0 for one without a glyph).
    std::function<std::int32_t(char16_t)> width;
    // Pixels after every character other than a space or a break sign.
    std::int32_t charSpacing = 0;
};

struct Line {
    std::int32_t end = 0; // index just after the line's last character
    std::int32_t width = 0;
};

// Break signs after full-width punctuation, character 8 as a break sign, a
// newline as a space; in the unspaced language (`unspaced`) a text without
// spaces or break signs longer than 5 gets `middleBreak` at its middle.
std::u16string insertBreakHints(std::u16string_view text, bool unspaced, std::u16string_view middleBreak);

// The lines of `text` at `maxWidth`. Without `useBreakSigns` a break sign
// ends the scan and closes the rest as the last line. `truncated` is set when
// the text broke into more than `kMaxLines` lines.
std::vector<Line> computeLineBreaks(std::u16string_view text, std::int32_t maxWidth, bool useBreakSigns,
                                    const LineMetrics& metrics, bool* truncated = nullptr);

// At most `maxLines` (at least one) lines of `text` joined by `separator`.
std::u16string wrapText(std::u16string_view text, std::int32_t maxWidth, std::int32_t maxLines,
                        bool hintFirst, const LineMetrics& metrics, std::u16string_view separator,
                        bool unspaced, std::u16string_view middleBreak);

// `text` without break signs.
std::u16string stripSeparators(std::u16string_view text);

} // namespace game::promo
