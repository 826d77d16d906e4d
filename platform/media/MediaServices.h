#pragma once

// What the media players need from the host, set once at start-up by the
// program (or a test) for the running runtime, and the process-wide counter
// of the DirectShow player's temporary files. Both live in a statics block
// of the runtime, so they go with it.
//
// Without services (nothing set) no player finds an audio device or a media
// graph: WAVE and Ogg players stay UNREALIZED, DirectShow players have no
// graph, the silent player works as ever.

#include "host/Audio.h"
#include "host/MediaGraph.h"
#include "host/Threads.h"
#include "runtime/ThreadTable.h"

#include <optional>
#include <string>

namespace platform {

struct MediaServices {
    host::Audio* audio = nullptr;
    host::MediaGraphs* graphs = nullptr;
    host::Threads* threads = nullptr;
    // The folder of the temporary sound files, ending with '/'.
    std::string tempFolder;
};

void setMediaServices(const MediaServices& services);
const MediaServices& mediaServices();
// The next number of the DirectShow counter (1 for the first player).
std::int32_t nextTemporaryFileNumber();

// Around a call into the host that may block: the calling runtime thread
// counts as stopped for the collector meanwhile. A player closed by its
// destructor runs inside a collection, on the collecting thread, where a
// safe region would wait for that very collection to end: there it is left
// out (`duringCollection`).
class HostCall {
public:
    explicit HostCall(bool duringCollection) {
        if (!duringCollection)
            m_region.emplace();
    }

private:
    std::optional<rt::SafeRegion> m_region;
};

} // namespace platform
