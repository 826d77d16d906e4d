// The whole race paint with the head-up display, alone and under the pause
// menu, on a datakit track of bends both ways and a crest, shaded road
// images of two alternating kerb surfaces, lane objects on every third
// segment, a panorama with its overlays and the haze, and ten cars in view,
// all through the real painters (the cars are the busy race's box from the
// zoomed cache, tests/support/BusyRace.h); a whole race frame has 0.5 ms.

#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadImages.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextLayout.h"
#include "game/sprite/ZoomCache.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tests/support/BusyRace.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/RaceSceneSetup.h"
#include "tools/datakit/FontWriter.h"
#include "tools/datakit/RacePictures.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::int32_t kSegments = 60;
constexpr std::int32_t kBackdropSlot = 60;
constexpr std::int32_t kCarSprite = 61;

// The busy track, the pictures, the backdrop and the cars, on a 640 x 480
// screen image.
struct BusyRace {
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20}};

    BusyRace() {
        // The game's registries: the race's painter, the sprites' measures.
        game::registerGame();
        platform::installPlatform(runtime);
        testing_support::setUpRaceScene();
        game::loopStatics().s_graphics =
            platform::javax_microedition_lcdui_Image::createImage(640, 480)->getGraphics();

        testing_support::makeTrackRing(kSegments, 2);
        game::TrackStatics& t = game::trackStatics();
        t.s_roadHalfWidth = 600;
        t.s_laneCount = 4;
        t.s_laneWidth = 300;
        t.s_trackStyle = rt::newIntArray(14);
        rt::IntArray::set(t.s_trackStyle, 5, 0x5090E0);
        for (std::int32_t s = 0; s < kSegments; ++s) {
            const std::int32_t phase = (s / 8) % 4;
            rt::IntArray::set(t.s_segmentCurve, s, phase == 1 ? 12 : phase == 3 ? -12 : 0);
            rt::IntArray::set(t.s_segmentHeight, s, s % 20 < 4 ? 30 : s % 20 < 7 ? -40 : 0);
            rt::ByteArray::set(t.s_segmentAttributes, 2 * s, static_cast<std::int8_t>(s & 1));
            if (s % 3 == 0)
                rt::ShortArray::set(t.s_triggerCodes, 2 * s,
                                    static_cast<std::int16_t>(s % 2 ? 0x4001 : 0xA001));
        }

        game::RoadImageStatics& images = game::roadImageStatics();
        const auto surfaces = datakit::kerbSurfacePictures({}, 64, 32);
        images.s_backgroundRows = rt::newObjectArray(2);
        for (std::int32_t k = 0; k < 2; ++k)
            rt::ObjectArray::set(
                images.s_backgroundRows, k,
                game::buildGradientImage(testing_support::argbPixels(surfaces[static_cast<std::size_t>(k)]),
                                         64, 32, 96, 100, 900, 0x101015, 0));
        game::computeRoadImageLaneWidths();
        images.s_backgroundWidth = images.s_backgroundHeight = 32;
        images.s_sliceObjectPixels = rt::newObjectArray(3);
        const auto blocks = datakit::laneObjectPictures(32);
        for (std::int32_t i = 0; i < 3; ++i)
            rt::ObjectArray::set(images.s_sliceObjectPixels, i,
                                 testing_support::argbPixels(blocks[static_cast<std::size_t>(i)]));

        testing_support::installSpriteModel(datakit::panoramaSprite(320, {0x607080, 0x305030, 0x404048}),
                                            kBackdropSlot);
        game::setBackdrop(kBackdropSlot);
        const datakit::Picture haze = datakit::hazePicture(160, 24, 0xC0C8D8);
        game::raceSceneStatics().s_hazeImage = platform::javax_microedition_lcdui_Image::createRGBImage(
            testing_support::argbPixels(haze), 160, 24, true);

        testing_support::installSpriteModel(testing_support::busyCarSprite(), kCarSprite);
        for (std::int32_t f : {2, 5, 13, 16})
            game::cacheZoomedFrame2(kCarSprite, f);
        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(10);
        race.s_raceObjects = rt::newObjectArray(0);
        for (std::int32_t i = 0; i < 10; ++i) {
            game::cEntity* e = game::cEntity::cEntityWithType(i == 0 ? 0 : 1);
            e->m_active = 1;
            e->m_segment = 1 + i;
            e->m_segmentPos = 300;
            e->m_lateral = (i % 3 - 1) * 300;
            e->m_spriteSet = kCarSprite;
            e->m_heldItem = -1;
            rt::ObjectArray::set(race.s_racers, i, e);
        }
        game::racerStatics().s_playerCar = game::racerAt(0);
    }

    // The camera a little further on each frame, as a race moves it (the
    // race state's view pass publishes it to the view).
    void nextFrame() {
        game::CameraStatics& c = game::cameraStatics();
        c.s_cameraSegmentPos += 37;
        if (c.s_cameraSegmentPos >= 1024) {
            c.s_cameraSegmentPos -= 1024;
            c.s_cameraSegment = (c.s_cameraSegment + 1) % kSegments;
        }
        game::stateStatics().s_messageCount += 2;
    }
};

// The busy race with the head-up display's sprites (the panorama's boxes,
// thirty frames each), the demo set's 5 x 7 font as fonts 0 to 2, a text
// table, the display's constant strings and an event row, the display shown
// in the race state.
struct BusyRaceWithHud : BusyRace {
    explicit BusyRaceWithHud(std::int32_t hudBits) {
        datakit::SpriteModel box = datakit::panoramaSprite(24, {0xE0E0E0, 0x2040A0, 0x101010});
        while (box.frames.size() < 30)
            box.frames.push_back(box.frames.front());
        for (std::int32_t slot : {4, 12, 14, 15, 26, 30, 39, 63, 65, 66})
            testing_support::installSpriteModel(box, slot);
        const datakit::FontData font = datakit::buildFont(datakit::asciiFont5x7(), datakit::FontStyle{});
        rt::ObjectArray* fonts = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i) {
            game::ASprite* sprite = testing_support::installSpriteModel(font.sprite, 0);
            rt::ShortArray* map = rt::newShortArray(static_cast<std::int32_t>(font.charMap.size()));
            for (std::size_t k = 0; k < font.charMap.size(); ++k)
                rt::ShortArray::set(map, static_cast<std::int32_t>(k), font.charMap[k]);
            game::buildCharMap(sprite, map);
            rt::ObjectArray::set(fonts, i, sprite);
        }
        rt::ObjectArray::set(game::startupStatics().s_sprites, 0, nullptr);
        game::startupStatics().s_fonts = fonts;
        rt::ObjectArray* texts = rt::newObjectArray(100);
        for (std::int32_t i = 0; i < 100; ++i)
            rt::ObjectArray::set(texts, i, rt::String::newFromCString(i == 81 ? "," : "Label"));
        game::textStatics().s_textCache = texts;
        game::textStatics().s_textCount = 100;
        testing_support::installConstantStrings({{rt::constants::kHudCountSeparator, "/"},
                                                 {rt::constants::kGuideCollectedLabel, "G"},
                                                 {rt::constants::kHudCollectedLabel, "x"},
                                                 {rt::constants::kWeatherFailed, "W"}});
        game::initEventSlots();
        rt::IntArray* row = rt::newIntArray(17);
        rt::IntArray::set(row, 1, 10);
        rt::ObjectArray* variants = rt::newObjectArray(1);
        rt::ObjectArray::set(variants, 0, row);
        game::eventStatics().s_eventRows = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, variants);
        game::hudPaintStaticInit();
        game::weatherStaticInit();
        game::HudStatics& hud = game::hudStatics();
        hud.s_hudElements = hudBits;
        hud.s_hudPhase = 2;
        game::raceStatics().s_laps = 3;
        game::cEntity* player = game::racerStatics().s_playerCar;
        player->m_lap = 2;
        player->m_itemSlot = 3;
        player->m_collected = 4;
        game::initStateMachine();
        game::stateStatics().s_state = game::State::Race;
    }
};

// A whole race frame's paint with the display of event type 0 (argument 0)
// or 5 (argument 1): the race state's paint message (the camera published,
// view pass, scene, touch buttons, display and closing).
void BM_RaceWholeFrameWithHud(benchmark::State& state) {
    BusyRaceWithHud race(state.range(0) == 0 ? 0x19002F : 0x1D002F);
    for (auto _ : state) {
        race.nextFrame();
        game::paintRaceState();
    }
}
BENCHMARK(BM_RaceWholeFrameWithHud)->Arg(0)->Arg(1);

// The pause menu's paint over the race of event type 0.
void BM_RaceWholeFrameUnderPause(benchmark::State& state) {
    BusyRaceWithHud race(0x19002F);
    game::pushState(game::State::Race);
    game::pushState(game::State::PauseMenu);
    game::stateStatics().s_state = game::State::PauseMenu;
    game::raceMenuStatics().s_pausedState = game::State::Race;
    for (auto _ : state) {
        race.nextFrame();
        game::statePauseMenu(game::kPaint);
    }
}
BENCHMARK(BM_RaceWholeFrameUnderPause);

// The results of a race of game mode 0 over the race that runs on: the
// table's panel with its six rows shown, each with its badge, name and time.
void BM_RaceWholeFrameUnderResults(benchmark::State& state) {
    BusyRaceWithHud race(0x19002F);
    game::raceResultsStaticInit();
    game::raceFrameStatics().s_racerTimes = rt::newIntArray(10);
    for (std::int32_t i = 0; i < 10; ++i)
        game::racerAt(i)->m_name = rt::String::newFromCString("Racer");
    game::RaceResultsStatics& results = game::raceResultsStatics();
    results.s_resultsRows = 6;
    results.s_resultsRow = 6;
    results.s_resultsSlide = game::kResultsSlideFull;
    results.s_resultsReady = 1;
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::stateStatics().s_state = game::State::RaceResults;
    for (auto _ : state) {
        race.nextFrame();
        game::stateRaceResults(game::kPaint);
    }
}
BENCHMARK(BM_RaceWholeFrameUnderResults);

} // namespace
