#include "game/racepaint/RoadsideView.h"

#include "runtime/StaticClass.h"

namespace game {

RoadsideViewStatics& roadsideView() {
    return rt::getStaticClass().statics<RoadsideViewStatics>();
}

std::int32_t fogWeight(std::int32_t z) {
    const std::int32_t start = roadsideView().s_fogStart;
    if (start >= kFogEnd || z <= start)
        return 0;
    return static_cast<std::int32_t>((std::int64_t{z - start} << 8) / (kFogEnd - start));
}

std::int32_t blendColor(std::int32_t c0, std::int32_t c1, std::int32_t a) {
    if (a < 1)
        return c1;
    if (a >= 256)
        return c0;
    std::int32_t out = static_cast<std::int32_t>(0xFF000000u);
    for (std::int32_t shift : {16, 8, 0}) {
        std::int32_t channel = (((c1 >> shift) & 255) * (256 - a) + ((c0 >> shift) & 255) * a) >> 8;
        out |= channel << shift;
    }
    return out;
}

} // namespace game
