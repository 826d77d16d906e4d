#include "game/framework/Zelvora.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/cGame.h"
#include "platform/lcdui/Display.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

void Zelvora::startApp() {
    LoopStatics& loop = loopStatics();
    if (!loop.s_gameInstance) {
        auto* canvas = rt::make<cGame>();
        OrvelLib::init(canvas, this, platform::javax_microedition_lcdui_Display::getDisplay(this));
        loop.s_gameInstance = canvas;
        OrvelLib::start(canvas);
    }
    rt::StaticClass& statics = rt::getStaticClass();
    loop.s_orientationValue = getAppProperty(statics.getConstantString(rt::constants::kOrientationProperty));
    rt::String* upright = statics.getConstantString(rt::constants::kOrientationUpright);
    // Only the exact value turns the turn off; anything else keeps what the
    // static initialisation set.
    if (upright && loop.s_orientationValue && upright->compareTo(loop.s_orientationValue) == 0) {
        const OrvelLibConfig& settings = config();
        loop.s_touchWidth = settings.s_gameScreenWidth;
        loop.s_touchHeight = settings.s_gameScreenHeight;
        loop.s_rotated = 0;
    }
    loop.s_gameInstance->gameShowNotify();
}

void Zelvora::pauseApp() {
    if (cGame* canvas = loopStatics().s_gameInstance)
        canvas->gameHideNotify();
}

void Zelvora::destroyApp(bool) {
    LoopStatics& loop = loopStatics();
    if (loop.s_gameInstance)
        loop.s_runState = -1;
    seams().sound.endSoundThread();
    seams().promotion.stop();
}

} // namespace game
