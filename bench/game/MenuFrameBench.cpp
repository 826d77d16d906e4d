// One frame of the main menu on the demo set, repainted whole every frame:
// its key and stylus input, the menu's items and labels, the help line and
// the soft keys, and the screen buffer copied turned onto the screen. The
// fonts are the demo set's; the menu sprites are drawn where the data set
// has them.

#include "game/framework/States.h"
#include "game/frontend/SlidingMenus.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MainMenuFrame(benchmark::State& state) {
    framework_testing::StartedGame game;
    // State 1, then the splash's first frames load the fonts and texts.
    for (int i = 0; i < 3 && game.started; ++i)
        game.started = game.frame();
    if (!game.started || !game.canvas()) {
        state.SkipWithError("the game did not start");
        return;
    }
    game::pushState(game::kMainMenuState);
    game::applyStateChange();
    game::cGame* canvas = game.canvas();
    platform::javax_microedition_lcdui_Graphics* screen = game.application().screenGraphics();
    canvas->paintFrame(screen);
    if (game::stateStatics().s_state != game::kMainMenuState) {
        state.SkipWithError("the main menu did not open");
        return;
    }
    for (auto _ : state) {
        game::menuStatics().s_redraw = 1;
        canvas->paintFrame(screen);
    }
}
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMicrosecond);

} // namespace
