#include "game/promo/PromoStrings.h"

#include <algorithm>

namespace game::promo {

std::u16string_view trimmed(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    return text.substr(begin, end - begin);
}

namespace {

char16_t upperUnit(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// Whether `upperAscii(text) == word`, without making the upper-case copy:
// the checks run for every page and list row of the file.
bool upperEquals(std::u16string_view text, std::u16string_view word) {
    return std::ranges::equal(text, word,
                              [](char16_t unit, char16_t other) { return upperUnit(unit) == other; });
}

// Where `key` followed at once by `separator` first stands in `text`: the
// place of `key + separator`, without making that text.
std::size_t findKey(std::u16string_view text, std::u16string_view key, std::u16string_view separator) {
    for (std::size_t at = text.find(key); at != std::u16string_view::npos; at = text.find(key, at + 1)) {
        if (text.substr(at + key.size()).starts_with(separator))
            return at;
    }
    return std::u16string_view::npos;
}

} // namespace

std::u16string upperAscii(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& unit : upper)
        unit = upperUnit(unit);
    return upper;
}

bool checkValue(std::optional<std::u16string_view> value, std::int32_t flags, const PromoWords& words) {
    if (!value)
        return (flags & kRejectEmpty) == 0;
    std::u16string_view text = trimmed(*value);
    if ((flags & kRejectEmpty) && text.empty())
        return false;
    if ((flags & kRejectNone) && upperEquals(text, words.none))
        return false;
    if ((flags & kRejectOff) && (upperEquals(text, words.off) || upperEquals(text, words.zero)))
        return false;
    return true;
}

std::u16string lookupField(std::optional<std::u16string_view> text, std::optional<std::u16string_view> key,
                           std::optional<std::u16string_view> pattern, const PromoWords& words) {
    if (!text || !key || !pattern)
        return {};
    std::size_t at = findKey(*text, *key, words.keyValue);
    std::u16string_view slotPattern = trimmed(*pattern);
    if (at == std::u16string_view::npos || slotPattern.empty())
        return {};
    std::size_t begin = at + key->size() + words.keyValue.size();
    std::size_t end =
        words.fieldSeparator.empty() ? std::u16string_view::npos : text->find(words.fieldSeparator, begin);
    std::u16string_view value =
        trimmed(text->substr(begin, end == std::u16string_view::npos ? end : end - begin));
    if (value.empty() || value == words.zero || upperEquals(value, words.off))
        return {};
    if (upperEquals(value, words.none) || *key == words.portalKey)
        return std::u16string(value);
    std::u16string result(slotPattern);
    std::size_t slot = words.templateSlot.empty() ? std::u16string::npos : result.find(words.templateSlot);
    if (slot != std::u16string::npos)
        result.replace(slot, words.templateSlot.size(), value);
    return result;
}

std::u16string putLanguage(std::u16string_view address, std::u16string_view parameter,
                           std::u16string_view code) {
    std::size_t at = parameter.empty() ? std::u16string_view::npos : address.find(parameter);
    std::u16string result;
    if (at == std::u16string_view::npos) {
        result = address;
        result += parameter;
        result += code;
        return result;
    }
    std::size_t rest = std::min(address.size(), at + parameter.size() + 2);
    result = address.substr(0, at + parameter.size());
    result += code;
    result += address.substr(rest);
    return result;
}

} // namespace game::promo
