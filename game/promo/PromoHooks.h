#pragma once

// What the promotion screen gives the framework: the hooks through which
// the menus and the touch handling ask about it.

namespace game {

// Sets the promotion up from the application's MIDlet and the configured
// screen: the layout on every call, the page table on the first. The menus'
// load calls it through the framework's promotion hooks; without a MIDlet it does
// nothing, so the promotion stays off.
void setupPromotion();

// Fills the promotion's hooks of the framework's registries.
void registerPromotion();

} // namespace game
