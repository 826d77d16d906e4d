#include "host/sdl/SdlAudio.h"
#include "host/system/SystemClock.h"
#include "host/system/SystemThreads.h"
#include "tests/support/LogCapture.h"
#include "tools/datakit/Wave.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// SDL's dummy driver takes the mix at the pace of a real device, on SDL's own
// audio thread, without any sound hardware.
TEST(SdlAudio, MixesOnSdlsAudioThreadAndCompletesOnIt) {
    host::SystemClock clock;
    host::SystemThreads threads;
    testing_support::LogCapture log;
    auto audio = host::makeSdlAudio("dummy", clock, threads);
    ASSERT_TRUE(log.lines().empty()) << log.lines()[0];
    EXPECT_EQ(audio->deviceCount(), 1);
    EXPECT_TRUE(audio->caps(0).value().volume);

    datakit::Bytes pcm = datakit::sinePcm({2, 22050, 16}, 440, 2205); // 100 ms
    std::atomic<int> done{0};
    auto stream = audio->open(0, {2, 22050, 16}, [&] { ++done; });
    ASSERT_TRUE(stream.ok());
    std::uint32_t started = clock.tickCount();
    ASSERT_TRUE(stream.value()->write(pcm, 2).ok());
    while (done.load() == 0 && clock.tickCount() - started < 5000)
        clock.sleep(5);
    EXPECT_EQ(done.load(), 1);
    EXPECT_GE(clock.tickCount() - started, 150u) << "two loops of 100 ms take their time";
    EXPECT_EQ(stream.value()->positionMilliseconds(), 200u);
    stream.value().reset();
}

TEST(SdlAudio, WithoutSoundOutputTheHeadlessOutputStandsIn) {
    host::SystemClock clock;
    host::SystemThreads threads;
    testing_support::LogCapture log;
    auto audio = host::makeSdlAudio("no-such-driver", clock, threads);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("host: no sound output (")) << log.lines()[0];
    std::atomic<int> done{0};
    auto stream = audio->open(0, {1, 8000, 8}, [&] { ++done; });
    ASSERT_TRUE(stream.ok());
    std::vector<std::uint8_t> pcm(80, 128);
    ASSERT_TRUE(stream.value()->write(pcm, 1).ok());
    for (int i = 0; i < 1000 && done.load() == 0; ++i)
        clock.sleep(2);
    EXPECT_EQ(done.load(), 1) << "10 ms of sound complete on the real clock";
}

} // namespace
