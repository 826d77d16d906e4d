// One whole race frame through the headless host, as `vorlax --race ROW`
// runs it on the demo set, for each of its six races: the keys latched, the
// race frame (the player's car, the other cars, the camera, the ranking),
// the view pass, the paint, the state machine's bookkeeping and the present
// of the screen. The budget is 0.5 ms a frame on one core.

#include "game/Game.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceState.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

// Start-up, the quick race's load in the loading state, then the flyover;
// false, with the benchmark skipped, when the race did not start.
bool enterQuickRace(framework_testing::StartedGame& game, benchmark::State& state) {
    if (!game.started || !framework_testing::runRaceLoad(game) ||
        game::stateStatics().s_state != game::State::TrackFlyover) {
        state.SkipWithError("the quick race did not start");
        return false;
    }
    return true;
}

// From the flyover straight into the race state; false, with the
// benchmark skipped, when it was not entered.
bool enterRaceState(framework_testing::StartedGame& game, benchmark::State& state) {
    game::requestState(game::State::Race);
    (void)game.frame();
    (void)game.frame();
    if (game::stateStatics().s_state != game::State::Race) {
        state.SkipWithError("the race state was not entered");
        return false;
    }
    return true;
}

std::int32_t g_row = 0;

void BM_WholeRaceFrame(benchmark::State& state) {
    g_row = static_cast<std::int32_t>(state.range(0));
    framework_testing::s_register = [] { game::startWithQuickRace(g_row); };
    framework_testing::StartedGame game;
    if (!enterQuickRace(game, state))
        return;
    if (!enterRaceState(game, state))
        return;
    // A race that never ends, so that every frame is a frame of the race.
    game::raceStatics().s_laps = 1 << 20;
    for (auto _ : state)
        (void)game.frame();
    state.counters["state"] = game::stateNumber(game::stateStatics().s_state);
}
BENCHMARK(BM_WholeRaceFrame)->ArgName("row")->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// A whole frame of the pause menu (state 33) or its help (35) over the
// race of row 0, each frame painted in full: the race picture under the
// box, the box, its items or its lines. The same 0.5 ms budget.
void BM_PauseFrame(benchmark::State& state) {
    framework_testing::s_register = [] { game::startWithQuickRace(0); };
    framework_testing::StartedGame game;
    if (!enterQuickRace(game, state) || !enterRaceState(game, state))
        return;
    game::pushState(game::State::PauseMenu);
    (void)game.frame();
    if (state.range(0) == 1) {
        game::pushState(game::State::RaceHelp);
        (void)game.frame();
    }
    for (auto _ : state) {
        game::menuStatics().s_redraw = 1;
        (void)game.frame();
    }
    state.counters["state"] = game::stateNumber(game::stateStatics().s_state);
}
BENCHMARK(BM_PauseFrame)->ArgName("help")->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

// The release of a loaded race between races (`prepareRace(false)`), with
// the collection it asks for after the unload; the race's load runs outside the timing.
void BM_PrepareRace(benchmark::State& state) {
    framework_testing::s_register = [] { game::startWithQuickRace(0); };
    framework_testing::StartedGame game;
    if (!enterQuickRace(game, state) || !enterRaceState(game, state))
        return;
    // The collection after the unload, which the demo set's configuration may leave out.
    game::config().s_gcAfterUnload = 1;
    for (auto _ : state) {
        game::prepareRace(false);
        state.PauseTiming();
        if (!game::startQuickRace(0) || !framework_testing::runRaceLoad(game)) {
            state.SkipWithError("the quick race did not load again");
            return;
        }
        if (!enterRaceState(game, state))
            return;
        state.ResumeTiming();
    }
}
// Each load from the race pushes the loading state and the race's first
// state: a fixed count of iterations stays within the state stack.
BENCHMARK(BM_PrepareRace)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
