#include "host/headless/HeadlessHost.h"
#include "tools/datakit/Wave.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// 8 kHz mono 16-bit: 16 bytes per millisecond.
const host::PcmFormat kFormat{1, 8000, 16};
constexpr std::size_t kBytesPerMs = 16;

struct HeadlessAudioTest : ::testing::Test {
    explicit HeadlessAudioTest(host::HeadlessAudioOptions audioOptions = {}) {
        host::HeadlessOptions options;
        options.audio = audioOptions;
        host = host::makeHeadlessHost(std::move(options));
    }

    std::unique_ptr<host::AudioStream> open() {
        auto stream = host->audio().open(0, kFormat, [this] { ++completions; });
        EXPECT_TRUE(stream.ok());
        return std::move(stream).value();
    }
    host::AudioRecording recording(std::size_t index = 0) {
        return host->headlessAudio().recordings().at(index);
    }
    void sleep(std::uint32_t ms) { host->clock().sleep(ms); }

    std::unique_ptr<host::HeadlessHost> host;
    std::atomic<int> completions{0};
    // 100 ms of a 440 Hz sine.
    datakit::Bytes pcm = datakit::sinePcm({1, 8000, 16}, 440, 800);
};

datakit::Bytes repeated(const datakit::Bytes& bytes, int times) {
    datakit::Bytes all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), bytes.begin(), bytes.end());
    return all;
}

TEST_F(HeadlessAudioTest, PlaysEveryLoopOnTheClockAndRecordsIt) {
    auto stream = open();
    ASSERT_TRUE(stream->write(pcm, 3).ok());
    sleep(299);
    EXPECT_EQ(completions.load(), 0);
    EXPECT_EQ(stream->positionMilliseconds(), 299u);
    sleep(1);
    EXPECT_EQ(completions.load(), 1) << "the completion arrives when the third loop has played";
    EXPECT_EQ(stream->positionMilliseconds(), 300u);
    EXPECT_EQ(recording().pcm, repeated(pcm, 3));

    // The same buffer again, once: loop counts 0 and 1 both play it once.
    ASSERT_TRUE(stream->write(pcm, 0).ok());
    sleep(101);
    EXPECT_EQ(completions.load(), 2);
    EXPECT_EQ(stream->positionMilliseconds(), 400u);
    host::AudioRecording all = recording();
    EXPECT_EQ(all.pcm, repeated(pcm, 4));
    EXPECT_EQ(all.writes, 2u);
    EXPECT_EQ(all.completions, 2u);
    stream.reset();
    EXPECT_FALSE(recording().open);
    EXPECT_EQ(host->headlessAudio().openStreamCount(), 0);
}

TEST_F(HeadlessAudioTest, ResetCutsThePlayWithoutACompletion) {
    auto stream = open();
    ASSERT_TRUE(stream->write(pcm, 2).ok());
    sleep(50);
    stream->reset();
    EXPECT_EQ(stream->positionMilliseconds(), 0u);
    sleep(500);
    EXPECT_EQ(completions.load(), 0);
    EXPECT_EQ(recording().pcm, datakit::Bytes(pcm.begin(), pcm.begin() + 50 * kBytesPerMs));

    // Closing while playing records what played and never completes either.
    ASSERT_TRUE(stream->write(pcm, 1).ok());
    sleep(20);
    stream.reset();
    sleep(500);
    EXPECT_EQ(completions.load(), 0);
    EXPECT_EQ(recording().bytesPlayed, 70 * kBytesPerMs);
}

TEST_F(HeadlessAudioTest, PauseHoldsThePositionAndRestartGoesOn) {
    auto stream = open();
    ASSERT_TRUE(stream->write(pcm, 1).ok());
    sleep(30);
    stream->pause();
    sleep(1000);
    EXPECT_EQ(stream->positionMilliseconds(), 30u);
    EXPECT_EQ(completions.load(), 0);
    stream->restart();
    sleep(69);
    EXPECT_EQ(completions.load(), 0);
    sleep(1);
    EXPECT_EQ(completions.load(), 1);
    EXPECT_EQ(recording().pcm, pcm);

    // A write to a paused stream waits for the restart.
    stream->pause();
    ASSERT_TRUE(stream->write(pcm, 1).ok());
    sleep(200);
    EXPECT_EQ(completions.load(), 1);
    stream->restart();
    sleep(101);
    EXPECT_EQ(completions.load(), 2);
}

TEST_F(HeadlessAudioTest, PlaybackRateScalesTheTimeAPlayTakes) {
    auto stream = open();
    EXPECT_EQ(stream->playbackRate(), host::kNormalPlaybackRate);
    ASSERT_TRUE(stream->setPlaybackRate(2 * host::kNormalPlaybackRate).ok());
    ASSERT_TRUE(stream->write(pcm, 2).ok());
    sleep(50);
    EXPECT_EQ(stream->positionMilliseconds(), 100u);
    // Halfway through, back to normal speed: the other 100 ms take 100 ms.
    ASSERT_TRUE(stream->setPlaybackRate(host::kNormalPlaybackRate).ok());
    sleep(99);
    EXPECT_EQ(completions.load(), 0);
    sleep(1);
    EXPECT_EQ(completions.load(), 1);
    EXPECT_EQ(recording().pcm, repeated(pcm, 2));
}

TEST_F(HeadlessAudioTest, RefusesWhatItCannotPlay) {
    host::Audio& audio = host->audio();
    EXPECT_EQ(audio.deviceCount(), 1);
    EXPECT_TRUE(audio.caps(0).ok());
    EXPECT_FALSE(audio.caps(1).ok());
    EXPECT_FALSE(audio.open(1, kFormat, nullptr).ok());
    for (host::PcmFormat format : {host::PcmFormat{3, 8000, 16}, host::PcmFormat{0, 8000, 16},
                                   host::PcmFormat{1, 8000, 12}, host::PcmFormat{1, 500, 16}}) {
        EXPECT_FALSE(audio.open(0, format, nullptr).ok());
    }

    auto stream = open();
    EXPECT_FALSE(stream->write({}, 1).ok());
    EXPECT_FALSE(stream->write(std::span(pcm).first(3), 1).ok()) << "half a frame";
    ASSERT_TRUE(stream->write(pcm, 1).ok());
    EXPECT_FALSE(stream->write(pcm, 1).ok()) << "one buffer at a time";
    EXPECT_FALSE(stream->setPlaybackRate(host::kNormalPlaybackRate / 16).ok());
    EXPECT_FALSE(stream->setPlaybackRate(host::kNormalPlaybackRate * 9).ok());
    EXPECT_EQ(stream->playbackRate(), host::kNormalPlaybackRate);

    stream->setVolume(0x8000FFFF);
    EXPECT_EQ(stream->volume(), 0x8000FFFFu);
    audio.setMasterVolume(0x12345678);
    EXPECT_EQ(audio.masterVolume(), 0x12345678u);
}

struct HeadlessAudioWithoutDevicesTest : HeadlessAudioTest {
    HeadlessAudioWithoutDevicesTest()
        : HeadlessAudioTest(host::HeadlessAudioOptions{0, 1024}) {}
};

TEST_F(HeadlessAudioWithoutDevicesTest, WithoutDevicesNothingOpens) {
    EXPECT_EQ(host->audio().deviceCount(), 0);
    EXPECT_FALSE(host->audio().caps(0).ok());
    EXPECT_FALSE(host->audio().open(0, kFormat, nullptr).ok());
}

struct HeadlessAudioLimitTest : HeadlessAudioTest {
    HeadlessAudioLimitTest()
        : HeadlessAudioTest(host::HeadlessAudioOptions{1, 4000}) {}
};

TEST_F(HeadlessAudioLimitTest, EndlessLoopsKeepTheFirstBytesAndCountTheRest) {
    auto stream = open();
    ASSERT_TRUE(stream->write(pcm, 0x7FFFFFFF).ok());
    sleep(60'000);
    EXPECT_EQ(stream->positionMilliseconds(), 60'000u);
    stream->reset();
    host::AudioRecording played = recording();
    EXPECT_EQ(played.bytesPlayed, 60'000 * kBytesPerMs);
    datakit::Bytes kept = repeated(pcm, 3);
    kept.resize(4000);
    EXPECT_EQ(played.pcm, kept);
    EXPECT_EQ(completions.load(), 0);
}

} // namespace
