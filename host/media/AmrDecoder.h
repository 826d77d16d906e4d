#pragma once

// AMR-NB files in the storage format: the "#!AMR\n" header, then frames of a
// header byte and the frame's bits. Each frame decodes to 20 ms of 8 kHz mono
// 16-bit PCM. A frame cut short by the end of the file ends the sound there.

#include "host/Result.h"
#include "host/media/PcmSound.h"

#include <span>

namespace host {

inline constexpr std::uint32_t kAmrSampleRate = 8000;
inline constexpr std::uint32_t kAmrFrameSamples = 160;

bool isAmrFile(std::span<const std::uint8_t> bytes);
Result<PcmSound> decodeAmr(std::span<const std::uint8_t> bytes);

} // namespace host
