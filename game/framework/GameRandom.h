#pragma once

// The game's draws from the one shared `java_util_Random`.

#include <cstdint>

namespace game {

// A value in [low, high) from one step of the shared generator; `high` when
// the two are equal. Callers pass low < high.
std::int32_t getRandom(std::int32_t low, std::int32_t high);

// The value a draw `draw` gives in [low, high): low plus the draw's
// magnitude modulo the width, both taken unsigned, so that the draw
// INT_MIN (whose magnitude no int holds) stays in range.
std::int32_t randomInRange(std::int32_t draw, std::int32_t low, std::int32_t high);

} // namespace game
