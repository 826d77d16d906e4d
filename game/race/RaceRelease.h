#pragma once

// The release of a race: before the next race loads, the previous race's
// sprites, zoom-cache entries, track tables, racers, images and work arrays
// go, so that what a race load makes is all collectable again; and the
// event slot filled for the race the player chose, the last race's sprites
// freed first.
//
// What stays across `prepareRace`: the racer definitions, the game and event
// tables, the event slots and the wire models of every track.
//
// Game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace game {

class ASprite;
class ZoomedAnimPlayer;

// The race's references that no loader of its own holds yet: the race
// overlay and its shared car player, the race sprite ids and holders, the
// race effect players, the pool of other entities, the road slice arrays,
// the background and image lists, and the texts of the chosen race.
struct RaceResourceStatics {
    rt::Object* s_raceOverlay = nullptr;
    std::int32_t s_raceOverlayValue = 0;
    // The race's extra effect player (made free with the race's players,
    // advanced in the race state) and the two references beside it.
    rt::Object* s_carAnimPlayer = nullptr;
    rt::Object* s_carAnimSpriteA = nullptr;
    rt::Object* s_carAnimSpriteB = nullptr;
    // int[]: sprite ids whose module data the race loaded; -1 unused.
    rt::IntArray* s_raceSpriteIds = nullptr;
    ASprite* s_raceSpriteHolder = nullptr;
    // Object[] of ASprite: element 6 is the race's.
    rt::ObjectArray* s_extraSprites = nullptr;
    // The player's race effect players, each played once from its start
    // and drawn at the player's car: A, pre-zoomed, the nitro's burst
    // (`s_raceFxAnim`); B, zoomed, a knock-out's sparks. Released with the
    // race's sprites.
    ZoomedAnimPlayer* s_raceFxPlayerA = nullptr;
    ZoomedAnimPlayer* s_raceFxPlayerB = nullptr;
    // The animation of `kTrackEffectSprite` that the first race effect
    // plays; -1 none.
    std::int32_t s_raceFxAnim = -1;
    // Object[] of cEntity: the entities that are neither racers nor race objects.
    rt::ObjectArray* s_entityPool = nullptr;
    // The road slice arrays (the segment of each slice first) and the work
    // array with its count after them.
    rt::ObjectArray* s_roadSlices = nullptr;
    rt::IntArray* s_sliceWork = nullptr;
    std::int32_t s_sliceWorkCount = 0;
    rt::IntArray* s_raceBackground = nullptr;
    rt::ObjectArray* s_trackImageListArray = nullptr;
    // Image[][]: the track's image lists.
    rt::ObjectArray* s_trackImageLists = nullptr;
    std::int32_t s_roadsideImageCount = 0;

    std::int8_t s_raceOptionFlag = 0;
    rt::String* s_raceLabel = nullptr;
    rt::String* s_raceTip = nullptr;
    std::int32_t s_eventTarget = 0;
    std::int32_t s_eventCounter = 0;

    RT_REFERENCE_FIELDS(RaceResourceStatics, rt::NoReferenceBase, s_raceOverlay, s_carAnimPlayer,
                        s_carAnimSpriteA, s_carAnimSpriteB, s_raceSpriteIds, s_raceSpriteHolder,
                        s_extraSprites, s_raceFxPlayerA, s_raceFxPlayerB, s_entityPool, s_roadSlices,
                        s_sliceWork, s_raceBackground, s_trackImageListArray, s_trackImageLists, s_raceLabel,
                        s_raceTip)
};

RaceResourceStatics& raceResourceStatics();

// Releases the previous race. `full` (start-up) also drops the road slice
// arrays, the span rectangle and the zones, and the racer list with the
// player's car; without it the racers stay for the next race. Ends with a
// collection when the configuration collects after unloading.
void prepareRace(bool full);

// The race's sprites, in the order the release frees them.
void unloadRaceSprites();
// The race's zoomed and pre-zoomed cache entries.
void uncacheRaceZooms();
// The effect sprites' cache entries, the effect pool and the five effect players.
void freeRaceSprites();

// The racer list and the player's car (`full`), or only what a next race
// makes again.
void releaseRacers(bool full);
// The track's tables of the race; the wire models stay.
void releaseTrackData();

inline constexpr std::int32_t kRaceRows = 6;

// Fills the current event slot from race row `raceRow`, whose index is also
// its track: the title and type texts of the row's event type (the title
// text 199 when `customTitle`), the icons, the event's name, the race label
// and one of the seven race tips. A row outside 0..5 is refused with a log
// line and changes nothing.
void setupEventSlots(std::int32_t raceRow, bool customTitle);

} // namespace game
