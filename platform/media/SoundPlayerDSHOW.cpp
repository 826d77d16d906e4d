#include "platform/media/SoundPlayerDSHOW.h"

#include "platform/media/MediaServices.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace platform {

namespace {

// Level 0 .. 100 to hundredths of a decibel, and back.
std::int32_t volumeOfLevel(std::int32_t level) {
    if (level <= 0)
        return host::kSilentVolume;
    return static_cast<std::int32_t>(std::lround(2000 * std::log10(level / 100.0)));
}

std::int32_t levelOfVolume(std::int32_t volume) {
    if (volume <= host::kSilentVolume)
        return 0;
    return static_cast<std::int32_t>(std::lround(100 * std::pow(10.0, volume / 2000.0)));
}

void loopThread(host::MediaGraph& graph, const std::atomic<bool>& cancel, std::atomic<bool>& running,
                std::int32_t plays) {
    while (plays > 1) {
        host::GraphEvent event = graph.waitForEvent(host::MediaGraph::kWaitForever, cancel);
        if (event == host::GraphEvent::Cancelled)
            break;
        if (event != host::GraphEvent::Complete)
            continue;
        (void)graph.pause();
        auto stop = graph.stopPosition();
        if (!stop.ok() || !graph.setPositions(0, stop.value()).ok()) {
            rt::logPrintf("ERROR - Could not rewind the stream.\n");
            break;
        }
        (void)graph.run();
        --plays;
    }
    running.store(false);
}

} // namespace

SoundPlayerDSHOW::SoundPlayerDSHOW(std::span<const std::uint8_t> bytes, std::string_view contentType)
    : Object(kClassId)
    , m_contentType(contentType)
    , m_extension(extensionFor(contentType)) {
    std::int32_t number = nextTemporaryFileNumber();
    const std::string& folder = mediaServices().tempFolder;
    if (folder.empty())
        return;
    char name[32];
    std::snprintf(name, sizeof name, "sound%d.%s", number, m_extension);
    HostCall call(false);
    auto file = host::TemporaryFile::create(folder, name, bytes);
    if (!file.ok()) {
        rt::logPrintf("ERROR - Could not write the sound's temporary file: %s\n",
                      file.error().message.c_str());
        return;
    }
    m_file = std::move(file).value();
    m_path = m_file->path();
}

SoundPlayerDSHOW::~SoundPlayerDSHOW() {
    m_duringCollection = true;
    closePlayer();
}

const char* SoundPlayerDSHOW::extensionFor(std::string_view contentType) {
    std::size_t slash = contentType.find('/');
    std::string subtype(slash == std::string_view::npos ? contentType : contentType.substr(slash + 1));
    struct Entry {
        const char* subtype;
        const char* extension;
    };
    static constexpr Entry kEntries[] = {
        {"x-wav", "wav"}, {"midi", "mid"}, {"amr", "amr"}, {"mpeg", "mp3"}, {"aac", "aac"}};
    for (const Entry& entry : kEntries) {
        if (strcasecmp(subtype.c_str(), entry.subtype) == 0)
            return entry.extension;
    }
    return "NULL";
}

std::int32_t SoundPlayerDSHOW::buildGraph() {
    host::MediaGraphs* graphs = mediaServices().graphs;
    HostCall call(m_duringCollection);
    auto graph = graphs ? graphs->createGraph() : host::Error::withMessage("no media graphs");
    if (!graph.ok()) {
        rt::logPrintf("ERROR - Could not create the Filter Graph Manager.\n");
        return 0;
    }
    if (m_path.empty() || !graph.value()->renderFile(m_path).ok()) {
        rt::logPrintf("ERROR - Could not construct a filter graph that will play the specified file.\n");
        return 0;
    }
    m_graph = std::move(graph).value();
    return 1;
}

void* SoundPlayerDSHOW::getInterface(rt::ClassId interfaceId) {
    switch (interfaceId) {
    case rt::ClassId::javax_microedition_media_Controllable:
    case rt::ClassId::javax_microedition_media_Player:
        return static_cast<javax_microedition_media_Player*>(this);
    case rt::ClassId::javax_microedition_media_control_VolumeControl:
        return static_cast<javax_microedition_media_control_VolumeControl*>(this);
    default:
        return Object::getInterface(interfaceId);
    }
}

rt::Object* SoundPlayerDSHOW::getControl(rt::String* controlType) {
    return controlByName(this, controlType, false);
}

void SoundPlayerDSHOW::realize() {
    if (m_state != kPlayerClosed)
        m_state = kPlayerRealized;
}

void SoundPlayerDSHOW::prefetch() {
    if (m_state != kPlayerRealized)
        realize();
    if (m_state == kPlayerRealized)
        m_state = kPlayerPrefetched;
}

void SoundPlayerDSHOW::start() {
    if (m_state != kPlayerPrefetched) {
        prefetch();
        if (m_state != kPlayerPrefetched)
            return;
    }
    if (!m_graph)
        return;
    if (getMediaTime() >= getDuration())
        setMediaTime(0);
    HostCall call(m_duringCollection);
    if (!m_graph->run().ok()) {
        rt::logPrintf("ERROR - Could not switch filter graph to running state.\n");
        return;
    }
    m_state = kPlayerStarted;
}

void SoundPlayerDSHOW::stop() {
    if (m_state != kPlayerPrefetched && m_state != kPlayerStarted)
        return;
    // The loop thread goes first, so that it cannot run the stream again once stopped.
    endLoopThread();
    if (!m_graph)
        return;
    HostCall call(m_duringCollection);
    if (!m_graph->stop().ok()) {
        rt::logPrintf("ERROR - Could not switch filter graph to stopped state.\n");
        return;
    }
    m_state = kPlayerStopped;
}

void SoundPlayerDSHOW::close() {
    closePlayer();
}

void SoundPlayerDSHOW::closePlayer() {
    if (m_state == kPlayerClosed)
        return;
    endLoopThread();
    {
        HostCall call(m_duringCollection);
        m_graph.reset();
        m_file.reset();
    }
    m_path.clear();
    m_state = kPlayerClosed;
}

void SoundPlayerDSHOW::endLoopThread() {
    if (!m_loopThread)
        return;
    HostCall call(m_duringCollection);
    m_loopCancel.store(true);
    m_graph->interruptWait();
    m_loopThread->join();
    m_loopThread.reset();
    m_loopCancel.store(false);
}

std::int64_t SoundPlayerDSHOW::setMediaTime(std::int64_t now) {
    if (m_state < kPlayerRealized || !m_graph)
        return -1;
    HostCall call(m_duringCollection);
    (void)m_graph->pause();
    auto stop = m_graph->stopPosition();
    if (!stop.ok() || !m_graph->setPositions(now, stop.value()).ok()) {
        rt::logPrintf("ERROR - Could not set needed position of the media stream.\n");
        return -1;
    }
    return now;
}

std::int64_t SoundPlayerDSHOW::getMediaTime() {
    return graphTime(&host::MediaGraph::currentPosition,
                     "ERROR - Could not return current position of the media stream.\n");
}

std::int64_t SoundPlayerDSHOW::getDuration() {
    return graphTime(&host::MediaGraph::duration, "ERROR - Could not return stream duration.\n");
}

std::int64_t SoundPlayerDSHOW::graphTime(host::Result<std::int64_t> (host::MediaGraph::*query)(),
                                         const char* failure) {
    if (m_state < kPlayerRealized || !m_graph)
        return 0;
    HostCall call(m_duringCollection);
    auto time = (m_graph.get()->*query)();
    if (!time.ok()) {
        rt::logPrintf("%s", failure);
        return 0;
    }
    return time.value();
}

std::int32_t SoundPlayerDSHOW::getState() {
    if (m_state < kPlayerRealized || !m_graph)
        return 0;
    host::GraphState graphState;
    {
        HostCall call(m_duringCollection);
        graphState = m_graph->state();
    }
    if (graphState != host::GraphState::Running)
        return 0;
    return getMediaTime() < getDuration() ? m_state : 0;
}

rt::String* SoundPlayerDSHOW::getContentType() {
    return rt::String::newFromCString(m_contentType.c_str());
}

void SoundPlayerDSHOW::setLoopCount(std::int32_t count) {
    std::int32_t plays = count < 0 ? kEndlessPlays : count;
    if (plays <= 1)
        return;
    realize();
    if (!m_graph || m_loopRunning.load() || m_state == kPlayerClosed)
        return;
    host::Threads* threads = mediaServices().threads;
    if (!threads)
        return;
    HostCall call(m_duringCollection);
    // A loop thread that ended by itself is gone but for its handle.
    if (m_loopThread) {
        m_loopThread->join();
        m_loopThread.reset();
    }
    m_loopRunning.store(true);
    host::MediaGraph& graph = *m_graph;
    auto thread = threads->create([&graph, &cancel = m_loopCancel, &running = m_loopRunning, plays] {
        loopThread(graph, cancel, running, plays);
    });
    if (!thread.ok()) {
        m_loopRunning.store(false);
        return;
    }
    m_loopThread = std::move(thread).value();
    m_loopThread->resume();
}

std::int32_t SoundPlayerDSHOW::getLevel() {
    if (m_state < kPlayerRealized || !m_graph)
        return 0;
    HostCall call(m_duringCollection);
    auto volume = m_graph->volume();
    if (!volume.ok()) {
        rt::logPrintf("ERROR - Could not retrieve volume level.\n");
        return 0;
    }
    return levelOfVolume(volume.value());
}

bool SoundPlayerDSHOW::isMuted() {
    if (m_state < kPlayerRealized || !m_graph)
        return false;
    HostCall call(m_duringCollection);
    auto volume = m_graph->volume();
    return volume.ok() && volume.value() <= host::kSilentVolume;
}

std::int32_t SoundPlayerDSHOW::setLevel(std::int32_t level) {
    if (m_state < kPlayerRealized || !m_graph)
        return -1;
    std::int32_t previous = m_level;
    m_level = std::clamp(level, 0, 100);
    HostCall call(m_duringCollection);
    if (!m_graph->setVolume(volumeOfLevel(m_level)).ok()) {
        rt::logPrintf("ERROR - Could not set volume level.\n");
        return -1;
    }
    return previous;
}

void SoundPlayerDSHOW::setMute(bool mute) {
    if (!m_graph)
        return;
    HostCall call(m_duringCollection);
    if (!m_graph->setVolume(mute ? host::kSilentVolume : volumeOfLevel(m_level)).ok())
        rt::logPrintf("ERROR - Could not set volume level.\n");
}

} // namespace platform
