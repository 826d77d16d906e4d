#pragma once

// The sound thread of the channel layer: a runtime thread whose runnable is
// the game's animation player class (made through the sound hooks of
// Seams.h, since that class lives above this folder), looping "update the
// channels, sleep one frame period" while it is asked to run.
//
// Its run flag is an atomic; the thread sleeps with `java_lang_Thread::sleep`,
// a safe region where the collector may park it.

namespace game {

// Makes the runnable and starts the thread at the creating thread's
// priority; nothing without a runnable to run.
void startSoundThread();
// The runnable's body; returns once `stopSoundThread` was called (or a
// throwable other than `java_lang_Exception` ended an update).
void runSoundThread();
// Asks the thread to end after its current turn and forgets it.
void stopSoundThread();

} // namespace game
