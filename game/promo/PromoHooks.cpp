#include "game/promo/PromoHooks.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoPaint.h"
#include "game/promo/PromoScreen.h"
#include "platform/lcdui/Display.h"
#include "platform/midlet/MIDlet.h"

namespace game {

namespace {} // namespace

void setupPromotion() {
    LoopStatics& loop = loopStatics();
    if (!loop.s_midlet)
        return;
    promo::setup(loop.s_midlet,
                 loop.s_display ? static_cast<rt::Object*>(loop.s_display)
                                : static_cast<rt::Object*>(loop.s_midlet),
                 config().s_gameScreenWidth, config().s_gameScreenHeight);
}

void registerPromotion() {
    setStateHandler(State::Promotion, statePromotion);
    PromotionHooks& hooks = seams().promotion;
    hooks.available = promo::isAvailable;
    hooks.actionAtPoint = promo::actionAtPoint;
    hooks.pressed = promo::touchPressed;
    hooks.released = promo::touchReleased;
    hooks.hovered = promo::touchHovered;
    hooks.stop = promo::stopWorker;
    hooks.setup = setupPromotion;
}

} // namespace game
