// The drawing wrappers, the transformed pixel blit with its buffers, the
// gradient fill and the triangle clipper.

#include "game/sprite/Drawing.h"
#include "game/sprite/Gradient.h"
#include "game/sprite/TransformBlit.h"
#include "tests/game/sprite/PaintFixture.h"

#include <string>

namespace {

using namespace sprite_testing;

using Drawing = PaintTest;

rt::IntArray* intArray(const std::vector<std::int32_t>& values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::ranges::copy(values, rt::IntArray::span(array).begin());
    return array;
}

std::string letters(rt::IntArray* array, std::int32_t count) {
    std::string out;
    for (std::int32_t value : ints(array, count))
        out += static_cast<char>(value);
    return out;
}

TEST_F(Drawing, TransformRearrangesTheBlockForEveryTransform) {
    rt::IntArray* source = intArray({'A', 'B', 'C', 'D', 'E', 'F'}); // ABC / DEF
    struct Case {
        std::int32_t transform;
        std::int32_t w, h; // of the result
        const char* rows;
    };
    const Case cases[] = {
        {1, 3, 2, "CBAFED"}, {2, 3, 2, "DEFABC"}, {3, 3, 2, "FEDCBA"}, {4, 2, 3, "DAEBFC"},
        {5, 2, 3, "FCEBDA"}, {6, 2, 3, "ADBECF"}, {7, 2, 3, "CFBEAD"}, {9, 3, 2, "CBAFED"},
    };
    for (const Case& c : cases) {
        rt::IntArray* result = game::transformRGB(source, c.w, c.h, c.transform);
        ASSERT_NE(result, source);
        EXPECT_EQ(letters(result, 6), c.rows) << "transform " << c.transform;
    }
    EXPECT_EQ(game::transformRGB(source, 3, 2, 8), source) << "only the low three bits count";
}

TEST_F(Drawing, TransformTargetsAreTheSharedBuffersGrownToTheBlock) {
    game::SpriteStatics& s = game::spriteStatics();
    rt::IntArray* pixels = game::ensurePixelBuffer(0);
    ASSERT_EQ(s.s_spareBuffer, nullptr);
    EXPECT_EQ(game::transformRGB(pixels, 10, 10, 1), s.s_spareBuffer);
    EXPECT_EQ(s.s_spareBuffer->length(), 15000);
    rt::IntArray* other = rt::newIntArray(100);
    EXPECT_EQ(game::transformRGB(other, 10, 10, 1), pixels);

    // Blocks beyond the configured sizes grow their target and arrive whole.
    struct Case {
        bool fromPixelBuffer;
        std::int32_t w, h;
    };
    for (const Case& c : {Case{true, 200, 100}, Case{false, 300, 300}}) {
        const std::int32_t count = c.w * c.h;
        rt::IntArray* source = c.fromPixelBuffer ? game::ensurePixelBuffer(count) : rt::newIntArray(count);
        auto in = rt::IntArray::span(source, 0, count);
        for (std::int32_t i = 0; i < count; ++i)
            in[static_cast<std::size_t>(i)] = i;
        rt::IntArray* result = game::transformRGB(source, c.w, c.h, 3);
        ASSERT_NE(result, nullptr);
        ASSERT_NE(result, source);
        EXPECT_GE(result->length(), count);
        EXPECT_EQ(rt::IntArray::get(result, 0), count - 1);
        EXPECT_EQ(rt::IntArray::get(result, count - 1), 0);
    }
    // A block no buffer may grow to is refused.
    EXPECT_EQ(game::transformRGB(other, 2000, 1000, 1), nullptr);
    EXPECT_TRUE(log.contains("too large"));
}

TEST_F(Drawing, DrawRgbTurnsTheBlockAndPassesUntransformedPixelsAsTheyAre) {
    // A 10 x 20 block whose every pixel tells its row and column apart in 565.
    auto colour = [](std::int32_t row, std::int32_t column) {
        return static_cast<std::int32_t>(0xFF000000u | static_cast<std::uint32_t>(row * 12) << 16 |
                                         static_cast<std::uint32_t>(column * 24) << 8);
    };
    rt::IntArray* block = rt::newIntArray(200);
    for (std::int32_t row = 0; row < 20; ++row)
        for (std::int32_t column = 0; column < 10; ++column)
            rt::IntArray::set(block, row * 10 + column, colour(row, column));
    Canvas canvas(40, 40);
    game::drawRGB(canvas.graphics, block, 0, 10, 5, 5, 10, 20, false, false, 4);
    EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{5, 5, 25, 15}));
    for (std::int32_t y = 0; y < 10; ++y)
        for (std::int32_t x = 0; x < 20; ++x)
            ASSERT_EQ(canvas.at(5 + x, 5 + y), on565(static_cast<std::uint32_t>(colour(19 - x, y))))
                << x << ", " << y;

    Canvas plain(8, 8);
    game::drawRGB(plain.graphics, block, 13, 10, 0, 0, 2, 2, false, false, 0);
    EXPECT_EQ(plain.at(0, 0), on565(static_cast<std::uint32_t>(colour(1, 3))));
    EXPECT_EQ(plain.at(1, 1), on565(static_cast<std::uint32_t>(colour(2, 4))));
}

TEST_F(Drawing, DrawRegionCutsTheRegionToTheImageWithoutMovingIt) {
    // A 50 x 4 image whose columns have distinct greens.
    rt::IntArray* columns = rt::newIntArray(200);
    for (std::int32_t i = 0; i < 200; ++i)
        rt::IntArray::set(
            columns, i,
            static_cast<std::int32_t>(0xFF000000u | static_cast<std::uint32_t>(i % 50 * 5) << 8 | 0xFF));
    Image* image = Image::createRGBImage(columns, 50, 4, false);
    struct Case {
        std::int32_t sx, sy, w, h;
        std::int32_t firstColumn, columnCount, rowCount;
    };
    const Case cases[] = {
        {-10, 0, 30, 4, 0, 20, 4}, {40, 0, 30, 4, 40, 10, 4}, {50, 0, 30, 4, 0, 0, 0},
        {0, -2, 5, 4, 0, 5, 2},    {10, 3, 5, 9, 10, 5, 1},
    };
    for (const Case& c : cases) {
        Canvas canvas(80, 10);
        game::loopStatics().s_graphics = canvas.graphics;
        game::drawRegion(image, c.sx, c.sy, c.w, c.h, 0, 10, 2, 20);
        SCOPED_TRACE(testing::Message() << "sx " << c.sx << " sy " << c.sy);
        if (c.columnCount == 0) {
            EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
            continue;
        }
        EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{10, 2, 10 + c.columnCount, 2 + c.rowCount}));
        for (std::int32_t i = 0; i < c.columnCount; ++i)
            EXPECT_EQ(canvas.at(10 + i, 2),
                      on565(static_cast<std::uint32_t>(rt::IntArray::get(columns, c.firstColumn + i))));
    }
}

TEST_F(Drawing, GradientsRunBetweenTheirColoursAlongTheirDirection) {
    using namespace game::gradient_direction;
    constexpr std::uint32_t kBlack = 0xFF000000u, kBlue = 0xFF0000FFu, kMid = 0xFF00007Fu;
    struct Case {
        std::int32_t w, h, direction;
        std::uint32_t colour1, colour2;
        std::vector<std::uint32_t> row0;    // the first row, left to right
        std::vector<std::uint32_t> column0; // the first column, top to bottom
    };
    const Case cases[] = {
        {3, 2, kToRight, kBlack, kBlue, {kBlack, kMid, kBlue}, {kBlack, kBlack}},
        {3, 2, kToLeft, kBlack, kBlue, {kBlue, kMid, kBlack}, {kBlue, kBlue}},
        {2, 3, kToBottom, kBlack, kBlue, {kBlack, kBlack}, {kBlack, kMid, kBlue}},
        {2, 3, kToTop, kBlack, kBlue, {kBlue, kBlue}, {kBlue, kMid, kBlack}},
        // One pixel along the gradient takes the start colour.
        {1, 2, kToRight, kBlack, kBlue, {kBlack}, {kBlack, kBlack}},
        {1, 2, kToLeft, kBlack, kBlue, {kBlue}, {kBlue, kBlue}},
        {2, 1, kToTop, kBlack, kBlue, {kBlue, kBlue}, {kBlue}},
        // Alpha runs like the other channels: the transparent end leaves the grey.
        {3, 1, kToRight, 0x00FF0000u, 0xFFFF0000u, {0xFF808080u, 0, 0xFFFF0000u}, {0xFF808080u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " direction " << c.direction);
        Canvas canvas(8, 8, 0xFF808080u);
        game::loopStatics().s_graphics = canvas.graphics;
        game::fillGradient(1, 1, c.w, c.h, static_cast<std::int32_t>(c.colour1),
                           static_cast<std::int32_t>(c.colour2), c.direction);
        for (std::size_t x = 0; x < c.row0.size(); ++x) {
            if (c.colour1 >> 24 == 0 && x == 1)
                continue; // the half-blended middle is the blender's business
            EXPECT_EQ(canvas.at(1 + static_cast<std::int32_t>(x), 1), on565(c.row0[x])) << "column " << x;
        }
        for (std::size_t y = 0; y < c.column0.size(); ++y)
            EXPECT_EQ(canvas.at(1, 1 + static_cast<std::int32_t>(y)), on565(c.column0[y])) << "row " << y;
    }
}

TEST_F(Drawing, GradientsWithoutPixelsOrTallerThanOneStripStillEnd) {
    Canvas canvas(200, 1000, 0xFF808080u);
    game::loopStatics().s_graphics = canvas.graphics;
    // Nothing along the gradient, or nothing across it: nothing drawn.
    game::fillGradient(0, 0, 0, 5, -1, -1, game::gradient_direction::kToRight);
    game::fillGradient(0, 0, 5, 0, -1, -1, game::gradient_direction::kToRight);
    game::fillGradient(0, 0, 100000, 1, -1, -1, game::gradient_direction::kToRight);
    EXPECT_EQ(canvas.bounds(on565(0xFF808080u)), (std::vector<std::int32_t>{0, 0, 0, 0}));
    // 1000 rows of 200 pixels take three strips of the 80100-entry buffer.
    game::fillGradient(0, 0, 200, 1000, static_cast<std::int32_t>(0xFF0000FFu),
                       static_cast<std::int32_t>(0xFFFF0000u), game::gradient_direction::kToRight);
    for (std::int32_t y : {0, 399, 400, 799, 800, 999}) {
        EXPECT_EQ(canvas.at(0, y), on565(0xFF0000FFu)) << y;
        EXPECT_EQ(canvas.at(199, y), on565(0xFFFF0000u)) << y;
    }
}

TEST_F(Drawing, TriangleCornersBeyondOneEdgeArePulledOntoIt) {
    struct Case {
        std::array<std::int32_t, 6> corners;
        bool drawn;
        std::array<std::int32_t, 6> after;
    };
    const Case cases[] = {
        {{-10, 10, -20, 50, 100, 30}, true, {0, 11, 0, 47, 100, 30}},
        {{700, 10, 650, 50, 100, 30}, true, {639, 12, 639, 50, 100, 30}},
        {{10, -10, 50, -20, 30, 100}, true, {11, 0, 47, 0, 30, 100}},
        {{10, 500, 50, 520, 30, 100}, true, {11, 479, 49, 479, 30, 100}},
        {{-10, 10, 100, 30, 50, 400}, true, {-10, 10, 100, 30, 50, 400}}, // one corner: the clip's job
        {{640, 0, 700, 10, 650, 400}, false, {}},
        {{0, -1, 100, -5, 50, -100}, false, {}},
        {{0, 0, 10, 10, 20, 20}, false, {}}, // on one line
        {{-30000, 0, 100, 100, -30000, 479}, true, {0, 99, 100, 100, 0, 102}},
        // Products beyond 32 bits: the corners still slide along their edges.
        {{-100000, 0, -100000, 100000, 100, 200}, true, {0, 199, 0, 300, 100, 200}},
    };
    for (const Case& c : cases) {
        std::array<std::int32_t, 6> corners = c.corners;
        ASSERT_EQ(game::clipTriangle(corners, 640, 480), c.drawn) << testing::PrintToString(c.corners);
        if (c.drawn) {
            EXPECT_EQ(corners, c.after) << testing::PrintToString(c.corners);
        }
    }
    // The fill itself, on the frame's Graphics in its colour.
    screen.graphics->setColor(0xFF0000FF);
    game::fillClippedPolygon(-10, 10, -20, 50, 40, 30);
    EXPECT_EQ(screen.at(5, 30), on565(0xFF0000FFu));
    EXPECT_EQ(screen.at(50, 30), 0);
}

} // namespace
