// The drawing wrappers with and without screen scaling and the virtual
// screen, the clipped pixel-array draw and the fill tile.

#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <vector>

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

struct GameGraphicsTest : framework_testing::FrameworkTest {
    GameGraphicsTest() {
        game::OrvelLibConfig::staticInit();
        image = Image::createImage(8, 8);
        graphics = image->getGraphics();
        game::loopStatics().s_graphics = graphics;
    }
    ~GameGraphicsTest() override { game::loopStatics().s_graphics = nullptr; }

    static rt::IntArray* ints(const std::vector<std::int32_t>& values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            rt::IntArray::set(array, static_cast<std::int32_t>(i), values[i]);
        return array;
    }
    static std::vector<std::int32_t> values(rt::IntArray* array) {
        std::vector<std::int32_t> out;
        for (std::int32_t i = 0; i < array->length(); ++i)
            out.push_back(rt::IntArray::get(array, i));
        return out;
    }
    std::vector<std::int32_t> clip() const {
        return {game::getClipX(graphics), game::getClipY(graphics), game::getClipWidth(graphics),
                game::getClipHeight(graphics)};
    }
    // The red channel of each pixel of the image, row by row, cut to the
    // five bits a 565 pixel keeps.
    std::vector<std::int32_t> reds() const {
        rt::IntArray* argb = rt::newIntArray(64);
        image->getRGB(argb, 0, 8, 0, 0, 8, 8);
        std::vector<std::int32_t> out;
        for (std::int32_t pixel : values(argb))
            out.push_back((pixel >> 16) & 0xF8);
        return out;
    }

    Image* image = nullptr;
    Graphics* graphics = nullptr;
};

TEST_F(GameGraphicsTest, ClipGoesToTheGraphicsOrToTheVirtualScreenScaled) {
    game::setClip(graphics, 1, 2, 3, 4);
    EXPECT_EQ(clip(), (std::vector<std::int32_t>{1, 2, 3, 4}));
    game::clipRect(graphics, 2, 0, 8, 8);
    EXPECT_EQ(clip(), (std::vector<std::int32_t>{2, 2, 2, 4}));

    // Scaling by the ratio 3 / 2, then on the virtual screen by a shift of 1.
    game::config().s_scaledGraphics = 1;
    game::GraphicsStatics& statics = game::graphicsStatics();
    statics.s_screenScaled = 1;
    statics.s_scaleNumeratorX = statics.s_scaleNumeratorY = 3;
    statics.s_scaleDenominatorX = statics.s_scaleDenominatorY = 2;
    game::setClip(graphics, 0, 2, 4, 2);
    EXPECT_EQ(clip(), (std::vector<std::int32_t>{0, 3, 6, 3}));

    game::config().s_virtualScreen = 1;
    statics.s_virtualScreenActive = 1;
    statics.s_scaleByShift = 1;
    statics.s_scaleShiftX = statics.s_scaleShiftY = 1;
    game::setClip(graphics, 5, 6, 10, 20);
    EXPECT_EQ(clip(), (std::vector<std::int32_t>{10, 12, 20, 40}));
    game::clipRect(graphics, 0, 0, 15, 100);
    EXPECT_EQ(clip(), (std::vector<std::int32_t>{10, 12, 5, 40}));
    game::clipRect(graphics, 100, 0, 5, 5);
    EXPECT_EQ(game::getClipWidth(graphics), 0);
    // The Graphics kept the clip it had.
    EXPECT_EQ((std::vector<std::int32_t>{graphics->getClipX(), graphics->getClipY(), graphics->getClipWidth(),
                                         graphics->getClipHeight()}),
              (std::vector<std::int32_t>{0, 3, 6, 3}));
}

TEST_F(GameGraphicsTest, WrappersDrawOnTheGamesGraphicsAndFixTheTextAnchor) {
    struct Anchor {
        std::int32_t given, fixed;
    };
    for (const Anchor& a : {Anchor{2, 64}, {2 | 1, 64 | 1}, {2 | 8, 64 | 8}, {20, 20}, {64 | 2, 64}, {0, 0}})
        EXPECT_EQ(game::fixTextAnchor(a.given), a.fixed) << a.given;

    game::setColorRGB(0x12, 0x34, 0x56);
    EXPECT_EQ(graphics->getColor() & 0xFFFFFF, 0x123456);

    game::loopStatics().s_graphics = nullptr;
    game::setColorRGB(1, 2, 3);
    game::drawString(nullptr, 0, 0, 20);
    EXPECT_TRUE(log.contains("NullPointer"));
}

TEST_F(GameGraphicsTest, ClippedPixelArrayMovesItsSourceWithTheCut) {
    // A 4 x 4 block whose red channel counts its pixels, 8 apart.
    std::vector<std::int32_t> block;
    for (std::int32_t i = 0; i < 16; ++i)
        block.push_back(
            static_cast<std::int32_t>(0xFF000000u | static_cast<std::uint32_t>((i + 1) * 8) << 16));
    rt::IntArray* rgb = ints(block);

    // With the translate switch the screen's edge cuts at the translated
    // position: the block at (-4, -3) + (3, 2) loses a column and a row.
    graphics->translate(3, 2);
    game::config().s_rgbClipSwitch = 1;
    game::drawRGBClipped(graphics, rgb, 0, 4, -4, -3, 4, 4, false);
    EXPECT_EQ(reds()[0], 6 * 8);
    EXPECT_EQ(reds()[2 * 8 + 2], 16 * 8);
    EXPECT_EQ(graphics->getTranslateX(), 3);
    EXPECT_EQ(graphics->getTranslateY(), 2);
    graphics->translate(-3, -2);
    graphics->setColor(0);
    graphics->fillRect(0, 0, 8, 8);

    // On the virtual screen its clip (2, 2, 2, 2) cuts a block drawn at (0, 0).
    game::config().s_virtualScreen = 1;
    game::graphicsStatics().s_virtualScreenActive = 1;
    game::setClip(graphics, 2, 2, 2, 2);
    game::drawRGBClipped(graphics, rgb, 0, 4, 0, 0, 4, 4, false);
    const std::vector<std::int32_t> red = reds();
    EXPECT_EQ(red[2 * 8 + 2], 11 * 8);
    EXPECT_EQ(red[2 * 8 + 3], 12 * 8);
    EXPECT_EQ(red[3 * 8 + 2], 15 * 8);
    EXPECT_EQ(red[3 * 8 + 3], 16 * 8);
    EXPECT_EQ(red[0], 0);
    EXPECT_EQ(red[1 * 8 + 2], 0);
    EXPECT_EQ(red[2 * 8 + 1], 0);
}

TEST_F(GameGraphicsTest, FillTileIsRemadeOnlyForANewColour) {
    game::GraphicsStatics& statics = game::graphicsStatics();
    game::setFillColor(static_cast<std::int32_t>(0x80FF0000));
    ASSERT_NE(statics.s_fillTile, nullptr);
    ASSERT_NE(statics.s_fillTileImage, nullptr);
    EXPECT_EQ(statics.s_fillTileImage->getWidth(), 16);
    EXPECT_EQ(values(statics.s_fillTile),
              std::vector<std::int32_t>(256, static_cast<std::int32_t>(0x80FF0000)));

    Image* made = statics.s_fillTileImage;
    game::setFillColor(static_cast<std::int32_t>(0x80FF0000));
    EXPECT_EQ(statics.s_fillTileImage, made);
    game::setFillColor(0x40000000);
    EXPECT_NE(statics.s_fillTileImage, made);
    EXPECT_EQ(rt::IntArray::get(statics.s_fillTile, 255), 0x40000000);

    // A paint alternating between two colours makes no further image, and
    // the tile's pixels follow the colour.
    Image* second = statics.s_fillTileImage;
    for (int frame = 0; frame < 3; ++frame) {
        game::setFillColor(static_cast<std::int32_t>(0x80FF0000));
        EXPECT_EQ(statics.s_fillTileImage, made);
        EXPECT_EQ(rt::IntArray::get(statics.s_fillTile, 0), static_cast<std::int32_t>(0x80FF0000));
        game::setFillColor(0x40000000);
        EXPECT_EQ(statics.s_fillTileImage, second);
    }
    // Four other colours push the first one out; a new side drops every
    // kept image, since they are of the old size.
    for (std::int32_t colour : {0x10000001, 0x10000002, 0x10000003, 0x10000004})
        game::setFillColor(colour);
    game::setFillColor(static_cast<std::int32_t>(0x80FF0000));
    EXPECT_NE(statics.s_fillTileImage, made);
    game::config().s_fillTileSide = 8;
    game::setFillColor(0x10000004);
    ASSERT_NE(statics.s_fillTileImage, nullptr);
    EXPECT_EQ(statics.s_fillTileImage->getWidth(), 8);
}

TEST_F(GameGraphicsTest, TranslucentFillTilesTheRectangleCutToTheClipAndRestoresTheClip) {
    // Tiles of 3 make the last column and row overhang the cut.
    game::config().s_fillTileSide = 3;
    const std::vector<std::int32_t> clipBefore = {2, 1, 5, 5};
    for (std::int8_t imageMode : {1, 0}) {
        SCOPED_TRACE(imageMode ? "tiled image" : "tiled pixels");
        game::config().s_translucentFill = imageMode;
        graphics->setClip(0, 0, 8, 8);
        graphics->setColor(0);
        graphics->fillRect(0, 0, 8, 8);
        graphics->setClip(2, 1, 5, 5);
        game::setFillColor(static_cast<std::int32_t>(0xFFFF0000));

        // Outside the clip: nothing drawn, the clip as it was.
        game::fillRectAlpha(graphics, 7, 0, 5, 5);
        EXPECT_EQ(reds(), std::vector<std::int32_t>(64, 0));
        EXPECT_EQ(clip(), clipBefore);

        // (1, 2, 5, 8) under the clip is (2, 2, 4, 4).
        game::fillRectAlpha(graphics, 1, 2, 5, 8);
        std::vector<std::int32_t> expected(64, 0);
        for (std::int32_t y = 2; y < 6; ++y) {
            for (std::int32_t x = 2; x < 6; ++x)
                expected[static_cast<std::size_t>(y * 8 + x)] = 0xF8;
        }
        EXPECT_EQ(reds(), expected);
        EXPECT_EQ(clip(), clipBefore);
    }
}

} // namespace
