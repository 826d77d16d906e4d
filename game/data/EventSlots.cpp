#include "game/data/EventSlots.h"

#include "runtime/StaticClass.h"

namespace game {

EventSlotStatics& eventSlotStatics() {
    return rt::getStaticClass().statics<EventSlotStatics>();
}

void initEventSlots() {
    EventSlotStatics& slots = eventSlotStatics();
    slots.s_currentEvent = 0;
    slots.s_eventSlotCount = 1;
    for (rt::ByteArray** table : {&slots.s_eventRaceRow, &slots.s_eventTrack, &slots.s_eventVariant,
                                  &slots.s_eventIcon, &slots.s_eventIcon2, &slots.s_eventType}) {
        if (!*table)
            *table = rt::newByteArray(kEventSlots);
    }
    for (rt::ObjectArray** table : {&slots.s_eventTitle, &slots.s_eventTypeText, &slots.s_eventName}) {
        if (!*table)
            *table = rt::newObjectArray(kEventSlots);
    }
}

} // namespace game
