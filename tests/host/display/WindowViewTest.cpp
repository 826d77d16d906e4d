#include "host/display/WindowView.h"

#include <gtest/gtest.h>

namespace {

using host::WindowTurn;
using host::WindowView;

TEST(WindowView, TurnedWindowsShowTheScreenLandscapeAndMapClicksBack) {
    WindowView view{{480, 640}, WindowTurn::Turned, 640, 480};
    EXPECT_EQ(host::windowSizeFor({480, 640}, WindowTurn::Turned, 2), (host::ScreenSize{1280, 960}));
    EXPECT_EQ(host::windowSizeFor({480, 640}, WindowTurn::AsDevice, 1), (host::ScreenSize{480, 640}));

    struct Case {
        WindowView view;
        int x, y;
        int screenX, screenY;
    };
    const Case cases[] = {
        // The window's top row is the screen's right column, read downwards.
        {view, 0, 0, 479, 0},
        {view, 639, 0, 479, 639},
        {view, 0, 479, 0, 0},
        {view, 100, 30, 449, 100},
        // Twice the size: two window pixels per screen pixel.
        {{{480, 640}, WindowTurn::Turned, 1280, 960}, 201, 61, 449, 100},
        // As the device: no turn.
        {{{480, 640}, WindowTurn::AsDevice, 480, 640}, 100, 30, 100, 30},
        // A window wider than the picture's shape centres it.
        {{{480, 640}, WindowTurn::Turned, 840, 480}, 100, 0, 479, 0},
    };
    for (const Case& c : cases) {
        int screenX = -1;
        int screenY = -1;
        ASSERT_TRUE(host::windowToScreen(c.view, c.x, c.y, screenX, screenY)) << c.x << "," << c.y;
        EXPECT_EQ(screenX, c.screenX) << c.x << "," << c.y;
        EXPECT_EQ(screenY, c.screenY) << c.x << "," << c.y;
    }
    int screenX;
    int screenY;
    EXPECT_FALSE(host::windowToScreen({{480, 640}, WindowTurn::Turned, 840, 480}, 99, 0, screenX, screenY));
    EXPECT_FALSE(host::windowToScreen(view, 640, 0, screenX, screenY));
    EXPECT_FALSE(host::windowToScreen({{480, 640}, WindowTurn::Turned, 0, 0}, 0, 0, screenX, screenY));
}

TEST(WindowView, RenderingTurnsWidensAndBordersThePicture) {
    // A 2 x 3 screen shown turned in a 5 x 2 window: a 3 x 2 picture, one
    // black column either side.
    const std::uint16_t screen[] = {0xF800, 0x07E0, //
                                    0x001F, 0xFFFF, //
                                    0x0000, 0x8410};
    std::uint32_t window[10];
    host::renderWindow({{2, 3}, WindowTurn::Turned, 5, 2}, screen, window, 5);
    const std::uint32_t expected[] = {0, 0x00FF00, 0xFFFFFF, 0x848284, 0, //
                                      0, 0xFF0000, 0x0000FF, 0x000000, 0};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(window[i], expected[i]) << i;
}

} // namespace
