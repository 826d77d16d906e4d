#pragma once

// A whole decoded sound: its format and its interleaved PCM.

#include "host/Audio.h"

#include <cstdint>
#include <vector>

namespace host {

struct PcmSound {
    PcmFormat format;
    std::vector<std::uint8_t> pcm;

    std::uint64_t frames() const { return pcm.size() / format.blockAlign(); }
};

} // namespace host
