#pragma once

// The cosine table the fixed-point pack holds, made by code for tests that
// project or turn things: round(cos(i * 90 / quarter degrees) * 4096) for
// i = 0..quarter, installed after the fixed-point constants are derived.

#include "game/framework/FixedPoint.h"

#include <cmath>
#include <numbers>

namespace testing_support {

inline void installCosTable() {
    game::initFixedPointConstants();
    const std::int32_t quarter = game::fixedPointStatics().s_quarterCircle;
    rt::IntArray* table = rt::newIntArray(quarter + 1);
    for (std::int32_t i = 0; i <= quarter; ++i)
        rt::IntArray::set(
            table, i,
            static_cast<std::int32_t>(std::lround(std::cos(i * std::numbers::pi / 2 / quarter) * 4096)));
    game::setCosTable(table);
}

} // namespace testing_support
