#pragma once

// Scaled copies between RGB565 pixel rectangles, the work of the GDI and
// DirectDraw stand-ins' stretch blits.

#include <cstdint>

namespace host {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A view on RGB565 pixels; `pitch` counts pixels per row.
struct PixelView {
    std::uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

enum class StretchFilter : std::uint8_t {
    Nearest,  // destination pixel d takes source pixel floor(d * source / destination)
    Bilinear, // blends the four source pixels around the destination pixel's centre
};

// Copies `from` in `source` onto `to` in `destination`, scaled. Both
// rectangles must lie inside their views and be non-empty; an equal size is a
// plain copy with either filter. The views must not overlap.
void stretchBlit(const PixelView& source, const PixelRect& from, const PixelView& destination,
                 const PixelRect& to, StretchFilter filter);

// Whether `rect` is non-empty and lies inside `view`.
bool rectInside(const PixelView& view, const PixelRect& rect);

} // namespace host
