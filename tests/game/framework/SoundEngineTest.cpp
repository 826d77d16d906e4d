#include "game/framework/SoundEngine.h"
#include "platform/media/Player.h"
#include "runtime/ObjectManager.h"
#include "tests/game/data/SoundFixture.h"

namespace {

using game::SoundEngine;
using platform::javax_microedition_media_Player;

struct SoundEngineTest : sound_testing::SoundTest {
    SoundEngineTest() {
        engine.set(rt::make<SoundEngine>());
        engine->init(24, false);
        game::SoundEngineStatics& statics = game::soundEngineStatics();
        statics.s_soundData = rt::newObjectArray(24);
        statics.s_players = rt::newObjectArray(24);
        for (std::int32_t i = 0; i < 24; ++i)
            engine->setSound(i, toneWave(static_cast<std::uint32_t>(i)), i < 5 ? 0 : 1, true);
    }
    static javax_microedition_media_Player* player(std::int32_t index) {
        return rt::interfaceOf<javax_microedition_media_Player>(
            rt::ObjectArray::get(game::soundEngineStatics().s_players, index));
    }
    static bool playing(std::int32_t index) { return player(index)->getState() == platform::kPlayerStarted; }
    // Buffers handed to the audio device by every player so far: one per start.
    std::uint32_t starts() {
        std::uint32_t writes = 0;
        for (const host::AudioRecording& recording : host->headlessAudio().recordings())
            writes += recording.writes;
        return writes;
    }

    // Held by a handle: the fixture lives on the C++ heap, where the collector
    // does not look for references.
    rt::Handle<SoundEngine> engine{runtime->objectManager()};
};

struct StartCase {
    const char* name;
    std::int32_t current;
    std::int32_t playingBefore; // -1 none
    bool stoppedAfterPlaying;   // the index played once and was stopped
    std::int32_t index;
    bool starts;
    std::int32_t currentAfter;
};

void PrintTo(const StartCase& row, std::ostream* out) {
    *out << row.name;
}

struct SoundEngineStartTest : SoundEngineTest, ::testing::WithParamInterface<StartCase> {};

TEST_P(SoundEngineStartTest, StartsOnlyWhatItShould) {
    const StartCase& row = GetParam();
    if (row.playingBefore >= 0)
        player(row.playingBefore)->start();
    if (row.stoppedAfterPlaying) {
        player(row.index)->start();
        player(row.index)->stop();
    }
    engine->m_currentSound = row.current;
    std::uint32_t before = starts();
    engine->startPlayer(row.index, 1);
    EXPECT_EQ(starts() - before, row.starts ? 1u : 0u);
    EXPECT_EQ(engine->m_currentSound, row.currentAfter);
    if (row.playingBefore >= 0 && row.playingBefore != row.index) {
        EXPECT_TRUE(playing(row.playingBefore)) << "another sound is never stopped";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SoundEngineStartTest,
    ::testing::Values(StartCase{"CurrentAndPlayingMusicIsLeftAlone", 3, 3, false, 3, false, 3},
                      StartCase{"CurrentButStoppedMusicStarts", 3, -1, true, 3, true, 3},
                      StartCase{"OtherMusicRestartsAndBecomesCurrent", 5, 3, false, 3, true, 3},
                      StartCase{"MusicNotPlayingStartsBesideTheCurrent", 5, 5, false, 3, true, 3},
                      StartCase{"APlayingEffectIsNotRestarted", -1, 9, false, 9, false, -1},
                      StartCase{"AnIdleEffectStarts", 3, 3, false, 9, true, 9},
                      StartCase{"AnIndexOutOfRangeDoesNothing", 3, -1, false, 24, false, 3},
                      StartCase{"ANegativeIndexDoesNothing", 3, -1, false, -1, false, 3}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(SoundEngineTest, StopKeepsTheCurrentSoundOnlyForAnIndexOutOfRange) {
    player(4)->start();
    engine->m_currentSound = 4;
    engine->stopPlayer(24);
    EXPECT_EQ(engine->m_currentSound, 4);
    EXPECT_TRUE(playing(4));
    engine->stopPlayer(7);
    EXPECT_EQ(engine->m_currentSound, -1) << "an idle index clears it too";
    EXPECT_TRUE(playing(4));
    player(12)->start();
    engine->stopAll();
    EXPECT_FALSE(engine->isAnyPlaying());
}

TEST_F(SoundEngineTest, TheQueueTakesEightRequestsAndDropsTheNinth) {
    for (std::int32_t id = 8; id <= 16; ++id)
        engine->queueRequest(id, false, true);
    EXPECT_EQ(engine->m_requestCount, 8);
    engine->processQueueUnthreaded();
    EXPECT_EQ(engine->m_requestCount, 0);
    EXPECT_EQ(starts(), 8u);
    EXPECT_TRUE(playing(15));
    EXPECT_FALSE(playing(16));
    EXPECT_EQ(engine->m_currentSound, 15);
}

TEST_F(SoundEngineTest, ASoundWithoutBytesOrOfAnotherTypeIsRefused) {
    struct Row {
        bool data;
        std::int32_t type;
    };
    for (Row row : {Row{false, 0}, Row{true, 2}, Row{true, -1}}) {
        engine->setSound(0, row.data ? toneWave(5) : nullptr, row.type, true);
        EXPECT_NE(rt::catchException(rt::ClassId::java_lang_IllegalArgumentException), nullptr) << row.type;
    }
    EXPECT_EQ(rt::ByteArray::get(game::soundEngineStatics().s_soundTypes, 0), 0);
    engine->startPlayer(0, 1);
    sleep(250);
    EXPECT_EQ(heard(0).pcm, datakit::tonePcm(0, sound_testing::kToneFrames))
        << "sound 0 still the first tone";
}

} // namespace
