#pragma once
// The race's view pass: what a painted race frame computes without pixels,
// before any painter runs. It projects the road from the camera, sorts every
// car and active race object into the road slice that holds it (with its
// screen position and drawing scale), and keeps the view's running values:
// the screen flash's timer, the lane-target switch, the road's bend and the
// moving road object's step. The race painter reads all of it and writes
// none of it, so a frame leaves the same race state with or without a
// painter.
//
// The camera's values are inputs here (`ViewPassStatics`); the camera work
// writes them. Entities are carried into the camera's segment by the track
// geometry (TrackGeometry.h).
//
// The fork's second road (slices 16..31) is never filled: `s_hasSecondRoad`
// stays false and nothing is sorted into it.
//
// Game thread only.
#include "game/race/RoadProjection.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

// At most this many entities are drawn in one slice.
inline constexpr std::int32_t kSliceEntityLimit = 10;
// A moving road object of a code with this bit uses the second position.
inline constexpr std::int32_t kMovingObjectSecondBit = 0x800;

struct ViewPassStatics {
    // The camera, written by the camera work. Angles are 2048 to the circle.
    std::int32_t s_cameraSegment = 0;
    std::int32_t s_cameraSegmentPos = 0;
    std::int32_t s_cameraLateral = 0;
    std::int32_t s_cameraHeading = 0;
    std::int32_t s_cameraYaw = 0;
    std::int32_t s_cameraHeight = 329;
    std::int32_t s_cameraFocal = 200;
    std::int32_t s_cameraPitch = 0;
    std::int32_t s_cameraPitchOffset = 0;
    std::int32_t s_cameraLift = 0;
    std::int32_t s_cameraDistance = 450;
    std::int32_t s_cameraExtraDistance = 0;
    // The screen row of eye level now, and the default one the lane objects
    // are drawn with; the screen's centre column.
    std::int32_t s_viewHorizonY = 240;
    std::int32_t s_defaultHorizonY = 240;
    std::int32_t s_screenCenterX = 320;
    // A slice turned this far from the camera (either way) is not drawn.
    std::int32_t s_sliceAngleLimit = 512;
    std::int8_t s_hasSecondRoad = 0;

    // The slices' entities, farthest first: entity n of slice k at
    // k * `kSliceEntityLimit` + n of `s_sliceEntities` (cEntity[320]).
    std::int16_t s_sliceEntityCount[kSliceCount] = {};
    rt::ObjectArray* s_sliceEntities = nullptr;

    // Time left of the screen flash (seconds, 4096 = 1.0), lowered by the
    // race frame time each painted frame and never below 0.
    std::int32_t s_flashTimer = 0;
    // (`s_sliceX`[3] - `s_sliceX`[0]) / 10: the road's bend in pixels.
    std::int32_t s_roadBend = 0;

    // The moving road object: the low byte of the trigger codes that show
    // it (-1 none); per kind (plain, and codes with bit 0x800) the lateral
    // position, its step per painted race frame, and where it is drawn this
    // frame (`s_movingObjectShown` 0 when no slice shows it).
    std::int32_t s_movingObjectId = -1;
    std::int32_t s_movingObjectX[2] = {};
    std::int32_t s_movingObjectDX[2] = {};
    std::int32_t s_movingObjectDrawX[2] = {};
    std::int8_t s_movingObjectShown[2] = {};
    // byte[segments]: 1 hides the moving object on that segment.
    rt::ByteArray* s_gateDone = nullptr;

    RT_REFERENCE_FIELDS(ViewPassStatics, rt::NoReferenceBase, s_sliceEntities, s_gateDone)
};

ViewPassStatics& viewPassStatics();

// A point of the track carried back into another segment's frame.
struct TrackOffset {
    std::int32_t x = 0;
    std::int32_t z = 0;
};

// The slice bins (made once; the view pass makes no object per frame) and
// the camera's defaults for the game's screen.
void viewPassStaticInit();

// The projection's view of the camera statics.
RoadCamera roadCamera();

// One painted frame's view pass: `projectFromCamera`, `sortEntitiesIntoSlices`,
// `updateViewTimers`, `stepMovingObjects`, `markRoadsideLanes`
// (DynamicTriggerView.h) and `prepareSliceEntities` (CarViewPass.h).
// `inRace` says whether the race state itself (not a state over it) is
// painting: only then do the moving road objects move.
void runViewPass(bool inRace);
// `runViewPass` with `inRace` taken from the current state.
void runViewPass();
// The view pass's closing step after the painter (or in its place):
// `finishSliceEntities` (CarViewPass.h).
void finishViewPass();

// The road slices from the camera's place, heading and height.
void projectFromCamera();
// Every car in list order into the main road, then every active race
// object.
void sortEntitiesIntoSlices();
// The flash timer, the lane-target switch (TrackTriggers.h) and the road
// bend.
void updateViewTimers();
// The moving road objects: each kind shown in a visible slice bounces off
// the road's outer lanes, is placed for the painter, and moves one step
// when `inRace`.
void stepMovingObjects(bool inRace);

// Sorts `e` into the slice of its segment on the main road (`mainRoad`) or
// the second road: `m_roadSlice` is that slice or -1, and an entity that
// projects is inserted behind those farther ahead in its segment (at most
// `kSliceEntityLimit` a slice). Nothing beyond 14 segment lengths ahead of
// the camera is sorted in.
void addEntityToSlice(cEntity* e, bool mainRoad);
// Gives `e` its screen x, ground y, top y and drawing scale in slice k;
// false when it lies at depth 0 or behind. The player's car is drawn at the
// camera's follow distance (sideways by the angle the camera sees it
// under), except in the racer intro, the flyover, and after the finish of
// event types 0 and 2.
bool projectEntity(cEntity* e, std::int32_t k);
// Entity n of slice k, or null.
cEntity* sliceEntity(std::int32_t k, std::int32_t n);

// The race scene walks the main road's slices `kPaintedSliceCount` - 1 down
// to 0, far to near, and leaves out a slice turned away from the camera:
// one whose heading reaches `s_sliceAngleLimit` either way.
inline constexpr std::int32_t kPaintedSliceCount = 13;
bool isSliceTurnedAway(std::int32_t k);

// Trigger code j of `segment` (0 outside the track's codes).
std::int32_t triggerCodeAt(std::int32_t segment, std::int32_t j);

} // namespace game
