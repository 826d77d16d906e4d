#include "tools/datakit/EventPackWriter.h"

#include "game/race/EventEntryLayout.h"

namespace datakit {

namespace {

using game::EventFieldEncoding;
using game::EventVariantSection;

// One record: `values[f]` in the encoding of `fields[f]`.
template <std::size_t N>
void writeFields(ByteWriter& out, const std::array<EventFieldEncoding, N>& fields,
                 const std::array<std::int32_t, N>& values) {
    for (std::size_t f = 0; f < N; ++f) {
        switch (fields[f]) {
        case EventFieldEncoding::U8:
        case EventFieldEncoding::S8:
            out.u8(static_cast<std::uint8_t>(values[f]));
            break;
        case EventFieldEncoding::U16:
        case EventFieldEncoding::S16:
            out.u16(kLE, static_cast<std::uint16_t>(values[f]));
            break;
        case EventFieldEncoding::U31:
            out.i32(kLE, values[f] & 0x7FFFFFFF);
            break;
        case EventFieldEncoding::S32:
            out.i32(kLE, values[f]);
            break;
        }
    }
}

void writeSection(ByteWriter& out, const EventVariant& v, EventVariantSection section) {
    switch (section) {
    case EventVariantSection::Row:
        return writeFields(out, game::kEventRowFields, v.row);
    case EventVariantSection::List:
        out.u8(static_cast<std::uint8_t>(v.list.size()));
        for (const EventListItem& item : v.list)
            writeFields(out, game::kEventListItemFields, {item.a, item.b, item.c});
        return;
    case EventVariantSection::Objects:
        out.u8(static_cast<std::uint8_t>(v.objects.size()));
        for (const EventObject& o : v.objects)
            writeFields(out, game::kEventObjectFields, {o.a, o.b, o.c, o.d, o.e});
        return;
    case EventVariantSection::SkippedItems:
        out.u8(static_cast<std::uint8_t>(v.skipped.size()));
        for (const auto& item : v.skipped)
            out.bytes(item);
        return;
    case EventVariantSection::DynamicTriggers:
        out.u8(static_cast<std::uint8_t>(v.triggers.size()));
        for (std::int32_t trigger : v.triggers)
            out.i32(kLE, trigger);
        return;
    case EventVariantSection::Shorts:
        out.i16(kLE, static_cast<std::int16_t>(v.shorts.size()));
        for (std::int16_t value : v.shorts)
            out.i16(kLE, value);
        return;
    }
}

} // namespace

Bytes writeEventEntry(const EventEntry& entry) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(entry.path.size()));
    for (const PathPoint& p : entry.path)
        writeFields(out, game::kPathPointFields, {p.a, p.b, p.c, p.d, p.e, p.f, p.g, p.h, p.i, p.j});
    out.u8(static_cast<std::uint8_t>(entry.variants.size()));
    for (const EventVariant& v : entry.variants)
        for (EventVariantSection section : game::kEventVariantSections)
            writeSection(out, v, section);
    return std::move(out).take();
}

} // namespace datakit
