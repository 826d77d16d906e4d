#include "game/ui/MenuPaint.h"

#include "game/data/SoundRequests.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/ListZones.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"

#include <algorithm>

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

// The gauge panel: three rows 20 pixels apart, each gauge 8 pixels right of
// its label's end, its filling shown 12 pixels high up to the value and the
// end piece at the filled width.
constexpr std::int32_t kGaugeCount = 3;
constexpr std::int32_t kGaugeRowStep = 20;
constexpr std::int32_t kGaugeGap = 8;
constexpr std::int32_t kGaugeFillHeight = 12;
constexpr std::int32_t kPromotionItem = 1;
// Title picture sprites, freed once a menu shows.
constexpr std::int32_t kTitleSprites[] = {kTitleBackgroundSprite, kTitleLogoSprite};
// Items are drawn this far above their row's y, their labels clipped this far
// inside their frame.
constexpr std::int32_t kItemRise = 22;
constexpr std::int32_t kLabelInset = 10;
// What the pause list's sound switch adds to its label, sound on and off.
constexpr std::int32_t kSoundOnSuffix = 63;
constexpr std::int32_t kSoundOffSuffix = 64;

Graphics* graphics() {
    return loopStatics().s_graphics;
}

// The width of `text` in `font`; 0 while the font is not loaded.
std::int32_t textWidth(std::int32_t font, rt::String* text) {
    ASprite* loaded = loadedFont(font);
    if (!loaded || !text)
        return 0;
    measureString(loaded, text, nullptr);
    return fontStatics().s_textWidth;
}

// `first` and `second` (either may be null) as one line in the running-text
// font, centred on (x, y); drawn as two texts, so that the frame makes no
// joined string.
void drawCentredPair(std::int32_t palette, rt::String* first, rt::String* second, std::int32_t x,
                     std::int32_t y) {
    const std::int32_t firstWidth = textWidth(kMenuTextFont, first);
    const std::int32_t left = x - (firstWidth + textWidth(kMenuTextFont, second)) / 2;
    drawMenuText(kMenuTextFont, palette, first, left, y, kAnchorLeftCentre);
    drawMenuText(kMenuTextFont, palette, second, left + firstWidth, y, kAnchorLeftCentre);
}

void clipToScreen() {
    if (Graphics* g = graphics())
        setClip(g, 0, 0, screenWidth(), screenHeight());
}

// Frees what the title screen leaves: its two pictures and their palettes.
void dropTitlePictures() {
    rt::ObjectArray* sprites = startupStatics().s_sprites;
    if (!sprites)
        return;
    for (std::int32_t number : kTitleSprites) {
        unloadSprite(number);
    }
}

// The background picture and the bar along the bottom.
void paintBackgroundAndBar() {
    paintBackgroundPicture();
    paintSpriteFrame(kMenuFrameSprite, kMenuBarFrame, screenWidth() / 2, screenHeight() - kMenuBarHeight);
}

void paintMenuBackground() {
    std::int32_t w = screenWidth();
    paintBackgroundAndBar();
    paintScreenHeader();
    paintSpriteFrame(kMenuFrameSprite, kMenuEmblemFrame,
                     w / 2 + spriteFrameWidth(kMenuFrameSprite, kMenuEmblemFrame) / 2 - 35,
                     screenHeight() / 4);
}

// The x of item `i` of `count`: at rest, or sliding out one after another
// from the top once the chosen item has blinked.
std::int32_t itemX(std::int32_t i, std::int32_t count) {
    const MenuStatics& menu = menuStatics();
    if (menu.s_menuLeaving == 0 || menu.s_menuChoiceBlink > 0)
        return kMenuItemX;
    std::int32_t leaving = count - menu.s_menuSlideCount;
    if (i < leaving)
        return kMenuItemGoneX;
    if (i == leaving)
        return std::max(menu.s_menuSlideOut, kMenuItemGoneX);
    return kMenuItemX;
}

std::int32_t textIdAt(rt::IntArray* ids, std::int32_t i) {
    return ids && i >= 0 && i < ids->length() ? rt::IntArray::get(ids, i) : -1;
}

} // namespace

void paintBackgroundPicture() {
    paintSpriteFrame(kMenuBackgroundSprite, kBackgroundFrame, 0, 0);
    paintSpriteFrame(kMenuBackgroundSprite, kBackgroundOverlayFrame, 0, 0);
}

bool mustRepaint() {
    const MenuStatics& menu = menuStatics();
    return menu.s_redraw != 0 || menu.s_fullRepaint != 0;
}

void fillScreen(std::int32_t rgb) {
    if (Graphics* g = graphics()) {
        g->setColor(rgb);
        fillRect(g, 0, 0, screenWidth(), screenHeight());
    }
}

void paintSpriteFrame(std::int32_t sprite, std::int32_t frame, std::int32_t x, std::int32_t y) {
    rt::Object* object = spriteAt(sprite);
    if (object && object->classId() == ASprite::kClassId)
        paintFrame(static_cast<ASprite*>(object), graphics(), frame, x, y, 0, 0, 0);
}

std::int32_t spriteFrameCount(std::int32_t sprite) {
    rt::Object* object = spriteAt(sprite);
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object)->getFrameCount()
                                                            : 0;
}

void paintOptionArrows(rt::ObjectArray* zones) {
    for (std::int32_t i = 0; zones && i < zones->length(); ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        if (!zone)
            continue;
        // Centred: a zone larger than its arrow may begin past the screen's
        // edge (the selection screens' outer zones do) while the arrow shows
        // whole inside it.
        const std::int32_t frame = i % 2 == 0 ? kLeftArrowFrame : kRightArrowFrame;
        paintSpriteFrame(kMenuArrowSprite, frame,
                         rt::IntArray::get(zone, 0) +
                             (rt::IntArray::get(zone, 2) - spriteFrameWidth(kMenuArrowSprite, frame)) / 2,
                         rt::IntArray::get(zone, 1) +
                             (rt::IntArray::get(zone, 3) - spriteFrameHeight(kMenuArrowSprite, frame)) / 2);
    }
}

void drawMenuText(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t x, std::int32_t y,
                  std::int32_t anchor) {
    // A font not loaded yet draws nothing, without a report each frame.
    if (ASprite* loaded = loadedFont(font)) {
        loaded->setCurrentPalette(palette);
        drawString(loaded, graphics(), text, nullptr, x, y, anchor, false);
    }
}

void drawTextBlock(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t maxWidth,
                   std::int32_t lineHeight, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    ASprite* loaded = loadedFont(font);
    Graphics* g = graphics();
    if (!loaded || !text || !g)
        return;
    loaded->setCurrentPalette(palette);
    // The block's line step is the font's height plus its spacing; the
    // spacing is lent for the one call so that the step is `lineHeight`.
    std::int32_t spacing = loaded->m_lineSpacing;
    if (lineHeight > 0)
        loaded->m_lineSpacing = lineHeight - loaded->m_lineHeight;
    drawTextBox(loaded, g, text, computeLineBreaks(loaded, text, maxWidth, 0), x, y, 0, -1, anchor, -1);
    loaded->m_lineSpacing = spacing;
}

rt::IntArray* questionBoxPoint(std::int32_t frame, std::int32_t box) {
    MenuStatics& menu = menuStatics();
    if (!menu.s_boxPoint)
        menu.s_boxPoint = rt::newIntArray(4);
    rt::IntArray* point = menu.s_boxPoint;
    if (!point)
        return nullptr;
    for (std::int32_t i = 0; i < 4; ++i)
        rt::IntArray::set(point, i, 0);
    rt::Object* sprite = spriteAt(kQuestionBoxSprite);
    if (sprite && sprite->classId() == ASprite::kClassId)
        static_cast<ASprite*>(sprite)->getFrameBox(frame, box, point, 0);
    return point;
}

void paintScreenHeader() {
    clipToScreen();
    paintSpriteFrame(kMenuFrameSprite, kMenuBarFrame, screenWidth() / 2, 0);
    drawMenuText(kMenuTitleFont, 0, menuStatics().s_titleText, screenWidth() / 2 - 4, 8, kAnchorTopCentre);
}

void paintHelpLine() {
    const MenuStatics& menu = menuStatics();
    std::int32_t id = textIdAt(menu.s_helpTexts, touchStatics().s_selection);
    if (id < 0)
        return;
    // The line moves every frame while the menu under it repaints only when
    // asked: the bar it runs in is painted anew first, so that no trace of
    // the last frame's text stays beside it.
    if (Graphics* g = graphics()) {
        std::int32_t barTop = screenHeight() - kMenuBarHeight;
        setClip(g, 0, barTop, screenWidth(), kMenuBarHeight);
        paintBackgroundAndBar();
    }
    drawMenuText(kMenuTextFont, 1, getString(id), menu.s_helpLineX, menu.s_helpLineY, kAnchorTopLeft);
    clipToScreen();
}

void scrollMenuText() {
    MenuStatics& menu = menuStatics();
    menu.s_helpLineX -= kHelpLineStep;
    std::int32_t id = textIdAt(menu.s_helpTexts, touchStatics().s_selection);
    std::int32_t width = id < 0 ? 0 : textWidth(kMenuTextFont, getString(id));
    if (menu.s_helpLineX + width < 0)
        menu.s_helpLineX = screenWidth();
}

void setHelpTexts(rt::IntArray* textIds) {
    MenuStatics& menu = menuStatics();
    initMenuLayout();
    menu.s_helpTexts = textIds;
    setTextLines(textIds);
    menu.s_helpLineX = screenWidth();
}

void paintMenu(std::int32_t count, rt::IntArray* textIds) {
    if (!mustRepaint())
        return;
    MenuStatics& menu = menuStatics();
    dropTitlePictures();
    paintMenuBackground();
    const State state = stateStatics().s_state;
    if (state == State::ExitQuestion)
        return;

    bool mainMenu = state == State::MainMenu;
    bool promotionShown = promotionItemShown();
    std::int32_t shown = mainMenu && !promotionShown ? count - 1 : count;
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kItemOnFrame);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kItemOnFrame);
    std::int32_t selection = touchStatics().s_selection;
    if (menu.s_menuLeaving != 0 && menu.s_menuChoiceBlink > 0)
        menu.s_menuSlideOut = kMenuItemX;

    std::int32_t y = menuTop(shown);
    for (std::int32_t i = 0; i < count; ++i) {
        if (mainMenu && i == kPromotionItem && !promotionShown)
            continue;
        // The promotion item is drawn as every other: it is shown only when it
        // works, so nothing may make it look switched off.
        std::int32_t palette = 1;
        if (i == selection)
            palette = 3 - (menu.s_menuChoiceBlink & 1);
        std::int32_t x = itemX(i, count);
        paintSpriteFrame(kMenuItemSprite, i == selection ? kItemOnFrame : kItemFrame, x, y - kItemRise);
        if (Graphics* g = graphics())
            setClip(g, x + kLabelInset, y - kItemRise, w - 2 * kLabelInset, h);
        std::int32_t id = textIdAt(textIds, i);
        if (id >= 0) {
            rt::String* label = getString(id);
            drawMenuText(kMenuItemFont, palette, label,
                         x + w / 2 + getTickerOffset(label, w - 2 * kLabelInset), y + h / 2 - kItemRise,
                         kAnchorCentre);
        }
        clipToScreen();
        y += h;
    }
    // The leaving item has gone: the next one starts from the rest position.
    if (menu.s_menuLeaving != 0 && menu.s_menuSlideOut <= kMenuItemGoneX && menu.s_menuSlideCount > 1) {
        menu.s_menuSlideOut = kMenuItemX;
        menu.s_menuSlideCount = std::max(1, menu.s_menuSlideCount - 1);
    }
}

void paintQuestionBox(std::int32_t answer, std::int32_t x, std::int32_t y) {
    const MenuStatics& menu = menuStatics();
    std::int32_t boxFrame = menu.s_questionPaintCount;
    paintSpriteFrame(kQuestionBoxSprite, boxFrame, x, y);
    paintBoxTitle(x, y);

    rt::IntArray* box = questionBoxPoint(boxFrame, kAnswerPoint);
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kAnswerFrame);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kAnswerFrame);
    std::int32_t left = x - w / 2;
    std::int32_t top = y + rt::IntArray::get(box, 1);
    rt::IntArray* texts = menu.s_questionAnswerTexts;
    std::int32_t count = std::min(menu.s_questionPaintCount, texts ? texts->length() : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        bool highlighted = i == answer;
        paintSpriteFrame(kMenuItemSprite,
                         highlighted && touchStatics().s_touchUsed != 0 ? kAnswerOnFrame : kAnswerFrame, left,
                         top);
        rt::String* label = getString(rt::IntArray::get(texts, i));
        if (isPauseSoundItem(i))
            drawCentredPair(highlighted ? 0 : 1, label,
                            getString(isSoundOn() ? kSoundOnSuffix : kSoundOffSuffix), left + w / 2,
                            top + h / 2);
        else
            drawMenuText(kMenuTextFont, highlighted ? 0 : 1, label, left + w / 2, top + h / 2, kAnchorCentre);
        top += h;
    }
}

void paintGaugePanel(std::int32_t x, std::int32_t y, rt::IntArray* labels, rt::IntArray* values) {
    Graphics* g = graphics();
    std::int32_t width = spriteFrameWidth(kMenuFrameSprite, kGaugeFrame);
    std::int32_t gaugeX = x + kGaugeGap;
    for (std::int32_t i = 0; i < kGaugeCount; ++i) {
        std::int32_t rowY = y + i * kGaugeRowStep;
        std::int32_t label = textIdAt(labels, i);
        if (label >= 0)
            drawMenuText(kMenuTextFont, 1, getString(label), x, rowY, kAnchorTopRight);
        std::int32_t percent =
            std::clamp(values && i < values->length() ? rt::IntArray::get(values, i) : 0, 0, 100);
        std::int32_t filled = width * percent / 100;
        paintSpriteFrame(kMenuFrameSprite, kGaugeFrame, gaugeX, rowY);
        if (g)
            setClip(g, gaugeX, rowY, filled, kGaugeFillHeight);
        paintSpriteFrame(kMenuFrameSprite, kGaugeFillFrame, gaugeX, rowY);
        clipToScreen();
        paintSpriteFrame(kMenuFrameSprite, kGaugeEndFrame, gaugeX + filled, rowY);
    }
}

void paintBoxTitle(std::int32_t x, std::int32_t y) {
    const MenuStatics& menu = menuStatics();
    if (menu.s_questionTitleText < 0)
        return;
    rt::IntArray* box = questionBoxPoint(menu.s_questionPaintCount, kBoxTitlePoint);
    drawMenuText(kMenuTextFont, 1, getString(menu.s_questionTitleText), x + rt::IntArray::get(box, 0),
                 y + rt::IntArray::get(box, 1), kAnchorTopCentre);
}

} // namespace game
