#pragma once

// The race load: the forty steps that state 4 runs, one a frame, for the
// race kinds (a race from the menus, the next race over a finished one),
// and the hand-over to the race's first state, which the loading state
// (Loading.h) runs.
//
// Steps (the bar counts one per step, and one per slot that step 32
// passes): 0 the previous race goes, the zones, the loading screen's
// sprites and texts; 5 nothing left to allocate (the view pass's arrays
// are made once at start-up); 6 the track; 7 the event's sprites and the
// image pack opened; 8 to 11 the race images, the road images, the lane
// objects and the haze; 12, 13 the racers and the player's car; 14 the
// race texts; 16, 17 the race's sprites; 19 to 26 their palettes and
// caches; 27 the animation players, the zoomed caches and the track's
// gate; 28 to 30 the effects and the cars; 31 to 33 the marked track
// objects of the second sprite table, one a frame, and their caches; 35
// the music; 38 the arctangent table and the particle field; 39 the race
// is left to be set up by its first state. 1 to 4, 36 and 37 do nothing,
// 15 and 18 collect.
//
// A step that cannot go on without a resource (the event's track, a sprite
// a step names, a marked track object) reports it through `failLoadStep`
// (Loading.h) and the load is abandoned there: one log line naming the
// kind, the step and the resource, and the menus are loaded instead.
//
// Threads: the game thread only.

#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Slots of the second sprite table (and records of the object flag table).
inline constexpr std::int32_t kObjectSpriteSlots = 92;
// The second table's walking step, and the step that caches what it loaded.
inline constexpr std::int32_t kObjectSpriteStep = 32;

struct RaceLoaderStatics {
    // The size the race's backdrop is painted at: frame 0 of its sprite,
    // else half the screen wide and twice the screen high.
    std::int32_t s_backdropWidth = 0;
    std::int32_t s_backdropHeight = 0;

    RT_NO_REFERENCE_FIELDS(RaceLoaderStatics, rt::NoReferenceBase)
};

RaceLoaderStatics& raceLoaderStatics();

// Step `step` of a race load; `next` 0 for a race from the menus, 1 for the
// next race over a finished one.
void loadStep(std::int32_t step, std::int32_t next);

// The track's moving road object and gate: the object's steps and places,
// the gate kind by track (2, 5, 4, 3, 6, 13 for tracks 0 to 5, else -1),
// the players under the car on track 3 and the gate's player.
void setupTrackObjects(std::int32_t track);

// Flags the sprite slots a race loads (the player's set, the race's fixed
// sprites, every racer's set, and the weather's).
void selectRaceSpriteSets();
// The race's music by the theme of the current event.
void selectRaceMusic();
// Frees the menus' sprites and the racers' sets before a race from the menus.
void freeRacerSpriteSets();

// The hand-over to the flyover (40) or the countdown (41): the menus'
// background, button and item sprites go with their palettes, the track's
// backdrop keeps only its images and its size, and its second sprite its
// images.
void startRace(State nextState);

} // namespace game
