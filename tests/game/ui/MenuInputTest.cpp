// Menu and question-box input: the key-driven walks, value steps, choices
// and the way back, the choose sound and the pause list's sound switch, the
// stylus zones of the menus and the option arrows.

#include "game/ui/MenuInput.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/data/SoundRequestLog.h"
#include "tests/game/framework/TouchFixture.h"

#include <vector>

namespace {

// A number without a state: no rule of the menus' own.
const game::State kPlainState = game::stateFromNumber(20);

struct MenuInputTest : framework_testing::TouchTest {
    MenuInputTest() {
        game::makeKeyStateArrays();
        data_testing::installSilentSoundEngine();
        game::setSoundOption(true);
        game::loopStatics().s_rotated = 0;
        game::loopStatics().s_touchWidth = 640;
    }

    // This frame's keys: `released` went up (-1 none), `held` is down.
    static void keys(std::int32_t released, std::int32_t held = -1) {
        rt::ByteArray* state = game::keyStatics().s_keyState;
        for (std::int32_t key = 0; key < game::kGameKeyCount; ++key)
            rt::ByteArray::set(state, key, 0);
        if (released >= 0)
            rt::ByteArray::set(state, released, -3);
        if (held >= 0)
            rt::ByteArray::set(state, held, 3);
    }

    // A menu of `count` items in `state`, item `selection` highlighted.
    static void menu(game::State state, std::int32_t count, std::int32_t selection) {
        setState(state, game::GameMode::LapRace);
        game::resetMenu(count);
        game::touchStatics().s_selection = selection;
        game::menuStatics().s_redraw = 0;
    }

    static std::int32_t value(std::int32_t item) {
        return rt::ShortArray::get(game::touchStatics().s_menuItems, item);
    }
    static std::int32_t selection() { return game::touchStatics().s_selection; }
    static std::int32_t depth() { return game::stateStatics().s_stateStackDepth; }
    // No stylus point this frame.
    static void noTouch() {
        game::touchStatics().s_pointX = game::touchStatics().s_pointY = -1;
        game::latchPointer();
    }
};

TEST_F(MenuInputTest, KeysWalkTheMaskedMenuStepValuesAndChooseOnRelease) {
    struct Case {
        const char* what;
        std::int32_t count, mask, start, valueCount, flags, released, held;
        bool rotate;
        std::int32_t selection, value0;
        bool redraw, chosen;
    };
    const Case cases[] = {
        {"up wraps to the last item", 4, -1, 0, 1, 3, 1, -1, false, 3, 0, true, false},
        {"key 8 is up too", 4, -1, 0, 1, 3, 8, -1, false, 3, 0, true, false},
        {"down skips the hidden item", 4, -3, 0, 1, 3, 2, -1, false, 2, 0, true, false},
        {"key 14 is down too", 4, -3, 0, 1, 3, 14, -1, false, 2, 0, true, false},
        {"up skips the hidden item", 4, -9, 0, 1, 3, 1, -1, false, 2, 0, true, false},
        {"only the highlighted item enabled", 4, 1, 0, 1, 3, 1, -1, false, 0, 0, false, false},
        {"one item: down stays", 1, -1, 0, 1, 3, 2, -1, false, 0, 0, false, false},
        {"one item: up stays", 1, -1, 0, 1, 3, 1, -1, false, 0, 0, false, false},
        {"no items: up neither moves nor divides by 0", 0, -1, 0, 1, 3, 1, -1, false, 0, 0, false, false},
        {"no items: select chooses nothing", 0, -1, 0, 1, 3, 5, -1, false, 0, 0, false, false},
        {"nothing enabled outside the menu: the walk ends", 3, 0, -1, 1, 3, 1, -1, false, -1, 0, false,
         false},
        {"one value: left is no move", 4, -1, 0, 1, 3, 3, -1, false, 0, 0, false, false},
        {"left steps the value down round", 4, -1, 0, 3, 3, 3, -1, false, 0, 2, true, false},
        {"right steps the value up", 4, -1, 0, 3, 3, 12, -1, false, 0, 1, true, false},
        {"fire held while releasing down", 4, -1, 0, 1, 3, 2, 5, false, 0, 0, false, false},
        {"fire held while releasing right", 4, -1, 0, 3, 3, 4, 11, false, 0, 0, false, false},
        {"without the move flag down is ignored", 4, -1, 0, 1, 2, 2, -1, false, 0, 0, false, false},
        {"release of 5 chooses", 4, -1, 1, 1, 3, 5, -1, false, 1, 0, false, true},
        {"release of 11 chooses", 4, -1, 1, 1, 3, 11, -1, false, 1, 0, false, true},
        {"release of the left soft key chooses", 4, -1, 1, 1, 3, 18, -1, false, 1, 0, false, true},
        {"a press of 5 alone does not", 4, -1, 1, 1, 3, -1, 5, false, 1, 0, false, false},
        {"without the choose flag 5 is ignored", 4, -1, 1, 1, 1, 5, -1, false, 1, 0, false, false},
        {"turned: left is up", 4, -1, 0, 1, 3, 3, -1, true, 3, 0, true, false},
        {"turned: up is a value step", 4, -1, 0, 3, 3, 1, -1, true, 0, 2, true, false},
        {"turned: select stays select", 4, -1, 2, 1, 3, 5, -1, true, 2, 0, false, true},
    };
    noTouch();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        menu(kPlainState, c.count, c.start);
        keys(c.released, c.held);
        bool chosen = game::handleMenuInput(c.valueCount, c.mask, c.flags, 0, c.rotate);
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(selection(), c.selection);
        if (c.count > 0) {
            EXPECT_EQ(value(0), c.value0);
        }
        EXPECT_EQ(game::menuStatics().s_redraw != 0, c.redraw);
    }
}

TEST_F(MenuInputTest, TheQuarterTurnSwapsTheDirectionsOnly) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {1, 3},  {8, 3}, {2, 4},   {14, 4},  {3, 1},   {10, 1},  {4, 2},
        {12, 2}, {5, 5}, {11, 11}, {18, 18}, {19, 19}, {-1, -1}, {0, 0},
    };
    for (auto [key, turned] : cases)
        EXPECT_EQ(game::turnedKey(key), turned) << "key " << key;
}

TEST_F(MenuInputTest, AMoveRestartsTheScrollingTextsOutsideTheSlidingMenus) {
    noTouch();
    for (game::State state : {game::State::MainMenu, game::State::ModeMenu, game::State::RaceMenu,
                              game::State::PauseMenu, game::State::PreRaceSelect, game::State::Options}) {
        SCOPED_TRACE(state);
        menu(state, 3, 0);
        game::MenuStatics& statics = game::menuStatics();
        statics.s_helpLineX = 77;
        statics.s_labelScroll = 5;
        statics.s_scrollTextY = 0;
        keys(2);
        game::handleMenuInput(1, -1, 1, 0, false);
        bool sliding = state == game::State::MainMenu || state == game::State::ModeMenu ||
                       state == game::State::RaceMenu || state == game::State::PauseMenu;
        EXPECT_EQ(statics.s_helpLineX, sliding ? 77 : 640);
        EXPECT_EQ(statics.s_labelScroll, sliding ? 5 : 0);
        EXPECT_EQ(statics.s_scrollTextY, game::kScrollTextStart);
    }
}

TEST_F(MenuInputTest, ChoosingClicksExceptInTheOptionsAndWhenThePauseResumesMusic) {
    struct Case {
        const char* what;
        game::State state;
        std::int32_t soundFlags, selection, pauseItems;
        std::int8_t resumeMusic;
        bool chosen;
        std::vector<std::int32_t> sounds;
    };
    const Case cases[] = {
        {"a menu clicks", game::State::MainMenu, 3, 0, 0, 0, true, {21}},
        {"without the sound flag", game::State::MainMenu, 1, 0, 0, 0, true, {}},
        {"the options screen", game::State::Options, 7, 0, 0, 0, true, {}},
        {"the race's options", game::State::RaceOptions, 7, 0, 0, 0, true, {}},
        {"continue while music waits", game::State::PauseMenu, 7, 0, 6, 1, true, {}},
        {"continue without music", game::State::PauseMenu, 7, 0, 6, 0, true, {21}},
        {"another pause item", game::State::PauseMenu, 7, 1, 6, 1, true, {21}},
    };
    noTouch();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        menu(c.state, 6, c.selection);
        game::menuStatics().s_questionAnswerTexts = c.pauseItems ? rt::newIntArray(c.pauseItems) : nullptr;
        game::menuStatics().s_resumeMusic = c.resumeMusic;
        keys(5);
        EXPECT_EQ(game::handleMenuInput(1, -1, 7, c.soundFlags, false), c.chosen);
        EXPECT_EQ(data_testing::requestedSounds(log), c.sounds);
    }
}

TEST_F(MenuInputTest, ThePauseListsSoundItemSwitchesSoundAndIsNeverChosen) {
    struct Case {
        std::int32_t items, selection;
        std::int8_t soundBefore;
        bool switches;
    };
    const Case cases[] = {
        {6, 2, 0, true}, {6, 2, 1, true}, {5, 1, 1, true}, {5, 2, 0, false}, {6, 1, 0, false}};
    noTouch();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.items << " items, item " << c.selection);
        log.clear();
        menu(game::State::PauseMenu, c.items, c.selection);
        game::menuStatics().s_questionAnswerTexts = rt::newIntArray(c.items);
        game::menuStatics().s_resumeMusic = 0;
        game::startupStatics().s_soundOn = c.soundBefore;
        keys(5);
        bool chosen = game::handleMenuInput(1, -1, 7, 7, false);
        EXPECT_EQ(chosen, !c.switches);
        if (!c.switches)
            continue;
        EXPECT_EQ(game::startupStatics().s_soundOn, c.soundBefore ? 0 : 1);
        // Off: every sound stops; on: the choose sound.
        EXPECT_EQ(data_testing::requestedSounds(log), std::vector<std::int32_t>{c.soundBefore ? -1 : 21});
        EXPECT_EQ(game::menuStatics().s_redraw, 1);
    }
}

TEST_F(MenuInputTest, TheBackKeyAndTheRightSoftKeyPopTheState) {
    setLabels();
    game::setSoftKeys(1, 2);
    struct Case {
        const char* what;
        game::State state;
        std::int32_t flags, released;
        bool tapRightSoftKey, pops;
    };
    const Case cases[] = {
        {"key 19 with the back flag", game::State::ModeMenu, 7, 19, false, true},
        {"key 19 without it", game::State::ModeMenu, 3, 19, false, false},
        {"the right soft key's zone", game::State::ModeMenu, 3, -1, true, true},
        {"the race menu leaves by its own rule", game::State::RaceMenu, 3, -1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::pushState(c.state);
        menu(c.state, 4, 0);
        if (c.tapRightSoftKey)
            pressAt(620, 470);
        else
            noTouch();
        keys(c.released);
        std::int32_t before = depth();
        EXPECT_FALSE(game::handleMenuInput(1, -1, c.flags, 3, false));
        EXPECT_EQ(depth(), c.pops ? before - 1 : before);
    }
}

TEST_F(MenuInputTest, MenuZonesFollowTheLayoutAndTheLastOverlappingItemWins) {
    game::seams().promotion.available = [] { return true; };
    // Sprite 65 frame 1 of the stand-ins is 66 x 33.
    struct Case {
        const char* what;
        bool promotion;
        game::State state;
        std::int32_t count, x, y;
        std::int32_t selection;
        bool tapped;
    };
    const Case cases[] = {
        {"main menu item 0's top", true, game::State::MainMenu, 6, 10, 64, 0, true},
        {"just above it", true, game::State::MainMenu, 6, 10, 63, 3, false},
        {"item 0's top with the promotion hidden", false, game::State::MainMenu, 6, 10, 90, 0, true},
        {"the shared edge of items 0 and 1 goes to 1", true, game::State::MainMenu, 6, 40, 64 + 33, 1, true},
        {"hidden item 1 leaves 2 below item 0", false, game::State::MainMenu, 6, 40, 90 + 34, 2, true},
        {"the hidden item's empty zone catches nothing", false, game::State::MainMenu, 6, 0, 0, 3, false},
        {"mode menus lay out their own count", true, game::State::ModeMenu, 4, 76,
         (345 - 52 * 4) / 2 + 70 - 22, 0, true},
        {"other menus take six rows", true, kPlainState, 2, 10, 64, 0, true},
        {"the pre-race screen tests its own zones", true, game::State::PreRaceSelect, 3, 10, 64, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.promotion)
            game::seams().promotion.available = [] { return true; };
        else
            game::seams().promotion.available = [] { return false; };
        menu(c.state, c.count, 3 % c.count);
        game::touchStatics().s_selection = 3;
        pressAt(c.x, c.y);
        game::touchMenu();
        EXPECT_EQ(selection(), c.selection);
        EXPECT_EQ(game::menuStatics().s_menuTouchTapped != 0, c.tapped);
        EXPECT_EQ(game::menuStatics().s_menuTouchPressed != 0, c.tapped);
    }
}

TEST_F(MenuInputTest, ATapChoosesItsItemAndStepsItsValue) {
    menu(game::State::ModeMenu, 4, 0);
    pressAt(20, (345 - 52 * 4) / 2 + 70 - 22 + 40);
    keys(-1);
    EXPECT_TRUE(game::handleMenuInput(3, -1, 3, 3, false));
    EXPECT_EQ(selection(), 1);
    EXPECT_EQ(value(1), 2) << "a tap steps the value down";
    EXPECT_EQ(game::touchStatics().s_touchUsed, 1);
    noTouch();
    EXPECT_FALSE(game::handleMenuInput(3, -1, 3, 3, false)) << "the next frame has no tap";
}

TEST_F(MenuInputTest, QuestionAnswersWrapAndAChoiceTakesOneTapOrRelease) {
    struct Case {
        const char* what;
        std::int32_t count, start, released, held;
        std::int32_t answer;
        bool chosen;
    };
    const Case cases[] = {
        {"up wraps", 2, 0, 1, -1, 1, false},
        {"down wraps", 2, 1, 14, -1, 0, false},
        {"three answers up from 0", 3, 0, 8, -1, 2, false},
        {"one answer: up stays", 1, 0, 1, -1, 0, false},
        {"fire held: no move", 2, 0, 2, 18, 0, false},
        {"release of 5 chooses", 2, 1, 5, -1, 1, true},
        {"a press of 5 does not", 2, 1, -1, 5, 1, false},
    };
    noTouch();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setState(game::State::ResetQuestion, game::GameMode::LapRace);
        game::MenuStatics& statics = game::menuStatics();
        statics.s_questionAnswerCount = c.count;
        statics.s_questionAnswer = c.start;
        keys(c.released, c.held);
        log.clear();
        EXPECT_EQ(game::handleQuestionInput(7, 7), c.chosen);
        EXPECT_EQ(statics.s_questionAnswer, c.answer);
        EXPECT_EQ(data_testing::requestedSounds(log),
                  c.chosen ? std::vector<std::int32_t>{21} : std::vector<std::int32_t>{});
    }

    // A tap on an answer's zone chooses it once; the frame after it does not.
    setState(game::State::ResetQuestion, game::GameMode::LapRace);
    game::setList(2, game::buildMenuZones(2, 10, 100));
    game::menuStatics().s_questionAnswer = 0;
    keys(-1);
    pressAt(20, 100 - 22 + 40);
    EXPECT_TRUE(game::handleQuestionInput(7, 7));
    EXPECT_EQ(game::menuStatics().s_questionAnswer, 1);
    noTouch();
    EXPECT_FALSE(game::handleQuestionInput(7, 7));
}

TEST_F(MenuInputTest, OptionArrowsStepTheSelectionOrTheValueAndTheFieldConfirms) {
    struct Case {
        const char* what;
        game::State state;
        std::int32_t zones, tapX;
        std::int32_t selection, value1;
        bool confirmed;
    };
    // Zones of 20 x 20 at x 0, 100, 200, 300, 400, 500, y 0; item 1 highlighted.
    const Case cases[] = {
        {"list screens: the left arrow walks up", game::State::BonusMenu, 2, 5, 0, 0, false},
        {"list screens: the right arrow walks down", game::State::BonusMenu, 2, 105, 2, 0, false},
        {"selection screens: the left arrow steps the value", game::State::PreRaceSelect, 2, 5, 1, 2, false},
        {"selection screens: the right arrow steps it up", game::State::PreRaceSelect, 2, 105, 1, 1, false},
        {"four arrows: the stylus picks the row", game::State::RacerList, 4, 305, 1, 1, false},
        {"the field between the arrows confirms", game::State::PreRaceSelect, 2, 60, 1, 0, true},
        {"the field confirms only on the selection screens", game::State::RacerList, 2, 60, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        menu(c.state, 3, 1);
        rt::ObjectArray* zones = rt::newObjectArray(c.zones);
        for (std::int32_t i = 0; i < c.zones; ++i) {
            rt::IntArray* zone = rt::newIntArray(4);
            rt::Array::fill32(zone, {100 * i, 0, 20, 20});
            rt::Array::setRef(zones, i, zone);
        }
        game::menuStatics().s_arrowZones = zones;
        pressAt(c.tapX, 10);
        EXPECT_EQ(game::touchOptionArrows(3), c.confirmed);
        EXPECT_EQ(selection(), c.selection);
        EXPECT_EQ(value(1), c.value1);
    }
}

} // namespace
