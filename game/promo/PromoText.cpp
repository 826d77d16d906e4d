#include "game/promo/PromoText.h"

#include "game/promo/PromoStrings.h"
#include "host/Log.h"

namespace game::promo {

namespace {

bool isFullWidthPunctuation(char16_t unit) {
    return unit == u'\uFF0C' || unit == u'\uFF01' || unit == u'\uFF1F' || unit == u'\uFF1B' ||
           unit == u'\uFF1A';
}

} // namespace

std::u16string insertBreakHints(std::u16string_view text, bool unspaced, std::u16string_view middleBreak) {
    std::u16string out;
    out.reserve(text.size() + 8);
    for (char16_t unit : text) {
        if (isFullWidthPunctuation(unit)) {
            out += unit;
            out += kBreakSign;
        } else if (unit == 8) {
            out += kBreakSign;
        } else if (unit == u'\n') {
            out += u' ';
        } else {
            out += unit;
        }
    }
    bool unbreakable = out.find(kBreakSign) == std::u16string::npos && out.find(u' ') == std::u16string::npos;
    if (unspaced && unbreakable && out.size() > 5)
        out.insert(out.size() / 2, middleBreak);
    return out;
}

std::vector<Line> computeLineBreaks(std::u16string_view text, std::int32_t maxWidth, bool useBreakSigns,
                                    const LineMetrics& metrics, bool* truncated) {
    std::vector<Line> lines;
    if (truncated)
        *truncated = false;
    std::int32_t length = static_cast<std::int32_t>(text.size());
    std::int32_t spaceWidth = metrics.width(u' ');
    // The width of the line from `start` up to `end`, without the spaces
    // that stand right before `end`.
    auto widthWithoutTrailingSpaces = [&](std::int32_t widthAtBreak, std::int32_t breakAt) {
        std::int32_t width = widthAtBreak;
        for (std::int32_t k = breakAt; k >= 0 && text[static_cast<std::size_t>(k)] == u' '; --k)
            width -= spaceWidth;
        return width;
    };
    auto close = [&](std::int32_t end, std::int32_t width) {
        // The last line the table holds takes the rest of the text.
        if (static_cast<std::int32_t>(lines.size()) == kMaxLines - 1 && end < length) {
            if (truncated)
                *truncated = true;
            std::int32_t rest = width;
            for (std::int32_t k = end; k < length; ++k) {
                char16_t unit = text[static_cast<std::size_t>(k)];
                if (unit != u'\n')
                    rest +=
                        metrics.width(unit) + (unit == u' ' || unit == kBreakSign ? 0 : metrics.charSpacing);
            }
            lines.push_back({length, rest});
            return false;
        }
        lines.push_back({end, width});
        return true;
    };
    std::int32_t w = 0;
    std::int32_t breakAt = -1;
    std::int32_t widthAtBreak = 0;
    for (std::int32_t i = 0; i < length; ++i) {
        char16_t unit = text[static_cast<std::size_t>(i)];
        bool breakOpportunity = unit == u' ' || (unit == kBreakSign && useBreakSigns);
        if (unit == kBreakSign && !useBreakSigns) {
            close(length, w);
            return lines;
        }
        if (unit == u'\n') {
            if (!close(i, w))
                return lines;
            w = 0;
            breakAt = -1;
            continue;
        }
        if (breakOpportunity) {
            w += metrics.width(unit);
            breakAt = i;
            widthAtBreak = w;
            if (w > maxWidth) {
                if (!close(i + 1, widthWithoutTrailingSpaces(w, i)))
                    return lines;
                w = 0;
                breakAt = -1;
                while (i + 1 < length && text[static_cast<std::size_t>(i) + 1] == u' ')
                    ++i;
            }
            continue;
        }
        w += metrics.width(unit) + metrics.charSpacing;
        if (w > maxWidth && breakAt >= 0) {
            if (!close(breakAt + 1, widthWithoutTrailingSpaces(widthAtBreak, breakAt)))
                return lines;
            i = breakAt;
            w = 0;
            breakAt = -1;
        }
    }
    if (w > 0)
        close(length, w);
    return lines;
}

std::u16string wrapText(std::u16string_view text, std::int32_t maxWidth, std::int32_t maxLines,
                        bool hintFirst, const LineMetrics& metrics, std::u16string_view separator,
                        bool unspaced, std::u16string_view middleBreak) {
    std::u16string hinted;
    if (hintFirst) {
        hinted = insertBreakHints(text, unspaced, middleBreak);
        text = hinted;
    }
    bool truncated = false;
    std::vector<Line> lines = computeLineBreaks(text, maxWidth, hintFirst, metrics, &truncated);
    if (truncated)
        host::logf(host::LogCategory::Game, "promotion text: more than %d lines; the last keeps the rest",
                   kMaxLines);
    std::u16string result;
    std::int32_t count = 0;
    std::size_t start = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k > 0) {
            result = std::u16string(trimmed(result));
            if (++count >= std::max(maxLines, 1))
                break;
            result += separator;
        }
        std::size_t end = std::max(start, std::min(static_cast<std::size_t>(lines[k].end), text.size()));
        result += text.substr(start, end - start);
        start = end < text.size() && text[end] == u'\n' ? end + 1 : end;
    }
    return result;
}

std::u16string stripSeparators(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        if (unit != kBreakSign)
            out += unit;
    }
    return out;
}

} // namespace game::promo
