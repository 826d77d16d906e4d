// The menus over a race in the started game read the front end's choices:
// leaving after a race loads back into the main menu whichever menu the
// player came through; and a championship's results load its next race
// until every race of its cup has run, then its end.

#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/frontend/Championship.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceTables.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"

namespace {

TEST(RaceFrontEnd, LeavingAfterARaceLoadsTheMainMenuAndAChampionshipRunsEveryCupRace) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame()); // state 1 loads the race data

    struct Row {
        std::int32_t lastMenu, loadsInto;
    };
    for (const Row& row : {Row{0, game::kMainMenuState}, Row{game::kMainMenuState, game::kMainMenuState},
                           Row{game::kModeMenuState, game::kMainMenuState},
                           Row{game::kRaceMenuState, game::kMainMenuState}, Row{12, game::kMainMenuState}}) {
        game::frontEndStatics().s_lastMenuState = row.lastMenu;
        // Game mode 1 offers no next race: the answers are retry and leave.
        game::stateStatics().s_gameMode = 1;
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (std::int32_t state :
             {1, game::kLoadingState, game::kRaceState, game::kResultsState, game::kRaceEndMenuState})
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, state);
        s.s_state = game::kRaceEndMenuState;
        game::stateRaceEndMenu(game::kEnter);
        game::menuStatics().s_questionAnswer = 1;
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, -2);
        game::stateRaceEndMenu(game::kUpdate);
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, 0);
        EXPECT_EQ(s.s_loadingState, game::kMenuLoadKind) << row.lastMenu;
        EXPECT_EQ(s.s_loadingNextState, row.loadsInto) << row.lastMenu;
        EXPECT_EQ(s.s_nextState, game::kLoadingState) << row.lastMenu;
    }

    // The standings after each race of a championship, left with key 5.
    game::raceResultsStatics().s_championship = 1;
    for (std::int32_t race = 0; race < game::kCupRaces; ++race) {
        SCOPED_TRACE(race);
        game::raceResultsStatics().s_cupRace = race;
        game::raceResultsStatics().s_resultsPhase = 4;
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (std::int32_t state : {1, game::kLoadingState, game::kRaceState, game::kResultsState})
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, state);
        s.s_state = game::kResultsState;
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, -2);
        game::stateRaceResults(game::kUpdate);
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, 0);
        const bool last = race + 1 == game::kCupRaces;
        EXPECT_EQ(s.s_nextState, game::kLoadingState);
        EXPECT_EQ(s.s_loadingState, last ? game::kMenuLoadKind : game::kRaceLoadKind);
        EXPECT_EQ(s.s_loadingNextState, last ? game::kCupEndState : game::kTrackFlyoverState);
        EXPECT_EQ(game::raceResultsStatics().s_cupRace, last ? 0 : race + 1);
    }
}

} // namespace
