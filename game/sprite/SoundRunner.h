#pragma once

// The runnable of the channel layer's sound thread. It carries the class id
// of `OrvelLibPlayer`, the animation player, which is the sound thread's
// runnable in the game's class model; the loop itself is the sound layer's
// (game/data/SoundThread.h).
//
// FIXME: one class with the animation player once both are in the tree: its
// `run` is then `runSoundThread()`.

#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

namespace game {

class SoundRunner final : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::OrvelLibPlayer;

    SoundRunner()
        : Object(kClassId) {}

    void run() override;
    void* getInterface(rt::ClassId interfaceId) override;

    RT_NO_REFERENCE_FIELDS(SoundRunner, rt::Object)
};

} // namespace game
