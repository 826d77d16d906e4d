#include "classlib/lang/numbertext.h"

#include <cstdlib>

namespace lib {

std::string eightBitText(const rt::String* text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text->length()));
    for (char16_t unit : text->view()) {
        if (unit == 0)
            break;
        bytes.push_back(static_cast<char>(unit & 0xFF));
    }
    return bytes;
}

std::int64_t parseDecimalPrefix(const std::string& text, std::int64_t minimum, std::int64_t maximum) {
    std::size_t at = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (at < text.size() && isSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // The magnitude grows toward the limit on the number's own side, so that
    // the most negative value is reached without overflow.
    const std::uint64_t limit =
        negative ? static_cast<std::uint64_t>(-(minimum + 1)) + 1 : static_cast<std::uint64_t>(maximum);
    std::uint64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        auto digit = static_cast<std::uint64_t>(text[at] - '0');
        if (magnitude > limit / 10 || (magnitude == limit / 10 && digit > limit % 10)) {
            magnitude = limit; // the value is the limit whatever digits follow
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    return magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
}

double parseDoublePrefix(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

} // namespace lib
