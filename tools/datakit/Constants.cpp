#include "tools/datakit/Constants.h"

namespace datakit {

Bytes writeConstants(const std::vector<std::u16string>& strings, const ConstantsOptions& options) {
    ByteWriter out;
    out.i32(options.indexedCount.value_or(static_cast<std::int32_t>(strings.size())));
    for (const auto& text : strings)
        out.utf(text);
    return std::move(out).take();
}

} // namespace datakit
