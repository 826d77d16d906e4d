#include "tools/datakit/TrackRing.h"

namespace datakit {

namespace {
TrackSegment plainSegment() {
    TrackSegment s;
    s.triggers = {0, 0};
    return s;
}
} // namespace

TrackRing& TrackRing::straight(int segments) {
    for (int i = 0; i < segments; ++i)
        m_segments.push_back(plainSegment());
    return *this;
}

TrackRing& TrackRing::bend(int degrees, int segments) {
    if (segments < 1)
        return *this;
    int each = degrees / segments;
    int rest = degrees - each * segments;
    for (int i = 0; i < segments; ++i) {
        TrackSegment s = plainSegment();
        int extra = rest > 0 ? (i < rest ? 1 : 0) : (i < -rest ? -1 : 0);
        s.curve = static_cast<std::int8_t>(each + extra);
        m_segments.push_back(s);
    }
    return *this;
}

TrackRing& TrackRing::left(int degrees, int segments) {
    return bend(degrees, segments);
}

TrackRing& TrackRing::right(int degrees, int segments) {
    return bend(-degrees, segments);
}

TrackRing& TrackRing::slope(int degrees, int segments) {
    for (int i = 0; i < segments; ++i) {
        TrackSegment s = plainSegment();
        s.slope = static_cast<std::int8_t>(degrees);
        m_segments.push_back(s);
    }
    return *this;
}

TrackRing& TrackRing::surface(std::uint8_t surface, int segments) {
    for (int i = 0; i < segments; ++i) {
        TrackSegment s = plainSegment();
        s.surface = surface;
        m_segments.push_back(s);
    }
    return *this;
}

TrackRing& TrackRing::ramp() {
    slope(6, 2);
    surface(kSurfaceRamp, 1);
    return straight(3);
}

TrackRing& TrackRing::edgeFlags(std::uint8_t flags, int segments) {
    for (int i = 0; i < segments && i < segmentCount(); ++i)
        m_segments[m_segments.size() - 1 - static_cast<std::size_t>(i)].edgeFlags = flags;
    return *this;
}

TrackModel TrackRing::model(std::uint16_t halfWidth, std::uint16_t margin, std::uint8_t lanes) const {
    TrackModel t;
    t.segments = m_segments;
    t.styleColours = {0x6090D0, 0x3A7A2A, 0x505050, 0x8A7A50, 0xFFFFFF, 0xCC2222, 0x505050, 0x8A7A50};
    t.roadHalfWidth = halfWidth;
    t.roadMargin = margin;
    t.laneByte = static_cast<std::uint8_t>(lanes << 4);
    t.sections = {{0, 0, 0x505050, 0x8A7A50}};
    // Side profile 0: grass, slowing a car off the road to 70 %.
    SideProfile grass;
    grass.colours = {0x3A7A2A, 0x2A5A1A, 0xFFFFFF};
    grass.width = margin;
    grass.bytes = {30, 60, 60, 0, 4};
    t.sideProfiles = {grass};
    t.triggersPerSegment = 2;
    t.targetSeconds = {60, 75, 90};
    return t;
}

} // namespace datakit
