#pragma once

// The game's sound requests: a sound id played, the music stopped and
// remembered, the frame step's sound service and vibration. Requests go to
// the channel layer in channel mode (SoundChannels.h), else to the game's
// `SoundEngine` (made by the sound loader, SoundData.h).
//
// Game thread, except `stopMusic` and `playingMusic`, which the window
// thread calls on hiding (the engine's queue and stop hold its monitor).

#include <cstdint>

namespace game {

// The player's sound option, kept with the start-up statics. Setting it
// also records it as the player's choice in the progress (Progress.h), which
// the next save of the progress keeps for the next start.
void setSoundOption(bool on);
bool isSoundOn();
// The sound option the progress records; `fallback` while it records none.
bool savedSoundOption(bool fallback);

// Nothing unless the sound option is on and id >= 0. Channel mode: ids 0
// to 7 may interrupt a playing channel at the caller's priority, higher ids
// play only on an idle one at priority 7. Otherwise a request to the engine.
void playSound(std::int32_t channel, std::int32_t id, std::int32_t loop, std::int32_t priority);
void playSoundLooped(std::int32_t channel, std::int32_t id, bool loop);
// The request of the menus, the screens and the race: `id` on channel 0 at
// priority 0.
void requestSound(std::int32_t id);
// Channel mode: stops the channel (no current music); else every engine sound.
void stopMusicChannel(std::int32_t channel);
// The music playing now: -1 when the sound option is off or nothing plays.
std::int32_t playingMusic();
// Remembers the playing music, then stops it (channel mode keeps id 21
// playing while sound is on).
void stopMusic();
// The frame step's sound service: the engine's queue (channel mode: the
// channel update).
void soundService();
// Vibrates for `ms` unless a vibration started within the last 200 ms.
void vibrate(std::int32_t ms);

// The music: whether a player is playing it (with the channel layer: its
// current music), and its id (-1 with sound off or no music).
bool isMusicActive();
std::int32_t getCurrentMusic();

} // namespace game
