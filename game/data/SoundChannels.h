#pragma once

// The channel sound layer: a fixed number of channels, each holding at most
// one player, fed through a ring of seven queued commands per channel and
// drained by the sound thread (SoundThread.h) or, without it, by the frame
// step. The game's sound requests go to `SoundEngine` unless the channel
// mode is on; the layer is still set up at start-up and carries the stop of
// every sound when the game is hidden.
//
// A command is five ints: kind, sound id, priority (smaller wins), volume
// (0..100), loop count (0 for ever). Queueing a command cancels the queued
// ones of its kind (kind 0), except that for prepare and play an older
// record with a smaller priority stays. The ring is bounded: a command
// queued while seven wait drops the oldest of them, with one log line.
//
// Threads: the game thread (and the window thread, on hiding) queues; the
// sound thread runs `updateSounds`. The ring and every channel table are
// guarded by the monitor of the ring array (`s_soundCommands`), held by the
// queue and pop, by a whole update pass, and by the queries; a contended
// enter waits in a safe region. The update's busy flag and the suspended
// flag are atomics.
//
// Settings of `OrvelLibConfig` read here: s_channelSound (the layer exists),
// s_soundChannels (channel count), s_soundThread (threaded), s_cachePlayers
// (players made at load and shared), s_soundSwitchB (realize at load),
// s_soundSwitchA (prefetch at load; then a free does not deallocate),
// s_soundSwitchD (rewind before start), s_soundTimedMode (playing judged by
// time), s_soundSwitchE (a stop also frees), s_stopSoundsOnHide (stop-all
// acts), s_masterVolume (levels through the volume control), s_soundSwitchC
// (a per-sound source tried first; nothing makes one here).

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <atomic>
#include <cstdint>

namespace rt {
class java_lang_Thread;
}

namespace game {

inline constexpr std::int32_t kRingSlots = 7;
inline constexpr std::int32_t kCommandInts = 5;

enum SoundCommandKind : std::int32_t {
    kCommandCancelled = 0,
    kCommandPrepare = 1,
    kCommandFree = 2,
    kCommandPlay = 3,
    kCommandStop = 4,
    kCommandPause = 5,
    kCommandResume = 6,
};

enum ChannelState : std::int32_t {
    kChannelFree = 0,
    kChannelPrepared = 1,
    kChannelPlaying = 2,
    kChannelPaused = 3,
};

struct SoundChannelStatics {
    std::int32_t s_channelCount = 0;
    std::int32_t s_soundCount = 0;
    std::int32_t s_soundMasterVolume = 100;
    // 1 once the tables exist: commands are accepted from then on.
    std::int8_t s_soundReady = 0;

    // Per sound: bytes, content-type index, preloaded player, clip length
    // (timed mode) and outside source.
    rt::ObjectArray* s_soundData = nullptr;
    rt::IntArray* s_soundTypes = nullptr;
    rt::ObjectArray* s_soundPlayers = nullptr;
    rt::IntArray* s_soundDurations = nullptr;
    rt::ObjectArray* s_soundSources = nullptr;

    // Per channel: player, sound id (-1 none), priority, state, volume,
    // loop count, start time (timed mode).
    rt::ObjectArray* s_channelPlayers = nullptr;
    rt::IntArray* s_channelSounds = nullptr;
    rt::IntArray* s_channelPriorities = nullptr;
    rt::IntArray* s_channelStates = nullptr;
    rt::IntArray* s_channelVolumes = nullptr;
    rt::IntArray* s_channelLoops = nullptr;
    rt::Long64Array* s_channelStartTimes = nullptr;

    // The rings: 7 records of 5 ints per channel, the head slot and the
    // number of queued records of each; the record being carried out, its
    // sixth int the ring count before the pop.
    rt::IntArray* s_soundCommands = nullptr;
    rt::IntArray* s_commandHeads = nullptr;
    rt::IntArray* s_commandCounts = nullptr;
    rt::IntArray* s_soundScratch = nullptr;

    // 1 while an update pass runs (threaded only).
    std::atomic<std::int8_t> s_updateBusy{0};
    // The sound thread and its runnable; the thread loops while it is asked
    // to run.
    rt::java_lang_Thread* s_soundThread = nullptr;
    rt::Object* s_soundRunner = nullptr;
    std::atomic<std::int8_t> s_soundThreadRun{0};

    // The game's choice of layer for its requests (off: `SoundEngine`).
    std::int8_t s_channelMode = 0;
    std::int32_t s_currentMusic = -1;
    std::int32_t s_rememberedMusic = -1;
    // 1 while the game is hidden: no play command starts a player.
    std::atomic<std::int8_t> s_soundSuspended{0};

    RT_REFERENCE_FIELDS(SoundChannelStatics, rt::NoReferenceBase, s_soundData, s_soundTypes, s_soundPlayers,
                        s_soundDurations, s_soundSources, s_channelPlayers, s_channelSounds,
                        s_channelPriorities, s_channelStates, s_channelVolumes, s_channelLoops,
                        s_channelStartTimes, s_soundCommands, s_commandHeads, s_commandCounts, s_soundScratch,
                        s_soundThread, s_soundRunner)
};

SoundChannelStatics& soundChannelStatics();

// Makes the tables for the configured channel count and `soundCount`
// sounds, master volume 100, ready; when threaded, starts the sound thread.
// Nothing unless the layer exists. Called once per run.
void initSoundChannels(std::int32_t soundCount);
// Stores a sound's bytes and content-type index; with the preload setting
// and `createNow`, makes its player now and keeps it in place of the bytes.
void loadSound(rt::ByteArray* data, std::int32_t type, std::int32_t index, bool createNow);

// Queues one command on `channel` (the rules above). Nothing while the
// layer is not ready or for a channel it does not have.
void queueSoundCommand(std::int32_t channel, std::int32_t kind, std::int32_t id, std::int32_t priority,
                       std::int32_t volume, std::int32_t loop);
void queueFreeChannel(std::int32_t channel);
// Queues play only for id >= 0 and a volume other than 0.
void playOnChannel(std::int32_t channel, std::int32_t id, std::int32_t loop, std::int32_t volume,
                   std::int32_t priority);
void stopSoundChannel(std::int32_t channel);
// Writes the ring count into out[5] and, when it is at least 1, the head
// record into out[0..4], which it takes off the ring.
void popSoundCommand(std::int32_t channel, rt::IntArray* out);

// Drains every channel's ring. A `java_lang_Exception` of a command is
// dropped and the next one runs; any other throwable ends the pass pending.
void updateSounds();
// Unthreaded: `updateSounds` now; threaded: restarts a sound thread that ended.
void updateSoundsNow();
// Stores `master` and, with the volume-control setting, re-applies every
// channel's level: volume x master x 100 / 10000, truncated.
void setChannelMasterVolume(std::int32_t master);
std::int32_t channelLevel(std::int32_t volume, std::int32_t master);

// The channel's sound id; -1 when not ready or out of range.
std::int32_t getChannelSound(std::int32_t channel);
// Whether the channel's player plays (or, in timed mode, its time has not run out).
bool isSoundSlotPlaying(std::int32_t channel);
// Stops the channel's player: state 1, freed too with the free-on-stop setting.
void stopChannelPlayer(std::int32_t channel);
// Stops, deallocates and closes the channel's player; state 0, sound -1.
void freeSoundChannel(std::int32_t channel);

// Queues stop on every channel and, unless the sound thread will run it,
// updates now.
void stopAllSounds();
// `stopAllSounds` when the stop-all setting says so.
void stopAllSoundsIfEnabled();
// Sets or clears the suspended flag (the game hidden or shown).
void setSoundSuspended(bool suspended);

} // namespace game
