// The front end's painted parts against the places the game draws them on a
// 640 x 480 screen: nothing of the art is cut by its own canvas or by the
// screen's edge, and the menus' emblem keeps clear of what is drawn beside
// it.

#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "tests/tools/PaintedBoxes.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

namespace {

using datakit::PaintedFrame;
using datakit::PaintedSprite;
using tools_testing::Box;
using tools_testing::boxOf;
using tools_testing::Pixels;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

const PaintedSprite& sprite(std::int32_t slot) {
    static const std::vector<std::optional<PaintedSprite>> sprites = mkdata::demoSprites();
    return *sprites.at(static_cast<std::size_t>(slot));
}

const PaintedFrame& frameOf(std::int32_t slot, std::int32_t frame) {
    return sprite(slot).frames.at(static_cast<std::size_t>(frame));
}

TEST(DemoMenuArt, TheSplashPicturesKeepAMarginInsideTheirCanvas) {
    for (std::int32_t frame : {game::kStudioLogoFrame, game::kSplashPictureFrame}) {
        const PaintedFrame& picture = frameOf(game::kSplashSprite, frame);
        const Box ink = boxOf(picture), canvas = boxOf(picture, Pixels::All);
        EXPECT_GT(ink.left, canvas.left) << "frame " << frame;
        EXPECT_GT(ink.top, canvas.top) << "frame " << frame;
        EXPECT_LT(ink.right, canvas.right) << "frame " << frame;
        EXPECT_LT(ink.bottom, canvas.bottom) << "frame " << frame;
    }
}

// The soft keys' zones: the frame's size less 4 px of height, the left one
// 8 px past the left edge, the right one 4 px past the right edge, both
// against the bottom. Plain and pressed, the button shows whole in both.
TEST(DemoMenuArt, TheSoftKeysShowWholeInBothBottomCorners) {
    for (std::int32_t frame : {game::kSoftKeyFrame, game::kSoftKeyFrameOff}) {
        const PaintedFrame& key = frameOf(game::kMenuItemSprite, frame);
        const Box size = boxOf(key, Pixels::All), ink = boxOf(key);
        const int w = size.right - size.left, y = kHeight - (size.bottom - size.top - 4);
        for (int x : {-8, kWidth - w + 4}) {
            EXPECT_GE(x + ink.left, 0) << "frame " << frame << " at x " << x;
            EXPECT_LE(x + ink.right, kWidth) << "frame " << frame << " at x " << x;
            EXPECT_LE(y + ink.bottom, kHeight) << "frame " << frame;
        }
    }
}

// The menus draw the emblem at (W / 2 + its frame's width / 2 - 35, H / 4),
// items of the item frame's width from x 10; the bonus menu draws it at the
// screen's centre, under its pictures (y 110 onwards).
TEST(DemoMenuArt, TheEmblemKeepsClearOfTheMenuItemsAndTheBonusPictures) {
    const PaintedFrame& emblem = frameOf(game::kMenuFrameSprite, game::kMenuEmblemFrame);
    const Box frame = boxOf(emblem, Pixels::All), ink = boxOf(emblem);
    const Box item = boxOf(frameOf(game::kMenuItemSprite, game::kItemOnFrame), Pixels::All);
    const int menuX = kWidth / 2 + (frame.right - frame.left) / 2 - 35;
    EXPECT_GE(menuX + ink.left, 10 + (item.right - item.left) + 10) << "10 px clear of the items";
    EXPECT_LE(menuX + ink.right, kWidth);

    const Box picture = boxOf(frameOf(game::kBonusPictureSprite, game::kFirstPictureFrame), Pixels::All);
    EXPECT_GT(kHeight / 2 + ink.top, 110 + picture.bottom) << "below the bonus menu's pictures";
}

} // namespace
