#include "tools/datakit/Constants.h"

#include "host/Verify.h"
#include "runtime/constantStrings.h"

#include <algorithm>

namespace datakit {

Bytes writeConstants(const std::vector<std::u16string>& strings, const ConstantsOptions& options) {
    ByteWriter out;
    out.i32(ByteOrder::Big, options.indexedCount.value_or(static_cast<std::int32_t>(strings.size())));
    for (const auto& text : strings)
        out.utf(text);
    return std::move(out).take();
}

std::vector<std::u16string> layOutConstants(std::span<const ConstantText> texts) {
    std::vector<std::u16string> strings(static_cast<std::size_t>(rt::constants::tableLength()));
    std::vector<bool> given(strings.size());
    for (const ConstantText& entry : texts) {
        HOST_VERIFY_MSG(rt::constants::find(entry.number), "a text for a constant string that no code reads");
        auto at = static_cast<std::size_t>(entry.number);
        HOST_VERIFY_MSG(!given[at], "two texts for one constant string");
        given[at] = true;
        strings[at] = entry.text;
    }
    return strings;
}

Bytes writeConstantTable(std::span<const ConstantText> texts) {
    return writeConstants(layOutConstants(texts));
}

std::vector<std::int32_t> missingConstants(std::span<const ConstantText> texts) {
    std::vector<std::int32_t> missing;
    for (const rt::constants::Entry& entry : rt::constants::kCatalogue) {
        for (std::int32_t number = entry.first; number < entry.first + entry.count; ++number) {
            bool given = std::any_of(texts.begin(), texts.end(),
                                     [number](const ConstantText& text) { return text.number == number; });
            if (!given)
                missing.push_back(number);
        }
    }
    return missing;
}

} // namespace datakit
