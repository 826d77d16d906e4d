// Recolours a palette entry of any bytes as the promotion font's sheet is
// recoloured. The first byte picks the palette index, the second and third
// the range's offset and how much shorter than the rest it is; the rest is
// the "PNG". Checked: a refused rewrite changes nothing; an accepted one
// changes at most the entry's three bytes and the four CRC bytes, all inside
// the range, and the CRC it wrote is the chunk's.

#include "fuzz/Harness.h"
#include "game/promo/PromoLoading.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr char kPlte[] = "PLTE";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > (1u << 16))
        return 0;
    std::int32_t index = data[0] % 8;
    std::vector<std::uint8_t> png(data + 3, data + size);
    std::int32_t offset = std::min<std::int32_t>(data[1] % 16, static_cast<std::int32_t>(png.size()));
    std::int32_t length = std::max(static_cast<std::int32_t>(png.size()) - offset - data[2] % 4, 0);
    std::vector<std::uint8_t> before = png;
    bool rewritten = game::promo::rewritePaletteBytes(png, offset, length, index, 0x00B4EF);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < png.size(); ++i) {
        if (png[i] == before[i])
            continue;
        ++changed;
        fuzzing::check(static_cast<std::int32_t>(i) >= offset &&
                       static_cast<std::int32_t>(i) < offset + length);
    }
    fuzzing::check(rewritten ? changed <= 7 : changed == 0);
    if (rewritten) {
        auto at =
            std::search(png.begin() + offset, png.begin() + offset + length, kPlte, kPlte + 4) - png.begin();
        std::uint32_t dataLength = (std::uint32_t{png[at - 4]} << 24) | (std::uint32_t{png[at - 3]} << 16) |
                                   (std::uint32_t{png[at - 2]} << 8) | png[at - 1];
        std::size_t crcAt = static_cast<std::size_t>(at) + 4 + dataLength;
        std::uint32_t stored = (std::uint32_t{png[crcAt]} << 24) | (std::uint32_t{png[crcAt + 1]} << 16) |
                               (std::uint32_t{png[crcAt + 2]} << 8) | png[crcAt + 3];
        fuzzing::check(stored == game::promo::crc32(
                                     std::span(png).subspan(static_cast<std::size_t>(at), dataLength + 4)));
    }
    return 0;
}
