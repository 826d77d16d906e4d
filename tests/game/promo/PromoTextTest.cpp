// The promotion screen's text lines: break hints, line breaking, wrapping
// and the break signs, over a fixed-width table and random texts.

#include "game/promo/PromoText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

namespace promo = game::promo;

// Every glyph 13 pixels wide, a space 5, the break sign 0.
const promo::LineMetrics kMetrics{[](char16_t unit) { return unit == u' ' ? 5 : unit == u'|' ? 0 : 13; }, 0};

std::u16string wrap(std::u16string_view text, std::int32_t width, std::int32_t lines, bool hints = true,
                    bool unspaced = false) {
    return promo::wrapText(text, width, lines, hints, kMetrics, u"\n", unspaced, u"|");
}

TEST(PromoText, BreakHints) {
    struct Case {
        std::u16string_view text;
        bool unspaced;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"A\uFF0CB\uFF01C\uFF1FD\uFF1BE\uFF1A", false, u"A\uFF0C|B\uFF01|C\uFF1F|D\uFF1B|E\uFF1A|"},
        {u"AB\bCD\nEF", false, u"AB|CD EF"},
        {u"ABCDEF", true, u"ABC|DEF"},
        {u"ABCDE", true, u"ABCDE"},
        {u"ABC DEF", true, u"ABC DEF"},
        {u"ABCDEFG", false, u"ABCDEFG"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(promo::insertBreakHints(c.text, c.unspaced, u"|"), c.expected);
}

TEST(PromoText, LineBreaks) {
    struct Case {
        const char* name;
        std::u16string_view text;
        std::int32_t width;
        bool signs;
        std::vector<std::pair<std::int32_t, std::int32_t>> lines; // end, width
    };
    const Case cases[] = {
        {"the empty text has no line", u"", 100, true, {}},
        {"a word wider than the box stays whole", u"ABCDEFGHIJ", 50, true, {{10, 130}}},
        {"a break after the space; its width left out", u"ABC DEF", 60, true, {{4, 39}, {7, 39}}},
        {"a newline always ends the line", u"A\nB", 100, true, {{1, 13}, {3, 13}}},
        {"a break sign is a break opportunity", u"ABC|DEF", 60, true, {{4, 39}, {7, 39}}},
        {"without break signs the sign ends the scan", u"ABC|DEF", 60, false, {{7, 39}}},
        {"an overflowing space ends the line, spaces after it skipped",
         u"ABCD  EF",
         52,
         true,
         {{5, 52}, {8, 26}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::int32_t, std::int32_t>> got;
        for (const promo::Line& line : promo::computeLineBreaks(c.text, c.width, c.signs, kMetrics))
            got.emplace_back(line.end, line.width);
        EXPECT_EQ(got, c.lines) << c.name;
    }
}

TEST(PromoText, WrapJoinsAtMostTheAskedLines) {
    EXPECT_EQ(wrap(u"AB CD EF GH", 40, 3), u"AB\nCD\nEF");
    EXPECT_EQ(wrap(u"AB\nCD", 400, 3, false), u"AB\nCD");
    EXPECT_EQ(wrap(u"AB\nCD", 400, 3, true), u"AB CD");
    EXPECT_EQ(wrap(u"", 40, 3), u"");
    EXPECT_EQ(promo::stripSeparators(u"A|B||C"), u"ABC");
}

TEST(PromoText, MoreLinesThanTheTableHoldsKeepTheRestOnTheLast) {
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"AB ";
    bool truncated = false;
    std::vector<promo::Line> lines = promo::computeLineBreaks(text, 30, true, kMetrics, &truncated);
    EXPECT_TRUE(truncated);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(promo::kMaxLines));
    EXPECT_EQ(lines.back().end, static_cast<std::int32_t>(text.size()));
}

// Random texts of words, spaces and newlines: a wrapped line is never wider
// than the box unless it is one word, and never are there more lines than asked.
TEST(PromoText, WrappedLinesFitTheirBox) {
    std::mt19937 random(106);
    for (int round = 0; round < 500; ++round) {
        std::u16string text;
        int words = static_cast<int>(random() % 20);
        for (int w = 0; w < words; ++w) {
            text += std::u16string(1 + random() % 9, static_cast<char16_t>(u'A' + random() % 26));
            text += random() % 7 == 0 ? u"\n" : std::u16string(1 + random() % 2, u' ');
        }
        std::int32_t width = 20 + static_cast<std::int32_t>(random() % 120);
        std::int32_t maxLines = 1 + static_cast<std::int32_t>(random() % 4);
        bool hints = random() % 2 == 0;
        std::u16string wrapped = wrap(text, width, maxLines, hints);
        std::int32_t lines = 0;
        std::size_t start = 0;
        while (start <= wrapped.size() && !wrapped.empty()) {
            std::size_t end = std::min(wrapped.find(u'\n', start), wrapped.size());
            std::u16string line = wrapped.substr(start, end - start);
            std::size_t first = line.find_first_not_of(u' ');
            std::size_t last = line.find_last_not_of(u' ');
            line = first == std::u16string::npos ? u"" : line.substr(first, last - first + 1);
            std::int32_t lineWidth = 0;
            for (char16_t unit : line)
                lineWidth += kMetrics.width(unit);
            EXPECT_TRUE(lineWidth <= width || line.find(u' ') == std::u16string::npos)
                << "line of width " << lineWidth << " in a box of " << width << " in round " << round;
            ++lines;
            start = end + 1;
        }
        EXPECT_LE(lines, maxLines) << "round " << round;
    }
}

} // namespace
