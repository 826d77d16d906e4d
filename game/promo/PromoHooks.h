#pragma once

// What the promotion screen gives the framework: the hooks through which
// the menus and the touch handling ask about it.

namespace game {

// Fills the promotion's hooks of the framework's registries.
void registerPromotion();

} // namespace game
