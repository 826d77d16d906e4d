// The championship's tables, the cup selection's choice and the next
// race's set-up from the cup, and the reward screen's bits in the saved
// record and its way back.

#include "game/frontend/Championship.h"
#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/StaticInit.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "tests/game/data/SavedProgressFixture.h"
#include "tests/game/data/SoundRequestLog.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

#include <string>
#include <vector>

namespace {

using framework_testing::recordMessage;

constexpr std::int32_t kFireKey = 11;

TEST(ChampionshipTables, TheCupsAndRewardsAreTheGamesData) {
    const std::vector<std::vector<std::int32_t>> cups = {{0, 3, 5}, {1, 2, 4}, {0, 1, 2}, {3, 4, 5}};
    for (std::int32_t cup = 0; cup < game::kCupCount; ++cup)
        for (std::int32_t race = 0; race < game::kCupRaces; ++race)
            EXPECT_EQ(game::kCupRaceRows[cup][race],
                      cups[static_cast<std::size_t>(cup)][static_cast<std::size_t>(race)]);
    // {grid row, tier, sound, text} by final standing; the last row for any
    // standing past the table.
    const std::vector<std::vector<std::int32_t>> rewards = {
        {0, 0, 6, 0}, {1, 1, 6, 1}, {2, 2, 6, 2}, {-1, -1, 7, 3}};
    for (std::size_t i = 0; i < rewards.size(); ++i) {
        const game::CupReward& r = game::kCupRewards[i];
        EXPECT_EQ((std::vector<std::int32_t>{r.gridRow, r.tier, r.sound, r.text}), rewards[i]) << i;
    }
}

struct CupSelectTest : frontend_testing::FrontEndTest {
    CupSelectTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 0;
        game::initProgressStatics();
        game::raceResultsStaticInit();
        game::registerChampionshipScreens();
        game::setStateHandler(game::State::Loading, recordMessage<game::State::Loading>);
        game::initEventSlots();
        game::raceResultsStatics().s_championship = 1;
        game::frontEndStatics().s_lastMenuState = game::State::RaceMenu;
    }
};

TEST_F(CupSelectTest, AnAvailableCupLoadsItsFirstRaceAndTheNextRacesFollowTheCup) {
    // Grid A's default opens cup 0 only; cup 0 is new.
    game::resetUnlocks();
    game::setGridFlagB(0, 0);
    game::raceResultsStatics().s_cupRace = 2;
    game::rememberSelection(game::State::CupSelect, 1);
    open(game::State::CupSelect);
    frame(kFireKey);
    EXPECT_EQ(state(), game::State::CupSelect) << "cup 1 is locked";
    EXPECT_EQ(game::touchStatics().s_leftSoftKey, -1);

    rt::ShortArray::set(game::touchStatics().s_menuItems, 0, 0);
    frame(kFireKey);
    EXPECT_EQ(state(), game::State::Loading);
    EXPECT_EQ(game::stateStatics().s_loadKind, 2);
    EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::TrackFlyover);
    EXPECT_EQ(game::championshipStatics().s_cup, 0);
    EXPECT_EQ(game::championshipStatics().s_rewardReturnState, game::State::RaceMenu);
    EXPECT_FALSE(game::hasGridFlagB(0, 0)) << "no longer new";
    EXPECT_EQ(game::raceResultsStatics().s_cupRace, 0) << "the points start again";
    const game::EventSlotStatics& slots = game::eventSlotStatics();
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventRaceRow, slots.s_currentEvent), game::kCupRaceRows[0][0]);

    // The next race's load sets up the race the results moved to.
    for (std::int32_t race = 1; race < game::kCupRaces; ++race) {
        ASSERT_TRUE(game::setupCupRace(race));
        EXPECT_EQ(rt::ByteArray::get(slots.s_eventRaceRow, slots.s_currentEvent),
                  game::kCupRaceRows[0][race]);
    }
    EXPECT_FALSE(game::setupCupRace(game::kCupRaces));
    EXPECT_FALSE(game::setupCupRace(-1));
}

struct RewardScreenTest : progress_testing::SavedProgressTest {
    RewardScreenTest() {
        game::registerGame();
        startRun();
        game::registerChampionshipScreens();
        game::setStateHandler(game::State::RaceMenu, recordMessage<game::State::RaceMenu>);
    }

    // A new run: every static made again as the start-up makes it.
    void startRun() {
        restart();
        game::OrvelLibConfig::staticInit();
        game::makeKeyStateArrays();
        game::initKeyTables();
        game::initStateMachine();
        game::raceResultsStaticInit();
        data_testing::installSilentSoundEngine();
        game::setSoundOption(true);
        log.clear();
    }

    testing_support::LogCapture log;

    static void step() {
        game::StateStatics& states = game::stateStatics();
        if (states.s_stateEntered) {
            states.s_stateEntered = 0;
            game::sendStateMessage(game::kEnter);
        }
        game::sendStateMessage(game::kUpdate);
        game::applyStateChange();
    }
};

TEST_F(RewardScreenTest, TheStandingsRewardIsSavedAndLeavingEndsTheChampionship) {
    struct Case {
        std::int32_t standing;
        std::int32_t gridRow, tier, sound;
    } cases[] = {{0, 0, 0, 6}, {1, 1, 1, 6}, {2, 2, 2, 6}, {4, -1, -1, 7}};
    constexpr std::int32_t kCup = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.standing);
        startRun();
        game::championshipStatics().s_cup = kCup;
        game::championshipStatics().s_rewardReturnState = game::ChampionshipStatics{}.s_rewardReturnState;
        game::raceResultsStatics().s_cupPlayerStanding = c.standing;
        game::raceResultsStatics().s_championship = 1;
        game::pushState(game::State::RaceMenu);
        game::applyStateChange();
        game::pushState(game::State::RewardScreen);
        game::applyStateChange();
        step();
        EXPECT_EQ(data_testing::requestedSounds(log), std::vector<std::int32_t>{c.sound});
        EXPECT_EQ(game::stateStatics().s_state, game::State::RewardScreen) << "waits for the player";

        // A release of the fire key leaves for the race menu, the state the
        // caller did not name otherwise.
        rt::ByteArray::set(game::keyStatics().s_keyState, kFireKey, -2);
        step();
        EXPECT_EQ(game::stateStatics().s_state, game::State::RaceMenu);
        EXPECT_EQ(game::raceResultsStatics().s_championship, 0);

        // What the record holds after a restart.
        restart();
        EXPECT_EQ(game::loadRecordC(), 1);
        for (std::int32_t row = 0; row < 3; ++row)
            EXPECT_EQ(game::hasReward(kCup, row), row == c.gridRow) << row;
        const std::int32_t triplets = rt::IntArray::get(game::progressStatics().s_tripletFlags, kCup);
        for (std::int32_t tier = 0; tier < 3; ++tier)
            EXPECT_EQ(((triplets >> (3 * tier)) & 1) != 0, tier == c.tier) << tier;
    }
}

} // namespace
