#include "game/frontend/PreRaceSelection.h"

#include "classlib/lang/StringBuffer.h"
#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/framework/Anchors.h"
#include "game/framework/FixedPoint.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SelectionZones.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/race/EventGoals.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/TimeTexts.h"
#include "game/race/TrackData.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <cstdlib>

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kEventTitleText = 31;
constexpr std::int32_t kFirstTypeNameText = 151;
constexpr std::int32_t kFirstTypeDescriptionText = 177;
constexpr std::int32_t kEventLockedText = 200;
// The race goals' labels and the thousands separator of a target number.
constexpr std::int32_t kTimeGoalText = 174;
constexpr std::int32_t kNumberGoalText = 175;
constexpr std::int32_t kThousandsSeparatorText = 176;
// The first of an event row's three target values (times in ms, or numbers).
constexpr std::int32_t kFirstTargetField = 1;

// Layout: the wire model in the left half, the texts on bands at the right.
constexpr std::int32_t kBandColour = static_cast<std::int32_t>(0xBB000000u);
constexpr std::int32_t kWireColour = 0xF0D060;
constexpr std::int32_t kLockColour = 0xD02020;
constexpr std::int32_t kWireX = 190;
constexpr std::int32_t kWireY = 220;
constexpr std::int32_t kBandX = 330;
constexpr std::int32_t kBandHeight = 40;
constexpr std::int32_t kAnchorLeftMiddle = Graphics::LEFT | Graphics::VCENTER;
constexpr std::int32_t kAnchorRightMiddle = Graphics::RIGHT | Graphics::VCENTER;
// A wire model angle is a u16 of the full circle; the cosine table's full
// circle is 2048.
constexpr std::int32_t kWireAngleShift = 5;
constexpr std::int32_t kQuarter = 512;

// A mode's events are the events of the type with the mode's number.
rt::ObjectArray* modeEvents(GameMode mode) {
    rt::ObjectArray* byType = eventStatics().s_eventsByType;
    const std::int32_t type = gameModeNumber(mode);
    if (!byType || type < 0 || type >= byType->length())
        return nullptr;
    return static_cast<rt::ObjectArray*>(rt::ObjectArray::get(byType, type));
}

GameMode gameMode() {
    return stateStatics().s_gameMode;
}

bool eventUnlocked(std::int32_t index) {
    return index >= 0 && index < 32 && hasProgressFlagB(index);
}

std::int32_t slotByte(rt::ByteArray* table) {
    const std::int32_t slot = eventSlotStatics().s_currentEvent;
    return table && slot >= 0 && slot < table->length() ? rt::ByteArray::get(table, slot) : -1;
}

void preRaceEnter() {
    const GameMode mode = gameMode();
    resetMenu(mode == GameMode::LapRace ? 2 : 1);
    std::int32_t remembered = rememberedSelection(State::PreRaceSelect);
    if (remembered < 0 || remembered >= modeEventCount(mode))
        remembered = 0;
    setMenuItemValue(0, remembered);
    if (mode == GameMode::LapRace)
        setMenuItemValue(1, kDefaultLapOption);
    menuStatics().s_titleText = getString(kEventTitleText);
    // The bands say what the event is: no help line runs under them.
    setHelpTexts(nullptr);
    setSoftKeys(1, 2);
    menuStatics().s_redraw = 1;
    initEventSlots();
    eventSlotStatics().s_currentEvent = 0;
    preRaceStatics().s_eventUsable = writeModeEvent(mode, remembered) ? 1 : 0;
    buildRaceGoalTexts();
    restartBlink();
}

void choose() {
    EventSlotStatics& slots = eventSlotStatics();
    const std::int32_t type = slotByte(slots.s_eventType);
    rt::Array::setRef(slots.s_eventTitle, slots.s_currentEvent, getString(kFirstTypeNameText + type));
    rt::Array::setRef(slots.s_eventTypeText, slots.s_currentEvent,
                      getString(kFirstTypeDescriptionText + type));
    preRaceStatics().s_eventSelected = 1;
    startLoading(kLoadRace, firstRaceState(gameMode()));
}

void preRaceUpdate() {
    const GameMode mode = gameMode();
    const std::int32_t event = menuItemValue(0);
    const bool usable = preRaceStatics().s_eventUsable != 0;
    const bool unlocked = usable && eventUnlocked(event);
    const std::int32_t flags = unlocked ? kMenuChooseFlags : kMenuBrowseFlags;
    setSoftKeys(unlocked ? 1 : -1, 2);
    if (!unlocked)
        menuStatics().s_labelScroll = 0;
    const std::int32_t values = touchStatics().s_selection == 0 ? modeEventCount(mode) : kLapOptions;
    buildScreenZones();
    bool chosen = handleMenuInput(values, -1, flags, flags, false);
    if (stateStatics().s_stateChangePending)
        return; // back
    chosen = touchOptionArrows(values) || isChooseKeyPressed() || chosen;
    if (chosen && unlocked && menuItemValue(0) == event) {
        choose();
        return;
    }
    if (menuItemValue(0) != event) {
        preRaceStatics().s_eventUsable = writeModeEvent(mode, menuItemValue(0)) ? 1 : 0;
        menuStatics().s_redraw = 1;
    }
    buildRaceGoalTexts();
    if (advanceBlink())
        menuStatics().s_redraw = 1;
}

void exitScreen() {
    rememberSelection(State::PreRaceSelect, menuItemValue(0));
    if (gameMode() == GameMode::LapRace)
        rt::ShortArray::set(rememberedSelections(), kLapOptionSlot,
                            static_cast<std::int16_t>(menuItemValue(1)));
}

void paintWireModel(Graphics* g, std::int32_t track) {
    rt::ObjectArray* models = trackStatics().s_wireModels;
    if (!models || track < 0 || track >= models->length())
        return;
    auto* model = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(models, track));
    if (!model)
        return;
    auto* angles = static_cast<rt::IntArray*>(rt::ObjectArray::get(model, 0));
    auto* radii = static_cast<rt::IntArray*>(rt::ObjectArray::get(model, 1));
    if (!angles || !radii)
        return;
    const std::int32_t n = std::min(angles->length(), radii->length());
    // The model's radii are in the track's own unit: the farthest point
    // takes `kWireReach` pixels, whatever the unit.
    std::int64_t farthest = 1;
    for (std::int32_t i = 0; i < n; ++i)
        farthest = std::max<std::int64_t>(farthest,
                                          std::abs(static_cast<std::int64_t>(rt::IntArray::get(radii, i))));
    g->setColor(kWireColour);
    std::int32_t firstX = 0, firstY = 0, lastX = 0, lastY = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t angle = rt::IntArray::get(angles, i) >> kWireAngleShift;
        const auto radius = static_cast<std::int32_t>(rt::IntArray::get(radii, i) *
                                                      static_cast<std::int64_t>(kWireReach) / farthest);
        const std::int32_t x = kWireX + ((radius * cos(angle)) >> 12);
        const std::int32_t y = kWireY - ((radius * cos(angle - kQuarter)) >> 12);
        if (i == 0) {
            firstX = x;
            firstY = y;
        } else {
            g->drawLine(lastX, lastY, x, y);
        }
        lastX = x;
        lastY = y;
    }
    if (n > 1)
        g->drawLine(lastX, lastY, firstX, firstY);
}

void paintBand(Graphics* g, std::int32_t y) {
    setFillColor(kBandColour);
    fillRectAlpha(g, kBandX, y, kEventBandWidth, kBandHeight);
}

void paintBand(Graphics* g, std::int32_t y, rt::String* text) {
    paintBand(g, y);
    if (text)
        drawMenuText(kMenuTextFont, 0, text, kBandX + kEventBandWidth / 2, y + kBandHeight / 2,
                     kAnchorCentre);
}

// The goal's label at the band's left, its value (when it has one) at the
// right.
void paintGoalBand(Graphics* g, std::int32_t y) {
    paintBand(g, y);
    rt::ObjectArray* goals = preRaceStatics().s_goalTexts;
    if (!goals)
        return;
    auto* label = static_cast<rt::String*>(rt::ObjectArray::get(goals, 0));
    auto* value = static_cast<rt::String*>(rt::ObjectArray::get(goals, 1));
    const std::int32_t middle = y + kBandHeight / 2;
    if (label)
        drawMenuText(kMenuTextFont, 0, label, kBandX + kEventBandInset, middle, kAnchorLeftMiddle);
    if (value)
        drawMenuText(kMenuTextFont, 1, value, kBandX + kEventBandWidth - kEventBandInset, middle,
                     kAnchorRightMiddle);
}

rt::String* slotText(rt::ObjectArray* table) {
    const std::int32_t slot = eventSlotStatics().s_currentEvent;
    return table && slot >= 0 && slot < table->length()
               ? static_cast<rt::String*>(rt::ObjectArray::get(table, slot))
               : nullptr;
}

void preRacePaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    paintBackgroundPicture();
    paintScreenHeader();
    const EventSlotStatics& slots = eventSlotStatics();
    const bool usable = preRaceStatics().s_eventUsable != 0;
    const bool unlocked = usable && eventUnlocked(menuItemValue(0));
    if (usable)
        paintWireModel(g, slotByte(slots.s_eventTrack));
    paintBand(g, 120, usable ? slotText(slots.s_eventName) : nullptr);
    paintGoalBand(g, 170);
    const std::int32_t type = slotByte(slots.s_eventType);
    paintBand(g, 220, usable ? getString(kFirstTypeDescriptionText + type) : nullptr);
    if (gameMode() == GameMode::LapRace) {
        paintBand(g, 270, nullptr);
        g->setColor(0xFFFFFF);
        for (std::int32_t lap = 0; lap <= menuItemValue(1); ++lap)
            fillRect(g, kBandX + 20 + 24 * lap, 280, 16, 20);
    }
    if (!unlocked) {
        g->setColor(kLockColour);
        fillRect(g, kWireX - 20, kWireY - 20, 40, 40);
        drawMenuText(kMenuTextFont, 1, getString(kEventLockedText), kWireX, kWireY + 40, kAnchorCentre);
    }
    paintOptionArrows(menuStatics().s_arrowZones);
    if (unlocked)
        paintChooseKey();
    menuStatics().s_redraw = 0;
}

} // namespace

PreRaceStatics& preRaceStatics() {
    return rt::getStaticClass().statics<PreRaceStatics>();
}

void buildRaceGoalTexts() {
    PreRaceStatics& s = preRaceStatics();
    if (!s.s_goalTexts)
        s.s_goalTexts = rt::newObjectArray(2);
    const GameMode mode = gameMode();
    const std::int32_t target = currentEventField(kFirstTargetField, 0);
    rt::String* goal = nullptr;
    rt::String* value = nullptr;
    if (mode == GameMode::TimeTrial || mode == GameMode::StopAndGo) {
        goal = getString(kTimeGoalText);
        value = formatTime(msToTime(target), true, true, false)->toString();
    } else if (mode == GameMode::Points) {
        goal = getString(kNumberGoalText);
        rt::String* separator = getString(kThousandsSeparatorText);
        value =
            formatNumber(target, separator && separator->length() > 0 ? separator->charAt(0) : u'\0', false)
                ->toString();
    } else {
        goal = getString(kFirstTypeNameText + eventTypeNumber(currentEventType()));
        value = rt::getStaticClass().getConstantString(rt::constants::kDefaultMessage);
    }
    rt::Array::setRef(s.s_goalTexts, 0, goal);
    rt::Array::setRef(s.s_goalTexts, 1, value);
}

std::int32_t modeEventCount(GameMode mode) {
    rt::ObjectArray* events = modeEvents(mode);
    return events ? events->length() : 0;
}

bool writeModeEvent(GameMode mode, std::int32_t index) {
    rt::ObjectArray* events = modeEvents(mode);
    if (!events || index < 0 || index >= events->length())
        return false;
    auto* pair = static_cast<rt::ByteArray*>(rt::ObjectArray::get(events, index));
    if (!pair || pair->length() < 2)
        return false;
    const std::int32_t row = rt::ByteArray::get(pair, 0);
    const std::int32_t variant = rt::ByteArray::get(pair, 1);
    if (row < 0 || row >= raceRowCount())
        return false;
    const std::int32_t track = raceRowValue(row, 0);
    rt::IntArray* eventRowOfTrack = eventRow(track, variant);
    if (track < 0 || track >= kTrackCount || !eventRowOfTrack)
        return false;
    auto* names = static_cast<rt::IntArray*>(eventStatics().s_pathFields[0] &&
                                                     track < eventStatics().s_pathFields[0]->length()
                                                 ? rt::ObjectArray::get(eventStatics().s_pathFields[0], track)
                                                 : nullptr);
    const std::int32_t nameIndex = rt::IntArray::get(eventRowOfTrack, kEventNameField);
    if (!names || nameIndex < 0 || nameIndex >= names->length())
        return false;
    EventSlotStatics& slots = eventSlotStatics();
    const std::int32_t slot = slots.s_currentEvent;
    rt::ByteArray::set(slots.s_eventRaceRow, slot, static_cast<std::int8_t>(row));
    rt::ByteArray::set(slots.s_eventTrack, slot, static_cast<std::int8_t>(track));
    rt::ByteArray::set(slots.s_eventVariant, slot, static_cast<std::int8_t>(variant));
    rt::ByteArray::set(slots.s_eventIcon, slot,
                       static_cast<std::int8_t>(raceRowValue(row, kRaceRowIconField)));
    rt::ByteArray::set(slots.s_eventIcon2, slot,
                       static_cast<std::int8_t>(raceRowValue(row, kRaceRowIcon2Field)));
    setSlotEventType(slot, eventTypeOf(mode));
    rt::Array::setRef(slots.s_eventName, slot, getString(rt::IntArray::get(names, nameIndex)));
    return true;
}

std::array<std::int32_t, 4> chooseKeyRect() {
    rt::ObjectArray* zones = menuStatics().s_arrowZones;
    auto* leftArrow =
        zones && zones->length() > 0 ? static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, 0)) : nullptr;
    if (!leftArrow)
        return {};
    const std::int32_t w = spriteFrameWidth(kMenuItemSprite, kSoftKeyFrameOff);
    const std::int32_t h = spriteFrameHeight(kMenuItemSprite, kSoftKeyFrameOff);
    return {rt::IntArray::get(leftArrow, 0) + rt::IntArray::get(leftArrow, 2),
            config().s_gameScreenHeight - h, w, h};
}

bool isChooseKeyPressed() {
    const auto [x, y, w, h] = chooseKeyRect();
    return w > 0 && isPressInRect(x, y, w, h);
}

void paintChooseKey() {
    rt::String* label = getSoftKeyLabel(touchStatics().s_leftSoftKey);
    const auto [x, y, w, h] = chooseKeyRect();
    if (!label || w <= 0)
        return;
    paintSpriteFrame(kMenuItemSprite, kSoftKeyFrameOff, x, y);
    drawMenuText(kSoftKeyFont, kSoftKeyPalette, label, x + w / 2, y + h / 2, kAnchorCentre);
}

void statePreRaceSelect(std::int32_t message) {
    switch (message) {
    case kEnter:
        preRaceEnter();
        break;
    case kUpdate:
        preRaceUpdate();
        break;
    case kPaint:
        preRacePaint();
        break;
    case kExit:
        exitScreen();
        break;
    default:
        break;
    }
}

void registerPreRaceSelection() {
    setStateHandler(State::PreRaceSelect, statePreRaceSelect);
}

} // namespace game
