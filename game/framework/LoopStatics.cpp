#include "game/framework/LoopStatics.h"

#include "runtime/StaticClass.h"

namespace game {

LoopStatics& loopStatics() {
    return rt::getStaticClass().statics<LoopStatics>();
}

} // namespace game
