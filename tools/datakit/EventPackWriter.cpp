#include "tools/datakit/EventPackWriter.h"

#include "game/race/EventRowLayout.h"

namespace datakit {

namespace {
constexpr ByteOrder kLE = ByteOrder::Little;
}

Bytes writeEventEntry(const EventEntry& entry) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(entry.path.size()));
    for (const PathPoint& p : entry.path) {
        out.u16(kLE, p.a);
        out.u16(kLE, p.b);
        out.u16(kLE, p.c);
        out.u8(p.d);
        out.i32(kLE, p.e);
        out.i8(p.f);
        out.i8(p.g);
        out.u8(p.h);
        out.u8(p.i);
        out.u8(p.j);
    }
    out.u8(static_cast<std::uint8_t>(entry.variants.size()));
    for (const EventVariant& v : entry.variants) {
        for (std::size_t f = 0; f < game::kEventRowFields.size(); ++f) {
            std::int32_t value = v.row[f];
            switch (game::kEventRowFields[f]) {
            case game::EventFieldEncoding::U8:
            case game::EventFieldEncoding::S8:
                out.u8(static_cast<std::uint8_t>(value));
                break;
            case game::EventFieldEncoding::U16:
            case game::EventFieldEncoding::S16:
                out.u16(kLE, static_cast<std::uint16_t>(value));
                break;
            case game::EventFieldEncoding::U31:
                out.i32(kLE, value & 0x7FFFFFFF);
                break;
            }
        }
        out.u8(static_cast<std::uint8_t>(v.list.size()));
        for (const EventListItem& item : v.list) {
            out.u16(kLE, item.a);
            out.u8(item.b);
            out.u16(kLE, item.c);
        }
        out.u8(static_cast<std::uint8_t>(v.objects.size()));
        for (const EventObject& o : v.objects) {
            out.u8(o.a);
            out.i16(kLE, o.b);
            out.u8(o.c);
            out.i16(kLE, o.d);
            out.i16(kLE, o.e);
        }
        out.u8(static_cast<std::uint8_t>(v.skipped.size()));
        for (const auto& item : v.skipped)
            out.bytes(item);
        out.u8(static_cast<std::uint8_t>(v.triggers.size()));
        for (std::int32_t trigger : v.triggers)
            out.i32(kLE, trigger);
        out.i16(kLE, static_cast<std::int16_t>(v.shorts.size()));
        for (std::int16_t value : v.shorts)
            out.i16(kLE, value);
    }
    return std::move(out).take();
}

} // namespace datakit
