#pragma once
// The loaded track: the statics the race and its painters read, filled from
// one entry of the track pack (constant string 158), one entry per track.
// The entry's layout, section by section, is TrackEntryLayout.h, which
// `tools/datakit/TrackWriter.h` writes from too.
//
// Each count is checked against the bytes left in the entry before anything
// is made for it: a count that does not fit stops the load with one line
// naming the pack and the field, and so does an entry that ends inside a
// fixed field. A track stopped so is marked not loaded (`s_trackLoaded` 0)
// and no race may be set up on it. Values stored before the fault stay.
//
// Game thread only.
#include "game/race/TrackEntryLayout.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kTrackCount = 6;
inline constexpr std::int32_t kSideProfileInts = 13;
// Fixed point 1.0 of the track scale.
inline constexpr std::int32_t kTrackOne = 4096;

// The weather of a race (`s_trackAmbience`), drawn when its track loads:
// none, the layered sprite strip over a scrolling backdrop, particles over a
// tinted background, or a fourth kind that no painter draws.
inline constexpr std::int32_t kClearWeather = 0;
inline constexpr std::int32_t kStripWeather = 1;
inline constexpr std::int32_t kParticleWeather = 2;
inline constexpr std::int32_t kUnpaintedWeather = 3;

struct TrackStatics {
    // 1 once `loadTrack` read a whole entry.
    std::int8_t s_trackLoaded = 0;
    std::int32_t s_trackScale = 0;
    rt::IntArray* s_roadsideLanes = nullptr;
    // int[kTrackStyleSlots], indexed by `TrackStyleSlot`.
    rt::IntArray* s_trackStyle = nullptr;
    std::int32_t s_trackColourA = 0;
    std::int32_t s_trackColourB = 0;
    std::int32_t s_trackColourC = 0;
    std::int32_t s_trackHeaderValue = 0;
    rt::ShortArray* s_trackImageIds = nullptr;
    std::int32_t s_roadHalfWidth = 0;
    std::int32_t s_roadMargin = 0;
    std::int32_t s_laneCount = 0;
    std::int32_t s_laneWidth = 0;
    std::int32_t s_firstLaneX = 0;
    std::int32_t s_trackExtraCount = 0;
    std::int32_t s_ambienceChanceA = 0;
    std::int32_t s_ambienceThreshold = 0;
    std::int32_t s_ambienceChanceB = 0;
    std::int32_t s_ambienceRangeLow = 0;
    std::int32_t s_ambienceRangeHigh = 0;
    std::int32_t s_ambienceValue = 0;
    std::int32_t s_ambienceCounter = 0;
    // The race's weather, one of the k...Weather values.
    std::int32_t s_trackAmbience = 0;
    std::int32_t s_trackAmbienceLevel = 0;
    // Object records: per object its shape count, its shapes (short[] each,
    // element 0 the type) and its point pairs (short[2n], null for none).
    std::int32_t s_objectCount = 0;
    rt::IntArray* s_objectShapeCounts = nullptr;
    rt::ObjectArray* s_objectShapes = nullptr;
    rt::ObjectArray* s_objectPoints = nullptr;
    // Sections: each starts at the segment its u16 value names.
    std::int32_t s_sectionCount = 0;
    rt::IntArray* s_sectionValues = nullptr;
    rt::ByteArray* s_sectionBytes = nullptr;
    // int[s][2].
    rt::ObjectArray* s_sectionColours = nullptr;
    std::int32_t s_laneProfileCount = 0;
    // 13 ints per profile; [3] and [4] stay 0.
    rt::IntArray* s_sideProfiles = nullptr;
    std::int32_t s_spotCount = 0;
    rt::ByteArray* s_spotBytes = nullptr;
    rt::ShortArray* s_spotValues = nullptr;
    // The segment ring.
    std::int32_t s_segmentCount = 0;
    std::int32_t s_triggersPerSegment = 0;
    std::int32_t s_backdropOffset = 0;
    std::int32_t s_trackModeValue = 0;
    // Three target times in seconds x 4096.
    rt::IntArray* s_targetTimes = nullptr;
    // Curve and slope in angle units (2048 to the circle).
    rt::IntArray* s_segmentCurve = nullptr;
    rt::IntArray* s_segmentHeight = nullptr;
    rt::ByteArray* s_segmentEdgeFlags = nullptr;
    std::int32_t s_trackOption = 0;
    rt::ShortArray* s_trackShorts = nullptr;
    rt::IntArray* s_trackInts = nullptr;
    rt::IntArray* s_trackIntPairs = nullptr;
    rt::IntArray* s_segmentLaneProfileA = nullptr;
    rt::IntArray* s_segmentLaneProfileB = nullptr;
    std::int32_t s_shadeValue = 0;
    rt::ByteArray* s_segmentShade = nullptr;
    rt::ByteArray* s_segmentDecor = nullptr;
    // Two bytes per segment; 2i + 1 the surface.
    rt::ByteArray* s_segmentAttributes = nullptr;
    // K codes per segment, segment by segment.
    rt::ShortArray* s_triggerCodes = nullptr;
    rt::ByteArray* s_segmentBytesA = nullptr;
    rt::ByteArray* s_segmentBytesB = nullptr;
    // short[4k] per path: four values per point.
    rt::ObjectArray* s_cameraPaths = nullptr;
    // Whether option triples are kept; cleared by a track without triples.
    std::int8_t s_raceOptionFlag = 0;
    rt::ShortArray* s_optionTriples = nullptr;
    std::int32_t s_backdropSprite = 0;
    std::int32_t s_backdropMode = 0;
    std::int32_t s_backdropBase = 0;
    std::int32_t s_backdropBase2 = 0;
    rt::IntArray* s_startRanges = nullptr;
    rt::IntArray* s_endRanges = nullptr;
    std::int32_t s_backdropSprite2 = 0;
    std::int32_t s_raceWordA = 0;
    std::int32_t s_raceWordB = 0;
    // Per-segment run-time state, zero after a load. In `s_segmentFlagsB`
    // bit L set hides the pickup of lane L on the segment; nothing reads
    // `s_segmentFlagsA`.
    rt::ByteArray* s_segmentFlagsA = nullptr;
    rt::ByteArray* s_segmentFlagsB = nullptr;
    rt::IntArray* s_segmentState = nullptr;
    // int[6][3][36] made on first use: angle, radius x S, height x S per
    // track, S the ratio size / unit in 4096 fixed point. Kept for the run.
    rt::ObjectArray* s_wireModels = nullptr;
    std::int32_t s_wireModelSize = 1;
    std::int32_t s_wireModelUnit = 1;

    RT_REFERENCE_FIELDS(TrackStatics, rt::NoReferenceBase, s_roadsideLanes, s_trackStyle, s_trackImageIds,
                        s_objectShapeCounts, s_objectShapes, s_objectPoints, s_sectionValues, s_sectionBytes,
                        s_sectionColours, s_sideProfiles, s_spotBytes, s_spotValues, s_targetTimes,
                        s_segmentCurve, s_segmentHeight, s_segmentEdgeFlags, s_trackShorts, s_trackInts,
                        s_trackIntPairs, s_segmentLaneProfileA, s_segmentLaneProfileB, s_segmentShade,
                        s_segmentDecor, s_segmentAttributes, s_triggerCodes, s_segmentBytesA, s_segmentBytesB,
                        s_cameraPaths, s_optionTriples, s_startRanges, s_endRanges, s_segmentFlagsA,
                        s_segmentFlagsB, s_segmentState, s_wireModels)
};

TrackStatics& trackStatics();
// Slot `slot` of the loaded track's style table; 0 while there is none.
std::int32_t trackStyle(TrackStyleSlot slot);

class EntryReader;

// Reads entry `track` of the track pack (all but the wire model).
void loadTrack(std::int32_t track);
// The same over a reader standing at the end of the wire model; `track`
// decides the mode value, and the weather of the tracks that have theirs
// fixed. Answers whether it all loaded.
bool loadTrackEntry(EntryReader& reader, std::int32_t track);
// Reads the object record table at the reader's position; false on a fault.
bool loadRecordTable(EntryReader& reader);
// Reads the wire model of entry `track` into its slot; a track outside 0..5
// is logged and skipped.
void loadTrackArrays(std::int32_t track);

} // namespace game
