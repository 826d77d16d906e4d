#pragma once

// The sdl host's audio-out service: one SDL output device, playing the mix of
// every open stream (host/system/AudioMixer.h), as device 0.

#include "host/Audio.h"
#include "host/Clock.h"
#include "host/Threads.h"

#include <memory>
#include <string>

namespace host {

// The SDL output through `driver` (empty: SDL's choice). When SDL has no
// sound output to give, the headless audio-out service on `clock` and
// `threads` stands in, and one log line says so.
std::unique_ptr<Audio> makeSdlAudio(const std::string& driver, Clock& clock, Threads& threads);

} // namespace host
