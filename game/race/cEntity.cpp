#include "game/race/cEntity.h"

#include "game/race/RaceEntity.h"
#include "runtime/Runtime.h"

namespace game {

cEntity* cEntity::cEntityWithType(std::int32_t type) {
    cEntity* entity = rt::make<cEntity>();
    entity->m_type = type;
    entity->m_pair = rt::newIntArray(2);
    // The index fields whose 0 would name a real slot, racer or item.
    entity->m_itemSlot = -1;
    entity->m_aiMode = -1;
    entity->m_heldItem = -1;
    entity->m_targetRacer = -1;
    entity->m_laneTarget = -1;
    entity->m_targetIndex = -1;
    entity->m_offeredItem = -1;
    entity->m_nextItem = -1;
    entity->m_routeStart = -1;
    entity->m_routeMode = -1;
    return entity;
}

void cEntity::update(std::int32_t dt) {
    updateRaceEntity(this, dt);
}

} // namespace game
