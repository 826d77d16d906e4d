// Feeds the input to the two text readers of connections: the first byte
// picks which. As a connection URL (bytes taken as UTF-16 units, two at a
// time) every part it answers must be a piece of the URL, and the port a
// valid one. As response-header text the status is -1 or a decimal number,
// and no field name holds a line break.

#include "fuzz/Harness.h"
#include "platform/io/ConnectionUrl.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using fuzzing::check;

void checkUrl(const std::uint8_t* data, std::size_t size) {
    std::u16string url;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        url.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    auto parts = platform::parseConnectionUrlText(url);
    if (!parts)
        return;
    check(url.size() <= platform::kMaxConnectionUrlLength);
    check(url.starts_with(parts->scheme + u"://"));
    check(url.find(parts->host) != std::u16string::npos);
    check(parts->port >= 0 && parts->port <= 65535);
    check(parts->path.empty() || parts->path.front() == u'/');
    check(url.find(parts->path) != std::u16string::npos);
    if (parts->query) {
        check(parts->query->front() == u'?');
        check(url.ends_with(*parts->query));
    }
}

void checkHeaders(const std::uint8_t* data, std::size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    auto parsed = platform::parseResponseHeaders(raw);
    check(parsed.status >= -1);
    for (const auto& [name, value] : parsed.fields) {
        check(name.find('\n') == std::string::npos);
        check(value.find('\n') == std::string::npos);
        check(raw.find(name) != std::string_view::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    if (data[0] & 1)
        checkUrl(data + 1, size - 1);
    else
        checkHeaders(data + 1, size - 1);
    return 0;
}
