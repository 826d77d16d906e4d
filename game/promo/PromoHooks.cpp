#include "game/promo/PromoHooks.h"

#include "game/framework/Seams.h"
#include "game/promo/PromoData.h"

namespace game {

void registerPromotion() {
    PromotionHooks& hooks = seams().promotion;
    hooks.available = promo::isAvailable;
}

} // namespace game
