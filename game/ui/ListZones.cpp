#include "game/ui/ListZones.h"

#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Touch.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"

namespace game {

namespace {

// The pause list's zones, made again only when the list is another one.
rt::ObjectArray* pauseZones(rt::IntArray* items) {
    MenuStatics& menu = menuStatics();
    if (!menu.s_pauseZones || menu.s_pauseZoneList != items) {
        menu.s_pauseZones = buildListZones(items);
        menu.s_pauseZoneList = items;
    }
    return menu.s_pauseZones;
}

void playChooseSound() {
    requestSound(kChooseSound);
}

} // namespace

bool isPauseSoundItem(std::int32_t item) {
    if (stateStatics().s_state != State::PauseMenu)
        return false;
    rt::IntArray* items = menuStatics().s_questionAnswerTexts;
    const std::int32_t count = items ? items->length() : 0;
    return (count == 5 && item == 1) || (count == 6 && item == 2);
}

void switchPauseSound() {
    menuStatics().s_redraw = 1;
    const bool on = !isSoundOn();
    setSoundOption(on);
    (void)saveProgress();
    if (on)
        playChooseSound();
    else
        stopMusic();
}

rt::ObjectArray* buildListZones(rt::IntArray* list) {
    std::int32_t count = list ? list->length() : 0;
    rt::ObjectArray* zones = makeZoneTable(count);
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kAnswerFrame);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kAnswerFrame);
    std::int32_t centreY = config().s_gameScreenHeight / 2;
    if (stateStatics().s_state == State::PauseMenu)
        centreY -= kPauseListRise;
    std::int32_t y = centreY + rt::IntArray::get(questionBoxPoint(count, kAnswerPoint), 1);
    std::int32_t x = config().s_gameScreenWidth / 2 - w / 2;
    for (std::int32_t i = 0; i < count; ++i)
        setZone(zones, i, x, y + i * h, w, h);
    return zones;
}

bool touchPauseMenu() {
    MenuStatics& menu = menuStatics();
    TouchStatics& touch = touchStatics();
    rt::IntArray* items = menu.s_questionAnswerTexts;
    std::int32_t count = items ? items->length() : 0;
    if (count == 0)
        return false;
    rt::ObjectArray* zones = pauseZones(items);
    std::int32_t tapped = -1;
    for (std::int32_t i = 0; i < count; ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        if (isPointerInRectArray(zone)) {
            touch.s_selection = i;
            touch.s_touchUsed = 1;
            touch.s_touchUsed2 = 1;
            menu.s_redraw = 1;
        }
        if (isPressInRectArray(zone))
            tapped = i;
    }
    if (tapped < 0)
        return false;

    menu.s_redraw = 1;
    if (isPauseSoundItem(tapped)) {
        switchPauseSound();
        return true;
    }
    std::optional<State> target = menuTarget(count == 6 ? kPauseMenu : kPauseMenuShort, tapped);
    if (!target) {
        popState();
    } else {
        pushState(*target);
        touch.s_selection = -1;
    }
    if (isSoundOn())
        playChooseSound();
    return true;
}

} // namespace game
