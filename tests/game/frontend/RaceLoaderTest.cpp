// The race load on the datakit race set merged over the demo set: the bar,
// what the race finds loaded afterwards (checked against the set's model,
// not against the loader), the hand-over, and a failed step, which is
// logged once and leads back to the main menu through the menus' load and
// the notice the player answers.

#include "game/frontend/RaceLoader.h"
#include "game/data/EventSlots.h"
#include "game/framework/Keys.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/Championship.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RaceScene.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/ZoomCache.h"
#include "runtime/Exceptions.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "runtime/checks.h"
#include "runtime/constantStrings.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceSetFolder.h"
#include "tests/game/frontend/RaceStart.h"
#include "tests/support/DeadFrames.h"
#include "tools/datakit/RaceSet.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace race_loader_test {

namespace {

using framework_testing::StartedGame;

// The race the main menu starts on its first update: track `s_track`'s
// event in game mode `s_mode`.
std::int32_t s_track = 0;
game::GameMode s_mode = game::GameMode::LapRace;
std::vector<game::State> s_states;
// The stack's depth at each entry into the main menu.
std::vector<std::int32_t> s_menuDepths;
void mainMenuStartsARace(std::int32_t message) {
    if (message != game::kUpdate || game::stateStatics().s_stateFrames != 0 ||
        std::count(s_states.begin(), s_states.end(), game::State::MainMenu) > 1)
        return;
    frontend_testing::startRaceLoad(s_track, s_mode);
}
void recordState(std::int32_t message) {
    if (message != game::kEnter)
        return;
    s_states.push_back(game::stateStatics().s_state);
    if (game::stateStatics().s_state == game::State::MainMenu)
        s_menuDepths.push_back(game::stateStatics().s_stateStackDepth);
}

struct RaceLoaderTest : ::testing::Test {
    RaceLoaderTest() {
        s_track = 0;
        s_mode = game::GameMode::LapRace;
        s_states.clear();
        s_menuDepths.clear();
        framework_testing::s_editDemoSet = frontend_testing::useRaceSet;
        framework_testing::s_register = [] {
            game::setStateHandler(game::State::Splash, [](std::int32_t message) {
                if (message == game::kUpdate)
                    game::pushState(game::State::MainMenu);
            });
            game::setStateHandler(game::State::MainMenu, [](std::int32_t message) {
                recordState(message);
                mainMenuStartsARace(message);
            });
            for (game::State state : {game::State::TrackFlyover, game::State::RaceCountdown})
                game::setStateHandler(state, recordState);
        };
    }

    // Frames, from the one that enters the loading state, until the race
    // load is done (at most `limit`); the bar after each frame of the race
    // kind.
    static std::vector<std::int32_t> runRaceLoad(StartedGame& game, int limit = 400) {
        std::vector<std::int32_t> bar;
        // The first frame enters the loading state, which starts the bar.
        int f = 0;
        do {
            EXPECT_TRUE(game.frame());
            if (game::stateStatics().s_state == game::State::Loading &&
                (game::stateStatics().s_loadKind & game::kLoadRace))
                bar.push_back(game::loadingStatics().s_loadingProgress);
        } while (++f < limit && !game::loadingStatics().s_loadingDone);
        return bar;
    }

    // A race load to its end, then the tap that starts the race at the
    // flyover.
    static void loadAndStart(StartedGame& game) {
        runRaceLoad(game);
        EXPECT_TRUE(game::loadingStatics().s_loadingDone);
        game::pointerPressed(10, 10);
        game.frame();
        game::pointerReleased(10, 10);
        game.frame();
        EXPECT_EQ(game::stateStatics().s_state, game::State::TrackFlyover);
    }

    static game::ASprite* sprite(std::int32_t slot) {
        return static_cast<game::ASprite*>(rt::ObjectArray::get(game::startupStatics().s_sprites, slot));
    }
};

bool zoomed(std::int32_t sprite, std::int32_t id, bool anim, bool bank = false) {
    return game::findZoomEntry(game::ZoomCacheKind::Zoomed, sprite, id, anim, bank) != nullptr;
}

TEST_F(RaceLoaderTest, ARaceLoadsBehindTheBarAndLeavesTheRaceAsTheSetDescribesIt) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    const datakit::RaceSet set = datakit::makeRaceSet();
    game.log.clear();
    for (int f = 0; f < 10 && game::stateStatics().s_state != game::State::Loading; ++f)
        game.frame();
    std::vector<std::int32_t> bar = runRaceLoad(game);
    ASSERT_TRUE(game::loadingStatics().s_loadingDone);
    for (const std::string& line : game.log.lines())
        EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
    // 40 steps and one more frame per slot of the second table but the
    // marked ones, whose frames are steps of their own.
    EXPECT_EQ(bar.size(), 40u + datakit::kRaceSetMarkedSlots.size());
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_LT(bar[bar.size() - 2], 231);
    EXPECT_EQ(bar.back(), 231);

    // The event's racers, the player's car last.
    const rt::ObjectArray* racers = game::raceStatics().s_racers;
    ASSERT_NE(racers, nullptr);
    EXPECT_EQ(racers->length(), set.events[0].variants[0].row[16]);
    auto* player = static_cast<game::cEntity*>(rt::ObjectArray::get(racers, racers->length() - 1));
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->m_type, 0);
    EXPECT_EQ(game::raceStatics().s_raceObjects->length(), 10);
    EXPECT_EQ(game::raceStatics().s_raceSetUp, 0);

    // The marked slots of the second table, and only those.
    const rt::ObjectArray* objects = game::zoomStatics().s_altSprites;
    ASSERT_NE(objects, nullptr);
    for (std::int32_t slot = 0; slot < datakit::kRaceSetObjectSlots; ++slot) {
        const bool marked =
            std::ranges::find(datakit::kRaceSetMarkedSlots, slot) != datakit::kRaceSetMarkedSlots.end();
        EXPECT_EQ(rt::ObjectArray::get(objects, slot) != nullptr, marked) << slot;
    }
    EXPECT_TRUE(zoomed(datakit::kRaceSetMarkedSlots[0], 0, true, true));
    // Every frame of the slots marked for frames is composed from the
    // sprite's pixels; then the sprite keeps none.
    for (std::int32_t slot : {datakit::kRaceSetMarkedSlots[1], datakit::kRaceSetMarkedSlots[2]}) {
        auto* object = static_cast<game::ASprite*>(rt::ObjectArray::get(objects, slot));
        ASSERT_NE(object, nullptr) << slot;
        ASSERT_GT(object->getFrameCount(), 1) << slot;
        for (std::int32_t f = 0; f < object->getFrameCount(); ++f)
            EXPECT_TRUE(zoomed(slot, f, false, true)) << slot << "/" << f;
        EXPECT_EQ(object->m_moduleData, nullptr) << slot;
    }
    EXPECT_FALSE(game.log.contains("has no pixels"));

    // The shadow's alpha, and the player's car caches.
    ASSERT_NE(sprite(55), nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(rt::IntArray::get(sprite(55)->getPalette(0), 1)) >> 24, 0xCCu);
    const std::int32_t car = datakit::kRaceSetFirstCar;
    for (std::int32_t f : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 23, 43, 44, 45, 46, 47, 48})
        EXPECT_TRUE(zoomed(car, f, false)) << f;
    for (std::int32_t a : {2, 4, 5})
        EXPECT_TRUE(zoomed(car, a, true)) << a;
    EXPECT_EQ(game::triggerStatics().s_gateKind, 2);
    EXPECT_NE(game::raceSceneStatics().s_hazeImage, nullptr);

    // The prompt waits for the player; the hand-over frees the menus' sprites.
    for (int f = 0; f < 5; ++f)
        game.frame();
    EXPECT_EQ(game::stateStatics().s_state, game::State::Loading);
    ASSERT_NE(sprite(5), nullptr);
    game::pointerPressed(10, 10);
    game.frame();
    game.frame();
    EXPECT_EQ(game::stateStatics().s_state, game::State::TrackFlyover);
    for (std::int32_t slot : {5, 8, 10})
        EXPECT_EQ(sprite(slot), nullptr) << slot;
    EXPECT_EQ(game::raceSceneStatics().s_backdropSprite, datakit::kRaceSetBackdropSprite);
    EXPECT_EQ(game::raceSceneStatics().s_backdropWidth, 96);
}

TEST_F(RaceLoaderTest, AMissingTrackEntryAbandonsTheLoadOnceAndGoesBackToTheMainMenu) {
    s_track = 1; // the set has no track 1
    StartedGame game;
    ASSERT_TRUE(game.started);
    // Once the menus are in again, the notice waits for the player.
    const game::LoadingStatics& loading = game::loadingStatics();
    for (int f = 0; f < 400 && !(loading.s_raceLoadFailed && loading.s_loadingDone); ++f)
        ASSERT_TRUE(game.frame());
    for (int f = 0; f < 5; ++f)
        ASSERT_TRUE(game.frame());
    EXPECT_EQ(game::stateStatics().s_state, game::State::Loading);
    EXPECT_EQ(loading.s_raceLoadFailed, 1);
    game::pointerPressed(10, 10);
    for (int f = 0; f < 10 && std::count(s_states.begin(), s_states.end(), game::State::MainMenu) < 2; ++f)
        ASSERT_TRUE(game.frame());
    game::pointerReleased(10, 10);
    EXPECT_EQ(game::stateStatics().s_state, game::State::MainMenu);
    const std::vector<std::string> lines = game.log.lines();
    EXPECT_EQ(std::ranges::count_if(lines,
                                    [](const std::string& line) {
                                        return line.starts_with(
                                            "load of kind 2 abandoned at step 6: /tracks.pak entry 1");
                                    }),
              1);
    EXPECT_EQ(std::ranges::count(s_states, game::State::TrackFlyover) +
                  std::ranges::count(s_states, game::State::RaceCountdown),
              0);
    ASSERT_EQ(s_menuDepths.size(), 2u);
    EXPECT_EQ(s_menuDepths[1], s_menuDepths[0]);
}

// A sprite that loads yet lacks what the race draws from it abandons the
// load, naming its entry and what it lacks: a car without its frames, the
// track effects without an animation a gate plays. Each case puts another
// entry's bytes in place of one the race needs.
struct Shortfall {
    int pack;
    std::size_t entry, from;
    const char* line;
};
constexpr Shortfall kShortfalls[] = {
    {rt::constants::kSpritePack, datakit::kRaceSetFirstCar, 26,
     ": /sprites.pak entry 43 22 frames; a car draws 49"},
    {rt::constants::kSpritePack, game::kTrackEffectSprite, 26,
     ": /sprites.pak entry 25 animation 13 has no frame; the race plays it"},
};
std::size_t s_shortfall = 0;

// Runs the race load over the race set with case `s_shortfall` in place.
void expectShortfallAbandonsTheLoad() {
    framework_testing::s_editDemoSet = [](mkdata::ProgramFolder& demo) {
        const Shortfall& c = kShortfalls[s_shortfall];
        for (frontend_testing::RaceSetPackFile pack : frontend_testing::raceSetPackFiles()) {
            if (pack.constantString == c.pack)
                pack.entries[c.entry] = pack.entries[c.from];
            frontend_testing::putPack(demo, pack);
        }
    };
    StartedGame game;
    ASSERT_TRUE(game.started);
    for (int f = 0; f < 400 && !game::loadingStatics().s_raceLoadFailed && game.frame(); ++f) {
    }
    const std::vector<std::string> lines = game.log.lines();
    std::vector<std::string> abandoned;
    std::ranges::copy_if(lines, std::back_inserter(abandoned), [](const std::string& line) {
        return line.find(" abandoned ") != std::string::npos;
    });
    ASSERT_EQ(abandoned.size(), 1u) << kShortfalls[s_shortfall].line;
    EXPECT_TRUE(abandoned[0].starts_with("load of kind 2 abandoned at step ")) << abandoned[0];
    EXPECT_TRUE(abandoned[0].ends_with(kShortfalls[s_shortfall].line)) << abandoned[0];
    EXPECT_EQ(game::loadingStatics().s_raceLoadFailed, 1) << abandoned[0];
    EXPECT_EQ(rt::runtimeReports().count, 0u) << rt::runtimeReports().first;
}

TEST_F(RaceLoaderTest, ACarLackingItsFramesAbandonsTheLoadNamingIt) {
    s_shortfall = 0;
    expectShortfallAbandonsTheLoad();
}

TEST_F(RaceLoaderTest, TrackEffectsLackingAGateAnimationAbandonTheLoadNamingThem) {
    s_shortfall = 1;
    expectShortfallAbandonsTheLoad();
}

TEST_F(RaceLoaderTest, SetupTrackObjectsGivesEachTrackItsGate) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    const std::int32_t kinds[] = {2, 5, 4, 3, 6, 13, -1};
    for (std::int32_t track = 0; track <= 6; ++track) {
        game::trackStatics().s_roadHalfWidth = 700;
        game::setupTrackObjects(track);
        EXPECT_EQ(game::triggerStatics().s_gateKind, kinds[track]) << track;
        EXPECT_EQ(game::triggerStatics().s_movingObjectX, -700);
        EXPECT_EQ(game::triggerStatics().s_movingObjectX2, 700);
        EXPECT_EQ(game::triggerStatics().s_movingObjectPlayer != nullptr, track < 6) << track;
    }
}

// The loader chooses the race's music by its row's theme, and it is the
// music the race state plays (the race state read a value nothing wrote).
TEST_F(RaceLoaderTest, EachRowsThemeChoosesTheMusicTheRacePlays) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    const std::int32_t music[] = {0, 1, 2, 3, 2, 3};
    for (std::int32_t row = 5; row >= 0; --row) {
        rt::ByteArray::set(slots.s_eventRaceRow, slots.s_currentEvent, static_cast<std::int8_t>(row));
        game::selectRaceMusic();
        EXPECT_EQ(game::raceStateStatics().s_raceMusic, music[row]) << "row " << row;
    }
}

// The next race over a finished one, ten times: what each load leaves alive
// stays what the first left, so nothing of an earlier race is kept.
TEST_F(RaceLoaderTest, NextRacesLeaveAsManyObjectsAliveAsTheFirst) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    auto loadAndStart = [&game] {
        RaceLoaderTest::loadAndStart(game);
        testing_support::clearDeadFrames();
        rt::Runtime& runtime = rt::Runtime::current();
        runtime.objectManager().gc(rt::ObjectManager::kImmediate);
        return static_cast<double>(runtime.objectManager().objectCount());
    };
    for (int f = 0; f < 10 && game::stateStatics().s_state != game::State::Loading; ++f)
        game.frame();
    loadAndStart();
    double first = 0;
    for (int race = 0; race < 10; ++race) {
        game::startLoading(game::kLoadNextRace, game::State::TrackFlyover);
        game.frame();
        const double live = loadAndStart();
        if (race == 0)
            first = live;
        EXPECT_NEAR(live, first, first / 100) << "race " << race;
    }
    for (const std::string& line : game.log.lines())
        EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
}

// In a championship the next race's load sets up the cup's race that the
// results moved to: cup 0 runs the set's tracks 0, 3 and 5.
TEST_F(RaceLoaderTest, AChampionshipsNextRaceLoadsTheCupsRaceTheResultsMovedTo) {
    StartedGame game;
    ASSERT_TRUE(game.started);
    for (int f = 0; f < 10 && game::stateStatics().s_state != game::State::Loading; ++f)
        game.frame();
    loadAndStart(game);
    game::raceResultsStatics().s_championship = 1;
    game::championshipStatics().s_cup = 0;
    for (std::int32_t race = 1; race < game::kCupRaces; ++race) {
        game::raceResultsStatics().s_cupRace = race;
        game::startLoading(game::kLoadNextRace, game::State::TrackFlyover);
        game.frame();
        loadAndStart(game);
        const game::EventSlotStatics& slots = game::eventSlotStatics();
        EXPECT_EQ(rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent), game::kCupRaceRows[0][race]);
        EXPECT_EQ(game::triggerStatics().s_gateKind, race == 1 ? 3 : 13) << "the gate of tracks 3 and 5";
    }
    for (const std::string& line : game.log.lines())
        EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
}

} // namespace

} // namespace race_loader_test
