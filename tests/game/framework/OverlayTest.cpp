// The overlay's soft keys and pause button on recorded paint calls; and,
// on the same fixtures, three operations of the race and the sprites that
// the states around a race use: leaving a race, unloading a sprite and the
// debug frame-rate display.

#include "game/framework/Overlay.h"
#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceState.h"
#include "game/race/RaceStates.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/TextLayout.h"
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
    using game::State;
    const std::set<State> rightKeyStates = {State::PreRaceSelect, State::RacerList,     State::ModeMenu,
                                            State::CupSelect,     State::RaceMenu,      State::BonusMenu,
                                            State::Options,       State::ReferenceList, State::TextScreen,
                                            State::RaceOptions,   State::RaceHelp};
    setLabels();
    game::setSoftKeys(2, 1);
    for (game::GameMode mode : {game::GameMode::LapRace, game::GameMode::Guided}) {
        // Every number a state can have, named or not.
        for (std::int32_t number = -1; number < game::kStateSlots - 1; ++number) {
            const State state = game::stateFromNumber(number);
            setState(state, mode);
            s_paints.clear();
            game::paintOverlay(game::loopStatics().s_graphics);
            bool left = mode == game::GameMode::Guided && state == State::Race;
            // In the guided race the left key is painted twice: with its own
            // label, then with the race's (label 3).
            EXPECT_EQ(countPainted("text 'L2'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'L3'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'L1'"), rightKeyStates.count(state))
                << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("frame"), countPainted("text")) << "mode " << mode << " state " << state;
        }
    }

    setState(game::State::PreRaceSelect, game::GameMode::LapRace);
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:5 @575,450", "palette 2:1", "text 'L1' @608,465 a3"}));
    setState(game::State::Race, game::GameMode::Guided);
    pressAt(0, 460);
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:4 @-8,450", "palette 2:1", "text 'L2' @30,465 a3",
                                        "frame 65:4 @-8,450", "palette 2:1", "text 'L3' @30,465 a3"}));
}

TEST_F(OverlayTest, NoKeysMeansNothingPaintedAndNoZonesBuilt) {
    setLabels();
    game::setSoftKeys(-1, -1);
    for (game::State state : {game::State::PreRaceSelect, game::State::Race}) {
        setState(state, game::GameMode::LapRace);
        game::paintOverlay(game::loopStatics().s_graphics);
    }
    EXPECT_TRUE(s_paints.empty());
    EXPECT_EQ(game::touchStatics().s_softKeyZones, nullptr);
}

TEST_F(OverlayTest, ThePauseButtonIsPaintedUntilTheRaceHasFinished) {
    setState(game::State::Race, game::GameMode::LapRace);
    game::setSoftKeys(game::kPauseButtonLabel, -1);
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_TRUE(s_paints.empty()) << "no button before its zone is built";
    game::buildPauseButtonZone();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints, (std::vector<std::string>{"frame 65:8 @567,0"}));
    game::raceStatics().s_raceFinished = 1;
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_TRUE(s_paints.empty());
}

// The way out of a race follows the current event's type; the HUD's
// element bits are cleared on every way.
TEST_F(OverlayTest, LeavingARaceGoesWhereItsTypeLeads) {
    struct Case {
        game::EventType raceType;
        game::State requested, afterLoading;
        std::int32_t loadKind;
    };
    // Back to the menus through the loading state means the menus' load
    // (kind 4): a kind left at 0 would end the load at once.
    using game::EventType;
    using game::State;
    const Case cases[] = {
        {EventType::Laps, State::RaceResults, State{}, 0},
        {EventType::Distance, State::RaceResults, State{}, 0},
        {EventType::StopAndGo, State::RaceResults, State{}, 0},
        {EventType::Points, State::RaceResults, State{}, 0},
        {EventType::Collection, State::RaceEndMenu, State{}, 0},
        {EventType::Score, State::RaceEndMenu, State{}, 0},
        {EventType::Guided, State::Loading, State::MainMenu, 4},
        {EventType::Section, State::Loading, State::RewardScreen, 4},
        {EventType::None, State::Loading, State::RewardScreen, 4},
    };
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raceType);
        game::initStateMachine();
        for (State state : {State::Loading, State::RaceEndMenu, State::TrackFlyover, State::Race})
            game::pushState(state);
        game::stateStatics().s_loadingNextState = State{};
        game::stateStatics().s_loadKind = 0;
        // No type: no event in the current slot.
        slots.s_currentEvent = c.raceType == EventType::None ? game::kEventSlots : 0;
        game::setSlotEventType(0, c.raceType);
        game::hudStatics().s_hudElements = 0x7F;
        game::leaveRace();
        EXPECT_EQ(game::hudStatics().s_hudElements, 0);
        EXPECT_EQ(game::stateStatics().s_nextState, c.requested);
        EXPECT_EQ(game::stateStatics().s_loadingNextState, c.afterLoading);
        EXPECT_EQ(game::stateStatics().s_loadKind, c.loadKind);
    }
}

// A loaded sprite gives up its module data (its frames go with it); a slot
// holding anything else is emptied all the same.
TEST_F(OverlayTest, UnloadingASpriteFreesItsImagesAndEmptiesTheSlot) {
    auto* sprite = static_cast<game::ASprite*>(game::spriteAt(65));
    ASSERT_EQ(sprite->getFrameCount(), framework_testing::kStandInFrames);
    game::unloadSprite(65);
    EXPECT_EQ(sprite->getFrameCount(), 0);
    EXPECT_EQ(game::spriteAt(65), nullptr);
    EXPECT_EQ(game::spriteFrameWidth(65, 4), 0) << "an empty slot has frames of size 0";
    game::unloadSprite(65);
    game::unloadSprite(-1);
    rt::Array::setRef(game::startupStatics().s_sprites, 64, rt::newIntArray(1));
    game::unloadSprite(64);
    EXPECT_EQ(game::spriteAt(64), nullptr) << "not a sprite, dropped all the same";
    EXPECT_FALSE(log.contains("NullPointer"));
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
