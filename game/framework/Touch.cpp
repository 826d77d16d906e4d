#include "game/framework/Touch.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "runtime/StaticClass.h"

#include <array>

namespace game {

namespace {

rt::IntArray* zoneAt(rt::ObjectArray* table, std::int32_t i) {
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(table, i));
}

// A `TouchRect` test; a missing or short rectangle is reported by the
// checked reads and answers the rectangle {0, 0, 0, 0}.
bool pointInRectArray(std::int32_t px, std::int32_t py, rt::IntArray* rect) {
    return pointInRect(px, py, rt::IntArray::get(rect, 0), rt::IntArray::get(rect, 1),
                       rt::IntArray::get(rect, 2), rt::IntArray::get(rect, 3));
}

// The point after the screen's quarter turn, when it is turned.
std::array<std::int32_t, 2> turned(std::int32_t x, std::int32_t y) {
    const LoopStatics& loop = loopStatics();
    if (loop.s_rotated)
        return {y, loop.s_touchWidth - x};
    return {x, y};
}

void storePoint(TouchStatics& touch, std::array<std::int32_t, 2> point) {
    touch.s_pointX = point[0];
    touch.s_pointY = point[1];
}

// Hands a dragged or released point to the promotion screen.
void hoverPromotion(std::array<std::int32_t, 2> point) {
    const PromotionHooks& promotion = seams().promotion;
    std::int32_t action = promotion.actionAtPoint(point[0], point[1]);
    if (action != 0)
        promotion.hovered(action);
}

bool labelExists(std::int32_t index) {
    return getSoftKeyLabel(index) != nullptr;
}

} // namespace

rt::IntArray* makeRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    rt::IntArray* rect = rt::newIntArray(4);
    rt::Array::fill32(rect, {x, y, w, h});
    return rect;
}

rt::ObjectArray* makeZoneTable(std::int32_t n) {
    const std::array<std::int32_t, 2> lengths = {n, 4};
    return static_cast<rt::ObjectArray*>(rt::newMultiArray("[[I", lengths));
}

void setZone(rt::ObjectArray* table, std::int32_t i, std::int32_t x, std::int32_t y, std::int32_t w,
             std::int32_t h) {
    rt::Array::fill32(zoneAt(table, i), {x, y, w, h});
}

rt::Object* spriteAt(std::int32_t number) {
    rt::ObjectArray* table = startupStatics().s_sprites;
    if (!table || number < 0 || number >= table->length())
        return nullptr;
    return rt::ObjectArray::get(table, number);
}

std::int32_t spriteFrameWidth(std::int32_t sprite, std::int32_t frame) {
    rt::Object* object = spriteAt(sprite);
    return object ? seams().sprites.frameWidth(object, frame) : 0;
}

std::int32_t spriteFrameHeight(std::int32_t sprite, std::int32_t frame) {
    rt::Object* object = spriteAt(sprite);
    return object ? seams().sprites.frameHeight(object, frame) : 0;
}

TouchStatics& touchStatics() {
    return rt::getStaticClass().statics<TouchStatics>();
}

void pointerPressed(std::int32_t x, std::int32_t y) {
    TouchStatics& touch = touchStatics();
    std::array<std::int32_t, 2> point = turned(x, y);
    storePoint(touch, point);
    touch.s_pressX = point[0];
    touch.s_pressY = point[1];
    touch.s_heldX = point[0];
    touch.s_heldY = point[1];
    // Last, so that a latch that sees the flag sees the point too.
    touch.s_pressed = 1;
    const PromotionHooks& promotion = seams().promotion;
    promotion.pressed(promotion.actionAtPoint(point[0], point[1]));
}

void pointerDragged(std::int32_t x, std::int32_t y) {
    std::array<std::int32_t, 2> point = turned(x, y);
    TouchStatics& touch = touchStatics();
    storePoint(touch, point);
    touch.s_heldX = point[0];
    touch.s_heldY = point[1];
    hoverPromotion(point);
}

void pointerReleased(std::int32_t x, std::int32_t y) {
    std::array<std::int32_t, 2> point = turned(x, y);
    TouchStatics& touch = touchStatics();
    storePoint(touch, point);
    touch.s_heldX = kNoPoint;
    touch.s_heldY = kNoPoint;
    seams().promotion.released();
    hoverPromotion(point);
}

void latchPointer() {
    TouchStatics& touch = touchStatics();
    // A stylus put down and lifted between two frames counts as held in
    // this one, at its press point.
    const bool pressed = touch.s_pressed.load() != 0;
    const State state = stateStatics().s_state;
    if (pressed)
        touch.s_pointFromEarlierScreen = 0;
    else if (state != touch.s_latchState)
        touch.s_pointFromEarlierScreen = 1;
    touch.s_latchState = state;
    touch.s_latchedX = touch.s_pointFromEarlierScreen ? kNoPoint : touch.s_pointX.load();
    touch.s_latchedY = touch.s_pointFromEarlierScreen ? kNoPoint : touch.s_pointY.load();
    touch.s_latchedHeldX =
        touch.s_heldX != kNoPoint || !pressed ? touch.s_heldX.load() : touch.s_pressX.load();
    touch.s_latchedHeldY =
        touch.s_heldY != kNoPoint || !pressed ? touch.s_heldY.load() : touch.s_pressY.load();
    // A press shows its point for one frame only; after a release the point
    // stays until the next press.
    if (touch.s_pressed.exchange(0) != 0) {
        touch.s_pointX = kNoPoint;
        touch.s_pointY = kNoPoint;
    }
    touch.s_latchedPressX = touch.s_pressX.exchange(kNoPoint);
    touch.s_latchedPressY = touch.s_pressY.exchange(kNoPoint);
}

bool pointInRect(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y, std::int32_t w,
                 std::int32_t h) {
    if (px == kNoPoint && py == kNoPoint)
        return false;
    return px >= x && px <= x + w && py >= y && py <= y + h;
}

bool isPointerInRectArray(rt::IntArray* rect) {
    const TouchStatics& touch = touchStatics();
    return pointInRectArray(touch.s_latchedX, touch.s_latchedY, rect);
}

bool isPressInRectArray(rt::IntArray* rect) {
    const TouchStatics& touch = touchStatics();
    return pointInRectArray(touch.s_latchedPressX, touch.s_latchedPressY, rect);
}

bool isPressInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const TouchStatics& touch = touchStatics();
    return pointInRect(touch.s_latchedPressX, touch.s_latchedPressY, x, y, w, h);
}

bool isLatchedPointInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const TouchStatics& touch = touchStatics();
    return pointInRect(touch.s_latchedX, touch.s_latchedY, x, y, w, h);
}

bool isHeldPointInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const TouchStatics& touch = touchStatics();
    return pointInRect(touch.s_latchedHeldX, touch.s_latchedHeldY, x, y, w, h);
}

bool isHeldPointInRectArray(rt::IntArray* rect) {
    const TouchStatics& touch = touchStatics();
    return pointInRectArray(touch.s_latchedHeldX, touch.s_latchedHeldY, rect);
}

bool isPressOnScreen() {
    return isPressInRect(0, 0, screenWidth(), screenHeight());
}

void setTouchZone(rt::IntArray* rect) {
    TouchStatics& touch = touchStatics();
    if (!touch.s_activeZone || touch.s_activeZone->length() < 4)
        touch.s_activeZone = rt::newIntArray(4);
    rt::Array::copy(rect, 0, touch.s_activeZone, 0, 4);
}

// Builders that take the layout as arguments make their table anew on
// every call; the others make theirs once.
rt::ObjectArray* buildRowZones(std::int32_t n) {
    rt::ObjectArray* zones = makeZoneTable(n);
    for (std::int32_t i = 0; i < n; ++i)
        setZone(zones, i, 47 + 204 * i, 70 + 20 * i, spriteFrameWidth(kBonusPictureSprite, i),
                spriteFrameHeight(kBonusPictureSprite, i));
    touchStatics().s_rowZones = zones;
    return zones;
}

rt::ObjectArray* buildMenuZones(std::int32_t n, std::int32_t x, std::int32_t y) {
    const State state = stateStatics().s_state;
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, state == State::Options ? kWideItemFrame : kItemFrame);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kItemFrame);
    bool promotionShown = seams().promotion.available();
    rt::ObjectArray* zones = makeZoneTable(n);
    std::int32_t top = y - 22;
    for (std::int32_t i = 0; i < n; ++i) {
        // The main menu's second item is the promotion screen's.
        if (state == State::MainMenu && i == 1 && !promotionShown)
            continue;
        setZone(zones, i, x, top, w, h);
        top += h;
    }
    touchStatics().s_menuZones = zones;
    return zones;
}

void initCenterZone() {
    TouchStatics& touch = touchStatics();
    if (!touch.s_centerZone)
        touch.s_centerZone = makeRect((screenWidth() - 140) / 2, 115, 140, 140);
}

void touchList() {
    TouchStatics& touch = touchStatics();
    if (!touch.s_list)
        return;
    for (std::int32_t i = 0; i < touch.s_listCount; ++i) {
        rt::IntArray* zone = zoneAt(touch.s_list, i);
        if (isPointerInRectArray(zone)) {
            touch.s_listHover = 1;
            touch.s_touchUsed = touch.s_touchUsed2 = 1;
            touch.s_selection = i;
        }
        if (isPressInRectArray(zone)) {
            touch.s_listTap = 1;
            touch.s_touchUsed = touch.s_touchUsed2 = 1;
            touch.s_selection = i;
        }
    }
}

void buildSoftKeyLabels() {
    rt::ObjectArray* labels = rt::newObjectArray(kSoftKeyLabelCount);
    touchStatics().s_softKeyLabels = labels;
    const std::array<std::int32_t, kSoftKeyLabelCount> textIds = {1, 0, 2, 5};
    for (std::int32_t i = 0; i < kSoftKeyLabelCount; ++i)
        rt::Array::setRef(labels, i, getString(textIds[static_cast<std::size_t>(i)]));
}

void buildSoftKeyZones() {
    TouchStatics& touch = touchStatics();
    touch.s_softKeyZones = makeZoneTable(2);
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kSoftKeyFrame);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kSoftKeyFrame) - 4;
    if (labelExists(touch.s_leftSoftKey) || (isGuidedRace() && labelExists(kGuidedRaceSoftKeyLabel)))
        setZone(touch.s_softKeyZones, 0, -8, screenHeight() - h, w, h);
    if (labelExists(touch.s_rightSoftKey))
        setZone(touch.s_softKeyZones, 1, screenWidth() - w + 4, screenHeight() - h, w, h);
}

void setSoftKeys(std::int32_t left, std::int32_t right) {
    TouchStatics& touch = touchStatics();
    touch.s_leftSoftKey = left;
    touch.s_rightSoftKey = right;
}

rt::String* getSoftKeyLabel(std::int32_t i) {
    rt::ObjectArray* labels = touchStatics().s_softKeyLabels;
    if (!labels || i < 0 || i >= kSoftKeyLabelCount)
        return nullptr;
    return static_cast<rt::String*>(rt::ObjectArray::get(labels, i));
}

bool touchSoftKeys() {
    if (!isGuidedRace())
        return false;
    buildSoftKeyZones();
    TouchStatics& touch = touchStatics();
    rt::IntArray* zone = zoneAt(touch.s_softKeyZones, 0);
    touch.s_leftSoftKeyFrame = isPointerInRectArray(zone) ? kSoftKeyFrame : kSoftKeyFrameOff;
    return isPressInRectArray(zone);
}

bool touchMenuSoftKeys() {
    if (!isSoftKeyMenuState())
        return false;
    buildSoftKeyZones();
    TouchStatics& touch = touchStatics();
    rt::IntArray* zone = zoneAt(touch.s_softKeyZones, 1);
    touch.s_rightSoftKeyFrame = isPointerInRectArray(zone) ? kSoftKeyFrame : kSoftKeyFrameOff;
    return isPressInRectArray(zone);
}

void resetMenu(std::int32_t n) {
    TouchStatics& touch = touchStatics();
    if (!touch.s_menuItems)
        touch.s_menuItems = rt::newShortArray(kMenuItemCapacity);
    else
        for (std::int16_t& item : rt::ShortArray::span(touch.s_menuItems))
            item = 0;
    touch.s_selection = 0;
    touch.s_menuCount = n;
    touch.s_menuCountCopy = n;
    touch.s_menuScroll = 0;
}

std::int32_t menuItemValue(std::int32_t i) {
    return rt::ShortArray::get(touchStatics().s_menuItems, i);
}

void setMenuItemValue(std::int32_t i, std::int32_t value) {
    rt::ShortArray::set(touchStatics().s_menuItems, i, static_cast<std::int16_t>(value));
}

void setList(std::int32_t n, rt::ObjectArray* list) {
    TouchStatics& touch = touchStatics();
    touch.s_list = list;
    touch.s_listCount = n;
}

} // namespace game
