#pragma once

// The haze strip that the race scene hangs over the horizon (RaceScene.h
// `s_hazeImage`), made once while the race loads.
//
// Haze, our design: an image as wide as the game screen and `height` rows
// high in the track's sky colour, transparent in its top row and growing
// towards `strength` percent of full cover in its bottom row, so that the
// panorama fades into the road's distance.
//
// Threads: the game thread only.

#include <cstdint>

namespace game {

// The haze of the current track into the race scene; `event` names the
// event slot whose track it is (its sky colour is the loaded track's). A
// height below 1 leaves no haze; the strength is held to 0..100.
void buildHazeImage(std::int32_t event, std::int32_t height, std::int32_t strength);

} // namespace game
