#include "game/data/SoundChannels.h"
#include "platform/media/Player.h"
#include "tests/game/data/SoundFixture.h"

#include <string>
#include <vector>

namespace {

using namespace game;
using sound_testing::SoundTest;

struct Queued {
    std::int32_t kind; // -1: pop one record instead
    std::int32_t priority;
};

struct RingCase {
    const char* name;
    std::vector<Queued> queued;
    // The records left, head first, as kind/priority.
    std::vector<Queued> left;
    bool dropLogged;
};

void PrintTo(const RingCase& ring, std::ostream* out) {
    *out << ring.name;
}

std::string describe(const std::vector<Queued>& records) {
    std::string text;
    for (const Queued& record : records)
        text += std::to_string(record.kind) + "/" + std::to_string(record.priority) + " ";
    return text;
}

struct SoundRingTest : SoundTest, ::testing::WithParamInterface<RingCase> {};

// Cancelled records keep their place until popped; kinds other than
// prepare and play carry priority -1.
TEST_P(SoundRingTest, KeepsTheLiveRecordsTheQueueingRulesLeave) {
    const RingCase& ring = GetParam();
    initSoundChannels(24);
    rt::IntArray* out = rt::newIntArray(6);
    for (const Queued& command : ring.queued) {
        if (command.kind < 0)
            popSoundCommand(0, out);
        else
            queueSoundCommand(0, command.kind, 1, command.priority, 100, 1);
    }
    std::vector<Queued> left;
    for (;;) {
        popSoundCommand(0, out);
        if (rt::IntArray::get(out, 5) < 1)
            break;
        left.push_back({rt::IntArray::get(out, 0), rt::IntArray::get(out, 2)});
    }
    EXPECT_EQ(describe(left), describe(ring.left));
    EXPECT_EQ(log.contains("queue full"), ring.dropLogged);
}

constexpr std::int32_t kPrepare = kCommandPrepare;
constexpr std::int32_t kFree = kCommandFree;
constexpr std::int32_t kPlay = kCommandPlay;
constexpr std::int32_t kStop = kCommandStop;

INSTANTIATE_TEST_SUITE_P(
    Rules, SoundRingTest,
    ::testing::Values(
        RingCase{
            "LowerPriorityPlayKeepsTheEarlierOne", {{kPlay, 3}, {kPlay, 5}}, {{kPlay, 3}, {kPlay, 5}}, false},
        RingCase{
            "EqualPriorityPlayCancelsTheEarlierOne", {{kPlay, 5}, {kPlay, 5}}, {{0, 5}, {kPlay, 5}}, false},
        RingCase{
            "HigherPriorityPlayCancelsTheEarlierOne", {{kPlay, 7}, {kPlay, 5}}, {{0, 7}, {kPlay, 5}}, false},
        RingCase{"PrepareRanksLikePlay",
                 {{kPrepare, 2}, {kPrepare, 4}, {kPrepare, 3}},
                 {{kPrepare, 2}, {0, 4}, {kPrepare, 3}},
                 false},
        RingCase{"TwoStopsLeaveOne", {{kStop, -1}, {kStop, -1}}, {{0, -1}, {kStop, -1}}, false},
        RingCase{"OnlyTheSameKindIsCancelled",
                 {{kStop, -1}, {kPlay, 1}, {kFree, -1}, {kStop, -1}},
                 {{0, -1}, {kPlay, 1}, {kFree, -1}, {kStop, -1}},
                 false},
        RingCase{
            "AnEighthCommandDropsTheOldest",
            {{kPlay, 1}, {kPlay, 2}, {kPlay, 3}, {kPlay, 4}, {kPlay, 5}, {kPlay, 6}, {kPlay, 7}, {kPlay, 8}},
            {{kPlay, 2}, {kPlay, 3}, {kPlay, 4}, {kPlay, 5}, {kPlay, 6}, {kPlay, 7}, {kPlay, 8}},
            true},
        RingCase{"TheBoundHoldsAcrossTheRingsEnd",
                 {{kPlay, 1},
                  {kPlay, 2},
                  {kPlay, 3},
                  {-1, 0},
                  {-1, 0},
                  {kPlay, 4},
                  {kPlay, 5},
                  {kPlay, 6},
                  {kPlay, 7},
                  {kPlay, 8},
                  {kPlay, 9},
                  {kPlay, 10}},
                 {{kPlay, 4}, {kPlay, 5}, {kPlay, 6}, {kPlay, 7}, {kPlay, 8}, {kPlay, 9}, {kPlay, 10}},
                 true}),
    [](const ::testing::TestParamInfo<RingCase>& info) { return std::string(info.param.name); });

TEST_F(SoundTest, NothingIsQueuedBeforeTheLayerIsReadyOrOnAChannelItLacks) {
    queueSoundCommand(0, kCommandPlay, 1, 1, 100, 1);
    initSoundChannels(24);
    queueSoundCommand(1, kCommandPlay, 1, 1, 100, 1);
    queueSoundCommand(-1, kCommandPlay, 1, 1, 100, 1);
    playOnChannel(0, -1, 1, 100, 1);
    playOnChannel(0, 2, 1, 0, 1);
    EXPECT_EQ(rt::IntArray::get(soundChannelStatics().s_commandCounts, 0), 0);
    EXPECT_EQ(getChannelSound(0), -1);
    EXPECT_EQ(getChannelSound(1), -1);
}

TEST_F(SoundTest, TheTablesMatchTheChannelCountAndSoundCount) {
    initSoundChannels(24);
    const SoundChannelStatics& statics = soundChannelStatics();
    EXPECT_EQ(statics.s_soundCommands->length(), 35);
    EXPECT_EQ(rt::IntArray::get(statics.s_channelSounds, 0), -1);
    EXPECT_EQ(statics.s_channelSounds->length(), 1);
    EXPECT_EQ(statics.s_soundData->length(), 24);
    EXPECT_EQ(statics.s_soundMasterVolume, 100);
    EXPECT_EQ(statics.s_soundThread, nullptr) << "unthreaded: no sound thread";
}

TEST_F(SoundTest, ChannelLevelsScaleByTheMasterVolumeAndTruncate) {
    struct Row {
        std::int32_t volume, master, level;
    };
    for (Row row : {Row{100, 100, 100}, Row{50, 100, 50}, Row{50, 33, 16}, Row{0, 100, 0}, Row{100, 0, 0},
                    Row{99, 99, 98}})
        EXPECT_EQ(channelLevel(row.volume, row.master), row.level) << row.volume << " x " << row.master;
}

platform::javax_microedition_media_Player* channelPlayer() {
    return rt::interfaceOf<platform::javax_microedition_media_Player>(
        rt::ObjectArray::get(soundChannelStatics().s_channelPlayers, 0));
}

std::int32_t channelState() {
    return rt::IntArray::get(soundChannelStatics().s_channelStates, 0);
}

std::int32_t volumeLevel() {
    rt::Object* player = rt::ObjectArray::get(soundChannelStatics().s_channelPlayers, 0);
    return rt::interfaceOf<platform::javax_microedition_media_control_VolumeControl>(player)->getLevel();
}

TEST_F(SoundTest, PlayStopPauseAndResumeDriveTheChannelsPlayer) {
    loadTones(4);
    playOnChannel(0, 2, 1, 50, 3);
    updateSounds();
    ASSERT_NE(channelPlayer(), nullptr);
    EXPECT_EQ(channelState(), kChannelPlaying);
    EXPECT_EQ(getChannelSound(0), 2);
    EXPECT_TRUE(isSoundSlotPlaying(0));
    EXPECT_EQ(volumeLevel(), 50);
    setChannelMasterVolume(33);
    EXPECT_EQ(volumeLevel(), 16) << "the master volume is applied to the playing channel";

    queueSoundCommand(0, kCommandPause, -1, -1, -1, -1);
    updateSounds();
    EXPECT_EQ(channelState(), kChannelPaused);
    EXPECT_EQ(channelPlayer()->getState(), platform::kPlayerPrefetched);
    queueSoundCommand(0, kCommandResume, -1, -1, -1, -1);
    updateSounds();
    EXPECT_EQ(channelState(), kChannelPlaying);
    sleep(250);
    EXPECT_EQ(heard().pcm, datakit::tonePcm(2, sound_testing::kToneFrames))
        << "tone 2, once, paused and resumed";

    playOnChannel(0, 3, 1, 100, 3);
    stopSoundChannel(0);
    updateSounds();
    EXPECT_EQ(channelState(), kChannelFree) << "a stop also frees the channel";
    EXPECT_EQ(channelPlayer(), nullptr);
    EXPECT_EQ(getChannelSound(0), -1);
}

TEST_F(SoundTest, AnEndedSoundLeavesThePlayingStateAtTheNextUpdate) {
    loadTones(2);
    playOnChannel(0, 1, 1, 100, 3);
    updateSounds();
    sleep(300);
    EXPECT_FALSE(isSoundSlotPlaying(0));
    EXPECT_EQ(channelState(), kChannelPlaying) << "nothing looks before an update";
    queueSoundCommand(0, kCommandPause, -1, -1, -1, -1);
    updateSounds();
    EXPECT_EQ(channelState(), kChannelPrepared)
        << "the ended sound is prepared again, so pause has nothing to do";
}

TEST_F(SoundTest, APrepareOfTheHeldSoundKeepsItsPlayerAndAnotherSoundReplacesIt) {
    loadTones(2);
    playOnChannel(0, 1, 1, 100, 3);
    updateSounds();
    platform::javax_microedition_media_Player* player = channelPlayer();
    queueSoundCommand(0, kCommandPrepare, 1, 1, -1, -1);
    updateSounds();
    EXPECT_EQ(channelPlayer(), player);
    EXPECT_EQ(channelState(), kChannelPlaying);
    queueSoundCommand(0, kCommandPrepare, 0, 1, -1, -1);
    updateSounds();
    EXPECT_NE(channelPlayer(), player);
    EXPECT_EQ(player->getState(), platform::kPlayerClosed) << "the freed player is closed";
    EXPECT_EQ(channelState(), kChannelPrepared);
    EXPECT_EQ(getChannelSound(0), 0);
}

TEST_F(SoundTest, WhileSuspendedNoPlayerStarts) {
    loadTones(2);
    setSoundSuspended(true);
    playOnChannel(0, 1, 1, 100, 3);
    updateSounds();
    EXPECT_EQ(channelPlayer(), nullptr);
    setSoundSuspended(false);
    playOnChannel(0, 1, 1, 100, 3);
    updateSounds();
    EXPECT_TRUE(isSoundSlotPlaying(0));
    stopAllSoundsIfEnabled();
    EXPECT_EQ(channelPlayer(), nullptr) << "unthreaded, the stop of every sound runs at once";
}

TEST_F(SoundTest, InTimedModeLoopZeroPlaysUntilStoppedAndACountedLoopEndsOnTime) {
    config().s_soundTimedMode = 1;
    loadTones(2);
    rt::IntArray::set(soundChannelStatics().s_soundDurations, 1, 200);
    playOnChannel(0, 1, 2, 100, 3);
    updateSounds();
    sleep(399);
    EXPECT_TRUE(isSoundSlotPlaying(0));
    sleep(2);
    EXPECT_FALSE(isSoundSlotPlaying(0)) << "two loops of 200 ms are over";
    playOnChannel(0, 0, 0, 100, 3);
    updateSounds();
    sleep(5000);
    EXPECT_TRUE(isSoundSlotPlaying(0));
}

} // namespace
