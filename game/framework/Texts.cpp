#include "game/framework/Texts.h"

namespace game {

// No text pack is loaded yet.
rt::String* getString(std::int32_t) {
    return nullptr;
}

} // namespace game
