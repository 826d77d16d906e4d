#include "tools/datakit/TextTable.h"

#include "host/Verify.h"

#include <limits>

namespace datakit {

Bytes encodeGameText(std::u16string_view text) {
    Bytes out;
    for (char16_t unit : text) {
        if (unit < 0x80) {
            out.push_back(static_cast<std::uint8_t>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | unit >> 6));
            out.push_back(static_cast<std::uint8_t>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<std::uint8_t>(0xE0 | unit >> 12));
            out.push_back(static_cast<std::uint8_t>(0x80 | (unit >> 6 & 0x3F)));
            out.push_back(static_cast<std::uint8_t>(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

Bytes writeTextTable(std::span<const std::u16string> texts, const TextTableOptions& options) {
    ByteWriter out;
    if (options.packNumber)
        out.u8(*options.packNumber);
    out.i32(ByteOrder::Little, options.count.value_or(static_cast<std::int32_t>(texts.size())));
    Bytes body;
    for (const std::u16string& text : texts) {
        Bytes encoded = encodeGameText(text);
        body.insert(body.end(), encoded.begin(), encoded.end());
        HOST_VERIFY_MSG(body.size() <= std::numeric_limits<std::int32_t>::max(), "a text table beyond 2 GiB");
        out.i32(ByteOrder::Little, static_cast<std::int32_t>(body.size()));
    }
    out.bytes(body);
    return std::move(out).take();
}

} // namespace datakit
