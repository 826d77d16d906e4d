#include "host/system/AudioMixer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

struct AudioMixerTest : ::testing::Test {
    std::vector<std::int16_t> mix(std::size_t frames) {
        std::vector<std::int16_t> out(frames * 2, 12345);
        mixer.mix(out);
        return out;
    }
    std::unique_ptr<host::AudioStream> open(host::PcmFormat format) {
        return mixer.open(format, [this] { ++completions; });
    }

    host::AudioMixer mixer{8000};
    int completions = 0;
};

TEST_F(AudioMixerTest, AtTheOutputRateSamplesPassUnchangedAndMonoGoesToBothSides) {
    auto stereo = open({2, 8000, 16});
    auto mono = open({1, 8000, 16});
    auto stereoPcm = bytesOf({100, -100, 200, -200, 300, -300});
    auto monoPcm = bytesOf({7, 8});
    ASSERT_TRUE(stereo->write(stereoPcm, 1).ok());
    ASSERT_TRUE(mono->write(monoPcm, 2).ok());

    EXPECT_EQ(mix(2), (std::vector<std::int16_t>{107, -93, 208, -192}));
    EXPECT_EQ(completions, 0);
    EXPECT_EQ(mix(3), (std::vector<std::int16_t>{307, -293, 8, 8, 0, 0}));
    EXPECT_EQ(completions, 2) << "each buffer completes within the block it ends in";
    EXPECT_EQ(stereo->positionMilliseconds(), 0u) << "3 frames at 8 kHz are less than a millisecond";
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{0, 0}));
}

TEST_F(AudioMixerTest, VolumesScaleEachSideAndTheSumIsClamped) {
    auto loud = open({1, 8000, 16});
    auto louder = open({1, 8000, 16});
    auto pcm = bytesOf({20000, -20000, 1000});
    loud->setVolume(0x0000FFFF);
    ASSERT_TRUE(loud->write(pcm, 1).ok());
    ASSERT_TRUE(louder->write(pcm, 1).ok());
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{32767, 20000}));
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{-32768, -20000}));
    mixer.setMasterVolume(0xFFFF0000);
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{0, 1000}));
}

TEST_F(AudioMixerTest, RatesResampleByInterpolation) {
    // 4 kHz played at 8 kHz: every other output frame lies halfway between two samples.
    auto slow = open({1, 4000, 16});
    auto ramp = bytesOf({0, 1000, 2000});
    ASSERT_TRUE(slow->write(ramp, 1).ok());
    EXPECT_EQ(mix(6),
              (std::vector<std::int16_t>{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2000, 2000}));
    EXPECT_EQ(completions, 1);

    // Twice the speed: every other sample, and the end comes in half the frames.
    auto fast = open({1, 8000, 16});
    ASSERT_TRUE(fast->setPlaybackRate(2 * host::kNormalPlaybackRate).ok());
    auto counting = bytesOf({1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(fast->write(counting, 1).ok());
    EXPECT_EQ(mix(3), (std::vector<std::int16_t>{1, 1, 3, 3, 5, 5}));
    EXPECT_EQ(completions, 2);
}

TEST_F(AudioMixerTest, PauseHoldsResetDropsAndEightBitSamplesAreCentred) {
    auto stream = open({1, 8000, 8});
    std::vector<std::uint8_t> pcm(16, 128 + 64);
    pcm[0] = 0;
    ASSERT_TRUE(stream->write(pcm, 1).ok());
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{-32768, -32768}));
    stream->pause();
    EXPECT_EQ(mix(2), (std::vector<std::int16_t>{0, 0, 0, 0}));
    stream->restart();
    EXPECT_EQ(mix(1), (std::vector<std::int16_t>{16384, 16384}));
    stream->reset();
    EXPECT_EQ(mix(20), std::vector<std::int16_t>(40, 0));
    EXPECT_EQ(completions, 0);
    EXPECT_TRUE(stream->write(pcm, 1).ok()) << "a reset stream takes a new buffer";
}

} // namespace
