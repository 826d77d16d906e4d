#include "game/racepaint/RaceOverlays.h"

#include "classlib/lang/StringBuffer.h"
#include "classlib/lang/System.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/race/Blink.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/HudText.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/ResultScreens.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/Paint.h"
#include "game/ui/MenuPaint.h"
#include "host/Log.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

// Pinned layout of the weather strip: four layers down the upper screen.
constexpr std::int32_t kStripLayers[] = {20, 60, 110, 170};
constexpr std::int32_t kGuideShade = static_cast<std::int32_t>(0xBB000000u);
constexpr std::int32_t kLabelShade = static_cast<std::int32_t>(0xBB666666u);
constexpr std::int32_t kGuideText = 79;
constexpr std::int32_t kGuideRunningText = 80;
// The guide's explanation: the shaded top of the screen, the box its text
// is laid out in (its top and width), the bottom of the line under it, and
// in the race the band shaded behind that line alone.
constexpr std::int32_t kGuidePanelHeight = 200;
constexpr std::int32_t kGuideTextTop = 16;
constexpr std::int32_t kGuideTextWidth = 480;
constexpr std::int32_t kGuideLineBottom = 197;
constexpr std::int32_t kGuideLineBand = 30;
// The step that counts the objects collected.
constexpr std::int32_t kGuideCollectStep = 7;
// The step that stops the car, and the label of its hint.
constexpr std::int32_t kGuideBrakeStep = 2;
constexpr std::int32_t kGuideBrakeText = 77;

// The row of the left and right buttons.
std::int32_t sideButtonY() {
    return raceScreenHeight() / 2 - raceFrameHeight(kRaceTouchSprite, kLeftButtonPressedFrame) / 2;
}
// The row of the action button; in the guided race above the soft key.
std::int32_t actionButtonY() {
    const std::int32_t h4 = raceFrameHeight(kRaceTouchSprite, kActionButtonFrame);
    if (stateStatics().s_gameMode == GameMode::Guided)
        return raceScreenHeight() - raceFrameHeight(kMenuItemSprite, kAnswerFrame) - h4;
    return raceScreenHeight() - h4 - 10;
}

// The brake's hint: a key on the race's brake zone, the middle of the
// bottom edge (as wide and high as a soft key), lit while it blinks.
void paintBrakeHint(bool lit) {
    const std::int32_t w = raceFrameWidth(kMenuItemSprite, kSoftKeyFrameOff);
    const std::int32_t h = raceFrameHeight(kMenuItemSprite, kSoftKeyFrameOff);
    const std::int32_t x = raceScreenWidth() / 2 - w / 2;
    const std::int32_t y = raceScreenHeight() - h;
    paintRaceFrame(kMenuItemSprite, lit ? kSoftKeyFrame : kSoftKeyFrameOff, x, y);
    drawHudString(kSoftKeyFont, kSoftKeyPalette, getString(kGuideBrakeText), x + w / 2, y + h / 2,
                  kAnchorCentre);
}

void renderFinishPlayer() {
    rt::Object* object = hudStateStatics().s_finishPlayer;
    if (object && object->classId() == OrvelLibPlayer::kClassId)
        static_cast<OrvelLibPlayer*>(object)->render();
}

} // namespace

namespace {

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

} // namespace

FpsCounterStatics& fpsCounterStatics() {
    return rt::getStaticClass().statics<FpsCounterStatics>();
}

void resetFpsCounter() {
    FpsCounterStatics& overlay = fpsCounterStatics();
    std::int64_t now = lib::java_lang_System::currentTimeMillis();
    overlay.s_fpsLastTick = now;
    overlay.s_fpsStartTick = now;
    overlay.s_fpsFrames = 0;
}

rt::String* paintFpsCounter() {
    FpsCounterStatics& overlay = fpsCounterStatics();
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
    const cEntity* player = racerStatics().s_playerCar;
    text->append(player ? static_cast<std::int32_t>((std::int64_t{player->m_speed} * 36 / 10) >> 12) : 0);
    rt::String* shown = text->toString();

    platform::javax_microedition_lcdui_Graphics* graphics = loopStatics().s_graphics;
    if (!graphics)
        return shown;
    if (overlay.s_fpsBackground) {
        setColorRGB(0, 0, 0);
        platform::javax_microedition_lcdui_Font* font =
            platform::javax_microedition_lcdui_Font::getDefaultFont();
        fillRect(graphics, 0, 0, config().s_gameScreenWidth, font ? font->getHeight() : 0);
    }
    setColorRGB(255, 255, 255);
    drawString(shown, 0, 0, kAnchorTopLeft);
    return shown;
}

WeatherStatics& weatherStatics() {
    return rt::getStaticClass().statics<WeatherStatics>();
}

void weatherStaticInit() {
    WeatherStatics& w = weatherStatics();
    if (!w.s_weatherLayerY) {
        constexpr std::int32_t n = static_cast<std::int32_t>(std::size(kStripLayers));
        w.s_weatherLayerY = rt::newIntArray(n);
        for (std::int32_t i = 0; w.s_weatherLayerY && i < n; ++i)
            rt::IntArray::set(w.s_weatherLayerY, i, kStripLayers[i]);
    }
    if (!w.s_weatherParticles)
        initParticleField();
}

void initParticleField() {
    WeatherStatics& w = weatherStatics();
    if (!w.s_weatherParticles)
        w.s_weatherParticles = rt::newIntArray(kWeatherParticles * kParticleInts);
    rt::IntArray* field = w.s_weatherParticles;
    if (!field)
        return;
    for (std::int32_t i = 0; i < kWeatherParticles; ++i) {
        const std::int32_t at = i * kParticleInts;
        const bool flake = (i & 1) != 0;
        rt::IntArray::set(field, at + particle::kX, ((i * 97) % raceScreenWidth()) << 8);
        rt::IntArray::set(field, at + particle::kY, ((i * 53) % raceScreenHeight()) << 8);
        rt::IntArray::set(field, at + particle::kSpeedX, flake ? -20 - (i % 3) * 10 : -60);
        rt::IntArray::set(field, at + particle::kSpeedY, flake ? 60 + (i % 4) * 15 : 420 + (i % 5) * 20);
        rt::IntArray::set(field, at + particle::kKind, flake ? 1 : 0);
    }
}

void paintRaceNotice() {
    WeatherStatics& w = weatherStatics();
    const std::int32_t mode = roadsideView().s_weatherMode;
    w.s_weatherActive = mode == kStripWeather || mode == kParticleWeather ? 1 : 0;
    w.s_weatherLayersOn = mode == kStripWeather ? 1 : 0;
    if (mode == kStripWeather)
        paintWeatherStrip();
    else if (mode == kParticleWeather)
        paintWeatherParticles(loopStatics().s_graphics);
}

void paintWeatherStrip() {
    WeatherStatics& w = weatherStatics();
    rt::IntArray* layers = w.s_weatherLayerY;
    if (!w.s_weatherLayersOn || !layers)
        return;
    const std::int32_t n = layers->length();
    const std::int32_t gap = n >= 2 ? rt::IntArray::get(layers, 1) - rt::IntArray::get(layers, 0) : 0;
    if (n >= 2 && gap == 0 && w.s_weatherReported != layers) {
        host::logf(host::LogCategory::Game,
                   "paintWeatherStrip: the first two layers lie at one height; no spread");
        w.s_weatherReported = layers;
    }
    std::int32_t shift = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t y = rt::IntArray::get(layers, i);
        if (i > 0 && gap != 0)
            shift += (y - rt::IntArray::get(layers, i - 1)) * w.s_weatherSpread / gap;
        paintRaceFrame(kWeatherStripSprite, i, w.s_weatherOffsetX - shift, y + w.s_weatherOffsetY);
    }
}

void paintWeatherParticles(platform::javax_microedition_lcdui_Graphics* g) {
    rt::IntArray* field = weatherStatics().s_weatherParticles;
    if (!g || !field)
        return;
    const rt::MonitorScope lock(g);
    const std::int32_t ms = loopStatics().s_frameMs;
    const std::int32_t width = raceScreenWidth() << 8;
    const std::int32_t height = raceScreenHeight() << 8;
    ASprite* drop = raceSprite(kRaindropSprite);
    ASprite* flake = raceSprite(kSnowflakeSprite);
    const std::int32_t count = field->length() / kParticleInts;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t at = i * kParticleInts;
        std::int32_t x = rt::IntArray::get(field, at + particle::kX) +
                         rt::IntArray::get(field, at + particle::kSpeedX) * ms * 256 / 1000;
        std::int32_t y = rt::IntArray::get(field, at + particle::kY) +
                         rt::IntArray::get(field, at + particle::kSpeedY) * ms * 256 / 1000;
        x = width > 0 ? ((x % width) + width) % width : 0;
        if (y >= height)
            y = y % height - (16 << 8);
        rt::IntArray::set(field, at + particle::kX, x);
        rt::IntArray::set(field, at + particle::kY, y);
        ASprite* sprite = rt::IntArray::get(field, at + particle::kKind) == 0 ? drop : flake;
        if (sprite && sprite->getFrameCount() > 0)
            paintFrame(sprite, g, kWeatherParticleFrame, x >> 8, y >> 8, 0, 0, 0);
    }
}

void paintFinishOverlay() {
    const HudStateStatics& s = hudStateStatics();
    const cEntity* player = racerStatics().s_playerCar;
    const std::int32_t place = player ? player->m_racePosition : 0;
    if (s.s_finishShown && isBlinkOn())
        drawHudString(kHudFont, 0, getString(kContinueText), raceScreenWidth() / 2, raceScreenHeight() - 14,
                      kAnchorCentre);
    const EventType type = currentEventType();
    if (type == EventType::Laps || type == EventType::Points) {
        renderFinishPlayer();
        if (s.s_finishShown)
            paintRaceFrame(kPlaceSprite, kFirstPlaceBannerFrame + place, s.s_finishX, s.s_finishY);
    } else if (type >= EventType::Distance && type <= EventType::OpenDistance && s.s_finishAnimShown) {
        renderFinishPlayer();
        if (raceStatics().s_raceResult == 0)
            paintRaceFrame(kPlaceSprite, kPlaceMarkFrame, s.s_finishX, s.s_finishY);
        else if (s.s_finishShown)
            paintRaceFrame(kPlaceSprite, kFirstMedalFrame + place, s.s_finishX, s.s_finishY);
    }
}

void paintGuideOverlay() {
    const EventGoalStatics& goals = eventGoalStatics();
    const std::int32_t step = goals.s_guideStep;
    Graphics* g = loopStatics().s_graphics;
    if (step >= kGuideSteps || !g)
        return;
    const std::int32_t width = raceScreenWidth();
    setFillColor(kGuideShade);
    const State state = stateStatics().s_state;
    if (state == State::RaceCountdown) {
        // The explanation shades the top of the screen until it is tapped
        // away; its text keeps left of the pause button.
        if (goals.s_guideTimer < 0) {
            fillRectAlpha(g, 0, 0, width, kGuidePanelHeight);
            const std::int32_t left =
                (width - spriteFrameWidth(kMenuItemSprite, kPauseFrameOff) - kGuideTextWidth) / 2;
            drawTextBlock(kHudFont, 0, getString(kGuideText), kGuideTextWidth, 0, left + kGuideTextWidth / 2,
                          kGuideTextTop, kAnchorTopCentre);
            drawHudString(kHudFont, 0, getString(kContinueText), width / 2, kGuideLineBottom,
                          kAnchorBottomCentre);
        }
        return;
    }
    if (state != State::Race)
        return;
    // In the race only the guide's line is shaded, so the road ahead stays
    // clear.
    const cEntity* player = racerStatics().s_playerCar;
    const std::int32_t since = player ? player->m_collected - raceGuideStatics().s_guideCollectedBase : 0;
    if (goals.s_guideTimer > 0 || (step == kGuideCollectStep && since < kGuideCollectTarget))
        fillRectAlpha(g, 0, kGuidePanelHeight - kGuideLineBand, width, kGuideLineBand);
    if (goals.s_guideTimer > 0)
        drawHudString(kHudFont, 0, getString(kGuideRunningText), width / 2, kGuideLineBottom,
                      kAnchorBottomCentre);
    // Each hint blinks over the control it teaches, where the race draws it.
    const bool blink = isBlinkOn() && !isPointerInRectArray(touchStatics().s_pauseZone);
    const std::int32_t w1 = raceFrameWidth(kRaceTouchSprite, kLeftButtonPressedFrame);
    switch (step) {
    case 0:
        paintRaceFrame(kRaceTouchSprite, blink ? kLeftButtonPressedFrame : kLeftButtonFrame, w1 / 4,
                       sideButtonY());
        break;
    case 1:
        paintRaceFrame(kRaceTouchSprite, blink ? kRightButtonPressedFrame : kRightButtonFrame,
                       width - w1 / 4 - w1, sideButtonY());
        break;
    case kGuideBrakeStep:
        paintBrakeHint(blink);
        break;
    case 3:
        paintRaceFrame(kRaceTouchSprite, blink ? kActionButtonPressedFrame : kActionButtonFrame, 15,
                       actionButtonY());
        break;
    case kGuideCollectStep: {
        paintHudCollectedGauge();
        if (since < kGuideCollectTarget) {
            lib::StringBuffer* text = clearedHudBuffer();
            text->append(constantText(rt::constants::kGuideCollectedLabel));
            text->append(since);
            takeHudBuffer();
            drawHudBuffer(kHudFont, 0, 600, kGuideLineBottom, kAnchorBottomCentre);
        }
        break;
    }
    case 8:
        paintRaceFrame(kHudNumberSprite, kGuideStepNumberFrame, 50, 95);
        break;
    default:
        break;
    }
}

void paintTouchControls() {
    const std::int32_t w = raceFrameWidth(kRaceTouchSprite, kLeftButtonPressedFrame);
    const std::int32_t y = sideButtonY();
    paintRaceFrame(kRaceTouchSprite, isPointerOnRaceLeftHalf() ? kLeftButtonPressedFrame : kLeftButtonFrame,
                   w / 4, y);
    paintRaceFrame(kRaceTouchSprite,
                   isPointerOnRaceRightHalf() ? kRightButtonPressedFrame : kRightButtonFrame,
                   raceScreenWidth() - w / 4 - w, y);
    paintRaceFrame(kRaceTouchSprite, isPointerOnRaceButton() ? kActionButtonPressedFrame : kActionButtonFrame,
                   15, actionButtonY());
}

void paintRace() {
    const bool finished = raceStatics().s_raceFinished != 0;
    paintRaceScene();
    if (!finished)
        paintTouchControls();
    paintRaceNotice();
    if (!finished) {
        paintHud();
        if (stateStatics().s_gameMode == GameMode::Guided)
            paintGuideOverlay();
    } else {
        paintFinishOverlay();
    }
    if (fpsCounterStatics().s_fpsShown)
        (void)paintFpsCounter();
}

void paintRacePicture() {
    switch (pictureState()) {
    case State::TrackFlyover:
        paintRaceScene();
        paintFlyoverText();
        break;
    case State::RacerIntro: {
        paintRaceScene();
        paintRacerIntroText();
        const CameraStatics& camera = cameraStatics();
        paintRacerIntroLabels(camera.s_tourState == kTourDwelling, camera.s_tourRacer);
        break;
    }
    case State::RaceCountdown:
        paintRaceStart();
        if (stateStatics().s_gameMode == GameMode::Guided)
            paintGuideOverlay();
        break;
    case State::Race:
        paintRace();
        break;
    case State::RaceResults:
        // Under a menu the finished race; its own state adds the results.
        paintRaceScene();
        if (stateStatics().s_state == State::RaceResults)
            paintResults();
        break;
    default:
        paintRaceScene();
        break;
    }
}

void paintFlyoverText() {
    if (isBlinkOn())
        drawHudString(kHudFont, 0, getString(kContinueText), raceScreenWidth() / 2,
                      raceScreenHeight() - raceScreenHeight() / 8, kAnchorTopCentre);
}

void paintRacerIntroText() {
    if (isBlinkOn())
        drawHudString(kHudFont, 0, getString(kContinueText), raceScreenWidth() / 2, raceScreenHeight() - 45,
                      kAnchorTopCentre);
}

void paintRacerIntroLabels(bool dwelling, std::int32_t racerIndex) {
    if (!dwelling)
        return;
    paintRacerLabel(racerAt(racerIndex - 1));
    paintRacerLabel(racerAt(racerIndex));
}

void paintRacerLabel(const cEntity* car) {
    Graphics* g = loopStatics().s_graphics;
    ASprite* labels = raceSprite(kStartSprite);
    if (!car || !g || !labels || kNameTagFrame >= labels->getFrameCount())
        return;
    const std::int32_t x = car->m_screenX;
    const std::int32_t y = car->m_screenY - ((50 * car->m_screenScale + 2048) >> 12);
    // The text box, the shade and the name's black bar; a name wider than
    // the text box widens all three.
    rt::IntArray* box = raceFrameBox(labels, kNameTagFrame, kNameTagTextBox);
    if (!box)
        return;
    const std::int32_t textX = rt::IntArray::get(box, 0);
    const std::int32_t textY = rt::IntArray::get(box, 1);
    const std::int32_t textW = rt::IntArray::get(box, 2);
    const std::int32_t nameW = hudStringWidth(kHudFont, car->m_name);
    const std::int32_t extra = nameW > textW ? nameW - textW : 0;
    box = raceFrameBox(labels, kNameTagFrame, kNameTagShadeBox);
    const std::int32_t right = rt::IntArray::get(box, 0) + rt::IntArray::get(box, 2) + extra + x;
    const std::int32_t shift = right > raceScreenWidth() ? right - raceScreenWidth() : 0;
    setFillColor(kLabelShade);
    fillRectAlpha(g, rt::IntArray::get(box, 0) + x - shift, rt::IntArray::get(box, 1) + y,
                  rt::IntArray::get(box, 2) + extra, rt::IntArray::get(box, 3));
    box = raceFrameBox(labels, kNameTagFrame, kNameTagRuleBox);
    g->setColor(0);
    fillRect(g, rt::IntArray::get(box, 0) + x - shift, rt::IntArray::get(box, 1) + y,
             rt::IntArray::get(box, 2) + extra, rt::IntArray::get(box, 3));
    paintFrame(labels, g, kNameTagFrame, x, y, 0, 0, 0);
    drawHudString(kHudFont, 0, car->m_name, (textW + extra) / 2 - shift + textX + x, textY + y,
                  kAnchorTopCentre);
}

} // namespace game
