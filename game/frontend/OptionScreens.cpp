#include "game/frontend/OptionScreens.h"

#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/ReferenceFields.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

struct OptionScreenStatics {
    // The text screen's first line index.
    std::int32_t s_pageLine = kFirstPageLine;

    RT_NO_REFERENCE_FIELDS(OptionScreenStatics, rt::NoReferenceBase)
};

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kOptionsTitle = 33;
constexpr std::int32_t kTextPageTitle = 82;
constexpr std::int32_t kResetItemBit = 3;
// The items' labels: the sound item's in its two states, the reset item's;
// then the line under each item.
constexpr std::int32_t kSoundOnText = 300;
constexpr std::int32_t kSoundOffText = 301;
constexpr std::int32_t kResetText = 302;
constexpr std::int32_t kSoundHelpText = 303;
constexpr std::int32_t kResetHelpText = 304;
constexpr std::int32_t kItemPalette = 1;
constexpr std::int32_t kHighlightPalette = 0;
constexpr std::int32_t kFastKeyUp = 2;
constexpr std::int32_t kFastKeyDown = 14;
constexpr std::int32_t kLayerColour = static_cast<std::int32_t>(0xAA000000u);

OptionScreenStatics& statics() {
    return rt::getStaticClass().statics<OptionScreenStatics>();
}

void optionsEnter() {
    const bool resetOffered = hasProgressFlagC(kResetItemBit);
    resetMenu(resetOffered ? 2 : 1);
    setMenuItemValue(0, isSoundOn() ? 1 : 0);
    menuStatics().s_titleText = getString(kOptionsTitle);
    rt::IntArray* help = rt::newIntArray(2);
    rt::IntArray::set(help, 0, kSoundHelpText);
    rt::IntArray::set(help, 1, kResetHelpText);
    setHelpTexts(help);
    setSoftKeys(1, 2);
    menuStatics().s_redraw = 1;
}

void optionsUpdate() {
    const bool wasOn = menuItemValue(0) > 0;
    const bool onSoundItem = touchStatics().s_selection == 0;
    const bool chosen = handleMenuInput(onSoundItem ? 2 : 1, -1, kMenuChooseFlags, kMenuChooseSound, false);
    const bool on = menuItemValue(0) > 0;
    if (on != wasOn) {
        setSoundOption(on);
        if (on)
            requestSound(kMenuMusic);
        else
            stopMusic();
        menuStatics().s_redraw = 1;
    }
    if (chosen && touchStatics().s_selection == 1 && touchStatics().s_menuCount > 1)
        pushState(State::ResetQuestion);
    scrollMenuText();
}

// Item `i` in its frame, in the rectangle where the menu touch test looks
// for it, the frame centred in it.
void paintOptionItem(std::int32_t i, rt::IntArray* zone, rt::String* label) {
    const bool highlighted = touchStatics().s_selection == i;
    const std::int32_t x = rt::IntArray::get(zone, 0);
    const std::int32_t y = rt::IntArray::get(zone, 1);
    const std::int32_t w = rt::IntArray::get(zone, 2);
    const std::int32_t h = rt::IntArray::get(zone, 3);
    const std::int32_t frameH = spriteFrameHeight(kMenuItemSprite, kWideItemFrame);
    paintSpriteFrame(kMenuItemSprite, highlighted ? kAnswerOnFrame : kAnswerFrame, x, y + (h - frameH) / 2);
    drawMenuText(kMenuItemFont, highlighted ? kHighlightPalette : kItemPalette, label, x + w / 2, y + h / 2,
                 kAnchorCentre);
}

void optionsPaint() {
    if (!loopStatics().s_graphics)
        return;
    if (mustRepaint()) {
        paintBackgroundPicture();
        paintScreenHeader();
        const std::int32_t count = touchStatics().s_menuCount;
        rt::ObjectArray* zones = menuItemZones(count);
        for (std::int32_t i = 0; zones && i < count && i < zones->length(); ++i) {
            const std::int32_t text = i == 0 ? (isSoundOn() ? kSoundOnText : kSoundOffText) : kResetText;
            paintOptionItem(i, static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i)), getString(text));
        }
        menuStatics().s_redraw = 0;
    }
    // The line under the items moves every frame.
    paintHelpLine();
}

void pageEnter() {
    resetMenu(1);
    menuStatics().s_titleText = getString(kTextPageTitle);
    setSoftKeys(-1, 2);
    menuStatics().s_scrollTextY = kPageTop + 80;
    statics().s_pageLine = kFirstPageLine;
    menuStatics().s_redraw = 1;
}

void pageUpdate() {
    if (handleMenuInput(1, -1, kMenuBrowseFlags, kMenuBrowseFlags, false))
        return;
    MenuStatics& menu = menuStatics();
    const bool fast = isKeyHeld(kFastKeyUp) || isKeyHeld(kFastKeyDown);
    menu.s_scrollTextY -= fast ? kPageFastScroll : kPageScroll;
    // A line that has left the top gives way to the next.
    OptionScreenStatics& s = statics();
    while (menu.s_scrollTextY + kPageLinePitch <= kPageTop) {
        menu.s_scrollTextY += kPageLinePitch;
        if (++s.s_pageLine >= kLastPageLine) {
            s.s_pageLine = kFirstPageLine;
            menu.s_scrollTextY = kPageTop + 80;
            break;
        }
    }
    menu.s_redraw = 1;
}

void pagePaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    paintSpriteFrame(kMenuBackgroundSprite, kBackgroundFrame, 0, 0);
    setFillColor(kLayerColour);
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    fillRectAlpha(g, 0, 0, w, h);
    paintScreenHeader();
    setClip(g, 0, kPageTop, w, h - kPageTop);
    std::int32_t y = menuStatics().s_scrollTextY;
    for (std::int32_t line = statics().s_pageLine + 1; line < kLastPageLine && y < h; ++line) {
        drawMenuText(kMenuTextFont, 0, getString(line), w / 2, y, kAnchorTopCentre);
        y += kPageLinePitch;
    }
    setClip(g, 0, 0, w, h);
    paintHelpLine();
    menuStatics().s_redraw = 0;
}

} // namespace

std::int32_t textPageLine() {
    return statics().s_pageLine;
}

void stateOptions(std::int32_t message) {
    switch (message) {
    case kEnter:
        optionsEnter();
        break;
    case kUpdate:
        optionsUpdate();
        break;
    case kPaint:
        optionsPaint();
        break;
    case kExit:
        (void)saveProgress();
        break;
    default:
        break;
    }
}

void stateTextScreen(std::int32_t message) {
    switch (message) {
    case kEnter:
        pageEnter();
        break;
    case kUpdate:
        pageUpdate();
        break;
    case kPaint:
        pagePaint();
        break;
    default:
        break;
    }
}

void registerOptionScreens() {
    setStateHandler(State::Options, stateOptions);
    setStateHandler(State::TextScreen, stateTextScreen);
}

} // namespace game
