#pragma once
// A race entered without the front end, for development and tests: race
// row `row` becomes the only event slot (its track, its first variant, its
// type, title and texts) and the race is loaded as the front end loads one,
// by the loading state's race kind; the loading state then waits for a
// release of the select or fire key or a press, and hands the race over to
// its first state. The race is set up by that state.
//
// Game thread only.
#include <cstdint>

namespace game {

// Fills the event slot of race row `row` (0..5 and inside the race table,
// its track the row's own) and asks the loading state for the race; false,
// logged, with nothing asked, when the row cannot be raced.
bool startQuickRace(std::int32_t row);

} // namespace game
