// The clipped rectangle fill and line: what reaches the drawing wrappers for
// rectangles and lines around a clip, far-off points included.

#include "game/racepaint/ClippedDrawing.h"
#include "game/framework/GameGraphics.h"
#include "tests/game/racepaint/RacePaintFixture.h"

#include <climits>
#include <random>

namespace {

using namespace racepaint_testing;

struct Case {
    std::int32_t x1, y1, x2, y2;
    const char* drawn; // "" when nothing is drawn
};

std::string drawnBy(const std::vector<std::string>& calls) {
    return calls.empty() ? "" : calls.front();
}

TEST_F(RacePaintTest, ClippedFillCutsToTheClip) {
    // Clip: L 100, T 50, R 300, B 150.
    game::setClip(screen.graphics, 100, 50, 200, 100);
    const Case cases[] = {
        {120, 60, 10, 10, "fillRect 120 60 10 10"},
        {90, 60, 10, 10, "fillRect 100 60 0 10"}, // ends at the left edge
        {50, 40, 300, 200, "fillRect 100 50 200 100"},
        {290, 140, 20, 20, "fillRect 290 140 10 10"},
        {300, 60, 5, 5, ""},
        {120, 150, 5, 5, ""},
        {120, 30, 5, 10, ""},
        {-2000000000, 60, 2100000000, 10, "fillRect 100 60 200 10"},
        {INT_MIN + 10, 60, INT_MAX, 10, ""}, // ends left of the clip
        {120, INT_MAX - 5, 10, 100, ""},
    };
    for (const Case& c : cases) {
        testing_support::DrawingLog log;
        game::fillRectClipped(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(drawnBy(log.calls()), c.drawn) << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.y2;
    }
}

TEST_F(RacePaintTest, ClippedLineSlidesItsEndsOntoTheSideEdges) {
    // Clip: L 100, T 0, R 300 (last column 299), B 150.
    game::setClip(screen.graphics, 100, 0, 200, 150);
    const Case cases[] = {
        {90, 0, 110, 20, "drawLine 100 10 110 20"},
        {110, 20, 90, 0, "drawLine 110 20 100 10"},
        {250, 0, 350, 100, "drawLine 250 0 299 49"},
        {0, 0, 400, 100, "drawLine 100 25 299 75"},
        {400, 100, 0, 0, "drawLine 299 75 100 25"},
        {0, 0, 99, 50, ""},    // wholly left
        {300, 0, 400, 50, ""}, // wholly right
        {150, 10, 150, 20, "drawLine 150 10 150 20"},
        {150, -20, 150, -5, ""},  // vertical, above
        {150, 150, 150, 170, ""}, // vertical, below
        {150, 10, 150, 10, ""},   // a point
        {50, 10, 100, 10, ""},    // horizontal, cut down to one point
        {120, 150, 200, 150, ""}, // horizontal, below
        {0, -10, 400, -20, ""},   // above after the cut
        {0, 160, 400, 300, ""},   // below after the cut
        // Far-off ends: the products pass 32 bits.
        {-2000000000, 0, 2000000000, 100, "drawLine 100 50 299 51"},
        {-2000000000, 140, 250, 140, "drawLine 100 140 250 140"},
        {200, 10, 2147483000, 20000, "drawLine 200 10 299 11"},
    };
    for (const Case& c : cases) {
        testing_support::DrawingLog log;
        game::drawLineClipped(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(drawnBy(log.calls()), c.drawn) << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.y2;
    }
}

TEST_F(RacePaintTest, ClippedFillsLeaveThePixelsOfThePlainOnes) {
    // The roadside painters fill through the clipped form; on the screen it
    // must leave what the Graphics' own clip leaves.
    std::mt19937 rng(7);
    auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(rng);
    };
    for (int i = 0; i < 400; ++i) {
        const std::int32_t cx = pick(0, 500), cy = pick(0, 400);
        const std::int32_t x1 = pick(-3000, 3000), y1 = pick(-3000, 3000);
        const std::int32_t x2 = pick(-3000, 3000), y2 = pick(-3000, 3000);
        auto drawn = [&](auto draw) {
            game::setClip(screen.graphics, 0, 0, 640, 480);
            screen.graphics->setColor(0);
            screen.graphics->fillRect(0, 0, 640, 480);
            game::setClip(screen.graphics, cx, cy, 120, 60);
            screen.graphics->setColor(0xFFFFFF);
            draw();
            return screen.pixels();
        };
        const auto w = std::abs(x2 - x1), h = std::abs(y2 - y1);
        EXPECT_EQ(drawn([&] { game::fillRect(screen.graphics, std::min(x1, x2), std::min(y1, y2), w, h); }),
                  drawn([&] { game::fillRectClipped(std::min(x1, x2), std::min(y1, y2), w, h); }))
            << x1 << " " << y1 << " " << x2 << " " << y2;
    }
}

} // namespace
