// The sliding menus walked frame by frame: a choice blinks, the items leave
// one by one, the choice is carried out, and the menu is whole again when
// the pushed state pops back to it.

#include "game/frontend/SlidingMenus.h"
#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/framework/Keys.h"
#include "game/framework/StaticInit.h"
#include "game/frontend/Loading.h"
#include "game/race/RaceEntity.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/frontend/FrontEndFixture.h"

#include <algorithm>

namespace {

using framework_testing::recordMessage;
using framework_testing::s_paints;

struct SlidingMenusTest : frontend_testing::FrontEndTest {
    SlidingMenusTest() {
        // Menus 6, 15 and 17: texts, targets, help texts.
        const std::vector<std::vector<std::int32_t>> rows[] = {
            {{10, 11, 12, 13, 14, 15}, {17, 37, 30, -1, 32, 7}, {20, 21, 22, 23, 24, 25}},
            {{10, 11, 12, 13}, {14, 14, 14, 14}, {20, 21, 22, 23}},
            {{10, 11, 12, 13, 14}, {18, 18, 14, 15, 45}, {20, 21, 22, 23, 24}},
        };
        game::GameTables& tables = game::gameTables();
        tables.s_menus = rt::newObjectArray(game::kMenuTableCount);
        for (std::int32_t menu = 0; menu < 3; ++menu) {
            rt::ObjectArray* table = rt::newObjectArray(game::kMenuRowCount);
            rt::Array::setRef(tables.s_menus, menu, table);
            for (std::int32_t row = 0; row < 3; ++row) {
                const std::vector<std::int32_t>& values = rows[menu][static_cast<std::size_t>(row)];
                rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
                std::copy(values.begin(), values.end(), rt::IntArray::span(array).begin());
                rt::Array::setRef(table, row, array);
            }
        }
        game::initProgressStatics();
        game::registerMenuStates();
        game::setStateHandler(game::State::RacerList, recordMessage<game::State::RacerList>);
        game::setStateHandler(game::State::Options, recordMessage<game::State::Options>);
        game::setStateHandler(game::State::StartQuestion, recordMessage<game::State::StartQuestion>);
        game::seams().promotion.available = [] { return false; };
    }

    // The x of each item frame painted in the last frame.
    static std::vector<std::int32_t> itemXs() {
        std::vector<std::int32_t> xs;
        for (const std::string& call : s_paints)
            if (call.starts_with("frame 65:"))
                xs.push_back(std::stoi(call.substr(call.find('@') + 1)));
        return xs;
    }
};

TEST_F(SlidingMenusTest, AChoiceBlinksSlidesOutIsCarriedOutOnceAndTheMenuComesBackWhole) {
    open(game::State::MainMenu);
    frame(2);
    ASSERT_EQ(game::touchStatics().s_selection, 2) << "down skips the hidden promotion item";
    frame(5);
    std::int32_t frames = 0;
    while (state() == game::State::MainMenu && frames < 60) {
        frame(2);
        ++frames;
        EXPECT_EQ(game::touchStatics().s_selection, 2) << "no key acts while the menu leaves";
    }
    EXPECT_EQ(state(), game::State::Options);
    // 7 more blinking frames, then each of six items takes three frames to leave.
    EXPECT_EQ(frames, 7 + 6 * 3);

    game::popState();
    game::applyStateChange();
    frame();
    EXPECT_EQ(itemXs(), (std::vector<std::int32_t>{10, 10, 10, 10, 10}));
    frame();
    EXPECT_EQ(state(), game::State::MainMenu) << "the choice is not carried out again";
    frame(14);
    EXPECT_EQ(game::touchStatics().s_selection, 3) << "keys act again";
}

TEST_F(SlidingMenusTest, AChoiceWithoutATargetBringsTheMenuBack) {
    open(game::State::MainMenu);
    frame(2);
    frame(2);
    ASSERT_EQ(game::touchStatics().s_selection, 3);
    frame(5);
    for (int i = 0; i < 40; ++i)
        frame();
    EXPECT_EQ(state(), game::State::MainMenu);
    EXPECT_EQ(game::menuStatics().s_menuLeaving, 0);
    frame(1);
    EXPECT_EQ(game::touchStatics().s_selection, 2) << "the menu is not frozen";
}

// Race menu item 4 sets up the guided race's event (game mode 6, the
// event slot's variant 6) and loads it.
TEST_F(SlidingMenusTest, ItemsLeadToTheirStates) {
    struct Case {
        const char* what;
        game::State menu;
        std::int32_t downs, maskC;
        game::State target;
        game::GameMode gameMode;
        bool guidedRace;
    };
    const Case cases[] = {
        {"the race menu asks first", game::State::MainMenu, 0, 0, game::State::StartQuestion,
         game::GameMode::LapRace, false},
        {"the race menu once answered", game::State::MainMenu, 0, 8, game::State::RaceMenu,
         game::GameMode::LapRace, false},
        {"mode menu item 0", game::State::ModeMenu, 0, 0, game::State::RacerList, game::GameMode::Collection,
         false},
        {"mode menu item 3", game::State::ModeMenu, 3, 0, game::State::RacerList, game::GameMode::Points,
         false},
        {"race menu item 2", game::State::RaceMenu, 2, 0, game::State::RacerList, game::GameMode::TimeTrial,
         false},
        {"race menu item 3", game::State::RaceMenu, 3, 0, game::State::ModeMenu, game::GameMode::LapRace,
         false},
        {"race menu item 4 loads the guided race", game::State::RaceMenu, 4, 0, game::State::Loading,
         game::GameMode::Guided, true},
    };
    game::initEventSlots();
    const game::EventSlotStatics& slots = game::eventSlotStatics();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        rt::ByteArray::set(slots.s_eventVariant, slots.s_currentEvent, 0);
        game::progressStatics().s_progressMaskC = c.maskC;
        game::frontEndStatics().s_lastSelection = nullptr;
        open(c.menu);
        for (std::int32_t i = 0; i < c.downs; ++i)
            frame(2);
        frame(5);
        for (int i = 0; i < 60 && state() == c.menu; ++i)
            frame();
        EXPECT_EQ(state(), c.target);
        EXPECT_EQ(game::stateStatics().s_gameMode, c.gameMode);
        EXPECT_EQ(rt::ByteArray::get(slots.s_eventVariant, slots.s_currentEvent),
                  c.guidedRace ? game::gameModeNumber(game::GameMode::Guided) : 0);
        if (c.guidedRace) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RaceCountdown);
            EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadRace) << "a race load";
        }
    }
}

} // namespace
