// The overlays over the race world: the finish overlay by event type and
// the finish animation on it until it has played out, the weather strip's
// spread (and two first layers at one height), the particles' motion, the
// touch buttons and the left-half band, a racer's name label; whole
// frames of the race's screens, through the race state's paint message,
// that make no object and leave the race as they found it; and the debug
// frame-rate display.

#include "game/racepaint/RaceOverlays.h"
#include "game/race/Blink.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/ScreenShake.h"

#include "game/Game.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Touch.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceHash.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/StartSequence.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadsideView.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/Paint.h"
#include "host/Clock.h"
#include "host/Text.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "runtime/constantStrings.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/race/RacePaintMessage.h"
#include "tests/game/racepaint/HudFixture.h"
#include "tests/support/ConstantStrings.h"

namespace {

using hud_testing::HudTest;
using testing_support::DrawingLog;

struct RaceOverlayTest : HudTest {
    RaceOverlayTest() { game::weatherStaticInit(); }

    std::size_t logged(const std::string& part) const {
        std::size_t n = 0;
        for (const std::string& line : log.lines())
            n += line.find(part) != std::string::npos ? 1 : 0;
        return n;
    }

    template <typename Paint>
    std::vector<std::string> drawn(Paint paint) {
        DrawingLog log;
        paint();
        return described(log);
    }
};

TEST_F(RaceOverlayTest, TheFinishOverlayShowsThePlaceOrTheFailureByEventType) {
    game::HudStateStatics& s = game::hudStateStatics();
    s.s_finishX = 300;
    s.s_finishY = 150;
    player->m_racePosition = 1;
    struct Case {
        game::EventType type;
        std::int32_t result;
        bool shown, animShown;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {game::EventType::Laps, 1, true, false, {"frame 15:1 @300,150"}},
        {game::EventType::Points, 0, true, false, {"frame 15:1 @300,150"}},
        {game::EventType::Laps, 1, false, true, {}},
        {game::EventType::Score, 1, true, true, {"frame 15:15 @300,150"}},
        {game::EventType::Score, 0, true, true, {"frame 15:13 @300,150"}},
        {game::EventType::OpenDistance, 0, false, true, {"frame 15:13 @300,150"}},
        {game::EventType::Score, 1, true, false, {}},
        {game::eventTypeFromNumber(13), 1, true, true, {}},
    };
    game::BlinkStatics& u = game::blinkStatics();
    u.s_blinkLoop = 1;
    u.s_blinkPeriod = 10;
    u.s_blinkTimer = 0; // blink off: no text
    for (const Case& c : cases) {
        HudTest::event(c.type);
        game::raceStatics().s_raceResult = static_cast<std::int8_t>(c.result);
        s.s_finishShown = c.shown ? 1 : 0;
        s.s_finishAnimShown = c.animShown ? 1 : 0;
        EXPECT_EQ(drawn(game::paintFinishOverlay), c.frames) << "type " << c.type << " result " << c.result;
    }
    u.s_blinkTimer = 15;
    s.s_finishShown = 1;
    HudTest::event(game::EventType::Laps);
    const std::vector<std::string> lines = drawn(game::paintFinishOverlay);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "text 'T50' @320,466 a3 p0");
}

// The finish animation is a player on sprite 15 at the overlay's place,
// made idle as the race ends: idle, the overlay shows nothing of it and the
// outro finds it played out at once. Started on an animation for one pass,
// the overlay shows its frames from the first (in event type 0, and in type
// 3 only while the animation is shown), the outro steps them (50 ms a step,
// here one step a frame) and it plays out, after which it shows no more.
TEST_F(RaceOverlayTest, TheFinishAnimationShowsOnTheOverlayUntilItHasPlayedOut) {
    datakit::SpriteModel model = hud_testing::standInModel(0xFF2040C0u);
    sprite_testing::addAnim(model,
                            {{.frame = 20, .time = 1}, {.frame = 21, .time = 1}, {.frame = 22, .time = 1}});
    game::ASprite* finish = sprite_testing::loadSprite(datakit::writeSprite(model));
    rt::Array::setRef(game::startupStatics().s_sprites, 15, finish);
    game::paintStatics().s_aframeTimeUnit = 50;
    game::HudStateStatics& s = game::hudStateStatics();
    s.s_finishX = 300;
    s.s_finishY = 150;
    s.s_finishShown = 0;
    game::blinkStatics().s_blinkTimer = 0;
    HudTest::event(game::EventType::Laps);
    auto shownFrames = [&] {
        DrawingLog log;
        game::paintFinishOverlay();
        std::vector<std::string> calls;
        for (const game::DrawRecord& r : log.outer(game::DrawCall::PaintAFrame))
            if (r.subject == finish)
                calls.push_back(DrawingLog::call(r));
        return calls;
    };

    game::startFinishAnimation();
    auto* player = static_cast<game::OrvelLibPlayer*>(s.s_finishPlayer);
    ASSERT_NE(player, nullptr);
    ASSERT_EQ(player->classId(), game::OrvelLibPlayer::kClassId);
    EXPECT_EQ(player->m_sprite, finish);
    EXPECT_EQ(player->m_x, 300);
    EXPECT_EQ(player->m_y, 150);
    EXPECT_TRUE(shownFrames().empty()) << "idle";
    EXPECT_TRUE(game::advanceFinishAnimation()) << "an idle player has played out";

    player->m_anim = 0;
    player->m_aframe = 0;
    player->m_time = 0;
    player->m_loops = 0;
    player->m_stopped = 0;
    HudTest::event(game::EventType::Score);
    s.s_finishAnimShown = 0;
    EXPECT_TRUE(shownFrames().empty()) << "a score event before the animation is shown";
    s.s_finishAnimShown = 1;
    std::vector<std::string> shown;
    bool playedOut = false;
    for (std::int32_t step = 0; step < 20 && !playedOut; ++step) {
        for (const std::string& call : shownFrames())
            if (shown.empty() || shown.back() != call)
                shown.push_back(call);
        playedOut = game::advanceFinishAnimation();
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"paintAFrame 0 0 300 150 0 0 0", "paintAFrame 0 1 300 150 0 0 0",
                                        "paintAFrame 0 2 300 150 0 0 0"}));
    EXPECT_TRUE(playedOut);
    EXPECT_TRUE(shownFrames().empty()) << "played out, it shows no more";
}

TEST_F(RaceOverlayTest, TheStripSpreadsItsLayersByTheirHeightsAndSurvivesTwoEqualFirstLayers) {
    game::roadsideView().s_weatherMode = 1;
    game::WeatherStatics& w = game::weatherStatics();
    w.s_weatherOffsetX = 100;
    w.s_weatherOffsetY = 5;
    w.s_weatherSpread = 24;
    // Gaps of 40, 50 and 60 over a first gap of 40: shifts 24, 54, 90.
    EXPECT_EQ(drawn(game::paintRaceNotice),
              (std::vector<std::string>{"frame 61:0 @100,25", "frame 61:1 @76,65", "frame 61:2 @46,115",
                                        "frame 61:3 @10,175"}));
    EXPECT_EQ(w.s_weatherActive, 1);
    EXPECT_EQ(w.s_weatherLayersOn, 1);

    w.s_weatherLayerY = racepaint_testing::intArray({30, 30, 80});
    for (std::int32_t frame = 0; frame < 3; ++frame)
        EXPECT_EQ(
            drawn(game::paintRaceNotice),
            (std::vector<std::string>{"frame 61:0 @100,35", "frame 61:1 @100,35", "frame 61:2 @100,85"}));
    EXPECT_EQ(logged("one height"), 1U) << "one line per layer table";
    w.s_weatherLayerY = racepaint_testing::intArray({30, 30});
    (void)drawn(game::paintRaceNotice);
    EXPECT_EQ(logged("one height"), 2U);

    game::roadsideView().s_weatherMode = 3;
    EXPECT_TRUE(drawn(game::paintRaceNotice).empty());
    EXPECT_EQ(w.s_weatherActive, 0);
}

TEST_F(RaceOverlayTest, ParticlesFallByTheFramesMillisecondsAndWrapOverTheScreen) {
    game::roadsideView().s_weatherMode = 2;
    game::initParticleField();
    rt::IntArray* field = game::weatherStatics().s_weatherParticles;
    const std::int32_t y0 = rt::IntArray::get(field, game::particle::kY);
    const std::int32_t speed = rt::IntArray::get(field, game::particle::kSpeedY);
    game::loopStatics().s_frameMs = 100;
    const std::vector<std::string> lines = drawn(game::paintRaceNotice);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(game::kWeatherParticles));
    EXPECT_EQ(rt::IntArray::get(field, game::particle::kY), y0 + speed * 100 * 256 / 1000);
    // No frame: nothing moves.
    game::loopStatics().s_frameMs = 0;
    const std::int32_t y1 = rt::IntArray::get(field, game::particle::kY);
    (void)drawn(game::paintRaceNotice);
    EXPECT_EQ(rt::IntArray::get(field, game::particle::kY), y1);
    // A long run keeps every particle on the screen's columns and above its bottom.
    game::loopStatics().s_frameMs = 1000;
    for (std::int32_t i = 0; i < 50; ++i)
        (void)drawn(game::paintRaceNotice);
    for (std::int32_t i = 0; i < game::kWeatherParticles; ++i) {
        const std::int32_t x = rt::IntArray::get(field, i * game::kParticleInts + game::particle::kX) >> 8;
        const std::int32_t y = rt::IntArray::get(field, i * game::kParticleInts + game::particle::kY) >> 8;
        EXPECT_TRUE(x >= 0 && x < 640) << i;
        EXPECT_LT(y, 480) << i;
    }
}

TEST_F(RaceOverlayTest, TouchButtonsLightUnderThePointerAndTheLeftBandKeepsItsEdges) {
    game::loopStatics().s_rotated = 0;
    // Sprite 66: frame 1 is 13 x 9, frame 4 is 16 x 12: the band is rows
    // 234 to 246 of the left half.
    struct Point {
        std::int32_t x, y;
        bool left;
    };
    for (const Point& p : {Point{0, 234, true}, Point{320, 246, true}, Point{321, 240, false},
                           Point{100, 233, false}, Point{100, 247, false}}) {
        game::pointerPressed(p.x, p.y);
        game::latchPointer();
        EXPECT_EQ(game::isPointerOnRaceLeftHalf(), p.left) << p.x << "," << p.y;
        game::pointerReleased(p.x, p.y);
    }
    game::stateStatics().s_state = game::State::RaceCountdown;
    EXPECT_FALSE(game::isPointerOnRaceLeftHalf()) << "only in the race";
    game::stateStatics().s_state = game::State::Race;

    game::pointerPressed(5, 240);
    game::latchPointer();
    const std::vector<std::string> lines = drawn(game::paintTouchControls);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "frame 66:1 @3,236");
    EXPECT_EQ(lines[1], "frame 66:2 @624,236");
    EXPECT_EQ(lines[2], "frame 66:4 @15,458");
}

TEST_F(RaceOverlayTest, TheHudButtonCountsOnTheTwentyFirstFrame) {
    player->m_driveMode = game::kHeldButtonDriveMode;
    game::loopStatics().s_rotated = 0;
    game::pointerPressed(545, 380);
    game::latchPointer();
    std::int32_t answered = 0;
    for (std::int32_t frame = 1; frame <= 21; ++frame)
        if (game::isHudButtonHeld())
            answered = frame;
    EXPECT_EQ(answered, 21);
    EXPECT_EQ(player->m_driveMode, -1);
    EXPECT_FALSE(game::isHudButtonHeld()) << "the drive mode no longer listens";
    game::raceTouchStatics().s_raceControlsOff = 1;
    game::stateStatics().s_gameMode = game::GameMode::Guided;
    EXPECT_FALSE(game::isHudButtonHeld());
}

TEST_F(RaceOverlayTest, ARacerLabelSitsOverItsCarAndStaysOnTheScreen) {
    // Frame 10 of sprite 64 has the shade box (2, 4, 300, 160), the name's
    // bar (3, 5, 280, 150) and the text box (4, 6, 260, 142); a car at
    // scale 1.0 carries its label 50 pixels up.
    game::cEntity* car = game::racerAt(0);
    car->m_name = rt::String::newFromCString("Racer");
    car->m_screenY = 300;
    car->m_screenScale = 4096;
    struct Case {
        std::int32_t x;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {200,
         {"fillRectAlpha 202 254 300 160", "fillRect 203 255 280 150", "frame 64:10 @200,250",
          "text 'Racer' @334,256 a17 p0"}},
        // Its right edge at 802: the whole label moves 162 to the left.
        {500,
         {"fillRectAlpha 340 254 300 160", "fillRect 341 255 280 150", "frame 64:10 @500,250",
          "text 'Racer' @472,256 a17 p0"}},
    };
    for (const Case& c : cases) {
        car->m_screenX = c.x;
        EXPECT_EQ(drawn([&] { game::paintRacerLabel(car); }), c.lines) << c.x;
    }
}

TEST_F(RaceOverlayTest, AHundredRaceFramesMakeNoObject) {
    hud_testing::installPauseMenuTables();
    for (std::int32_t i = 0; i < 3; ++i) {
        game::cEntity* car = game::racerAt(i);
        car->m_name = rt::String::newFromCString(i == 1 ? "A rather long racer name" : "Racer");
        car->m_screenX = 200 + 150 * i;
        car->m_screenY = 300;
        car->m_screenScale = 4096;
    }
    game::CameraStatics& camera = game::cameraStatics();
    camera.s_tourState = game::kTourDwelling;
    camera.s_tourRacer = 2;
    game::roadsideView().s_weatherMode = 2;
    game::loopStatics().s_frameMs = 40;
    player->m_itemSlot = 2;

    // The race of event types 0 and 5, the racer intro's labels, the pause
    // menu over the race, and the results. The panels of modes 1 and 5 fill
    // in two translucent colours a frame: they are counted with the fill
    // drawn from tile images and from the tile's pixels.
    struct Scene {
        const char* name;
        game::EventType type;
        std::int32_t hudBits;
        game::State state;
        game::GameMode mode;
        bool imageFill = true;
    };
    for (const Scene& scene :
         {Scene{"race, type 0", game::EventType::Laps, 0x19002F, game::State::Race, game::GameMode::LapRace},
          Scene{"race, type 5", game::EventType::Points, 0x1D002F, game::State::Race,
                game::GameMode::LapRace},
          Scene{"racer intro", game::EventType::Laps, 0, game::State::RacerIntro, game::GameMode::LapRace},
          Scene{"pause over the race", game::EventType::Laps, 0x19002F, game::State::PauseMenu,
                game::GameMode::LapRace},
          Scene{"results of mode 0", game::EventType::Laps, 0, game::State::RaceResults,
                game::GameMode::LapRace},
          Scene{"results of mode 1", game::EventType::Distance, 0, game::State::RaceResults,
                game::GameMode::TimeTrial},
          Scene{"results of mode 5", game::EventType::Points, 0, game::State::RaceResults,
                game::GameMode::Points},
          Scene{"results of mode 1, pixel fill", game::EventType::Distance, 0, game::State::RaceResults,
                game::GameMode::TimeTrial, false},
          Scene{"results of mode 5, pixel fill", game::EventType::Points, 0, game::State::RaceResults,
                game::GameMode::Points, false}}) {
        game::config().s_translucentFill = scene.imageFill ? 1 : 0;
        HudTest::event(scene.type);
        game::hudStatics().s_hudElements = scene.hudBits;
        game::stateStatics().s_gameMode = scene.mode;
        game::initStateMachine();
        game::pushState(game::State::Race);
        game::stateStatics().s_state = game::State::Race;
        if (scene.state == game::State::PauseMenu) {
            game::pushState(game::State::PauseMenu);
            game::stateStatics().s_state = game::State::PauseMenu;
            game::statePauseMenu(game::kEnter);
        }
        game::stateStatics().s_state = scene.state;
        auto frame = [&] {
            if (scene.state == game::State::PauseMenu)
                game::statePauseMenu(game::kPaint);
            else
                game::paintRaceState();
        };
        frame(); // the shared text buffer grows to its size
        const std::size_t objects = runtime.objectManager().objectCount();
        for (std::int32_t i = 0; i < 100; ++i)
            frame();
        EXPECT_EQ(runtime.objectManager().objectCount(), objects) << scene.name;
    }
    game::config().s_translucentFill = 1;
}

// What the display moves from frame to frame (its intro, which the count
// waits for, the gauge's count, the split's paints, the offer's time, the
// shake) moves in the view pass and its closing step: over the count and
// the race the race state is the same after every frame with or without
// the painters, and the race comes in the same frame.
TEST_F(RaceOverlayTest, TheCountAndTheRaceAreTheSameWithOrWithoutThePainters) {
    game::makeKeyStateArrays();
    game::loopStatics().s_frameMs = 100;
    game::raceStatics().s_raceFrameTime = game::frameMsToTime(100);
    // The count moves the shake, the blink and the start boost, and the view
    // pass the flash: each run starts from the same values.
    const game::ShakeStatics shake = game::shakeStatics();
    const game::BlinkStatics blink = game::blinkStatics();
    const game::StartSequenceStatics start = game::startSequenceStatics();
    const game::DrivingStatics driving = game::drivingStatics();
    const game::ViewPassStatics view = game::viewPassStatics();
    auto run = [&](bool painted) {
        game::shakeStatics() = shake;
        game::blinkStatics() = blink;
        game::startSequenceStatics() = start;
        game::drivingStatics() = driving;
        game::viewPassStatics() = view;
        void (*const picture)() = painted ? game::paintRacePicture : race_testing::paintNothing;
        game::HudStatics& hud = game::hudStatics();
        hud.s_hudPhase = 0;
        hud.s_hudElements = 0x1D002F;
        game::raceStatics().s_startPhase = 0;
        game::hudStateStatics().s_collectedShown = 0;
        player->m_collected = 7;
        player->m_itemSlot = -1;
        player->m_offeredItem = 3;
        player->m_offerTimer = 30000;
        game::RaceEntityStatics& e = game::raceEntityStatics();
        e.s_splitTimes = racepaint_testing::intArray({4000, 9000, 0, 0});
        e.s_splitShown = 0;
        e.s_splitShownTimer = 0;
        game::shakeStatics().s_shakeX = 3;
        game::initStateMachine();
        game::pushState(game::State::RaceCountdown);
        game::StateStatics& s = game::stateStatics();
        s.s_state = game::State::RaceCountdown;
        s.s_nextState = game::State::Quit;
        std::vector<std::string> frames;
        for (std::int32_t n = 0; n < 80; ++n) {
            if (s.s_state == game::State::RaceCountdown) {
                game::stepState41();
                if (s.s_nextState == game::State::Race)
                    s.s_state = game::State::Race;
            }
            race_testing::paintRaceStateWith(picture);
            std::string frame = std::to_string(game::stateNumber(s.s_state)) + " hud " +
                                std::to_string(hud.s_hudPhase) + " " + std::to_string(hud.s_hudIntroTime) +
                                " " + std::to_string(hud.s_hudSlideA) + " " + std::to_string(hud.s_hudSlideB);
            for (const game::RaceBlockHash& block : game::raceStateBlockHashes())
                frame += "\n" + block.name + " " + std::to_string(block.hash);
            frames.push_back(std::move(frame));
        }
        return frames;
    };
    const std::vector<std::string> painted = run(true);
    const std::vector<std::string> bare = run(false);
    ASSERT_EQ(painted.size(), bare.size());
    for (std::size_t n = 0; n < painted.size(); ++n)
        ASSERT_EQ(painted[n], bare[n]) << "frame " << n;
    EXPECT_TRUE(painted.back().starts_with("42 ")) << "the race began";
    EXPECT_EQ(game::hudStateStatics().s_collectedShown, 7);
    EXPECT_EQ(game::shakeStatics().s_shakeX, 0);
}

} // namespace

namespace {

// A device tick that moves only when the test says.
struct ManualClock final : host::Clock {
    std::uint32_t tick = 0;
    std::uint32_t tickCount() override { return tick; }
    void sleep(std::uint32_t) override {}
    std::int64_t wallClockSeconds() override { return 0; }
};

struct FpsCounterTest : ::testing::Test {
    testing_support::LogCapture log;
    ManualClock clock;
    rt::Runtime runtime{
        rt::RuntimeOptions{.objectHeapSize = 1 << 21, .bufferHeapSize = 1 << 23, .clock = &clock}};

    FpsCounterTest() {
        platform::installPlatform(runtime);
        game::registerGame();
        game::OrvelLibConfig::staticInit();
        testing_support::installConstantStrings({{rt::constants::kPackPartSeparator, "."},
                                                 {rt::constants::kFpsLabel, "FPS "},
                                                 {rt::constants::kFpsAverageLabel, " avg "},
                                                 {rt::constants::kFpsCarLabel, " car "}});
        // 100 km/h: the speed is 4096 to 3.6 km/h.
        game::cEntity* player = game::cEntity::cEntityWithType(1);
        player->m_speed = 113778;
        game::racerStatics().s_playerCar = player;
    }
    ~FpsCounterTest() override { game::racerStatics().s_playerCar = nullptr; }

    std::string paintAt(std::uint32_t tick) {
        clock.tick = tick;
        rt::String* text = game::paintFpsCounter();
        return text ? text->toUtf8() : "null";
    }
};

TEST_F(FpsCounterTest, RatesInHundredthsFromTheLastFrameAndFromTheStart) {
    clock.tick = 1000;
    game::resetFpsCounter();
    // Frames 0 ms apart count as 1 ms: 1000 frames a second, both ways.
    EXPECT_EQ(paintAt(1000), "FPS 1000.00 avg 1000.00 car 100");
    EXPECT_EQ(paintAt(1000), "FPS 1000.00 avg 2000.00 car 100");
    EXPECT_EQ(paintAt(1040), "FPS 25.00 avg 75.00 car 100");
    // 100000 / 199 = 502 hundredths: the hundredths keep their zero.
    EXPECT_EQ(paintAt(1239), "FPS 5.02 avg 16.73 car 100");
    EXPECT_EQ(game::fpsCounterStatics().s_fpsFrames, 4);

    // Half an hour of frames at 25 a second: frames x 100000 passes 2^31.
    game::fpsCounterStatics().s_fpsFrames = 45000 - 1;
    EXPECT_EQ(paintAt(1000 + 1800000), "FPS 0.00 avg 25.00 car 100");

    // Without a player's car the speed reads 0.
    game::racerStatics().s_playerCar = nullptr;
    EXPECT_EQ(paintAt(1000 + 1800040), "FPS 25.00 avg 25.00 car 0");
}

// A system font three pixels high whose text is a line along its top row.
struct TopLineText final : host::Text {
    std::optional<host::FontMetrics> metrics() override { return host::FontMetrics{2, 3}; }
    int measure(std::u16string_view text) override { return static_cast<int>(text.size()); }
    bool render(std::u16string_view, std::uint32_t foreground, std::uint32_t background,
                std::span<std::uint32_t> pixels, int width, int) override {
        std::fill(pixels.begin(), pixels.end(), background);
        std::fill_n(pixels.begin(), width, foreground);
        return true;
    }
};

TEST_F(FpsCounterTest, TheTextIsWhiteOnABlackBandAsHighAsTheFont) {
    TopLineText font;
    platform::javax_microedition_lcdui_Font::setTextService(&font);
    platform::javax_microedition_lcdui_Image* image =
        platform::javax_microedition_lcdui_Image::createImage(8, 6);
    platform::javax_microedition_lcdui_Graphics* graphics = image->getGraphics();
    graphics->setColor(0x0000FF);
    graphics->fillRect(0, 0, 8, 6);
    game::loopStatics().s_graphics = graphics;
    game::resetFpsCounter();
    struct Case {
        std::int8_t background;
        std::vector<std::int32_t> rows; // the RGB of each row's last pixel
    };
    const Case cases[] = {{0, {0xFFFFFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                          {1, {0xFFFFFF, 0, 0, 0xFF, 0xFF, 0xFF}}};
    for (const Case& c : cases) {
        game::fpsCounterStatics().s_fpsBackground = c.background;
        paintAt(0);
        std::vector<std::int32_t> argb = framework_testing::pixels(image);
        std::vector<std::int32_t> rows;
        for (std::int32_t y = 0; y < 6; ++y)
            rows.push_back(argb[static_cast<std::size_t>(y * 8 + 7)] & 0xFFFFFF);
        EXPECT_EQ(rows, c.rows) << "background switch " << int{c.background};
    }
    game::loopStatics().s_graphics = nullptr;
    platform::javax_microedition_lcdui_Font::setTextService(nullptr);
}

} // namespace
