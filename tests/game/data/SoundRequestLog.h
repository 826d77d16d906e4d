#pragma once

// The game's sound requests as a test sees them: a sound engine without
// players takes every request (so nothing plays), and the log keeps, in
// order, each request the engine was given and each stop of every sound.

#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/framework/SoundEngine.h"
#include "tests/support/LogCapture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace data_testing {

// Makes a sound engine of `count` sounds, without players and without a
// thread of its own, the game's engine, out of channel mode.
inline void installSilentSoundEngine(std::int32_t count = 32) {
    auto* engine = rt::make<game::SoundEngine>();
    engine->init(count, false);
    game::soundDataStatics().s_soundEngine = engine;
    game::soundChannelStatics().s_channelMode = 0;
}

// The sounds requested in `log`, in order; -1 for a stop of every sound
// (what stopping the music does outside channel mode).
inline std::vector<std::int32_t> requestedSounds(const testing_support::LogCapture& log) {
    std::vector<std::int32_t> sounds;
    for (const std::string& line : log.lines()) {
        int id = 0;
        char rest[2] = {};
        if (std::sscanf(line.c_str(), "sound %d requested%1s", &id, rest) == 1)
            sounds.push_back(id);
        else if (line.starts_with("sound engine: all ") && line.ends_with(" sounds stopped"))
            sounds.push_back(-1);
    }
    return sounds;
}

} // namespace data_testing
