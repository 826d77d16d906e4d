#pragma once

// `SoundPlayerDSHOW`: plays MIDI and AMR sounds through a media graph of the
// host (host/MediaGraph.h). The bytes are written to a temporary file of its
// own, "sound<n>.<extension>" in a private folder made for it in the media
// temporary folder (host/TemporaryFile.h: no name there can be
// foreseen or planted), which the graph renders; the file and its folder are
// deleted when the player closes. While the sound is to
// loop, a loop thread waits for the graph's completions and runs the stream
// again from its start.
//
// States: 100 -realize-> 200 -prefetch-> 300 -start-> 400 -stop-> 600; a
// start from 600 (or 400) passes through realize and prefetch again and
// rewinds a stream that has played to its end; close gives 0 from any state.
// `getState` answers the recorded state only while the graph runs and the
// stream has not reached its end, else 0. Media times and durations are in
// units of 100 nanoseconds.
//
// Threads: the loop thread is a host thread, not a runtime thread: it
// touches only the graph and its own flags, never a runtime object. Stop and
// close end it by setting its cancel flag and waking its wait, then wait for
// it to return, which it does at once; that wait is safe inside a collection
// (a player closed by its destructor), since the loop thread is never stopped
// by one.

#include "host/MediaGraph.h"
#include "host/TemporaryFile.h"
#include "host/Threads.h"
#include "platform/media/Player.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

class SoundPlayerDSHOW final : public rt::Object,
                               public javax_microedition_media_Player,
                               public javax_microedition_media_control_VolumeControl {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_media_Player;
    // Plays of a sound whose loop count is negative.
    static constexpr std::int32_t kEndlessPlays = 100'000;

    // Writes `bytes` to the player's temporary file. `contentType` is kept.
    SoundPlayerDSHOW(std::span<const std::uint8_t> bytes, std::string_view contentType);
    // Closes the player.
    ~SoundPlayerDSHOW() override;

    // Makes the graph and renders the file into it: 1, or 0 (logged) when it
    // cannot. A player without a graph stays silent and answers as if every
    // graph call failed.
    std::int32_t buildGraph();

    // The extension of the temporary file for a content type, by its subtype.
    static const char* extensionFor(std::string_view contentType);
    const std::string& temporaryFile() const { return m_path; }

    void* getInterface(rt::ClassId interfaceId) override;

    rt::Object* getControl(rt::String* controlType) override;
    rt::ObjectArray* getControls() override { return nullptr; }
    void realize() override;
    void prefetch() override;
    void start() override;
    void stop() override;
    void deallocate() override {}
    void close() override;
    std::int64_t setMediaTime(std::int64_t now) override;
    std::int64_t getMediaTime() override;
    std::int32_t getState() override;
    std::int64_t getDuration() override;
    rt::String* getContentType() override;
    void setLoopCount(std::int32_t count) override;

    // Levels 0 .. 100 stand for 0 dB down to -40 dB (20 log10 of level / 100);
    // level 0 is silence.
    std::int32_t getLevel() override;
    bool isMuted() override;
    std::int32_t setLevel(std::int32_t level) override;
    void setMute(bool mute) override;

    RT_NO_REFERENCE_FIELDS(SoundPlayerDSHOW, Object)

private:
    void closePlayer();
    void endLoopThread();
    // A position or the duration from the graph; 0 (with `failure` logged)
    // when the graph cannot say, 0 without a graph or before realize.
    std::int64_t graphTime(host::Result<std::int64_t> (host::MediaGraph::*query)(), const char* failure);

    std::unique_ptr<host::TemporaryFile> m_file;
    std::string m_path; // the file's path while the player holds it, else empty
    std::int32_t m_state = kPlayerUnrealized;
    std::int32_t m_level = 100;
    std::string m_contentType;
    const char* m_extension;
    std::unique_ptr<host::MediaGraph> m_graph;
    std::unique_ptr<host::Thread> m_loopThread;
    std::atomic<bool> m_loopCancel{false};
    std::atomic<bool> m_loopRunning{false}; // cleared by the loop thread as it ends
    bool m_duringCollection = false;
};

} // namespace platform
