#include "platform/media/AudioClip.h"
#include "tests/platform/media/MediaFixture.h"
#include "tests/support/ConstantStrings.h"
#include "tools/datakit/Wave.h"

namespace {

using platform::com_samsung_util_AudioClip;

const datakit::WaveFormat kMono{1, 8000, 16};

struct AudioClipTest : testing_support::MediaTest {
    AudioClipTest() {
        testing_support::installConstantStrings({{rt::constants::kClipContentTypes, "audio/x-wav"},
                                                 {rt::constants::kClipContentTypes + 1, "audio/midi"},
                                                 {rt::constants::kClipContentTypes + 2, "audio/amr"},
                                                 {rt::constants::kBadClipType, "bad clip type "},
                                                 {rt::constants::kBadClipLoop, "bad loop count "},
                                                 {rt::constants::kBadClipVolume, "bad volume "}});
        sound = datakit::writeWave(kMono, datakit::sinePcm(kMono, 440, 800)); // 100 ms
    }

    // A clip of `sound`, given inside a larger array.
    com_samsung_util_AudioClip* clip(std::int32_t type = 1) {
        rt::ByteArray* data = rt::newByteArray(static_cast<std::int32_t>(sound.size()) + 10);
        std::copy(sound.begin(), sound.end(), reinterpret_cast<std::uint8_t*>(data->elements()) + 7);
        return rt::make<com_samsung_util_AudioClip>(type, data, 7, static_cast<std::int32_t>(sound.size()));
    }
    std::int32_t state(com_samsung_util_AudioClip* clip) {
        return testing_support::viewOf<platform::javax_microedition_media_Player>(clip->player())->getState();
    }
    std::string illegalArgument() {
        rt::Object* caught = rt::catchException(rt::ClassId::java_lang_IllegalArgumentException);
        return caught && caught->toString() ? caught->toString()->toUtf8() : "(none)";
    }

    datakit::Bytes sound;
};

TEST_F(AudioClipTest, PlaysItsBytesAsOftenAsTheLoopSays) {
    struct Case {
        std::int32_t loop, volume;
        std::uint32_t plays;
    };
    std::size_t stream = 0;
    for (Case c : {Case{0, 0, 1}, Case{1, 5, 1}, Case{2, 3, 2}}) {
        com_samsung_util_AudioClip* played = clip();
        played->play(c.loop, c.volume);
        EXPECT_EQ(state(played), 400);
        sleep(100 * c.plays + 1);
        EXPECT_EQ(state(played), 300);
        EXPECT_EQ(heard(stream++).bytesPlayed, c.plays * 1600u) << c.loop;
    }

    com_samsung_util_AudioClip* stopped = clip(3);
    stopped->play(1, 1);
    stopped->pause();
    EXPECT_EQ(state(stopped), 300);
    stopped->resume();
    EXPECT_EQ(state(stopped), 400);
    stopped->stop();
    EXPECT_EQ(state(stopped), 300);
    EXPECT_TRUE(com_samsung_util_AudioClip::isSupported());
}

TEST_F(AudioClipTest, BadArgumentsRaiseAndLeaveThePlayerAlone) {
    com_samsung_util_AudioClip* untouched = clip(2);
    untouched->play(256, 0);
    EXPECT_EQ(illegalArgument(), "bad loop count 256");
    untouched->play(0, 6);
    EXPECT_EQ(illegalArgument(), "bad volume 6");
    untouched->play(-1, 0);
    EXPECT_EQ(illegalArgument(), "bad loop count -1");
    EXPECT_EQ(state(untouched), 100);

    com_samsung_util_AudioClip* badType = clip(4);
    EXPECT_EQ(illegalArgument(), "bad clip type 4");
    EXPECT_EQ(badType->player(), nullptr);
    badType->play(1, 1);
    badType->stop();
    EXPECT_FALSE(rt::exceptionPending());

    // A clip made from a file name has no player and answers quietly.
    auto* named = rt::make<com_samsung_util_AudioClip>(1, rt::String::newFromCString("/sound.wav"));
    EXPECT_EQ(named->player(), nullptr);
    named->stop();
    named->pause();
    named->resume();
    named->play(3, 3);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(streamsOpened(), 0u);
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
