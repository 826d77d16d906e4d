// The race load (kind 2) on the demo set as mkdata makes it, as the player
// feels it: every frame of the loading state, the step it runs and the
// loading screen's paint and present. The phone's frame is 40 ms, so the
// longest step's frame should stay below it.
//
// Each measured load runs in a game started afresh (outside the timing) from
// the main menu, so that every load finds what a first race from the menus
// finds. `BM_RaceLoadStep/N` gives step N's frame (the longest of its frames:
// step 32 repeats, one marked slot a frame), each iteration one measured
// load's; steps 1 to 4 run no work and are the same run's baseline, the
// loading frame itself. `BM_RaceLoad/ROW` gives the whole load of race row
// ROW, with its frame count.

#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/frontend/Loading.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceStart.h"
#include "tests/support/DemoSet.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLoads = 12;
constexpr std::int32_t kRows = 6;

std::int32_t s_row = 0;

// The main menu's first update starts race row `s_row` (its track has the
// row's number in the demo set), as the race menus would.
void mainMenuStartsARace(std::int32_t message) {
    if (message != game::kUpdate || game::stateStatics().s_stateFrames != 0)
        return;
    frontend_testing::startRaceLoad(s_row, game::GameMode::LapRace);
}

// One measured load: per step, its longest frame in seconds; the whole
// load's time and frames. Empty when the load did not complete.
struct LoadTimes {
    std::array<double, game::kRaceLoadSteps> stepSeconds{};
    double seconds = 0;
    int frames = 0;
};

bool measureLoad(const mkdata::ProgramFolder& demo, std::int32_t row, LoadTimes& times) {
    s_row = row;
    framework_testing::s_programFolder = &demo;
    framework_testing::s_register = [] {
        game::setStateHandler(game::State::Splash, [](std::int32_t message) {
            if (message == game::kUpdate)
                game::pushState(game::State::MainMenu);
        });
        game::setStateHandler(game::State::MainMenu, mainMenuStartsARace);
    };
    framework_testing::StartedGame game;
    if (!game.started)
        return false;
    game::StateStatics& states = game::stateStatics();
    game::LoadingStatics& overlay = game::loadingStatics();
    for (int f = 0; f < 20 && states.s_state != game::State::Loading; ++f)
        (void)game.frame();
    // The loading state is entered on the frame that runs step 0, so the
    // load's kinds are set only after it.
    while (states.s_state == game::State::Loading && !overlay.s_loadingDone &&
           (overlay.s_loadingStyle == 0 || (overlay.s_loadingStyle & game::kLoadRace)) &&
           times.frames < 1000) {
        const std::int32_t step = overlay.s_loadingStyle == 0 ? 0 : overlay.s_loadingStep;
        const Clock::time_point start = Clock::now();
        (void)game.frame();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        times.seconds += seconds;
        times.frames += 1;
        if (step >= 0 && step < game::kRaceLoadSteps)
            times.stepSeconds[static_cast<std::size_t>(step)] =
                std::max(times.stepSeconds[static_cast<std::size_t>(step)], seconds);
    }
    return overlay.s_loadingDone && (overlay.s_loadingStyle & game::kLoadRace) == 0 &&
           !game.log.contains("abandoned");
}

// The measured loads of each row, made once for every benchmark of the run.
const std::vector<LoadTimes>* measuredLoads(std::int32_t row) {
    static const std::array<std::vector<LoadTimes>, kRows> loads = [] {
        const mkdata::ProgramFolder demo = testing_support::demoSet();
        std::array<std::vector<LoadTimes>, kRows> all;
        for (std::int32_t r = 0; r < kRows; ++r) {
            for (int i = 0; i < kLoads; ++i) {
                LoadTimes times;
                if (!measureLoad(demo, r, times)) {
                    all[static_cast<std::size_t>(r)].clear();
                    break;
                }
                all[static_cast<std::size_t>(r)].push_back(times);
            }
        }
        return all;
    }();
    const std::vector<LoadTimes>& of = loads[static_cast<std::size_t>(row)];
    return of.empty() ? nullptr : &of;
}

void BM_RaceLoadStep(benchmark::State& state) {
    const auto step = static_cast<std::size_t>(state.range(0));
    const std::vector<LoadTimes>* loads = measuredLoads(0);
    if (!loads) {
        state.SkipWithError("the race load did not complete");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state)
        state.SetIterationTime((*loads)[i++ % loads->size()].stepSeconds[step]);
}
BENCHMARK(BM_RaceLoadStep)
    ->DenseRange(0, game::kRaceLoadSteps - 1)
    ->UseManualTime()
    ->Iterations(kLoads)
    ->Unit(benchmark::kMillisecond);

void BM_RaceLoad(benchmark::State& state) {
    const std::vector<LoadTimes>* loads = measuredLoads(static_cast<std::int32_t>(state.range(0)));
    if (!loads) {
        state.SkipWithError("the race load did not complete");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state)
        state.SetIterationTime((*loads)[i++ % loads->size()].seconds);
    state.counters["frames"] = loads->front().frames;
}
BENCHMARK(BM_RaceLoad)
    ->DenseRange(0, kRows - 1)
    ->UseManualTime()
    ->Iterations(kLoads)
    ->Unit(benchmark::kMillisecond);

} // namespace
