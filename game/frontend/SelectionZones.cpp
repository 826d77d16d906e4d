#include "game/frontend/SelectionZones.h"

#include "game/data/Progress.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/ListScreens.h"
#include "game/race/RaceTables.h"
#include "game/ui/MenuStatics.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

namespace {

// The anchors of the selection screens' two arrow columns: 40 pixels in
// from each side, their line 90 pixels above the middle of the screen, high
// enough that the lower arrows' zones end above the soft keys.
constexpr std::int32_t kArrowInset = 40;
constexpr std::int32_t kAnchorLineRise = 90;
// The side arrows' zones start this far below their 4w-high span's centre
// on the anchor line.
constexpr std::int32_t kSideArrowDrop = 80;
constexpr std::int32_t kLowerArrowDrop = 245;
enum ArrowKind : std::int32_t { kReferenceArrows, kSideArrows, kFourArrows, kArrowKindCount };

rt::ObjectArray* makeArrowZones(std::int32_t kind) {
    std::int32_t w = spriteFrameWidth(kMenuArrowSprite, kLeftArrowFrame);
    std::int32_t screenW = config().s_gameScreenWidth;
    std::int32_t screenH = config().s_gameScreenHeight;
    std::int32_t anchors[] = {kArrowInset, screenW - kArrowInset};
    std::int32_t line = screenH / 2 - kAnchorLineRise;
    switch (kind) {
    case kReferenceArrows: {
        rt::ObjectArray* zones = makeZoneTable(2);
        setZone(zones, 0, w / 3 - w / 2, screenH / 2 - w / 2, 2 * w, w);
        setZone(zones, 1, screenW - w / 3 - w / 2 - w, screenH / 2 - w / 2, 2 * w, w);
        return zones;
    }
    case kSideArrows: {
        // The left zone ends at its anchor, the right one starts at its own.
        rt::ObjectArray* zones = makeZoneTable(2);
        setZone(zones, 0, anchors[0] - 2 * w, line - 2 * w + kSideArrowDrop, 2 * w, 4 * w);
        setZone(zones, 1, anchors[1], line - 2 * w + kSideArrowDrop, 2 * w, 4 * w);
        return zones;
    }
    default: {
        // Left and right of the upper row, then of the lower one: the order
        // in which `touchOptionArrows` steps item i by zones 2i and 2i + 1.
        rt::ObjectArray* zones = makeZoneTable(4);
        for (std::int32_t i = 0; i < 4; ++i)
            setZone(zones, i, anchors[i % 2] - 2 * w, line - 2 * w + (i / 2) * kLowerArrowDrop, 4 * w, 4 * w);
        return zones;
    }
    }
}

} // namespace

SelectionZoneStatics& selectionZoneStatics() {
    return rt::getStaticClass().statics<SelectionZoneStatics>();
}

rt::ObjectArray* buildGridZones() {
    SelectionZoneStatics& statics = selectionZoneStatics();
    if (statics.s_gridZones)
        return statics.s_gridZones;
    std::int32_t count = racerListCount();
    rt::ObjectArray* zones = makeZoneTable(count);
    for (std::int32_t i = 0; i < count; ++i)
        setZone(zones, i, kRacerCellX + kRacerCellStepX * (i % kRacerGridColumns),
                kRacerCellY + kRacerCellStepY * (i / kRacerGridColumns), kRacerCellSize, kRacerCellSize);
    statics.s_gridZones = zones;
    return zones;
}

bool touchListScreen(std::int32_t itemSprite) {
    SelectionZoneStatics& statics = selectionZoneStatics();
    TouchStatics& touch = touchStatics();
    statics.s_selectionTimer = std::max(0, statics.s_selectionTimer - loopStatics().s_frameMs);
    rt::ObjectArray* zones = buildGridZones();
    bool pressed = false;
    for (std::int32_t i = 0; i < zones->length(); ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        if (isPointerInRectArray(zone) && touch.s_selection != i) {
            statics.s_previousSelection = touch.s_selection;
            statics.s_previousValue = touch.s_menuValue;
            touch.s_selection = i;
            touch.s_touchUsed = 1;
            menuStatics().s_redraw = 1;
            statics.s_selectionTimer = kListSelectionWait;
        }
        pressed = pressed || isPressInRectArray(zone);
    }
    // The confirm rectangle is the selected car as the list draws it; with
    // no car to draw there is none.
    const std::int32_t w = spriteFrameWidth(itemSprite, 0);
    const std::int32_t h = spriteFrameHeight(itemSprite, 0);
    if (w > 0 && h > 0) {
        if (!statics.s_confirmZone)
            statics.s_confirmZone = rt::newIntArray(4);
        rt::Array::fill32(statics.s_confirmZone, {kRacerCarX, kRacerCarBottom - h, w, h});
        pressed = pressed || isPressInRectArray(statics.s_confirmZone);
    } else {
        statics.s_confirmZone = nullptr;
    }
    std::int32_t selection = touch.s_selection;
    bool unlocked = selection >= 0 && selection < 32 && hasProgressFlagA(selection);
    if (!pressed || statics.s_selectionTimer > 0 || !unlocked)
        return false;
    statics.s_chosenRacer = selection;
    statics.s_chosenValue = touch.s_menuValue;
    statics.s_listConfirmed = 1;
    return true;
}

rt::ObjectArray* buildScreenZones() {
    SelectionZoneStatics& statics = selectionZoneStatics();
    if (!statics.s_arrowZoneKinds)
        statics.s_arrowZoneKinds = rt::newObjectArray(kArrowKindCount);
    const State state = stateStatics().s_state;
    std::int32_t kind = state == State::ReferenceList                            ? kReferenceArrows
                        : state == State::CupSelect || state == State::BonusMenu ? kSideArrows
                                                                                 : kFourArrows;
    auto* zones = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(statics.s_arrowZoneKinds, kind));
    if (!zones) {
        zones = makeArrowZones(kind);
        rt::Array::setRef(statics.s_arrowZoneKinds, kind, zones);
    }
    menuStatics().s_arrowZones = zones;
    return zones;
}

} // namespace game
