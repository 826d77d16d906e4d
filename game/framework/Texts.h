#pragma once

// Texts by id: every text the game shows is asked for by a 32-bit id and
// decoded from the loaded text packs.

#include "runtime/String.h"

#include <cstdint>

namespace game {

// The text with `id`; null for an empty text or when no pack holds it.
rt::String* getString(std::int32_t id);

} // namespace game
