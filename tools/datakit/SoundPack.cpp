#include "tools/datakit/SoundPack.h"

#include "host/Verify.h"
#include "tools/datakit/PackWriter.h"

namespace datakit {

Bytes writeContentTypes(const std::vector<std::string>& names) {
    HOST_VERIFY(names.size() <= 255);
    Bytes out;
    out.push_back(static_cast<std::uint8_t>(names.size()));
    for (const std::string& name : names) {
        HOST_VERIFY(name.size() <= 255);
        out.push_back(static_cast<std::uint8_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}

std::vector<Bytes> soundPackEntries(const std::vector<SoundEntry>& sounds) {
    std::vector<Bytes> entries;
    for (const SoundEntry& sound : sounds)
        entries.push_back(packEntry(sound.contentType, sound.wave));
    return entries;
}

Bytes tonePcm(std::uint32_t index, std::uint32_t frames) {
    return sinePcm(kToneFormat, 300.0 + 40.0 * index, frames);
}

std::vector<SoundEntry> toneSounds(std::uint32_t count, std::uint32_t frames) {
    std::vector<SoundEntry> sounds;
    for (std::uint32_t i = 0; i < count; ++i)
        sounds.push_back({0, writeWave(kToneFormat, tonePcm(i, frames))});
    return sounds;
}

} // namespace datakit
