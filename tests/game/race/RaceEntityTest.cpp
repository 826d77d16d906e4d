// One step of a race entity: the contact rules between a computer car, the
// player and the car ahead (contacts injected through the race steps), the
// guided race's short step, the top-speed lag, the track section search and
// the timing points with the player's splits.

#include "game/race/RaceEntity.h"
#include "game/framework/States.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

#include <climits>
#include <string>

namespace {

// What the injected steps saw: racers by letter, A B P for indexes 0 1 2.
struct StepLog {
    bool touchPlayer = false;
    bool touchAhead = false;
    std::string knocked;
    std::string charged;
    int aiSteps = 0;
    int triggerSteps = 0;
};
StepLog g_log;

char letter(const game::cEntity* car) {
    return "ABP"[car->m_racerIndex];
}

struct RaceEntityTest : race_testing::RaceDataTest {
    RaceEntityTest() {
        g_log = {};
        game::RaceSteps& steps = game::raceSteps();
        steps.contactTest = [](game::cEntity*, game::cEntity* b) {
            return b->m_type == 0 ? g_log.touchPlayer : g_log.touchAhead;
        };
        steps.impact = [](game::cEntity* car, std::int32_t bits, std::int32_t speed) {
            EXPECT_EQ(bits, game::kImpactKnock);
            EXPECT_EQ(speed, car->m_speed);
            g_log.knocked += letter(car);
        };
        steps.useItemCharge = [](game::cEntity* car) { g_log.charged += letter(car); };
        steps.updateAiCar = [](game::cEntity*, std::int32_t) { ++g_log.aiSteps; };
        steps.processTrackTriggers = [](game::cEntity*) { ++g_log.triggerSteps; };

        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == 2 ? 0 : 1);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_speed = 1000 * (i + 1);
            rt::ObjectArray::set(race.s_racers, i, car);
        }
        game::racerStatics().s_playerCar = car('P');
    }
    ~RaceEntityTest() override {
        game::raceSteps() = {};
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
    }

    static game::cEntity* car(char name) { return game::racerAt(std::string("ABP").find(name)); }

    // Sections starting at the given segments of a 37-segment ring.
    static void sections(std::initializer_list<std::int32_t> starts) {
        game::TrackStatics& t = game::trackStatics();
        t.s_segmentCount = 37;
        t.s_sectionCount = static_cast<std::int32_t>(starts.size());
        t.s_sectionValues = rt::newIntArray(t.s_sectionCount);
        std::int32_t k = 0;
        for (std::int32_t start : starts)
            rt::IntArray::set(t.s_sectionValues, k++, start);
    }
};

TEST_F(RaceEntityTest, ContactRulesKnockAndSpendChargesByStatePlaceAndItem) {
    struct Row {
        const char* what;
        std::int32_t player, car, ahead; // states
        bool playerAhead, playerItem, carItem, aheadItem, carKnocked, touchPlayer, touchAhead;
        const char* knocked;
        const char* charged;
    };
    const Row rows[] = {
        {"nitro player hits a plain car", 2048, 0, 0, false, false, false, false, false, true, false, "B",
         ""},
        {"a striking car is not hit", 1, 32, 0, false, false, false, false, false, true, false, "", ""},
        {"striker against a plain player", 0, 2048, 0, false, false, false, false, false, true, false, "",
         ""},
        {"two nitros knock each other", 2048, 2048, 0, false, false, false, false, false, true, false, "BP",
         ""},
        {"player behind with an item", 0, 0, 0, false, true, false, false, false, true, false, "B", "P"},
        {"player ahead, car with an item", 0, 0, 0, true, false, true, false, false, true, false, "P", "B"},
        {"player behind, car's item unused", 0, 0, 0, false, false, true, false, false, true, false, "", ""},
        {"player in state 4", 4, 0, 0, false, true, false, true, false, true, true, "", ""},
        {"car in state 4", 2048, 4, 0, false, true, false, true, false, true, true, "", ""},
        {"knocked car", 2048, 0, 0, false, true, false, true, true, true, true, "", ""},
        {"no touch", 2048, 0, 0, false, true, false, true, false, false, false, "", ""},
        {"car ahead with an item", 0, 0, 0, false, false, false, true, false, false, true, "B", "A"},
        {"striker spares itself, hits back", 0, 1, 0, false, false, false, true, false, false, true, "A",
         "A"},
        {"two strikers", 0, 32, 1, false, false, false, false, false, false, true, "", ""},
        {"car ahead in state 4", 0, 1, 4, false, false, false, true, false, false, true, "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        g_log = {};
        g_log.touchPlayer = r.touchPlayer;
        g_log.touchAhead = r.touchAhead;
        game::cEntity *a = car('A'), *b = car('B'), *p = car('P');
        p->m_state = r.player;
        b->m_state = r.car;
        a->m_state = r.ahead;
        p->m_racePosition = r.playerAhead ? 0 : 2;
        a->m_racePosition = r.playerAhead ? 2 : 0;
        p->m_heldItem = r.playerItem ? 3 : -1;
        b->m_heldItem = r.carItem ? 3 : -1;
        a->m_heldItem = r.aheadItem ? 3 : -1;
        b->m_knocked = r.carKnocked;
        game::applyContacts(b);
        EXPECT_EQ(g_log.knocked, r.knocked);
        EXPECT_EQ(g_log.charged, r.charged);
    }
}

TEST_F(RaceEntityTest, TheLeaderTestsNoCarAhead) {
    g_log.touchAhead = true;
    car('A')->m_state = 1;
    car('B')->m_heldItem = 2;
    game::applyContacts(car('A'));
    EXPECT_EQ(g_log.knocked, "");
    EXPECT_EQ(g_log.charged, "");
}

TEST_F(RaceEntityTest, AGuidedRaceRunsTheDriverOnly) {
    sections({0, 10, 25});
    game::resetTimingPoints(3);
    g_log.touchPlayer = true;
    car('P')->m_state = 2048;
    game::cEntity* b = car('B');
    b->m_segment = 10;
    b->m_prevSegment = 9;
    b->m_trackSection = 0;

    game::stateStatics().s_gameMode = game::GameMode::Guided;
    b->update(163);
    EXPECT_EQ(g_log.aiSteps, 1);
    EXPECT_EQ(g_log.knocked, "");
    EXPECT_EQ(g_log.triggerSteps, 0);
    EXPECT_EQ(b->m_trackSection, 0);
    EXPECT_EQ(rt::IntArray::get(game::raceEntityStatics().s_timingSection, 1), -1);

    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    b->update(163);
    EXPECT_EQ(g_log.aiSteps, 2);
    EXPECT_EQ(g_log.knocked, "B");
    EXPECT_EQ(g_log.triggerSteps, 1);
    EXPECT_EQ(b->m_trackSection, 1);
    EXPECT_EQ(rt::IntArray::get(game::raceEntityStatics().s_timingSection, 1), 1);
}

TEST_F(RaceEntityTest, TheTopSpeedLagStaysInItsRange) {
    struct Row {
        std::int32_t lag, type, speed, max, out;
    };
    const Row rows[] = {
        {0, 0, 100, 200, 10},
        {70, 0, 100, 200, 75},
        {75, 1, 200, 200, 75},
        {75, 0, 200, 200, 60},
        {20, 1, 200 + 100 * 4096, 200, 0},
        {50, 1, 200 + 30 * 4096, 200, 20},
        {50, 1, INT_MAX, INT_MIN, 0},
        {5, 0, 300, 200, 0},
    };
    for (const Row& r : rows) {
        game::cEntity* c = game::cEntity::cEntityWithType(r.type == 0 ? 2 : 1);
        c->m_type = r.type == 0 ? 0 : 2; // the player's rule or any other entity's
        c->m_spriteSet = game::kLagSpriteSet;
        c->m_speed = r.speed;
        c->m_maxSpeed = r.max;
        game::raceEntityStatics().s_topSpeedLag = r.lag;
        game::updateRaceEntity(c, 163);
        EXPECT_EQ(game::raceEntityStatics().s_topSpeedLag, r.out)
            << r.lag << " at " << r.speed << "/" << r.max;
    }
    game::cEntity* other = game::cEntity::cEntityWithType(2);
    other->m_spriteSet = 46;
    game::raceEntityStatics().s_topSpeedLag = 30;
    game::updateRaceEntity(other, 163);
    EXPECT_EQ(game::raceEntityStatics().s_topSpeedLag, 30);
}

TEST_F(RaceEntityTest, SectionsAreFoundFromAnyHintAndWrapBeforeTheFirst) {
    sections({0, 10, 25});
    struct Row {
        std::int32_t pos, hint, out;
    };
    for (const Row& r : {Row{12, 0, 1}, Row{12, 1, 1}, Row{12, 2, 1}, Row{9, 1, 0}, Row{25, 0, 2},
                         Row{36, 1, 2}, Row{0, 2, 0}, Row{12, -1, 1}, Row{12, 99, 1}})
        EXPECT_EQ(game::getTrackSection(r.pos, r.hint), r.out) << r.pos << " from " << r.hint;
    sections({5, 10, 25}); // segments 0..4 still belong to the last section
    EXPECT_EQ(game::getTrackSection(3, 0), 2);
    EXPECT_EQ(game::getTrackSection(7, 2), 0);
    for (auto [segment, point] : {std::pair{0, 0}, {5, 0}, {10, 1}, {25, 2}, {6, -1}})
        EXPECT_EQ(game::timingPointAt(segment), point) << segment;
    game::trackStatics().s_sectionValues = nullptr;
    EXPECT_EQ(game::getTrackSection(12, 1), 0);
}

TEST_F(RaceEntityTest, ThePlayersTimingPointsKeepSplitsAgainstTheLapBefore) {
    sections({0, 10, 25});
    game::resetTimingPoints(3);
    game::RaceEntityStatics& e = game::raceEntityStatics();
    game::cEntity* p = car('P');
    struct Pass {
        std::int32_t lap, segment, time, shown, delta;
    };
    const Pass passes[] = {
        {1, 0, 100, 0, 0},                                    // leaving the grid: no lap ended
        {1, 10, 1100, 1000, 0},                               // first split, nothing to compare
        {2, 0, 4100, 4000, 0},                                // first lap time
        {2, 10, 4900, 800, -200},                             // faster than the lap before
        {3, 0, 7100, 3000, -1000}, {3, 5, 7300, 3000, -1000}, // no timing point there
    };
    for (const Pass& pass : passes) {
        p->m_prevSegment = pass.segment == 0 ? 36 : pass.segment - 1;
        p->m_segment = pass.segment;
        p->m_lap = pass.lap;
        e.s_raceTime = pass.time;
        p->update(163);
        EXPECT_EQ(e.s_splitShown, pass.shown) << "at " << pass.time;
        EXPECT_EQ(e.s_splitDeltaShown, pass.delta) << "at " << pass.time;
        EXPECT_EQ(e.s_playerSegment, pass.segment);
    }
    EXPECT_EQ(rt::IntArray::get(e.s_timingSection, 2), 0);
    EXPECT_EQ(rt::IntArray::get(e.s_timingTime, 2), 7100);
    EXPECT_EQ(rt::IntArray::get(e.s_splitTimes, 0), 3000);
    EXPECT_EQ(rt::IntArray::get(e.s_splitTimes, 1), 4000);

    // A finished race books nothing; a racer index outside the tables is
    // harmless.
    game::raceStatics().s_raceFinished = 1;
    p->m_prevSegment = 9;
    p->m_segment = 10;
    e.s_raceTime = 9000;
    p->update(163);
    EXPECT_EQ(rt::IntArray::get(e.s_timingTime, 2), 7100);
    game::raceStatics().s_raceFinished = 0;
    p->m_racerIndex = 77;
    p->m_prevSegment = 24;
    p->m_segment = 25;
    p->update(163);
    EXPECT_EQ(e.s_splitShown, 9000 - 7100);
}

} // namespace
