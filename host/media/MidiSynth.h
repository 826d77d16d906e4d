#pragma once

// Renders a parsed MIDI song to PCM with a General MIDI sound font, through
// FluidSynth. The first render loads the first sound font of the list that
// loads; when none does, every song renders as silence of its true duration,
// and one log line says why. Renders are serialised; any thread may ask.

#include "host/media/MidiFile.h"
#include "host/media/PcmSound.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace host {

// Where Debian's General MIDI sound fonts are, the default one first.
std::vector<std::string> defaultSoundFonts();

class MidiSynth {
public:
    static constexpr std::uint32_t kSampleRate = 22050;      // stereo, 16-bit
    static constexpr std::uint32_t kSilentSampleRate = 8000; // mono, 16-bit

    explicit MidiSynth(std::vector<std::string> soundFonts);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    PcmSound render(const MidiSong& song);
    // Whether a sound font is loaded (loading it if not tried yet).
    bool hasSoundFont();

private:
    struct Fluid;

    bool ensureSynth();

    std::vector<std::string> m_soundFonts;
    std::mutex m_lock;
    bool m_tried = false;
    std::unique_ptr<Fluid> m_fluid;
};

} // namespace host
