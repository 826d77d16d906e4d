#include "game/sprite/SoundRunner.h"

#include "game/data/SoundThread.h"

namespace game {

void SoundRunner::run() {
    runSoundThread();
}

void* SoundRunner::getInterface(rt::ClassId interfaceId) {
    return interfaceId == rt::ClassId::java_lang_Runnable ? static_cast<rt::java_lang_Runnable*>(this)
                                                          : Object::getInterface(interfaceId);
}

} // namespace game
