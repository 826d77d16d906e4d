#include "game/racepaint/ResultScreens.h"

#include "classlib/lang/StringBuffer.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/Blink.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/HudText.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/sprite/ASprite.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

constexpr std::int32_t kResultsTitle = 54;
constexpr std::int32_t kTimeLabel = 46;
constexpr std::int32_t kScoreLabel = 49;
constexpr std::int32_t kBandLight = static_cast<std::int32_t>(0x80FFFFFFu);
constexpr std::int32_t kBandDark = static_cast<std::int32_t>(0x99111111u);
constexpr std::int32_t kBehindShade = static_cast<std::int32_t>(0x80000000u);
// The table of mode 0: an opaque panel (cheap, and readable over any
// track) with a title band, a band per row, and the blinking prompt at its
// foot; rows slide in inside it.
constexpr std::int32_t kTableLeft = 60;
constexpr std::int32_t kTableWidth = 520;
constexpr std::int32_t kTableTop = 30;
constexpr std::int32_t kTitleHeight = 44;
constexpr std::int32_t kRowPitch = 46;
constexpr std::int32_t kRowHeight = 42;
constexpr std::int32_t kFootHeight = 40;
constexpr std::int32_t kPanelRim = 0xE8B030;
constexpr std::int32_t kPanelBody = 0x0E1830;
constexpr std::int32_t kTitleBand = 0x24448A;
constexpr std::int32_t kRowBands[2] = {0x1A2A4C, 0x22365E};
constexpr std::int32_t kPlayerBand = 0x9A6210;
// Columns from a row's left (the badge's and the times' in the header): the
// right edge of the place and of the championship's points shown and held.
constexpr std::int32_t kPlaceColumn = 40;
constexpr std::int32_t kShownPointsColumn = 420;
constexpr std::int32_t kPointsColumn = 495;
// The palettes of the table's fonts: white and amber ink.
constexpr std::int32_t kWhiteInk = 0;
constexpr std::int32_t kAmberInk = 1;

void fillShade(std::int32_t argb, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (Graphics* g = loopStatics().s_graphics) {
        setFillColor(argb);
        fillRectAlpha(g, x, y, w, h);
    }
}

void paintBlinkingText() {
    if (isBlinkOn())
        drawHudString(kHudFont, 0, getString(kContinueText), raceScreenWidth() / 2, raceScreenHeight() - 14,
                      kAnchorCentre);
}

// Takes a value of the panel: a time, or a score.
void takeValue(bool score, std::int32_t value) {
    if (score)
        takeNumber(value, hudPaintStatics().s_numberSeparatorDigits != 0);
    else
        takeTime(value, false);
}

// The panel of modes 1, 4 and 5 with its two values (times, or scores).
void paintPanel(bool scorePanel, std::int32_t first, std::int32_t second) {
    ASprite* boxes = raceSprite(kQuestionBoxSprite);
    Graphics* g = loopStatics().s_graphics;
    if (!boxes || !g || kResultsPanelFrame >= boxes->getFrameCount())
        return;
    rt::IntArray* box = raceFrameBox(boxes, kResultsPanelFrame, kAnswerPoint);
    if (!box)
        return;
    const std::int32_t bx = rt::IntArray::get(box, 0);
    const std::int32_t by = rt::IntArray::get(box, 1);
    const std::int32_t bw = rt::IntArray::get(box, 2);
    const std::int32_t bh = rt::IntArray::get(box, 3);
    const std::int32_t x = (raceScreenWidth() - raceFrameWidth(kQuestionBoxSprite, kResultsPanelFrame)) / 2;
    const std::int32_t y = (raceScreenHeight() - bh) / 2;
    // The odd band of the two 70-pixel bands, lightened then darkened.
    fillShade(kBandLight, x + bx, y + by + 70, bw, 70);
    fillShade(kBandDark, x + bx, y + by + 70, bw, 70);
    paintRaceFrame(kQuestionBoxSprite, kResultsPanelFrame, x, y);
    rt::String* title = getString(kResultsTitle);
    if (scorePanel)
        drawHudString(kTitleFont, 1, title, raceScreenWidth() / 2, y + 4, kAnchorTopCentre);
    else
        drawHudString(kTitleFont, 1, title, (raceScreenWidth() - hudStringWidth(kTitleFont, title)) / 2,
                      y + 4, kAnchorTopLeft);
    const cEntity* player = racerStatics().s_playerCar;
    if (player) {
        const std::int32_t iconH = raceFrameHeight(kRacerBadgeSprite, player->m_driverKind);
        paintRaceFrame(kRacerBadgeSprite, player->m_driverKind, x + 4, y + 30 - iconH / 2 + 47);
    }
    const std::int32_t valueX = x + (scorePanel ? 120 : 150) + resultScreenStatics().s_resultValueOffset;
    takeValue(scorePanel, first);
    drawHudBuffer(kValueFont, 3, valueX, y + 50, kAnchorTopLeft);
    drawHudString(kHudFont, 0, getString(scorePanel ? kScoreLabel : kTimeLabel), x + 4,
                  y + (scorePanel ? 126 : 122), kAnchorTopLeft);
    takeValue(scorePanel, second);
    drawHudBuffer(kValueFont, 3, valueX, y + 124, kAnchorTopLeft);
    paintBlinkingText();
}

} // namespace

ResultScreenStatics& resultScreenStatics() {
    return rt::getStaticClass().statics<ResultScreenStatics>();
}

void paintResults() {
    switch (stateStatics().s_gameMode) {
    case GameMode::LapRace:
        paintResultsMode0();
        break;
    case GameMode::TimeTrial:
    case GameMode::StopAndGo:
        paintResultsMode1(resultsTime());
        break;
    case GameMode::Points:
        paintResultsMode5();
        break;
    default:
        break;
    }
}

void paintResultsMode0() {
    const RaceResultsStatics& s = raceResultsStatics();
    Graphics* g = loopStatics().s_graphics;
    if (!g)
        return;
    const cEntity* player = racerStatics().s_playerCar;
    const bool cup = isChampionship();
    const std::int32_t rows = s.s_resultsRows;
    const std::int32_t rowsTop = kTableTop + kTitleHeight + 6;
    const std::int32_t height = kTitleHeight + 6 + rows * kRowPitch + kFootHeight;
    fillRaceRect(kPanelRim, kTableLeft - 3, kTableTop - 3, kTableWidth + 6, height + 6);
    fillRaceRect(kPanelBody, kTableLeft, kTableTop, kTableWidth, height);
    fillRaceRect(kTitleBand, kTableLeft, kTableTop, kTableWidth, kTitleHeight);
    rt::String* title = getString(kResultsTitle);
    (void)hudStringWidth(kTitleFont, title);
    const std::int32_t lineHeight = hudTextHeight();
    drawHudString(kTitleFont, kAmberInk, title, raceScreenWidth() / 2,
                  kTableTop + (kTitleHeight - lineHeight) / 2, kAnchorTopCentre);
    // The whole table slides in the championship's sub-phases 1 and 2; the
    // rows stay inside the panel.
    const bool tableSlides = s.s_resultsPhase == 1 || s.s_resultsPhase == 2;
    const std::int32_t slide = s.s_resultsSlide < kResultsSlideFull ? s.s_resultsSlide : kResultsSlideFull;
    setClip(g, kTableLeft, kTableTop, kTableWidth, height);
    for (std::int32_t i = 0; i < s.s_resultsRow && i < rows; ++i) {
        const cEntity* car = racerAt(i);
        if (!car)
            continue;
        const bool sliding = tableSlides || (s.s_resultsPhase == 0 && i == s.s_resultsRow - 1);
        const std::int32_t x = kTableLeft + (sliding ? (kResultsSlideFull - slide) * 4 : 0);
        const std::int32_t y = rowsTop + kRowPitch * i;
        const bool mine = car == player;
        fillRaceRect(mine ? kPlayerBand : kRowBands[i & 1], x + 6, y, kTableWidth - 12, kRowHeight);
        const std::int32_t textY = y + (kRowHeight - lineHeight) / 2;
        lib::StringBuffer* place = clearedHudBuffer();
        place->append(i + 1);
        takeHudBuffer();
        drawHudBuffer(kTitleFont, mine ? kWhiteInk : kAmberInk, x + kPlaceColumn, textY, kAnchorTopRight);
        const std::int32_t badge = mine ? car->m_driverKind : car->m_carType;
        const std::int32_t badgeWidth = raceFrameWidth(kRacerBadgeSprite, badge);
        paintRaceFrame(kRacerBadgeSprite, badge, x + kBadgeColumn,
                       y + (kRowHeight - raceFrameHeight(kRacerBadgeSprite, badge)) / 2);
        drawHudString(kTitleFont, kWhiteInk, car->m_name,
                      x + kBadgeColumn + (badgeWidth > 0 ? badgeWidth + kResultsNameGap : 0), textY,
                      kAnchorTopLeft);
        takeTime(intAt(raceFrameStatics().s_racerTimes, car->m_racerIndex), false);
        drawHudBuffer(kTitleFont, mine ? kWhiteInk : kAmberInk, x + (cup ? kCupTimeColumn : kTimeColumn),
                      textY, kAnchorTopRight);
        if (cup) {
            takeNumber(intAt(s.s_cupShownPoints, car->m_driverKind), true);
            drawHudBuffer(kTitleFont, kWhiteInk, x + kShownPointsColumn, textY, kAnchorTopRight);
            takeNumber(intAt(s.s_cupPoints, car->m_driverKind), true);
            drawHudBuffer(kTitleFont, kAmberInk, x + kPointsColumn, textY, kAnchorTopRight);
        }
    }
    setClip(g, 0, 0, raceScreenWidth(), raceScreenHeight());
    if (s.s_resultsReady && isBlinkOn())
        drawHudString(kHudFont, kWhiteInk, getString(kContinueText), raceScreenWidth() / 2,
                      kTableTop + height - kFootHeight / 2, kAnchorCentre);
}

void paintResultsMode1(std::int32_t time) {
    paintPanel(false, time, eventGoalStatics().s_eventBestTime);
}

void paintResultsMode5() {
    const cEntity* player = racerStatics().s_playerCar;
    if (player && player->m_racePosition != 0) {
        fillShade(kBehindShade, 0, 0, raceScreenWidth(), raceScreenHeight());
        const ResultScreenStatics& r = resultScreenStatics();
        paintRaceFrame(kPlaceSprite, kPlaceMarkFrame, r.s_placeMarkX, r.s_placeMarkY);
    }
    const EventGoalStatics& g = eventGoalStatics();
    paintPanel(true, g.s_points, g.s_pointsReference);
}

} // namespace game
