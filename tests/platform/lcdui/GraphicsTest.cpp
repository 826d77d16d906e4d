#include "platform/lcdui/Graphics.h"
#include "tests/platform/lcdui/LcduiFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

namespace {

using namespace lcdui_testing;

using GraphicsTest = LcduiTest;
using Point = std::pair<std::int32_t, std::int32_t>;

// The white pixels of an image drawn white on black.
std::set<Point> whitePixels(Image* image) {
    std::vector<std::uint32_t> pixels = LcduiTest::argb(image);
    std::set<Point> points;
    for (std::int32_t y = 0; y < image->getHeight(); ++y) {
        for (std::int32_t x = 0; x < image->getWidth(); ++x) {
            if (pixels[static_cast<std::size_t>(y * image->getWidth() + x)] == kWhite)
                points.insert({x, y});
        }
    }
    return points;
}

TEST_F(GraphicsTest, ColourKeepsItsBytesAndDrawsTheirTopBits) {
    Graphics* graphics = Image::createImage(2, 1)->getGraphics();
    EXPECT_EQ(graphics->getColor(), 0);
    graphics->setColor(0x12, 0x34, 0x56);
    EXPECT_EQ(static_cast<std::uint32_t>(graphics->getColor()), 0xFF123456u);
    EXPECT_EQ(graphics->getRedComponent(), 0x12);
    EXPECT_EQ(graphics->getGreenComponent(), 0x34);
    EXPECT_EQ(graphics->getBlueComponent(), 0x56);
    graphics->fillRect(0, 0, 1, 1);
    // Red 0x12 keeps 2 of 31, green 0x34 13 of 63, blue 0x56 10 of 31.
    EXPECT_EQ(pixel(graphics->target(), 0, 0),
              0xFF000000u | (2 * 255 / 31) << 16 | (13 * 255 / 63) << 8 | (10 * 255 / 31));
    graphics->setColor(0x00ABCDEF);
    EXPECT_EQ(static_cast<std::uint32_t>(graphics->getColor()), 0xFFABCDEFu);
    EXPECT_EQ(graphics->getDisplayColor(0x123456), 0x123456);
    EXPECT_TRUE(log.lines().empty());

    struct Case {
        std::int32_t red, green, blue;
        const char* line;
    };
    for (const Case& c :
         {Case{256, 0, 0, "setColor r"}, Case{0, -1, 0, "setColor g"}, Case{0, 0, 300, "setColor b"}}) {
        log.clear();
        graphics->setColor(c.red, c.green, c.blue);
        ASSERT_FALSE(log.lines().empty());
        EXPECT_EQ(log.lines()[0], c.line);
        EXPECT_TRUE(log.contains("stacktrace"));
    }
}

TEST_F(GraphicsTest, ANewGraphicsDrawsNothingUntilAColourIsSet) {
    Image* image = Image::createImage(4, 4);
    Graphics* graphics = image->getGraphics();
    graphics->fillRect(0, 0, 4, 4);
    graphics->drawLine(0, 0, 3, 3);
    graphics->fillTriangle(0, 0, 3, 0, 0, 3);
    EXPECT_EQ(picture(image), rows({"....", "....", "....", "...."}));
}

TEST_F(GraphicsTest, ClipIsCutToTheImageAndFollowsTheTranslation) {
    Graphics* graphics = Image::createImage(480, 640)->getGraphics();
    graphics->setClip(-10, -10, 50, 50);
    EXPECT_EQ(graphics->getClipX(), 0);
    EXPECT_EQ(graphics->getClipY(), 0);
    EXPECT_EQ(graphics->getClipWidth(), 40);
    EXPECT_EQ(graphics->getClipHeight(), 40);
    graphics->setClip(470, 600, 100, 100);
    EXPECT_EQ(graphics->getClipWidth(), 10);
    EXPECT_EQ(graphics->getClipHeight(), 40);

    graphics->translate(5, 7);
    graphics->translate(1, 1);
    EXPECT_EQ(graphics->getTranslateX(), 6);
    EXPECT_EQ(graphics->getTranslateY(), 8);
    graphics->setClip(10, 10, 20, 20);
    EXPECT_EQ(graphics->getClipX(), 10);
    EXPECT_EQ(graphics->getClipY(), 10);
    graphics->clipRect(15, 0, 100, 25);
    EXPECT_EQ(graphics->getClipX(), 15);
    EXPECT_EQ(graphics->getClipY(), 10);
    EXPECT_EQ(graphics->getClipWidth(), 15);
    EXPECT_EQ(graphics->getClipHeight(), 15);
    graphics->clipRect(100, 100, 5, 5);
    EXPECT_LE(graphics->getClipWidth(), 0);

    // Sums beyond 32 bits leave an empty clip, never one outside the image.
    graphics->setClip(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    EXPECT_LE(graphics->getClipWidth(), 0);
    graphics->setColor(0xFFFFFF);
    graphics->fillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
}

TEST_F(GraphicsTest, FillRectCoversItsPartInsideTheClip) {
    struct Case {
        std::int32_t x, y, width, height;
    };
    const Case cases[] = {
        {0, 0, 8, 6},
        {3, 2, 2, 1},
        {1, 0, 2, 6},
        {5, 3, 10, 10},
        {-5, -5, 8, 7},
        {2, 1, 0, 3},
        {2, 1, 3, -1},
        {7, 0, 1, 6},
        {0, 4, 8, 1},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {1, 1, INT_MAX, INT_MAX},
        {INT_MAX, 0, INT_MAX, 6},
    };
    const std::int32_t clipLeft = 2, clipTop = 1, clipRight = 6, clipBottom = 4;
    for (const Case& c : cases) {
        Graphics* graphics = whiteOnBlack(8, 6);
        graphics->translate(-1, 1);
        graphics->setClip(clipLeft + 1, clipTop - 1, clipRight - clipLeft, clipBottom - clipTop);
        graphics->fillRect(c.x + 1, c.y - 1, c.width, c.height);
        std::set<Point> expected;
        for (std::int64_t y = std::max<std::int64_t>(c.y, clipTop);
             y < std::min<std::int64_t>(std::int64_t{c.y} + c.height, clipBottom); ++y) {
            for (std::int64_t x = std::max<std::int64_t>(c.x, clipLeft);
                 x < std::min<std::int64_t>(std::int64_t{c.x} + c.width, clipRight); ++x)
                expected.insert({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        }
        EXPECT_EQ(whitePixels(graphics->target()), expected)
            << c.x << "," << c.y << " " << c.width << "x" << c.height;
    }
}

// The pixels of a line as the nearest to the ideal segment along its major
// axis, a tie going to the pixel nearer the start.
std::set<Point> referenceLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    std::int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    std::int32_t sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    bool xMajor = dx >= dy;
    std::int32_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    std::set<Point> points;
    auto ceilDivide = [](std::int32_t n, std::int32_t d) { return n >= 0 ? (n + d - 1) / d : -(-n / d); };
    for (std::int32_t k = 0; k <= major; ++k) {
        // ceil(k * minor / major - 1/2)
        std::int32_t offset = major == 0 ? 0 : ceilDivide(2 * k * minor - major, 2 * major);
        points.insert(xMajor ? Point{x0 + sx * k, y0 + sy * offset} : Point{x0 + sx * offset, y0 + sy * k});
    }
    return points;
}

TEST_F(GraphicsTest, LinesInEveryOctantDrawTheNearestPixelsAndBothEnds) {
    const std::int32_t ends[] = {-10, -7, -4, -1, 0, 1, 4, 7, 10};
    for (std::int32_t dx : ends) {
        for (std::int32_t dy : ends) {
            Graphics* forward = whiteOnBlack(21, 21);
            forward->drawLine(10, 10, 10 + dx, 10 + dy);
            EXPECT_EQ(whitePixels(forward->target()), referenceLine(10, 10, 10 + dx, 10 + dy))
                << dx << "," << dy;
            Graphics* backward = whiteOnBlack(21, 21);
            backward->drawLine(10 + dx, 10 + dy, 10, 10);
            EXPECT_EQ(whitePixels(backward->target()), referenceLine(10 + dx, 10 + dy, 10, 10))
                << "back " << dx << "," << dy;
        }
    }
}

TEST_F(GraphicsTest, LinesAreClippedAtTheClipsLastPixels) {
    auto clipped = [](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        Graphics* graphics = whiteOnBlack(16, 16);
        graphics->setClip(3, 4, 10, 8); // pixels 3..12 x 4..11
        graphics->drawLine(x0, y0, x1, y1);
        return whitePixels(graphics->target());
    };
    auto span = [](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        return referenceLine(x0, y0, x1, y1);
    };
    EXPECT_EQ(clipped(-100, 6, 100, 6), span(3, 6, 12, 6));
    EXPECT_EQ(clipped(8, 100, 8, -100), span(8, 11, 8, 4));
    EXPECT_EQ(clipped(-5, -4, 30, 31), span(3, 4, 10, 11));
    EXPECT_EQ(clipped(13, 6, 20, 6), std::set<Point>{});
    EXPECT_EQ(clipped(0, 0, 20, 2), std::set<Point>{});
    EXPECT_EQ(clipped(12, 11, 12, 11), span(12, 11, 12, 11));

    // Any line: only pixels inside the clip, each near the ideal segment.
    const std::int32_t far[][4] = {{-40, 2, 50, 17},
                                   {14, -9, 1, 30},
                                   {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                   {INT_MAX, 0, INT_MIN, 15},
                                   {-3, 20, 20, -3}};
    for (const auto& line : far) {
        std::set<Point> drawn = clipped(line[0], line[1], line[2], line[3]);
        for (const Point& p : drawn) {
            EXPECT_TRUE(p.first >= 3 && p.first <= 12 && p.second >= 4 && p.second <= 11);
            double ax = line[0], ay = line[1], bx = line[2], by = line[3];
            double distance = std::abs((by - ay) * p.first - (bx - ax) * p.second + bx * ay - by * ax) /
                              std::hypot(bx - ax, by - ay);
            EXPECT_LT(distance, 1.5) << p.first << "," << p.second;
        }
    }
    EXPECT_FALSE(clipped(-40, 2, 50, 17).empty());
}

TEST_F(GraphicsTest, DrawRectOutlinesOneMorePixelEachWay) {
    Graphics* graphics = whiteOnBlack(13, 13);
    graphics->translate(1, 1);
    graphics->drawRect(0, 0, 10, 10);
    std::set<Point> expected;
    for (std::int32_t i = 1; i <= 11; ++i) {
        expected.insert({i, 1});
        expected.insert({i, 11});
        expected.insert({1, i});
        expected.insert({11, i});
    }
    EXPECT_EQ(whitePixels(graphics->target()), expected);
}

TEST_F(GraphicsTest, RoundRectanglesHaveMidpointCircleCorners) {
    // Radius (6 - 2) / 2 = 2: corners of the radius-2 circle.
    Graphics* outline = whiteOnBlack(12, 10);
    outline->drawRoundRect(0, 0, 10, 8, 6, 99);
    EXPECT_EQ(picture(outline->target()), rows({
                                              ".#########..",
                                              "#.........#.",
                                              "#.........#.",
                                              "#.........#.",
                                              "#.........#.",
                                              "#.........#.",
                                              "#.........#.",
                                              "#.........#.",
                                              ".#########..",
                                              "............",
                                          }));
    Graphics* filled = whiteOnBlack(12, 10);
    filled->fillRoundRect(0, 0, 10, 8, 6, 99);
    EXPECT_EQ(picture(filled->target()), rows({
                                             ".#########..",
                                             "###########.",
                                             "###########.",
                                             "###########.",
                                             "###########.",
                                             "###########.",
                                             "###########.",
                                             "###########.",
                                             ".#########..",
                                             "............",
                                         }));

    // Larger radii: the outline is symmetric and the fill is exactly what
    // lies between the outline's ends on each row.
    for (std::int32_t arc : {0, 3, 9, 14, 21}) {
        Graphics* ring = whiteOnBlack(30, 26);
        ring->drawRoundRect(2, 1, 24, 22, arc, 0);
        Graphics* disc = whiteOnBlack(30, 26);
        disc->fillRoundRect(2, 1, 24, 22, arc, 0);
        std::set<Point> outlinePixels = whitePixels(ring->target());
        std::set<Point> fillPixels = whitePixels(disc->target());
        for (const Point& p : outlinePixels) {
            EXPECT_TRUE(outlinePixels.count({28 - p.first, p.second})) << arc;
            EXPECT_TRUE(outlinePixels.count({p.first, 24 - p.second})) << arc;
        }
        for (std::int32_t y = 0; y < 26; ++y) {
            std::int32_t lo = 99, hi = -1;
            for (const Point& p : outlinePixels) {
                if (p.second == y) {
                    lo = std::min(lo, p.first);
                    hi = std::max(hi, p.first);
                }
            }
            for (std::int32_t x = 0; x < 30; ++x)
                EXPECT_EQ(fillPixels.count({x, y}) == 1, x >= lo && x <= hi) << arc << ": " << x << "," << y;
        }
    }
    // A radius no screen needs draws nothing and returns at once.
    Graphics* huge = whiteOnBlack(4, 4);
    huge->drawRoundRect(0, 0, 3, 3, INT_MAX, 0);
    huge->fillRoundRect(0, 0, 3, 3, INT_MAX, 0);
    EXPECT_TRUE(whitePixels(huge->target()).empty());
}

TEST_F(GraphicsTest, ArcsDrawTheWholeQuadrantsTheyHold) {
    Graphics* circle = whiteOnBlack(6, 6);
    circle->drawArc(0, 0, 4, 4, 0, 360);
    EXPECT_EQ(picture(circle->target()), rows({".###..", "#...#.", "#...#.", "#...#.", ".###..", "......"}));
    Graphics* disc = whiteOnBlack(6, 6);
    disc->fillArc(0, 0, 4, 4, 0, 360);
    EXPECT_EQ(picture(disc->target()), rows({".###..", "#####.", "#####.", "#####.", ".###..", "......"}));

    // Quadrants right-up, left-up, left-down, right-down, by the pixels off
    // the axes of an ellipse centred on (10, 8).
    struct Case {
        std::int32_t start, arc;
        bool quadrants[4];
    };
    const Case cases[] = {
        {0, 360, {true, true, true, true}},       {0, 90, {true, false, false, false}},
        {90, 90, {false, true, false, false}},    {180, 90, {false, false, true, false}},
        {270, 90, {false, false, false, true}},   {0, 180, {true, true, false, false}},
        {180, 180, {false, false, true, true}},   {90, 270, {false, true, true, true}},
        {45, 90, {false, false, false, false}},   {450, 90, {false, true, false, false}},
        {-90, 180, {false, false, false, false}}, {0, 720, {true, true, true, true}},
        {0, 450, {true, false, false, false}},
    };
    for (const Case& c : cases) {
        for (bool fill : {false, true}) {
            Graphics* graphics = whiteOnBlack(21, 17);
            if (fill)
                graphics->fillArc(2, 2, 16, 12, c.start, c.arc);
            else
                graphics->drawArc(2, 2, 16, 12, c.start, c.arc);
            bool seen[4] = {};
            for (const Point& p : whitePixels(graphics->target())) {
                if (p.first > 10 && p.second < 8)
                    seen[0] = true;
                if (p.first < 10 && p.second < 8)
                    seen[1] = true;
                if (p.first < 10 && p.second > 8)
                    seen[2] = true;
                if (p.first > 10 && p.second > 8)
                    seen[3] = true;
            }
            for (int q = 0; q < 4; ++q)
                EXPECT_EQ(seen[q], c.quadrants[q])
                    << c.start << "+" << c.arc << " quadrant " << q + 1 << " fill " << fill;
        }
    }

    // A larger ellipse lies on its ideal curve, reaches its four extremes,
    // and its fill spans each row between the outline's ends.
    Graphics* ring = whiteOnBlack(40, 30);
    ring->drawArc(1, 2, 36, 24, 0, 360);
    Graphics* filled = whiteOnBlack(40, 30);
    filled->fillArc(1, 2, 36, 24, 0, 360);
    std::set<Point> outline = whitePixels(ring->target());
    for (const Point& p : outline) {
        double u = (p.first - 19) / 18.0, v = (p.second - 14) / 12.0;
        EXPECT_NEAR(u * u + v * v, 1.0, 0.12) << p.first << "," << p.second;
    }
    for (Point extreme : {Point{19, 2}, Point{19, 26}, Point{1, 14}, Point{37, 14}})
        EXPECT_TRUE(outline.count(extreme)) << extreme.first << "," << extreme.second;
    std::set<Point> area = whitePixels(filled->target());
    for (std::int32_t y = 0; y < 30; ++y) {
        std::int32_t lo = 99, hi = -1;
        for (const Point& p : outline) {
            if (p.second == y) {
                lo = std::min(lo, p.first);
                hi = std::max(hi, p.first);
            }
        }
        for (std::int32_t x = 0; x < 40; ++x)
            EXPECT_EQ(area.count({x, y}) == 1, x >= lo && x <= hi) << x << "," << y;
    }
}

TEST_F(GraphicsTest, TrianglesFillRowsFromTopToBottomExclusive) {
    // Whatever the order of the corners: row y of the right triangle
    // (0,0) (10,0) (0,10) covers x 0 to 9 - y.
    const std::int32_t orders[][6] = {{0, 0, 10, 0, 0, 10}, {0, 10, 0, 0, 10, 0}, {10, 0, 0, 10, 0, 0}};
    for (const auto& corners : orders) {
        Graphics* graphics = whiteOnBlack(12, 12);
        graphics->fillTriangle(corners[0], corners[1], corners[2], corners[3], corners[4], corners[5]);
        std::set<Point> expected;
        for (std::int32_t y = 0; y < 10; ++y) {
            for (std::int32_t x = 0; x <= 9 - y; ++x)
                expected.insert({x, y});
        }
        EXPECT_EQ(whitePixels(graphics->target()), expected);
    }

    // An isoceles triangle pointing down, through a clip and a translation.
    Graphics* graphics = whiteOnBlack(10, 6);
    graphics->translate(1, 0);
    graphics->setClip(-1, 1, 10, 4);
    graphics->fillTriangle(-1, 0, 7, 0, 3, 4);
    EXPECT_EQ(picture(graphics->target()),
              rows({"..........", ".######...", "..####....", "...##.....", "..........", ".........."}));

    // Edge steps that need more than 32 bits (a width of 2^29 over 4 rows)
    // still fill the rows that lie inside; huge triangles end at the clip.
    Graphics* wide = whiteOnBlack(8, 8);
    wide->fillTriangle(-(1 << 28), 0, 1 << 28, 0, 0, 4);
    EXPECT_EQ(picture(wide->target()), rows({"########", "########", "########", "########", "........",
                                             "........", "........", "........"}));
    Graphics* huge = whiteOnBlack(8, 8);
    huge->fillTriangle(INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX);
    EXPECT_EQ(whitePixels(huge->target()).size(), 64u);
}

TEST_F(GraphicsTest, ATriangleReachingFarBeyondTheClipFillsItsWholeVisiblePart) {
    // One corner 100 000 rows above the image: an edge stepped in 24.8
    // fixed point drifts by a pixel every 256 rows, which left a wedge of
    // unfilled pixels inside the triangle. Row y must cover exactly the
    // columns whose centres lie between the two exact edges.
    const std::int32_t top = -100000;
    Graphics* graphics = whiteOnBlack(64, 64);
    graphics->fillTriangle(-200, top, 40, 63, -100, 63);
    std::set<Point> expected;
    for (std::int32_t y = 0; y < 63; ++y) {
        const double t = static_cast<double>(y - top) / (63 - top);
        const double left = -200 + t * 100, right = -200 + t * 240;
        for (std::int32_t x = 0; x < 64; ++x) {
            if (x >= std::floor(left) && x < std::floor(right))
                expected.insert({x, y});
        }
    }
    EXPECT_EQ(whitePixels(graphics->target()), expected);
}

// A source image whose pixels all differ: the colour of (x, y) has red x
// and green y (both kept exactly by RGB565 at multiples of 8 and 4).
Image* numberedImage(std::int32_t width, std::int32_t height) {
    rt::IntArray* rgb = rt::newIntArray(width * height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x)
            rgb->elements()[y * width + x] =
                static_cast<std::int32_t>(0xFF000000u | (x * 8 + 8) << 16 | (y * 4 + 4) << 8 | 0x08);
    }
    return Image::createRGBImage(rgb, width, height, false);
}

// Where region pixel (u, v) of a w x h region lands under a MIDP transform,
// built from its definition: mirror about the vertical centre first when
// the transform mirrors, then rotate clockwise.
Point transformed(std::int32_t transform, std::int32_t u, std::int32_t v, std::int32_t w, std::int32_t h) {
    auto rotate90 = [](Point p, std::int32_t& width, std::int32_t& height) {
        Point q{height - 1 - p.second, p.first};
        std::swap(width, height);
        return q;
    };
    static const struct {
        bool mirror;
        int quarterTurns;
    } kDefinitions[8] = {{false, 0}, {true, 2},  {true, 0},  {false, 2},
                         {true, 3},  {false, 1}, {false, 3}, {true, 1}};
    Point p{u, v};
    if (kDefinitions[transform].mirror)
        p.first = w - 1 - p.first;
    for (int turn = 0; turn < kDefinitions[transform].quarterTurns; ++turn)
        p = rotate90(p, w, h);
    return p;
}

TEST_F(GraphicsTest, DrawRegionPlacesEveryTransformByEveryAnchor) {
    Image* source = numberedImage(5, 4);
    std::vector<std::uint32_t> sourcePixels = argb(source);
    const std::int32_t anchors[] = {0,
                                    Graphics::TOP | Graphics::LEFT,
                                    Graphics::TOP | Graphics::HCENTER,
                                    Graphics::TOP | Graphics::RIGHT,
                                    Graphics::VCENTER | Graphics::LEFT,
                                    Graphics::VCENTER | Graphics::HCENTER,
                                    Graphics::BOTTOM | Graphics::RIGHT,
                                    Graphics::BASELINE | Graphics::HCENTER};
    const std::int32_t xs = 1, ys = 1, w = 3, h = 2;
    for (std::int32_t transform = 0; transform < 8; ++transform) {
        const bool turned = transform >= 4;
        const std::int32_t dw = turned ? h : w, dh = turned ? w : h;
        for (std::int32_t anchor : anchors) {
            Image* target = Image::createImage(12, 12);
            Graphics* graphics = target->getGraphics();
            graphics->translate(1, 2);
            graphics->drawRegion(source, xs, ys, w, h, transform, 5, 4, anchor);
            std::int32_t left = 6 - ((anchor & Graphics::HCENTER) ? dw / 2
                                     : (anchor & Graphics::RIGHT) ? dw
                                                                  : 0);
            std::int32_t top = 6 - ((anchor & Graphics::VCENTER)  ? dh / 2
                                    : (anchor & Graphics::BOTTOM) ? dh
                                                                  : 0);
            std::vector<std::uint32_t> expected(144, kBlack);
            for (std::int32_t v = 0; v < h; ++v) {
                for (std::int32_t u = 0; u < w; ++u) {
                    Point p = transformed(transform, u, v, w, h);
                    expected[static_cast<std::size_t>((top + p.second) * 12 + left + p.first)] =
                        sourcePixels[static_cast<std::size_t>((ys + v) * 5 + xs + u)];
                }
            }
            EXPECT_EQ(argb(target), expected) << "transform " << transform << " anchor " << anchor;
        }
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(GraphicsTest, DrawRegionCutsAtTheClipAndAtTheSourcesEdges) {
    Image* source = numberedImage(5, 4);
    std::vector<std::uint32_t> sourcePixels = argb(source);
    struct Case {
        std::int32_t xs, ys, w, h;
        const char* line; // the check expected to log, or null
    };
    const Case cases[] = {
        {0, 0, 5, 4, nullptr},
        {1, 0, 3, 4, nullptr},
        {3, 1, 4, 2, "drawRegion x_src"},
        {-2, 0, 4, 3, "drawRegion x_src"},
        {0, 2, 3, 5, "drawRegion y_src"},
        {1, -1, 2, 2, "drawRegion y_src"},
    };
    for (std::int32_t transform = 0; transform < 8; ++transform) {
        for (const Case& c : cases) {
            log.clear();
            Image* target = Image::createImage(12, 12);
            Graphics* graphics = target->getGraphics();
            graphics->setClip(4, 3, 5, 6); // pixels 4..8 x 3..8
            graphics->drawRegion(source, c.xs, c.ys, c.w, c.h, transform, 3, 2, 0);
            std::vector<std::uint32_t> expected(144, kBlack);
            for (std::int32_t v = 0; v < c.h; ++v) {
                for (std::int32_t u = 0; u < c.w; ++u) {
                    std::int32_t sx = c.xs + u, sy = c.ys + v;
                    if (sx < 0 || sx >= 5 || sy < 0 || sy >= 4)
                        continue;
                    Point p = transformed(transform, u, v, c.w, c.h);
                    std::int32_t x = 3 + p.first, y = 2 + p.second;
                    if (x >= 4 && x <= 8 && y >= 3 && y <= 8)
                        expected[static_cast<std::size_t>(y * 12 + x)] =
                            sourcePixels[static_cast<std::size_t>(sy * 5 + sx)];
                }
            }
            EXPECT_EQ(argb(target), expected)
                << "transform " << transform << " region " << c.xs << "," << c.ys;
            if (c.line) {
                ASSERT_FALSE(log.lines().empty());
                EXPECT_EQ(log.lines()[0], c.line);
            } else {
                EXPECT_TRUE(log.lines().empty());
            }
        }
    }
}

TEST_F(GraphicsTest, DrawRegionTurnsSizeAndAnchorsAtTheTurnedCorner) {
    // Transform 5 of a 10 x 20 region is 20 wide and 10 high; anchored
    // RIGHT|BOTTOM at (100, 100) its bottom-right pixel is (99, 99).
    Image* source = Image::createImage(10, 20);
    Graphics* painter = source->getGraphics();
    painter->setColor(0xFFFFFF);
    painter->fillRect(0, 0, 10, 20);
    Image* target = Image::createImage(120, 120);
    target->getGraphics()->drawRegion(source, 0, 0, 10, 20, Graphics::TRANS_ROT90, 100, 100,
                                      Graphics::RIGHT | Graphics::BOTTOM);
    std::set<Point> drawn = whitePixels(target);
    EXPECT_EQ(drawn.size(), 200u);
    EXPECT_EQ(*drawn.begin(), (Point{80, 90}));
    EXPECT_EQ(*drawn.rbegin(), (Point{99, 99}));
}

TEST_F(GraphicsTest, DrawRegionBySourcePixelType) {
    // A keyed source leaves the destination under its key pixels.
    rt::IntArray* rgb = rt::newIntArray(3);
    rt::Array::fill32(rgb, {static_cast<std::int32_t>(0xFFFFFFFF), 0, static_cast<std::int32_t>(0xFFFFFFFF)});
    Image* keyed = Image::createRGBImage(rgb, 3, 1, true);
    ASSERT_EQ(keyed->pixelType(), Image::kRgb565Keyed);
    Graphics* graphics = Image::createImage(3, 1)->getGraphics();
    graphics->setColor(0x0000FF);
    graphics->fillRect(0, 0, 3, 1);
    graphics->drawImage(keyed, 0, 0, 0);
    EXPECT_EQ(argb(graphics->target()), (std::vector<std::uint32_t>{kWhite, 0xFF0000FF, kWhite}));

    // An ARGB4444 source moves each destination channel by
    // (widened source - destination) * (A * 17) / 256, truncated.
    rt::IntArray* translucent = rt::newIntArray(2);
    rt::Array::fill32(translucent, {static_cast<std::int32_t>(0x80FF0000), 0x00FFFFFF});
    Image* alpha = Image::createRGBImage(translucent, 2, 1, true);
    ASSERT_EQ(alpha->pixelType(), Image::kArgb4444);
    Graphics* under = Image::createImage(2, 1)->getGraphics();
    under->setColor(0x0000FF);
    under->fillRect(0, 0, 2, 1);
    under->drawImage(alpha, 0, 0, 0);
    std::uint32_t red = (0 + (30 - 0) * 136 / 256), blue = 31 + (0 - 31) * 136 / 256;
    EXPECT_EQ(pixel(under->target(), 0, 0), 0xFF000000u | (red * 255 / 31) << 16 | (blue * 255 / 31));
    EXPECT_EQ(pixel(under->target(), 1, 0), 0xFF0000FFu);

    // An image drawn onto itself, shifted along its own rows.
    Image* strip = numberedImage(4, 1);
    std::vector<std::uint32_t> before = argb(strip);
    Image* copy = Image::createImage(strip, 0, 0, 4, 1, 0);
    copy->getGraphics()->drawImage(copy, 1, 0, 0);
    EXPECT_EQ(argb(copy), (std::vector<std::uint32_t>{before[0], before[0], before[1], before[2]}));

    // Indexed sources, bad transforms and null sources draw nothing and log.
    Image* indexed = rt::make<Image>(2, 2, Image::kIndexed8, 0);
    struct Case {
        Image* source;
        std::int32_t transform;
        const char* line;
    };
    for (const Case& c : {Case{indexed, 0, "m_pixelType"}, Case{keyed, 8, "drawRegion transform"},
                          Case{keyed, -1, "drawRegion transform"}, Case{nullptr, 0, "drawRegion pSrc"}}) {
        log.clear();
        Graphics* target = whiteOnBlack(4, 4);
        target->drawRegion(c.source, 0, 0, 2, 1, c.transform, 0, 0, 0);
        EXPECT_TRUE(whitePixels(target->target()).empty());
        ASSERT_FALSE(log.lines().empty());
        EXPECT_EQ(log.lines()[0], c.line);
    }
    // A region that misses the clip is not even checked.
    log.clear();
    whiteOnBlack(4, 4)->drawRegion(nullptr, 0, 0, 2, 2, 0, 10, 10, 0);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(GraphicsTest, DrawRgbByAlphaAndTargetType) {
    rt::IntArray* rgb = rt::newIntArray(4);
    rt::Array::fill32(rgb, {static_cast<std::int32_t>(0xFFFFFFFF), 0x00FFFFFF,
                            static_cast<std::int32_t>(0x80F8FCF8), 0x7F123456});
    // With processAlpha over blue: opaque writes, alpha 0 skips, others mix by alpha / 256.
    Graphics* graphics = Image::createImage(4, 1)->getGraphics();
    graphics->setColor(0x0000FF);
    graphics->fillRect(0, 0, 4, 1);
    graphics->drawRGB(rgb, 0, 4, 0, 0, 4, 1, true);
    std::vector<std::uint32_t> pixels = argb(graphics->target());
    EXPECT_EQ(pixels[0], kWhite);
    EXPECT_EQ(pixels[1], 0xFF0000FFu);
    std::uint32_t r = (0 * 128 + 31 * 128) >> 8, g = (0 * 128 + 63 * 128) >> 8,
                  b = (31 * 128 + 31 * 128) >> 8;
    EXPECT_EQ(pixels[2], 0xFF000000u | (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31));
    // Without it every entry is opaque.
    graphics->drawRGB(rgb, 0, 4, 0, 0, 4, 1, false);
    EXPECT_EQ(argb(graphics->target())[1], kWhite);

    // An ARGB4444 target takes the top 4 bits of each channel.
    rt::IntArray* translucent = rt::newIntArray(1);
    rt::Array::fill32(translucent, {0x40123456});
    Image* alpha = Image::createRGBImage(translucent, 1, 1, true);
    ASSERT_EQ(alpha->pixelType(), Image::kArgb4444);
    alpha->getGraphics()->drawRGB(rgb, 3, 1, 0, 0, 1, 1, false);
    EXPECT_EQ(pixel(alpha, 0, 0), 0x77113355u);
}

TEST_F(GraphicsTest, DrawRgbStartsAtTheClippedCornerAndStaysInsideTheArray) {
    Image* source = numberedImage(4, 3);
    rt::IntArray* rgb = rt::newIntArray(12);
    source->getRGB(rgb, 0, 4, 0, 0, 4, 3);
    std::vector<std::uint32_t> entries(reinterpret_cast<std::uint32_t*>(rgb->elements()),
                                       reinterpret_cast<std::uint32_t*>(rgb->elements()) + 12);

    Image* target = Image::createImage(6, 5);
    Graphics* graphics = target->getGraphics();
    graphics->setClip(2, 2, 10, 10);
    graphics->drawRGB(rgb, 0, 4, 1, 1, 4, 3, false);
    std::vector<std::uint32_t> expected(30, kBlack);
    for (std::int32_t y = 2; y <= 3; ++y) {
        for (std::int32_t x = 2; x <= 4; ++x)
            expected[static_cast<std::size_t>(y * 6 + x)] =
                entries[static_cast<std::size_t>((y - 1) * 4 + x - 1)];
    }
    EXPECT_EQ(argb(target), expected);
    EXPECT_TRUE(log.lines().empty());

    // Bottom-up rows with a negative scan length.
    Image* flipped = Image::createImage(4, 3);
    flipped->getGraphics()->drawRGB(rgb, 8, -4, 0, 0, 4, 3, false);
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(flipped, x, y), entries[static_cast<std::size_t>((2 - y) * 4 + x)]);
    }

    // Entries the array does not hold are not read: those pixels stay.
    struct Case {
        std::int32_t offset, scanLength;
    };
    for (const Case& c : {Case{6, 4}, Case{-5, 4}, Case{0, 100}, Case{INT_MAX, INT_MAX}, Case{INT_MIN, 1}}) {
        log.clear();
        Image* partial = Image::createImage(4, 3);
        partial->getGraphics()->drawRGB(rgb, c.offset, c.scanLength, 0, 0, 4, 3, false);
        for (std::int32_t y = 0; y < 3; ++y) {
            for (std::int32_t x = 0; x < 4; ++x) {
                std::int64_t index = std::int64_t{c.offset} + std::int64_t{y} * c.scanLength + x;
                EXPECT_EQ(pixel(partial, x, y),
                          index >= 0 && index < 12 ? entries[static_cast<std::size_t>(index)] : kBlack);
            }
        }
        EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds")) << c.offset;
    }
    log.clear();
    graphics->drawRGB(nullptr, 0, 4, 0, 0, 4, 3, false);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0], "drawRGB rgbData");
}

} // namespace
