#include "game/data/SoundRequests.h"

#include "classlib/lang/Throwable.h"
#include "game/data/Progress.h"
#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SoundEngine.h"
#include "game/framework/StartupLoad.h"
#include "host/Log.h"
#include "platform/lcdui/Display.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"

namespace game {

namespace {

// The music that stays on through `stopMusic` in channel mode.
constexpr std::int32_t kKeptMusic = 21;
// Vibrations closer together than this are dropped.
constexpr std::int64_t kVibrationGuardMs = 200;
constexpr std::int32_t kEffectPriority = 7;

bool channelMode() {
    return soundChannelStatics().s_channelMode != 0;
}

} // namespace

void setSoundOption(bool on) {
    startupStatics().s_soundOn = on ? 1 : 0;
    progressStatics().s_savedByteA = static_cast<std::int32_t>(on ? SoundChoice::On : SoundChoice::Off);
}

bool savedSoundOption(bool fallback) {
    switch (static_cast<SoundChoice>(progressStatics().s_savedByteA)) {
    case SoundChoice::On:
        return true;
    case SoundChoice::Off:
        return false;
    default:
        return fallback;
    }
}

bool isSoundOn() {
    return startupStatics().s_soundOn != 0;
}

void playSound(std::int32_t channel, std::int32_t id, std::int32_t loop, std::int32_t priority) {
    if (!isSoundOn() || id < 0)
        return;
    if (channelMode()) {
        bool busy = isSoundSlotPlaying(channel);
        if (rt::Object* caught = rt::catchException(rt::ClassId::java_lang_Exception)) {
            static_cast<lib::java_lang_Throwable*>(caught)->printStackTrace();
            return;
        }
        if (busy && id >= kMusicIdLimit)
            return;
        playOnChannel(channel, id, 1, 100, id < kMusicIdLimit ? priority : kEffectPriority);
        soundChannelStatics().s_currentMusic = id;
        return;
    }
    if (SoundEngine* engine = soundDataStatics().s_soundEngine) {
        engine->queueRequest(id, loop != 0, true);
        host::logf(host::LogCategory::Game, "sound %d requested", id);
    }
}

void playSoundLooped(std::int32_t channel, std::int32_t id, bool loop) {
    playSound(channel, id, loop ? 1 : 0, 0);
}

void requestSound(std::int32_t id) {
    playSoundLooped(0, id, true);
}

void stopMusicChannel(std::int32_t channel) {
    if (channelMode()) {
        soundChannelStatics().s_currentMusic = -1;
        stopSoundChannel(channel);
    } else if (SoundEngine* engine = soundDataStatics().s_soundEngine) {
        engine->stopAll();
    }
}

std::int32_t playingMusic() {
    if (!isSoundOn())
        return -1;
    if (channelMode())
        return soundChannelStatics().s_currentMusic;
    SoundEngine* engine = soundDataStatics().s_soundEngine;
    if (!engine)
        return -1;
    rt::MonitorScope lock(engine);
    return engine->m_currentSound;
}

void stopMusic() {
    SoundChannelStatics& channels = soundChannelStatics();
    channels.s_rememberedMusic = playingMusic();
    if (!channelMode()) {
        if (SoundEngine* engine = soundDataStatics().s_soundEngine)
            engine->stopAll();
        return;
    }
    if (isSoundOn() && channels.s_currentMusic == kKeptMusic)
        return;
    stopMusicChannel(0);
}

void soundService() {
    if (channelMode()) {
        updateSoundsNow();
        return;
    }
    if (SoundEngine* engine = soundDataStatics().s_soundEngine)
        engine->processQueueUnthreaded();
}

void vibrate(std::int32_t ms) {
    SoundDataStatics& statics = soundDataStatics();
    LoopStatics& loop = loopStatics();
    std::int64_t now = loop.s_paintTime;
    if (statics.s_vibrationGuard >= now)
        return;
    if (!config().s_vibrationOff && loop.s_display)
        loop.s_display->vibrate(ms);
    statics.s_vibrationGuard = now + kVibrationGuardMs;
}

bool isMusicActive() {
    if (!isSoundOn())
        return false;
    // The channel layer plays without the engine: its current music counts.
    if (soundChannelStatics().s_channelMode)
        return getCurrentMusic() >= 0;
    SoundEngine* engine = soundDataStatics().s_soundEngine;
    if (!engine)
        return false;
    rt::MonitorScope lock(engine);
    return engine->isAnyPlaying();
}

std::int32_t getCurrentMusic() {
    return playingMusic();
}

} // namespace game
