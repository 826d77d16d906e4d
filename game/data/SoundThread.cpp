#include "game/data/SoundThread.h"

#include "game/data/SoundChannels.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "runtime/Exceptions.h"
#include "runtime/Thread.h"

namespace game {

void startSoundThread() {
    SoundChannelStatics& statics = soundChannelStatics();
    rt::Object* runner = seams().sound.makeSoundRunner();
    statics.s_soundRunner = runner;
    auto* thread = rt::make<rt::java_lang_Thread>(runner);
    thread->setPriority(rt::java_lang_Thread::currentThread()->getPriority());
    statics.s_soundThread = thread;
    statics.s_soundThreadRun = 1;
    thread->start();
}

void runSoundThread() {
    SoundChannelStatics& statics = soundChannelStatics();
    std::int32_t rate = config().s_playerThreadPeriod;
    std::int32_t period = rate > 0 ? 1000 / rate : 1000;
    while (statics.s_soundThreadRun) {
        updateSounds();
        if (rt::exceptionPending())
            return;
        rt::java_lang_Thread::sleep(period);
        if (rt::exceptionPending() && !rt::catchException(rt::ClassId::java_lang_Exception))
            return;
    }
}

void stopSoundThread() {
    SoundChannelStatics& statics = soundChannelStatics();
    statics.s_soundThreadRun = 0;
    statics.s_soundThread = nullptr;
}

} // namespace game
