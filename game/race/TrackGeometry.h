#pragma once
// The track plane: where a track position (segment, lateral, position in
// the segment) lies, where a move at an angle to the road ends, and how a
// point is carried back from one segment's frame to an earlier one's.
// docs/driving.md explains the model and its tolerance; in short:
//
// - Lateral positions grow to the right; headings are relative to the
//   segment's line (its end direction, the direction the road projection
//   draws the segment in) and grow clockwise, to the right.
// - A segment's centre line is an arc of 1024 units that turns by the
//   segment's curvature; a positive curvature turns the road left, so the
//   heading of a car holding its course grows by the curvature of each
//   segment it enters.
// - A segment's frame has its origin at the start of the centre line, z
//   along the segment's line and x to its right. The frame of segment k + 1
//   is that of segment k moved to k's end and turned left by the curvature
//   of k + 1.
//
// All arithmetic is integer (64 and 128 bits, trigonometry by CORDIC in
// Q30), so the answers are the same on every machine.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

struct TrackGeometryStatics {
    // The result of the last `traceTrackOffset`.
    std::int32_t s_traceX = 0;
    std::int32_t s_traceZ = 0;

    RT_NO_REFERENCE_FIELDS(TrackGeometryStatics, rt::NoReferenceBase)
};

TrackGeometryStatics& trackGeometryStatics();

struct TrackPoint {
    std::int32_t segment = 0;
    std::int32_t lateral = 0;
    std::int32_t position = 0;
    // The move was stopped at a wall; the lateral position is the wall's.
    bool wall = false;
};

// A point of a segment's frame, in track units with 16 fraction bits.
struct PlanePoint {
    std::int64_t x = 0;
    std::int64_t z = 0;
};

// The sine and cosine of `angle` units (2048 to the circle) in Q30.
void sinCosUnits(std::int32_t angle, std::int64_t& sine, std::int64_t& cosine);

// Where (lateral, position) of `segment` lies in that segment's frame.
PlanePoint trackToPlane(std::int32_t segment, std::int32_t lateral, std::int32_t position);
// The track position of `point`, given in the frame of `segment`: the walk
// goes forward or back through the ring (wrapping the segment number) until
// the position lies in 0..1023. No wall is applied.
TrackPoint planeToTrack(std::int32_t segment, PlanePoint point);

// The lateral position of the walls: the road half-width plus the margin.
std::int32_t wallOffset();
// The road edges of a segment: the half-width, narrowed by the lane width
// on the left when bit 0 of the segment's edge flags is set, on the right
// when bit 1 is.
std::int32_t leftRoadLimit(std::int32_t segment);
std::int32_t rightRoadLimit(std::int32_t segment);

// The point reached from (segment, lateral, position) by going `distance`
// in the direction `angle` (units, relative to the segment's line,
// clockwise): its segment, lateral position and position, and whether it
// met a wall (the lateral position is then held at the wall).
TrackPoint projectAndTestSegment(std::int32_t segment, std::int32_t lateral, std::int32_t position,
                                 std::int32_t distance, std::int32_t angle);
// The same move given as a step of `dx` to the right and `dz` along the
// segment's line.
TrackPoint moveInPlane(std::int32_t segment, std::int32_t lateral, std::int32_t position, std::int32_t dx,
                       std::int32_t dz);

// Carries the point (x, z) of `fromSeg`'s frame back, segment by segment,
// into the frame of `toSeg` (walking backwards round the ring), and leaves
// it in `s_traceX`, `s_traceZ`. Equal segments give the point itself.
void traceTrackOffset(std::int32_t x, std::int32_t z, std::int32_t fromSeg, std::int32_t toSeg);

// The length of `segment` at `lateral` for a centre line of 1024: 1024 on a
// straight segment, longer on the outside of a bend. Never below 1.
std::int32_t getCurveScale(std::int32_t segment, std::int32_t lateral);

// The lateral position a car drives along by itself after the finish: the
// segment's right road limit less twice the car's half-width (element 5 of
// its width profile), not below 0.
std::int32_t getRoadEdgeOffset(const cEntity* car);

} // namespace game
