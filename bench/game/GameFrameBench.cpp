// One frame of the game in an empty state (state 2, whose handler does
// nothing), as the game thread runs it: the keys latched, the frame timed, the state
// machine's messages, the 640 x 480 screen buffer copied turned onto the
// 480 x 640 screen. Once on its own (the canvas's paint on the screen
// Graphics) and once as a whole turn of the loop, which adds the platform's
// paint and the headless host's present.

#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

enum class Present : bool { Without, With };

void emptyStateFrame(benchmark::State& state, Present present) {
    framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, [](std::int32_t) {}); };
    framework_testing::StartedGame game;
    if (!game.started || !game.canvas() || !game.frame()) {
        state.SkipWithError("the game did not start");
        return;
    }
    game::cGame* canvas = game.canvas();
    platform::javax_microedition_lcdui_Graphics* screen = game.application().screenGraphics();
    for (auto _ : state) {
        if (present == Present::With)
            canvas->runFrame();
        else
            canvas->paintFrame(screen);
    }
    state.counters["frames"] = static_cast<double>(game::loopStatics().s_frameCount);
}

void BM_EmptyStateFrame(benchmark::State& state) {
    emptyStateFrame(state, Present::Without);
}
BENCHMARK(BM_EmptyStateFrame)->Unit(benchmark::kMicrosecond);

void BM_EmptyStateFramePresented(benchmark::State& state) {
    emptyStateFrame(state, Present::With);
}
BENCHMARK(BM_EmptyStateFramePresented)->Unit(benchmark::kMicrosecond);

} // namespace
