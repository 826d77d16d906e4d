#pragma once

// `SoundPlayerWAVE`: plays one uncompressed PCM sound, held whole in memory,
// through the host's audio-out device 0. The whole PCM block is written to
// the device as one buffer that loops as often as the loop count said at
// realize; when it has played out, the device's completion moves the player
// from STARTED back to PREFETCHED.
//
// States: 100 -realize-> 200 -prefetch-> 300 -start-> 400; 400 -stop or
// played out-> 300; 300 -deallocate-> 200; any -close-> 0. `prefetch` and
// `start` take the earlier steps themselves.
//
// Threads: callers serialise their calls (the game plays sounds from one
// thread). The completion runs on the device's thread and does nothing but
// change the state word, an atomic. Each call into the host runs in a safe
// region, except while a collection closes the player (see `HostCall`).
//
// `getMediaTime` and `getDuration` of a CLOSED player, and `getContentType`
// of a CLOSED or UNREALIZED one, raise `java_lang_IllegalStateException`
// (pending) and answer 0 or null.
//
// `SoundPlayerOGG` derives from it and replaces the three format hooks.

#include "host/Audio.h"
#include "platform/media/Player.h"
#include "platform/media/WaveFile.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platform {

class SoundPlayerWAVE : public rt::Object,
                        public javax_microedition_media_Player,
                        public javax_microedition_media_control_VolumeControl,
                        public javax_microedition_media_control_TempoControl {
public:
    // Players hold no guest references: every class of id 97 shares the one empty table.
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_media_Player;
    static constexpr std::int32_t kMinRate = 50'000;
    static constexpr std::int32_t kMaxRate = 200'000;
    static constexpr std::int32_t kLoopForever = 0x7FFFFFFF;

    // Keeps a copy of `bytes`.
    explicit SoundPlayerWAVE(std::span<const std::uint8_t> bytes);
    // Closes the player.
    ~SoundPlayerWAVE() override;

    void* getInterface(rt::ClassId interfaceId) override;

    // The format hooks, called by `realize` in this order. `readHeader`
    // copies the first 44 bytes of the data (1), or answers 0 without data.
    // `parseFormat` fills the wave format, the PCM's place and the duration
    // (1), or answers 0 for data it cannot play. `readSoundFilePcmData`
    // gives the PCM and its length, or -1.
    virtual std::int32_t readHeader(std::uint8_t (&header)[kCanonicalWaveHeader]);
    virtual std::int32_t parseFormat();
    virtual std::int32_t readSoundFilePcmData(std::vector<std::uint8_t>& pcm);

    // Controllable and Player.
    rt::Object* getControl(rt::String* controlType) override;
    rt::ObjectArray* getControls() override { return nullptr; }
    void realize() override;
    void prefetch() override;
    void start() override;
    void stop() override;
    void deallocate() override;
    void close() override;
    std::int64_t setMediaTime(std::int64_t now) override;
    std::int64_t getMediaTime() override;
    std::int32_t getState() override { return m_state.load(); }
    std::int64_t getDuration() override;
    rt::String* getContentType() override;
    void setLoopCount(std::int32_t count) override;

    // VolumeControl: levels 0 .. 100.
    std::int32_t getLevel() override { return m_level; }
    bool isMuted() override { return m_muted; }
    std::int32_t setLevel(std::int32_t level) override;
    void setMute(bool mute) override { m_muted = mute; }

    // RateControl and TempoControl.
    std::int32_t getMinRate() override { return kMinRate; }
    std::int32_t getMaxRate() override { return kMaxRate; }
    std::int32_t getRate() override;
    std::int32_t setRate(std::int32_t rate) override;
    std::int32_t setTempo(std::int32_t tempo) override { return setRate(tempo); }
    std::int32_t getTempo() override { return getRate(); }

    RT_NO_REFERENCE_FIELDS(SoundPlayerWAVE, Object)

protected:
    virtual const char* contentType() const { return "audio/x-wav"; }
    // The whole close, also when a collection runs it.
    void closePlayer();
    bool duringCollection() const { return m_duringCollection; }

    std::vector<std::uint8_t> m_soundFileData;
    WaveFormatEx m_waveFormat;
    std::int32_t m_dataLength = 0;
    std::int32_t m_pcmLength = 0;
    std::int64_t m_duration = 0; // microseconds
    std::size_t m_pcmOffset = 0;

private:
    std::unique_ptr<host::AudioStream> m_device;
    // The buffer header: its PCM block, loop count and whether it is prepared.
    std::vector<std::uint8_t> m_pcm;
    std::uint32_t m_headerLoops = 0;
    bool m_prepared = false;
    std::atomic<std::int32_t> m_state{kPlayerUnrealized};
    std::int32_t m_loopCount = 0;
    std::int32_t m_level = 100;
    std::uint32_t m_savedVolume = 0;
    bool m_volumeSupported = false;
    bool m_muted = false;
    bool m_duringCollection = false;
};

} // namespace platform
