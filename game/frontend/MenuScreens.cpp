#include "game/frontend/MenuScreens.h"

#include "game/data/Progress.h"
#include "game/framework/Anchors.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/sprite/ASprite.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kPictureCount = 3;
// Picture f (frame f of `kBonusPictureSprite`) sits at (47 + 204 f,
// 70 + 20 f), where its touch zone (`buildRowZones`) lies: the row steps
// down to the right.
constexpr std::int32_t kFirstPictureX = 47;
constexpr std::int32_t kPictureStep = 204;
constexpr std::int32_t kFirstPictureY = 70;
constexpr std::int32_t kPictureDrop = 20;
// The highlight around the picture: two colours swapped every 4 frames.
constexpr std::int32_t kHighlightColours[] = {0xFFD200, 0xFF7A00};
constexpr std::int32_t kHighlightBorder = 3;
constexpr std::int32_t kNameGap = 10;

// The prompt under a notice, kPromptRise px above the screen's bottom.
constexpr std::int32_t kPromptRise = 30;

bool pictureUnlocked(std::int32_t picture) {
    return picture >= 0 && picture < kPictureCount && hasProgressFlagC(picture);
}

void bonusEnter() {
    resetMenu(kPictureCount);
    // Nothing is highlighted until the player picks a picture, whatever was
    // highlighted when the menu was left.
    touchStatics().s_selection = -1;
    menuStatics().s_titleText = getString(46);
    setSoftKeys(1, 2);
    setHelpTexts(menuRow(kBonusMenu, kMenuThird));
    menuStatics().s_redraw = 1;
}

// Answers whether the stylus chose an unlocked picture.
bool touchPictures() {
    TouchStatics& touch = touchStatics();
    rt::ObjectArray* zones = buildRowZones(kPictureCount);
    bool chosen = false;
    for (std::int32_t i = 0; i < kPictureCount; ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        bool on = isPointerInRectArray(zone);
        bool tapped = isPressInRectArray(zone);
        if (on || tapped) {
            touch.s_touchUsed = 1;
            touch.s_selection = i;
            menuStatics().s_redraw = 1;
        }
        if (tapped && pictureUnlocked(i))
            chosen = true;
    }
    return chosen;
}

void bonusUpdate() {
    TouchStatics& touch = touchStatics();
    bool tappedChoice = touchPictures();
    bool unlocked = pictureUnlocked(touch.s_selection);
    std::int32_t flags = unlocked ? kMenuChooseFlags : kMenuBrowseFlags;
    setSoftKeys(unlocked ? 1 : -1, 2);
    bool keyChoice = handleMenuInput(1, -1, flags, flags, true);
    // A locked picture is never chosen, whatever the stylus did.
    if ((tappedChoice || keyChoice) && pictureUnlocked(touch.s_selection)) {
        if (std::optional<State> target = menuTarget(kBonusMenu, touch.s_selection)) {
            // The cup's own screen opens on the cup of the picture chosen.
            rememberSelection(State::CupSelect, touch.s_selection);
            pushState(*target);
        }
    }
    if (isKeyPressed(kRightSoftKey)) {
        popState();
        popState();
        pushState(State::RaceMenu);
    }
    // The highlight is animated.
    if (touch.s_selection >= 0)
        menuStatics().s_redraw = 1;
    scrollMenuText();
}

void paintPicture(std::int32_t picture) {
    rt::Object* sprite = spriteAt(kBonusPictureSprite);
    if (sprite && sprite->classId() == ASprite::kClassId)
        static_cast<ASprite*>(sprite)->setCurrentPalette(pictureUnlocked(picture) ? kUnlockedPalette
                                                                                  : kLockedPalette);
    std::int32_t x = kFirstPictureX + kPictureStep * picture;
    std::int32_t y = kFirstPictureY + kPictureDrop * picture;
    paintSpriteFrame(kBonusPictureSprite, picture, x, y);
    std::int32_t w = spriteFrameWidth(kBonusPictureSprite, picture);
    std::int32_t h = spriteFrameHeight(kBonusPictureSprite, picture);
    // Its name above it.
    rt::IntArray* names = menuRow(kBonusMenu, kMenuTexts);
    if (names && picture < names->length())
        drawMenuText(kMenuTextFont, pictureUnlocked(picture) ? 0 : 1,
                     getString(rt::IntArray::get(names, picture)), x + w / 2, y - kNameGap,
                     kAnchorBottomCentre);
    Graphics* g = loopStatics().s_graphics;
    if (picture != touchStatics().s_selection || !g)
        return;
    g->setColor(kHighlightColours[(stateStatics().s_stateFrames >> 2) & 1]);
    for (std::int32_t i = 1; i <= kHighlightBorder; ++i)
        g->drawRect(x - i, y - i, w + 2 * i - 1, h + 2 * i - 1);
}

void bonusPaint() {
    if (!mustRepaint())
        return;
    std::int32_t w = screenWidth();
    std::int32_t h = screenHeight();
    paintBackgroundPicture();
    paintSpriteFrame(kMenuFrameSprite, kMenuBarFrame, w / 2, h - kMenuBarHeight);
    paintScreenHeader();
    paintSpriteFrame(kMenuFrameSprite, kMenuEmblemFrame, w / 2, h / 2);
    for (std::int32_t picture = kPictureCount - 1; picture >= 0; --picture)
        paintPicture(picture);
    paintHelpLine();
    menuStatics().s_redraw = 0;
}

void noticePaint() {
    if (!mustRepaint())
        return;
    paintNotice(kPromotionNoticeText, startupScreenStatics().s_blinkVisible != 0);
    menuStatics().s_redraw = 0;
}

} // namespace

void paintNotice(std::int32_t text, bool promptShown) {
    std::int32_t w = screenWidth();
    std::int32_t h = screenHeight();
    fillScreen(0x000000);
    drawTextBlock(kMenuTextFont, 1, getString(text), kNoticeWidth, 0, w / 2, h / 2, kAnchorCentre);
    if (promptShown)
        drawMenuText(kMenuTextFont, 0, getString(kPromptText), w / 2, h - kPromptRise, kAnchorCentre);
}

void stateBonusMenu(std::int32_t message) {
    switch (message) {
    case kEnter:
        bonusEnter();
        break;
    case kUpdate:
        bonusUpdate();
        break;
    case kPaint:
        bonusPaint();
        break;
    case kExit:
        rememberSelection(State::BonusMenu, touchStatics().s_selection);
        break;
    default:
        break;
    }
}

void stateNotice(std::int32_t message) {
    switch (message) {
    case kEnter:
        setSoftKeys(0, -1);
        restartBlink();
        menuStatics().s_redraw = 1;
        break;
    case kUpdate:
        if (advanceBlink())
            menuStatics().s_redraw = 1;
        if (getReleasedKey() == kLeftSoftKey || isPressOnScreen())
            pushState(State::Promotion);
        break;
    case kPaint:
        noticePaint();
        break;
    default:
        break;
    }
}

void registerMenuScreens() {
    setStateHandler(State::BonusMenu, stateBonusMenu);
    setStateHandler(State::PromotionNotice, stateNotice);
}

} // namespace game
