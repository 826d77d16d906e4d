// A car's state changes and item charges with their layers, the knock's
// recovery, the push of a contact, the trail ring and the places ahead and
// behind.

#include "game/race/EntityEffects.h"
#include "game/framework/CarFrames.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/RaceEntity.h"
#include "tests/game/race/DrivingFixture.h"

namespace {

using race_testing::DrivingTest;

struct EntityEffectsTest : DrivingTest {
    ~EntityEffectsTest() override { game::stateStatics().s_gameMode = game::GameMode::LapRace; }
};

TEST_F(EntityEffectsTest, SetStateRefusesSwapsOverStrongStatesAndRestoresTheGhostsSpeed) {
    struct Case {
        std::int32_t type;
        game::CarState from, to;
        std::int32_t kmh;
        game::CarState wantState;
        std::int32_t wantKmhAfter; // -1: the top speed
    };
    using enum game::CarState;
    const Case cases[] = {
        {0, Ghost, Swapped, 90, Ghost, 90},     {0, Strike, Hindered, 90, Strike, 90},
        {0, Shield, Swapped, 90, Shield, 90},   {0, NoContact, Swapped, 90, NoContact, 90},
        {0, Ghost, Nitro, 90, Nitro, -1},       {0, Normal, Swapped, 150, Swapped, 150},
        {1, Normal, Swapped, 150, Swapped, 37}, {1, Normal, Swapped, 100, Swapped, 100},
        {1, Normal, Swapped, 300, Swapped, 60},
    };
    for (const Case& c : cases) {
        game::cEntity* car = makeCar(c.type, {0, 120, 240}, 6144);
        car->m_state = c.from;
        car->m_speed = game::kmhToSpeed(c.kmh);
        game::setState(car, c.to, 999);
        SCOPED_TRACE(testing::Message() << c.type << ": " << static_cast<std::int32_t>(c.from) << " -> "
                                        << static_cast<std::int32_t>(c.to) << " at " << c.kmh);
        EXPECT_EQ(car->m_state, c.wantState);
        std::int32_t want = c.wantKmhAfter < 0 ? game::getTopSpeed(car) : game::kmhToSpeed(c.wantKmhAfter);
        if (c.wantKmhAfter == 37)
            want = game::kmhToSpeed(150) >> 2;
        EXPECT_EQ(car->m_speed, want);
    }
}

TEST_F(EntityEffectsTest, ItemChargesRunOutIntoNoItem) {
    game::cEntity* car = makeCar(0, {0, 120}, 6144);
    car->m_itemUses = 2;
    game::giveItem(car, 3);
    EXPECT_EQ(car->m_heldItem, 4);
    EXPECT_EQ(car->m_itemCharges, 2);
    EXPECT_EQ(car->m_itemUses, 0);
    game::useItemCharge(car, true);
    EXPECT_EQ(car->m_heldItem, 4);
    EXPECT_EQ(car->m_itemCooldown, 65536);
    game::useItemCharge(car, true);
    EXPECT_EQ(car->m_heldItem, -1);
    EXPECT_EQ(car->m_itemCooldown, 0);
    // With none left a charge still leaves the car without an item.
    car->m_heldItem = 5;
    game::useItemCharge(car, false);
    EXPECT_EQ(car->m_heldItem, -1);
    game::giveItem(car, 1);
    EXPECT_EQ(car->m_heldItem, -1);

    // The guided race keeps the collected objects on a drop.
    car->m_collected = 4;
    car->m_state = game::CarState::Nitro;
    game::stateStatics().s_gameMode = game::GameMode::Guided;
    game::dropCollected(car);
    EXPECT_EQ(car->m_collected, 4);
    EXPECT_EQ(car->m_state, game::CarState::Normal);
}

// A spent charge with its effect shows the stars on the held item's layer,
// one without a charge left or without the effect does not; a drop of what
// was collected scatters it on the collect layer, unless nothing was
// collected or the guided race keeps it.
TEST_F(EntityEffectsTest, ASpentChargeAndADropPlayTheirLayers) {
    struct Case {
        const char* what;
        void (*act)(game::cEntity*);
        std::int32_t layer;
        bool plays;
    };
    const Case cases[] = {
        {"charge",
         [](game::cEntity* c) {
             c->m_itemCharges = 1;
             game::useItemCharge(c, true);
         },
         game::kHeldItemLayer, true},
        {"charge without effect",
         [](game::cEntity* c) {
             c->m_itemCharges = 1;
             game::useItemCharge(c, false);
         },
         game::kHeldItemLayer, false},
        {"no charge left", [](game::cEntity* c) { game::useItemCharge(c, true); }, game::kHeldItemLayer,
         false},
        {"drop",
         [](game::cEntity* c) {
             c->m_collected = 3;
             game::dropCollected(c);
         },
         game::kCollectLayer, true},
        {"nothing to drop", [](game::cEntity* c) { game::dropCollected(c); }, game::kCollectLayer, false},
        {"guided drop",
         [](game::cEntity* c) {
             c->m_collected = 3;
             game::stateStatics().s_gameMode = game::GameMode::Guided;
             game::dropCollected(c);
         },
         game::kCollectLayer, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        game::cEntity* car = makeCar(0, {0, 120}, 6144);
        game::makeEffectLayers(car);
        c.act(car);
        EXPECT_EQ(game::effectLayerRunning(car, c.layer), c.plays);
        if (c.plays) {
            EXPECT_TRUE(
                c.layer == game::kHeldItemLayer
                    ? game::effectLayerPlays(car, c.layer, game::kStarRingAnim, game::kChargeLayerMode)
                    : game::effectLayerPlays(car, c.layer, game::kCollectDropAnim, game::kDropLayerMode));
        }
    }
}

TEST_F(EntityEffectsTest, AKnockedPlayerSlowsAndRecoversAndAPushSettles) {
    game::cEntity* car = makeCar(0, {0, 120}, 6144);
    car->m_knocked = 1;
    car->m_effectTimer = 300;
    car->m_effect = game::CarEffect::FlaggedSpin;
    car->m_speed = 40000;
    car->m_heading = 100;
    game::updateEffects(car, 200);
    EXPECT_LT(car->m_speed, 40000);
    EXPECT_EQ(car->m_heading, 50);
    game::updateEffects(car, 200);
    EXPECT_EQ(car->m_knocked, 0);
    EXPECT_EQ(car->m_speed, 0);
    EXPECT_EQ(car->m_effect, game::CarEffect::None);

    car->m_pushTimer = -3;
    for (int i = 0; i < 5; ++i)
        game::updateEffects(car, 100);
    EXPECT_EQ(car->m_lateral, -15);
    EXPECT_EQ(car->m_pushTimer, 0);
}

TEST_F(EntityEffectsTest, TheTrailIsARingOfEight) {
    game::cEntity* car = makeCar(0, {0, 120}, 6144);
    const std::int32_t every = game::drivingStatics().s_trailInterval;
    for (int i = 0; i < 10; ++i) {
        car->m_segmentPos = i;
        game::emitTrail(car, every, true);
    }
    const game::DrivingStatics& d = game::drivingStatics();
    EXPECT_EQ(d.s_trailCount, 8);
    EXPECT_EQ(d.s_trailHead, 2);
    EXPECT_EQ(rt::IntArray::get(d.s_trail, 1), 8); // slot 0 laid again by the ninth
    game::emitTrail(car, every, false);
    EXPECT_EQ(d.s_trailCount, 7);
    game::emitTrail(car, every - 1, true); // not yet an interval
    EXPECT_EQ(d.s_trailCount, 7);
    game::clearTrail();
    EXPECT_EQ(d.s_trailCount, 0);
    EXPECT_EQ(rt::IntArray::get(d.s_trail, 1), 0);
}

TEST_F(EntityEffectsTest, CountingDownStopsAtZeroAndLeavesValuesBelowOne) {
    EXPECT_EQ(game::countDown(0, 50), 0);
    EXPECT_EQ(game::countDown(-5, 50), -5);
    EXPECT_EQ(game::countDown(30, 50), 0);
    EXPECT_EQ(game::countDown(80, 50), 30);
}

} // namespace
