#include "game/racescreens/RaceMenus.h"

#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Anchors.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/race/HudState.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/racescreens/RaceStates.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/ListZones.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <initializer_list>

namespace game {

namespace {

constexpr std::int32_t kPauseTitle = 0;
constexpr std::int32_t kOptionsTitle = 2;
constexpr std::int32_t kHelpTitle = 62;
constexpr std::int32_t kHelpTexts = 25;
// The exit question's title and text page, over a race and elsewhere.
constexpr std::int32_t kExitOverRaceTitle = 14;
constexpr std::int32_t kExitOverRacePage = 8;
constexpr std::int32_t kExitTitle = 25;
constexpr std::int32_t kExitPage = 24;
constexpr std::int32_t kNoText = 12;
constexpr std::int32_t kYesText = 11;
constexpr std::int32_t kNextRaceText = 92;
constexpr std::int32_t kRetryText = 93;
constexpr std::int32_t kLeaveText = 94;
constexpr std::int32_t kNextRaceTitle = 91;
constexpr std::int32_t kRetryTitle = 15;
constexpr std::int32_t kSoundOptionText = 59;
constexpr std::int32_t kVibrationOptionText = 60;
constexpr std::int32_t kChooseSoundId = 21;
constexpr std::int32_t kLastMusic = 7;
constexpr std::int32_t kVibrationMs = 100;
// The pause list rises this far above the screen's centre.
constexpr std::int32_t kPauseRise = 40;

std::int32_t width() {
    return config().s_gameScreenWidth;
}
std::int32_t height() {
    return config().s_gameScreenHeight;
}

rt::IntArray* ids(std::initializer_list<std::int32_t> values) {
    rt::IntArray* out = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::int32_t v : values)
        rt::IntArray::set(out, i++, v);
    return out;
}

// A question box of `texts` answers, answer 0 highlighted, each answer a
// touch zone where the box draws it.
void openQuestion(std::int32_t title, std::int32_t second, rt::IntArray* texts) {
    MenuStatics& menu = menuStatics();
    setList(texts ? texts->length() : 0, buildListZones(texts));
    menu.s_questionTitleText = title;
    menu.s_questionSecondText = second;
    menu.s_questionAnswerTexts = texts;
    menu.s_questionAnswerCount = texts ? texts->length() : 0;
    menu.s_questionPaintCount = menu.s_questionAnswerCount;
    menu.s_questionAnswer = 0;
    menu.s_redraw = 1;
}

void playChoose() {
    requestSound(kChooseSoundId);
}

// The race below a menu, then the menu's box centred at `rise` above the
// screen's middle.
void paintOverRace(std::int32_t answer, std::int32_t rise) {
    paintRaceState();
    paintQuestionBox(answer, width() / 2, height() / 2 - rise);
    menuStatics().s_redraw = 0;
}

// The state below the top of the stack, when the depth is 2..33.
State stateBelow() {
    const StateStatics& s = stateStatics();
    if (s.s_stateStackDepth < 2 || s.s_stateStackDepth > 33)
        return State{};
    return getStackedState(s.s_stateStackDepth - 1);
}

std::int32_t currentTrack() {
    const EventSlotStatics& slots = eventSlotStatics();
    return slots.s_eventTrack ? rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent) : 0;
}

void endRaceRun() {
    raceStatics().s_raceSetUp = 0;
    stopMusic();
}

void yesNoQuestion(std::int32_t message, std::int32_t title, std::int32_t second, void (*yes)(),
                   bool overRace = true) {
    switch (message) {
    case kEnter:
    case kResume:
    case kPause:
        openQuestion(title, second, ids({kNoText, kYesText}));
        break;
    case kUpdate:
        if (!handleQuestionInput(7, 7, false))
            break;
        if (menuStatics().s_questionAnswer == 0)
            popState();
        else
            yes();
        break;
    case kPaint:
        if (!mustRepaint())
            break;
        if (overRace) {
            paintOverRace(menuStatics().s_questionAnswer, 0);
        } else {
            // Outside a race the screen below (the main menu) paints itself.
            if (StateHandler below = stateHandler(stateBelow())) {
                menuStatics().s_fullRepaint = 1;
                below(kPaint);
            }
            paintQuestionBox(menuStatics().s_questionAnswer, width() / 2, height() / 2);
            menuStatics().s_redraw = 0;
        }
        break;
    default:
        break;
    }
}

} // namespace

std::int32_t raceHelpLineWidth() {
    return std::max(0, spriteFrameWidth(kQuestionBoxSprite, kRaceHelpBoxFrame) - 2 * kRaceHelpMargin);
}

bool isShortPauseMenu() {
    return isChampionship() || stateStatics().s_gameMode == GameMode::Guided;
}

bool isLastEvent() {
    const EventSlotStatics& slots = eventSlotStatics();
    return slots.s_currentEvent >= slots.s_eventSlotCount - 1;
}

bool isNextRaceOffered() {
    if (stateStatics().s_gameMode != GameMode::LapRace)
        return false;
    const std::int32_t next = currentTrack() + 1;
    rt::ObjectArray* tracks = eventStatics().s_eventRows;
    return tracks && next < tracks->length() && hasProgressFlagB(next);
}

void statePauseMenu(std::int32_t message) {
    MenuStatics& menu = menuStatics();
    RaceMenuStatics& s = raceMenuStatics();
    TouchStatics& touch = touchStatics();
    switch (message) {
    case kEnter: {
        const bool shortMenu = isShortPauseMenu();
        openQuestion(kPauseTitle, -1, menuRow(shortMenu ? kPauseMenuShort : kPauseMenu, kMenuTexts));
        const std::int32_t count = shortMenu ? 5 : 6;
        // Every item is drawn, in the box made for that many: the player
        // sees each way out of the pause, not the first alone.
        menu.s_questionPaintCount = count;
        resetMenu(count);
        touch.s_selection = s.s_pauseMenuItem < count ? s.s_pauseMenuItem : s.s_pauseMenuItem % count;
        s.s_pausedState = stateBelow();
        // However the pause was asked for (its key or its button), the
        // race's controls are off under it: the questions it opens know
        // they stand over a race by this.
        raceTouchStatics().s_raceControlsOff = 1;
        setSoftKeys(1, 2);
        // Music under the menu stops; a sound effect (id 8 up) is no music.
        menu.s_resumeMusic = isMusicActive() && getCurrentMusic() <= kLastMusic ? 1 : 0;
        stopMusic();
        break;
    }
    case kUpdate: {
        const std::int32_t music = getCurrentMusic();
        if (isMusicActive() && music >= 0 && music <= kLastMusic)
            stopMusicChannel(0);
        touchPauseMenu();
        if (!handleMenuInput(1, -1, 7, 7, false))
            break;
        const std::int32_t item = touch.s_selection;
        const std::optional<State> target =
            menuTarget(isShortPauseMenu() ? kPauseMenuShort : kPauseMenu, item);
        if (item == 0)
            popState();
        else if (target)
            pushState(*target);
        s.s_pauseMenuItem = item;
        break;
    }
    case kPaint:
        paintOverRace(touch.s_selection, kPauseRise);
        break;
    case kExit:
        if (stateStatics().s_nextState == State::Race && !raceStatics().s_raceFinished)
            raceTouchStatics().s_raceControlsOff = 0;
        s.s_pauseMenuItem = touch.s_selection;
        menu.s_redraw = 1;
        break;
    default:
        break;
    }
}

void stateRaceOptions(std::int32_t message) {
    TouchStatics& touch = touchStatics();
    switch (message) {
    case kEnter:
        openQuestion(kOptionsTitle, -1, ids({kSoundOptionText, kVibrationOptionText}));
        resetMenu(2);
        touch.s_selection = 0;
        setSoftKeys(1, 2);
        break;
    case kUpdate:
        if (!handleMenuInput(1, -1, 7, 7, false))
            break;
        menuStatics().s_redraw = 1;
        if (touch.s_selection == 0) {
            const bool on = !isSoundOn();
            setSoundOption(on);
            (void)saveProgress();
            if (on)
                playChoose();
            else
                stopMusic();
        } else {
            playChoose();
            ProgressStatics& progress = progressStatics();
            progress.s_vibrationOn = progress.s_vibrationOn ? 0 : 1;
            (void)saveProgress();
            if (progress.s_vibrationOn)
                vibrate(kVibrationMs);
        }
        break;
    case kPaint:
        if (!mustRepaint())
            break;
        paintOverRace(touch.s_selection, 0);
        // The on/off marks beside the two options.
        for (std::int32_t i = 0; i < 2; ++i) {
            const bool on = i == 0 ? isSoundOn() : progressStatics().s_vibrationOn != 0;
            paintSpriteFrame(kMenuItemSprite, on ? kAnswerOnFrame : kAnswerFrame, width() / 2 + 120,
                             height() / 2 - 20 + 40 * i);
        }
        break;
    default:
        break;
    }
}

void stateRaceHelp(std::int32_t message) {
    TouchStatics& touch = touchStatics();
    switch (message) {
    case kEnter:
        openQuestion(kHelpTitle, -1, ids({kHelpTitle}));
        menuStatics().s_questionPaintCount = kRaceHelpBoxFrame;
        resetMenu(1);
        setSoftKeys(-1, 2);
        break;
    case kUpdate:
        (void)handleMenuInput(1, -1, 5, 5, true);
        break;
    case kPaint: {
        if (!mustRepaint())
            break;
        // The page sits in the box that holds three answers, its lines broken
        // to the box's width inside a margin, below the title.
        const std::int32_t x = width() / 2;
        const std::int32_t y = height() / 2;
        paintRaceState();
        paintSpriteFrame(kQuestionBoxSprite, kRaceHelpBoxFrame, x, y);
        paintBoxTitle(x, y);
        const std::int32_t top = y + rt::IntArray::get(questionBoxPoint(kRaceHelpBoxFrame, kAnswerPoint), 1);
        drawTextBlock(2, 1, getString(kHelpTexts + touch.s_selection), raceHelpLineWidth(), 0, x, top,
                      kAnchorTopCentre);
        menuStatics().s_redraw = 0;
        break;
    }
    default:
        break;
    }
}

void stateExitConfirm(std::int32_t message) {
    const bool overRace = raceTouchStatics().s_raceControlsOff != 0;
    yesNoQuestion(
        message, overRace ? kExitOverRaceTitle : kExitTitle, -1,
        [] {
            stopMusic();
            pushState(State::Quit);
        },
        overRace);
    if (message == kEnter) {
        setSoftKeys(-1, -1);
        setTextPage(overRace ? kExitOverRacePage : kExitPage);
    }
}

void stateQuitRaceConfirm(std::int32_t message) {
    yesNoQuestion(message, 7, 14, [] {
        setLoadingTarget(kLoadMenus, State::MainMenu);
        backToState(State::Loading);
        raceResultsStatics().s_championship = 0;
        // The next championship begins at its first race.
        raceResultsStatics().s_cupRace = 0;
        raceTouchStatics().s_raceControlsOff = 0;
    });
    if (message == kEnter)
        setSoftKeys(1, 2);
}

void stateRestartConfirm(std::int32_t message) {
    yesNoQuestion(message, 15, -1, [] {
        endRaceRun();
        backToState(State::TrackFlyover);
    });
    if (message == kEnter)
        setSoftKeys(1, 2);
}

void stateRaceEndMenu(std::int32_t message) {
    RaceMenuStatics& s = raceMenuStatics();
    switch (message) {
    case kEnter:
        s.s_nextRaceOffered = isNextRaceOffered() ? 1 : 0;
        if (s.s_nextRaceOffered)
            openQuestion(kNextRaceTitle, -1, ids({kNextRaceText, kRetryText, kLeaveText}));
        else
            openQuestion(kRetryTitle, -1, ids({kRetryText, kLeaveText}));
        s.s_nextTrack = -1;
        setSoftKeys(1, -1);
        break;
    case kUpdate: {
        if (!handleQuestionInput(3, 3, false))
            break;
        std::int32_t answer = menuStatics().s_questionAnswer;
        if (!s.s_nextRaceOffered)
            ++answer;
        if (answer == 0) {
            s.s_nextTrack = currentTrack() + 1;
            setLoadingTarget(kLoadNextRace, State::TrackFlyover);
            pushState(State::Loading);
        } else if (answer == 1) {
            endRaceRun();
            backToState(State::TrackFlyover);
        } else {
            endRaceRun();
            setLoadingTarget(kLoadMenus, State::MainMenu);
            backToState(State::Loading);
        }
        break;
    }
    case kPaint:
        if (mustRepaint())
            paintOverRace(menuStatics().s_questionAnswer, 0);
        break;
    default:
        break;
    }
}

void registerRaceMenus() {
    setStateHandler(State::PauseMenu, statePauseMenu);
    setStateHandler(State::RaceOptions, stateRaceOptions);
    setStateHandler(State::RaceHelp, stateRaceHelp);
    setStateHandler(State::ExitQuestion, stateExitConfirm);
    setStateHandler(State::QuitRaceQuestion, stateQuitRaceConfirm);
    setStateHandler(State::RestartQuestion, stateRestartConfirm);
    setStateHandler(State::RaceEndMenu, stateRaceEndMenu);
}

} // namespace game
