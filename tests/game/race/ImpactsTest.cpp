// Impacts as one table of flags, car and speed to the fields they change,
// the lighter car giving way in a side contact, and the contact test of
// two cars' footprints: just touching, just apart, turned, too high.

#include "game/race/Impacts.h"
#include "game/race/RaceKernel.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/race/OpponentsFixture.h"

namespace {

using game::kmhToSpeed;
using race_testing::OpponentsTest;

struct ImpactsTest : OpponentsTest {
    ImpactsTest() { ring(40, 3); }
};

TEST_F(ImpactsTest, FlagsChooseOneEffectInAFixedOrderAndTheCrashAddsOnTop) {
    struct Case {
        const char* what;
        std::int32_t type;
        game::ImpactFlag flags;
        std::int32_t kmh, speedArg;
        bool knocked;
        game::CarEffect effect;
        std::int32_t effectTimer, kmhAfter, lateralAfter;
    };
    const std::int32_t impact = 3276, crash = 4096;
    using enum game::ImpactFlag;
    constexpr game::CarEffect none = game::CarEffect::None;
    const Case cases[] = {
        {"bump slows by a 25th", 1, Bump, 100, 0, false, none, impact, -1, 0},
        {"a side contact and a bump act as the bump", 0, FromLeft | Bump, 100, 0, false, none, impact, -1, 0},
        {"the crash adds to the bump", 1, Crash | Bump, 100, 0, true, none, crash, -1, 0},
        {"the crash alone", 0, Crash, 100, 0, true, none, crash, 100, 0},
        {"box on the left", 1, BoxLeft, 100, 0, false, none, impact, -1, 0},
        {"player pushed right from the left", 0, FromLeft, 100, 0, false, none, impact, 100, 200},
        {"player pushed left from the right", 0, FromRight, 100, 0, false, none, impact, 100, -200},
        {"weave: the full effect time", 1, Weave, 100, 0, false, game::CarEffect::Weave, 32768, 100, 0},
        {"shake: an eighth", 1, Shake, 100, 0, false, game::CarEffect::Shake, 4096, 100, 0},
        {"flagged spin: the long time", 1, FlaggedSpin, 100, 0, false, game::CarEffect::FlaggedSpin, 16384,
         100, 0},
        {"knock-out at 80 keeps the speed", 1, KnockOut, 80, 80, false, game::CarEffect::KnockOut, impact, 80,
         0},
        {"knock-out at 90 halves", 1, KnockOut, 90, 90, false, game::CarEffect::KnockOut, impact, 45, 0},
        {"knock-out at 200 halves", 0, KnockOut, 200, 200, false, game::CarEffect::KnockOut, impact, 100, 0},
        {"a computer car struck at 0 stops", 1, KnockOut, 150, 0, false, game::CarEffect::KnockOut, impact, 0,
         0},
        {"the player struck at 0 still halves", 0, KnockOut, 150, 0, false, game::CarEffect::KnockOut, impact,
         75, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::cEntity* car = makeCar(c.type, {0, 100, 200}, 4096);
        car->m_speed = car->m_maxSpeed = kmhToSpeed(c.kmh);
        car->m_heldItem = 3;
        car->m_itemCharges = 1;
        game::applyImpact(car, c.flags, kmhToSpeed(c.speedArg), nullptr);
        EXPECT_EQ(car->m_knocked, c.knocked ? 1 : 0);
        EXPECT_EQ(car->m_spinning, 1);
        EXPECT_EQ(car->m_effect, c.effect);
        EXPECT_EQ(car->m_effectTimer, c.effectTimer);
        const std::int32_t before = kmhToSpeed(c.kmh);
        EXPECT_EQ(car->m_speed, c.kmhAfter < 0 ? before - before / 25 : kmhToSpeed(c.kmhAfter));
        EXPECT_EQ(car->m_lateral, c.lateralAfter);
        // A knock-out drops the held item.
        EXPECT_EQ(car->m_heldItem, c.effect == game::CarEffect::KnockOut ? -1 : 3);
    }
}

TEST_F(ImpactsTest, TheEffectTimesAreTheirMillisecondsInFixedPoint) {
    const game::ImpactStatics& s = game::impactStatics();
    struct Case {
        const char* what;
        std::int32_t value, ms, fixed;
    };
    for (const Case& c : {Case{"crash", s.s_crashTime, 1000, 4096}, Case{"impact", s.s_impactTime, 800, 3276},
                          Case{"effect", s.s_effectTime, 8000, 32768},
                          Case{"long effect", s.s_longEffectTime, 4000, 16384}}) {
        EXPECT_EQ(c.value, c.fixed) << c.what;
        EXPECT_EQ(game::msToTime(c.ms), c.fixed) << c.what;
    }
}

// A crash of the player's car restarts both crash animations; a computer
// car's crash, or another impact, leaves them.
TEST_F(ImpactsTest, ThePlayersCrashRestartsTheCrashAnimations) {
    struct Case {
        const char* what;
        std::int32_t type;
        game::ImpactFlag flags;
        bool restarted;
    };
    using enum game::ImpactFlag;
    for (const Case& c :
         {Case{"the player's crash", 0, Crash, true}, Case{"a computer car's crash", 1, Crash, false},
          Case{"the player bumped", 0, Bump, false}}) {
        SCOPED_TRACE(c.what);
        game::impactStatics().s_crashAnims = rt::newObjectArray(2);
        for (std::int32_t i = 0; i < 2; ++i) {
            auto* anim = rt::make<game::ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
            anim->start(53, i, 4096, 0);
            anim->update(500);
            anim->stop();
            rt::ObjectArray::set(game::impactStatics().s_crashAnims, i, anim);
        }
        game::cEntity* car = makeCar(c.type, {0, 100}, 4096);
        game::applyImpact(car, c.flags, car->m_speed, nullptr);
        for (std::int32_t i = 0; i < 2; ++i) {
            const auto* anim = static_cast<const game::ZoomedAnimPlayer*>(
                rt::ObjectArray::get(game::impactStatics().s_crashAnims, i));
            EXPECT_EQ(anim->m_stopped, c.restarted ? 0 : 1) << i;
        }
    }
    game::impactStatics().s_crashAnims = nullptr;
}

TEST_F(ImpactsTest, AKnockedCarIgnoresEveryImpact) {
    using enum game::ImpactFlag;
    for (game::ImpactFlag flags : {Side, FromLeft, Crash, Bump, BoxLeft, Weave, KnockOut}) {
        game::cEntity* car = makeCar(1, {0, 100}, 4096);
        car->m_knocked = 1;
        car->m_speed = kmhToSpeed(100);
        game::applyImpact(car, flags, car->m_speed, nullptr);
        SCOPED_TRACE(static_cast<std::int32_t>(flags));
        EXPECT_EQ(car->m_spinning, 0);
        EXPECT_EQ(car->m_effectTimer, 0);
        EXPECT_EQ(car->m_speed, kmhToSpeed(100));
    }
}

TEST_F(ImpactsTest, TheLighterCarGivesWayInASideContact) {
    struct Case {
        std::int32_t struckWeight, otherWeight;
        game::ImpactFlag flags;
        std::int32_t struckLateral, otherLateral, lean;
    };
    using enum game::ImpactFlag;
    for (const Case c : {Case{10, 10, FromLeft, 0, -100, 10}, Case{10, 9, FromRight, 0, 100, -10},
                         Case{10, 11, FromLeft, 100, 0, 10}, Case{10, 11, FromRight, -100, 0, -10}}) {
        game::cEntity* struck = makeCar(0, {0, 100}, 4096);
        game::cEntity* other = makeCar(1, {0, 100}, 4096);
        struck->m_defValues[3] = c.struckWeight;
        other->m_defValues[3] = c.otherWeight;
        game::applyImpact(struck, c.flags, 0, other);
        EXPECT_EQ(struck->m_lateral, c.struckLateral);
        EXPECT_EQ(other->m_lateral, c.otherLateral);
        EXPECT_EQ(struck->m_lean, c.lean);
    }
}

TEST_F(ImpactsTest, FootprintsMeetWhenTheyTouchAndNotWhenApart) {
    // Half-width 150, length 400 (half-length 200).
    auto car = [&](std::int32_t segment, std::int32_t position, std::int32_t lateral, std::int32_t heading,
                   std::int32_t height) {
        game::cEntity* c = makeCar(1, {0, 100}, 4096);
        rt::IntArray::set(c->m_widthProfile, 11, 400);
        c->m_segment = segment;
        c->m_segmentPos = position;
        c->m_lateral = lateral;
        c->m_smoothHeading = heading;
        c->m_height = height;
        return c;
    };
    struct Case {
        const char* what;
        std::int32_t segment, position, lateral, heading, height;
        bool contact, alongside;
        std::int32_t aSegment = 5, aPosition = 512;
    };
    const Case cases[] = {
        {"side by side touching", 5, 512, 300, 0, 0, true, true},
        {"side by side just apart", 5, 512, 301, 0, 0, false, false},
        {"nose to tail touching", 5, 912, 0, 0, 0, true, false},
        {"nose to tail just apart", 5, 913, 0, 0, 0, false, false},
        {"across the segment end", 6, 0, 0, 0, 0, true, false, 5, 700},
        {"height 100 apart", 5, 512, 100, 0, 100, true, true},
        {"height 101 apart", 5, 512, 100, 0, 101, false, false},
        // Turned 90 degrees, b lies across the road: its half-length now
        // reaches sideways, 200 + 150.
        {"turned footprint touching", 5, 512, 350, 512, 0, true, true},
        {"turned footprint apart", 5, 512, 351, 512, 0, false, false},
        // Turned 45 degrees the corner reaches (150 + 200) / sqrt 2 = 247.
        {"turned 45 degrees, corner inside", 5, 512, 150 + 240, 256, 0, true, true},
        {"turned 45 degrees, corner outside", 5, 512, 150 + 250, 256, 0, false, false},
        {"three segments away", 8, 512, 0, 0, 0, false, false},
        {"across the ring's wrap", 39, 1000, 0, 0, 0, true, false, 0, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::cEntity* a = car(c.aSegment, c.aPosition, 0, 0, 0);
        game::cEntity* b = car(c.segment, c.position, c.lateral, c.heading, c.height);
        EXPECT_EQ(game::checkEntityContact(a, b, false), c.contact);
        EXPECT_EQ(game::checkEntityContact(b, a, false), c.contact);
        EXPECT_EQ(game::checkEntityContact(a, b, true), c.alongside);
    }
}

TEST_F(ImpactsTest, ASideContactAnswersBySideAndMove) {
    auto cars = field({{1, 5, 512, 0}, {1, 5, 512, 200}}, 1);
    game::cEntity* a = cars[0];
    game::cEntity* b = cars[1];
    b->m_prevLateral = 250; // moved left
    EXPECT_EQ(game::testSideContact(a, b), 1);
    b->m_prevLateral = 150; // moved right
    EXPECT_EQ(game::testSideContact(a, b), 0);
    b->m_prevLateral = 200; // still, right of a, same flags
    EXPECT_EQ(game::testSideContact(a, b), 1);
    a->m_contactFlag = 1;
    EXPECT_EQ(game::testSideContact(a, b), 0);
    b->m_lateral = b->m_prevLateral = 400;
    EXPECT_EQ(game::testSideContact(a, b), -1);
}

} // namespace
