// The cars on the screen, read from the drawing log: the computer car's
// view in bends, its lights and place marker, the player's car plain or
// zoomed with its shadow, lights and steering frames, the effect layers,
// the held items, the flash, the wheel layers and the race objects.

#include "game/racepaint/CarPainting.h"

#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/race/CarViewPass.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/CarEffectLayers.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/racepaint/RoadsideFixture.h"
#include "tests/game/sprite/ZoomFixture.h"
#include "tests/support/DrawingLog.h"
#include "tools/datakit/TrackRing.h"
#include "tools/datakit/TrackWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using game::DrawCall;
using testing_support::DrawingLog;

constexpr std::int32_t kCarSet = game::kCarSprite2;
constexpr std::int32_t kFrames = 50;

// A sprite of 50 frames, frame k a 10 x (4 + k % 8) block standing on its
// origin, with eight one-pixel frame-modules at (m - 4, -m) for the wheel
// and exhaust points; animations 3 and 4 are the ghost animation.
game::ASprite* carSprite() {
    datakit::SpriteModel model =
        sprite_testing::paletteModel({sprite_testing::kKey, 0xFFFF0000u, 0xFF0000FFu});
    model.pixels->palettes.push_back({sprite_testing::kKey, 0xFF00FF00u, 0xFFFFFF00u});
    for (std::uint16_t h = 4; h < 12; ++h)
        sprite_testing::addFlatModule(model, 10, h, 1);
    sprite_testing::addFlatModule(model, 1, 1, 2);
    for (std::int32_t k = 0; k < kFrames; ++k) {
        std::vector<datakit::SpriteFModule> fmodules;
        for (std::int16_t m = 0; m < 8; ++m)
            fmodules.push_back({.module = 8,
                                .x = static_cast<std::int16_t>(m - 4),
                                .y = static_cast<std::int16_t>(-m),
                                .flags = 0});
        fmodules.push_back({.module = static_cast<std::uint8_t>(k % 8),
                            .x = -5,
                            .y = static_cast<std::int16_t>(-(4 + k % 8)),
                            .flags = 0});
        sprite_testing::addFrame(model, fmodules);
    }
    for (int a = 0; a < 5; ++a)
        sprite_testing::addAnim(model, {{.frame = static_cast<std::uint8_t>(30 + a), .time = 1},
                                        {.frame = static_cast<std::uint8_t>(35 + a), .time = 1},
                                        {.frame = static_cast<std::uint8_t>(40 + a), .time = 1},
                                        {.frame = static_cast<std::uint8_t>(45 + a), .time = 1}});
    return sprite_testing::loadSprite(datakit::writeSprite(model));
}

struct CarPaintingTest : roadside_testing::RoadsideTest {
    DrawingLog drawn;
    game::cEntity* player = nullptr;
    game::ASprite* sprite = nullptr;

    CarPaintingTest() {
        game::startupStatics().s_objectFlags = rt::newObjectArray(92);
        game::startupStatics().s_sprites = rt::newObjectArray(64);
        game::initZoomCaches();
        game::initDrivingTables();
        datakit::TrackRing ring;
        ring.straight(4).left(90, 4).straight(4).right(90, 4).straight(4);
        game::EntryReader reader(datakit::writeTrack(ring.model()), "track pack");
        reader.skip(game::kWireModelBytes);
        EXPECT_TRUE(game::loadTrackEntry(reader, 1));
        game::raceStatics().s_racers = rt::newObjectArray(0);
        sprite = carSprite();
        for (std::int32_t n :
             {kCarSet, std::int32_t{game::kCarShadowSprite}, std::int32_t{game::kWheelParticleSprite}})
            sprite_testing::inTable(n, sprite);
        game::CarPaintStatics& c = game::carPaintStatics();
        c.s_playerCarSprite = sprite;
        c.s_positionMarkerSprite = sprite;
        player = car(0);
        game::racerStatics().s_playerCar = player;
        player->m_racePosition = 3;
        game::stateStatics().s_state = game::State::Race;
    }
    ~CarPaintingTest() override { game::racerStatics().s_playerCar = nullptr; }

    static game::cEntity* car(std::int32_t type) {
        game::cEntity* e = game::cEntity::cEntityWithType(type);
        e->m_spriteSet = kCarSet;
        e->m_screenX = 300;
        e->m_screenY = 200;
        e->m_screenGroundY = 200;
        e->m_screenScale = 4096;
        e->m_heldItem = -1;
        return e;
    }

    // The painter's own calls of one kind, as text.
    std::vector<std::string> calls(DrawCall kind) const {
        std::vector<std::string> out;
        for (const game::DrawRecord& r : drawn.outer(kind))
            out.push_back(DrawingLog::call(r));
        return out;
    }
    // The first argument of each of the painter's calls of one kind.
    std::vector<std::int32_t> firsts(DrawCall kind, std::int32_t arg = 0) const {
        std::vector<std::int32_t> out;
        for (const game::DrawRecord& r : drawn.outer(kind))
            out.push_back(r.args[static_cast<std::size_t>(arg)]);
        return out;
    }
};

TEST_F(CarPaintingTest, AComputerCarTurnsIntoASharpBendUnlessItsSliceFacesTheCameraNearThePlayer) {
    game::cEntity* c = car(1);
    game::roadsideView().s_sliceAngle[2] = 40;
    game::carPaintStatics().s_cameraYaw = 10;
    player->m_lateral = 100;
    struct Case {
        std::int32_t segment, slice, lateral, angle;
        std::int8_t airborne;
        bool shown;
        std::int32_t frame;
        bool mirrored;
    };
    // Segments 5 and 13 lie in the left and the right bend (frame 2 shows a
    // car turned left, mirrored it turns right); the gap limit at slice 2
    // is 70.
    const Case cases[] = {
        {0, -1, 900, 40, 0, true, 5, false},     {5, -1, 100, 40, 0, false, 5, false},
        {5, 2, 169, 40, 0, true, 5, false},      {5, 2, 170, 40, 0, true, 2, false},
        {5, 2, 80, 40, 0, true, 5, false},       {5, 2, 80, 40 + 57, 0, true, 2, false},
        {13, 2, 170, 40, 0, true, 2, true},      {13, 2, 80, 10 - 57, 0, true, 2, true},
        {13, 2, 80, 10 - 56, 0, true, 5, false}, {5, 2, 900, 40, 1, true, 5, false},
    };
    for (const Case& k : cases) {
        c->m_segment = k.segment;
        c->m_roadSlice = k.slice;
        c->m_lateral = k.lateral;
        c->m_airborne = k.airborne;
        game::roadsideView().s_sliceAngle[2] = k.angle;
        const game::CarBodyView view = game::computerCarView(c);
        EXPECT_EQ(view.shown, k.shown) << k.segment << " " << k.lateral << " " << k.angle;
        if (!k.shown) {
            // Not drawn at all, not even its effects.
            drawn.clear();
            c->m_state = game::CarState::Strike;
            game::paintEntity(c);
            EXPECT_TRUE(drawn.records().empty());
            c->m_state = game::CarState::Normal;
            continue;
        }
        EXPECT_EQ(view.frame, k.frame) << k.segment << " " << k.lateral << " " << k.angle;
        EXPECT_EQ(view.mirrored, k.mirrored) << k.segment << " " << k.lateral << " " << k.angle;
    }
}

TEST_F(CarPaintingTest, AComputerCarsBodyLightsAndPlaceMarker) {
    game::cEntity* c = car(1);
    c->m_racePosition = 2;
    c->m_bodyPalette = 1;
    // Straight on: body 5, lights 16 on every other frame of the race only.
    struct Case {
        game::State state;
        std::int32_t messages, segment;
        std::vector<std::string> zoomed;
    };
    c->m_roadSlice = 2;
    c->m_lateral = 900;
    const Case cases[] = {
        {game::State::Race,
         0,
         0,
         {"paintZoomed 45 5 4096 300 200 0 1 0", "paintZoomed 45 16 4096 300 200 0 1 0"}},
        {game::State::Race, 2, 0, {"paintZoomed 45 5 4096 300 200 0 1 0"}},
        {game::State::Race,
         4,
         13,
         {"paintZoomed 45 2 4096 300 200 1 1 0", "paintZoomed 45 13 4096 300 200 1 1 0"}},
        {game::State::PauseMenu, 0, 0, {"paintZoomed 45 5 4096 300 200 0 1 0"}},
    };
    for (const Case& k : cases) {
        game::stateStatics().s_state = k.state;
        game::stateStatics().s_messageCount = k.messages;
        c->m_segment = k.segment;
        drawn.clear();
        game::paintEntity(c);
        EXPECT_EQ(calls(DrawCall::PaintZoomed), k.zoomed) << k.state << " " << k.messages;
        EXPECT_EQ(game::zoomStatics().s_zoomPalette, 0);
        EXPECT_EQ(game::zoomStatics().s_zoomAlpha, -1);
    }
    // The marker: places up to the player's, none after the finish; frame
    // = the place, centred on the car, its height above the car.
    struct Marker {
        std::int32_t place;
        std::int8_t finished;
        bool shown;
    };
    for (const Marker& m :
         {Marker{0, 0, true}, Marker{3, 0, true}, Marker{4, 0, false}, Marker{2, 1, false}}) {
        c->m_racePosition = m.place;
        game::raceStatics().s_raceFinished = m.finished;
        drawn.clear();
        game::paintCar(c, 300, 200, 4096);
        const auto frames = calls(DrawCall::PaintFrame);
        if (!m.shown) {
            EXPECT_TRUE(frames.empty()) << m.place;
            continue;
        }
        ASSERT_EQ(frames.size(), 1u) << m.place;
        EXPECT_EQ(frames[0], "paintFrame " + std::to_string(m.place) + " 295 192 0 0 0");
    }
}

TEST_F(CarPaintingTest, APlayersCarIsZoomedOutsideOnePlusOrMinusAThirtySecond) {
    struct Case {
        std::int32_t scale;
        bool zoomed;
    };
    for (const Case& k : {Case{4096, false}, Case{4096 + 128, false}, Case{4096 - 128, false},
                          Case{4096 + 129, true}, Case{4096 - 129, true}, Case{2048, true}}) {
        player->m_screenScale = k.scale;
        EXPECT_EQ(game::needsZoom(player), k.zoomed) << k.scale;
        drawn.clear();
        game::paintEntity(player);
        EXPECT_EQ(firsts(DrawCall::PaintZoomed).size(), k.zoomed ? 1u : 0u) << k.scale;
        // The plain body is frame 5 of the car sprite; the shadow frame 20
        // of sprite 55 is the other plain frame.
        const std::vector<std::int32_t> plain = {20, 5};
        EXPECT_EQ(firsts(DrawCall::PaintFrame), k.zoomed ? std::vector<std::int32_t>{20} : plain) << k.scale;
        // Shadow and body stand 4 px below the car's ground row.
        for (std::int32_t y : firsts(DrawCall::PaintFrame, 2))
            EXPECT_EQ(y, 204);
    }
}

TEST_F(CarPaintingTest, ShadowFramesBySpriteSetStateAndRise) {
    struct Case {
        std::int32_t set, steer;
        game::CarState state;
        std::int32_t vSpeed, shadow;
    };
    using enum game::CarState;
    const Case cases[] = {
        {45, 0, Normal, 0, 20}, {43, 0, Normal, 0, 22},  {47, 0, Normal, 0, 21},  {51, 0, Normal, 0, 23},
        {45, 2, Normal, 0, 28}, {43, -3, Normal, 0, 10}, {45, 0, Ghost, 0, 44},   {51, 1, Ghost, 0, 44},
        {45, 0, Normal, 5, 20}, {43, 2, Ghost, 5, 22},   {47, -2, Normal, 5, 21}, {51, 3, Normal, 5, 35},
    };
    for (const Case& k : cases) {
        player->m_spriteSet = k.set;
        player->m_state = k.state;
        player->m_vSpeed = k.vSpeed;
        game::drivingStatics().s_steerInput = k.steer;
        drawn.clear();
        game::paintCarBody(player, 300, 204, k.steer + 5);
        const auto frames = firsts(DrawCall::PaintFrame);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames[0], k.shadow)
            << k.set << " " << k.steer << " " << static_cast<std::int32_t>(k.state) << " " << k.vSpeed;
    }
    // No shadow while the car falls, without contacts or shaking, in the
    // racer introduction, after the finish, or while it has a target.
    player->m_spriteSet = kCarSet;
    player->m_state = game::CarState::Normal;
    player->m_vSpeed = 0;
    player->m_hasTarget = 1;
    drawn.clear();
    game::paintCarBody(player, 300, 204, 5);
    EXPECT_EQ(firsts(DrawCall::PaintFrame), std::vector<std::int32_t>{5});
}

TEST_F(CarPaintingTest, TheSteeringOverlayFrames) {
    struct Case {
        std::int32_t steer, steerDir, driveMode;
        game::CarEffect effect;
        game::CarState state;
        std::int32_t frame;
    };
    constexpr game::CarEffect none = game::CarEffect::None;
    constexpr game::CarState normal = game::CarState::Normal;
    constexpr game::CarState ghost = game::CarState::Ghost;
    const Case cases[] = {
        {-4, -1, 2, none, normal, 48}, {-4, 1, 2, none, normal, 46},
        {-4, 0, 2, none, normal, 47},  {4, -1, 2, none, normal, 43},
        {4, 1, 2, none, normal, 45},   {4, 0, 2, none, normal, 44},
        {3, 1, 2, none, normal, -1},   {0, 0, 2, none, normal, -1},
        {0, 0, 1, none, normal, 23},   {0, 0, 1, game::CarEffect::KnockOut, normal, -1},
        {4, 0, 2, none, ghost, -1},    {0, 0, 1, none, ghost, -1},
    };
    for (const Case& k : cases) {
        game::drivingStatics().s_steerInput = k.steer;
        player->m_steerDir = k.steerDir;
        player->m_driveMode = k.driveMode;
        player->m_effect = k.effect;
        player->m_state = k.state;
        EXPECT_EQ(game::getSteerFrame(player), k.frame) << k.steer << " " << k.steerDir << " " << k.driveMode;
    }
}

TEST_F(CarPaintingTest, AJumpFromOneSideToTheOtherPaintsOneStraightFrame) {
    game::DrivingStatics& d = game::drivingStatics();
    player->m_speed = 100;
    // In the air: no wheel particles.
    player->m_height = 1;
    game::stateStatics().s_messageCount = 0;
    struct Case {
        std::int32_t prev, now, body;
    };
    for (const Case& k : {Case{-1, 1, 5}, Case{1, -1, 5}, Case{0, 1, 6}, Case{2, 3, 8}}) {
        d.s_prevSteerInput = k.prev;
        d.s_steerInput = k.now;
        drawn.clear();
        game::prepareEntityPaint(player, 320);
        game::paintEntity(player);
        // Shadow, body, lights.
        EXPECT_EQ(firsts(DrawCall::PaintFrame), (std::vector<std::int32_t>{k.body * 4, k.body, k.body + 11}))
            << k.prev << " " << k.now;
    }
}

TEST_F(CarPaintingTest, ThreeChargesOfItemFourAreThreePicturesEightScaledUnitsApart) {
    game::ZoomedAnimPlayer* held = rt::makeAs<game::ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
    held->start(30, 1, 1000, -1);
    game::carPaintStatics().s_heldItemPlayer = held;
    player->m_screenScale = 8192;
    player->m_heldItem = 4;
    struct Case {
        std::int32_t charges, steer;
        std::vector<std::int32_t> ys;
        std::int32_t x;
    };
    for (const Case& k : {Case{3, 0, {266, 282, 298}, 300}, Case{1, 2, {266}, 268}, Case{0, 0, {}, 0}}) {
        player->m_itemCharges = k.charges;
        game::drivingStatics().s_steerInput = k.steer;
        drawn.clear();
        game::paintHeldItem(player);
        EXPECT_EQ(firsts(DrawCall::PaintZoomedAnim, 4), k.ys) << k.charges;
        for (std::int32_t x : firsts(DrawCall::PaintZoomedAnim, 3))
            EXPECT_EQ(x, k.x);
    }
    // Other items are pre-zoomed frames: 21 of sprite 26 for items 2 and 5,
    // else 9 of sprite 31; a computer car shows one, shifted in bends.
    player->m_heldItem = 2;
    player->m_itemCharges = 2;
    drawn.clear();
    game::paintHeldItem(player);
    EXPECT_EQ(calls(DrawCall::PaintPreZoomed),
              (std::vector<std::string>{"paintPreZoomed 26 21 8192 300 266 0",
                                        "paintPreZoomed 26 21 8192 300 282 0"}));
    game::cEntity* c = car(1);
    c->m_heldItem = 1;
    struct Ai {
        std::int32_t segment, x;
    };
    for (const Ai& a : {Ai{0, 290}, Ai{5, 282}, Ai{13, 298}}) {
        c->m_segment = a.segment;
        drawn.clear();
        game::paintAiHeldItem(c);
        EXPECT_EQ(calls(DrawCall::PaintPreZoomed),
                  (std::vector<std::string>{"paintPreZoomed 31 9 4096 " + std::to_string(a.x) + " 223 0"}))
            << a.segment;
    }
}

TEST_F(CarPaintingTest, TheFlashBlinksInPhasesAndStaysOnForItsLastSteadyTime) {
    game::CarPaintStatics& c = game::carPaintStatics();
    EXPECT_EQ(c.s_flashSteady, 2048);
    game::setupCarPainting();
    EXPECT_EQ(c.s_flashBlink, 1024);
    struct Case {
        std::int32_t timer, blink;
        bool shown;
    };
    const Case cases[] = {{0, 1024, false},    {-5, 1024, false},   {1, 1024, true},    {2047, 1024, true},
                          {2048, 1024, false}, {3071, 1024, false}, {3072, 1024, true}, {4096, 1024, false},
                          {5000, 0, true},     {5000, -3, true}};
    for (const Case& k : cases) {
        c.s_flashTimer = k.timer;
        c.s_flashBlink = k.blink;
        EXPECT_EQ(game::isFlashShown(), k.shown) << k.timer << " " << k.blink;
        drawn.clear();
        game::paintPlayerCar(player, 300, 200);
        EXPECT_EQ(drawn.outer(DrawCall::FillRectAlpha).size(), k.shown ? 1u : 0u) << k.timer;
    }
}

TEST_F(CarPaintingTest, EffectLayersAreLeftOutWhileTheRaceControlsAreOffButBodiesStay) {
    game::cEntity* c = car(1);
    c->m_state = game::CarState::Strike;
    c->m_animCounter = 2;
    for (std::int8_t off : {0, 1}) {
        game::raceTouchStatics().s_raceControlsOff = off;
        drawn.clear();
        game::paintEntity(c);
        const auto frames = firsts(DrawCall::PaintZoomed, 0);
        EXPECT_EQ(std::count(frames.begin(), frames.end(), kCarSet), 2) << int{off};
        EXPECT_EQ(std::count(frames.begin(), frames.end(), game::kStrikeSprite), off ? 0 : 1);
    }
}

TEST_F(CarPaintingTest, WheelLayersFollowTheSurfaceAndTheSkidLinesAreDrawnInTheirColour) {
    player->m_speed = 40000;
    // Rear wheels: modules 2 and 3 of frame 5 at (-2, -2) and (-1, -3).
    drawn.clear();
    game::paintCarOverlays(player, 2, 0);
    EXPECT_EQ(drawn.lines(),
              (std::vector<std::string>{"drawLine 298 198 298 203 clip 0 0 640 480 colour 303030",
                                        "drawLine 299 197 299 202 clip 0 0 640 480 colour 303030"}));
    drawn.clear();
    game::paintCarOverlays(player, 1, 4);
    const auto surface = firsts(DrawCall::PaintFrame);
    ASSERT_EQ(surface.size(), 2u);
    EXPECT_LT(surface[0], 2 * game::kSurfaceCount);
    drawn.clear();
    game::paintCarOverlays(player, 0, 4);
    EXPECT_TRUE(drawn.records().empty());
    // The lag car hides them while its lag is above 15.
    player->m_spriteSet = game::kLagSpriteSet;
    game::raceEntityStatics().s_topSpeedLag = 16;
    game::paintCarOverlays(player, 1, 4);
    game::paintCarOverlays(player, 2, 4);
    EXPECT_TRUE(drawn.records().empty());
}

TEST_F(CarPaintingTest, ARaceObjectIsItsKindsFrameZoomed) {
    game::cEntity* object = car(2);
    object->m_spriteSet = 40;
    object->m_screenScale = 3000;
    for (std::int32_t slot : {0, 6, -1}) {
        object->m_itemSlot = slot;
        drawn.clear();
        game::paintEntity(object);
        EXPECT_EQ(calls(DrawCall::PaintZoomed),
                  slot < 0 ? std::vector<std::string>{}
                           : std::vector<std::string>{"paintZoomed 40 " + std::to_string(slot) +
                                                      " 3000 300 200 0 0 0"});
    }
}

} // namespace
