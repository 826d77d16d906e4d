// Track triggers as one table: a code in the first slot of segment 5 (and
// the event's dynamic entry it names), the car's lane, state and the game
// mode, to the fields they change. Then the road edges met exactly, the
// track effects struck, and the datakit encoders read back by the race.

#include "game/race/TrackTriggers.h"
#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceTables.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/race/OpponentsFixture.h"
#include "tools/datakit/TriggerCodes.h"

#include <functional>

namespace {

using datakit::DynamicAction;
using datakit::TriggerKind;
using game::cEntity;
using game::kmhToSpeed;

constexpr std::int32_t kSegment = 5;

struct TrackTriggersTest : race_testing::OpponentsTest {
    TrackTriggersTest() {
        datakit::TrackRing ring;
        ring.straight(12);
        loadRing(ring); // half-width 1000, margin 400, lane width 1000
        game::raceStatics().s_laps = 3;
        game::initEventSlots();
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        // Boxes: object 3 stands from 200 to 600 right of the centre line,
        // object 2 likewise but too low a number to push.
        game::TrackStatics& t = game::trackStatics();
        t.s_objectCount = 4;
        t.s_objectPoints = rt::newObjectArray(4);
        for (std::int32_t box : {2, 3}) {
            rt::ShortArray* points = rt::newShortArray(2);
            rt::ShortArray::set(points, 0, 200);
            rt::ShortArray::set(points, 1, 600);
            rt::ObjectArray::set(t.s_objectPoints, box, points);
        }
    }

    // The event's dynamic table (track 0, variant 0) and its row, whose
    // field 1 is the coin target of a collection race.
    static void event(std::vector<std::int32_t> entries, std::int32_t coinTarget) {
        rt::IntArray* table = rt::newIntArray(static_cast<std::int32_t>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            rt::IntArray::set(table, static_cast<std::int32_t>(i), entries[i]);
        rt::ObjectArray* variants = rt::newObjectArray(1);
        rt::ObjectArray::set(variants, 0, table);
        game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
        rt::IntArray* row = rt::newIntArray(17);
        rt::IntArray::set(row, 1, coinTarget);
        rt::ObjectArray* rows = rt::newObjectArray(1);
        rt::ObjectArray::set(rows, 0, row);
        game::eventStatics().s_eventRows = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, rows);
    }

    static void code(std::int16_t value) {
        rt::ShortArray::set(game::trackStatics().s_triggerCodes, kSegment * 2, value);
    }
};

TEST_F(TrackTriggersTest, EachCodeActsOnTheFieldsOfItsKind) {
    struct Case {
        const char* what;
        std::int16_t code;
        std::int32_t entry;
        std::function<void(cEntity&)> setup;
        std::function<void(const cEntity&)> expect;
    };
    const std::int16_t dynamic = datakit::dynamicTrigger(0, 0);
    auto item = [](std::int32_t lane, std::int32_t q) {
        return datakit::dynamicAction(DynamicAction::ItemBox, 1, false, lane, q);
    };
    auto coin = [](DynamicAction kind) { return datakit::dynamicAction(kind, 0, true, 3); };
    const Case cases[] = {
        {"boost lifts the player to 135 km/h for 1 s", datakit::laneTrigger(TriggerKind::Boost, 1), 0,
         [](cEntity&) {},
         [](const cEntity& c) {
             EXPECT_EQ(c.m_boostTimer, 4096);
             EXPECT_EQ(c.m_speed, kmhToSpeed(135));
             EXPECT_EQ(c.m_nitroFlags[0], 1);
         }},
        {"boost keeps a faster player's speed", datakit::laneTrigger(TriggerKind::Boost, 1), 0,
         [](cEntity& c) { c.m_speed = kmhToSpeed(200); },
         [](const cEntity& c) { EXPECT_EQ(c.m_speed, kmhToSpeed(200)); }},
        {"boost in another lane", datakit::laneTrigger(TriggerKind::Boost, 0), 0,
         [](cEntity& c) { c.m_lateral = 300; }, [](const cEntity& c) { EXPECT_EQ(c.m_boostTimer, 0); }},
        {"boost refused to a ghost", datakit::laneTrigger(TriggerKind::Boost, 1), 0,
         [](cEntity& c) { c.m_state = game::CarState::Ghost; },
         [](const cEntity& c) { EXPECT_EQ(c.m_boostTimer, 0); }},
        {"hazard knocks out", datakit::laneTrigger(TriggerKind::Hazard, 1), 0, [](cEntity&) {},
         [](const cEntity& c) { EXPECT_EQ(c.m_effect, game::CarEffect::KnockOut); }},
        {"hazard passes under a pending jump", datakit::laneTrigger(TriggerKind::Hazard, 1), 0,
         [](cEntity& c) { c.m_jumpKind = 7; },
         [](const cEntity& c) { EXPECT_EQ(c.m_effect, game::CarEffect::None); }},
        {"bump", datakit::laneTrigger(TriggerKind::Bump, 3), 0, [](cEntity&) {},
         [](const cEntity& c) { EXPECT_EQ(c.m_jumpKind, 7); }},
        {"bump beside the car", datakit::laneTrigger(TriggerKind::Bump, 4), 0, [](cEntity&) {},
         [](const cEntity& c) { EXPECT_EQ(c.m_jumpKind, 0); }},
        {"ramp raises a slow player and caps it at 150", datakit::laneTrigger(TriggerKind::Ramp, 3), 0,
         [](cEntity& c) { c.m_speed = kmhToSpeed(50); },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_jumpKind, 3);
             EXPECT_EQ(c.m_vSpeed, 1024 << 12);
             EXPECT_EQ(c.m_speed, kmhToSpeed(150));
         }},
        {"ramp below the launch speed lifts by a sixteenth", datakit::laneTrigger(TriggerKind::Ramp, 3), 0,
         [](cEntity& c) { c.m_speed = kmhToSpeed(155); },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_jumpKind, 3);
             EXPECT_EQ(c.m_vSpeed, kmhToSpeed(155) / 16);
             EXPECT_EQ(c.m_speed, kmhToSpeed(155));
         }},
        {"item box starts the draw of its item", dynamic, item(3, 5), [](cEntity&) {},
         [](const cEntity& c) {
             EXPECT_EQ(c.m_itemTimer, 8192);
             EXPECT_EQ(c.m_nextItem, 5);
             EXPECT_EQ(rt::IntArray::get(game::triggerStatics().s_itemBoxTaken, kSegment), 1 << 3);
         }},
        {"item box item outside 0..8 draws", dynamic, item(3, 12), [](cEntity&) {},
         [](const cEntity& c) {
             EXPECT_EQ(c.m_itemTimer, 8192);
             EXPECT_EQ(c.m_nextItem, -1);
         }},
        {"item box while holding an item", dynamic, item(3, 5), [](cEntity& c) { c.m_heldItem = 4; },
         [](const cEntity& c) { EXPECT_EQ(c.m_itemTimer, 0); }},
        {"coin", dynamic, coin(DynamicAction::Coin), [](cEntity& c) { c.m_collected = 3; },
         [](const cEntity& c) { EXPECT_EQ(c.m_collected, 4); }},
        {"coins stop at 10", dynamic, coin(DynamicAction::Coin), [](cEntity& c) { c.m_collected = 10; },
         [](const cEntity& c) { EXPECT_EQ(c.m_collected, 10); }},
        {"coins stop at the target in game mode 2", dynamic, coin(DynamicAction::TenCoins),
         [](cEntity& c) {
             game::stateStatics().s_gameMode = game::GameMode::Collection;
             c.m_collected = 20;
             c.m_jumpKind = 3;
         },
         [](const cEntity& c) { EXPECT_EQ(c.m_collected, 25); }},
        {"ten coins in jump kind 7", dynamic, coin(DynamicAction::TenCoins),
         [](cEntity& c) { c.m_jumpKind = 7; }, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 10); }},
        {"ten coins in jump kind 2", dynamic, coin(DynamicAction::TenCoins),
         [](cEntity& c) { c.m_jumpKind = 2; }, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 10); }},
        {"no ten coins on the ground", dynamic, coin(DynamicAction::TenCoins), [](cEntity&) {},
         [](const cEntity& c) { EXPECT_EQ(c.m_collected, 0); }},
        {"no ten coins in a hop", dynamic, coin(DynamicAction::TenCoins),
         [](cEntity& c) { c.m_jumpKind = 5; }, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 0); }},
        {"another variant is ignored", datakit::dynamicTrigger(0, 1), coin(DynamicAction::Coin),
         [](cEntity&) {}, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 0); }},
        {"another lap is ignored", dynamic, datakit::dynamicAction(DynamicAction::Coin, 2, false, 3),
         [](cEntity&) {}, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 0); }},
        {"an index past the table is ignored", datakit::dynamicTrigger(9, 0), coin(DynamicAction::Coin),
         [](cEntity&) {}, [](const cEntity& c) { EXPECT_EQ(c.m_collected, 0); }},
        {"a dynamic hazard", dynamic, datakit::dynamicAction(DynamicAction::Hazard, 1, false, 1),
         [](cEntity&) {}, [](const cEntity& c) { EXPECT_EQ(c.m_effect, game::CarEffect::KnockOut); }},
        {"box 3 pushes left with impact 128", datakit::boxTrigger(3, false), 0,
         [](cEntity& c) { c.m_lateral = 100; },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_lateral, 50);
             EXPECT_EQ(c.m_effectTimer, 3276);
             EXPECT_EQ(c.m_speed, kmhToSpeed(100) - kmhToSpeed(100) / 25);
             EXPECT_EQ(c.m_knocked, 0);
         }},
        {"the mirrored box pushes right with impact 64", datakit::boxTrigger(3, true), 0,
         [](cEntity& c) { c.m_lateral = -100; },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_lateral, -50);
             EXPECT_EQ(c.m_effectTimer, 3276);
         }},
        {"a box struck fast and turned crashes (16)", datakit::boxTrigger(3, false), 0,
         [](cEntity& c) {
             c.m_lateral = 100;
             c.m_speed = kmhToSpeed(200);
             c.m_heading = 120;
         },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_lateral, 50);
             EXPECT_EQ(c.m_knocked, 1);
         }},
        {"box 2 does not push", datakit::boxTrigger(2, false), 0, [](cEntity& c) { c.m_lateral = 100; },
         [](const cEntity& c) { EXPECT_EQ(c.m_lateral, 100); }},
        {"a dynamic box pushes", dynamic, datakit::dynamicBox(3, 0, true),
         [](cEntity& c) { c.m_lateral = 100; }, [](const cEntity& c) { EXPECT_EQ(c.m_lateral, 50); }},
        {"gate 3 halves the player above 80 km/h", datakit::boxTrigger(7, false), 0,
         [](cEntity& c) {
             game::triggerStatics().s_movingObjectId = 7;
             c.m_speed = kmhToSpeed(120);
         },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_speed, kmhToSpeed(120) >> 1);
             EXPECT_EQ(game::triggerStatics().s_gatePassed, 1);
             EXPECT_EQ(rt::ByteArray::get(game::triggerStatics().s_gateDone, kSegment), 1);
             EXPECT_EQ(c.m_effect, game::CarEffect::None);
         }},
        {"gate 13 knocks out once its object has moved on", datakit::boxTrigger(7, false), 0,
         [](cEntity& c) {
             game::TriggerStatics& s = game::triggerStatics();
             s.s_movingObjectId = 7;
             s.s_gateKind = 13;
             s.s_movingObjectProgress = 2600;
             c.m_type = 1;
         },
         [](const cEntity& c) {
             EXPECT_EQ(c.m_effect, game::CarEffect::KnockOut);
             EXPECT_EQ(rt::ByteArray::get(game::triggerStatics().s_gateDone, kSegment), 0);
         }},
        {"gate 13 before its object moved", datakit::boxTrigger(7, false), 0,
         [](cEntity& c) {
             game::TriggerStatics& s = game::triggerStatics();
             s.s_movingObjectId = 7;
             s.s_gateKind = 13;
             s.s_movingObjectProgress = 2599;
             c.m_type = 1;
         },
         [](const cEntity& c) { EXPECT_EQ(c.m_effect, game::CarEffect::None); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::triggerStatics() = game::TriggerStatics{};
        game::resetTrackTriggers();
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        event({c.entry}, 25);
        code(c.code);
        cEntity* car = field({{1, kSegment, 512, 0}}, 0)[0];
        car->m_speed = car->m_maxSpeed = kmhToSpeed(100);
        c.setup(*car);
        game::processTrackTriggers(car);
        c.expect(*car);
    }
}

TEST_F(TrackTriggersTest, TheRoadEdgeHoldsTheCarAndMeetingItExactlyIsNoContact) {
    cEntity* car = field({{1, kSegment}}, 0)[0];
    car->m_sideContact = 1;
    const std::int32_t limit = 1000 + 400 - 150;
    car->m_lateral = limit;
    game::processTrackTriggers(car);
    EXPECT_EQ(car->m_lateral, limit);
    EXPECT_EQ(car->m_contactEnd, 0);
    car->m_lateral = limit + 1;
    game::processTrackTriggers(car);
    EXPECT_EQ(car->m_lateral, limit);
    EXPECT_EQ(car->m_contactEnd, 1);
    car->m_lateral = -limit - 7;
    game::processTrackTriggers(car);
    EXPECT_EQ(car->m_lateral, -limit);
}

TEST_F(TrackTriggersTest, AStrikeEffectKnocksOutOnceAndSparesDriverKindFive) {
    game::resetTrackTriggers();
    auto cars = field({{1, kSegment, 600, 0}, {1, kSegment, 600, 0}}, 1);
    game::startRaceEffect(1, kSegment, 0, 500, 0);
    cars[0]->m_driverKind = 5;
    game::processTrackTriggers(cars[0]);
    EXPECT_EQ(cars[0]->m_effect, game::CarEffect::None);
    EXPECT_EQ(game::trackEffectCount(), 1);
    game::processTrackTriggers(cars[1]);
    EXPECT_EQ(cars[1]->m_effect, game::CarEffect::KnockOut);
    EXPECT_EQ(game::trackEffectCount(), 0) << "no pool: the struck record goes without a follower";
}

TEST_F(TrackTriggersTest, EffectsWithAPlayerNeverOutnumberThePoolAndGoWhenTheyEnd) {
    game::initZoomAnimPool();
    game::resetTrackTriggers();
    for (std::int32_t i = 0; i < 50; ++i)
        game::startRaceEffect(4 + i % 2, i % 12, 0, 0, 0);
    EXPECT_EQ(game::trackEffectCount(), game::kZoomAnimPoolSize);
    game::startRaceEffect(0, 3, 0, 0, 0);
    EXPECT_EQ(game::trackEffectCount(), game::kZoomAnimPoolSize + 1) << "kind 0 needs no player";
    game::updateZoomAnimPool(6000);
    game::updateZoomAnimPool(1);
    EXPECT_EQ(game::trackEffectCount(), 1);
    EXPECT_EQ(rt::IntArray::get(game::zoomPoolStatics().s_poolRecordList, 0), 3);
}

// Passing gate 3 restarts the five animations under the player's car,
// whatever the player's state; another car, or gate 13, leaves them.
TEST_F(TrackTriggersTest, PassingGateThreeRestartsTheAnimationsUnderThePlayersCar) {
    struct Case {
        const char* what;
        std::int32_t type;
        game::CarState state;
        std::int32_t gateKind;
        bool restarted;
    };
    const Case cases[] = {{"the player", 0, game::CarState::Normal, 3, true},
                          {"the player striking", 0, game::CarState::Strike, 3, true},
                          {"a computer car", 1, game::CarState::Normal, 3, false},
                          {"the player at gate 13", 0, game::CarState::Normal, 13, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::TriggerStatics& s = game::triggerStatics();
        s = game::TriggerStatics{};
        game::resetTrackTriggers();
        s.s_movingObjectId = 7;
        s.s_gateKind = c.gateKind;
        s.s_underCarPlayers = rt::newObjectArray(5);
        for (std::int32_t i = 0; i < 5; ++i) {
            auto* player = rt::make<game::ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
            player->start(25, 8 + i, 1000, 0);
            player->update(400);
            player->stop();
            rt::ObjectArray::set(s.s_underCarPlayers, i, player);
        }
        code(datakit::boxTrigger(7, false));
        cEntity* car = field({{1, kSegment, 512, 0}}, 0)[0];
        car->m_type = c.type;
        car->m_state = c.state;
        game::processTrackTriggers(car);
        for (std::int32_t i = 0; i < 5; ++i) {
            const auto* player =
                static_cast<const game::ZoomedAnimPlayer*>(rt::ObjectArray::get(s.s_underCarPlayers, i));
            EXPECT_EQ(player->m_stopped, c.restarted ? 0 : 1) << i;
        }
    }
}

// In the guided race the item box of step 4 draws item 3 and brings the
// second car, still off the track, 5 segments ahead of the player; the
// two become racers 0 and 1.
TEST_F(TrackTriggersTest, TheGuidedRacesItemBoxBringsTheSecondCarAhead) {
    for (const bool alreadyOnTrack : {false, true}) {
        SCOPED_TRACE(alreadyOnTrack ? "already on the track" : "off the track");
        game::stateStatics().s_gameMode = game::GameMode::Guided;
        game::eventGoalStatics().s_guideStep = 4;
        game::resetTrackTriggers();
        event({datakit::dynamicAction(DynamicAction::ItemBox, 1, false, 3, 5)}, 25);
        code(datakit::dynamicTrigger(0, 0));
        auto cars = field({{1, kSegment, 512, 0}, {1, 2, 100, 0}}, 0);
        cEntity* p = cars[0];
        cEntity* other = cars[1];
        other->m_active = alreadyOnTrack ? 1 : 0;
        game::processTrackTriggers(p);
        EXPECT_EQ(p->m_itemTimer, 8192);
        EXPECT_EQ(p->m_nextItem, 3);
        EXPECT_EQ(other->m_segment,
                  alreadyOnTrack ? 2 : (kSegment + 5) % game::trackStatics().s_segmentCount);
        EXPECT_EQ(other->m_active, 1);
        EXPECT_EQ(rt::ObjectArray::get(game::raceStatics().s_racers, 0), alreadyOnTrack ? p : other);
        EXPECT_EQ(rt::ObjectArray::get(game::raceStatics().s_racers, 1), alreadyOnTrack ? other : p);
    }
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::eventGoalStatics().s_guideStep = 0;
}

// The guide's jumping step is done by a ten-coin caught in the air: its
// time starts to run. Before that step the ten-coin is not there at all.
TEST_F(TrackTriggersTest, TheGuidedRacesTenCoinInTheAirEndsTheJumpingStep) {
    game::stateStatics().s_gameMode = game::GameMode::Guided;
    for (const std::int32_t step : {7, 8}) {
        SCOPED_TRACE(step);
        game::EventGoalStatics& g = game::eventGoalStatics();
        g.s_guideStep = step;
        g.s_guideTimer = 0;
        game::resetTrackTriggers();
        event({datakit::dynamicAction(DynamicAction::TenCoins, 0, true, 3)}, 25);
        code(datakit::dynamicTrigger(0, 0));
        cEntity* p = field({{1, kSegment, 0, 0}}, 0)[0];
        p->m_jumpKind = game::kJumpTrigger;
        game::processTrackTriggers(p);
        EXPECT_EQ(p->m_collected, step == 8 ? 10 : 0);
        EXPECT_EQ(g.s_guideTimer, step == 8 ? game::raceGuideStatics().s_guideStepTime : 0);
    }
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::eventGoalStatics().s_guideStep = 0;
}

} // namespace
