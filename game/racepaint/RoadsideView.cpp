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

} // namespace game
