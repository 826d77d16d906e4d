#pragma once
// A track ring described piece by piece ("a 90 degree right bend over 6
// segments", "a climb of 4 degrees over 3 segments", "a ramp") and turned
// into a whole track model for the track writer: one side profile, one
// section, no objects, two trigger slots per segment left empty.
//
// Curvatures are whole degrees per segment, positive turning left; a bend
// whose degrees do not divide by its segments spreads the rest over its
// first segments. Slopes are whole degrees, -16..15, positive climbing.
#include "tools/datakit/TrackWriter.h"

#include <cstdint>
#include <vector>

namespace datakit {

// The surfaces the race gives a meaning to.
inline constexpr std::uint8_t kSurfaceRoad = 0;
inline constexpr std::uint8_t kSurfaceRough = 4;
inline constexpr std::uint8_t kSurfaceRamp = 5;
inline constexpr std::uint8_t kSurfaceGap = 6;

class TrackRing {
public:
    TrackRing& straight(int segments);
    TrackRing& left(int degrees, int segments);
    TrackRing& right(int degrees, int segments);
    // Straight segments climbing (positive) or falling by `degrees`.
    TrackRing& slope(int degrees, int segments);
    // Straight segments of `surface`.
    TrackRing& surface(std::uint8_t surface, int segments);
    // A ramp segment (surface 5) after a short climb, then a level landing.
    TrackRing& ramp();
    // Sets the edge flags of the last `segments` segments: bit 0 narrows the
    // left edge by a lane, bit 1 the right, bits 2 and 3 give the right and
    // left shoulders.
    TrackRing& edgeFlags(std::uint8_t flags, int segments);

    int segmentCount() const { return static_cast<int>(m_segments.size()); }
    const std::vector<TrackSegment>& segments() const { return m_segments; }
    // The whole track: road half-width, margin (the shoulder and verge
    // width) and lanes as given.
    TrackModel model(std::uint16_t halfWidth = 1000, std::uint16_t margin = 400,
                     std::uint8_t lanes = 2) const;

private:
    TrackRing& bend(int degrees, int segments);
    std::vector<TrackSegment> m_segments;
};

} // namespace datakit
