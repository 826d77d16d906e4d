#include "game/racepaint/Hud.h"

#include "classlib/lang/StringBuffer.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/cEntity.h"
#include "game/racepaint/HudText.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "game/sprite/TextLayout.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

// The held HUD button's highlight.
constexpr std::int32_t kHudButtonHighlight = 0xFF0000;

// Texts of the display.
constexpr std::int32_t kCollectedText = 45;
constexpr std::int32_t kBestTimeText = 46;
constexpr std::int32_t kClockText = 47;
constexpr std::int32_t kNumberText = 48;
constexpr std::int32_t kLapText = 30;
constexpr std::int32_t kItemNames = 82;

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kLapBoxColour = 0x6088C8;
constexpr std::int32_t kPenaltyShade = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kSlotShade = static_cast<std::int32_t>(0xBB100000u);

// The frames that show item 8 by driver kind.
constexpr std::int32_t kDriverItemFrames[kDriverKinds] = {
    kDriverItemIconFrame,        kFirstDriverColourFrame,     kFirstDriverColourFrame + 1,
    kFirstDriverColourFrame + 2, kFirstDriverColourFrame + 3, kFirstDriverColourFrame + 4};

// x of the place number and the lap counter; the item slot and its icon.
constexpr std::int32_t kPlaceX = 540;
constexpr std::int32_t kLapX = 440;
constexpr std::int32_t kSlotX = 540;
constexpr std::int32_t kSlotY = 375;
constexpr std::int32_t kIconX = 555;
constexpr std::int32_t kIconY = 390;

void fillShaded(std::int32_t argb, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (Graphics* g = loopStatics().s_graphics) {
        setFillColor(argb);
        fillRectAlpha(g, x, y, w, h);
    }
}

cEntity* player() {
    return racerStatics().s_playerCar;
}

// The gauge's top: higher in the guided race's start, race and pause.
std::int32_t gaugeTop() {
    const State state = stateStatics().s_state;
    const bool guideScreen =
        state == State::Race || state == State::RaceCountdown || state == State::PauseMenu;
    return stateStatics().s_gameMode == GameMode::Guided && guideScreen ? 67 : 90;
}

// An item's icon, and its name while no item is in use outside the guide.
void paintItem(std::int32_t item, const cEntity* car) {
    const std::int32_t icon = itemIconFrame(item);
    if (icon < 0)
        return;
    paintRaceFrame(kRaceIconSprite, icon, kIconX, kIconY);
    if (car->m_itemTimer < 1 && stateStatics().s_gameMode != GameMode::Guided)
        drawHudString(kHudFont, 0, getString(kItemNames + item), kLapX, hudPaintStatics().s_lapY + 6,
                      kAnchorTopCentre);
}

} // namespace

void fillRaceRect(std::int32_t rgb, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (Graphics* g = loopStatics().s_graphics) {
        g->setColor(rgb);
        fillRect(g, x, y, w, h);
    }
}

std::int32_t raceScreenWidth() {
    return config().s_gameScreenWidth;
}

std::int32_t raceScreenHeight() {
    return config().s_gameScreenHeight;
}

HudPaintStatics& hudPaintStatics() {
    return rt::getStaticClass().statics<HudPaintStatics>();
}

void hudPaintStaticInit() {
    HudPaintStatics& s = hudPaintStatics();
    if (!s.s_driverItemFrames) {
        s.s_driverItemFrames = rt::newIntArray(kDriverKinds);
        for (std::int32_t i = 0; s.s_driverItemFrames && i < kDriverKinds; ++i)
            rt::IntArray::set(s.s_driverItemFrames, i, kDriverItemFrames[i]);
    }
    if (!s.s_frameBox)
        s.s_frameBox = rt::newIntArray(4);
    hudTextStaticInit();
}

ASprite* raceSprite(std::int32_t number) {
    rt::Object* object = spriteAt(number);
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

void paintRaceFrame(std::int32_t number, std::int32_t frame, std::int32_t x, std::int32_t y) {
    ASprite* sprite = raceSprite(number);
    Graphics* g = loopStatics().s_graphics;
    if (sprite && g && frame >= 0 && frame < sprite->getFrameCount())
        paintFrame(sprite, g, frame, x, y, 0, 0, 0);
}

std::int32_t raceFrameWidth(std::int32_t number, std::int32_t frame) {
    ASprite* sprite = raceSprite(number);
    return sprite && frame >= 0 && frame < sprite->getFrameCount() ? getFrameWidth(sprite, frame) : 0;
}

std::int32_t raceFrameHeight(std::int32_t number, std::int32_t frame) {
    ASprite* sprite = raceSprite(number);
    return sprite && frame >= 0 && frame < sprite->getFrameCount() ? getFrameHeight(sprite, frame) : 0;
}

rt::IntArray* raceFrameBox(ASprite* sprite, std::int32_t frame, std::int32_t box) {
    HudPaintStatics& s = hudPaintStatics();
    if (!s.s_frameBox)
        s.s_frameBox = rt::newIntArray(4);
    rt::IntArray* out = s.s_frameBox;
    if (!out)
        return nullptr;
    for (std::int32_t i = 0; i < 4; ++i)
        rt::IntArray::set(out, i, 0);
    if (sprite)
        sprite->getFrameBox(frame, box, out, 0);
    return out;
}

std::int32_t itemIconFrame(std::int32_t item) {
    if (item < 0 || item > kDriverItem)
        return -1;
    if (item != kDriverItem)
        return kFirstItemIconFrame + item;
    const cEntity* car = player();
    rt::IntArray* frames = hudPaintStatics().s_driverItemFrames;
    const std::int32_t kind = car ? car->m_driverKind : -1;
    return frames && kind >= 0 && kind < frames->length() ? rt::IntArray::get(frames, kind) : -1;
}

void paintHud() {
    Graphics* g = loopStatics().s_graphics;
    if (!g)
        return;
    const ShakeStatics& u = shakeStatics();
    const std::int32_t shakeX = u.s_shakeX;
    const std::int32_t shakeY = u.s_shakeY;
    g->translate(-shakeX, -shakeY);
    const EventGoalStatics& goals = eventGoalStatics();
    using namespace hud_bits;
    if (isHudElementShown(kRacerStrip)) {
        paintHudRacerStrip();
        paintHudPosition();
    }
    if (isHudElementShown(kCollectedBox))
        paintHudCollectedBox();
    if (isHudElementShown(kLapCounter))
        paintHudLapCounter();
    if (isHudElementShown(kCollectedGauge))
        paintHudCollectedGauge();
    if (isHudElementShown(kTargetTimes))
        paintHudTargetTimes();
    if (isHudElementShown(kTargetNumbers))
        paintHudTargetNumbers();
    if (isHudElementShown(kStopZoneTime))
        paintHudBigTime(kStopZoneTime, goals.s_stopZone.clock);
    if (isHudElementShown(kSectionTime))
        paintHudBigTime(kSectionTime, goals.s_section.clock);
    if (isHudElementShown(kEventTimes))
        paintHudTwoTimes(goals.s_eventBestTime, goals.s_eventClock);
    if (isHudElementShown(kScore))
        paintHudCentredNumber(goals.s_score);
    if (isHudElementShown(kStopGo)) {
        paintHudNoticePanel();
        paintHudTwoTimes(goals.s_eventBestTime, goals.s_stopGoClock);
    }
    if (isHudElementShown(kPoints))
        paintHudCentredNumber(goals.s_points);
    if (isHudElementShown(kSecondSectionTime))
        paintHudBigTime(kSecondSectionTime, goals.s_secondSection.clock);
    if (isHudElementShown(kSplitTimes))
        paintHudSplitTimes();
    if (isHudElementShown(kItemPanel))
        paintHudItemPanel();
    g->translate(shakeX, shakeY);
}

void paintHudRacerStrip() {
    const cEntity* me = player();
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        const cEntity* car = racerAt(i);
        if (car)
            paintRaceFrame(kRacerBadgeSprite, car == me ? car->m_driverKind : car->m_carType, 10 + 80 * i, 1);
    }
}

void paintHudPosition() {
    const cEntity* car = player();
    if (!car)
        return;
    const std::int32_t y = hudPaintStatics().s_positionY;
    paintRaceFrame(kHudNumberSprite, hudNumberFrame(car->m_racePosition + 1), kPlaceX, y);
    paintRaceFrame(kPlaceSprite, kFirstPlaceEndingFrame + car->m_racePosition, kPlaceX, y);
}

void paintHudCollectedBox() {
    const cEntity* car = player();
    if (!car)
        return;
    rt::String* label = getString(kCollectedText);
    drawHudString(kHudFont, 0, label, 275 - hudStringWidth(kHudFont, label), 6, kAnchorTopLeft);
    fillRaceRect(kWhite, 175, 35, 100, 36);
    fillRaceRect(kBlack, 177, 37, 96, 32);
    lib::StringBuffer* text = clearedHudBuffer();
    text->append(car->m_collected);
    text->append(constantText(rt::constants::kHudCountSeparator));
    text->append(currentEventField(1, 0));
    takeHudBuffer();
    drawHudBuffer(kHudFont, 0, 225, 53, kAnchorCentre);
}

void paintHudLapCounter() {
    const cEntity* car = player();
    if (!car)
        return;
    const std::int32_t laps = raceStatics().s_laps;
    std::int32_t lap = car->m_lap > laps ? laps : car->m_lap;
    if (lap == 0)
        lap = 1;
    const std::int32_t y = hudPaintStatics().s_lapY;
    paintRaceFrame(kHudNumberSprite, hudNumberFrame(lap), kLapX, y);
    const std::int32_t fw = raceFrameWidth(kHudNumberSprite, hudNumberFrame(lap));
    const std::int32_t fh = raceFrameHeight(kHudNumberSprite, hudNumberFrame(lap));
    rt::String* label = getString(kLapText);
    const std::int32_t w1 = hudStringWidth(kHudFont, label) + 6;
    lib::StringBuffer* right = clearedHudBuffer();
    right->append(constantText(rt::constants::kHudCountSeparator));
    right->append(laps);
    takeHudBuffer();
    const std::int32_t w2 = hudBufferWidth(kHudFont);
    const std::int32_t h = hudTextHeight();
    const std::int32_t top = y - fh / 2 - (h + 4) / 2;
    const std::int32_t left = kLapX - fw - w1;
    fillRaceRect(kWhite, left, top, w1, h + 4);
    fillRaceRect(kWhite, kLapX + fw, top, w2 + 4, h + 4);
    fillRaceRect(kLapBoxColour, left + 1, top + 2, w1 - 4, h);
    fillRaceRect(kLapBoxColour, kLapX + fw + 1, top + 2, w2, h);
    drawHudString(kHudFont, 1, label, left + 2, top + 2, kAnchorTopLeft);
    drawHudBuffer(kHudFont, 1, kLapX + fw + 1, top + 2, kAnchorTopLeft);
}

void paintHudCollectedGauge() {
    const cEntity* car = player();
    Graphics* g = loopStatics().s_graphics;
    if (!car || !g)
        return;
    const std::int32_t y0 = gaugeTop();
    const std::int32_t h = raceFrameHeight(kCoinSprite, kCoinPlateFrame);
    paintRaceFrame(kCoinSprite, kCollectedGaugeFrame, 10, h + y0 + 4);
    setClip(g, 10, h + y0 + 4, hudStateStatics().s_collectedShown * 99 / 10, 10);
    paintRaceFrame(kCoinSprite, kCollectedFillFrame, 10, h + y0 + 4);
    setClip(g, 0, 0, raceScreenWidth(), raceScreenHeight());
    paintRaceFrame(kCoinSprite, kCoinPlateFrame, 10, y0);
    lib::StringBuffer* text = clearedHudBuffer();
    text->append(constantText(rt::constants::kHudCollectedLabel));
    text->append(car->m_collected);
    takeHudBuffer();
    drawHudBuffer(kHudFont, 0, raceFrameWidth(kCoinSprite, kCoinPlateFrame) + 14, y0 + 6, kAnchorTopLeft);
}

void paintHudTargetTimes() {
    for (std::int32_t r = 0; r < 3; ++r) {
        const std::int32_t y = 12 + 25 * r;
        paintRaceFrame(kHudPanelSprite, kFirstTargetRowFrame + r, 200, y - 2);
        takeTime(msToTime(currentEventField(r + 1, 0)), false);
        drawHudBuffer(kHudFont, 1, 320, y, kAnchorTopRight);
    }
}

void paintHudTargetNumbers() {
    for (std::int32_t r = 0; r < 3; ++r) {
        const std::int32_t y = 12 + 25 * r;
        paintRaceFrame(kHudPanelSprite, kFirstTargetRowFrame + r, 200, y - 2);
        takeNumber(currentEventField(r + 1, 0), hudPaintStatics().s_numberSeparatorDigits != 0);
        drawHudBuffer(kHudFont, 1, 300, y, kAnchorTopRight);
    }
}

void paintHudBigTime(std::int32_t bit, std::int32_t time) {
    paintRaceFrame(kHudPanelSprite, kBigTimeFrame, 0, 130);
    const std::int32_t length = takeTime(time, false);
    std::int32_t cut = hudTextIndexOf(u'.');
    // The stop zone's time keeps the point with the fraction, the others
    // with the seconds.
    if (bit != hud_bits::kStopZoneTime && cut < length)
        ++cut;
    drawHudText(kHudFont, 1, 0, cut, 25, 135, kAnchorTopLeft);
    drawHudText(kHudFont, 1, cut, length, 63, 135, kAnchorTopLeft);
}

void paintHudTwoTimes(std::int32_t first, std::int32_t second) {
    const std::int32_t valueX =
        raceScreenWidth() - raceFrameWidth(kMenuItemSprite, hudPaintStatics().s_hudButtonFrame) - 5;
    drawHudString(kHudFont, 1, getString(kBestTimeText), 245, 10, kAnchorTopRight);
    takeTime(first, false);
    drawHudBuffer(kHudFont, 1, valueX, 10, kAnchorTopRight);
    drawHudString(kHudFont, 1, getString(kClockText), 245, 35, kAnchorTopRight);
    takeTime(second, false);
    drawHudBuffer(kHudFont, 1, valueX, 35, kAnchorTopRight);
}

void paintHudNoticePanel() {
    const EventGoalStatics& goals = eventGoalStatics();
    if (goals.s_stopGoPenalised)
        fillShaded(kPenaltyShade, 0, 0, raceScreenWidth(), raceScreenHeight());
    paintRaceFrame(kStopGoSprite, goals.s_stopGoStage, 120, 100);
}

void paintHudCentredNumber(std::int32_t value) {
    takeNumber(value, hudPaintStatics().s_numberSeparatorDigits != 0);
    startupStatics().s_textBuffer->insert(0, getString(kNumberText));
    takeHudBuffer();
    drawHudBuffer(kHudFont, 1, raceScreenWidth() / 2, raceScreenHeight() / 2, kAnchorTopCentre);
}

void paintHudSplitTimes() {
    const RaceEntityStatics& e = raceEntityStatics();
    if (e.s_splitShownTimer >= 0) {
        takeTime(e.s_splitShown, false);
        drawHudBuffer(kHudFont, 1, 145, 110, kAnchorTopRight);
    }
    if (e.s_splitDeltaTimer >= 0) {
        // Slower than the lap before shows in palette 2, faster in 0.
        takeTime(e.s_splitDeltaShown, true);
        drawHudBuffer(kHudFont, e.s_splitDeltaShown >= 1 ? 2 : 0, 145, 130, kAnchorTopRight);
    }
}

void paintHudItemPanel() {
    const cEntity* car = player();
    if (!car)
        return;
    const std::int32_t slot = hudItemSlot();
    if (slot != -1) {
        paintRaceFrame(kRaceIconSprite, kItemSlotFrame, kSlotX, kSlotY);
        paintItem(slot, car);
        ASprite* items = raceSprite(kRaceIconSprite);
        if ((car->m_hasTarget || touchStatics().s_hudButtonZone) && items &&
            kItemSlotFrame < items->getFrameCount())
            fillShaded(kSlotShade, kSlotX + items->getFModuleX(kItemSlotFrame, 0),
                       kSlotY + items->getFModuleY(kItemSlotFrame, 0), getFrameWidth(items, kItemSlotFrame),
                       getFrameHeight(items, kItemSlotFrame));
        return;
    }
    if (car->m_offeredItem == -1 || car->m_offerTimer < 1)
        return;
    paintRaceFrame(kRaceIconSprite, kItemSlotFrame, kSlotX, kSlotY);
    if ((loopStatics().s_frameCount & 1) != 0) {
        paintItem(car->m_offeredItem, car);
        paintHudButtons();
    }
}

void paintHudButtons() {
    buildHudButtonZones();
    rt::IntArray* zone = touchStatics().s_hudButtonZone;
    if (!isPointerInRectArray(zone))
        return;
    setFillColor(kHudButtonHighlight);
    fillRectAlpha(loopStatics().s_graphics, rt::IntArray::get(zone, 0) - 1, rt::IntArray::get(zone, 1) - 1,
                  rt::IntArray::get(zone, 2) + 2, rt::IntArray::get(zone, 3) + 2);
}

} // namespace game
