#pragma once

// `com_samsung_util_AudioClip`: a phone maker's sound clip, a thin layer over
// one media player: made from sound bytes and a type number, played a number
// of times at a volume step. A clip made from a file name has no player and
// answers every call quietly.
//
// Texts: constant strings 243 to 245 name the content types of clip types 3,
// 1 and 2 (the player is always made with 243); 246, 247 and 248 begin the
// messages of a bad type, loop count and volume.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace platform {

class com_samsung_util_AudioClip final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::com_samsung_util_AudioClip;
    static constexpr std::int32_t kContentTypes = rt::constants::kClipContentTypes;
    static constexpr std::int32_t kBadTypeMessage = rt::constants::kBadClipType;
    static constexpr std::int32_t kBadLoopMessage = rt::constants::kBadClipLoop;
    static constexpr std::int32_t kBadVolumeMessage = rt::constants::kBadClipVolume;

    // No player: clips from files are not offered.
    com_samsung_util_AudioClip(std::int32_t type, rt::String* filename);
    // Types 1, 2 and 3; another raises `java_lang_IllegalArgumentException`
    // and leaves the clip without a player. The bytes are copied.
    com_samsung_util_AudioClip(std::int32_t type, rt::ByteArray* audioData, std::int32_t audioOffset,
                               std::int32_t audioLength);

    // `loop` 0 .. 255 and `volume` 0 .. 5, else
    // `java_lang_IllegalArgumentException` and the player is not touched. A
    // loop count above 1 goes to the player before it starts; the volume step
    // is not passed on.
    void play(std::int32_t loop, std::int32_t volume);
    void stop();
    // The player's stop and start.
    void pause();
    void resume();
    static bool isSupported() { return true; }

    rt::Object* player() const { return m_player; }

    RT_REFERENCE_FIELDS(com_samsung_util_AudioClip, Object, m_player)

private:
    rt::Object* m_player = nullptr;
};

} // namespace platform
