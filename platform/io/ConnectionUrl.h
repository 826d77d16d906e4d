#pragma once

// Cutting a connection URL ("scheme://host[:port][/path][?query]") into its
// parts, and the response-header text of an HTTP reply into status and fields.
// Both work on plain text so that they can be tested and fuzzed alone.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// URLs longer than this are refused: the connection keeps several copies.
inline constexpr std::size_t kMaxConnectionUrlLength = 4096;

struct ConnectionUrlParts {
    std::u16string scheme;
    std::u16string host;
    // 0 when the URL names none.
    std::int32_t port = 0;
    // With its leading '/', empty when the URL has no '/' after the host.
    std::u16string path;
    // With its leading '?'; absent without a '?'.
    std::optional<std::u16string> query;
};

// The parts of `url`, or nothing for a URL without "://", with a ':' after the
// first '/' (or none before it and a port that is not 1 to 5 decimal digits
// up to 65535), or longer than kMaxConnectionUrlLength.
std::optional<ConnectionUrlParts> parseConnectionUrlText(std::u16string_view url);

// Orders header names without regard to ASCII case.
struct HeaderNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct ParsedResponseHeaders {
    // -1 when the status line holds no decimal code.
    std::int32_t status = -1;
    std::string statusText;
    // The first line of a name wins.
    std::map<std::string, std::string, HeaderNameLess> fields;
};

// Reads raw header text: lines cut at '\n', a trailing '\r' dropped. The first
// line is "version code text..."; later lines with a ':' are "name: value"
// (one leading blank of the value dropped).
ParsedResponseHeaders parseResponseHeaders(std::string_view raw);

} // namespace platform
