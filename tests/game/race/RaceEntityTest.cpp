// One step of a race entity: the contact rules between a computer car, the
// player and the car ahead (cars placed side by side so that they touch or
// not, the knocks and item charges read off the cars), the guided race's
// short step, the top-speed lag, the track section search and the timing
// points with the player's splits.

#include "game/race/RaceEntity.h"
#include "game/framework/States.h"
#include "game/race/Impacts.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "tests/game/race/DrivingFixture.h"
#include "tools/datakit/TrackRing.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr std::int32_t kHalfWidth = 150;
// Laterals of a car beside the struck one: touching, or well clear.
constexpr std::int32_t kTouching = 2 * kHalfWidth - 50;
constexpr std::int32_t kClear = 4 * kHalfWidth;
// The item charges of a car that holds an item at the start of a row.
constexpr std::int32_t kCharges = 2;

// Three racers by letter, A B P for indexes 0 1 2 (P the player's), side by
// side on one segment, 150 wide either side and 400 long; B in the middle.
struct RaceEntityTest : race_testing::DrivingTest {
    RaceEntityTest() {
        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i) {
            // The player's car can drive: speed steps, gears and brakes.
            game::cEntity* car = i == 2 ? makeCar(0, {0, 100, 200}, 4096) : game::cEntity::cEntityWithType(1);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_speed = speedOf(i);
            car->m_segment = car->m_prevSegment = 5;
            car->m_segmentPos = car->m_prevSegmentPos = 512;
            car->m_widthProfile = race_testing::ints(std::vector<std::int32_t>(12, kHalfWidth));
            rt::IntArray::set(car->m_widthProfile, 11, 400);
            rt::ObjectArray::set(race.s_racers, i, car);
        }
        game::racerStatics().s_playerCar = car('P');
        place(false, false);
    }
    ~RaceEntityTest() override { game::stateStatics().s_gameMode = game::GameMode::LapRace; }

    static game::cEntity* car(char name) { return game::racerAt(std::string("ABP").find(name)); }
    // Above 80 km/h, so that a knock at the car's own speed halves it.
    static std::int32_t speedOf(std::int32_t index) { return game::kmhToSpeed(100 + 20 * index); }

    // P right of B and A left of it, each touching B or clear of it.
    static void place(bool touchPlayer, bool touchAhead) {
        car('B')->m_lateral = 0;
        car('P')->m_lateral = touchPlayer ? kTouching : kClear;
        car('A')->m_lateral = touchAhead ? -kTouching : -kClear;
    }

    // The racers' letters whose effect is the knock.
    static std::string knocked() {
        std::string out;
        for (char c : std::string("ABP"))
            if (car(c)->m_effect == game::CarEffect::KnockOut)
                out += c;
        return out;
    }

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

// A knock is the impact at the car's own speed: it halves the speed (a
// computer car knocked at speed 0 would stop) and spends one of the knocked
// car's charges; a spent charge of the striker is one charge less.
TEST_F(RaceEntityTest, ContactRulesKnockAndSpendChargesByStatePlaceAndItem) {
    struct Row {
        const char* what;
        game::CarState player, car, ahead;
        bool playerAhead, playerItem, carItem, aheadItem, carKnocked, touchPlayer, touchAhead;
        const char* knocked;
        const char* charged;
    };
    using enum game::CarState;
    const Row rows[] = {
        {"nitro player hits a plain car", Nitro, Normal, Normal, false, false, false, false, false, true,
         false, "B", ""},
        {"a striking car is not hit", Strike, Ghost, Normal, false, false, false, false, false, true, false,
         "", ""},
        {"striker against a plain player", Normal, Nitro, Normal, false, false, false, false, false, true,
         false, "", ""},
        {"two nitros knock each other", Nitro, Nitro, Normal, false, false, false, false, false, true, false,
         "BP", ""},
        {"player behind with an item", Normal, Normal, Normal, false, true, false, false, false, true, false,
         "B", "P"},
        {"player ahead, car with an item", Normal, Normal, Normal, true, false, true, false, false, true,
         false, "P", "B"},
        {"player behind, car's item unused", Normal, Normal, Normal, false, false, true, false, false, true,
         false, "", ""},
        {"player without contacts", NoContact, Normal, Normal, false, true, false, true, false, true, true,
         "", ""},
        {"car without contacts", Nitro, NoContact, Normal, false, true, false, true, false, true, true, "",
         ""},
        {"knocked car", Nitro, Normal, Normal, false, true, false, true, true, true, true, "", ""},
        {"no touch", Nitro, Normal, Normal, false, true, false, true, false, false, false, "", ""},
        {"car ahead with an item", Normal, Normal, Normal, false, false, false, true, false, false, true, "B",
         "A"},
        {"striker spares itself, hits back", Normal, Strike, Normal, false, false, false, true, false, false,
         true, "A", "A"},
        {"two strikers", Normal, Ghost, Strike, false, false, false, false, false, false, true, "", ""},
        {"car ahead without contacts", Normal, Strike, NoContact, false, false, false, true, false, false,
         true, "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        game::cEntity *a = car('A'), *b = car('B'), *p = car('P');
        p->m_state = r.player;
        b->m_state = r.car;
        a->m_state = r.ahead;
        p->m_racePosition = r.playerAhead ? 0 : 2;
        a->m_racePosition = r.playerAhead ? 2 : 0;
        const bool holds[] = {r.aheadItem, r.carItem, r.playerItem};
        for (std::int32_t i = 0; i < 3; ++i) {
            game::cEntity* c = game::racerAt(i);
            c->m_effect = game::CarEffect::None;
            c->m_effectTimer = c->m_spinning = 0;
            c->m_speed = speedOf(i);
            c->m_heldItem = holds[i] ? 3 : -1;
            c->m_itemCharges = holds[i] ? kCharges : 0;
        }
        b->m_knocked = r.carKnocked;
        place(r.touchPlayer, r.touchAhead);
        ASSERT_EQ(game::checkEntityContact(b, p, false), r.touchPlayer);
        ASSERT_EQ(game::checkEntityContact(b, a, false), r.touchAhead);
        game::applyContacts(b);
        EXPECT_EQ(knocked(), r.knocked);
        for (std::int32_t i = 0; i < 3; ++i) {
            const char c = "ABP"[i];
            const game::cEntity* e = game::racerAt(i);
            const bool knock = std::string(r.knocked).find(c) != std::string::npos;
            const bool spent = std::string(r.charged).find(c) != std::string::npos;
            EXPECT_EQ(e->m_itemCharges, (holds[i] ? kCharges : 0) - knock - spent) << c;
            EXPECT_EQ(e->m_speed, knock ? std::max(speedOf(i) >> 1, game::kmhToSpeed(40)) : speedOf(i)) << c;
        }
    }
}

TEST_F(RaceEntityTest, TheLeaderTestsNoCarAhead) {
    // A leads, striking, with B touching it from behind; B holds an item.
    car('A')->m_state = game::CarState::Strike;
    car('A')->m_lateral = kTouching;
    car('B')->m_heldItem = 2;
    car('B')->m_itemCharges = kCharges;
    game::applyContacts(car('A'));
    EXPECT_EQ(knocked(), "");
    EXPECT_EQ(car('B')->m_itemCharges, kCharges);
}

// B, inactive so that no driver moves it, crosses from segment 9 to the
// section that starts at 10, off the road's right edge and touching the
// player's nitro.
TEST_F(RaceEntityTest, AGuidedRaceRunsTheDriverOnly) {
    sections({0, 10, 25});
    game::trackStatics().s_roadHalfWidth = 1000;
    game::trackStatics().s_roadMargin = 0;
    game::resetTimingPoints(3);
    game::cEntity* b = car('B');
    game::cEntity* p = car('P');
    b->m_lateral = 2000;
    p->m_lateral = 2000 + kTouching;
    p->m_state = game::CarState::Nitro;
    b->m_segment = p->m_segment = 10;
    b->m_prevSegment = 9;
    b->m_trackSection = 0;

    game::stateStatics().s_gameMode = game::GameMode::Guided;
    b->update(163);
    EXPECT_EQ(knocked(), "");
    EXPECT_EQ(b->m_lateral, 2000) << "no track triggers";
    EXPECT_EQ(b->m_trackSection, 0);
    EXPECT_EQ(rt::IntArray::get(game::raceEntityStatics().s_timingSection, 1), -1);

    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    b->update(163);
    EXPECT_EQ(knocked(), "B");
    EXPECT_EQ(b->m_lateral, 1000 - kHalfWidth) << "the triggers keep the car on the road";
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

// The player's car drives over each point in its own step, from the end of
// the segment before it, on a straight ring of 37 segments.
TEST_F(RaceEntityTest, ThePlayersTimingPointsKeepSplitsAgainstTheLapBefore) {
    loadRing(datakit::TrackRing().straight(37));
    sections({0, 10, 25});
    game::resetTimingPoints(3);
    game::RaceEntityStatics& e = game::raceEntityStatics();
    game::cEntity* p = car('P');
    p->m_lateral = 0;
    // The segment after a drive over the end of `segment - 1` at 100 km/h.
    auto driveInto = [p](std::int32_t lap, std::int32_t segment) {
        const bool line = segment == 0;
        p->m_lap = line ? lap - 1 : lap;
        p->m_segment = line ? 36 : segment - 1;
        p->m_segmentPos = 1000;
        p->m_speed = game::kmhToSpeed(100);
        p->update(163);
        return p->m_segment;
    };
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
        SCOPED_TRACE(pass.time);
        e.s_raceTime = pass.time;
        ASSERT_EQ(driveInto(pass.lap, pass.segment), pass.segment);
        ASSERT_EQ(p->m_lap, pass.lap);
        EXPECT_EQ(e.s_splitShown, pass.shown);
        EXPECT_EQ(e.s_splitDeltaShown, pass.delta);
        EXPECT_EQ(e.s_playerSegment, pass.segment);
    }
    EXPECT_EQ(rt::IntArray::get(e.s_timingSection, 2), 0);
    EXPECT_EQ(rt::IntArray::get(e.s_timingTime, 2), 7100);
    EXPECT_EQ(rt::IntArray::get(e.s_splitTimes, 0), 3000);
    EXPECT_EQ(rt::IntArray::get(e.s_splitTimes, 1), 4000);

    // A finished race books nothing; a racer index outside the tables is
    // harmless.
    game::raceStatics().s_raceFinished = 1;
    e.s_raceTime = 9000;
    ASSERT_EQ(driveInto(3, 10), 10);
    EXPECT_EQ(rt::IntArray::get(e.s_timingTime, 2), 7100);
    game::raceStatics().s_raceFinished = 0;
    p->m_racerIndex = 77;
    ASSERT_EQ(driveInto(3, 25), 25);
    EXPECT_EQ(e.s_splitShown, 9000 - 7100);
}

} // namespace
