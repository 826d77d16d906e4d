#include "platform/media/SoundPlayerWAVE.h"
#include "tests/platform/media/MediaFixture.h"
#include "tools/datakit/Wave.h"

// Its own namespace: this file compiles in one batch with its neighbours.
namespace sound_player_wave_test {

namespace {

using datakit::Bytes;
using platform::SoundPlayerWAVE;

// A quarter second of a 440 Hz sine, 8 kHz mono: 4000 bytes of PCM.
const datakit::WaveFormat kMono{1, 8000, 16};
const Bytes kSine = datakit::sinePcm(kMono, 440, 2000);

Bytes repeated(const Bytes& bytes, int times) {
    Bytes all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), bytes.begin(), bytes.end());
    return all;
}

struct WavePlayerTest : testing_support::MediaTest {
    using MediaTest::MediaTest;
    SoundPlayerWAVE* player(const Bytes& bytes = datakit::writeWave(kMono, kSine)) {
        return rt::make<SoundPlayerWAVE>(bytes);
    }
};

TEST_F(WavePlayerTest, PlaysExactlyTheDataChunkAsOftenAsTheLoopCountSays) {
    SoundPlayerWAVE* wave = player();
    wave->setLoopCount(3);
    EXPECT_EQ(wave->getState(), 100);
    wave->realize();
    EXPECT_EQ(wave->getState(), 200);
    EXPECT_EQ(wave->getDuration(), 250'000);
    wave->prefetch();
    EXPECT_EQ(wave->getState(), 300);
    wave->start();
    EXPECT_EQ(wave->getState(), 400);
    sleep(700);
    EXPECT_EQ(wave->getState(), 400);
    EXPECT_EQ(wave->getMediaTime(), 700'000);
    sleep(51);
    EXPECT_EQ(wave->getState(), 300) << "the completion brings the player back to PREFETCHED";
    EXPECT_EQ(heard().pcm, repeated(kSine, 3)) << "every byte of the data chunk, the last 600 too";
    EXPECT_EQ(heard().format, (host::PcmFormat{1, 8000, 16}));

    // Played again from PREFETCHED; the loop count was fixed at realize.
    wave->setLoopCount(5);
    wave->start();
    sleep(751);
    EXPECT_EQ(wave->getState(), 300);
    EXPECT_EQ(heard().pcm.size(), 6 * kSine.size());

    wave->deallocate();
    EXPECT_EQ(wave->getState(), 200);
    wave->close();
    EXPECT_EQ(wave->getState(), 0);
    EXPECT_FALSE(heard().open);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(WavePlayerTest, MovesThroughItsStatesAndRaisesWhereTheyForbid) {
    SoundPlayerWAVE* wave = player();
    EXPECT_EQ(wave->getContentType(), nullptr);
    EXPECT_TRUE(illegalState()) << "no content type while UNREALIZED";
    EXPECT_EQ(wave->getMediaTime(), -1) << "no device yet";
    wave->stop();
    wave->deallocate();
    EXPECT_EQ(wave->getState(), 100) << "stop and deallocate do nothing while UNREALIZED";

    wave->start();
    EXPECT_EQ(wave->getState(), 400) << "start takes realize and prefetch itself";
    EXPECT_TRUE(wave->getContentType()->equalsCString("audio/x-wav"));
    wave->start();
    EXPECT_EQ(heard().writes, 1u) << "start while STARTED does nothing";
    sleep(100);
    wave->stop();
    EXPECT_EQ(wave->getState(), 300);
    EXPECT_EQ(heard().bytesPlayed, 1600u) << "stop cuts the sound where it is";
    wave->stop();
    EXPECT_EQ(wave->getState(), 300);
    sleep(1000);
    EXPECT_EQ(heard().completions, 0u) << "a stopped sound never completes";

    wave->close();
    EXPECT_EQ(wave->getState(), 0);
    wave->close();
    wave->start();
    EXPECT_EQ(wave->getState(), 0) << "a closed player stays closed";
    EXPECT_EQ(wave->getMediaTime(), 0);
    EXPECT_TRUE(illegalState());
    EXPECT_EQ(wave->getDuration(), 0);
    EXPECT_TRUE(illegalState());
    EXPECT_EQ(wave->getContentType(), nullptr);
    EXPECT_TRUE(illegalState());
}

TEST_F(WavePlayerTest, LoopsUntilStoppedMutedStaysAndLevelsSetBothSides) {
    SoundPlayerWAVE* endless = player();
    endless->setLoopCount(-1);
    endless->start();
    sleep(60'000);
    EXPECT_EQ(endless->getState(), 400);
    endless->stop();
    EXPECT_EQ(heard(0).bytesPlayed, 60u * 16000);

    SoundPlayerWAVE* muted = player();
    muted->setMute(true);
    EXPECT_TRUE(muted->isMuted());
    muted->start();
    EXPECT_EQ(muted->getState(), 300) << "a muted player does not start";

    SoundPlayerWAVE* wave = player();
    wave->prefetch();
    EXPECT_EQ(wave->getLevel(), 100) << "the device's level, read at prefetch";
    EXPECT_EQ(wave->setLevel(50), 100);
    EXPECT_EQ(heard(2).volume, 0x7FFF7FFFu) << "left and right alike";
    EXPECT_EQ(wave->setLevel(250), 50);
    EXPECT_EQ(wave->getLevel(), 100);
    EXPECT_EQ(wave->setLevel(-4), 100);
    EXPECT_EQ(heard(2).volume, 0u);
    wave->close();
    EXPECT_EQ(heard(2).volume, 0xFFFFFFFFu) << "close puts back the volume read at prefetch";
}

TEST_F(WavePlayerTest, RatesAreClampedAndSpeedThePlay) {
    SoundPlayerWAVE* wave = player();
    EXPECT_EQ(wave->getRate(), -1) << "no device yet";
    EXPECT_EQ(wave->setRate(100'000), -1);
    wave->realize();
    EXPECT_EQ(wave->getMinRate(), 50'000);
    EXPECT_EQ(wave->getMaxRate(), 200'000);
    EXPECT_EQ(wave->getRate(), 100'000);
    struct Case {
        std::int32_t asked, answered, after;
    };
    for (Case c : {Case{150'000, 100'000, 150'000}, Case{900'000, 150'000, 200'000}, Case{1, 200'000, 50'000},
                   Case{-1, -1, 50'000}, Case{200'000, 50'000, 200'000}}) {
        EXPECT_EQ(wave->setRate(c.asked), c.answered) << c.asked;
        EXPECT_EQ(wave->getTempo(), c.after) << c.asked;
    }
    wave->start();
    sleep(126);
    EXPECT_EQ(wave->getState(), 300) << "a quarter second at twice the speed";
}

TEST_F(WavePlayerTest, DurationCountsEveryChannelAndOddDataIsReadSafely) {
    const datakit::WaveFormat stereo{2, 22050, 16};
    Bytes stereoPcm = datakit::sinePcm(stereo, 1000, 11025);
    EXPECT_EQ(player(datakit::writeWave(stereo, stereoPcm))->getDuration(), 0);
    SoundPlayerWAVE* half = player(datakit::writeWave(stereo, stereoPcm));
    half->realize();
    EXPECT_EQ(half->getDuration(), 500'000) << "half a second, whatever the channels";

    // Chunks before and after the data, a padded odd chunk, an extended format.
    Bytes chunked = datakit::writeWave(kMono, kSine);
    chunked[16] = 18;                             // "fmt " of 18 bytes...
    chunked.insert(chunked.begin() + 36, {0, 0}); // ...with an empty extension
    chunked.insert(chunked.begin() + 38, {'j', 'u', 'n', 'k', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    Bytes tail = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 1, 2, 3, 4};
    chunked.insert(chunked.end(), tail.begin(), tail.end());
    // Data without a chunk structure: the canonical layout, PCM from byte 44 to the end.
    Bytes flat = datakit::writeWave(kMono, kSine);
    std::copy_n("WAVX", 4, flat.begin() + 8);

    struct Case {
        const char* name;
        Bytes bytes;
        Bytes expected;
    };
    const Case cases[] = {{"chunks around the data", chunked, kSine}, {"no chunk structure", flat, kSine}};
    std::size_t stream = 1; // after the half-second player's
    for (const Case& c : cases) {
        SoundPlayerWAVE* wave = player(c.bytes);
        wave->start();
        sleep(251);
        EXPECT_EQ(wave->getState(), 300) << c.name;
        EXPECT_EQ(heard(stream++).pcm, c.expected) << c.name;
    }
}

TEST_F(WavePlayerTest, DataThatCannotPlayLeavesItUnrealized) {
    Bytes emptyData = datakit::writeWave(kMono, {});
    Bytes notRiff = datakit::writeWave(kMono, kSine);
    notRiff[0] = 'X';
    Bytes eightChannels = datakit::writeWave({8, 8000, 16}, datakit::sinePcm({8, 8000, 16}, 440, 10));
    struct Case {
        const char* name;
        Bytes bytes;
        const char* line;
    };
    const Case cases[] = {
        {"header only", emptyData, "SoundPlayerWAVE::readSoundFilePcmData(): m_pcmDataLength <= 0"},
        {"shorter than a header", Bytes(emptyData.begin(), emptyData.begin() + 40), nullptr},
        {"not RIFF", notRiff, nullptr},
        {"nothing", Bytes{}, nullptr},
        {"a format the device refuses", eightChannels, nullptr},
    };
    for (const Case& c : cases) {
        log.clear();
        SoundPlayerWAVE* wave = player(c.bytes);
        wave->realize();
        std::vector<std::string> lines;
        if (c.line)
            lines = {c.line, "SoundPlayerWAVE::realize(): readSoundFilePcmData returned -1."};
        EXPECT_EQ(log.lines(), lines) << c.name;
        wave->start();
        EXPECT_EQ(wave->getState(), 100) << c.name;
    }
    EXPECT_EQ(streamsOpened(), 0u);
}

struct NoDeviceWavePlayerTest : WavePlayerTest {
    static host::HeadlessOptions noDevice() {
        host::HeadlessOptions options;
        options.audio.devices = 0;
        return options;
    }
    NoDeviceWavePlayerTest()
        : WavePlayerTest(noDevice()) {}
};

TEST_F(NoDeviceWavePlayerTest, WithoutADeviceTheSoundIsReadButNeverRealized) {
    SoundPlayerWAVE* wave = player();
    wave->realize();
    EXPECT_EQ(wave->getState(), 100);
    EXPECT_EQ(wave->getDuration(), 250'000);
    wave->realize();
    wave->start();
    EXPECT_EQ(wave->getState(), 100) << "the bytes went at the first realize";
    wave->close();
    EXPECT_EQ(wave->getState(), 0);
}

} // namespace

} // namespace sound_player_wave_test
