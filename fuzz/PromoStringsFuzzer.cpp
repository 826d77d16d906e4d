// The promotion screen's string operations on any text: the input splits at
// its zero bytes into a property text, a key, a template, an address and a
// text to wrap (bytes as Latin-1 units), and the whole input is decoded as
// the screen's UTF-8. Checked: a field's value comes only from the text or
// the template; the language goes in without growing the address by more
// than the parameter and the code; line breaks stay in the text, rise, and
// are at most the table's lines; a wrap has at most the lines asked; no
// break sign survives `stripSeparators`; the decoder makes no more units than
// bytes.

#include "fuzz/Harness.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoStrings.h"
#include "game/promo/PromoText.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace promo = game::promo;
using fuzzing::check;

const std::u16string kWords[] = {u"NONE", u"OFF", u"0", u"=", u";", u"PORTAL", u"%s"};
const promo::PromoWords kPromoWords{kWords[0], kWords[1], kWords[2], kWords[3],
                                    kWords[4], kWords[5], kWords[6]};
const promo::LineMetrics kMetrics{[](char16_t unit) { return static_cast<std::int32_t>(unit % 17); }, -1};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 14))
        return 0;
    std::vector<std::u16string> fields(5);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && field + 1 < fields.size())
            ++field;
        else
            fields[field] += static_cast<char16_t>(data[i]);
    }
    const std::u16string& text = fields[0];
    const std::u16string& key = fields[1];
    const std::u16string& pattern = fields[2];
    for (std::int32_t flags = 0; flags < 8; ++flags) {
        promo::checkValue(text, flags, kPromoWords);
        check(promo::checkValue(std::nullopt, flags, kPromoWords) == ((flags & 1) == 0));
    }
    std::u16string value = promo::lookupField(text, key, pattern, kPromoWords);
    check(value.size() <= text.size() + pattern.size());
    std::u16string address = promo::putLanguage(fields[3], u"lang=", u"EN");
    check(address.size() <= fields[3].size() + 7);

    std::int32_t width = size > 0 ? data[0] % 200 : 50;
    std::int32_t maxLines = size > 1 ? 1 + data[1] % 5 : 3;
    for (bool signs : {false, true}) {
        std::vector<promo::Line> lines = promo::computeLineBreaks(fields[4], width, signs, kMetrics);
        check(lines.size() <= static_cast<std::size_t>(promo::kMaxLines));
        std::int32_t previous = 0;
        for (const promo::Line& line : lines) {
            check(line.end >= previous && line.end <= static_cast<std::int32_t>(fields[4].size()));
            previous = line.end;
        }
        std::u16string wrapped =
            promo::wrapText(fields[4], width, maxLines, signs, kMetrics, u"\n", data[0] % 2 == 0, u"|");
        if (!signs) {
            // Without hints the text keeps its own newlines; with them each is a space.
            continue;
        }
        check(std::count(wrapped.begin(), wrapped.end(), u'\n') < maxLines);
        std::u16string stripped = promo::stripSeparators(wrapped);
        check(stripped.find(u'|') == std::u16string::npos);
    }
    std::u16string decoded = promo::decodeText(std::span(data, size));
    check(decoded.size() <= size);
    return 0;
}
