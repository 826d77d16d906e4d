#pragma once

// What the roadside painters read of the frame's view: the camera's
// projection, the road slices, the fog and the view rectangle. The view pass
// fills these before the painters run; until it exists, tests set them.
//
// Projection: a point (x lateral, y height, z depth) relative to the eye
// lands at (`s_screenCenterX` + focal * x / z, `s_viewHorizonY` - focal * y
// / z), divisions truncating toward zero.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kRoadSlices = 16;
// The depth where fog is full and beyond which nothing is drawn.
inline constexpr std::int32_t kFogEnd = 15360;
// Chosen by us: the lateral spread of weather mode 1's white fog. A polygon
// whose mean x lies beyond `s_weatherSpread` - 11 fades into white.
inline constexpr std::int32_t kWeatherSpread = 64;

struct RoadsideViewStatics {
    std::int32_t s_cameraFocal = 200;
    std::int32_t s_screenCenterX = 320;
    std::int32_t s_viewHorizonY = 240;
    std::int32_t s_cameraSegment = 0;
    // Per road slice (0 nearest, 15 the far end of the road): the road
    // centre's lateral offset, depth and height relative to the eye, and the
    // screen row.
    std::int32_t s_sliceX[kRoadSlices] = {};
    std::int32_t s_sliceDepth[kRoadSlices] = {};
    std::int32_t s_sliceHeight[kRoadSlices] = {};
    std::int32_t s_sliceScreenY[kRoadSlices] = {};
    // Fog: the depth where it starts (at `kFogEnd` or beyond: none), the
    // ground's and the walls' fog colours, and the weather.
    std::int32_t s_fogStart = kFogEnd;
    std::int32_t s_fogColour = 0;
    std::int32_t s_wallFogColour = 0;
    // The race's weather, one of the k...Weather values (TrackData.h).
    std::int32_t s_weatherMode = 0;
    std::int32_t s_weatherSpread = kWeatherSpread;
    // The bend of the road ahead in pixels: (`s_sliceX`[3] - `s_sliceX`[0])
    // / 10.
    std::int32_t s_roadBend = 0;
    // The sprite set whose frames the section models' textured quads show;
    // -1 none (textured quads are not drawn).
    std::int32_t s_sectionQuadSprite = -1;

    // Fed by the view pass for the verges, walls and section models: per
    // slice the segment, the road's heading relative to the camera (angle
    // units), the screen x of the road's left edge, its width on the screen
    // (0: the slice is not visible) and the projection scale (focal << 12)
    // / depth; the heading beyond which a slice is not painted; the drawing
    // area, the view's width and the shake's x offset.
    std::int32_t s_sliceSegment[kRoadSlices] = {};
    std::int32_t s_sliceAngle[kRoadSlices] = {};
    std::int32_t s_sliceScreenX[kRoadSlices] = {};
    std::int32_t s_sliceScreenWidth[kRoadSlices] = {};
    std::int32_t s_sliceScale[kRoadSlices] = {};
    std::int32_t s_sliceAngleLimit = 512;
    std::int32_t s_clipLeft = 0;
    std::int32_t s_clipTop = 0;
    std::int32_t s_clipRight = 640;
    std::int32_t s_clipBottom = 480;
    std::int32_t s_viewWidth = 640;
    std::int32_t s_shakeX = 0;
    // The eye level the lane objects are drawn at, whatever the camera's
    // horizon does.
    std::int32_t s_defaultHorizonY = 240;
    // Written by the verges pass for the road bands and the section models:
    // per slice the clip's bottom, left x and width, and the lateral
    // positions of the drawn road's edges; the running bottom of the road
    // bands' clip; the verge colours of the slice that reaches the bottom of
    // the drawing area (0xFF00FF: none).
    std::int32_t s_sliceClipY[kRoadSlices] = {};
    std::int32_t s_sliceClipLeft[kRoadSlices] = {};
    std::int32_t s_sliceClipWidth[kRoadSlices] = {};
    std::int32_t s_sliceRoadLeft[kRoadSlices] = {};
    std::int32_t s_sliceRoadRight[kRoadSlices] = {};
    std::int32_t s_roadClipBottom = 0;
    std::int32_t s_bottomLeftColour = 0xFF00FF;
    std::int32_t s_bottomRightColour = 0xFF00FF;

    RT_NO_REFERENCE_FIELDS(RoadsideViewStatics, rt::NoReferenceBase)
};

RoadsideViewStatics& roadsideView();

// The fog weight 0..256 at depth z: 0 up to the fog start, and 0 everywhere
// when the fog starts at `kFogEnd` or beyond (no fog rather than a division
// by zero).
std::int32_t fogWeight(std::int32_t z);

// c1 when a < 1, c0 when a >= 256, else the channels mixed a / 256 of c0,
// opaque: the fog's blend of a colour towards the fog colour.
std::int32_t blendColor(std::int32_t c0, std::int32_t c1, std::int32_t a);

} // namespace game
