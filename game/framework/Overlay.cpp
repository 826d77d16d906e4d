#include "game/framework/Overlay.h"

#include "classlib/lang/StringBuffer.h"
#include "classlib/lang/System.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Graphics.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <algorithm>

namespace game {

namespace {

constexpr std::int32_t kColumnStep = 14;
// Text ids of the race goals.
constexpr std::int32_t kTimeGoalText = 174;
constexpr std::int32_t kNumberGoalText = 175;
constexpr std::int32_t kThousandsSeparatorText = 176;
constexpr std::int32_t kRaceTypeGoalTexts = 151;

// A soft key: its frame of the soft-key sprite at the zone's corner, then
// its label centred on (labelX, the middle of the zone's height above the
// screen's bottom).
void paintSoftKey(Graphics* graphics, rt::IntArray* zone, std::int32_t frame, rt::String* label,
                  std::int32_t labelX) {
    const SpriteHooks& hooks = seams().sprites;
    rt::Object* sprite = spriteAt(kMenuItemSprite);
    if (sprite && hooks.paintFrame)
        hooks.paintFrame(sprite, graphics, frame, rt::IntArray::get(zone, 0), rt::IntArray::get(zone, 1), 0);
    if (hooks.selectFontPalette)
        hooks.selectFontPalette(kSoftKeyFont, kSoftKeyPalette);
    if (hooks.drawString)
        hooks.drawString(kSoftKeyFont, graphics, label, labelX,
                         config().s_gameScreenHeight - rt::IntArray::get(zone, 3) / 2, kAnchorCentre);
}

rt::IntArray* softKeyZone(std::int32_t side) {
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(touchStatics().s_softKeyZones, side));
}

// The left key with `label`; its zones and frame chosen first.
void paintLeftSoftKey(Graphics* graphics, rt::String* label) {
    touchSoftKeys();
    rt::IntArray* zone = softKeyZone(0);
    paintSoftKey(graphics, zone, touchStatics().s_leftSoftKeyFrame, label,
                 (rt::IntArray::get(zone, 0) + rt::IntArray::get(zone, 2)) >> 1);
}

// The shared text buffer emptied, so that a format that writes nothing
// leaves an empty text rather than the last one.
lib::StringBuffer* clearedTextBuffer() {
    lib::StringBuffer* buffer = startupStatics().s_textBuffer;
    if (!buffer)
        buffer = startupStatics().s_textBuffer = rt::make<lib::StringBuffer>(16);
    buffer->setLength(0);
    return buffer;
}

// The frame-rate display's decimal point is the text that also joins pack
// names to part numbers.
constexpr std::int32_t kDecimalPoint = rt::constants::kPackPartSeparator;

rt::String* constantString(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

// A rate in hundredths as whole frames, the decimal point and two digits.
void appendRate(lib::StringBuffer* text, std::int32_t hundredths) {
    text->append(hundredths / 100);
    text->append(constantString(kDecimalPoint));
    // The hundredths keep their leading zero: 25.05, not 25.5.
    if (hundredths % 100 < 10)
        text->append(std::int32_t{0});
    text->append(hundredths % 100);
}

std::int32_t goalValue(GameMode mode) {
    const RaceHooks& race = seams().race;
    return race.goalValue ? race.goalValue(mode) : 0;
}

} // namespace

OverlayStatics& overlayStatics() {
    return rt::getStaticClass().statics<OverlayStatics>();
}

void paintOverlay(Graphics* graphics) {
    const TouchStatics& touch = touchStatics();
    std::int32_t left = touch.s_leftSoftKey;
    if (left >= 0 && isGuidedRace() && getSoftKeyLabel(left))
        paintLeftSoftKey(graphics, getSoftKeyLabel(left));
    if (left == kPauseButtonLabel && touch.s_pauseZone) {
        const RaceHooks& race = seams().race;
        const SpriteHooks& hooks = seams().sprites;
        rt::Object* sprite = spriteAt(kMenuItemSprite);
        if (!(race.raceFinished && race.raceFinished()) && sprite && hooks.paintFrame)
            hooks.paintFrame(sprite, graphics, touch.s_pauseFrame, rt::IntArray::get(touch.s_pauseZone, 0),
                             rt::IntArray::get(touch.s_pauseZone, 1), 0);
    }
    std::int32_t right = touch.s_rightSoftKey;
    if (right >= 0 && isSoftKeyMenuState() && getSoftKeyLabel(right)) {
        touchMenuSoftKeys();
        rt::IntArray* zone = softKeyZone(1);
        std::int32_t width = config().s_gameScreenWidth;
        paintSoftKey(graphics, zone, touchStatics().s_rightSoftKeyFrame, getSoftKeyLabel(right),
                     width - ((width - rt::IntArray::get(zone, 0)) >> 1));
    }
    if (isGuidedRace())
        paintRaceSoftKey(graphics);
}

void paintRaceSoftKey(Graphics* graphics) {
    if (isGuidedRace() && getSoftKeyLabel(3))
        paintLeftSoftKey(graphics, getSoftKeyLabel(3));
}

void drawImageColumn(std::int32_t y, std::int32_t n) {
    Graphics* graphics = loopStatics().s_graphics;
    platform::javax_microedition_lcdui_Image* image = overlayStatics().s_columnImage;
    if (!graphics || !image)
        return;
    for (std::int32_t i = 0; i < n; ++i)
        graphics->drawImage(image, 0, y + i * kColumnStep, Graphics::TOP | Graphics::LEFT);
}

void paintEdgeColumn(std::int32_t flags) {
    if (flags & 1)
        drawImageColumn(0, config().s_gameScreenHeight / kColumnStep + 1);
}

void resetFpsCounter() {
    OverlayStatics& overlay = overlayStatics();
    std::int64_t now = lib::java_lang_System::currentTimeMillis();
    overlay.s_fpsLastTick = now;
    overlay.s_fpsStartTick = now;
    overlay.s_fpsFrames = 0;
}

rt::String* paintFpsCounter() {
    OverlayStatics& overlay = overlayStatics();
    const std::int64_t now = lib::java_lang_System::currentTimeMillis();
    const std::int64_t frameMs = std::max<std::int64_t>(now - overlay.s_fpsLastTick, 1);
    const auto instant = static_cast<std::int32_t>(100000 / frameMs);
    overlay.s_fpsFrames += 1;
    const std::int64_t totalMs = std::max<std::int64_t>(now - overlay.s_fpsStartTick, 1);
    // The product in 64 bits: in 32 it would wrap after some 21,000 frames.
    const auto average =
        static_cast<std::int32_t>(static_cast<std::int64_t>(overlay.s_fpsFrames) * 100000 / totalMs);
    overlay.s_fpsLastTick = now;

    auto* text = rt::make<lib::StringBuffer>(32);
    text->append(constantString(rt::constants::kFpsLabel));
    appendRate(text, instant);
    text->append(constantString(rt::constants::kFpsAverageLabel));
    appendRate(text, average);
    text->append(constantString(rt::constants::kFpsCarLabel));
    const RaceHooks& race = seams().race;
    text->append(race.playerCarValue ? race.playerCarValue() : 0);
    rt::String* shown = text->toString();

    Graphics* graphics = loopStatics().s_graphics;
    if (!graphics)
        return shown;
    if (overlay.s_fpsBackground) {
        setColorRGB(0, 0, 0);
        platform::javax_microedition_lcdui_Font* font =
            platform::javax_microedition_lcdui_Font::getDefaultFont();
        fillRect(graphics, 0, 0, config().s_gameScreenWidth, font ? font->getHeight() : 0);
    }
    setColorRGB(255, 255, 255);
    drawString(shown, 0, 0, Graphics::TOP | Graphics::LEFT);
    return shown;
}

// The kinds run in the order 2, 8, 4: the total and the end value are
// those of the first kind that runs.
std::int32_t loadingBarHeight(std::int32_t style) {
    if (style & (2 | 8))
        return 40;
    return (style & 4) ? 24 : 0;
}

std::int32_t loadingBarWidth(std::int32_t style) {
    if (style & (2 | 8))
        return 231;
    return (style & 4) ? 182 : 0;
}

void initLoadingBar(std::int32_t style) {
    OverlayStatics& overlay = overlayStatics();
    overlay.s_loadingProgress = 0;
    overlay.s_loadingStep = 0;
    overlay.s_loadingSubStep = 0;
    overlay.s_loadingDone = 0;
    overlay.s_loadingStyle = style;
    overlay.s_loadingBarHeight = loadingBarHeight(style);
    overlay.s_loadingBarWidth = loadingBarWidth(style);
}

std::int32_t getLoadingProgress() {
    return overlayStatics().s_loadingProgress;
}

void unloadSprite(std::int32_t i) {
    rt::ObjectArray* table = startupStatics().s_sprites;
    if (i < 0 || !table)
        return;
    if (rt::Object* sprite = rt::ObjectArray::get(table, i); sprite && seams().sprites.freeImages)
        seams().sprites.freeImages(sprite);
    rt::Array::setRef(table, i, nullptr);
}

void leaveRace() {
    const RaceHooks& race = seams().race;
    if (race.clearHudBits)
        race.clearHudBits();
    const EventType type = race.raceType ? race.raceType() : EventType::None;
    switch (type) {
    case EventType::Laps:
    case EventType::Distance:
    case EventType::StopAndGo:
    case EventType::Points:
        pushState(State::RaceResults);
        break;
    case EventType::Collection:
    case EventType::Score:
        backToState(State::RaceEndMenu);
        break;
    case EventType::Guided:
        setLoadingTarget(kLoadMenus, State::MainMenu);
        backToState(State::Loading);
        break;
    default:
        setLoadingTarget(kLoadMenus, State::RewardScreen);
        backToState(State::Loading);
        break;
    }
}

void buildRaceGoalTexts() {
    OverlayStatics& overlay = overlayStatics();
    if (!overlay.s_goalTexts)
        overlay.s_goalTexts = rt::newObjectArray(2);
    const RaceHooks& race = seams().race;
    const GameMode mode = stateStatics().s_gameMode;
    rt::String* goal = nullptr;
    rt::String* value = nullptr;
    if (mode == GameMode::TimeTrial || mode == GameMode::StopAndGo) {
        goal = getString(kTimeGoalText);
        lib::StringBuffer* buffer = clearedTextBuffer();
        if (race.formatTime)
            race.formatTime(goalValue(mode), true, true, false);
        value = buffer->toString();
    } else if (mode == GameMode::Points) {
        goal = getString(kNumberGoalText);
        rt::String* separator = getString(kThousandsSeparatorText);
        lib::StringBuffer* buffer = clearedTextBuffer();
        if (race.formatNumber)
            race.formatNumber(goalValue(mode),
                              separator && separator->length() > 0 ? separator->charAt(0) : u'\0', false);
        value = buffer->toString();
    } else {
        goal = getString(kRaceTypeGoalTexts +
                         eventTypeNumber(race.raceType ? race.raceType() : EventType::None));
        value = rt::getStaticClass().getConstantString(rt::constants::kDefaultMessage);
    }
    rt::Array::setRef(overlay.s_goalTexts, 0, goal);
    rt::Array::setRef(overlay.s_goalTexts, 1, value);
}

void setSoundOption(bool on) {
    startupStatics().s_soundOn = on ? 1 : 0;
}

bool isSoundOn() {
    return startupStatics().s_soundOn != 0;
}

std::int32_t doubleLow7(std::int32_t v) {
    return (v & 127) * 2;
}

bool isBit7Set(std::int32_t v) {
    return (v & 128) != 0;
}

std::int32_t getByteTableDouble(std::int32_t i) {
    const rt::ByteArray* table = overlayStatics().s_byteTable;
    if (!table || i < 0 || i >= table->length())
        return 0;
    return doubleLow7(rt::ByteArray::get(table, i));
}

bool readAppPropertyFlag() {
    bool ask = true;
    if (platform::javax_microedition_midlet_MIDlet* midlet = loopStatics().s_midlet) {
        rt::String* value = midlet->getAppProperty(constantString(rt::constants::kSoundQuestionProperty));
        rt::String* skip = constantString(rt::constants::kZeroDigit);
        if (value && skip && value->trim()->compareTo(skip) == 0)
            ask = false;
    }
    startupStatics().s_askSound = ask ? 1 : 0;
    return ask;
}

bool pickFlag(std::int32_t v, std::int32_t mode) {
    if (mode == 1)
        return false;
    if (mode == 2)
        return true;
    return v != 0;
}

} // namespace game
