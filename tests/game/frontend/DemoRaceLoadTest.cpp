// The race load on the demo set as mkdata makes it: every race row loads
// whole (no step gives up for a missing sprite, picture or track object)
// and hands over to the flyover.

#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceStart.h"

#include <algorithm>
#include <string>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace demo_race_load_test {

namespace {

using framework_testing::StartedGame;

std::int32_t s_row = 0;
bool s_started = false;
bool s_flyover = false;

// The main menu's first update starts race row `s_row` (its track has the
// row's number in the demo set).
void mainMenuStartsARace(std::int32_t message) {
    if (message != game::kUpdate || s_started)
        return;
    s_started = true;
    frontend_testing::startRaceLoad(s_row, game::GameMode::LapRace);
}

TEST(DemoRaceLoadTest, EveryRaceRowLoadsWholeAndReachesTheFlyover) {
    for (std::int32_t row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        s_row = row;
        s_started = false;
        s_flyover = false;
        framework_testing::s_register = [] {
            game::setStateHandler(game::State::Splash, [](std::int32_t message) {
                if (message == game::kUpdate)
                    game::pushState(game::State::MainMenu);
            });
            game::setStateHandler(game::State::MainMenu, mainMenuStartsARace);
            game::setStateHandler(game::State::TrackFlyover, [](std::int32_t message) {
                if (message == game::kEnter)
                    s_flyover = true;
            });
        };
        StartedGame game;
        ASSERT_TRUE(game.started);
        game.log.clear();
        for (int f = 0; f < 600 && !s_flyover; ++f) {
            ASSERT_TRUE(game.frame());
            // The prompt after the load waits for a tap.
            if (game::loadingStatics().s_loadingDone) {
                game::pointerPressed(10, 10);
                game.frame();
                game::pointerReleased(10, 10);
            }
        }
        for (const std::string& line : game.log.lines())
            EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
        EXPECT_TRUE(s_flyover);
    }
}

} // namespace

} // namespace demo_race_load_test
