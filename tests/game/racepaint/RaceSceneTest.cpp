// The race scene from the drawing log, painted by the real painters: the
// layers in order; what stands in slices 7, 5 and 3 drawn far to near under
// each slice's clip; a slice turned to the angle limit drawing nothing; the
// start gate's four parts only in segment 0 deeper than 200; panoramas of
// one, two and three frames with their second copy; the haze; the start
// count's zoomed last figure; and the painter writing no race state and
// making no object per frame.

#include "game/racepaint/RaceScene.h"
#include "game/data/EventSlots.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/race/Blink.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/ZoomCache.h"
#include "tests/game/racepaint/RacePaintFixture.h"
#include "tests/support/BusyRace.h"
#include "tests/support/RaceSceneSetup.h"

#include <cstring>
#include <string>
#include <utility>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace race_scene_test {

namespace {

using namespace racepaint_testing;
using game::cEntity;
using game::DrawCall;
using game::DrawRecord;

constexpr std::int32_t kSky = 0x5090E0;
constexpr std::uint32_t kRoad = 0x808080;
// The verges' colour, and the fog's, so that the fog leaves it as it is.
constexpr std::int32_t kGround = 0x3E7A34;
constexpr std::int32_t kBackdropSlot = 60;
constexpr std::int32_t kSegments = 40;
constexpr std::int32_t kLaneObject = 0x4001;

struct RaceScene : RacePaintTest {
    std::vector<cEntity*> cars;

    RaceScene() {
        testing_support::setUpRaceScene();
        installFlatRoadSurfaces({kRoad});
        game::TrackStatics& t = game::trackStatics();
        rt::IntArray::set(t.s_trackStyle, 5, kSky);
        installFlatRing(kSegments);
        // The lane objects' blocks: 8 x 8 opaque.
        game::RoadImageStatics& images = game::roadImageStatics();
        images.s_backgroundWidth = images.s_backgroundHeight = 8;
        images.s_sliceObjectPixels = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i) {
            rt::IntArray* block = rt::newIntArray(64);
            std::ranges::fill(rt::IntArray::span(block), static_cast<std::int32_t>(0xFFE0E000));
            rt::ObjectArray::set(images.s_sliceObjectPixels, i, block);
        }
        // Every segment's verges on both sides in the ground colour.
        t.s_sideProfiles = rt::newIntArray(game::kSideProfileInts);
        rt::IntArray::set(t.s_sideProfiles, 0, kGround);
        rt::IntArray::set(t.s_sideProfiles, 1, kGround);
        t.s_segmentLaneProfileA = rt::newIntArray(kSegments);
        t.s_segmentLaneProfileB = rt::newIntArray(kSegments);
        game::roadsideView().s_fogColour = kGround;
        game::raceStatics().s_raceObjects = rt::newObjectArray(0);
        // The cars are the busy race's: a box in one colour, from the zoomed cache.
        testing_support::installSpriteModel(testing_support::busyCarSprite(), testing_support::kBusyCarSet);
        for (std::int32_t f : {2, 5, 13, 16})
            game::cacheZoomedFrame2(testing_support::kBusyCarSet, f);
    }

    cEntity* addCar(std::int32_t segment, std::int32_t pos = 512, std::int32_t type = 1) {
        cEntity* e = cEntity::cEntityWithType(type);
        e->m_active = 1;
        e->m_spriteSet = testing_support::kBusyCarSet;
        e->m_heldItem = -1;
        e->m_segment = segment;
        e->m_segmentPos = pos;
        cars.push_back(e);
        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(static_cast<std::int32_t>(cars.size()));
        for (std::size_t i = 0; i < cars.size(); ++i)
            rt::ObjectArray::set(race.s_racers, static_cast<std::int32_t>(i), cars[i]);
        return e;
    }
    static void setCode(std::int32_t segment, std::int32_t j, std::int32_t code) {
        rt::ShortArray::set(game::trackStatics().s_triggerCodes, 2 * segment + j,
                            static_cast<std::int16_t>(code));
    }
    static void frame() {
        game::runViewPass(true);
        game::paintRaceScene();
    }
    // A panorama of `frames` frames in the backdrop's slot, 320 wide.
    static game::ASprite* installPanorama(std::size_t frames) {
        datakit::SpriteModel model = datakit::panoramaSprite(320, {0x607080, 0x305030, 0x404048});
        model.frames.resize(frames);
        game::ASprite* sprite = loadSprite(datakit::writeSprite(model));
        rt::ObjectArray::set(game::startupStatics().s_sprites, kBackdropSlot, sprite);
        game::setBackdrop(kBackdropSlot);
        return sprite;
    }
    // A computer car's body: its sprite set's frame from the zoomed cache.
    static bool isCar(const DrawRecord& r) {
        return r.call == DrawCall::PaintZoomed && r.args[0] == testing_support::kBusyCarSet;
    }
    static bool isFill(const DrawRecord& r, std::int32_t colour) {
        return r.call == DrawCall::FillRect && (r.colour & 0xFFFFFF) == colour;
    }
    static bool isLaneObject(const DrawRecord& r) { return r.call == DrawCall::DrawRGB; }
};

TEST_F(RaceScene, TheLayersArePaintedBackToFront) {
    game::ASprite* panorama = installPanorama(3);
    auto* haze = Image::createImage(200, 8);
    game::raceSceneStatics().s_hazeImage = haze;
    setCode(2, 0, kLaneObject);
    addCar(3);
    cEntity* player = addCar(1, 0, 0);
    player->m_boostTimer = 1000;
    game::racerStatics().s_playerCar = player;
    testing_support::DrawingLog log;
    frame();

    std::vector<std::string> layers;
    for (const DrawRecord& r : log.outer()) {
        std::string layer = isFill(r, kSky)                                                   ? "sky"
                            : r.subject == panorama                                           ? "panorama"
                            : r.subject == haze                                               ? "haze"
                            : isFill(r, kGround)                                              ? "ground"
                            : r.call == DrawCall::DrawImage || r.call == DrawCall::DrawRegion ? "road"
                            : isLaneObject(r) || isCar(r)                                     ? "world"
                            : r.call == DrawCall::DrawLine                                    ? "speed lines"
                                                                                              : log.call(r);
        if (layers.empty() || layers.back() != layer)
            layers.push_back(layer);
    }
    EXPECT_EQ(layers, (std::vector<std::string>{"sky", "panorama", "haze", "ground", "road", "world",
                                                "speed lines"}));
}

// A crest at segment 4 lowers the clip of the slices behind it; each
// slice's lane object and car are drawn under that slice's clip, moved by
// the shake (the log shows it cut to the screen), from the farthest slice to
// the nearest. A longer lens and a higher eye make the far lane objects a
// few rows high.
TEST_F(RaceScene, WhatStandsInASliceIsDrawnFarToNearUnderItsClip) {
    game::viewPassStatics().s_cameraFocal = 600;
    game::viewPassStatics().s_cameraHeight = 600;
    game::TrackStatics& t = game::trackStatics();
    for (std::int32_t s = 0; s < kSegments; ++s)
        rt::IntArray::set(t.s_segmentHeight, s, s == 4 ? -60 : 60);
    game::shakeStatics().s_shakeX = 3;
    game::shakeStatics().s_shakeY = 2;
    for (std::int32_t segment : {3, 7, 5}) {
        setCode(segment, 1, kLaneObject);
        addCar(segment, 100);
    }
    testing_support::DrawingLog log;
    frame();

    const auto& clipY = game::roadBandStatics().s_sliceClipY;
    ASSERT_LT(clipY[7], clipY[3]) << "the crest lowers the far clips";
    std::vector<std::string> expected, seen;
    for (std::int32_t k : {7, 5, 3})
        for (const char* what : {"lane object", "car"})
            expected.push_back(std::string(what) + " clip 0 0 637 " +
                               std::to_string(std::min(clipY[k], 480) - 2));
    for (const DrawRecord& r : log.outer())
        if (isLaneObject(r) || isCar(r))
            seen.push_back(std::string(isCar(r) ? "car" : "lane object") + " clip " +
                           std::to_string(r.clip[0]) + " " + std::to_string(r.clip[1]) + " " +
                           std::to_string(r.clip[2]) + " " + std::to_string(r.clip[3]));
    EXPECT_EQ(seen, expected);
}

TEST_F(RaceScene, ASliceTurnedToTheAngleLimitDrawsNothing) {
    setCode(2, 0, kLaneObject);
    addCar(2);
    const std::int32_t limit = game::viewPassStatics().s_sliceAngleLimit;
    for (const auto& [angle, drawn] : {std::pair{limit, 0}, std::pair{-limit, 0}, std::pair{limit - 1, 2}}) {
        game::runViewPass(true);
        game::roadSliceStatics().s_sliceAngle[2] = angle;
        testing_support::DrawingLog log;
        game::paintWorld(false);
        const auto records = log.outer();
        EXPECT_EQ(
            std::ranges::count_if(records, [](const DrawRecord& r) { return isCar(r) || isLaneObject(r); }),
            drawn)
            << angle;
    }
}

// The gate is the start line's four parts, drawn far to near: each a white
// band across the road (two triangles) with its red squares, each band
// starting at the row where the one before it ended.
TEST_F(RaceScene, TheStartGateStandsOnlyInSegmentZeroDeeperThan200) {
    constexpr std::int32_t kWhite = 0xFFFFFF;
    constexpr std::int32_t kChequer = 0xFF0000;
    struct Band {
        std::int32_t farY = 0, nearY = 0, squareTriangles = 0;
    };
    game::ViewPassStatics& v = game::viewPassStatics();
    // From the last segment, segment 0 is slice 1 at depth 1024 - position.
    v.s_cameraSegment = kSegments - 1;
    for (const auto& [cameraPos, parts] : {std::pair{823, 4}, std::pair{824, 0}}) {
        v.s_cameraSegmentPos = cameraPos;
        testing_support::DrawingLog log;
        frame();
        std::vector<Band> bands;
        std::int32_t others = 0;
        bool inBand = false;
        for (const DrawRecord& r : log.outer(DrawCall::FillTriangle)) {
            const std::int32_t colour = r.colour & 0xFFFFFF;
            // A band's first triangle runs from its near left corner to its far edge.
            if (colour == kWhite && !inBand)
                bands.push_back({.farY = r.args[3], .nearY = r.args[1]});
            else if (colour == kChequer && !bands.empty())
                ++bands.back().squareTriangles;
            else if (colour != kWhite)
                ++others;
            inBand = colour == kWhite;
        }
        ASSERT_EQ(static_cast<std::int32_t>(bands.size()), parts) << cameraPos;
        EXPECT_EQ(others, 0) << "no other triangles";
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_LT(bands[i].farY, bands[i].nearY) << "part " << i;
            EXPECT_GT(bands[i].squareTriangles, 0) << "part " << i;
            if (i > 0) {
                EXPECT_EQ(bands[i].farY, bands[i - 1].nearY) << "part " << i << " joins the one behind it";
            }
        }
    }
}

// The panorama (frame 0) and its overlay at the scroll, and a second copy
// 320 to the left when the scroll is right of 0, else to the right.
TEST_F(RaceScene, PanoramasOfOneTwoAndThreeFramesAndTheirSecondCopy) {
    struct Case {
        std::size_t frames;
        std::int32_t messageCount, scroll, animFrameBefore;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {1, 0, 0, 1, {"paintFrame 0 0 240 0 0 0", "paintFrame 0 320 240 0 0 0"}},
        {2,
         0,
         0,
         1,
         {"paintFrame 0 0 240 0 0 0", "paintFrame 1 0 240 0 0 0", "paintFrame 0 320 240 0 0 0",
          "paintFrame 1 320 240 0 0 0"}},
        {2, 2, 0, 1, {"paintFrame 0 0 240 0 0 0", "paintFrame 0 320 240 0 0 0"}},
        {3,
         0,
         5,
         1,
         {"paintFrame 0 5 240 0 0 0", "paintFrame 2 5 240 0 0 0", "paintFrame 0 -315 240 0 0 0",
          "paintFrame 2 -315 240 0 0 0"}},
        {3,
         0,
         -400,
         2,
         {"paintFrame 0 -400 240 0 0 0", "paintFrame 1 -400 240 0 0 0", "paintFrame 0 -80 240 0 0 0",
          "paintFrame 1 -80 240 0 0 0"}},
        {3,
         2,
         -10,
         2,
         {"paintFrame 0 -10 240 0 0 0", "paintFrame 2 -10 240 0 0 0", "paintFrame 0 310 240 0 0 0",
          "paintFrame 2 310 240 0 0 0"}},
    };
    for (const Case& c : cases) {
        installPanorama(c.frames);
        game::RaceSceneStatics& s = game::raceSceneStatics();
        s.s_backdropScrollX = c.scroll;
        s.s_backdropAnimFrame = c.animFrameBefore;
        game::stateStatics().s_messageCount = c.messageCount;
        testing_support::DrawingLog log;
        game::paintBackdrop(0, 0, 0);
        std::vector<std::string> calls;
        for (const DrawRecord& r : log.outer(DrawCall::PaintFrame))
            calls.push_back(log.call(r));
        EXPECT_EQ(calls, c.calls) << c.frames << " frames, scroll " << c.scroll;
    }
}

TEST_F(RaceScene, TheHazeRepeatsAcrossTheScreenUnlessWiderThanIt) {
    for (const auto& [width, copies] : {std::pair{200, 3}, std::pair{640, 1}, std::pair{700, 0}}) {
        game::raceSceneStatics().s_hazeImage = Image::createImage(width, 8);
        testing_support::DrawingLog log;
        game::paintBackdrop(0, 0, 0);
        std::vector<std::string> calls, expected;
        for (const DrawRecord& r : log.outer(DrawCall::DrawImage))
            calls.push_back(log.call(r));
        for (std::int32_t i = 0; i < copies; ++i)
            expected.push_back("drawImage " + std::to_string(i * width) + " 220 20");
        EXPECT_EQ(calls, expected) << width;
    }
}

// Sprite 64: four count animations of eleven frames and frame 22, each a
// 10 x 10 square, the last one in the zoomed cache.
struct RaceStart : RaceScene {
    RaceStart() {
        datakit::SpriteModel model = paletteModel({0x00000000, 0xFFFFFFFF});
        addFlatModule(model, 10, 10, 1);
        for (int f = 0; f <= game::kStartZoomFrame; ++f)
            addFrame(model, {{.module = 0, .x = -5, .y = -5}});
        for (int a = 0; a < 4; ++a) {
            std::vector<datakit::SpriteAFrame> aframes;
            for (int f = 0; f < 11; ++f)
                aframes.push_back({.frame = static_cast<std::uint8_t>(f), .time = 1});
            addAnim(model, aframes);
        }
        rt::ObjectArray::set(game::startupStatics().s_sprites, game::kStartSprite,
                             loadSprite(datakit::writeSprite(model)));
        game::initZoomCaches();
        game::cacheZoomedFrame2(game::kStartSprite, game::kStartZoomFrame);
        game::eventSlotStatics().s_eventType = rt::newByteArray(1);
    }
};

TEST_F(RaceStart, TheCountAndItsZoomedLastFigureByPhaseTimeAndEventType) {
    struct Case {
        std::int32_t phase, timer;
        game::EventType eventType;
        std::string count;   // the count's paintAFrame, "" none
        std::int32_t zoomed; // the zoomed square's side, 0 none
        std::int32_t alpha;
    };
    const Case cases[] = {
        {6, 650, game::EventType::Laps, "paintAFrame 3 4 320 220 0 0 0", 70, 102},
        {6, 50, game::EventType::Laps, "paintAFrame 3 10 320 220 0 0 0", 10, 255},
        {6, 650, game::EventType::Sprint, "", 70, 102},
        {4, 300, game::EventType::Laps, "paintAFrame 1 7 320 220 0 0 0", 0, 0},
        {2, 300, game::EventType::Laps, "", 0, 0},
    };
    for (const Case& c : cases) {
        game::raceStatics().s_startPhase = c.phase;
        game::startSequenceStatics().s_startPhaseTimer = c.timer;
        game::setSlotEventType(0, c.eventType);
        game::runViewPass(false);
        testing_support::DrawingLog log;
        game::paintRaceStart();
        const auto counts = log.outer(DrawCall::PaintAFrame);
        EXPECT_EQ(counts.empty() ? "" : log.call(counts.front()), c.count) << c.phase << " " << c.timer;
        // The zoomed square comes last, centred on (320, 220): drawn by the
        // painter itself or inside its zoomed paint.
        std::vector<game::DrawRecord> rgb;
        bool inZoomed = false;
        for (const game::DrawRecord& r : log.records()) {
            if (r.depth == 0)
                inZoomed = r.call == DrawCall::PaintZoomed || r.call == DrawCall::PaintPreZoomed ||
                           r.call == DrawCall::PaintZoomedAnim;
            if (r.call == DrawCall::DrawRGB && (r.depth == 0 || (r.depth == 1 && inZoomed)))
                rgb.push_back(r);
        }
        if (c.zoomed == 0) {
            EXPECT_TRUE(rgb.empty());
            continue;
        }
        ASSERT_FALSE(rgb.empty());
        const DrawRecord& square = rgb.back();
        EXPECT_EQ(square.args[4], c.zoomed);
        EXPECT_EQ(square.args[2], 320 - c.zoomed / 2);
        EXPECT_EQ(square.args[3], 220 - c.zoomed / 2);
        const auto* pixels = static_cast<const rt::IntArray*>(square.subject);
        EXPECT_EQ(static_cast<std::uint32_t>(rt::IntArray::get(pixels, 0)) >> 24,
                  static_cast<std::uint32_t>(c.alpha));
    }
}

// The painter reads the race; painting a frame three times over leaves
// every race statics block and every car as the view pass left them (a
// second lowering of the flash timer would halve the flash), and a hundred
// frames make no object.
TEST_F(RaceScene, ThePainterWritesNoRaceStateAndMakesNoObjectPerFrame) {
    installPanorama(3);
    setCode(5, 0, kLaneObject);
    setCode(6, 1, 0x1005);
    game::ViewPassStatics& v = game::viewPassStatics();
    v.s_movingObjectId = 5;
    v.s_movingObjectDX[0] = 30;
    v.s_gateDone = rt::newByteArray(kSegments);
    for (std::int32_t segment : {2, 4, 6, 8})
        addCar(segment);
    v.s_flashTimer = 5000;
    game::raceStatics().s_raceFrameTime = 100;
    game::runViewPass(true);
    game::paintRaceScene();

    auto snapshot = [&] {
        std::string bytes;
        auto add = [&](const auto& block) {
            bytes.append(reinterpret_cast<const char*>(&block), sizeof block);
        };
        add(game::viewPassStatics());
        add(game::roadSliceStatics());
        add(game::raceStatics());
        add(game::shakeStatics());
        add(game::startSequenceStatics());
        add(game::raceFrameStatics());
        add(game::trackStatics());
        for (const cEntity* car : cars)
            bytes.append(reinterpret_cast<const char*>(&car->m_racerIndex),
                         reinterpret_cast<const char*>(car + 1) -
                             reinterpret_cast<const char*>(&car->m_racerIndex));
        return bytes;
    };
    const std::string before = snapshot();
    for (int i = 0; i < 3; ++i)
        game::paintRaceScene();
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(v.s_flashTimer, 4900);

    const std::size_t objects = runtime.objectManager().objectCount();
    for (int i = 0; i < 100; ++i)
        frame();
    EXPECT_EQ(runtime.objectManager().objectCount(), objects);
}

} // namespace

} // namespace race_scene_test
