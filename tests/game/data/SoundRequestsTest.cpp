#include "game/data/SoundRequests.h"
#include "game/Game.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "game/framework/SoundEngine.h"
#include "tests/game/data/SoundFixture.h"

namespace {

using namespace game;
using sound_testing::SoundTest;

// The head record of channel 0's ring as {kind, id, priority}, or {} when empty.
std::vector<std::int32_t> queuedRecord() {
    const SoundChannelStatics& statics = soundChannelStatics();
    if (rt::IntArray::get(statics.s_commandCounts, 0) < 1)
        return {};
    std::int32_t at = rt::IntArray::get(statics.s_commandHeads, 0) * kCommandInts;
    return {rt::IntArray::get(statics.s_soundCommands, at),
            rt::IntArray::get(statics.s_soundCommands, at + 1),
            rt::IntArray::get(statics.s_soundCommands, at + 2)};
}

TEST_F(SoundTest, InChannelModeOnlyMusicInterruptsABusyChannel) {
    struct Row {
        const char* name;
        bool soundOn;
        bool busy;
        std::int32_t id;
        std::int32_t priority;
        std::vector<std::int32_t> queued;
    };
    const Row rows[] = {
        {"an effect on an idle channel plays at priority 7", true, false, 9, 2, {kCommandPlay, 9, 7}},
        {"an effect on a busy channel is dropped", true, true, 9, 2, {}},
        {"music on a busy channel keeps the caller's priority", true, true, 3, 2, {kCommandPlay, 3, 2}},
        {"nothing plays with the sound option off", false, false, 3, 2, {}},
        {"nor for a negative id", true, false, -1, 2, {}},
    };
    loadTones(10);
    soundChannelStatics().s_channelMode = 1;
    for (const Row& row : rows) {
        setSoundOption(true);
        stopSoundChannel(0);
        if (row.busy)
            playOnChannel(0, 1, 0, 100, 5);
        updateSounds();
        ASSERT_EQ(isSoundSlotPlaying(0), row.busy) << row.name;
        setSoundOption(row.soundOn);
        playSound(0, row.id, 1, row.priority);
        EXPECT_EQ(queuedRecord(), row.queued) << row.name;
        if (!row.queued.empty()) {
            EXPECT_EQ(playingMusic(), row.id) << row.name;
        }
    }
}

// The menus', the screens' and the race's requests, and the framework's
// (pause and resume) through its registry: channel 0 at priority 0, which
// lets music interrupt a busy channel; outside channel mode a play request
// to the engine.
TEST_F(SoundTest, TheGamesRequestsPlayOnChannelZeroAtPriorityZero) {
    game::registerGame();
    loadTones(10);
    soundChannelStatics().s_channelMode = 1;
    setSoundOption(true);
    struct Row {
        void (*request)(std::int32_t);
        std::int32_t id;
        bool busy;
        std::vector<std::int32_t> queued;
    };
    const Row rows[] = {
        {requestSound, 3, true, {kCommandPlay, 3, 0}},
        {requestSound, 9, false, {kCommandPlay, 9, 7}},
        {requestSound, 9, true, {}},
        {game::seams().sound.playSound, 3, true, {kCommandPlay, 3, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        stopSoundChannel(0);
        if (row.busy)
            playOnChannel(0, 1, 0, 100, 5);
        updateSounds();
        row.request(row.id);
        EXPECT_EQ(queuedRecord(), row.queued);
    }

    soundChannelStatics().s_channelMode = 0;
    auto* engine = rt::make<SoundEngine>();
    engine->init(10, false);
    soundDataStatics().s_soundEngine = engine;
    requestSound(4);
    ASSERT_EQ(engine->m_requestCount, 1);
    auto* request = static_cast<rt::IntArray*>(rt::ObjectArray::get(engine->m_requests, 0));
    EXPECT_EQ(rt::IntArray::get(request, 0), SoundEngine::kPlayRequest);
    EXPECT_EQ(rt::IntArray::get(request, 1), 4);
}

TEST_F(SoundTest, VibrationsWithin200MillisecondsOfTheLastAreDropped) {
    struct Row {
        std::int64_t now;
        std::int64_t guardAfter;
    };
    // The guard starts at 0: a vibration at time 0 is inside it.
    const Row rows[] = {{0, 0}, {1, 201}, {150, 201}, {201, 201}, {202, 402}};
    for (const Row& row : rows) {
        loopStatics().s_paintTime = row.now;
        vibrate(50);
        EXPECT_EQ(soundDataStatics().s_vibrationGuard, row.guardAfter) << row.now;
    }
}

} // namespace
