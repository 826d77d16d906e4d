#include "host/display/WindowView.h"

#include <algorithm>
#include <vector>

namespace host {

namespace {

// The turned screen's width and height.
ScreenSize pictureShape(const WindowView& view) {
    if (view.turn == WindowTurn::Turned)
        return {view.screen.height, view.screen.width};
    return view.screen;
}

// The screen pixel shown at picture pixel (px, py). Turned a quarter
// counter-clockwise: the picture's top row is the screen's right column.
void pictureToScreen(const WindowView& view, int px, int py, int& screenX, int& screenY) {
    if (view.turn == WindowTurn::Turned) {
        screenX = view.screen.width - 1 - py;
        screenY = px;
    } else {
        screenX = px;
        screenY = py;
    }
}

} // namespace

ScreenSize windowSizeFor(ScreenSize screen, WindowTurn turn, int scale) {
    WindowView view{screen, turn, 0, 0};
    ScreenSize shape = pictureShape(view);
    return {shape.width * scale, shape.height * scale};
}

PictureRect pictureRect(const WindowView& view) {
    ScreenSize shape = pictureShape(view);
    if (view.windowWidth <= 0 || view.windowHeight <= 0 || shape.width <= 0 || shape.height <= 0)
        return {};
    // Fit by the tighter axis: compare the aspect ratios without division.
    std::int64_t widthByHeight = static_cast<std::int64_t>(view.windowWidth) * shape.height;
    std::int64_t heightByWidth = static_cast<std::int64_t>(view.windowHeight) * shape.width;
    int width;
    int height;
    if (widthByHeight <= heightByWidth) {
        width = view.windowWidth;
        height = static_cast<int>(static_cast<std::int64_t>(view.windowWidth) * shape.height / shape.width);
    } else {
        height = view.windowHeight;
        width = static_cast<int>(static_cast<std::int64_t>(view.windowHeight) * shape.width / shape.height);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {(view.windowWidth - width) / 2, (view.windowHeight - height) / 2, width, height};
}

bool windowToScreen(const WindowView& view, int x, int y, int& screenX, int& screenY) {
    PictureRect picture = pictureRect(view);
    if (x < picture.x || y < picture.y || x >= picture.x + picture.width || y >= picture.y + picture.height)
        return false;
    ScreenSize shape = pictureShape(view);
    int px = static_cast<int>(static_cast<std::int64_t>(x - picture.x) * shape.width / picture.width);
    int py = static_cast<int>(static_cast<std::int64_t>(y - picture.y) * shape.height / picture.height);
    pictureToScreen(view, px, py, screenX, screenY);
    return true;
}

std::vector<std::uint16_t> turnedPicture(std::span<const std::uint16_t> screen, ScreenSize size,
                                         WindowTurn turn) {
    const WindowView view{size, turn, 0, 0};
    const ScreenSize shape = pictureShape(view);
    std::vector<std::uint16_t> picture(static_cast<std::size_t>(shape.width) *
                                       static_cast<std::size_t>(shape.height));
    if (screen.size() < picture.size())
        return picture;
    std::size_t at = 0;
    for (int py = 0; py < shape.height; ++py)
        for (int px = 0; px < shape.width; ++px) {
            int screenX;
            int screenY;
            pictureToScreen(view, px, py, screenX, screenY);
            picture[at++] = screen[static_cast<std::size_t>(screenY) * static_cast<std::size_t>(size.width) +
                                   static_cast<std::size_t>(screenX)];
        }
    return picture;
}

std::uint32_t rgb565ToRgb888(std::uint16_t pixel) {
    std::uint32_t red = pixel >> 11;
    std::uint32_t green = (pixel >> 5) & 0x3F;
    std::uint32_t blue = pixel & 0x1F;
    red = (red << 3) | (red >> 2);
    green = (green << 2) | (green >> 4);
    blue = (blue << 3) | (blue >> 2);
    return (red << 16) | (green << 8) | blue;
}

void renderWindow(const WindowView& view, const std::uint16_t* screen, std::uint32_t* window, int pitch) {
    // Every RGB565 value's wide colour, made once: a frame then costs one
    // table look-up per window pixel.
    static const std::vector<std::uint32_t> s_wide = [] {
        std::vector<std::uint32_t> table(65536);
        for (std::uint32_t pixel = 0; pixel < table.size(); ++pixel)
            table[pixel] = rgb565ToRgb888(static_cast<std::uint16_t>(pixel));
        return table;
    }();

    PictureRect picture = pictureRect(view);
    ScreenSize shape = pictureShape(view);
    auto offset = [&](int px, int py) {
        int screenX;
        int screenY;
        pictureToScreen(view, px, py, screenX, screenY);
        return static_cast<std::ptrdiff_t>(screenY) * view.screen.width + screenX;
    };
    // Each picture column's screen offset from the pixel of its row's column 0:
    // the turn is linear, so row and column parts add up.
    std::vector<std::ptrdiff_t> columns(static_cast<std::size_t>(std::max(picture.width, 0)));
    for (int i = 0; i < picture.width; ++i) {
        int px = static_cast<int>(static_cast<std::int64_t>(i) * shape.width / picture.width);
        columns[static_cast<std::size_t>(i)] = offset(px, 0) - offset(0, 0);
    }

    for (int y = 0; y < view.windowHeight; ++y) {
        std::uint32_t* row = window + static_cast<std::ptrdiff_t>(y) * pitch;
        if (y < picture.y || y >= picture.y + picture.height) {
            std::fill(row, row + view.windowWidth, 0u);
            continue;
        }
        std::fill(row, row + picture.x, 0u);
        std::fill(row + picture.x + picture.width, row + view.windowWidth, 0u);
        int py = static_cast<int>(static_cast<std::int64_t>(y - picture.y) * shape.height / picture.height);
        const std::uint16_t* base = screen + offset(0, py);
        std::uint32_t* out = row + picture.x;
        for (int i = 0; i < picture.width; ++i)
            out[i] = s_wide[base[columns[static_cast<std::size_t>(i)]]];
    }
}

} // namespace host
