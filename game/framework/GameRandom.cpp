#include "game/framework/GameRandom.h"

#include "classlib/lang/System.h"
#include "classlib/util/Random.h"

namespace game {

std::int32_t randomInRange(std::int32_t draw, std::int32_t low, std::int32_t high) {
    auto magnitude = draw < 0 ? 0u - static_cast<std::uint32_t>(draw) : static_cast<std::uint32_t>(draw);
    auto width = static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low);
    if (width == 0)
        return high;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low) + magnitude % width);
}

std::int32_t getRandom(std::int32_t low, std::int32_t high) {
    if (low == high)
        return high;
    if (!lib::java_util_Random::shared())
        lib::java_util_Random::seedSharedRandom(lib::java_lang_System::currentTimeMillis());
    return randomInRange(lib::java_util_Random::shared()->next(32), low, high);
}

} // namespace game
