#pragma once
// The race state that changes as the cars are shown: the animation
// counters of the body and its three-phase ghost animation, the player's
// steering frame after a jump from one side to the other, the fall of the
// player's car and its return to the road, the rising marker of a car back
// from a fall, and the target car held at the view's centre.
//
// The car painters only read. The view pass runs `prepareEntityPaint`
// before the painter and `finishEntityPaint` in its closing step after it
// (`prepareSliceEntities`, `finishSliceEntities`), for exactly the entities
// the race scene paints this frame and in paint order, whether or not a
// painter runs: the race is the same without one. Each step
// keeps to the cases in which the painter shows what it changes (a car
// out of view, a hidden player's car or a knocked car change nothing that
// is not drawn). A value that the frame's picture shows changed at once is
// changed before the painter; the marker's rise, drawn at its old place,
// after it. In the frame in which a phase or the fall ends the car is
// therefore drawn in its new state.
//
// Game thread only.
#include "game/race/cEntity.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The painted frames of a fall before the car is back on the road.
inline constexpr std::int32_t kFallFrames = 20;
// 15 degrees in angle units: a bend whose curve sum reaches this shows the
// cars in it turned.
inline constexpr std::int32_t kSharpBendCurveSum = 15 * 2048 / 360;
// 0.6 s: the state time left at which the animation's middle phase ends.
inline constexpr std::int32_t kStateAnimEndTime = 2457;
// How far the rising marker of a car back from a fall moves up per frame.
inline constexpr std::int32_t kMarkerRise = 16;

struct CarViewStatics {
    // The race states' switch: the player's car is not shown. While the race
    // controls are off (`raceTouchStatics().s_raceControlsOff`: racer
    // introduction, flyover, pause menu) no state or effect layer is drawn.
    std::int8_t s_hidePlayerCar = 0;

    RT_NO_REFERENCE_FIELDS(CarViewStatics, rt::NoReferenceBase)
};

CarViewStatics& carViewStatics();

// `prepareEntityPaint` for every entity the race scene paints this frame,
// in its paint order: the main road's slices 12 down to 0 that are not
// turned away from the camera, each slice's entities farthest first. The
// view pass runs it before the painter.
void prepareSliceEntities();
// `finishEntityPaint` for the same entities in the same order; the view
// pass's closing step after the painter.
void finishSliceEntities();

// The changes made before `entity` is painted; `screenCenterX` is the
// view's centre, where the player's target car is held.
void prepareEntityPaint(cEntity* entity, std::int32_t screenCenterX);
// The changes made after `entity` was painted.
void finishEntityPaint(cEntity* entity);

// Whether `car` stands on a segment of a sharp bend (curved, curve sum of
// at least 15 degrees either way) and is on the ground: such a car is
// drawn turned, or not at all outside the road slices.
bool isInSharpBend(const cEntity* car);
// Whether a computer car is left out of this frame altogether: in a sharp
// bend and sorted into no road slice.
bool isCarOutOfView(const cEntity* car);
// Whether a car of `effect` shakes between its two views.
bool isShakeEffect(CarEffect effect);
// The first segment after `segment` whose surface is not a gap, searched
// once round the ring; -1 when every segment is a gap.
std::int32_t nextSegmentOffGap(std::int32_t segment);

// The computer car's counter and ghost phases before its body is drawn.
void advanceCarAnimation(cEntity* car);
// The player's steering frame, ghost phases and fall before the player's
// car is drawn.
void advancePlayerCarAnimation(cEntity* car);

} // namespace game
