#include "tools/datakit/TrackRoadside.h"

namespace datakit {

namespace {

SectionPrimitive upright(std::int16_t type, std::int16_t xA, std::int16_t tA, std::int16_t yA,
                         std::int16_t xB, std::int16_t tB, std::int16_t yB, std::int16_t detail) {
    return {{type, 0, xA, tA, yA, xB, tB, yB, detail, 0, 0, 0}};
}

} // namespace

SectionPrimitive colourPrimitive(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return {{0, red, green, blue, 0, 0, 0, 0, 0, 0, 0, 0}};
}

SectionPrimitive rectanglePrimitive(std::int16_t xA, std::int16_t tA, std::int16_t yA, std::int16_t xB,
                                    std::int16_t tB, std::int16_t yB, std::int16_t detail) {
    return upright(1, xA, tA, yA, xB, tB, yB, detail);
}

SectionPrimitive linePrimitive(std::int16_t xA, std::int16_t tA, std::int16_t yA, std::int16_t xB,
                               std::int16_t tB, std::int16_t yB, std::int16_t detail) {
    return upright(3, xA, tA, yA, xB, tB, yB, detail);
}

SectionPrimitive polygonPrimitive(std::uint16_t flags, PolygonCorner a, PolygonCorner b, PolygonCorner c,
                                  std::int16_t detail) {
    return {{2, static_cast<std::int16_t>(flags), a.x, a.t, a.y, b.x, b.t, b.y, c.x, c.t, c.y, detail}};
}

SectionPrimitive spritePrimitive(const SpritePrimitive& s) {
    return {{6, 0, s.xA, s.depthOffset, s.lift, s.xB, s.t, 0, s.sprite, s.detail, s.animationLength, s.mode}};
}

std::int16_t timeDigitMode(std::int32_t place, std::int32_t digit) {
    return static_cast<std::int16_t>(((place * 7 + digit + 1) << 4) | section_bits::kTimeDigit);
}

TrackShape sectionShape(const SectionPrimitive& primitive) {
    const std::int16_t type = primitive.fields[0];
    TrackShape shape{static_cast<std::int8_t>(type), {}};
    if (const game::ShapeLayout* layout = game::shapeLayout(type))
        for (std::int8_t field : layout->storedFields())
            shape.values.push_back(
                static_cast<std::uint16_t>(primitive.fields[static_cast<std::size_t>(field)]));
    return shape;
}

void putRoadside(TrackModel& track, const TrackRoadside& roadside) {
    track.headerValue = roadside.fogStart;
    track.spots.clear();
    track.trackIntPairs.clear();
    for (const WallKind& kind : roadside.wallKinds) {
        track.spots.push_back({static_cast<std::int8_t>(kind.sides), kind.height});
        track.trackIntPairs.push_back(static_cast<std::int32_t>(kind.evenColour));
        track.trackIntPairs.push_back(static_cast<std::int32_t>(kind.oddColour));
    }
    track.hasDecor = roadside.banks.has_value();
    for (std::size_t i = 0; i < track.segments.size(); ++i) {
        TrackSegment& segment = track.segments[i];
        segment.byteA = i < roadside.walls.size() ? roadside.walls[i] : 0;
        segment.decor = roadside.banks && i < roadside.banks->size() ? (*roadside.banks)[i] : 0;
    }
    track.objects.resize(roadside.sectionModels.size());
    for (std::size_t i = 0; i < roadside.sectionModels.size(); ++i) {
        track.objects[i].shapes.clear();
        for (const SectionPrimitive& primitive : roadside.sectionModels[i])
            track.objects[i].shapes.push_back(sectionShape(primitive));
    }
    track.trackShorts.clear();
    for (const SceneryStrip& s : roadside.strips)
        track.trackShorts.insert(track.trackShorts.end(),
                                 {s.segment, s.slot, s.lateral, s.position, s.link, s.spare});
}

} // namespace datakit
