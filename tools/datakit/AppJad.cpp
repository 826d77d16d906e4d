#include "tools/datakit/AppJad.h"

namespace datakit {

Bytes writeAppJad(const std::vector<Property>& properties, LineEnding ending) {
    Bytes out;
    for (const auto& [key, value] : properties) {
        out.insert(out.end(), key.begin(), key.end());
        out.push_back(':');
        out.push_back(' ');
        out.insert(out.end(), value.begin(), value.end());
        if (ending == LineEnding::CrLf)
            out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

} // namespace datakit
