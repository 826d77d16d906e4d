#include "platform/media/SoundPlayerOGG.h"
#include "tests/platform/media/MediaFixture.h"
#include "tests/support/VorbisEncoder.h"
#include "tools/datakit/Wave.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using platform::SoundPlayerOGG;

std::vector<std::int16_t> sine(int channels, long rate, long frames, double frequency) {
    std::vector<std::int16_t> samples;
    for (long i = 0; i < frames; ++i) {
        auto value = static_cast<std::int16_t>(12000 * std::sin(2 * std::numbers::pi * frequency * i / rate));
        samples.insert(samples.end(), static_cast<std::size_t>(channels), value);
    }
    return samples;
}

// Power of `samples` (16-bit) at `frequency`, relative to their whole power.
double shareAt(const std::vector<std::uint8_t>& pcm, int channels, long rate, double frequency) {
    std::size_t frames = pcm.size() / 2 / static_cast<std::size_t>(channels);
    double re = 0, im = 0, all = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        std::int16_t value;
        std::memcpy(&value, pcm.data() + i * 2 * static_cast<std::size_t>(channels), 2);
        double phase = 2 * std::numbers::pi * frequency * static_cast<double>(i) / rate;
        re += value * std::cos(phase);
        im += value * std::sin(phase);
        all += double(value) * value;
    }
    return 2 * (re * re + im * im) / (all * static_cast<double>(frames));
}

using OggPlayerTest = testing_support::MediaTest;

TEST_F(OggPlayerTest, DecodesToTheStreamsChannelsRateAndLength) {
    struct Case {
        int channels;
        long rate;
        long frames;
        std::int64_t duration;
    };
    const Case cases[] = {{2, 22050, 22050, 1'000'000}, {1, 8000, 16000, 2'000'000}};
    std::size_t stream = 0;
    for (const Case& c : cases) {
        auto bytes =
            testing_support::encodeVorbis(sine(c.channels, c.rate, c.frames, 500), c.channels, c.rate);
        ASSERT_FALSE(bytes.empty());
        SoundPlayerOGG* ogg = rt::make<SoundPlayerOGG>(bytes);
        ogg->realize();
        ASSERT_EQ(ogg->getState(), 200) << c.channels;
        EXPECT_EQ(ogg->streamInfo().channels, c.channels);
        EXPECT_EQ(ogg->streamInfo().rate, c.rate);
        EXPECT_EQ(ogg->getDuration(), c.duration);
        EXPECT_TRUE(ogg->getContentType()->equalsCString("audio/ogg"));

        std::uint32_t started = now();
        ogg->start();
        while (ogg->getState() == 400)
            sleep(10);
        EXPECT_NEAR(now() - started, c.duration / 1000, 10);
        host::AudioRecording played = heard(stream++);
        EXPECT_EQ(played.format, (host::PcmFormat{static_cast<std::uint16_t>(c.channels),
                                                  static_cast<std::uint32_t>(c.rate), 16}));
        EXPECT_NEAR(static_cast<double>(played.pcm.size() / (2u * c.channels)), c.frames, 1.0);
        EXPECT_GT(shareAt(played.pcm, c.channels, c.rate, 500), 0.9) << "the sine comes back";
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "decoded from memory: no file";
}

TEST_F(OggPlayerTest, BytesTheDecoderRefusesLeaveItUnrealized) {
    auto ogg = testing_support::encodeVorbis(sine(1, 8000, 800, 440), 1, 8000);
    datakit::Bytes wave = datakit::writeWave({1, 8000, 16}, datakit::sinePcm({1, 8000, 16}, 440, 800));
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"a WAVE sound", wave},
        {"the first page only", std::vector<std::uint8_t>(ogg.begin(), ogg.begin() + 58)},
        {"nothing", {}},
    };
    for (const auto& [name, bytes] : cases) {
        SoundPlayerOGG* player = rt::make<SoundPlayerOGG>(bytes);
        player->start();
        EXPECT_EQ(player->getState(), 100) << name;
        EXPECT_EQ(player->getContentType(), nullptr) << name;
        EXPECT_TRUE(illegalState()) << name;
        player->close();
        EXPECT_EQ(player->getState(), 0) << name;
    }
    EXPECT_EQ(streamsOpened(), 0u);
}

} // namespace
