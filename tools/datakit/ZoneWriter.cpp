#include "tools/datakit/ZoneWriter.h"

namespace datakit {

Bytes writeZones(const std::vector<TrackZone>& zones) {
    ByteWriter out;
    out.i16(ByteOrder::Big, static_cast<std::int16_t>(zones.size()));
    for (const TrackZone& zone : zones) {
        out.u16(ByteOrder::Big, zone.segment);
        out.i8(zone.a);
        out.i8(zone.b);
    }
    return std::move(out).take();
}

} // namespace datakit
