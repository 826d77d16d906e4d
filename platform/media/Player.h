#pragma once

// The views of a media player: the interfaces a caller reaches through the
// player's `getInterface` (class ids 94, 97, 100, 101, 102), in their slot
// order. Every player kind implements Player (which begins with the two
// Controllable operations) and VolumeControl; the WAVE, Ogg and silent
// players also RateControl and TempoControl.
//
// Player states, and media times and durations: signed 64-bit, -1 unknown.
// The WAVE and Ogg players count them in microseconds, the DirectShow player
// in units of 100 nanoseconds.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {

inline constexpr std::int32_t kPlayerClosed = 0;
inline constexpr std::int32_t kPlayerUnrealized = 100;
inline constexpr std::int32_t kPlayerRealized = 200;
inline constexpr std::int32_t kPlayerPrefetched = 300;
inline constexpr std::int32_t kPlayerStarted = 400;
// The DirectShow player's state after a stop.
inline constexpr std::int32_t kPlayerStopped = 600;

class javax_microedition_media_Controllable {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_media_Controllable;
    // The player itself for a control it has ("VolumeControl" and so on, in
    // any ASCII case), else null.
    virtual rt::Object* getControl(rt::String* controlType) = 0;
    // Always null.
    virtual rt::ObjectArray* getControls() = 0;

protected:
    ~javax_microedition_media_Controllable() = default;
};

class javax_microedition_media_Player : public javax_microedition_media_Controllable {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_media_Player;
    virtual void realize() = 0;
    virtual void prefetch() = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void deallocate() = 0;
    virtual void close() = 0;
    virtual std::int64_t setMediaTime(std::int64_t now) = 0;
    virtual std::int64_t getMediaTime() = 0;
    virtual std::int32_t getState() = 0;
    virtual std::int64_t getDuration() = 0;
    virtual rt::String* getContentType() = 0;
    virtual void setLoopCount(std::int32_t count) = 0;

protected:
    ~javax_microedition_media_Player() = default;
};

class javax_microedition_media_control_VolumeControl {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_media_control_VolumeControl;
    virtual std::int32_t getLevel() = 0;
    virtual bool isMuted() = 0;
    virtual std::int32_t setLevel(std::int32_t level) = 0;
    virtual void setMute(bool mute) = 0;

protected:
    ~javax_microedition_media_control_VolumeControl() = default;
};

// Rates in thousandths of a percent: 100000 is normal speed.
class javax_microedition_media_control_RateControl {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_media_control_RateControl;
    virtual std::int32_t getMinRate() = 0;
    virtual std::int32_t getMaxRate() = 0;
    virtual std::int32_t getRate() = 0;
    virtual std::int32_t setRate(std::int32_t rate) = 0;

protected:
    ~javax_microedition_media_control_RateControl() = default;
};

class javax_microedition_media_control_TempoControl : public javax_microedition_media_control_RateControl {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_media_control_TempoControl;
    virtual std::int32_t setTempo(std::int32_t tempo) = 0;
    virtual std::int32_t getTempo() = 0;

protected:
    ~javax_microedition_media_control_TempoControl() = default;
};

// The view of `player` (a class with all five views) for `interfaceId`, or
// null when it has none.
template <class P>
void* playerView(P* player, rt::ClassId interfaceId) {
    switch (interfaceId) {
    case rt::ClassId::javax_microedition_media_Controllable:
        return static_cast<javax_microedition_media_Controllable*>(player);
    case rt::ClassId::javax_microedition_media_Player:
        return static_cast<javax_microedition_media_Player*>(player);
    case rt::ClassId::javax_microedition_media_control_RateControl:
        return static_cast<javax_microedition_media_control_RateControl*>(player);
    case rt::ClassId::javax_microedition_media_control_TempoControl:
        return static_cast<javax_microedition_media_control_TempoControl*>(player);
    case rt::ClassId::javax_microedition_media_control_VolumeControl:
        return static_cast<javax_microedition_media_control_VolumeControl*>(player);
    default:
        return nullptr;
    }
}

// The answer of `getControl` for a player that has the volume control and,
// with `rateAndTempo`, the rate and tempo controls: `player` for their names,
// null for any other (a null name is reported).
rt::Object* controlByName(rt::Object* player, rt::String* controlType, bool rateAndTempo);

} // namespace platform
