#include "platform/shell/screenText.h"

#include "host/Text.h"
#include "platform/lcdui/pixels.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace platform {

void drawTextOver(host::Text& fonts, std::u16string_view text, std::uint32_t colour,
                  std::span<std::uint16_t> screen, host::ScreenSize size, int left, int top) {
    std::optional<host::FontMetrics> metrics = fonts.metrics();
    int width = fonts.measure(text);
    if (!metrics || width <= 0 || metrics->height <= 0)
        return;
    int height = metrics->height;
    if (screen.size() < static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height))
        return;
    // White on black gives each pixel's coverage in every channel.
    std::vector<std::uint32_t> coverage(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (!fonts.render(text, 0xFFFFFF, 0x000000, coverage, width, height))
        return;
    const std::uint16_t ink = pixels::rgb888To565(colour);
    for (int y = std::max(0, -top); y < height && top + y < size.height; ++y) {
        const std::uint32_t* source = coverage.data() + static_cast<std::size_t>(y) * width;
        std::uint16_t* row = screen.data() + static_cast<std::size_t>(top + y) * size.width;
        for (int x = std::max(0, -left); x < width && left + x < size.width; ++x) {
            std::uint32_t level = (source[x] >> 8) & 0xFF;
            if (level != 0)
                row[left + x] = pixels::blend565(row[left + x], ink, level + (level >> 7));
        }
    }
}

} // namespace platform
