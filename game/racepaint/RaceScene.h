#pragma once

// The race scene: the picture of the race world for one frame, painted
// from the view pass's values (game/race/ViewPass.h) with the painter's
// algorithm. Sky, panorama and haze first; the ground beside the road and
// the scenery; then the world far to near: sections lowered under the road,
// the road's bands (which set each slice's clip), and slice by slice from
// 12 down to 0 the start gate, the trigger codes' sections and lane
// objects, the moving road object, the dynamic roadside objects and the
// entities, each slice under its own clip so that nearer road hides what
// lies behind a crest; last the effect pool, the player's markers and the
// speed lines.
//
// The painter reads the race and writes none of it: the view pass lowered
// the flash timer, cleared the lane targets, measured the road's bend and
// stepped the moving object before it runs. What it keeps is its own: the
// backdrop's overlay frame and scroll. No object is made per painted frame.
//
// Threads: the game thread only.

#include "game/framework/CarFrames.h"
#include "game/framework/HudFrames.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "platform/lcdui/Image.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;
class ZoomedAnimPlayer;

// Chosen once: the track's horizon row, the panorama's frame, where its
// left edge starts, and how far weather mode 1 scrolls it per painted frame.
inline constexpr std::int32_t kHorizonY = 240;
inline constexpr std::int32_t kBackdropFirstScrollX = 0;
inline constexpr std::int32_t kBackdropScrollStep = 1;
// The haze strip hangs this far above the horizon.
inline constexpr std::int32_t kHazeLift = 20;
inline constexpr std::int32_t kStartCountY = 220;

struct RaceSceneStatics {
    std::int32_t s_horizonY = kHorizonY;
    // The panorama sprite (-1 none), its frame, its left edge, the width of
    // one copy and the overlay frame now shown (1 .. frames - 1).
    std::int32_t s_backdropSprite = -1;
    std::int32_t s_backdropFrame = kBackdropFrame;
    std::int32_t s_backdropScrollX = kBackdropFirstScrollX;
    std::int32_t s_backdropWidth = 0;
    std::int32_t s_backdropAnimFrame = kFirstBackdropOverlayFrame;
    // The horizon haze strip; null for none.
    platform::javax_microedition_lcdui_Image* s_hazeImage = nullptr;

    RT_REFERENCE_FIELDS(RaceSceneStatics, rt::NoReferenceBase, s_hazeImage)
};

RaceSceneStatics& raceSceneStatics();

// The pinned values of a race without a backdrop: the first scroll, the
// panorama frame, the horizon, and half the screen as a copy's width.
void raceSceneStaticInit();
// A race's backdrop: sprite `sprite` (-1 none), one copy as wide as its
// panorama frame.
void setBackdrop(std::int32_t sprite);

// One frame of the race world, after the view pass.
void paintRaceScene();
// Sky to the horizon, the panorama (with its overlay and a second copy
// closing the gap) moved by (dx, dy), and the haze.
void paintBackdrop(std::int32_t dx, std::int32_t dy, std::int32_t flags);
// The world far to near; `secondRoad` adds the fork's road.
void paintWorld(bool secondRoad);
void paintPlayerMarkers();
// The start state's paint: the scene, the start count, its zoomed last
// figure, the notice and the head-up display.
void paintRaceStart();
// Weather mode 1's drift of the panorama: `kBackdropScrollStep` to the
// left per call, wrapping within one copy's width.
void updateBackdropScroll();

} // namespace game
