// The game started on the demo data set: state 1's load and the change to
// state 2, the screen buffer on the screen (turned, or upright by the
// orientation property), throwables inside a frame, keys through the
// canvas, pause and resume, and the whole game on its thread.

#include "game/framework/FixedPoint.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/GameRandom.h"
#include "game/framework/Keys.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Touch.h"
#include "game/frontend/StartupScreens.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Exceptions.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tests/game/framework/GameFixture.h"

#include <climits>

namespace {

using framework_testing::pixels;
using framework_testing::recordMessage;
using framework_testing::s_messages;
using framework_testing::StartedGame;

// Paints a picture into the screen buffer without symmetry, so that a
// turned or shifted copy cannot pass for it.
void paintPicture(std::int32_t message) {
    recordMessage<game::State::Splash>(message);
    if (message != game::kPaint)
        return;
    platform::javax_microedition_lcdui_Graphics* g = game::loopStatics().s_graphics;
    g->setColor(0xFF0000);
    g->fillRect(0, 0, 640, 480);
    g->setColor(0x00FF00);
    g->fillRect(0, 0, 100, 50);
    g->setColor(0x0000FF);
    g->fillRect(600, 400, 40, 80);
    g->setColor(0xFFFF00);
    g->fillRect(123, 77, 200, 31);
}

void recordStateOne(std::int32_t message) {
    recordMessage<game::State::StartupLoad>(message);
    game::loadStartupData(message);
}

void registerPicture() {
    game::setStateHandler(game::State::StartupLoad, recordStateOne);
    game::setStateHandler(game::State::Splash, paintPicture);
}

struct GameTest : ::testing::Test {
    GameTest() {
        s_messages.clear();
        framework_testing::s_register = registerPicture;
    }
};

TEST_F(GameTest, StateOneLoadsAndHandsOverToStateTwoInTheNextFrame) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_NE(game.canvas(), nullptr);
    EXPECT_EQ(game.application().currentDisplayable(), game.canvas());
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(s_messages, (std::vector<std::string>{"1:0", "1:1", "1:2", "1:3"}));
    EXPECT_EQ(game::stateStatics().s_state, game::State::Splash);
    ASSERT_TRUE(game.frame());
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(s_messages,
              (std::vector<std::string>{"1:0", "1:1", "1:2", "1:3", "2:0", "2:1", "2:2", "2:1", "2:2"}));
    EXPECT_EQ(game::getStackedState(1), game::State::StartupLoad);
    EXPECT_EQ(game::getStackedState(2), game::State::Splash);
    EXPECT_EQ(game::stateStatics().s_stateFrames, 2);

    const game::StartupStatics& startup = game::startupStatics();
    ASSERT_NE(startup.s_sprites, nullptr);
    EXPECT_EQ(startup.s_sprites->length(), game::kSpriteCount);
    EXPECT_EQ(startup.s_flags368->length(), 368);
    ASSERT_NE(startup.s_textPackName, nullptr);
    EXPECT_EQ(startup.s_textPackName->toUtf8(), "/texts.pak");
    EXPECT_EQ(startup.s_textEncoding->toUtf8(), "UTF-8");
    EXPECT_EQ(game::loopStatics().s_frameCount, 3);

    // The static initialisation derived the fixed-point constants.
    EXPECT_EQ(game::fixedPointStatics().s_one, 4096);
    EXPECT_EQ(game::fixedPointStatics().s_unitsPerDegree, 23302);
}

TEST_F(GameTest, TheScreenShowsTheBufferTurnedAQuarterClockwise) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    EXPECT_EQ(game::loopStatics().s_rotated, 1);
    EXPECT_EQ(game::loopStatics().s_touchWidth, 480);
    game.frame();
    game.frame();
    std::vector<std::int32_t> buffer = pixels(game::loopStatics().s_screenBuffer);
    std::vector<std::int32_t> screen = pixels(game.application().screenImage());
    ASSERT_EQ(screen.size(), 480u * 640u);
    std::vector<std::int32_t> turned(screen.size());
    for (std::int32_t y = 0; y < 640; ++y) {
        for (std::int32_t x = 0; x < 480; ++x)
            turned[static_cast<std::size_t>(y * 480 + x)] =
                buffer[static_cast<std::size_t>((479 - x) * 640 + y)];
    }
    EXPECT_TRUE(screen == turned);
    EXPECT_EQ(static_cast<std::uint32_t>(screen[600 * 480]), 0xFF0000FFu); // buffer (600, 479): blue
    EXPECT_EQ(static_cast<std::uint32_t>(screen[479]), 0xFF00FF00u);       // buffer (0, 0): green
}

TEST_F(GameTest, TheUprightOrientationValueDrawsTheBufferUnturned) {
    StartedGame game({{"MIDlet-Name", "Vorlax Rally"}, {"Vorlax-Orientation", "upright"}});
    ASSERT_TRUE(game.started);
    EXPECT_EQ(game::loopStatics().s_rotated, 0);
    EXPECT_EQ(game::loopStatics().s_touchWidth, 640);
    EXPECT_EQ(game::loopStatics().s_orientationValue->toUtf8(), "upright");
    game.frame();
    game.frame();
    std::vector<std::int32_t> buffer = pixels(game::loopStatics().s_screenBuffer);
    std::vector<std::int32_t> screen = pixels(game.application().screenImage());
    bool same = true;
    for (std::int32_t y = 0; y < 480; ++y) {
        for (std::int32_t x = 0; x < 480; ++x)
            same = same && screen[static_cast<std::size_t>(y * 480 + x)] ==
                               buffer[static_cast<std::size_t>(y * 640 + x)];
    }
    EXPECT_TRUE(same);
}

TEST_F(GameTest, TheFrameClipsThroughTheGameWrapperSoTheVirtualScreenKeepsIt) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    game::config().s_virtualScreen = 1;
    game::GraphicsStatics& graphics = game::graphicsStatics();
    graphics.s_virtualScreenActive = 1;
    ASSERT_TRUE(game.frame());
    EXPECT_EQ((std::vector<std::int32_t>{graphics.s_virtualClipX, graphics.s_virtualClipY,
                                         graphics.s_virtualClipWidth, graphics.s_virtualClipHeight}),
              (std::vector<std::int32_t>{0, 0, 640, 480}));
}

rt::ClassId s_throwClass = rt::ClassId::java_lang_Error;

void throwInUpdate(std::int32_t message) {
    if (message == game::kUpdate)
        (void)rt::raise(s_throwClass);
}

TEST_F(GameTest, AThrowableInAFrameSkipsItsRestAndNeverLeavesThePaintHeld) {
    struct Case {
        const char* name;
        rt::ClassId thrown;
    };
    for (Case c : {Case{"an Exception", rt::ClassId::java_lang_RuntimeException},
                   Case{"an Error", rt::ClassId::java_lang_Error}}) {
        SCOPED_TRACE(c.name);
        s_throwClass = c.thrown;
        framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, throwInUpdate); };
        StartedGame game;
        ASSERT_TRUE(game.started);
        game.frame(); // state 1, then 2
        std::int32_t frames = game::loopStatics().s_frameCount;
        std::vector<std::int32_t> before = pixels(game.application().screenImage());
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(game.frame());
        EXPECT_EQ(game::loopStatics().s_inPaint, 0);
        EXPECT_EQ(game::loopStatics().s_frameCount, frames + 3);
        EXPECT_EQ(game::loopStatics().s_runState, 0);
        EXPECT_FALSE(rt::exceptionPending());
        EXPECT_TRUE(pixels(game.application().screenImage()) == before) << "the blit is skipped";
    }
}

TEST_F(GameTest, KeysReachTheCanvasAndPauseAndResumeReachTheState) {
    framework_testing::s_register = [] {
        game::setStateHandler(game::State::Splash, recordMessage<game::State::Splash>);
    };
    StartedGame game;
    ASSERT_TRUE(game.started);
    game.frame();
    game.frame();
    game.application().keyPressed(-6);
    game.application().keyPressed('5');
    game.frame();
    EXPECT_TRUE(game::isKeyPressed(18));
    EXPECT_TRUE(game::isKeyPressed(5));
    s_messages.clear();
    EXPECT_TRUE(game.application().pauseAndHide());
    EXPECT_EQ(game::loopStatics().s_paused, 1);
    EXPECT_FALSE(game.frame());
    EXPECT_TRUE(game.application().startAndShow());
    EXPECT_EQ(game::loopStatics().s_paused, 0);
    // The resume repaints at once: one frame of update and paint.
    EXPECT_EQ(s_messages, (std::vector<std::string>{"2:5", "2:4", "2:1", "2:2"}));
    EXPECT_FALSE(game::isKeyHeld(5)) << "a resume clears the keys";
}

TEST(GameRandom, DrawsStayInRangeEvenForTheLowestInt) {
    struct Case {
        std::int32_t draw, low, high, expected;
    };
    const Case cases[] = {
        {7, 0, 10, 7},
        {-7, 0, 10, 7},
        {INT_MIN, 0, 10, 8},
        {INT_MIN, -5, 5, 3},
        {INT_MAX, 1, 3, 2},
        {3, 5, 5, 5},
        {-1, INT_MIN, INT_MAX, INT_MIN + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::randomInRange(c.draw, c.low, c.high), c.expected) << c.draw << " " << c.low;
}

TEST(GameLayout, DesignValuesScaleAndConvertWithTruncation) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 22}};
    game::OrvelLibConfig::staticInit();
    EXPECT_EQ(game::layoutY(120), 180);
    EXPECT_EQ(game::layoutY(230), 345);
    EXPECT_EQ(game::layoutY(35), 52);
    EXPECT_EQ(game::layoutY(-161), -241);
    EXPECT_EQ(game::tuning(600), 2457);
    EXPECT_EQ(game::tuning(2000), 8192);
    EXPECT_EQ(game::tuning(500), 2048);
    EXPECT_EQ(game::degrees(36), 204);
}

// The whole game on its thread: state 2 records when each of its frames
// was painted; the clock is the headless host's virtual one.
std::vector<std::int64_t> s_paintTimes;
int s_softKeyPresses = 0;

void recordPaintTime(std::int32_t message) {
    if (message != game::kUpdate)
        return;
    s_paintTimes.push_back(game::loopStatics().s_paintTime);
    s_softKeyPresses += game::isKeyPressed(18) ? 1 : 0;
}

TEST_F(GameTest, TheGameThreadPaintsEveryFortyMillisecondsSeesF1AsKey18AndEndsOnQuit) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-whole-game");
    framework_testing::writeDemoSet(folder.path());
    s_paintTimes.clear();
    s_softKeyPresses = 0;
    framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, recordPaintTime); };
    int status = framework_testing::runWholeGame(
        folder.path(), "0 activate\n0 focus-gained\n300 key-down F1\n+100 key-up F1\n1000 quit\n");
    EXPECT_EQ(status, 0);
    ASSERT_GE(s_paintTimes.size(), 10u);
    for (std::size_t i = 1; i < s_paintTimes.size(); ++i)
        EXPECT_EQ(s_paintTimes[i] - s_paintTimes[i - 1], 40) << i;
    EXPECT_EQ(s_softKeyPresses, 1);
    EXPECT_TRUE(log.contains("state 1 -> 2"));
}

// A stylus press from the script goes through the shell and the canvas on
// the window thread and the latch of the game thread's frame step; state 2
// records every latched press its updates see.
std::vector<std::string> s_latchedPresses;

void recordLatchedPress(std::int32_t message) {
    const game::TouchStatics& touch = game::touchStatics();
    if (message == game::kUpdate && touch.s_latchedPressX != -1)
        s_latchedPresses.push_back(std::to_string(touch.s_latchedPressX) + "," +
                                   std::to_string(touch.s_latchedPressY));
}

TEST_F(GameTest, AScriptedStylusPressIsSeenTurnedInExactlyOneFrame) {
    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder("vorlax-stylus");
    framework_testing::writeDemoSet(folder.path());
    s_latchedPresses.clear();
    framework_testing::s_register = [] { game::setStateHandler(game::State::Splash, recordLatchedPress); };
    int status = framework_testing::runWholeGame(
        folder.path(),
        "0 activate\n0 focus-gained\n300 stylus-down 10 20\n+100 stylus-up 10 20\n1000 quit\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(s_latchedPresses, (std::vector<std::string>{"20,470"}));
}

} // namespace
