#pragma once

// The cars and race objects on the screen. A car's body is one frame of
// its sprite set, drawn through the zoomed cache at the car's depth or,
// for the player's car near 1.0, as a plain frame of the player's car
// sprite; it shows the car straight on or turned into a sharp bend, shaking
// under an effect, in its ghost animation, with its shadow, lights,
// place marker and the effect layers of CarEffectLayers.h.
//
// The painters only read the race: the view pass runs
// `prepareEntityPaint` for the painted entities before the painter and
// `finishEntityPaint` after it (game/race/CarViewPass.h). They change
// nothing but the sprite
// engine's painter parameters, which they set and reset around a paint.
//
// Threads: the game thread only; the skid lines hold the screen Graphics'
// monitor while they draw.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class ASprite;
class ZoomedAnimPlayer;
class cEntity;

// Chosen by us and pinned by the tests: the cars stand 4 px below the row
// where the projection puts their contact with the road, so that the
// wheels' shadow meets the road's surface rather than its far edge; a car
// in a sharp bend shows straight on while its slice heads within 10
// degrees (57 angle units) of the camera; the screen flash stops blinking
// for its last 0.5 s.
inline constexpr std::int32_t kCarYOffset = 4;
inline constexpr std::int32_t kCarTurnAngleLimit = 57;
inline constexpr std::int32_t kFlashSteady = 2048;

struct CarPaintStatics {
    std::int32_t s_carYOffset = kCarYOffset;
    std::int32_t s_carTurnAngleLimit = kCarTurnAngleLimit;
    // The screen flash: time left (fx, the race scene lowers it), the time
    // below which it stays on, and one blink phase (half of that, set by the
    // race set-up; 0 gives a steady flash).
    std::int32_t s_flashTimer = 0;
    std::int32_t s_flashSteady = kFlashSteady;
    std::int32_t s_flashBlink = kFlashSteady / 2;
    // Fed by the view pass: the camera's yaw and heading (angle units).
    std::int32_t s_cameraYaw = 0;
    std::int32_t s_cameraHeading = 0;
    // The player's extra animation: sprite index, animation, x offset and
    // full length (its time left is the driving statics' `s_playerAuxTimer`).
    std::int32_t s_playerAuxSprite = 0;
    std::int32_t s_playerAuxAnim = 0;
    std::int32_t s_playerAuxOffsetX = 0;
    std::int32_t s_playerAuxDuration = 0;
    // The layers under the player's car and whether each is shown.
    std::int8_t s_underCarLayerA = 0;
    std::int8_t s_underCarLayerB = 0;
    std::int8_t s_underCarLayers = 0;
    ZoomedAnimPlayer* s_underCarPlayerA = nullptr;
    ZoomedAnimPlayer* s_underCarPlayerB = nullptr;
    // The player's car sprite, drawn unscaled; its animations 3 and 4 are
    // the ghost animation of every car.
    ASprite* s_playerCarSprite = nullptr;
    ASprite* s_positionMarkerSprite = nullptr;
    ASprite* s_hudFlashSprite = nullptr;
    ASprite* s_hudFlashFarSprite = nullptr;
    ZoomedAnimPlayer* s_slipstreamAnim = nullptr;
    ZoomedAnimPlayer* s_heldItemPlayer = nullptr;

    RT_REFERENCE_FIELDS(CarPaintStatics, rt::NoReferenceBase, s_underCarPlayerA, s_underCarPlayerB,
                        s_playerCarSprite, s_positionMarkerSprite, s_hudFlashSprite, s_hudFlashFarSprite,
                        s_slipstreamAnim, s_heldItemPlayer)
};

CarPaintStatics& carPaintStatics();

// The race set-up's part: the flash blinks in halves of its steady time.
void setupCarPainting();

// How a computer car's body shows: its frame (5 straight on, 2 turned to
// the left), mirrored for a bend to the right (negative curvature); `shown`
// false when the car is left out of the frame.
struct CarBodyView {
    bool shown = true;
    std::int32_t frame = 5;
    bool mirrored = false;
};
CarBodyView computerCarView(const cEntity* car);

// The entity at its screen position: the player's car with its held item,
// a computer car with its held item, or a race object. This is what the
// race scene calls for each entity it paints.
void paintEntity(const cEntity* entity);
// A computer car at (x, y) with `scale` (4096 = 1.0).
void paintCar(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t scale);
// The place number above a car placed level with the player or ahead.
void paintPositionMarker(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t bodyFrame,
                         std::int32_t scale);
// The player's car body with its shadow, lights, steering overlay and the
// layers under it; `steerFrame` is its body frame.
void paintCarBody(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t steerFrame);
// The player's wheel layers, `offset` px lower: 0 in the air (nothing),
// 1 surface particles (`kWheelParticleSprite`) at both rear wheels while
// the car moves, 2 skid lines below them, 4 smoke at the wheels.
void paintCarOverlays(const cEntity* car, std::int32_t layer, std::int32_t offset);
// What the car painters share. Sprite `n` of the sprite table, null
// without one; player `i` of `players` (ZoomedAnimPlayer), null without
// one; the zoomed cache's painter parameters back to palette 0, no palette
// alpha and no alpha; the frame of the ghost animation at `index` of
// phase `stateAnim` (animation 4 in phase 1, else 3, of the player's car
// sprite; the straight frame when the sprite or the frame is missing); the
// frame of the marker over a car on its path back.
ASprite* tableSprite(std::int32_t n);
ZoomedAnimPlayer* animPlayerAt(const rt::ObjectArray* players, std::int32_t i);
ZoomedAnimPlayer* asAnimPlayer(rt::Object* object);
void resetZoomPainter();
std::int32_t bodyAnimFrame(std::int32_t stateAnim, std::int32_t index);
std::int32_t pathMarkerFrame();

// A race object: frame `m_itemSlot` of its sprite set, zoomed; nothing for
// an object without a kind (-1).
void paintRaceObject(const cEntity* object);

} // namespace game
