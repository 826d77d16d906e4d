// The sound layers in the running game, headless: the start-up sets the
// channels up, the sounds load from a pack of datakit's tones, and what the
// game asks for is heard; and the sound thread beside the game thread.

#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "game/framework/SoundEngine.h"
#include "game/framework/States.h"
#include "platform/media/Player.h"
#include "runtime/Thread.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/SoundPack.h"

#include <algorithm>

namespace {

using framework_testing::StartedGame;
using platform::javax_microedition_media_Player;

constexpr std::uint32_t kToneFrames = 1600; // 0.2 s

// The demo set with its sound pack made of tones: sound i is tone i.
void useTonePack(mkdata::ProgramFolder& demo) {
    std::erase_if(demo.archive, [](const datakit::ArchiveEntry& entry) {
        return entry.name.starts_with(mkdata::kSoundPackFile);
    });
    for (datakit::ArchiveEntry& file : datakit::packArchiveEntries(
             mkdata::kSoundPackFile, mkdata::kPackPartSeparatorText,
             datakit::writePack(datakit::soundPackEntries(datakit::toneSounds(24, kToneFrames)))))
        demo.archive.push_back(std::move(file));
}

javax_microedition_media_Player* enginePlayer(std::int32_t index) {
    return rt::interfaceOf<javax_microedition_media_Player>(
        rt::ObjectArray::get(game::soundEngineStatics().s_players, index));
}

bool playing(std::int32_t index) {
    return enginePlayer(index)->getState() == platform::kPlayerStarted;
}

std::int32_t loadedPlayers() {
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < 24; ++i)
        count += enginePlayer(i) ? 1 : 0;
    return count;
}

struct SoundGame : ::testing::Test {
    void loadAllSounds() {
        for (std::int32_t batch = 0; batch < game::kSoundBatches; ++batch)
            game::loadSounds(batch);
    }
    // The stream of engine sound `index`: each player opens its stream when
    // it is prefetched, and the loader prefetches them in order.
    host::AudioRecording heard(std::int32_t index) {
        return game.host->headlessAudio().recordings().at(static_cast<std::size_t>(index));
    }

    // Set before the game starts on the demo set it writes.
    bool m_tonePack = (framework_testing::s_editDemoSet = useTonePack, true);
    StartedGame game;
};

TEST_F(SoundGame, TheStartUpSetsTheChannelsUpAndTheSoundsLoadInSevenBatches) {
    ASSERT_TRUE(game.started);
    game.frame();
    const game::SoundChannelStatics& channels = game::soundChannelStatics();
    EXPECT_EQ(channels.s_soundReady, 1);
    ASSERT_NE(channels.s_soundThread, nullptr);
    EXPECT_TRUE(channels.s_soundThread->isAlive());
    EXPECT_EQ(game::getContentType(0)->toUtf8(), "audio/x-wav");
    EXPECT_TRUE(game.log.contains("sound: 3 content types, 1 channels for 24 sounds"));

    for (std::int32_t batch = 0; batch < game::kSoundBatches; ++batch) {
        game::loadSounds(batch);
        ASSERT_FALSE(rt::exceptionPending()) << batch;
        EXPECT_EQ(loadedPlayers(), batch == 6 ? 24 : 3 * (batch + 1)) << batch;
        EXPECT_EQ(game::soundDataStatics().s_allSoundsLoaded, batch == 6 ? 1 : 0) << batch;
    }
    std::int8_t types[24];
    for (std::int32_t i = 0; i < 24; ++i)
        types[i] = rt::ByteArray::get(game::soundEngineStatics().s_soundTypes, i);
    EXPECT_EQ(types[4], 0);
    EXPECT_EQ(types[5], 1);
    game::loadSounds(0);
    std::vector<std::string> lines = game.log.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("all sounds loaded") != std::string::npos;
                            }),
              1)
        << "once all are loaded a further batch returns at once";
}

TEST_F(SoundGame, RequestedSoundsAreHeardAndHideAndShowRestartTheMusic) {
    ASSERT_TRUE(game.started);
    game.frame();
    loadAllSounds();
    game::setSoundOption(true);
    game::playSound(0, 2, 1, 0);
    game::playSound(0, 12, 0, 0);
    EXPECT_FALSE(playing(2)) << "requests wait for the frame's sound service";
    game.frame();
    EXPECT_TRUE(playing(2));
    EXPECT_TRUE(playing(12));
    rt::java_lang_Thread::sleep(250);
    EXPECT_EQ(heard(2).pcm, datakit::tonePcm(2, kToneFrames));
    EXPECT_EQ(heard(12).pcm, datakit::tonePcm(12, kToneFrames));
    for (std::int32_t other : {0, 1, 3, 11, 13, 23})
        EXPECT_EQ(heard(other).bytesPlayed, 0u) << other;

    game::playSound(0, 12, 0, 0);
    game.frame();
    game::stopMusicChannel(0);
    EXPECT_FALSE(playing(12)) << "the stop reaches every engine sound";

    game::playSound(0, 2, 1, 0);
    game.frame();
    ASSERT_TRUE(playing(2));
    EXPECT_TRUE(game.application().pauseAndHide());
    EXPECT_FALSE(playing(2));
    EXPECT_EQ(game::loopStatics().s_pausedMusic, 2);
    EXPECT_EQ(game::soundChannelStatics().s_soundSuspended, 1);
    std::uint64_t beforeShow = heard(2).bytesPlayed;
    EXPECT_TRUE(game.application().startAndShow());
    EXPECT_EQ(game::soundChannelStatics().s_soundSuspended, 0);
    EXPECT_TRUE(playing(2)) << "the music is asked for again and the resume's frame starts it";
    rt::java_lang_Thread::sleep(250);
    EXPECT_GT(heard(2).bytesPlayed, beforeShow);
}

} // namespace

namespace {

// State 2 of the whole run below: on entering, the sounds load; each update
// asks for a sound through the engine and queues commands for the channel
// layer, whose sound thread carries them out meanwhile.
std::int32_t s_soundUpdates = 0;

void playEveryFrame(std::int32_t message) {
    if (message == game::kEnter) {
        game::setSoundOption(true);
        for (std::int32_t batch = 0; batch < game::kSoundBatches; ++batch)
            game::loadSounds(batch);
        return;
    }
    if (message != game::kUpdate)
        return;
    std::int32_t turn = s_soundUpdates++;
    game::playSound(0, turn % 24, 0, 0);
    game::playOnChannel(0, turn % 5, 1, 80, 3);
    if (turn % 3 == 0)
        game::stopSoundChannel(0);
    (void)game::isSoundSlotPlaying(0);
}

TEST(SoundThread, RunsBesideTheGameThroughHidingAndShowingUntilTheGameEnds) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-sound-thread");
    framework_testing::writeDemoSet(folder.path());
    s_soundUpdates = 0;
    framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, playEveryFrame); };
    int status = framework_testing::runWholeGame(
        folder.path(), "0 activate\n0 focus-gained\n400 focus-lost\n+200 focus-gained\n1200 quit\n");
    EXPECT_EQ(status, 0);
    EXPECT_GT(s_soundUpdates, 10);
    EXPECT_TRUE(log.contains("sound: 3 content types, 1 channels for 24 sounds"));
    EXPECT_TRUE(log.contains("all sounds loaded"));
    EXPECT_FALSE(log.contains("did not end")) << "the sound thread ends with the game";
}

} // namespace
