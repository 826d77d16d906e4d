#include "game/frontend/SlidingMenus.h"

#include "game/data/Progress.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceResults.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

namespace {

constexpr std::int32_t kSlideStep = 128;
constexpr std::int32_t kChoiceBlinkFrames = 8;
constexpr std::int32_t kPromotionHiddenMask = -3;

// What tells the three sliding menus apart.
struct SlidingMenu {
    State state;
    std::int32_t items;
    std::int32_t title;
    std::int32_t leftSoftKey, rightSoftKey;
    std::int32_t flags, soundFlags;
    std::int32_t table;
};

constexpr SlidingMenu kMain{State::MainMenu, 6, 27, -1, -1, 3, 3, kMainMenu};
constexpr SlidingMenu kMode{State::ModeMenu, 4, 192, 1, 2, 7, 3, kModeMenu};
constexpr SlidingMenu kRace{State::RaceMenu, 5, 150, 1, 2, 3, 3, kRaceMenu};

void playMusic() {
    requestSound(kMenuMusic);
}

bool musicPlaying() {
    return playingMusic() >= 0;
}

// The menu comes back whole: nothing leaving, every item at rest.
void bringItemsBack() {
    MenuStatics& menu = menuStatics();
    menu.s_menuLeaving = 0;
    menu.s_menuSlideOut = kMenuItemX;
    menu.s_menuSlideCount = 0;
}

void slidingMenuEnter(const SlidingMenu& m) {
    resetMenu(m.items);
    std::int32_t remembered = rememberedSelection(m.state);
    touchStatics().s_selection = remembered >= m.items ? remembered % m.items : remembered;
    MenuStatics& menu = menuStatics();
    menu.s_titleText = getString(m.title);
    setSoftKeys(m.leftSoftKey, m.rightSoftKey);
    menu.s_redraw = 1;
    menu.s_menuChoiceBlink = 0;
    bringItemsBack();
    setHelpTexts(menuRow(m.table, kMenuThird));
}

void carryOut(const SlidingMenu& m, std::int32_t selection, State target) {
    switch (m.state) {
    case State::MainMenu:
        if (target == State::RaceMenu && !hasProgressFlagC(kStartQuestionAnsweredBit))
            target = State::StartQuestion;
        pushState(target);
        return;
    case State::ModeMenu:
        // The mode menu's items are the game modes from the collection on.
        stateStatics().s_gameMode = gameModeFromNumber(gameModeNumber(GameMode::Collection) + selection);
        pushState(target);
        return;
    default:
        break;
    }
    // The race menu.
    if (selection == 0 || selection == 1)
        stateStatics().s_gameMode = GameMode::LapRace;
    if (selection == 0)
        raceResultsStatics().s_championship = 1;
    if (selection == 2)
        stateStatics().s_gameMode = GameMode::TimeTrial;
    if (selection == 4) {
        // The one-off event of game mode 6 goes through the loader to the
        // countdown.
        setupMode6Event();
        startLoading(kLoadRace, State::RaceCountdown);
        return;
    }
    pushState(target);
}

void slidingMenuUpdate(const SlidingMenu& m, std::int32_t itemMask) {
    MenuStatics& menu = menuStatics();
    (void)getReleasedKey();
    if (menu.s_menuChoiceBlink > 0)
        --menu.s_menuChoiceBlink;
    if (menu.s_menuSlideIn == 0 && menu.s_menuLeaving == 0 && menu.s_menuChoiceBlink == 0 &&
        handleMenuInput(1, itemMask, m.flags, m.soundFlags, false)) {
        menu.s_menuLeaving = 1;
        menu.s_menuSlideCount = m.items;
        menu.s_menuChoiceBlink = kChoiceBlinkFrames;
    }
    // A blinking or sliding menu changes every frame.
    if (menu.s_menuLeaving != 0 || menu.s_menuSlideIn > 0)
        menu.s_redraw = 1;
    if (menu.s_menuLeaving == 0)
        menu.s_menuSlideIn = std::max(0, menu.s_menuSlideIn - kSlideStep);
    else if (menu.s_menuChoiceBlink == 0)
        menu.s_menuSlideOut = std::max(kMenuItemGoneX, menu.s_menuSlideOut - kSlideStep);

    if (menu.s_menuLeaving != 0 && menu.s_menuSlideOut == kMenuItemGoneX && menu.s_menuSlideCount == 1) {
        std::int32_t selection = touchStatics().s_selection;
        std::optional<State> target = menuTarget(m.table, selection);
        if (!target) {
            // Nothing to carry out: the menu comes back instead of freezing.
            bringItemsBack();
            menu.s_redraw = 1;
        } else {
            carryOut(m, selection, *target);
        }
    }
    scrollMenuText();
}

void slidingMenuPaint(const SlidingMenu& m) {
    paintMenu(m.items, menuRow(m.table, kMenuTexts));
    paintHelpLine();
    menuStatics().s_redraw = 0;
}

void exitMenu(const SlidingMenu& m) {
    rememberSelection(m.state, touchStatics().s_selection);
    frontEndStatics().s_lastMenuState = m.state;
}

// The common messages; answers whether `message` was one of them.
bool handle(const SlidingMenu& m, std::int32_t message, std::int32_t itemMask) {
    switch (message) {
    case kEnter:
        slidingMenuEnter(m);
        return true;
    case kUpdate:
        slidingMenuUpdate(m, itemMask);
        return true;
    case kPaint:
        slidingMenuPaint(m);
        return true;
    case kExit:
        exitMenu(m);
        return true;
    default:
        return false;
    }
}

} // namespace

void mapMenuDigits() {
    mapKey(0, 50, 8);
    mapKey(0, 52, 10);
    mapKey(0, 54, 12);
    mapKey(0, 56, 14);
    mapKey(0, 53, 11);
}

FrontEndStatics& frontEndStatics() {
    return rt::getStaticClass().statics<FrontEndStatics>();
}

rt::ShortArray* rememberedSelections() {
    FrontEndStatics& statics = frontEndStatics();
    if (!statics.s_lastSelection)
        statics.s_lastSelection = rt::newShortArray(kStateSlots);
    return statics.s_lastSelection;
}

std::int32_t rememberedSelection(State state) {
    return rt::ShortArray::get(rememberedSelections(), stateNumber(state));
}

void rememberSelection(State state, std::int32_t selection) {
    rt::ShortArray::set(rememberedSelections(), stateNumber(state), static_cast<std::int16_t>(selection));
}

void stateMainMenu(std::int32_t message) {
    if (message == kEnter) {
        raceResultsStatics().s_championship = 0;
        mapMenuDigits();
        const State previous = stateStatics().s_prevState;
        if (previous == State::Loading || previous == State::Promotion)
            playMusic();
    }
    handle(kMain, message, promotionItemShown() ? -1 : kPromotionHiddenMask);
}

void stateModeMenu(std::int32_t message) {
    handle(kMode, message, -1);
}

void stateRaceMenu(std::int32_t message) {
    if (message == kEnter) {
        raceResultsStatics().s_championship = 0;
        const State previous = stateStatics().s_prevState;
        if (!musicPlaying() && (previous == State::Loading || previous == State::RewardScreen))
            playMusic();
    }
    handle(kRace, message, -1);
    // The way back to the main menu, past the state below.
    if (message == kUpdate && (isKeyPressed(kRightSoftKey) || touchMenuSoftKeys())) {
        popState();
        popState();
        pushState(State::MainMenu);
    }
}

void registerMenuStates() {
    setStateHandler(State::MainMenu, stateMainMenu);
    setStateHandler(State::ModeMenu, stateModeMenu);
    setStateHandler(State::RaceMenu, stateRaceMenu);
}

} // namespace game
