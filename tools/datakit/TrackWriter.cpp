#include "tools/datakit/TrackWriter.h"

namespace datakit {

namespace {

using Section = game::TrackSection;
using game::TrackStyleSlot;

void colour(ByteWriter& out, std::uint32_t rgb) {
    out.u8(static_cast<std::uint8_t>(rgb >> 16));
    out.u8(static_cast<std::uint8_t>(rgb >> 8));
    out.u8(static_cast<std::uint8_t>(rgb));
}

// Values in whole sets of `setSize`, zeros after the last value.
void shortSets(ByteWriter& out, const std::vector<std::int16_t>& values, std::int32_t setSize) {
    const auto set = static_cast<std::size_t>(setSize);
    out.i16(kLE, static_cast<std::int16_t>(values.size()));
    std::size_t padded = (values.size() + set - 1) / set * set;
    for (std::size_t i = 0; i < padded; ++i)
        out.i16(kLE, i < values.size() ? values[i] : 0);
}

void palette(ByteWriter& out, const TrackModel& t, std::span<const game::PaletteColour> colours) {
    for (const game::PaletteColour& entry : colours) {
        switch (entry.colour) {
        case game::TrackColour::Style:
            colour(out, t.styleColours[static_cast<std::size_t>(
                            game::styleIndex(entry.slot) - game::styleIndex(TrackStyleSlot::SkyColour))]);
            break;
        case game::TrackColour::A:
            colour(out, t.colourA);
            break;
        case game::TrackColour::B:
            colour(out, t.colourB);
            break;
        case game::TrackColour::C:
            colour(out, t.colourC);
            break;
        }
    }
}

void objects(ByteWriter& out, const std::vector<TrackObject>& objects) {
    out.u16(kLE, static_cast<std::uint16_t>(objects.size()));
    for (const TrackObject& object : objects) {
        out.u8(static_cast<std::uint8_t>(object.points.size() / 2));
        for (std::size_t i = 0; i < object.points.size() / 2 * 2; ++i)
            out.u16(kLE, object.points[i]);
        out.u8(static_cast<std::uint8_t>(object.shapes.size()));
        for (const TrackShape& shape : object.shapes) {
            out.i8(shape.type);
            const game::ShapeLayout* layout = game::shapeLayout(shape.type);
            for (std::uint16_t value : shape.values) {
                if (layout && layout->valueBytes == 1)
                    out.u8(static_cast<std::uint8_t>(value));
                else
                    out.u16(kLE, value);
            }
        }
    }
}

void ringHeader(ByteWriter& out, const TrackModel& t) {
    out.u16(kLE, static_cast<std::uint16_t>(t.segments.size()));
    out.u8(t.triggersPerSegment);
    out.i8(t.style0);
    out.i16(kLE, t.backdropOffset);
    out.bytes(t.targetSeconds);
}

void segments(ByteWriter& out, const TrackModel& t) {
    for (const TrackSegment& s : t.segments) {
        out.i8(s.curve);
        out.u16(kLE, static_cast<std::uint16_t>((s.edgeFlags & 0x7F) | ((s.slope & 31) << 7) |
                                                ((s.spareBits & 15) << 12)));
    }
}

void decor(ByteWriter& out, const TrackModel& t) {
    const std::size_t n = t.segments.size();
    std::uint16_t count = t.decorCount.value_or(t.hasDecor ? static_cast<std::uint16_t>(n) : 0);
    out.u16(kLE, count);
    if (count == n && n > 0)
        for (const TrackSegment& s : t.segments)
            out.i8(s.decor);
}

void attributesAndTriggerCodes(ByteWriter& out, const TrackModel& t) {
    for (const TrackSegment& s : t.segments) {
        out.u8(s.attribute);
        out.u8(s.surface);
    }
    for (const TrackSegment& s : t.segments)
        for (std::size_t k = 0; k < t.triggersPerSegment; ++k)
            out.i16(kLE, k < s.triggers.size() ? s.triggers[k] : 0);
}

void cameraPaths(ByteWriter& out, const TrackModel& t) {
    const auto values = static_cast<std::size_t>(game::kCameraPointValues);
    out.u8(static_cast<std::uint8_t>(t.cameraPaths.size()));
    for (const auto& path : t.cameraPaths) {
        out.u8(static_cast<std::uint8_t>(path.size() / values));
        for (std::size_t i = 0; i < path.size() / values * values; ++i)
            out.i16(kLE, path[i]);
    }
}

void section(ByteWriter& out, const TrackModel& t, Section section) {
    switch (section) {
    case Section::FirstPalette:
        return palette(out, t, game::kFirstPalette);
    case Section::FogStart:
        return out.u16(kLE, t.headerValue);
    case Section::ImageIds:
        out.u8(static_cast<std::uint8_t>(t.imageIds.size()));
        return out.bytes(t.imageIds);
    case Section::Shading:
        for (std::uint16_t value : t.styleValues)
            out.u16(kLE, value);
        return;
    case Section::Road:
        out.u16(kLE, t.roadHalfWidth);
        out.u16(kLE, t.roadMargin);
        return out.u8(t.laneByte);
    case Section::SecondPalette:
        return palette(out, t, game::kSecondPalette);
    case Section::ExtraItems:
        out.u8(static_cast<std::uint8_t>(t.extraItems.size()));
        for (const auto& item : t.extraItems)
            out.bytes(item);
        return;
    case Section::Ambience:
        return out.bytes(t.ambience);
    case Section::SceneryImage:
        return out.u8(t.sceneryImage);
    case Section::Objects:
        return objects(out, t.objects);
    case Section::Sections:
        out.u16(kLE, static_cast<std::uint16_t>(t.sections.size()));
        for (const TrackSection& s : t.sections) {
            out.u16(kLE, s.start);
            out.i8(s.value);
            colour(out, s.colourA);
            colour(out, s.colourB);
        }
        return;
    case Section::SideProfiles:
        out.u8(static_cast<std::uint8_t>(t.sideProfiles.size()));
        for (const SideProfile& profile : t.sideProfiles) {
            for (std::uint32_t c : profile.colours)
                colour(out, c);
            out.u8(profile.valueA);
            out.u8(profile.valueB);
            out.u16(kLE, profile.width);
            out.bytes(profile.bytes);
        }
        return;
    case Section::Spots:
        out.u16(kLE, static_cast<std::uint16_t>(t.spots.size()));
        for (const TrackSpot& spot : t.spots) {
            out.i8(spot.value);
            out.i16(kLE, spot.position);
        }
        return;
    case Section::RingHeader:
        return ringHeader(out, t);
    case Section::Segments:
        return segments(out, t);
    case Section::RingSpare:
        return out.bytes(t.spare);
    case Section::Option:
        return out.u8(t.option);
    case Section::TrackShorts:
        return shortSets(out, t.trackShorts, game::kTrackShortSet);
    case Section::TrackInts:
        out.u16(kLE, static_cast<std::uint16_t>(t.trackInts.size()));
        for (std::int32_t value : t.trackInts)
            out.i32(kLE, value);
        return;
    case Section::TrackIntPairs:
        out.u16(kLE, static_cast<std::uint16_t>(t.trackIntPairs.size() / 2));
        for (std::size_t i = 0; i < t.trackIntPairs.size() / 2 * 2; ++i)
            out.i32(kLE, t.trackIntPairs[i]);
        return;
    case Section::LaneProfiles:
        for (const TrackSegment& s : t.segments) {
            out.u8(s.laneProfileA);
            out.u8(s.laneProfileB);
        }
        return;
    case Section::Shades:
        out.u16(kLE, t.shadeValue);
        for (const TrackSegment& s : t.segments)
            out.i8(s.shade);
        return;
    case Section::Decor:
        return decor(out, t);
    case Section::SkippedBytes:
        out.u16(kLE, static_cast<std::uint16_t>(t.skipped.size()));
        return out.bytes(t.skipped);
    case Section::AttributesAndTriggerCodes:
        return attributesAndTriggerCodes(out, t);
    case Section::SegmentBytes:
        for (const TrackSegment& s : t.segments)
            out.i8(s.byteA);
        for (const TrackSegment& s : t.segments)
            out.i8(s.byteB);
        return;
    case Section::CameraPaths:
        return cameraPaths(out, t);
    case Section::OptionTriples:
        out.u16(kLE, static_cast<std::uint16_t>(t.optionTriples.size()));
        for (const OptionTriple& triple : t.optionTriples) {
            out.u16(kLE, triple.value);
            out.u8(triple.a);
            out.u8(triple.b);
        }
        return;
    case Section::Backdrop:
        out.i8(t.backdropSprite);
        out.u8(t.backdropMode);
        return out.i16(kLE, t.backdropBase);
    case Section::StartRanges:
        return shortSets(out, t.startRanges, game::kRangeSet);
    case Section::EndRanges:
        return shortSets(out, t.endRanges, game::kRangeSet);
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
    for (Section s : game::kTrackSections)
        section(out, t, s);
    return std::move(out).take();
}

} // namespace datakit
