#pragma once
// The sound the game last asked for, where a test can read it: with the
// sound option on and the channel layer chosen but never set up, a request
// queues nothing and only becomes the current music, which `playingMusic`
// answers (SoundRequests.h). Restores the option and the layer's choice
// when it goes.

#include "game/data/SoundChannels.h"
#include "game/data/SoundRequests.h"

#include <cstdint>

namespace race_testing {

struct HeardSounds {
    HeardSounds() {
        game::setSoundOption(true);
        game::soundChannelStatics().s_channelMode = 1;
        play(-1);
    }
    ~HeardSounds() {
        game::setSoundOption(false);
        game::soundChannelStatics().s_channelMode = 0;
        play(-1);
    }
    HeardSounds(const HeardSounds&) = delete;
    HeardSounds& operator=(const HeardSounds&) = delete;

    // The last sound requested; -1 none since `play`.
    static std::int32_t last() { return game::playingMusic(); }
    // As if `id` played now (-1: nothing plays).
    static void play(std::int32_t id) { game::soundChannelStatics().s_currentMusic = id; }
};

} // namespace race_testing
