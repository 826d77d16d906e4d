// A busy race frame on the busy datakit race (tests/support/BusyRace.h):
// bends both ways and a crest, walls on both sides, banks, section models,
// scenery strips, lane objects, an item box, a panorama with its overlays
// and the haze, and ten zoomed computer cars in view, painted by the real
// painters. The frame's layers are timed apart (the view pass, the
// backdrop, the verges and walls, the scenery strips, the world) and
// together; a whole race frame has 0.5 ms.

#include "game/framework/LoopStatics.h"
#include "game/race/ViewPass.h"
#include "game/racepaint/RacePresentation.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/SceneryBuffer.h"
#include "game/racepaint/VergesAndWalls.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tests/support/BusyRace.h"

#include <benchmark/benchmark.h>

namespace {

// The busy race on a 640 x 480 screen image.
struct BusyRace {
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20}};
    std::int32_t frame = 0;

    BusyRace() {
        platform::installPlatform(runtime);
        testing_support::setUpRaceScene();
        game::loopStatics().s_graphics =
            platform::javax_microedition_lcdui_Image::createImage(640, 480)->getGraphics();
        if (!testing_support::setUpBusyRace())
            std::abort();
        // One whole frame first: the painters' view of it is fed.
        runViewPass();
        game::paintRaceScene();
        game::finishViewPass();
    }

    // The camera and the cars a little further on, as a race moves them.
    void nextFrame() { testing_support::stepBusyRace(++frame); }
    void runViewPass() const { game::runViewPass(true); }
};

void BM_RaceSceneViewPass(benchmark::State& state) {
    BusyRace race;
    for (auto _ : state) {
        race.nextFrame();
        game::runViewPass(true);
        game::finishViewPass();
    }
}
BENCHMARK(BM_RaceSceneViewPass);

void BM_RaceSceneBackdrop(benchmark::State& state) {
    BusyRace race;
    game::runViewPass(true);
    for (auto _ : state)
        game::paintBackdrop(0, 0, 0);
}
BENCHMARK(BM_RaceSceneBackdrop);

void BM_RaceSceneVergesAndWalls(benchmark::State& state) {
    BusyRace race;
    for (auto _ : state)
        game::paintVergesAndWalls();
}
BENCHMARK(BM_RaceSceneVergesAndWalls);

void BM_RaceSceneSceneryStrips(benchmark::State& state) {
    BusyRace race;
    for (auto _ : state) {
        game::computeSceneryStrips();
        benchmark::DoNotOptimize(game::paintSceneryBuffer());
    }
}
BENCHMARK(BM_RaceSceneSceneryStrips);

void BM_RaceSceneWorld(benchmark::State& state) {
    BusyRace race;
    for (auto _ : state) {
        state.PauseTiming();
        race.nextFrame();
        game::runViewPass(true);
        state.ResumeTiming();
        game::paintWorld(false);
        state.PauseTiming();
        game::finishViewPass();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RaceSceneWorld);

void BM_RaceSceneWholeFrame(benchmark::State& state) {
    BusyRace race;
    for (auto _ : state) {
        race.nextFrame();
        game::runViewPass(true);
        game::paintRaceScene();
        game::finishViewPass();
    }
}
BENCHMARK(BM_RaceSceneWholeFrame);

} // namespace
