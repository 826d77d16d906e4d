#pragma once

// What the sound tests share: the media tests' headless host and runtime,
// the game's configuration at its defaults without the sound thread, the
// constant strings the sound code reads, a content-type table whose item 0
// is the WAVE type, and datakit's tones as the sounds.

#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/constantStrings.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/platform/media/MediaFixture.h"
#include "tests/support/ConstantStrings.h"
#include "tools/datakit/SoundPack.h"

namespace sound_testing {

// 0.2 s of each tone.
inline constexpr std::uint32_t kToneFrames = 1600;

struct SoundTest : testing_support::MediaTest {
    SoundTest() {
        testing_support::installConstantStrings({{rt::constants::kSoundContentType, "audio/x-wav"},
                                                 {rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kTextEncoding, "UTF-8"},
                                                 {rt::constants::kVolumeControlName, "VolumeControl"}});
        game::OrvelLibConfig::staticInit();
        game::config().s_soundThread = 0;
        game::config().s_gcAfterUnload = 0;
        rt::ObjectArray* types = rt::newObjectArray(1);
        rt::ObjectArray::set(types, 0,
                             testing_support::byteArray(
                                 datakit::Bytes{'a', 'u', 'd', 'i', 'o', '/', 'x', '-', 'w', 'a', 'v'}));
        game::soundDataStatics().s_soundContentTypes = types;
    }

    static rt::ByteArray* toneWave(std::uint32_t index) {
        return testing_support::byteArray(
            datakit::writeWave(datakit::kToneFormat, datakit::tonePcm(index, kToneFrames)));
    }
    // The channel layer with `count` sounds, sound i tone i.
    static void loadTones(std::int32_t count) {
        game::initSoundChannels(count);
        for (std::int32_t i = 0; i < count; ++i)
            game::loadSound(toneWave(static_cast<std::uint32_t>(i)), 0, i, false);
    }
};

} // namespace sound_testing
