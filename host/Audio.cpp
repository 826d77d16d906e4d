#include "host/Audio.h"

namespace host {

Result<void> checkPcmFormat(const PcmFormat& format) {
    if (format.channels != 1 && format.channels != 2)
        return Error::withMessage("audio: " + std::to_string(format.channels) + " channels cannot be played");
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        return Error::withMessage("audio: " + std::to_string(format.bitsPerSample) +
                                  "-bit samples cannot be played");
    if (format.sampleRate < 1000 || format.sampleRate > 192000)
        return Error::withMessage("audio: a rate of " + std::to_string(format.sampleRate) +
                                  " Hz cannot be played");
    return {};
}

Result<void> checkPcmBuffer(const PcmFormat& format, std::span<const std::uint8_t> pcm) {
    if (pcm.empty() || pcm.size() % format.blockAlign() != 0)
        return Error::withMessage("audio: a buffer of " + std::to_string(pcm.size()) +
                                  " bytes is not a whole number of frames");
    return {};
}

Result<void> checkPlaybackRate(std::uint32_t rate) {
    if (rate < kNormalPlaybackRate / 8 || rate > kNormalPlaybackRate * 8)
        return Error::withMessage("audio: playback rate out of range");
    return {};
}

} // namespace host
