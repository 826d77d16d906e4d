#include "host/media/AmrDecoder.h"
#include "tests/support/AmrEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

std::vector<std::int16_t> sine(double frequency, std::size_t count) {
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * std::numbers::pi * frequency * i / 8000));
    return samples;
}

std::vector<std::int16_t> samplesOf(const host::PcmSound& sound) {
    std::vector<std::int16_t> samples(sound.pcm.size() / 2);
    std::memcpy(samples.data(), sound.pcm.data(), samples.size() * 2);
    return samples;
}

TEST(AmrDecoder, DecodesEachFrameTo20MillisecondsOf8kHzMono) {
    auto file = testing_support::encodeAmr(sine(440, 50 * 160));
    ASSERT_EQ(file.size(), 6u + 50 * 32) << "12.2 kbit/s frames are 32 bytes";
    auto sound = host::decodeAmr(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().format, (host::PcmFormat{1, 8000, 16}));
    EXPECT_EQ(sound.value().frames(), 50u * 160);

    // Speech coding keeps a steady tone's level: compare the power past the start.
    std::vector<std::int16_t> decoded = samplesOf(sound.value());
    double power = 0;
    for (std::size_t i = 1600; i < decoded.size(); ++i)
        power += double(decoded[i]) * decoded[i];
    power /= double(decoded.size() - 1600);
    EXPECT_GT(power, 0.5 * 8000 * 8000 / 2);
    EXPECT_LT(power, 2.0 * 8000 * 8000 / 2);

    // A frame cut short ends the sound before it.
    file.pop_back();
    EXPECT_EQ(host::decodeAmr(file).value().frames(), 49u * 160);
}

TEST(AmrDecoder, OnlyTakesAmrNbFiles) {
    EXPECT_FALSE(host::isAmrFile(std::vector<std::uint8_t>{'#', '!', 'A', 'M', 'R'}));
    for (std::string text : {"#!AMR-WB\n", "RIFF....WAVE", ""}) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        EXPECT_FALSE(host::decodeAmr(bytes).ok()) << text;
    }
    // The header alone is an empty sound.
    std::vector<std::uint8_t> empty = {'#', '!', 'A', 'M', 'R', '\n'};
    EXPECT_EQ(host::decodeAmr(empty).value().frames(), 0u);
}

} // namespace
