#pragma once

// The track data the roadside painters read, named for what it means to
// them. The loader keeps these values under their file names; at race
// set-up `setupRoadside` points the names below at them:
// - `s_segmentWalls` is byte A of each segment and `s_segmentBanks` its
//   decor byte (null when the track has none);
// - wall kind k is spot k (its byte the sides, its value the height),
//   coloured by int pair k (even segments, odd segments);
// - section model i is object i's shapes;
// - the fog starts at the track's header value.
//
// Data the painters cannot trust is cut here, once: a wall or bank array
// shorter than the ring is dropped (no walls, flat ground), the kind count
// is what the spots, their values and the colour pairs all cover, and a
// wall naming a kind past it is no wall. Each race logs what it cut in one
// line.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

namespace wall_bits {
inline constexpr std::int32_t kWallMask = 0xC0;
inline constexpr std::int32_t kWall = 0x40;
inline constexpr std::int32_t kEndsRun = 0x20;
inline constexpr std::int32_t kKindMask = 0x0F;
inline constexpr std::int32_t kLeft = 1;
inline constexpr std::int32_t kRight = 2;
} // namespace wall_bits

struct RoadsideTrackStatics {
    rt::ByteArray* s_segmentWalls = nullptr;
    rt::ByteArray* s_segmentBanks = nullptr;
    std::int32_t s_wallKindCount = 0;
    rt::ShortArray* s_wallHeight = nullptr;
    rt::ByteArray* s_wallSides = nullptr;
    // Two per kind: even, odd.
    rt::IntArray* s_wallColours = nullptr;
    std::int32_t s_sectionModelCount = 0;
    rt::IntArray* s_sectionModelSizes = nullptr;
    rt::ObjectArray* s_sectionModels = nullptr;

    RT_REFERENCE_FIELDS(RoadsideTrackStatics, rt::NoReferenceBase, s_segmentWalls, s_segmentBanks,
                        s_wallHeight, s_wallSides, s_wallColours, s_sectionModelSizes, s_sectionModels)
};

RoadsideTrackStatics& roadsideTrack();

// Race set-up, after the track is loaded: the names above and the fog start.
void setupRoadside();

// The wall byte of `segment` (any int, wrapped onto the ring); 0 when the
// track has no walls or the byte names a kind the track does not have.
std::int32_t segmentWall(std::int32_t segment);
// The bank byte of `segment`; 0 without banks.
std::int32_t segmentBank(std::int32_t segment);
bool hasBanks();

struct WallKind {
    std::int32_t sides = 0;
    std::int32_t height = 0;
    std::int32_t colours[2] = {};
};
// Kind `kind` of 0..`s_wallKindCount` - 1; no sides outside.
WallKind wallKind(std::int32_t kind);

// The primitives of section model `model`, short[] each with element 0 the
// type; null when the track has no such model.
rt::ObjectArray* sectionModel(std::int32_t model);

} // namespace game
