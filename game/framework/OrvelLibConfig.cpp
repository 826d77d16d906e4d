#include "game/framework/OrvelLibConfig.h"

#include "classlib/lang/System.h"
#include "runtime/StaticClass.h"

namespace game {

OrvelLibConfig& config() {
    return rt::getStaticClass().statics<OrvelLibConfig>();
}

void OrvelLibConfig::staticInit() {
    OrvelLibConfig& settings = config();
#define GAME_CONFIG_DEFAULT(kind, name, value) settings.name = static_cast<GAME_CONFIG_TYPE_##kind>(value);
    GAME_ORVEL_CONFIG_SETTINGS(GAME_CONFIG_DEFAULT)
#undef GAME_CONFIG_DEFAULT
}

void collectAfterUnload() {
    if (config().s_gcAfterUnload)
        lib::java_lang_System::gc();
}

} // namespace game
