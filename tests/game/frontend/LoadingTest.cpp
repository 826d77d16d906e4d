// The loading state on the demo set: the menus' load runs one step a frame
// with the bar below its end until the last step, loads every sprite it
// marks without a warning, leaves the menus' palettes and caches as the
// menus paint them and hands over to the title; the race kinds run the race
// loader step by step, before the menus when both are asked for; a step
// that fails is not run again.

#include "game/frontend/Loading.h"
#include "game/framework/Keys.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/promo/PromoStatics.h"
#include "game/race/RaceState.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceStart.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/PaintedSprite.h"

#include <algorithm>
#include <utility>

namespace {

using game::State;

using framework_testing::StartedGame;

// Stands in for the splash: its first update asks for the load, of a race
// kind with the demo set's first race in the event slot, as the race menus
// leave it.
std::int32_t s_kind = game::kLoadMenus;
State s_next = State::Title;
void splashThenLoad(std::int32_t message) {
    if (message != game::kUpdate || game::stateStatics().s_stateFrames != 0)
        return;
    if (s_kind & (game::kLoadRace | game::kLoadNextRace)) {
        frontend_testing::startRaceLoad(0, game::GameMode::LapRace);
        game::setLoadingTarget(s_kind, s_next);
    } else {
        game::startLoading(s_kind, s_next);
    }
}
void stayInTitle(std::int32_t) {
}

game::ASprite* sprite(std::int32_t slot) {
    return static_cast<game::ASprite*>(rt::ObjectArray::get(game::startupStatics().s_sprites, slot));
}

std::uint32_t at(std::int32_t x, std::int32_t y) {
    std::vector<std::int32_t> buffer = framework_testing::pixels(game::loopStatics().s_screenBuffer);
    return static_cast<std::uint32_t>(buffer[static_cast<std::size_t>(y * 640 + x)]) & 0xF8FCF8u;
}

// The log tells of states and loads only: no warning.
void expectNoWarning(const testing_support::LogCapture& log) {
    for (const std::string& line : log.lines()) {
        const bool news = line.starts_with("state ") || line.starts_with("text pack /texts.pak: entry ") ||
                          line.starts_with("sounds ") || line.starts_with("sound: ") ||
                          line == "all sounds loaded" || line.starts_with("fixed-point tables");
        EXPECT_TRUE(news) << line;
    }
}

// No load was abandoned.
void expectNoAbandonedLoad(const testing_support::LogCapture& log) {
    for (const std::string& line : log.lines())
        EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
}

struct LoadingTest : ::testing::Test {
    LoadingTest() {
        s_kind = game::kLoadMenus;
        s_next = State::Title;
        framework_testing::s_register = [] {
            game::setStateHandler(game::State::Splash, splashThenLoad);
            game::setStateHandler(State::Title, stayInTitle);
        };
    }

    // Frames until the loading state is left (or `limit` frames); answers
    // the bar's value after each update of state 4.
    static std::vector<std::int32_t> runLoad(StartedGame& game, int limit = 400) {
        std::vector<std::int32_t> bar;
        for (int f = 0; f < limit; ++f) {
            const bool loading = game::stateStatics().s_state == game::State::Loading;
            EXPECT_TRUE(game.frame());
            if (loading)
                bar.push_back(game::loadingStatics().s_loadingProgress);
            if (loading && game::stateStatics().s_state != game::State::Loading)
                break;
        }
        return bar;
    }
};

TEST_F(LoadingTest, MenusLoadOneStepAFrameWithoutAWarningAndHandOverToTheTitle) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    game.log.clear();
    std::vector<std::int32_t> bar = runLoad(game);
    EXPECT_EQ(game::stateStatics().s_state, State::Title);
    // 22 steps, and the two walking steps once per marked slot (the
    // splash's slot 1, 2, 3, 5, 8 to 11, 14, 25, 26, 30, 62, 63 less 5, and
    // the ten racer sets) and once more to finish.
    const std::size_t marked = 13 + 10;
    ASSERT_EQ(bar.size(), 22 + 2 * (marked + 1));
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_LT(bar[bar.size() - 2], 182);
    EXPECT_EQ(bar.back(), 182);
    expectNoWarning(game.log);

    // Loaded and kept: the menus' sprites; the racers' first sets are
    // dropped again, the last second set stays.
    for (std::int32_t slot : {1, 2, 3, 5, 8, 9, 10, 11, 14, 25, 26, 30, 62, 63, 52})
        EXPECT_NE(sprite(slot), nullptr) << slot;
    for (std::int32_t slot = 43; slot <= 51; ++slot)
        EXPECT_EQ(sprite(slot), nullptr) << slot;
    // Palette 1 turns grey; a car's other palettes (its four looks) stay.
    for (auto [slot, palettes] : {std::pair{10, 2}, std::pair{11, 2}, std::pair{52, 4}}) {
        ASSERT_EQ(sprite(slot)->m_paletteCount, palettes) << slot;
        const std::int32_t colour = rt::IntArray::get(sprite(slot)->getPalette(1), 1);
        EXPECT_EQ(colour & 0xFF, (colour >> 8) & 0xFF) << slot << " palette 1 is grey";
    }
    // The button keeps only images; the background keeps frame 0's images.
    EXPECT_EQ(sprite(8)->m_moduleData, nullptr);
    EXPECT_NE(sprite(8)->getModuleImage(0, 0), nullptr);
    EXPECT_EQ(sprite(5)->m_moduleData, nullptr);
    // So the menu background still draws both frames: the rev counter of
    // frame 0 from its images (its hub unlike the backdrop beside it), the
    // bottom band of frame 1 as a rectangle.
    auto* image = platform::javax_microedition_lcdui_Image::createImage(640, 480);
    game::paintFrame(sprite(5), image->getGraphics(), 0, 0, 0, 0, 0, 0);
    game::paintFrame(sprite(5), image->getGraphics(), 1, 0, 0, 0, 0, 0);
    std::vector<std::int32_t> background = framework_testing::pixels(image);
    EXPECT_NE(background[332 * 640 + 516], background[332 * 640 + 200]);
    EXPECT_EQ(static_cast<std::uint32_t>(background[470 * 640 + 10]) & 0xF8FCF8u, 0x0E1E3Au & 0xF8FCF8u);
    for (std::int32_t f = 0; f < 3; ++f)
        EXPECT_NE(rt::ObjectArray::get(game::startupStatics().s_fonts, f), nullptr) << f;
    EXPECT_NE(rt::ObjectArray::get(game::startupStatics().s_interfaceImages, 5), nullptr);
    EXPECT_EQ(game::getGameKey(50), 8);
    EXPECT_EQ(game::stateStatics().s_loadKind, 0);
    // The promotion's page table is built by the load, before any menu asks.
    EXPECT_GE(game::promoStatics().s_availablePageCount, 0);
}

TEST_F(LoadingTest, TheWholeGameOnItsThreadLoadsTheMenusAndReachesTheTitle) {
    testing_support::TemporaryFolder folder("vorlax-loading");
    framework_testing::writeDemoSet(folder.path());
    testing_support::LogCapture log;
    const int status =
        framework_testing::runWholeGame(folder.path(), "0 activate\n0 focus-gained\n5000 quit\n");
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(log.contains("state 2 -> 4"));
    EXPECT_TRUE(log.contains("state 4 -> 5"));
}

// The demo set without the menu item sprite (entry 9 of the sprite pack).
void dropMenuItemSprite(mkdata::ProgramFolder& demo) {
    std::vector<std::optional<datakit::PaintedSprite>> sprites = mkdata::demoSprites();
    sprites[9].reset();
    for (datakit::ArchiveEntry& entry : demo.archive)
        if (entry.name == mkdata::kSpritePackFile)
            entry = datakit::packArchiveEntries(mkdata::kSpritePackFile, u".",
                                                datakit::writePack(datakit::spritePackEntries(sprites)))[0];
}

// The main menu asks for the menus' load on its first update.
bool s_menuLoaded = false;
void mainMenuThenLoad(std::int32_t message) {
    if (message == game::kUpdate && !s_menuLoaded) {
        s_menuLoaded = true;
        game::startLoading(game::kLoadMenus, game::State::MainMenu);
    }
}

TEST_F(LoadingTest, AMissingSpriteEndsTheStartUpAsABrokenDataSetButNotALaterLoad) {
    testing_support::TemporaryFolder folder("vorlax-missing-sprite");
    framework_testing::s_editDemoSet = dropMenuItemSprite;
    framework_testing::writeDemoSet(folder.path());
    testing_support::LogCapture log;
    EXPECT_EQ(framework_testing::runWholeGame(folder.path(), "0 activate\n0 focus-gained\n5000 quit\n"), 3);
    EXPECT_TRUE(log.contains("/sprites.pak entry 9: the sprite cannot be loaded"));
    EXPECT_FALSE(log.contains("state 4 -> 5"));

    // From the main menu the load goes on without it and returns there.
    s_menuLoaded = false;
    framework_testing::s_editDemoSet = dropMenuItemSprite;
    framework_testing::s_register = [] {
        game::setStateHandler(game::State::Splash, [](std::int32_t message) {
            if (message == game::kUpdate)
                game::pushState(game::State::MainMenu);
        });
        game::setStateHandler(game::State::MainMenu, mainMenuThenLoad);
    };
    StartedGame game;
    ASSERT_TRUE(game.started);
    for (int f = 0; f < 100 && game::loadingStatics().s_loadingProgress < 182; ++f)
        ASSERT_TRUE(game.frame());
    game.frame();
    EXPECT_EQ(game::stateStatics().s_state, game::State::MainMenu);
    EXPECT_TRUE(game.log.contains("/sprites.pak entry 9: the sprite cannot be loaded"));
    EXPECT_EQ(sprite(9), nullptr);
}

TEST_F(LoadingTest, TheBarFillsFromTheLeftAndNeverPastItsFrame) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    // Bar: 400 x 22 at (120, 240), a 2 px frame.
    const std::uint32_t fill = 0xFFB020u & 0xF8FCF8u, track = 0x1C2438u & 0xF8FCF8u;
    const std::uint32_t frame = 0xB0B8C8u & 0xF8FCF8u;
    for (int f = 0; f < 30; ++f)
        game.frame();
    ASSERT_EQ(game::stateStatics().s_state, game::State::Loading);
    EXPECT_EQ(at(123, 250), fill);
    EXPECT_EQ(at(516, 250), track);
    EXPECT_EQ(at(519, 250), frame);
    // Whatever the value says, the bar stops at its frame.
    game::loadingStatics().s_loadingProgress = 100000;
    game.frame();
    EXPECT_EQ(at(516, 250), fill);
    EXPECT_EQ(at(519, 250), frame);
}

using LoadingBarTest = framework_testing::FrameworkTest;

// The bar follows the kind that runs first: 2, then 8, then 4.
TEST_F(LoadingBarTest, SizeByStyleBitsInTheirOrder) {
    struct Case {
        std::int32_t style, height, width;
    };
    for (const Case& c : {Case{6, 40, 231}, Case{2, 40, 231}, Case{4, 24, 182}, Case{12, 40, 231},
                          Case{8, 40, 231}, Case{1, 0, 0}, Case{0, 0, 0}}) {
        game::LoadingStatics& loading = game::loadingStatics();
        loading.s_loadingProgress = 9;
        loading.s_loadingStep = 3;
        loading.s_loadingDone = 1;
        game::initLoadingBar(c.style);
        EXPECT_EQ(loading.s_loadingBarHeight, c.height) << c.style;
        EXPECT_EQ(loading.s_loadingBarWidth, c.width) << c.style;
        EXPECT_EQ(loading.s_loadingProgress, 0);
        EXPECT_EQ(loading.s_loadingStep, 0);
        EXPECT_EQ(loading.s_loadingDone, 0);
    }
}

// Which kind ran in each frame of a load: 'r' a race step, 'm' a menu step.
std::string s_stepKinds;

void recordStepKinds(std::int32_t message) {
    const game::LoadingStatics& loading = game::loadingStatics();
    const std::int32_t kinds = game::kLoadRace | game::kLoadNextRace | game::kLoadMenus;
    const bool step =
        message == game::kUpdate && !loading.s_loadingDone && (loading.s_loadingStyle & kinds) != 0;
    game::stateLoading(message);
    if (step)
        s_stepKinds += game::loadingStatics().s_raceStepRan ? 'r' : 'm';
}

// A race kind runs the race loader's forty steps on the demo set's first
// event, leaving the race loaded; so does the next race over a race that
// ran. Nothing asked ends at once.
TEST_F(LoadingTest, RaceKindsRunTheRaceLoadersStepsAndNoKindEndsAtOnce) {
    struct Case {
        std::int32_t kind;
        bool race;
    } cases[] = {{game::kLoadRace, true}, {game::kLoadNextRace, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        s_kind = c.kind;
        s_next = State::MainMenu;
        s_stepKinds.clear();
        framework_testing::s_register = [] {
            game::setStateHandler(State::Splash, splashThenLoad);
            game::setStateHandler(State::MainMenu, stayInTitle);
            game::setStateHandler(State::Loading, recordStepKinds);
        };
        StartedGame game;
        ASSERT_TRUE(game.started);
        if (c.kind == game::kLoadNextRace) {
            // The next race follows a race that was loaded.
            s_kind = game::kLoadRace;
            runLoad(game);
            s_stepKinds.clear();
            game::startLoading(game::kLoadNextRace, State::MainMenu);
        }
        std::vector<std::int32_t> bar = runLoad(game);
        EXPECT_EQ(game::stateStatics().s_state, State::MainMenu);
        expectNoAbandonedLoad(game.log);
        if (!c.race) {
            EXPECT_EQ(bar.size(), 1u);
            EXPECT_EQ(s_stepKinds, "");
            continue;
        }
        // The demo set marks no object of the second sprite table: the
        // walking step takes one frame like every other.
        EXPECT_EQ(bar.size(), static_cast<std::size_t>(game::kRaceLoadSteps));
        EXPECT_EQ(s_stepKinds, std::string(bar.size(), 'r'));
        EXPECT_EQ(bar.back(), 231);
        EXPECT_NE(game::raceStatics().s_racers, nullptr);
    }
}

// With the next race and the menus flagged, the next race loads first and
// once, then the menus.
TEST_F(LoadingTest, FlaggedNextRaceAndMenusLoadTheNextRaceOnceThenTheMenus) {
    s_kind = game::kLoadRace;
    s_next = State::MainMenu;
    framework_testing::s_register = [] {
        game::setStateHandler(State::Splash, splashThenLoad);
        game::setStateHandler(State::MainMenu, stayInTitle);
        game::setStateHandler(State::Loading, recordStepKinds);
    };
    StartedGame game;
    ASSERT_TRUE(game.started);
    runLoad(game);
    const std::size_t raceFrames = s_stepKinds.size();
    s_stepKinds.clear();
    EXPECT_NE(game::getGameKey(50), 8) << "the menus' load maps the digits";
    game::startLoading(game::kLoadNextRace | game::kLoadMenus, State::MainMenu);
    runLoad(game);
    EXPECT_EQ(game::stateStatics().s_state, State::MainMenu);
    const std::size_t races = s_stepKinds.find_first_not_of('r');
    EXPECT_EQ(races, raceFrames);
    EXPECT_EQ(s_stepKinds.find('r', races), std::string::npos) << s_stepKinds;
    EXPECT_GE(s_stepKinds.size() - races, static_cast<std::size_t>(game::kMenuLoadSteps));
    EXPECT_EQ(game::getGameKey(50), 8);
    EXPECT_NE(rt::ObjectArray::get(game::startupStatics().s_fonts, 2), nullptr);
    expectNoAbandonedLoad(game.log);
}

// A step that leaves an exception pending would leave it every time: the
// load is abandoned with one line instead of running the step again. The
// menus' load then ends the run as a broken data set (a race load gives
// way to the menus' load instead, as a missing resource does).
TEST_F(LoadingTest, AStepLeavingAnExceptionPendingAbandonsTheLoadOnce) {
    s_kind = game::kLoadMenus;
    s_next = State::MainMenu;
    framework_testing::s_register = [] {
        game::setStateHandler(State::Splash, splashThenLoad);
        game::setStateHandler(State::MainMenu, stayInTitle);
        // Step 23 sets the promotion screen up.
        game::seams().promotion.setup = [] {
            (void)rt::raise(rt::ClassId::java_lang_RuntimeException, "promotion");
        };
    };
    StartedGame game;
    ASSERT_TRUE(game.started);
    for (int f = 0; f < 200 && game::stateStatics().s_state != State::Quit; ++f)
        game.frame();
    EXPECT_EQ(game::stateStatics().s_state, game::State::Quit);
    EXPECT_EQ(game.impl().runVerdict().message(),
              "the data set is broken: loading step 23: left an exception pending");
    EXPECT_EQ(
        std::ranges::count(
            game.log.lines(),
            std::string("load of kind 4 abandoned at step 23: loading step 23 left an exception pending")),
        1);
    game::registerGame();
}

} // namespace
