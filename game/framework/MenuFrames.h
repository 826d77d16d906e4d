#pragma once

// The frames, box points and palettes the front end draws and measures in
// its sprites (SpriteSlots.h), a type per sprite. Plain enums with a fixed
// type for the reason SpriteSlots.h gives: frames go through the same
// int32_t calls as frames computed from a count or an index.

#include <cstdint>

namespace game {

// `kSplashSprite`: the studio's logo, then the game's picture.
enum SplashFrame : std::int32_t {
    kStudioLogoFrame = 0,
    kSplashPictureFrame = 1,
};

// `kTitleBackgroundSprite` and `kTitleLogoSprite`: one frame each, drawn
// at the screen's top left.
enum TitleFrame : std::int32_t {
    kTitlePictureFrame = 0,
};

// `kQuestionBoxSprite`: frame n is the box for n answers, drawn from its
// centre. In a race the frame for three answers is also the results'
// panel, whose box point 0 gives the panel's inner rectangle.
enum QuestionBoxFrame : std::int32_t {
    kResultsPanelFrame = 3,
};
enum QuestionBoxPoint : std::int32_t {
    // Where the first answer's top edge goes.
    kAnswerPoint = 0,
    // The top centre of the box's title.
    kBoxTitlePoint = 1,
};

// `kMenuBackgroundSprite`: the picture, then what is laid over it; both
// drawn at the screen's top left.
enum MenuBackgroundFrame : std::int32_t {
    kBackgroundFrame = 0,
    kBackgroundOverlayFrame = 1,
};

// `kMenuArrowSprite`: an arrow pointing left and one pointing right, drawn
// from their top left; a screen's arrow zones alternate left and right.
enum MenuArrowFrame : std::int32_t {
    kLeftArrowFrame = 0,
    kRightArrowFrame = 1,
};

// `kMenuFrameSprite`.
enum MenuFrameFrame : std::int32_t {
    // The bar across the screen's top and bottom, from its top centre.
    kMenuBarFrame = 0,
    // The plate a racer's name sits on, from its centre.
    kNamePlateFrame = 1,
    // The gauge, its fill (clipped to the value) and the end piece at the
    // fill's end, each from its top left. The notch between them is drawn
    // by no screen.
    kGaugeFrame = 2,
    kGaugeFillFrame = 3,
    kGaugeNotchFrame = 4,
    kGaugeEndFrame = 5,
    // The emblem over the menus, from its anchor point; the frame may reach
    // further to one side of it than to the other.
    kMenuEmblemFrame = 6,
};

// `kMenuItemSprite`, every frame from its top left.
enum MenuItemFrame : std::int32_t {
    // A menu item, highlighted and plain.
    kItemOnFrame = 0,
    kItemFrame = 1,
    // A question's answer, highlighted and plain. The plain answer is also
    // the options menu's wide item, and the guided race's soft-key bar is
    // as high as it.
    kAnswerOnFrame = 2,
    kAnswerFrame = 3,
    kWideItemFrame = kAnswerFrame,
    // A soft key, pressed and plain; the pause button, pressed and plain.
    kSoftKeyFrame = 4,
    kSoftKeyFrameOff = 5,
    kPauseFrame = 7,
    kPauseFrameOff = 8,
};

// `kCupPictureSprite` and `kBonusPictureSprite`: frame n is picture n, from
// its top left, all of one size; in its own colours or, locked, in the grey
// that the load makes.
enum PictureFrame : std::int32_t {
    kFirstPictureFrame = 0,
};
enum PicturePalette : std::int32_t {
    kUnlockedPalette = 0,
    kLockedPalette = 1,
};

} // namespace game
