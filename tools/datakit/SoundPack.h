#pragma once

// The game's sound data: the content-type resource (a count byte, then per
// name a length byte and its bytes) and the sound pack, whose entries are a
// header byte (the sound's content-type index) and a WAVE file. Also a set
// of short, distinct tones for tests.

#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/Wave.h"

#include <cstdint>
#include <string>
#include <vector>

namespace datakit {

// At most 255 names of at most 255 bytes each (else a bug of the caller).
Bytes writeContentTypes(const std::vector<std::string>& names);

struct SoundEntry {
    std::uint8_t contentType = 0;
    Bytes wave;
};

// The pack's entries, one per sound, in order (for `writePack`).
std::vector<Bytes> soundPackEntries(const std::vector<SoundEntry>& sounds);

// The tone format: 8000 Hz mono 16-bit.
inline constexpr WaveFormat kToneFormat{1, 8000, 16};
// The PCM of tone `index`: a sine of 300 + 40 x index Hz, `frames` frames,
// so that no two tones share a sample run.
Bytes tonePcm(std::uint32_t index, std::uint32_t frames);
// `count` sounds of content type 0, sound i the WAVE file of `tonePcm(i, frames)`.
std::vector<SoundEntry> toneSounds(std::uint32_t count, std::uint32_t frames);

} // namespace datakit
