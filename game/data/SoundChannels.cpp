#include "game/data/SoundChannels.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/lang/System.h"
#include "classlib/lang/Throwable.h"
#include "game/data/SoundData.h"
#include "game/data/SoundThread.h"
#include "game/framework/OrvelLibConfig.h"
#include "host/Log.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"
#include "runtime/Thread.h"
#include "runtime/constantStrings.h"

namespace game {

using platform::javax_microedition_media_Player;

namespace {

using Ints = rt::IntArray;

javax_microedition_media_Player* playerView(rt::Object* player) {
    return rt::interfaceOf<javax_microedition_media_Player>(player);
}

rt::Object* channelPlayer(const SoundChannelStatics& statics, std::int32_t channel) {
    return rt::ObjectArray::get(statics.s_channelPlayers, channel);
}

std::int32_t channelState(const SoundChannelStatics& statics, std::int32_t channel) {
    return Ints::get(statics.s_channelStates, channel);
}

void setChannelState(SoundChannelStatics& statics, std::int32_t channel, std::int32_t state) {
    Ints::set(statics.s_channelStates, channel, state);
}

bool layerReady(const SoundChannelStatics& statics) {
    return config().s_channelSound && statics.s_soundReady;
}

bool threaded() {
    return config().s_soundThread != 0;
}

// Slot `slot` (taken modulo 7 into 0..6) of `channel`'s ring.
std::int32_t recordStart(std::int32_t channel, std::int32_t slot) {
    std::int32_t wrapped = slot % kRingSlots;
    if (wrapped < 0)
        wrapped += kRingSlots;
    return (channel * kRingSlots + wrapped) * kCommandInts;
}

// Makes the player of sound `id` from its bytes, or takes its preloaded or
// outside one; null when there is none to make.
rt::Object* makeSoundPlayer(const SoundChannelStatics& statics, std::int32_t id) {
    const OrvelLibConfig& settings = config();
    rt::Object* player = nullptr;
    if (settings.s_cachePlayers)
        player = rt::ObjectArray::get(statics.s_soundPlayers, id);
    // The outside source of a sound is never filled in this game: nothing
    // makes a player from it.
    if (player)
        return player;
    auto* data = static_cast<rt::ByteArray*>(rt::ObjectArray::get(statics.s_soundData, id));
    if (!data)
        return nullptr;
    auto* stream = rt::make<lib::java_io_ByteArrayInputStream>(data);
    return platform::javax_microedition_media_Manager::createPlayer(
        stream, getContentType(Ints::get(statics.s_soundTypes, id)));
}

void prepare(SoundChannelStatics& statics, std::int32_t channel, std::int32_t id, std::int32_t priority) {
    if (channelState(statics, channel) == kChannelPlaying &&
        Ints::get(statics.s_channelPriorities, channel) < priority)
        return;
    if (Ints::get(statics.s_channelSounds, channel) == id && channelState(statics, channel) != kChannelFree)
        return;
    freeSoundChannel(channel);
    if (rt::exceptionPending() || id < 0 || id >= statics.s_soundCount)
        return;
    rt::Object* player = makeSoundPlayer(statics, id);
    javax_microedition_media_Player* view = playerView(player);
    if (!view || rt::exceptionPending())
        return;
    const OrvelLibConfig& settings = config();
    rt::ObjectArray::set(statics.s_channelPlayers, channel, player);
    if (!settings.s_soundSwitchB)
        view->realize();
    if (!settings.s_soundSwitchA && !rt::exceptionPending())
        view->prefetch();
    if (rt::exceptionPending())
        return;
    setChannelState(statics, channel, kChannelPrepared);
    Ints::set(statics.s_channelSounds, channel, id);
}

void applyLevel(const SoundChannelStatics& statics, rt::Object* player, std::int32_t volume) {
    auto* control = rt::interfaceOf<platform::javax_microedition_media_control_VolumeControl>(
        playerView(player)->getControl(
            rt::getStaticClass().getConstantString(rt::constants::kVolumeControlName)));
    if (control && !rt::exceptionPending())
        control->setLevel(channelLevel(volume, statics.s_soundMasterVolume));
}

void play(SoundChannelStatics& statics, const Ints* command, std::int32_t channel) {
    if (statics.s_soundSuspended)
        return;
    std::int32_t id = Ints::get(command, 1);
    std::int32_t priority = Ints::get(command, 2);
    std::int32_t volume = Ints::get(command, 3);
    std::int32_t loop = Ints::get(command, 4);
    prepare(statics, channel, id, priority);
    rt::Object* player = channelPlayer(statics, channel);
    if (rt::exceptionPending() || statics.s_soundSuspended ||
        channelState(statics, channel) != kChannelPrepared || !player)
        return;
    const OrvelLibConfig& settings = config();
    javax_microedition_media_Player* view = playerView(player);
    view->setLoopCount(loop == 0 ? -1 : loop);
    if (settings.s_masterVolume && !rt::exceptionPending())
        applyLevel(statics, player, volume);
    if (settings.s_soundSwitchD && !rt::exceptionPending())
        view->setMediaTime(0);
    if (rt::exceptionPending())
        return;
    view->start();
    if (rt::exceptionPending())
        return;
    setChannelState(statics, channel, kChannelPlaying);
    Ints::set(statics.s_channelVolumes, channel, volume);
    Ints::set(statics.s_channelLoops, channel, loop);
    Ints::set(statics.s_channelPriorities, channel, priority);
    Ints::set(statics.s_channelSounds, channel, id);
    if (settings.s_soundTimedMode)
        rt::Long64Array::set(statics.s_channelStartTimes, channel,
                             lib::java_lang_System::currentTimeMillis());
}

// Pause (playing to paused: the player stops) or resume (paused to playing:
// it starts); nothing in another state or without a player.
void pauseOrResume(SoundChannelStatics& statics, std::int32_t channel, std::int32_t from, std::int32_t to) {
    rt::Object* player = channelPlayer(statics, channel);
    if (!player || channelState(statics, channel) != from)
        return;
    if (to == kChannelPaused)
        playerView(player)->stop();
    else
        playerView(player)->start();
    if (!rt::exceptionPending())
        setChannelState(statics, channel, to);
}

void execute(SoundChannelStatics& statics, const Ints* command, std::int32_t channel) {
    switch (Ints::get(command, 0)) {
    case kCommandPrepare:
        prepare(statics, channel, Ints::get(command, 1), Ints::get(command, 2));
        break;
    case kCommandFree:
        freeSoundChannel(channel);
        break;
    case kCommandPlay:
        play(statics, command, channel);
        break;
    case kCommandStop:
        stopChannelPlayer(channel);
        break;
    case kCommandPause:
        pauseOrResume(statics, channel, kChannelPlaying, kChannelPaused);
        break;
    case kCommandResume:
        pauseOrResume(statics, channel, kChannelPaused, kChannelPlaying);
        break;
    default:
        // Cancelled records and unknown kinds are skipped.
        break;
    }
}

// Drops a pending `java_lang_Exception`; false when another throwable is
// pending, which ends the caller's work.
bool dropException() {
    if (!rt::exceptionPending())
        return true;
    return rt::catchException(rt::ClassId::java_lang_Exception) != nullptr;
}

// One channel's part of an update pass; false when a throwable ends the pass.
bool updateChannel(SoundChannelStatics& statics, std::int32_t channel) {
    Ints* command = statics.s_soundScratch;
    popSoundCommand(channel, command);
    if (Ints::get(command, 5) < 1)
        return true;
    if (channelState(statics, channel) == kChannelPlaying) {
        bool playing = isSoundSlotPlaying(channel);
        if (rt::exceptionPending()) {
            if (!dropException())
                return false;
            playing = false;
        }
        if (!playing)
            setChannelState(statics, channel, kChannelPrepared);
    }
    while (Ints::get(command, 5) >= 1) {
        execute(statics, command, channel);
        if (!dropException())
            return false;
        popSoundCommand(channel, command);
    }
    return true;
}

} // namespace

SoundChannelStatics& soundChannelStatics() {
    return rt::getStaticClass().statics<SoundChannelStatics>();
}

void initSoundChannels(std::int32_t soundCount) {
    const OrvelLibConfig& settings = config();
    if (!settings.s_channelSound)
        return;
    SoundChannelStatics& statics = soundChannelStatics();
    std::int32_t channels = settings.s_soundChannels;
    statics.s_channelCount = channels;
    statics.s_channelPlayers = rt::newObjectArray(channels);
    statics.s_channelSounds = rt::newIntArray(channels);
    statics.s_channelPriorities = rt::newIntArray(channels);
    statics.s_channelStates = rt::newIntArray(channels);
    statics.s_channelVolumes = rt::newIntArray(channels);
    statics.s_channelLoops = rt::newIntArray(channels);
    statics.s_soundCommands = rt::newIntArray(channels * kRingSlots * kCommandInts);
    statics.s_commandHeads = rt::newIntArray(channels);
    statics.s_commandCounts = rt::newIntArray(channels);
    statics.s_soundScratch = rt::newIntArray(kCommandInts + 1);
    for (std::int32_t channel = 0; channel < channels; ++channel)
        Ints::set(statics.s_channelSounds, channel, -1);
    statics.s_soundCount = soundCount;
    statics.s_soundData = rt::newObjectArray(soundCount);
    statics.s_soundTypes = rt::newIntArray(soundCount);
    if (settings.s_cachePlayers)
        statics.s_soundPlayers = rt::newObjectArray(soundCount);
    if (settings.s_soundTimedMode) {
        statics.s_soundDurations = rt::newIntArray(soundCount);
        statics.s_channelStartTimes = rt::newLong64Array(channels);
    }
    if (settings.s_soundSwitchC)
        statics.s_soundSources = rt::newObjectArray(soundCount);
    statics.s_soundMasterVolume = 100;
    statics.s_soundReady = 1;
    if (threaded())
        startSoundThread();
}

void loadSound(rt::ByteArray* data, std::int32_t type, std::int32_t index, bool createNow) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!layerReady(statics) || index < 0 || index >= statics.s_soundCount)
        return;
    rt::ObjectArray::set(statics.s_soundData, index, data);
    Ints::set(statics.s_soundTypes, index, type);
    const OrvelLibConfig& settings = config();
    if (!settings.s_cachePlayers || !createNow)
        return;
    rt::Object* player = makeSoundPlayer(statics, index);
    javax_microedition_media_Player* view = playerView(player);
    if (!view || rt::exceptionPending())
        return;
    if (settings.s_soundSwitchB) {
        view->realize();
        if (settings.s_soundSwitchA && !rt::exceptionPending())
            view->prefetch();
    }
    rt::ObjectArray::set(statics.s_soundPlayers, index, player);
    rt::ObjectArray::set(statics.s_soundData, index, nullptr);
}

void queueSoundCommand(std::int32_t channel, std::int32_t kind, std::int32_t id, std::int32_t priority,
                       std::int32_t volume, std::int32_t loop) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!layerReady(statics) || channel < 0 || channel >= statics.s_channelCount)
        return;
    rt::MonitorScope lock(statics.s_soundCommands);
    Ints* ring = statics.s_soundCommands;
    std::int32_t head = Ints::get(statics.s_commandHeads, channel);
    std::int32_t count = Ints::get(statics.s_commandCounts, channel);
    if (count >= kRingSlots) {
        // The ring is full: the oldest record gives way to the new one.
        host::logf(host::LogCategory::Game, "sound channel %d: queue full, oldest command (kind %d) dropped",
                   channel, Ints::get(ring, recordStart(channel, head)));
        head = (head + 1) % kRingSlots;
        count = kRingSlots - 1;
        Ints::set(statics.s_commandHeads, channel, head);
    }
    std::int32_t pos = head + count;
    for (std::int32_t back = 1; back <= count; ++back) {
        std::int32_t at = recordStart(channel, pos - back);
        if (Ints::get(ring, at) != kind)
            continue;
        bool ranked = kind == kCommandPrepare || kind == kCommandPlay;
        if (ranked && Ints::get(ring, at + 2) < priority)
            continue;
        Ints::set(ring, at, kCommandCancelled);
    }
    std::int32_t at = recordStart(channel, pos);
    const std::int32_t record[kCommandInts] = {kind, id, priority, volume, loop};
    for (std::int32_t i = 0; i < kCommandInts; ++i)
        Ints::set(ring, at + i, record[i]);
    Ints::set(statics.s_commandCounts, channel, count + 1);
}

void queueFreeChannel(std::int32_t channel) {
    queueSoundCommand(channel, kCommandFree, -1, -1, -1, -1);
}

void playOnChannel(std::int32_t channel, std::int32_t id, std::int32_t loop, std::int32_t volume,
                   std::int32_t priority) {
    if (id >= 0 && volume != 0)
        queueSoundCommand(channel, kCommandPlay, id, priority, volume, loop);
}

void stopSoundChannel(std::int32_t channel) {
    queueSoundCommand(channel, kCommandStop, -1, -1, -1, -1);
}

void popSoundCommand(std::int32_t channel, Ints* out) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!statics.s_soundCommands) {
        Ints::set(out, 5, 0);
        return;
    }
    rt::MonitorScope lock(statics.s_soundCommands);
    std::int32_t count = Ints::get(statics.s_commandCounts, channel);
    Ints::set(out, 5, count);
    if (count < 1)
        return;
    std::int32_t head = Ints::get(statics.s_commandHeads, channel);
    std::int32_t at = recordStart(channel, head);
    for (std::int32_t i = 0; i < kCommandInts; ++i)
        Ints::set(out, i, Ints::get(statics.s_soundCommands, at + i));
    Ints::set(statics.s_commandHeads, channel, (head + 1) % kRingSlots);
    Ints::set(statics.s_commandCounts, channel, count - 1);
}

void updateSounds() {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!layerReady(statics))
        return;
    bool ownsBusy = threaded();
    if (ownsBusy && statics.s_updateBusy.exchange(1) != 0)
        return;
    {
        rt::MonitorScope lock(statics.s_soundCommands);
        for (std::int32_t channel = 0; channel < statics.s_channelCount; ++channel) {
            if (!updateChannel(statics, channel))
                break;
        }
    }
    if (ownsBusy)
        statics.s_updateBusy = 0;
}

void updateSoundsNow() {
    if (!threaded()) {
        updateSounds();
        return;
    }
    rt::java_lang_Thread* thread = soundChannelStatics().s_soundThread;
    if (thread && !thread->isAlive())
        thread->start();
}

std::int32_t channelLevel(std::int32_t volume, std::int32_t master) {
    return volume * master * 100 / 10000;
}

void setChannelMasterVolume(std::int32_t master) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!statics.s_soundCommands) {
        statics.s_soundMasterVolume = master;
        return;
    }
    rt::MonitorScope lock(statics.s_soundCommands);
    statics.s_soundMasterVolume = master;
    if (!config().s_masterVolume)
        return;
    for (std::int32_t channel = 0; channel < statics.s_channelCount; ++channel) {
        rt::Object* player = channelPlayer(statics, channel);
        if (!player)
            continue;
        applyLevel(statics, player, Ints::get(statics.s_channelVolumes, channel));
        if (rt::exceptionPending()) {
            (void)dropException();
            return;
        }
    }
}

std::int32_t getChannelSound(std::int32_t channel) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!statics.s_soundReady || !statics.s_channelSounds)
        return -1;
    rt::MonitorScope lock(statics.s_soundCommands);
    if (channel < 0 || channel >= statics.s_channelSounds->length())
        return -1;
    return Ints::get(statics.s_channelSounds, channel);
}

bool isSoundSlotPlaying(std::int32_t channel) {
    SoundChannelStatics& statics = soundChannelStatics();
    if (!layerReady(statics) || channel < 0 || channel >= statics.s_channelCount)
        return false;
    rt::MonitorScope lock(statics.s_soundCommands);
    rt::Object* player = channelPlayer(statics, channel);
    if (!player)
        return false;
    if (config().s_soundTimedMode) {
        std::int32_t id = Ints::get(statics.s_channelSounds, channel);
        if (id < 0)
            return false;
        std::int64_t loops = Ints::get(statics.s_channelLoops, channel);
        if (loops == 0)
            return true;
        std::int64_t ends = loops * Ints::get(statics.s_soundDurations, id) +
                            rt::Long64Array::get(statics.s_channelStartTimes, channel);
        return lib::java_lang_System::currentTimeMillis() - ends <= 0;
    }
    return playerView(player)->getState() == platform::kPlayerStarted;
}

void stopChannelPlayer(std::int32_t channel) {
    SoundChannelStatics& statics = soundChannelStatics();
    rt::Object* player = channelPlayer(statics, channel);
    if (!player)
        return;
    playerView(player)->stop();
    if (rt::exceptionPending())
        return;
    setChannelState(statics, channel, kChannelPrepared);
    const OrvelLibConfig& settings = config();
    if (settings.s_soundSwitchE) {
        freeSoundChannel(channel);
        if (rt::exceptionPending())
            return;
    }
    if (settings.s_soundTimedMode)
        rt::Long64Array::set(statics.s_channelStartTimes, channel, 0);
}

void freeSoundChannel(std::int32_t channel) {
    SoundChannelStatics& statics = soundChannelStatics();
    const OrvelLibConfig& settings = config();
    if (rt::Object* player = channelPlayer(statics, channel)) {
        javax_microedition_media_Player* view = playerView(player);
        view->stop();
        if (!settings.s_soundSwitchA && !rt::exceptionPending())
            view->deallocate();
        std::int32_t id = Ints::get(statics.s_channelSounds, channel);
        bool preloaded =
            settings.s_cachePlayers && id >= 0 && rt::ObjectArray::get(statics.s_soundPlayers, id) == player;
        if (!preloaded && !rt::exceptionPending())
            view->close();
        if (rt::exceptionPending())
            return;
        rt::ObjectArray::set(statics.s_channelPlayers, channel, nullptr);
        collectAfterUnload();
    }
    setChannelState(statics, channel, kChannelFree);
    Ints::set(statics.s_channelSounds, channel, -1);
}

void stopAllSounds() {
    SoundChannelStatics& statics = soundChannelStatics();
    for (std::int32_t channel = 0; channel < statics.s_channelCount; ++channel)
        stopSoundChannel(channel);
    if (!threaded() || statics.s_soundSuspended)
        updateSounds();
}

void stopAllSoundsIfEnabled() {
    if (!config().s_stopSoundsOnHide)
        return;
    stopAllSounds();
    if (threaded() && soundChannelStatics().s_soundSuspended)
        updateSounds();
}

void setSoundSuspended(bool suspended) {
    soundChannelStatics().s_soundSuspended = suspended ? 1 : 0;
}

} // namespace game
