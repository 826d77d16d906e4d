// The race entity: its made state and the references the collector follows.

#include "game/race/cEntity.h"
#include "runtime/ObjectManager.h"
#include "tests/game/race/RaceDataFixture.h"

namespace {

using race_testing::RaceDataTest;

TEST_F(RaceDataTest, AnEntityWithATypeHasItsPairAndNoIndexes) {
    game::cEntity* car = game::cEntity::cEntityWithType(1);
    EXPECT_EQ(car->classId(), rt::ClassId::cEntity);
    EXPECT_EQ(car->m_type, 1);
    ASSERT_NE(car->m_pair, nullptr);
    EXPECT_EQ(car->m_pair->length(), 2);
    for (std::int32_t index : {car->m_itemSlot, car->m_aiMode, car->m_heldItem, car->m_targetRacer,
                               car->m_laneTarget, car->m_targetIndex, car->m_offeredItem})
        EXPECT_EQ(index, -1);
    EXPECT_EQ(car->m_collected, 0);
    EXPECT_EQ(car->m_insideLine, 0);
    EXPECT_EQ(car->m_widthProfile, nullptr);
    EXPECT_EQ(game::cEntity::cEntityWithType()->m_type, -1);
}

[[gnu::noinline]] void fillReferences(game::cEntity* car) {
    car->m_widthProfile = rt::newIntArray(12);
    car->m_stats = rt::newIntArray(3);
    car->m_gearTable = rt::newIntArray(3);
    for (rt::Object*& player : car->m_layerPlayers)
        player = rt::newIntArray(1);
    car->m_name = rt::String::newFromCString("Rhea");
    car->m_routeBlocker = game::cEntity::cEntityWithType(1);
}

TEST_F(RaceDataTest, TheCollectorFollowsEveryReferenceOfAnEntity) {
    rt::Handle<game::cEntity> car(runtime.objectManager(), game::cEntity::cEntityWithType(0));
    fillReferences(car.get());
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure);
    std::vector<rt::Object*> referenced = {car->m_widthProfile, car->m_stats, car->m_gearTable,
                                           car->m_pair,         car->m_name,  car->m_routeBlocker};
    referenced.insert(referenced.end(), std::begin(car->m_layerPlayers), std::end(car->m_layerPlayers));
    ASSERT_EQ(referenced.size(), 13u);
    for (rt::Object* object : referenced) {
        ASSERT_NE(object, nullptr);
        EXPECT_FALSE(object->isFreed());
    }
}

} // namespace
