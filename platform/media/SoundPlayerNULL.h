#pragma once

// `SoundPlayerNULL`: the silent player, given for content the platform cannot
// play. It accepts every call and only moves its state: realize 200,
// prefetch 300, start 400, stop 300, deallocate 200, close 0. Its class id
// field is 0.

#include "platform/media/Player.h"

namespace platform {

class SoundPlayerNULL final : public rt::Object,
                              public javax_microedition_media_Player,
                              public javax_microedition_media_control_VolumeControl,
                              public javax_microedition_media_control_TempoControl {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::Object;

    SoundPlayerNULL()
        : Object(kClassId) {}

    void* getInterface(rt::ClassId interfaceId) override;

    rt::Object* getControl(rt::String* controlType) override {
        return controlByName(this, controlType, true);
    }
    rt::ObjectArray* getControls() override { return nullptr; }
    void realize() override { m_state = kPlayerRealized; }
    void prefetch() override { m_state = kPlayerPrefetched; }
    void start() override { m_state = kPlayerStarted; }
    void stop() override { m_state = kPlayerPrefetched; }
    void deallocate() override { m_state = kPlayerRealized; }
    void close() override { m_state = kPlayerClosed; }
    std::int64_t setMediaTime(std::int64_t) override { return -1; }
    std::int64_t getMediaTime() override { return -1; }
    std::int32_t getState() override { return m_state; }
    std::int64_t getDuration() override { return -1; }
    rt::String* getContentType() override { return rt::String::newFromCString("audio/dummy"); }
    void setLoopCount(std::int32_t) override {}

    std::int32_t getLevel() override { return -1; }
    bool isMuted() override { return false; }
    std::int32_t setLevel(std::int32_t) override { return 0; }
    void setMute(bool) override {}

    std::int32_t getMinRate() override { return 0; }
    std::int32_t getMaxRate() override { return 0; }
    std::int32_t getRate() override { return 0; }
    std::int32_t setRate(std::int32_t) override { return 0; }
    std::int32_t setTempo(std::int32_t) override { return -1; }
    std::int32_t getTempo() override { return -1; }

    RT_NO_REFERENCE_FIELDS(SoundPlayerNULL, Object)

private:
    std::int32_t m_state = kPlayerUnrealized;
};

} // namespace platform
