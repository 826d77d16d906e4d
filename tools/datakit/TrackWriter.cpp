#include "tools/datakit/TrackWriter.h"

namespace datakit {

namespace {

constexpr ByteOrder kLE = ByteOrder::Little;

void colour(ByteWriter& out, std::uint32_t rgb) {
    out.u8(static_cast<std::uint8_t>(rgb >> 16));
    out.u8(static_cast<std::uint8_t>(rgb >> 8));
    out.u8(static_cast<std::uint8_t>(rgb));
}

// Values in whole sets of `setSize`, zeros after the last value.
void shortSets(ByteWriter& out, const std::vector<std::int16_t>& values, std::size_t setSize) {
    out.i16(kLE, static_cast<std::int16_t>(values.size()));
    std::size_t padded = (values.size() + setSize - 1) / setSize * setSize;
    for (std::size_t i = 0; i < padded; ++i)
        out.i16(kLE, i < values.size() ? values[i] : 0);
}

void object(ByteWriter& out, const TrackObject& object) {
    out.u8(static_cast<std::uint8_t>(object.points.size() / 2));
    for (std::size_t i = 0; i < object.points.size() / 2 * 2; ++i)
        out.u16(kLE, object.points[i]);
    out.u8(static_cast<std::uint8_t>(object.shapes.size()));
    for (const TrackShape& shape : object.shapes) {
        out.i8(shape.type);
        for (std::uint16_t value : shape.values) {
            if (shape.type == 0)
                out.u8(static_cast<std::uint8_t>(value));
            else
                out.u16(kLE, value);
        }
    }
}

} // namespace

Bytes writeTrack(const TrackModel& t) {
    ByteWriter out;
    for (const WirePoint& point : t.wireModel) {
        out.u16(kLE, point.angle);
        out.i8(point.radius);
        out.i8(point.height);
    }
    colour(out, t.styleColours[0]);
    colour(out, t.styleColours[1]);
    colour(out, t.colourA);
    for (std::size_t i = 2; i < 6; ++i)
        colour(out, t.styleColours[i]);
    out.u16(kLE, t.headerValue);
    out.u8(static_cast<std::uint8_t>(t.imageIds.size()));
    out.bytes(t.imageIds);
    for (std::uint16_t value : t.styleValues)
        out.u16(kLE, value);
    out.u16(kLE, t.roadHalfWidth);
    out.u16(kLE, t.roadMargin);
    out.u8(t.laneByte);
    colour(out, t.colourB);
    colour(out, t.colourC);
    colour(out, t.styleColours[6]);
    colour(out, t.styleColours[7]);
    out.u8(static_cast<std::uint8_t>(t.extraItems.size()));
    for (const auto& item : t.extraItems)
        out.bytes(item);
    out.bytes(t.ambience);
    out.u8(t.sceneryImage);

    out.u16(kLE, static_cast<std::uint16_t>(t.objects.size()));
    for (const TrackObject& o : t.objects)
        object(out, o);
    out.u16(kLE, static_cast<std::uint16_t>(t.sections.size()));
    for (const TrackSection& section : t.sections) {
        out.u16(kLE, section.start);
        out.i8(section.value);
        colour(out, section.colourA);
        colour(out, section.colourB);
    }
    out.u8(static_cast<std::uint8_t>(t.sideProfiles.size()));
    for (const SideProfile& profile : t.sideProfiles) {
        for (std::uint32_t c : profile.colours)
            colour(out, c);
        out.u8(profile.valueA);
        out.u8(profile.valueB);
        out.u16(kLE, profile.width);
        out.bytes(profile.bytes);
    }
    out.u16(kLE, static_cast<std::uint16_t>(t.spots.size()));
    for (const TrackSpot& spot : t.spots) {
        out.i8(spot.value);
        out.i16(kLE, spot.position);
    }

    const std::size_t n = t.segments.size();
    out.u16(kLE, static_cast<std::uint16_t>(n));
    out.u8(t.triggersPerSegment);
    out.i8(t.style0);
    out.i16(kLE, t.backdropOffset);
    out.bytes(t.targetSeconds);
    for (const TrackSegment& s : t.segments) {
        out.i8(s.curve);
        out.u16(kLE, static_cast<std::uint16_t>((s.edgeFlags & 0x7F) | ((s.slope & 31) << 7) |
                                                ((s.spareBits & 15) << 12)));
    }
    out.bytes(t.spare);
    out.u8(t.option);
    shortSets(out, t.trackShorts, 6);
    out.u16(kLE, static_cast<std::uint16_t>(t.trackInts.size()));
    for (std::int32_t value : t.trackInts)
        out.i32(kLE, value);
    out.u16(kLE, static_cast<std::uint16_t>(t.trackIntPairs.size() / 2));
    for (std::size_t i = 0; i < t.trackIntPairs.size() / 2 * 2; ++i)
        out.i32(kLE, t.trackIntPairs[i]);
    for (const TrackSegment& s : t.segments) {
        out.u8(s.laneProfileA);
        out.u8(s.laneProfileB);
    }
    out.u16(kLE, t.shadeValue);
    for (const TrackSegment& s : t.segments)
        out.i8(s.shade);
    std::uint16_t decor = t.decorCount.value_or(t.hasDecor ? static_cast<std::uint16_t>(n) : 0);
    out.u16(kLE, decor);
    if (decor == n && n > 0)
        for (const TrackSegment& s : t.segments)
            out.i8(s.decor);
    out.u16(kLE, static_cast<std::uint16_t>(t.skipped.size()));
    out.bytes(t.skipped);
    for (const TrackSegment& s : t.segments) {
        out.u8(s.attribute);
        out.u8(s.surface);
    }
    for (const TrackSegment& s : t.segments)
        for (std::size_t k = 0; k < t.triggersPerSegment; ++k)
            out.i16(kLE, k < s.triggers.size() ? s.triggers[k] : 0);
    for (const TrackSegment& s : t.segments)
        out.i8(s.byteA);
    for (const TrackSegment& s : t.segments)
        out.i8(s.byteB);
    out.u8(static_cast<std::uint8_t>(t.cameraPaths.size()));
    for (const auto& path : t.cameraPaths) {
        out.u8(static_cast<std::uint8_t>(path.size() / 4));
        for (std::size_t i = 0; i < path.size() / 4 * 4; ++i)
            out.i16(kLE, path[i]);
    }
    out.u16(kLE, static_cast<std::uint16_t>(t.optionTriples.size()));
    for (const OptionTriple& triple : t.optionTriples) {
        out.u16(kLE, triple.value);
        out.u8(triple.a);
        out.u8(triple.b);
    }
    out.i8(t.backdropSprite);
    out.u8(t.backdropMode);
    out.i16(kLE, t.backdropBase);
    shortSets(out, t.startRanges, 4);
    shortSets(out, t.endRanges, 4);
    return std::move(out).take();
}

} // namespace datakit
