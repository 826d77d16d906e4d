// The menus over a race in the started game read the front end's choices:
// leaving after a race loads back into the main menu whichever menu the
// player came through; and a championship's results load its next race
// until every race of its cup has run, then its end.

#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/frontend/Championship.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceView.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"

namespace {

TEST(RaceFrontEnd, LeavingAfterARaceLoadsTheMainMenuAndAChampionshipRunsEveryCupRace) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame()); // state 1 loads the race data

    struct Row {
        game::State lastMenu, loadsInto;
    };
    for (const Row& row :
         {Row{game::State{}, game::State::MainMenu}, Row{game::State::MainMenu, game::State::MainMenu},
          Row{game::State::ModeMenu, game::State::MainMenu},
          Row{game::State::RaceMenu, game::State::MainMenu},
          Row{game::State::PreRaceSelect, game::State::MainMenu}}) {
        game::frontEndStatics().s_lastMenuState = row.lastMenu;
        // Game mode 1 offers no next race: the answers are retry and leave.
        game::stateStatics().s_gameMode = game::GameMode::TimeTrial;
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (game::State state : {game::State::StartupLoad, game::State::Loading, game::State::Race,
                                  game::State::RaceResults, game::State::RaceEndMenu})
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, game::stateNumber(state));
        s.s_state = game::State::RaceEndMenu;
        game::stateRaceEndMenu(game::kEnter);
        game::menuStatics().s_questionAnswer = 1;
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, -2);
        game::stateRaceEndMenu(game::kUpdate);
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, 0);
        EXPECT_EQ(s.s_loadKind, game::kLoadMenus) << row.lastMenu;
        EXPECT_EQ(s.s_loadingNextState, row.loadsInto) << row.lastMenu;
        EXPECT_EQ(s.s_nextState, game::State::Loading) << row.lastMenu;
    }

    // The standings after each race of a championship, left with key 5.
    game::raceResultsStatics().s_championship = 1;
    for (std::int32_t race = 0; race < game::kCupRaces; ++race) {
        SCOPED_TRACE(race);
        game::raceResultsStatics().s_cupRace = race;
        game::raceResultsStatics().s_resultsPhase = 4;
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (game::State state :
             {game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::RaceResults})
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, game::stateNumber(state));
        s.s_state = game::State::RaceResults;
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, -2);
        game::stateRaceResults(game::kUpdate);
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, 0);
        const bool last = race + 1 == game::kCupRaces;
        EXPECT_EQ(s.s_nextState, game::State::Loading);
        EXPECT_EQ(s.s_loadKind, last ? game::kLoadMenus : game::kLoadNextRace);
        EXPECT_EQ(s.s_loadingNextState, last ? game::State::RewardScreen : game::State::TrackFlyover);
        EXPECT_EQ(game::raceResultsStatics().s_cupRace, last ? 0 : race + 1);
    }
}

} // namespace
