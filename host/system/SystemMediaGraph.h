#pragma once

// The media graphs of every host: MIDI rendered by the synthesiser
// (host/media/MidiSynth.h), AMR-NB decoded (host/media/AmrDecoder.h), and the
// PCM played through a stream of the host's audio-out service, whichever
// back-end that is. A graph decodes its whole file when it renders it, then
// only moves through the PCM.

#include "host/Audio.h"
#include "host/MediaGraph.h"
#include "host/Threads.h"
#include "host/media/MidiSynth.h"

#include <string>
#include <vector>

namespace host {

struct MediaGraphOptions {
    // Tried in order; the first that loads is the General MIDI sound font.
    std::vector<std::string> soundFonts = defaultSoundFonts();
};

class SystemMediaGraphs final : public MediaGraphs {
public:
    SystemMediaGraphs(Audio& audio, Threads& threads, MediaGraphOptions options = {});

    Result<std::unique_ptr<MediaGraph>> createGraph() override;

private:
    Audio& m_audio;
    Threads& m_threads;
    MidiSynth m_synth;
};

} // namespace host
