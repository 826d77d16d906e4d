// One whole race frame through the headless host, as `vorlax --race 0`
// runs it on the demo set: the keys latched, the race frame (the player's
// car, the other cars, the camera, the ranking), the view pass, the paint
// as far as painters exist, the state machine's bookkeeping and the present
// of the screen. The budget is 0.5 ms a frame on one core.

#include "game/Game.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/race/RacePrepare.h"
#include "game/race/RaceState.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

// Start-up, the quick race's load in the loading state, then the flyover;
// false, with the benchmark skipped, when the race did not start.
bool enterQuickRace(framework_testing::StartedGame& game, benchmark::State& state) {
    if (!game.started || !framework_testing::runRaceLoad(game) || game::stateStatics().s_state != 40) {
        state.SkipWithError("the quick race did not start");
        return false;
    }
    return true;
}

void BM_WholeRaceFrame(benchmark::State& state) {
    framework_testing::s_register = [] { game::startWithQuickRace(0); };
    framework_testing::StartedGame game;
    if (!enterQuickRace(game, state))
        return;
    game::pushState(game::kRaceState);
    (void)game.frame();
    (void)game.frame();
    // A race that never ends, so that every frame is a frame of the race.
    game::raceStatics().s_laps = 1 << 20;
    if (game::stateStatics().s_state != game::kRaceState) {
        state.SkipWithError("the race state was not entered");
        return;
    }
    for (auto _ : state)
        (void)game.frame();
    state.counters["state"] = game::stateStatics().s_state;
}
BENCHMARK(BM_WholeRaceFrame)->Unit(benchmark::kMicrosecond);

// The release of a loaded race between races (`prepareRace(false)`), with
// the collection it asks for after the unload; the race's load runs outside the timing.
void BM_PrepareRace(benchmark::State& state) {
    framework_testing::s_register = [] { game::startWithQuickRace(0); };
    framework_testing::StartedGame game;
    if (!enterQuickRace(game, state))
        return;
    // The collection after the unload, which the demo set's configuration may leave out.
    game::config().s_gcAfterUnload = 1;
    for (auto _ : state) {
        game::prepareRace(false);
        state.PauseTiming();
        // Back to the start-up's last state, which loads the quick race again
        // (a load from the race itself would deepen the state stack each time).
        game::backToState(2);
        if (!framework_testing::runRaceLoad(game)) {
            state.SkipWithError("the quick race did not load again");
            return;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrepareRace)->Unit(benchmark::kMillisecond);

} // namespace
