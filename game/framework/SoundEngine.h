#pragma once

// `SoundEngine`: the game's sound player table. Each sound id has one player,
// made once from the sound's bytes (realized and prefetched at once); game
// code asks for a sound with `queueRequest`, and `processQueue` (the frame
// step's sound service, or the engine's own thread when it has one) starts
// the players.
//
// Ids 0 to 7 are music and jingles: starting one that is not the current
// sound restarts it from a stop. Higher ids are effects: they start only
// when their player is not already playing.
//
// Threads: `queueRequest`, `processQueue` and `stopAll` hold the engine's
// monitor, so a request may come from any runtime thread. The player table
// and the sound data live in `SoundEngineStatics`, written by the loader on
// the game thread before any request for them.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_media_Player;
}

namespace rt {
class java_lang_Thread;
}

namespace game {

inline constexpr std::int32_t kMaxSoundRequests = 8;
// Sound ids below this are music: they interrupt, and restart when current.
inline constexpr std::int32_t kMusicIdLimit = 8;

class SoundEngine final : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::SoundEngine;
    // A request: {kind, sound id, 1, flag}.
    static constexpr std::int32_t kPlayRequest = 1;
    static constexpr std::int32_t kStopAllRequest = 2;

    SoundEngine()
        : Object(kClassId) {}

    // Clears the fields, makes the type table (byte[count]) and the request
    // table; with `startThread`, starts a thread of its own on this engine
    // at the creating thread's priority.
    void init(std::int32_t count, bool startThread);
    // Stores the sound's bytes and type (0 or 1); with `createNow` makes its
    // player. Null data or another type leaves an IllegalArgumentException
    // pending and stores nothing.
    void setSound(std::int32_t index, rt::ByteArray* data, std::int32_t type, bool createNow);
    // Makes, realizes and prefetches the player of `index` from its bytes;
    // nothing without bytes. A failing player call leaves its exception pending.
    void loadPlayer(std::int32_t index);
    // Queues a play request; the ninth before the queue is drained is lost.
    // `loop` is not kept: the players play their sound once.
    void queueRequest(std::int32_t id, bool loop, bool flag);
    // Carries out the queued requests in order and empties the queue.
    void processQueue();
    // Starts the player of `index` (see the class comment). `loop` is unused.
    void startPlayer(std::int32_t index, std::int32_t loop);
    // Stops the player of `index` when it plays; the current sound becomes -1
    // for any index in range, and an index out of range changes nothing.
    virtual void stopPlayer(std::int32_t index);
    // Stops every player.
    void stopAll();
    // Whether some player plays.
    bool isAnyPlaying();
    // `processQueue` when the engine has no thread of its own.
    void processQueueUnthreaded();

    // The engine thread's body: drains the queue every sleep period until the
    // engine's thread is no longer the running one.
    void run() override;
    void* getInterface(rt::ClassId interfaceId) override;

    std::int32_t m_soundCount = 0;
    rt::java_lang_Thread* m_thread = nullptr;
    rt::ObjectArray* m_requests = nullptr; // int[8][4]
    std::int32_t m_requestCount = 0;
    std::int32_t m_currentSound = -1;

    RT_REFERENCE_FIELDS(SoundEngine, rt::Object, m_thread, m_requests)

private:
    // The Player view of the player of `index`, null when it has none.
    platform::javax_microedition_media_Player* playerOf(std::int32_t index) const;
};

struct SoundEngineStatics {
    // The engine thread's sleep, 1000 / frames per second.
    std::int32_t s_sleepPeriod = 40;
    // Per sound: its bytes (byte[]), its type (0 or 1), its player.
    rt::ObjectArray* s_soundData = nullptr;
    rt::ByteArray* s_soundTypes = nullptr;
    rt::ObjectArray* s_players = nullptr;
    // What ended the engine thread, null while it has not failed.
    rt::String* s_lastError = nullptr;

    RT_REFERENCE_FIELDS(SoundEngineStatics, rt::NoReferenceBase, s_soundData, s_soundTypes, s_players,
                        s_lastError)
};

SoundEngineStatics& soundEngineStatics();

} // namespace game
