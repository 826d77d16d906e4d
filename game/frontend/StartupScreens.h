#pragma once

// The screens between start-up and the main menu, and the two question
// states of the front end:
//
// - 2, the splash: a picture on white for 6 s (its second frame from 3 s),
//   then two texts on black; it loads the front end's first resources while
//   it shows and lasts at least 11 s whatever the player does;
// - 3, the sound question, skipped when the application property says so;
//   either way the menus load (state 4) and the title follows (state 5);
// - 5, the title: the two title pictures and a blinking prompt; a select
//   key or a tap opens the main menu (6);
// - 10, the question before the saved progress is reset;
// - 45, the question asked once before the race menu opens the first time.
//
// Game thread only.

#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct StartupScreenStatics {
    // The highlighted answer of the sound question (1 switches sound on).
    std::int8_t s_soundAnswer = 0;
    // The title's blinking prompt is shown.
    std::int8_t s_blinkVisible = 0;
    // The two answers every question state offers (text ids: no, yes).
    rt::IntArray* s_yesNoTexts = nullptr;
    // The sound question's answer zones, built once.
    rt::ObjectArray* s_soundZones = nullptr;

    RT_REFERENCE_FIELDS(StartupScreenStatics, rt::NoReferenceBase, s_yesNoTexts, s_soundZones)
};

StartupScreenStatics& startupScreenStatics();

// The menus' prompt that waits for a tap or a key: under the title, under a
// notice, and on the loading screen when it has none of its own.
inline constexpr std::int32_t kPromptText = 22;

void stateSplash(std::int32_t message);
void stateSoundPrompt(std::int32_t message);
void stateTitle(std::int32_t message);
void stateConfirm(std::int32_t message);
void stateStartQuestion(std::int32_t message);

// What the front end needs from the splash on: the menus' header, question
// box, items, highlight and arrows (unless already loaded), the first text table and the soft-key
// labels, and the fonts with their character maps (unless loaded).
void loadFrontEndResources();

// Whether to ask the player about sound, stored in the ask-sound flag: yes
// unless the MIDlet's sound-question property, trimmed, is "0" (constant
// string 31). Without a MIDlet the answer is yes.
bool readAppPropertyFlag();

// The sound question's stylus: on an answer it highlights it; a tap on one
// settles the sound option by it and sends the game through the menus'
// load to the title. Answers whether a tap settled it.
bool touchSoundPrompt();

// The front end's blink (the race utilities' blink timer): restarted
// visible for a period, then off and on every half second; the advance runs
// it by the last frame's time and answers whether the visibility changed.
void restartBlink();
bool advanceBlink();

// Registers the handlers of states 2, 3, 5, 10 and 45.
void registerStartupScreens();

} // namespace game
