// One whole race frame through the headless host, as `vorlax --race 0`
// runs it on the demo set: the keys latched, the race frame (the player's
// car, the other cars, the camera, the ranking), the view pass, the paint
// as far as painters exist, the state machine's bookkeeping and the present
// of the screen. The budget is 0.5 ms a frame on one core.

#include "game/Game.h"
#include "game/framework/States.h"
#include "game/race/RaceState.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

void BM_WholeRaceFrame(benchmark::State& state) {
    framework_testing::s_register = [] { game::startWithQuickRace(0); };
    framework_testing::StartedGame game;
    // Start-up, the quick race's load, then the flyover's first frame.
    for (int i = 0; i < 4 && game.started; ++i)
        (void)game.frame();
    if (!game.started || game::stateStatics().s_state != 40) {
        state.SkipWithError("the quick race did not start");
        return;
    }
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

} // namespace
