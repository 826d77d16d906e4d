#include "tools/datakit/RacerWriter.h"

namespace datakit {

Bytes writeRacer(const RacerDefinition& r) {
    constexpr ByteOrder kLE = ByteOrder::Little;
    if (r.speed > kMaxRacerSpeed)
        return {};
    for (std::uint16_t step : r.speedSteps)
        if (step > kMaxRacerSpeed)
            return {};
    ByteWriter out;
    out.u8(r.spriteSet);
    for (std::uint8_t value : r.values)
        out.u8(value);
    out.u16(kLE, r.nameText);
    out.u16(kLE, r.value6);
    out.u16(kLE, r.speed);
    out.u8(static_cast<std::uint8_t>(r.speedSteps.size()));
    for (std::uint16_t step : r.speedSteps)
        out.u16(kLE, step);
    out.u8(static_cast<std::uint8_t>(r.timesMs.size()));
    for (std::uint16_t time : r.timesMs)
        out.u16(kLE, time);
    out.u16(kLE, r.braking);
    out.u16(kLE, r.grip88);
    out.u8(r.turnDegrees);
    out.u16(kLE, r.weight);
    out.u8(r.value11);
    for (std::uint8_t value : r.widthProfile)
        out.u8(value);
    out.u8(r.widthTail);
    return std::move(out).take();
}

} // namespace datakit
