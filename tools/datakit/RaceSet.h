#pragma once
// A small race set for tests and fuzzing: the race data and the sprites of
// three races, small enough to load in a test and complete enough that
// every step of the race load finds what it reads.
//
// - Tracks 0, 3 and 5 (the tracks with a special case in the load: track 3
//   carries players under the car, track 5 a long gate). Track 0 is a
//   straight ring without curves; tracks 1, 2 and 4 have no track entry.
// - One event per track, in the game modes 0 (a race of 3 cars on track 0),
//   1 (a time race of 2 cars on track 3) and 6 (the guided race of 2 cars
//   on track 5).
// - Four racers in one record block, the first four car slots for their
//   sprite sets, each with the next racer's set as its second set.
// - Every sprite slot the race load touches, each with two palettes; the
//   cars with every frame and animation the race reads, the track effects'
//   sprite with an animation for every gate.
// - The second sprite table's pack with the slots that the tracks' object
//   records mark (`kRaceSetMarkedSlots`): by a kind-6 shape with the
//   animation flag, one without it, and a start post marked for plain
//   frames.
// - The race images: three lane objects, the road surface, the scenery
//   and the menus' badge (entry 5).
//
// Every call gives the same bytes.
#include "game/framework/SpriteSlots.h"
#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/PaintedSprite.h"
#include "tools/datakit/RacePictures.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/TrackWriter.h"
#include "tools/datakit/ZoneWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace datakit {

inline constexpr int kRaceSetTracks = 6;
inline constexpr int kRaceSetSpriteSlots = game::kSpriteCount;
inline constexpr int kRaceSetObjectSlots = 92;
inline constexpr std::array<int, 3> kRaceSetTrackNumbers = {0, 3, 5};
// Second-table slots marked by the tracks: an animation, stepped frames,
// plain frames.
inline constexpr std::array<int, 3> kRaceSetMarkedSlots = {3, 17, 40};
inline constexpr int kRaceSetFirstCar = game::kCarSprite0;
inline constexpr int kRaceSetRacers = 4;
// The sprite slot of every track's panorama, one of the free ones.
inline constexpr int kRaceSetBackdropSprite = 20;
static_assert(kRaceSetBackdropSprite >= game::kFirstFreeSprite &&
              kRaceSetBackdropSprite <= game::kLastFreeSprite);
// Entries of the race image pack.
inline constexpr std::uint8_t kRaceSetRoadImage = 3;
inline constexpr std::uint8_t kRaceSetSceneryImage = 4;
inline constexpr std::uint8_t kRaceSetBadgeImage = 5;

struct RaceSet {
    // One entry per track number; a track without a model has an empty entry.
    std::vector<std::optional<TrackModel>> tracks;
    std::vector<EventEntry> events;
    std::vector<std::vector<TrackZone>> zones;
    std::vector<RacerDefinition> racers;
    GameTables tables;
    // By slot of the sprite table and of the second sprite table.
    std::vector<std::optional<PaintedSprite>> sprites;
    std::vector<std::optional<PaintedSprite>> objectSprites;
    // The race image pack's entries.
    std::vector<Picture> images;
    // Per track number: sky and ground colour (0xRRGGBB), for probes.
    std::array<std::uint32_t, kRaceSetTracks> sky{};
    std::array<std::uint32_t, kRaceSetTracks> road{};
};

RaceSet makeRaceSet();

// A track's backdrop: a panorama above the horizon, frame 0 a band of hills
// 96 px wide in `colour` (0xRRGGBB), frames 1 and 2 a cloud each.
PaintedSprite racePanorama(std::uint32_t colour);

// A pack of the set: the constant string that names it and its entries'
// payloads (each goes behind a header byte of 0, `packEntry`, except the
// sprite packs', which are whole entries already).
struct RaceSetPack {
    int constantString = 0;
    std::vector<Bytes> entries;
    bool wholeEntries = false;
};

// The packs of the set: tracks (158), events (159), zones (161), racers
// (153), game tables (157), race images (154), the second sprite table
// (155), and the sprite table's race slots (145: empty where the set has no
// sprite, to be merged over a front end's sprites).
std::vector<RaceSetPack> raceSetPacks(const RaceSet& set);

} // namespace datakit
