#include "platform/io/ConnectionUrl.h"

#include <algorithm>

namespace platform {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view stripCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

std::optional<ConnectionUrlParts> parseConnectionUrlText(std::u16string_view url) {
    if (url.size() > kMaxConnectionUrlLength)
        return std::nullopt;
    std::size_t marker = url.find(u"://");
    if (marker == std::u16string_view::npos)
        return std::nullopt;
    ConnectionUrlParts parts;
    parts.scheme = url.substr(0, marker);
    std::size_t start = marker + 3;
    std::size_t slash = url.find(u'/', start);
    if (slash == std::u16string_view::npos)
        slash = url.size();
    std::size_t colon = url.find(u':', start);
    if (colon != std::u16string_view::npos && colon > slash)
        return std::nullopt;
    if (colon == std::u16string_view::npos) {
        parts.host = url.substr(start, slash - start);
    } else {
        parts.host = url.substr(start, colon - start);
        std::u16string_view digits = url.substr(colon + 1, slash - colon - 1);
        if (digits.empty() || digits.size() > 5)
            return std::nullopt;
        std::int32_t port = 0;
        for (char16_t unit : digits) {
            if (unit < u'0' || unit > u'9')
                return std::nullopt;
            port = port * 10 + (unit - u'0');
        }
        if (port > 65535)
            return std::nullopt;
        parts.port = port;
    }
    std::size_t question = url.find(u'?', slash);
    if (question == std::u16string_view::npos) {
        parts.path = url.substr(slash);
    } else {
        parts.path = url.substr(slash, question - slash);
        parts.query = std::u16string(url.substr(question));
    }
    return parts;
}

bool HeaderNameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

ParsedResponseHeaders parseResponseHeaders(std::string_view raw) {
    ParsedResponseHeaders parsed;
    bool first = true;
    while (!raw.empty()) {
        std::size_t end = raw.find('\n');
        std::string_view line = stripCarriageReturn(raw.substr(0, end));
        raw = end == std::string_view::npos ? std::string_view{} : raw.substr(end + 1);
        if (first) {
            first = false;
            std::size_t space = line.find(' ');
            if (space == std::string_view::npos)
                continue;
            std::string_view rest = line.substr(space + 1);
            std::size_t codeEnd = rest.find(' ');
            std::string_view code = rest.substr(0, codeEnd);
            if (!code.empty() && code.size() <= 9 &&
                std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                parsed.status = 0;
                for (char c : code)
                    parsed.status = parsed.status * 10 + (c - '0');
            }
            if (codeEnd != std::string_view::npos)
                parsed.statusText = rest.substr(codeEnd + 1);
            continue;
        }
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        parsed.fields.emplace(std::string(line.substr(0, colon)), std::string(value));
    }
    return parsed;
}

} // namespace platform
