#include "game/frontend/Championship.h"

#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/PreRaceSelection.h"
#include "game/frontend/SelectionZones.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceView.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kChampionshipTitleText = 199;
// The cup selection's texts: the cups' names and their tracks by cup, the
// goal of every cup, what to do on an available cup and on a locked one.
constexpr std::int32_t kFirstCupNameText = 47;
constexpr std::int32_t kFirstCupTracksText = 68;
constexpr std::int32_t kGoalText = 209;
constexpr std::int32_t kInstructionText = 210;
constexpr std::int32_t kCupLockedText = 211;
constexpr std::int32_t kRewardHeadText = 204;
constexpr std::int32_t kFirstRewardText = 205;
// The row of grids A and B that holds the cups.
constexpr std::int32_t kCupGridRow = 0;

// Layout, our design: the cup's picture in the middle of the screen, a
// dark cover over it while the cup is locked, a badge per race below.
constexpr std::int32_t kLockCover = static_cast<std::int32_t>(0x90000000u);
constexpr std::int32_t kPanelColour = static_cast<std::int32_t>(0xAA000000u);
constexpr std::int32_t kNameRise = 30;
constexpr std::int32_t kLineStep = 26;

// Frame `frame` of sprite `slot`, or of its frames taken round when it has
// fewer; nothing without frames.
void paintFrameRound(std::int32_t slot, std::int32_t frame, std::int32_t x, std::int32_t y) {
    const std::int32_t frames = spriteFrameCount(slot);
    if (frames > 0 && frame >= 0)
        paintSpriteFrame(slot, frame % frames, x, y);
}

// The cup the screen shows: its first menu item.
std::int32_t shownCup() {
    return menuItemValue(0);
}

bool cupAvailable(std::int32_t cup) {
    return cup >= 0 && cup < kCupCount && hasGridFlagA(cup, kCupGridRow);
}

void cupEnter() {
    resetMenu(1);
    std::int32_t remembered = rememberedSelection(State::CupSelect);
    if (remembered < 0 || remembered >= kCupCount)
        remembered = 0;
    setMenuItemValue(0, remembered);
    menuStatics().s_titleText = getString(kChampionshipTitleText);
    setHelpTexts(nullptr);
    setSoftKeys(1, 2);
    menuStatics().s_redraw = 1;
    restartBlink();
}

void chooseCup(std::int32_t cup) {
    ChampionshipStatics& s = championshipStatics();
    s.s_cup = cup;
    // Back to the menu the cup was reached from; the race menu before any
    // menu was left.
    const State menu = frontEndStatics().s_lastMenuState;
    s.s_rewardReturnState = menu != State{} ? menu : State::RaceMenu;
    clearGridFlagB(cup, kCupGridRow);
    resetChampionship();
    if (!setupCupRace(0))
        return;
    startLoading(kLoadRace, firstRaceState(stateStatics().s_gameMode));
}

void cupUpdate() {
    const std::int32_t cup = shownCup();
    const bool available = cupAvailable(cup);
    const std::int32_t flags = available ? kMenuChooseFlags : kMenuBrowseFlags;
    setSoftKeys(available ? 1 : -1, 2);
    buildScreenZones();
    bool chosen = handleMenuInput(kCupCount, -1, flags, flags, false);
    if (stateStatics().s_stateChangePending)
        return; // back
    chosen = touchOptionArrows(kCupCount) || isChooseKeyPressed() || chosen;
    if (chosen && available && shownCup() == cup) {
        chooseCup(cup);
        return;
    }
    if (shownCup() != cup || advanceBlink())
        menuStatics().s_redraw = 1;
}

void cupPaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    paintBackgroundPicture();
    paintScreenHeader();
    const std::int32_t cup = shownCup();
    const std::int32_t pictureW = spriteFrameWidth(kCupPictureSprite, kFirstPictureFrame);
    const std::int32_t pictureH = spriteFrameHeight(kCupPictureSprite, kFirstPictureFrame);
    const std::int32_t x = (w - pictureW) / 2;
    const std::int32_t y = h / 2 - pictureH;
    setClip(g, 0, 0, w, h);
    paintFrameRound(kCupPictureSprite, cup, x, y);
    if (!cupAvailable(cup)) {
        setFillColor(kLockCover);
        fillRectAlpha(g, x, y, pictureW, pictureH);
    }
    const std::int32_t badgeW = spriteFrameWidth(kRacerBadgeSprite, kFirstRacerBadgeFrame);
    for (std::int32_t race = 0; race < kCupRaces; ++race)
        paintFrameRound(kRacerBadgeSprite, kCupRaceRows[cup][race],
                        w / 2 + (race - 1) * (badgeW + 8) - badgeW / 2, y + pictureH + 12);
    // The cup's name above it; under its races' badges the tracks, the goal
    // and what to do.
    drawMenuText(kMenuTextFont, 0, getString(kFirstCupNameText + cup), w / 2, y - kNameRise,
                 kAnchorTopCentre);
    const std::int32_t below =
        y + pictureH + 12 + spriteFrameHeight(kRacerBadgeSprite, kFirstRacerBadgeFrame);
    drawMenuText(kMenuTextFont, 1, getString(kFirstCupTracksText + cup), w / 2, below + 8, kAnchorTopCentre);
    drawMenuText(kMenuTextFont, 1, getString(kGoalText), w / 2, below + 8 + kLineStep, kAnchorTopCentre);
    const bool available = cupAvailable(cup);
    // A new cup calls for the player with the instruction blinking.
    if (!available || !hasGridFlagB(cup, kCupGridRow) || startupScreenStatics().s_blinkVisible)
        drawMenuText(kMenuTextFont, 0, getString(available ? kInstructionText : kCupLockedText), w / 2,
                     below + 8 + 2 * kLineStep, kAnchorTopCentre);
    paintOptionArrows(menuStatics().s_arrowZones);
    if (available)
        paintChooseKey();
    menuStatics().s_redraw = 0;
}

const CupReward& rewardOf(std::int32_t standing) {
    return kCupRewards[standing >= 0 && standing < kCupRewardRows ? standing : kCupRewardRows];
}

void rewardEnter() {
    ChampionshipStatics& s = championshipStatics();
    const std::int32_t standing = raceResultsStatics().s_cupPlayerStanding;
    const CupReward& reward = rewardOf(standing);
    s.s_rewardedStanding = reward.gridRow >= 0 ? standing : -1;
    if (reward.gridRow >= 0) {
        setTripletFlag(s.s_cup, reward.tier, 0);
        grantReward(s.s_cup, reward.gridRow);
    }
    (void)saveProgress();
    requestSound(reward.sound);
    menuStatics().s_titleText = getString(kChampionshipTitleText);
    setSoftKeys(-1, -1);
    menuStatics().s_redraw = 1;
    restartBlink();
}

void rewardUpdate() {
    if (advanceBlink())
        menuStatics().s_redraw = 1;
    const std::int32_t key = getReleasedKey();
    if (key != kSelectKey && key != kFireKey && key != kLeftSoftKey && !isPressOnScreen())
        return;
    raceResultsStatics().s_championship = 0;
    backToState(championshipStatics().s_rewardReturnState);
}

void rewardPaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    paintBackgroundPicture();
    paintScreenHeader();
    setFillColor(kPanelColour);
    fillRectAlpha(g, (w - kRewardLineWidth) / 2 - 10, 90, kRewardLineWidth + 20, h - 180);
    const std::int32_t standing = raceResultsStatics().s_cupPlayerStanding;
    paintFrameRound(kRacerBadgeSprite, standing,
                    w / 2 - spriteFrameWidth(kRacerBadgeSprite, kFirstRacerBadgeFrame) / 2, 100);
    drawTextBlock(kMenuTextFont, 1, getString(kRewardHeadText), kRewardLineWidth, 0, w / 2, 160,
                  kAnchorTopCentre);
    drawTextBlock(kMenuTextFont, 0, getString(kFirstRewardText + rewardOf(standing).text), kRewardLineWidth,
                  0, w / 2, 200, kAnchorTopCentre);
    if (startupScreenStatics().s_blinkVisible)
        drawMenuText(kMenuTextFont, 0, getString(kPromptText), w / 2, h - 60, kAnchorTopCentre);
    menuStatics().s_redraw = 0;
}

} // namespace

ChampionshipStatics& championshipStatics() {
    return rt::getStaticClass().statics<ChampionshipStatics>();
}

std::int32_t cupRaceRow(std::int32_t race) {
    const std::int32_t cup = championshipStatics().s_cup;
    if (cup < 0 || cup >= kCupCount || race < 0 || race >= kCupRaces)
        return -1;
    return kCupRaceRows[cup][race];
}

bool setupCupRace(std::int32_t race) {
    const std::int32_t row = cupRaceRow(race);
    if (row < 0)
        return false;
    setupEventSlots(row, true);
    return true;
}

void setupNextRaceEvent() {
    if (raceResultsStatics().s_championship) {
        (void)setupCupRace(raceResultsStatics().s_cupRace);
        return;
    }
    // The menu names the next event by its place in the mode's list, the
    // place whose unlock bit it tested.
    std::int32_t& next = raceMenuStatics().s_nextTrack;
    if (next >= 0)
        (void)writeModeEvent(stateStatics().s_gameMode, next);
    next = -1;
}

void stateCupSelect(std::int32_t message) {
    switch (message) {
    case kEnter:
        cupEnter();
        break;
    case kUpdate:
        cupUpdate();
        break;
    case kPaint:
        cupPaint();
        break;
    case kExit:
        rememberSelection(State::CupSelect, shownCup());
        break;
    default:
        break;
    }
}

void stateReward(std::int32_t message) {
    switch (message) {
    case kEnter:
        rewardEnter();
        break;
    case kUpdate:
        rewardUpdate();
        break;
    case kPaint:
        rewardPaint();
        break;
    default:
        break;
    }
}

void registerChampionshipScreens() {
    setStateHandler(State::CupSelect, stateCupSelect);
    setStateHandler(State::RewardScreen, stateReward);
}

} // namespace game
