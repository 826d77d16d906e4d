// One frame of the main menu on the demo set, repainted whole every frame:
// its key and stylus input, the background and bars, the menu's items and
// labels, the help line and the soft keys, and the screen buffer copied
// turned onto the screen. The game reaches the menu as a player does, past
// the splash, the menus' load and the title, so every sprite the menu
// draws is the demo set's.

#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/SlidingMenus.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"

#include <benchmark/benchmark.h>

namespace {

using game::State;

constexpr std::uint32_t kFrameMs = 40;
// Frames of the menu before the measure: its items have slid in by then.
constexpr int kSettleFrames = 30;

// Runs the started game a frame at a time until the main menu has shown
// `kSettleFrames` frames, tapping the title on the way; answers whether it
// got there.
bool walkToMainMenu(framework_testing::StartedGame& game) {
    int inMenu = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        game.host->clock().sleep(kFrameMs);
        if (!game.frame())
            return false;
        const game::State state = game::stateStatics().s_state;
        if (state == State::Title) {
            game.canvas()->pointerPressed(240, 320);
            game.canvas()->pointerReleased(240, 320);
        }
        if (state == game::State::MainMenu && ++inMenu == kSettleFrames)
            return true;
    }
    return false;
}

void BM_MainMenuFrame(benchmark::State& state) {
    framework_testing::StartedGame game(std::vector<datakit::Property>{{"Vorlax-Sound-Question", "0"}});
    if (!game.started || !game.canvas() || !walkToMainMenu(game)) {
        state.SkipWithError("the game did not reach the main menu");
        return;
    }
    for (std::int32_t sprite : {game::kMenuBackgroundSprite, game::kMenuFrameSprite, game::kMenuItemSprite})
        if (!game::spriteAt(sprite)) {
            state.SkipWithError("a sprite of the main menu is not loaded");
            return;
        }
    game::cGame* canvas = game.canvas();
    platform::javax_microedition_lcdui_Graphics* screen = game.application().screenGraphics();
    for (auto _ : state) {
        game::menuStatics().s_redraw = 1;
        canvas->paintFrame(screen);
    }
    if (game::stateStatics().s_state != game::State::MainMenu)
        state.SkipWithError("the main menu was left while it was measured");
}
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMicrosecond);

} // namespace
