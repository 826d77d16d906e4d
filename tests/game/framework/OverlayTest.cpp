// The overlay's soft keys and pause button on recorded paint calls, and the
// shared operations around the states: the loading bar, leaving a race,
// the goal texts and unloading a sprite.

#include "game/framework/Overlay.h"
#include "classlib/lang/StringBuffer.h"
#include "host/Clock.h"
#include "host/Text.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/constantStrings.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/framework/TouchFixture.h"
#include "tests/support/ConstantStrings.h"

#include <algorithm>
#include <set>

namespace {

using framework_testing::s_paints;
using framework_testing::TouchTest;

using OverlayTest = TouchTest;

std::int32_t countPainted(const char* prefix) {
    return static_cast<std::int32_t>(std::count_if(
        s_paints.begin(), s_paints.end(), [&](const std::string& p) { return p.rfind(prefix, 0) == 0; }));
}

TEST_F(OverlayTest, SoftKeysArePaintedInExactlyTheirStates) {
    const std::set<std::int32_t> rightKeyStates = {12, 14, 15, 16, 17, 18, 30, 31, 32, 34, 35};
    setLabels();
    game::setSoftKeys(2, 1);
    for (std::int32_t mode : {0, 6}) {
        for (std::int32_t state = -1; state <= 46; ++state) {
            setState(state, mode);
            s_paints.clear();
            game::paintOverlay(nullptr);
            bool left = mode == 6 && state == 42;
            // In the mode-6 race the left key is painted twice: with its own
            // label, then with the race's (label 3).
            EXPECT_EQ(countPainted("text 'L2'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'L3'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'L1'"), rightKeyStates.count(state))
                << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("frame"), countPainted("text")) << "mode " << mode << " state " << state;
        }
    }

    setState(12, 0);
    s_paints.clear();
    game::paintOverlay(nullptr);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:5 @575,450", "palette 2:1", "text 'L1' @608,465 a3"}));
    setState(42, 6);
    pressAt(0, 460);
    s_paints.clear();
    game::paintOverlay(nullptr);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:4 @-8,450", "palette 2:1", "text 'L2' @30,465 a3",
                                        "frame 65:4 @-8,450", "palette 2:1", "text 'L3' @30,465 a3"}));
}

TEST_F(OverlayTest, NoKeysMeansNothingPaintedAndNoZonesBuilt) {
    setLabels();
    game::setSoftKeys(-1, -1);
    for (std::int32_t state : {12, 42}) {
        setState(state, 0);
        game::paintOverlay(nullptr);
    }
    EXPECT_TRUE(s_paints.empty());
    EXPECT_EQ(game::touchStatics().s_softKeyZones, nullptr);
}

TEST_F(OverlayTest, ThePauseButtonIsPaintedUntilTheRaceHasFinished) {
    static bool s_finished = false;
    game::seams().race.raceFinished = [] { return s_finished; };
    setState(42, 0);
    game::setSoftKeys(game::kPauseButtonLabel, -1);
    game::buildPauseButtonZone();
    game::paintOverlay(nullptr);
    EXPECT_EQ(s_paints, (std::vector<std::string>{"frame 65:8 @567,0"}));
    s_finished = true;
    s_paints.clear();
    game::paintOverlay(nullptr);
    EXPECT_TRUE(s_paints.empty());
}

// The bar follows the kind that runs first: 2, then 8, then 4.
TEST_F(OverlayTest, LoadingBarSizeByStyleBitsInTheirOrder) {
    struct Case {
        std::int32_t style, height, width;
    };
    for (const Case& c : {Case{6, 40, 231}, Case{2, 40, 231}, Case{4, 24, 182}, Case{12, 40, 231},
                          Case{8, 40, 231}, Case{1, 0, 0}, Case{0, 0, 0}}) {
        game::loadingStatics().s_loadingProgress = 9;
        game::initLoadingBar(c.style);
        const game::OverlayStatics& overlay = game::overlayStatics();
        EXPECT_EQ(overlay.s_loadingBarHeight, c.height) << c.style;
        EXPECT_EQ(overlay.s_loadingBarWidth, c.width) << c.style;
        EXPECT_EQ(game::loadingStatics().s_loadingProgress, 0);
    }
}

std::int32_t s_raceType = 0;
int s_hudCleared = 0;

TEST_F(OverlayTest, LeavingARaceGoesWhereItsTypeLeads) {
    struct Case {
        std::int32_t raceType, requested, afterLoading, loadKind;
    };
    // Back to the menus through the loading state means the menus' load
    // (kind 4): a kind left at 0 would end the load at once.
    const Case cases[] = {
        {0, 43, 0, 0}, {1, 43, 0, 0}, {4, 43, 0, 0}, {5, 43, 0, 0},  {2, 36, 0, 0},
        {3, 36, 0, 0}, {6, 4, 6, 4},  {7, 4, 38, 4}, {-1, 4, 38, 4},
    };
    game::seams().race.raceType = [] { return s_raceType; };
    game::seams().race.clearHudBits = [] { ++s_hudCleared; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raceType);
        game::initStateMachine();
        for (std::int32_t state : {4, 36, 40, 42})
            game::pushState(state);
        game::stateStatics().s_loadingNextState = 0;
        game::stateStatics().s_loadingState = 0;
        s_raceType = c.raceType;
        s_hudCleared = 0;
        game::leaveRace();
        EXPECT_EQ(s_hudCleared, 1);
        EXPECT_EQ(game::stateStatics().s_nextState, c.requested);
        EXPECT_EQ(game::stateStatics().s_loadingNextState, c.afterLoading);
        EXPECT_EQ(game::stateStatics().s_loadingState, c.loadKind);
    }
}

std::string s_formatted;

TEST_F(OverlayTest, GoalTextsTakeTheFormattedValueOfTheMode) {
    game::startupStatics().s_textBuffer = rt::make<lib::StringBuffer>(16);
    game::startupStatics().s_textBuffer->append(rt::String::newFromCString("stale"));
    game::RaceHooks& race = game::seams().race;
    race.goalValue = [](std::int32_t mode) { return mode * 1000; };
    race.formatTime = [](std::int32_t ms, bool minutes, bool hundredths, bool sign) {
        s_formatted = std::to_string(ms) + (minutes ? "m" : "") + (hundredths ? "h" : "") + (sign ? "s" : "");
        game::startupStatics().s_textBuffer->append(rt::String::newFromCString(s_formatted.c_str()));
    };
    struct Case {
        std::int32_t mode;
        const char* value;
    };
    for (const Case& c : {Case{1, "1000mh"}, Case{4, "4000mh"}, Case{5, ""}}) {
        setState(6, c.mode);
        game::buildRaceGoalTexts();
        auto* value = static_cast<rt::String*>(rt::ObjectArray::get(game::overlayStatics().s_goalTexts, 1));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->toUtf8(), c.value) << "mode " << c.mode << " (no number format: an empty text)";
    }
}

TEST_F(OverlayTest, UnloadingASpriteFreesItsImagesAndEmptiesTheSlot) {
    static std::vector<std::int32_t> s_freed;
    s_freed.clear();
    game::seams().sprites.freeImages = [](rt::Object* sprite) {
        s_freed.push_back(framework_testing::standInNumber(sprite));
    };
    game::unloadSprite(65);
    game::unloadSprite(65);
    game::unloadSprite(-1);
    EXPECT_EQ(s_freed, (std::vector<std::int32_t>{65}));
    EXPECT_EQ(game::spriteAt(65), nullptr);
    EXPECT_EQ(game::spriteFrameWidth(65, 4), 0) << "an empty slot has frames of size 0";
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
        game::seams() = game::Seams{};
        game::OrvelLibConfig::staticInit();
        testing_support::installConstantStrings({{rt::constants::kPackPartSeparator, "."},
                                                 {rt::constants::kFpsLabel, "FPS "},
                                                 {rt::constants::kFpsAverageLabel, " avg "},
                                                 {rt::constants::kFpsCarLabel, " car "}});
        game::seams().race.playerCarValue = [] { return 7; };
    }
    ~FpsCounterTest() override { game::seams() = game::Seams{}; }

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
    EXPECT_EQ(paintAt(1000), "FPS 1000.00 avg 1000.00 car 7");
    EXPECT_EQ(paintAt(1000), "FPS 1000.00 avg 2000.00 car 7");
    EXPECT_EQ(paintAt(1040), "FPS 25.00 avg 75.00 car 7");
    // 100000 / 199 = 502 hundredths: the hundredths keep their zero.
    EXPECT_EQ(paintAt(1239), "FPS 5.02 avg 16.73 car 7");
    EXPECT_EQ(game::overlayStatics().s_fpsFrames, 4);

    // Half an hour of frames at 25 a second: frames x 100000 passes 2^31.
    game::overlayStatics().s_fpsFrames = 45000 - 1;
    EXPECT_EQ(paintAt(1000 + 1800000), "FPS 0.00 avg 25.00 car 7");
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
        game::overlayStatics().s_fpsBackground = c.background;
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

TEST_F(OverlayTest, ByteTableEntriesDoubleTheirLowSevenBitsAndMissingOnesGiveZero) {
    EXPECT_EQ(game::getByteTableDouble(0), 0); // no table
    rt::ByteArray* table = rt::newByteArray(3);
    rt::ByteArray::set(table, 0, 5);
    rt::ByteArray::set(table, 1, static_cast<std::int8_t>(0x85)); // bit 7 set: dropped
    rt::ByteArray::set(table, 2, 127);
    game::overlayStatics().s_byteTable = table;
    const std::int32_t expected[][2] = {{0, 10}, {1, 10}, {2, 254}, {3, 0}, {-1, 0}};
    for (const auto& [index, value] : expected)
        EXPECT_EQ(game::getByteTableDouble(index), value) << index;
    EXPECT_TRUE(game::isBit7Set(rt::ByteArray::get(table, 1)));
    EXPECT_FALSE(game::isBit7Set(rt::ByteArray::get(table, 2)));
    game::overlayStatics().s_byteTable = nullptr;
}
