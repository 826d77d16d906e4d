// The race phase on a settable device clock: the interval of each phase
// acts only once strictly more than it has passed (the last phase then
// every step), a leading player pushes the car behind, an unchanged place
// in the second phase holds the car ahead, and a short progress stays at
// the start phase.

#include "game/race/RacePhase.h"
#include "tests/game/race/OpponentsFixture.h"

namespace {

using race_testing::deviceClock;
using race_testing::OpponentsTest;

struct RacePhaseTest : OpponentsTest {
    RacePhaseTest() {
        ring(40, 3);
        game::resetRacePhase();
    }
};

// The player last, 10 segments behind the car ahead, at `segment` of lap
// `lap`: every decision that acts holds that car (mode 2).
TEST_F(RacePhaseTest, EachPhaseActsOnlyAfterStrictlyMoreThanItsInterval) {
    struct Case {
        std::int32_t lap, segment, phase, interval;
    };
    for (const Case c : {Case{1, 22, 1, 3500}, Case{2, 22, 2, 2500}, Case{3, 22, 3, 1500}}) {
        SCOPED_TRACE(c.phase);
        game::resetRacePhase();
        auto cars = field({{c.lap, c.segment + 10}, {c.lap, c.segment}}, 1);
        deviceClock().setTick(1000);
        game::updateRacePhase();
        EXPECT_EQ(game::racePhaseStatics().s_racePhase, c.phase);
        cars[0]->m_aiMode = game::kAiModeRacePace;
        deviceClock().setTick(1000 + c.interval);
        game::updateRacePhase();
        EXPECT_EQ(cars[0]->m_aiMode, game::kAiModeRacePace) << "exactly the interval does not act";
        deviceClock().advance(1);
        game::updateRacePhase();
        EXPECT_EQ(cars[0]->m_aiMode, game::kAiModeHeld);
        // The next step at the same time acts again only in the last phase.
        cars[0]->m_aiMode = game::kAiModeRacePace;
        game::updateRacePhase();
        EXPECT_EQ(cars[0]->m_aiMode, c.phase == 3 ? game::kAiModeHeld : game::kAiModeRacePace);
    }
}

TEST_F(RacePhaseTest, ALeaderInTheFirstThirdPushesTheCarBehindItsPlaceUnchanged) {
    // The car just behind is too close (8191 back); the next one is pushed.
    auto cars = field({{1, 25, 512}, {1, 17, 513}, {1, 15}}, 0);
    game::updateRacePhase();
    deviceClock().setTick(3501);
    game::updateRacePhase();
    EXPECT_EQ(cars[1]->m_aiMode, game::kAiModeRacePace);
    EXPECT_EQ(cars[2]->m_aiMode, game::kAiModePushed);
}

TEST_F(RacePhaseTest, AnUnchangedPlaceInTheSecondThirdHoldsTheCarAhead) {
    auto cars = field({{2, 20}, {2, 10}, {2, 5}}, 1);
    game::updateRacePhase();
    EXPECT_EQ(game::racePhaseStatics().s_racePhase, 2);
    deviceClock().setTick(2501);
    game::updateRacePhase();
    EXPECT_EQ(cars[0]->m_aiMode, game::kAiModeHeld);
    EXPECT_NE(cars[2]->m_aiMode, game::kAiModePushed);
}

TEST_F(RacePhaseTest, ProgressBelowTwentyOneSegmentsStaysAtTheStart) {
    auto cars = field({{1, 30}, {1, 20}}, 1);
    for (std::uint32_t t : {0u, 4000u, 8000u}) {
        deviceClock().setTick(t);
        game::updateRacePhase();
        EXPECT_EQ(game::racePhaseStatics().s_racePhase, 0);
        EXPECT_EQ(cars[0]->m_aiMode, game::kAiModeRecovered);
    }
    cars[1]->m_segment = 21;
    game::updateRacePhase();
    EXPECT_EQ(game::racePhaseStatics().s_racePhase, 1);
    EXPECT_EQ(cars[0]->m_aiMode, game::kAiModeRacePace);
}

} // namespace
