#include "game/framework/Overlay.h"

#include "game/framework/Anchors.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Array.h"

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;

// A soft key: its frame of the soft-key sprite at the zone's corner, then
// its label centred on (labelX, the middle of the zone's height above the
// screen's bottom).
void paintSoftKey(javax_microedition_lcdui_Graphics* graphics, rt::IntArray* zone, std::int32_t frame,
                  rt::String* label, std::int32_t labelX) {
    const SpriteHooks& hooks = seams().sprites;
    if (rt::Object* sprite = spriteAt(kMenuItemSprite))
        hooks.paintFrame(sprite, graphics, frame, rt::IntArray::get(zone, 0), rt::IntArray::get(zone, 1), 0);
    hooks.selectFontPalette(kSoftKeyFont, kSoftKeyPalette);
    hooks.drawString(kSoftKeyFont, graphics, label, labelX,
                     config().s_gameScreenHeight - rt::IntArray::get(zone, 3) / 2, kAnchorCentre);
}

rt::IntArray* softKeyZone(std::int32_t side) {
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(touchStatics().s_softKeyZones, side));
}

// The left key with `label`; its zones and frame chosen first.
void paintLeftSoftKey(javax_microedition_lcdui_Graphics* graphics, rt::String* label) {
    touchSoftKeys();
    rt::IntArray* zone = softKeyZone(0);
    paintSoftKey(graphics, zone, touchStatics().s_leftSoftKeyFrame, label,
                 (rt::IntArray::get(zone, 0) + rt::IntArray::get(zone, 2)) >> 1);
}

} // namespace

void paintOverlay(javax_microedition_lcdui_Graphics* graphics) {
    const TouchStatics& touch = touchStatics();
    std::int32_t left = touch.s_leftSoftKey;
    if (left >= 0 && isGuidedRace() && getSoftKeyLabel(left))
        paintLeftSoftKey(graphics, getSoftKeyLabel(left));
    if (left == kPauseButtonLabel && touch.s_pauseZone) {
        rt::Object* sprite = spriteAt(kMenuItemSprite);
        if (sprite && !seams().race.raceFinished())
            seams().sprites.paintFrame(sprite, graphics, touch.s_pauseFrame,
                                       rt::IntArray::get(touch.s_pauseZone, 0),
                                       rt::IntArray::get(touch.s_pauseZone, 1), 0);
    }
    std::int32_t right = touch.s_rightSoftKey;
    if (right >= 0 && isSoftKeyMenuState() && getSoftKeyLabel(right)) {
        touchMenuSoftKeys();
        rt::IntArray* zone = softKeyZone(1);
        std::int32_t width = config().s_gameScreenWidth;
        paintSoftKey(graphics, zone, touchStatics().s_rightSoftKeyFrame, getSoftKeyLabel(right),
                     width - ((width - rt::IntArray::get(zone, 0)) >> 1));
    }
    // The guide's key leaves a running guide; a finished race has none.
    if (isGuidedRace() && getSoftKeyLabel(kGuidedRaceSoftKeyLabel) && !seams().race.raceFinished())
        if (rt::String* label = getString(kGuidedRaceSoftKeyText))
            paintLeftSoftKey(graphics, label);
}

} // namespace game
