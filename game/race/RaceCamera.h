#pragma once
// The race camera: the viewpoint of the road projection, kept in track
// coordinates (segment, position in it, lateral offset) with a heading
// relative to the road, an eye height, a pitch and a follow distance. In the
// race it trails the player's car and pulls back while the car accelerates
// or aims at a target; after the finish of an event of type 0 or 2 it drives
// on by itself; before the start it flies the track's camera paths (the
// flyover) or visits the racers on the grid two at a time (the racer intro).
// Every mover leaves its values in `CameraStatics`; the view pass hands them
// to the projection before each paint.
//
// Units: 4096 = 1.0; times are race steps in seconds (fx); angles are 2048
// units to the circle, headings relative to the segment's line and growing
// clockwise (docs/driving.md).
//
// Values no data gives are chosen here and pinned by tests: the racer
// tour's dwell, the heading's follow divisors and step limits, the extra
// heading of a side contact, the slice angle limit, the blink period of the
// pre-race texts and the default horizon's distance from the screen bottom.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kCameraHeight = 329;
inline constexpr std::int32_t kCameraFocal = 200;
inline constexpr std::int32_t kCameraDistance = 450;
// The default eye level lies this far above the screen's bottom.
inline constexpr std::int32_t kHorizonAboveBottom = 193;
// The racer tour's state while the camera dwells on a pair of racers.
inline constexpr std::int32_t kTourDwelling = 1;
// The racer tour's camera runs backwards at this speed (km/h).
inline constexpr std::int32_t kTourSpeedKmh = 50;

struct CameraStatics {
    std::int32_t s_cameraSegment = 0;
    std::int32_t s_cameraSegmentPos = 0;
    std::int32_t s_cameraLateral = 0;
    std::int32_t s_cameraHeading = 0;
    std::int32_t s_cameraYaw = 0;
    // The heading at the start of the step plus the curvature of every
    // segment crossed since.
    std::int32_t s_cameraTrackAngle = 0;
    std::int32_t s_cameraPrevSegment = 0;
    std::int32_t s_cameraPitch = 0;
    std::int32_t s_cameraPitchOffset = 0;
    std::int32_t s_cameraHeight = kCameraHeight;
    std::int32_t s_cameraHeightBase = kCameraHeight;
    std::int32_t s_cameraFocal = kCameraFocal;
    std::int32_t s_cameraDistance = kCameraDistance;
    // The pull-back added to the follow distance; may be negative.
    std::int32_t s_cameraExtraDistance = 0;
    // The smoothed height of the player's car above the road.
    std::int32_t s_cameraLift = 0;
    std::int32_t s_viewHorizonY = 480 - kHorizonAboveBottom;
    std::int32_t s_viewHorizonBaseY = 480 - kHorizonAboveBottom;
    // Set by `cameraStaticInit` from the game screen's height.
    std::int32_t s_defaultHorizonY = 480 - kHorizonAboveBottom;
    std::int32_t s_screenCenterX = 320;
    // The player's car is not painted and the pull-back is frozen.
    std::int8_t s_hidePlayerCar = 0;
    std::int32_t s_pullBackTime = 0;
    std::int32_t s_pullBackGear = 0;
    std::int32_t s_cameraTargetHeading = 0;
    // The accumulated turn of the view; the backdrop scrolls by it.
    std::int32_t s_viewTurn = 0;

    // Pull-back tuning: the smallest pull-back (reached while slowing), the
    // rates back to 0 and out, and the brake's scale and divisor.
    std::int32_t s_cameraPullMin = -56;
    std::int32_t s_cameraReturnRate = 744;
    std::int32_t s_cameraPullRate = 409;
    std::int32_t s_cameraBrakeDivisor = 2048;
    std::int32_t s_cameraBrakeScale = 1024;

    // The racer tour: 0 moving, 1 dwelling; the dwell's time; the racer in
    // `s_racers` the camera goes to (the label pair is it and the one before).
    std::int32_t s_tourState = 0;
    std::int32_t s_tourTimer = 0;
    std::int32_t s_tourDwell = 6144;
    std::int32_t s_tourRacer = 1;

    // The heading follows its target over `s_headingDivisors`[hidden]
    // seconds, by at most `s_headingStepLimits`[hidden] units a step
    // (index 1 while the player's car is hidden: a slower, gentler turn).
    std::int32_t s_headingDivisors[2] = {1024, 2048};
    std::int32_t s_headingStepLimits[2] = {57, 28};
    // Added to the car's own heading while a side contact pushes it (5
    // degrees).
    std::int32_t s_contactHeadingOffset = 28;
    // A slice turned this far from the camera (either way) is not painted.
    std::int32_t s_sliceAngleLimit = 512;
    // The blink period of the pre-race texts (half a second).
    std::int32_t s_blinkStartPeriod = 2048;

    // The track's camera path the camera follows now, and its point on it.
    std::int32_t s_cameraPath = 0;
    std::int32_t s_cameraPathPoint = 0;

    RT_NO_REFERENCE_FIELDS(CameraStatics, rt::NoReferenceBase)
};

CameraStatics& cameraStatics();

// The default horizon and the screen's centre column for the game screen,
// and the camera's defaults.
void cameraStaticInit();
// Eye height, path height, focal, distance, horizon, pitch offset, lift,
// pull-back and the hidden-car flag back to their defaults.
void applyCameraDefaults();

// The race camera, once per race step.
void updateCamera(std::int32_t elapsed);
// Moves the camera `distance` along the track at `angle` to the road,
// taking the new lateral position when `takeLateral`; its heading becomes
// the road's inside the new segment.
void moveCamera(std::int32_t distance, std::int32_t angle, bool takeLateral);
// Turns `s_cameraHeading` towards the player's car.
void updateCameraHeading(std::int32_t elapsed);
// Puts the camera behind the start line (`resetCamera`), then on the first
// point of camera path `path`. Nothing without a path table.
void startCameraPath(std::int32_t path);
// One step along the current path; at its last point the next path starts.
// True once the last path has ended (at once without a path table).
bool stepCameraPath(std::int32_t elapsed);
// One step of the racer tour; true once every visited racer was shown.
bool stepCameraOverRacers(std::int32_t elapsed);

// The camera behind the start line, looking along the road, the racer tour
// at its start.
void resetCamera();
// The camera the follow distance behind the player's car; turned by 30
// degrees in an event of type 10.
void placeCameraBehindPlayer();

// The camera's yaw and heading taken to `car`'s segment.
std::int32_t cameraHeadingAtCar(const cEntity* car);

// Hands the camera's place, heading, height, projection and horizon to the
// view pass (ViewPass.h), which reads them when it projects the road.
void publishCameraToView();

// Point `i` of the current camera path (four shorts each): its segment, its
// eye height, and its two angles in degrees turned into angle units (x 2048
// / 360). 0 without that path or point.
std::int32_t getCamPathNodeX(std::int32_t i);
std::int32_t getCamPathNodeY(std::int32_t i);
std::int32_t getCamPathNodeAngle(std::int32_t i);
std::int32_t getCamPathNodeAngle2(std::int32_t i);
// Empties every slot of the camera path table and drops it.
void releaseCamPath();

} // namespace game
