#include "game/ui/MenuStatics.h"

#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/StaticInit.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The first item sits this far below the centre of the menu area.
constexpr std::int32_t kMenuTopOffset = 70;

} // namespace

MenuStatics& menuStatics() {
    return rt::getStaticClass().statics<MenuStatics>();
}

void initMenuLayout() {
    MenuStatics& menu = menuStatics();
    if (menu.s_menuItemPitch != 0)
        return;
    menu.s_menuAreaHeight = layoutY(230);
    menu.s_menuItemPitch = layoutY(35);
    menu.s_helpLineY = config().s_gameScreenHeight - kMenuBarHeight + kHelpLineInBar;
}

std::int32_t menuTop(std::int32_t shown) {
    initMenuLayout();
    const MenuStatics& menu = menuStatics();
    return (menu.s_menuAreaHeight - menu.s_menuItemPitch * shown) / 2 + kMenuTopOffset;
}

bool promotionItemShown() {
    return seams().promotion.available();
}

} // namespace game
