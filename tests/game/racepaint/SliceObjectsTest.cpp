// Lane objects: the pixel block mapped onto a trapezoid (coverage and
// source position against the exact map, on and off the screen, up to
// nearly the whole screen), trapezoids that draw nothing, and the object's
// depth rule and frames.

#include "game/racepaint/SliceObjects.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/States.h"
#include "tests/game/racepaint/RacePaintFixture.h"

#include <cmath>
#include <random>
#include <sstream>

namespace {

using namespace racepaint_testing;
using game::DrawCall;

// Source pixel (u, v) lands on the 565 screen as red u, blue v and full
// green, which marks it written (the screen starts black).
rt::IntArray* encodedBlock(std::int32_t width, std::int32_t height) {
    rt::IntArray* block = rt::newIntArray(width * height);
    for (std::int32_t v = 0; v < height; ++v)
        for (std::int32_t u = 0; u < width; ++u)
            rt::IntArray::set(block, v * width + u,
                              static_cast<std::int32_t>(0xFF00FC00u | (u << 19) | (v << 3)));
    return block;
}

struct Trapezoid {
    std::int32_t top, bottom, tl, tr, bl, br;
};

std::ostream& operator<<(std::ostream& out, const Trapezoid& t) {
    return out << "top " << t.top << " bottom " << t.bottom << " edges " << t.tl << ".." << t.tr << " / "
               << t.bl << ".." << t.br;
}

struct SliceObjects : RacePaintTest {
    void setBlockSize(std::int32_t width, std::int32_t height) {
        game::roadImageStatics().s_backgroundWidth = width;
        game::roadImageStatics().s_backgroundHeight = height;
    }
    void clearScreen() {
        game::setClip(screen.graphics, 0, 0, kScreenWidth, kScreenHeight);
        screen.graphics->setColor(0);
        screen.graphics->fillRect(0, 0, kScreenWidth, kScreenHeight);
    }
    bool blank() const {
        for (std::uint16_t p : screen.pixels())
            if (p != 0)
                return false;
        return true;
    }

    // Draws `t` from a width x height block and compares every screen pixel
    // with the exact map: a pixel whose square lies inside the trapezoid by
    // more than one pixel (over the whole height of its row) is written, one
    // lying outside by more than one pixel is not, and a written pixel holds
    // a source position within one source pixel of the exact map anywhere in
    // its square grown by one pixel. Answers the first mismatch, "" for none.
    std::string coverage(const Trapezoid& t, std::int32_t width, std::int32_t height) {
        clearScreen();
        setBlockSize(width, height);
        game::drawScaledPixels(encodedBlock(width, height), t.top, t.bottom, t.tl, t.tr, t.bl, t.br);
        const double rows = t.bottom - t.top;
        auto leftAt = [&](double y) { return t.tl + (y - t.top) / rows * (t.bl - t.tl); };
        auto rightAt = [&](double y) { return t.tr + (y - t.top) / rows * (t.br - t.tr); };
        auto clampY = [&](double y) { return std::clamp(y, double(t.top), double(t.bottom)); };
        std::ostringstream problem;
        for (std::int32_t y = 0; y < kScreenHeight; ++y)
            for (std::int32_t x = 0; x < kScreenWidth; ++x) {
                const std::uint16_t p = screen.at(x, y);
                const bool written = ((p >> 5) & 63) == 63;
                if (y < t.top || y >= t.bottom) {
                    if (written)
                        problem << "(" << x << ", " << y << ") written outside the rows";
                } else {
                    const double l0 = leftAt(y), l1 = leftAt(y + 1), r0 = rightAt(y), r1 = rightAt(y + 1);
                    const bool inside = y >= t.top + 1 && y + 1 <= t.bottom - 1 &&
                                        x >= std::max(l0, l1) + 1 && x + 1 <= std::min(r0, r1) - 1;
                    const bool outside = x + 1 <= std::min(l0, l1) - 1 || x >= std::max(r0, r1) + 1;
                    if (inside && !written)
                        problem << "(" << x << ", " << y << ") inside but not written";
                    if (outside && written)
                        problem << "(" << x << ", " << y << ") outside but written";
                    if (written) {
                        const std::int32_t u = p >> 11, v = p & 31;
                        double uLow = 1e9, uHigh = -1e9;
                        for (double py : {clampY(y - 1), clampY(y + 2)}) {
                            const double span = rightAt(py) - leftAt(py);
                            if (span < 1) {
                                uLow = -1e9, uHigh = 1e9;
                                break;
                            }
                            for (double px : {x - 1.0, x + 2.0}) {
                                const double exact = (px - leftAt(py)) / span * width;
                                uLow = std::min(uLow, exact);
                                uHigh = std::max(uHigh, exact);
                            }
                        }
                        const double vLow = (clampY(y - 1) - t.top) / rows * height;
                        const double vHigh = (clampY(y + 2) - t.top) / rows * height;
                        // Source pixel u covers [u, u + 1).
                        if (u + 1 < uLow - 1 || u > uHigh + 1 || v + 1 < vLow - 1 || v > vHigh + 1)
                            problem << "(" << x << ", " << y << ") holds (" << u << ", " << v << ")";
                    }
                }
                if (!problem.str().empty())
                    return problem.str();
            }
        return "";
    }
};

TEST_F(SliceObjects, ScaledPixelsCoverTheTrapezoidWithTheExactMap) {
    struct Case {
        Trapezoid t;
        std::int32_t width, height;
    };
    std::vector<Case> cases = {
        {{100, 200, 300, 340, 250, 390}, 16, 16},  // a lane object on the screen
        {{20, 470, 10, 630, 0, 640}, 32, 32},      // nearly the whole screen
        {{-200, 300, 200, 260, -500, 900}, 8, 24}, // above and beside the screen
        {{300, 900, 500, 520, 400, 1400}, 24, 8},  // below and right of it
        {{-1000, 2000, -3000, 3000, -9000, 9000}, 32, 32},
        {{10, 20, 100, 101, 90, 111}, 4, 4}, // narrower than the block
    };
    std::mt19937 random(34);
    auto between = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    for (int i = 0; i < 40; ++i) {
        const std::int32_t top = between(-300, 470);
        const std::int32_t tl = between(-400, 800), bl = between(-400, 800);
        cases.push_back({{top, top + between(1, 600), tl, tl + between(0, 900), bl, bl + between(0, 900)},
                         between(2, 32),
                         between(2, 32)});
    }
    for (const Case& c : cases)
        EXPECT_EQ(coverage(c.t, c.width, c.height), "") << c.t << ", block " << c.width << " x " << c.height;
}

TEST_F(SliceObjects, DegenerateTrapezoidsDrawNothing) {
    const Trapezoid cases[] = {
        {100, 100, 10, 50, 10, 50},     // no rows
        {200, 100, 10, 50, 10, 50},     // upside down
        {100, 200, 50, 10, 10, 50},     // top edge reversed
        {100, 200, 10, 50, 50, 10},     // bottom edge reversed
        {-50, 0, 10, 50, 10, 50},       // ends above the screen
        {480, 600, 10, 50, 10, 50},     // starts below it
        {100, 200, -90, -1, -80, 0},    // left of it
        {100, 200, 640, 700, 650, 800}, // right of it
        {100, 200, 300, 300, 320, 320}, // every row of no width
        {100, 200, 300, 300, 300, 300},
    };
    rt::IntArray* block = encodedBlock(8, 8);
    setBlockSize(8, 8);
    for (const Trapezoid& t : cases) {
        clearScreen();
        game::drawScaledPixels(block, t.top, t.bottom, t.tl, t.tr, t.bl, t.br);
        EXPECT_TRUE(blank()) << t;
    }
    // A block smaller than its stated size is not read.
    setBlockSize(9, 8);
    clearScreen();
    game::drawScaledPixels(block, 100, 200, 100, 200, 100, 200);
    EXPECT_TRUE(blank());
}

struct LaneObjects : SliceObjects {
    static constexpr game::SliceObjectView kView{.focal = 200, .centerX = 320, .horizonY = 240};
    static constexpr std::uint32_t kFrameColours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};

    LaneObjects() {
        game::trackStatics().s_laneWidth = 400;
        setBlockSize(8, 8);
        rt::ObjectArray* blocks = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i)
            rt::ObjectArray::set(
                blocks, i,
                intArray(std::vector<std::int32_t>(64, static_cast<std::int32_t>(kFrameColours[i]))));
        game::roadImageStatics().s_sliceObjectPixels = blocks;
    }
    // The colour at the middle of the drawn block; 0 when nothing was drawn.
    std::uint16_t paint(std::int32_t nearDepth, std::int32_t farDepth, bool wide, std::int32_t height = -20) {
        clearScreen();
        testing_support::DrawingLog log;
        game::paintSliceObject(0, {0, nearDepth, height}, {0, farDepth, height}, wide, kView);
        std::vector<game::DrawRecord> blits = log.outer(DrawCall::DrawRGB);
        if (blits.empty())
            return 0;
        const game::DrawRecord& b = blits.front();
        return screen.at(b.args[2] + b.args[4] / 2, std::min(b.args[3] + b.args[5] / 2, kScreenHeight - 1));
    }
};

TEST_F(LaneObjects, AnObjectWhoseMiddleLiesAtTheNearPlaneOrCloserIsNotDrawn) {
    struct Case {
        std::int32_t nearDepth, farDepth;
        bool wide, drawn;
    };
    const Case cases[] = {
        {100, 500, false, false}, // a quarter of the slice ahead: depth 200
        {101, 501, false, true},  // 201
        {1, 401, false, false},   // 101
        {1, 401, true, true},     // half of the slice ahead: 201
        {0, 400, true, false},    // 200
        {600, 1624, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paint(c.nearDepth, c.farDepth, c.wide) != 0, c.drawn)
            << c.nearDepth << ".." << c.farDepth << (c.wide ? " wide" : "");
}

TEST_F(LaneObjects, TheOneLaneObjectChangesFrameEverySixteenStateMessages) {
    struct Case {
        std::int32_t messages;
        bool wide;
        std::int32_t frame;
    };
    const Case cases[] = {{0, false, 0},  {15, false, 0}, {16, false, 1}, {31, false, 1},
                          {32, false, 0}, {16, true, 2},  {0, true, 2}};
    for (const Case& c : cases) {
        game::stateStatics().s_messageCount = c.messages;
        EXPECT_EQ(paint(600, 1624, c.wide, -329), on565(kFrameColours[c.frame])) << c.messages;
    }
}

} // namespace
