#pragma once

// Two screens reached from the menus: the options (state 30), whose first
// item switches the sound and whose second, offered once the third progress
// mask's bit 3 is set, asks whether to reset the saved progress (state 10);
// and the text screen (state 32), a page of texts 216 to 259 scrolling up
// 2 pixels a frame, 4 while game key 2 or 14 is held, and starting again.
//
// The options are drawn where their taps land, the sound item naming the
// switch's state. They save the progress when they are left, and with it
// the player's sound choice (SoundRequests.h), which the next start offers
// first in the sound question, or keeps when the question is skipped.
//
// Game thread only.

#include "game/framework/States.h"
#include <cstdint>

namespace game {

// The text screen's lines: the first index (its line is the next text), the
// index at which the page starts again, its rows and their pitch.
inline constexpr std::int32_t kFirstPageLine = 215;
inline constexpr std::int32_t kLastPageLine = 260;
inline constexpr std::int32_t kPageTop = 80;
inline constexpr std::int32_t kPageLinePitch = 28;
inline constexpr std::int32_t kPageScroll = 2;
inline constexpr std::int32_t kPageFastScroll = 4;

void stateOptions(std::int32_t message);
void stateTextScreen(std::int32_t message);
// The text screen's first line shown now (an index from 215); the tests
// read it, as the screen's statics are this file's own.
std::int32_t textPageLine();
// Registers the handlers of states 30 and 32.
void registerOptionScreens();

} // namespace game
