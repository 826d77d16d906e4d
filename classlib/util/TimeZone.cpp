#include "classlib/util/TimeZone.h"

#include "classlib/util/CalendarStatics.h"
#include "classlib/util/TimeZoneImpl.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"

namespace lib {

namespace {

constexpr std::int32_t kBuiltInIdTexts[] = {java_util_TimeZone::kGmtText,
                                            java_util_TimeZone::kSecondZoneText};
constexpr std::int32_t kBuiltInCount = static_cast<std::int32_t>(std::size(kBuiltInIdTexts));

rt::ObjectArray* builtInZones() {
    CalendarStatics& statics = calendarStatics();
    if (rt::ObjectArray* zones = publishedIn(statics.m_builtInZones))
        return zones;
    rt::ObjectArray* zones = rt::newObjectArray(kBuiltInCount);
    for (std::int32_t i = 0; i < kBuiltInCount; ++i) {
        rt::String* id = rt::getStaticClass().getConstantString(kBuiltInIdTexts[i]);
        rt::Object* zone = rt::make<java_util_TimeZoneImpl>(0, id);
        zones->elements()[i] = zone;
    }
    return publishOnce(statics.m_builtInZones, zones);
}

} // namespace

java_util_TimeZone* java_util_TimeZone::getDefault() {
    CalendarStatics& statics = calendarStatics();
    if (java_util_TimeZone* zone = publishedIn(statics.m_defaultZone))
        return zone;
    return publishOnce<java_util_TimeZone>(statics.m_defaultZone,
                                           rt::make<java_util_TimeZoneImpl>(0, nullptr));
}

java_util_TimeZone* java_util_TimeZone::getTimeZone(rt::String* id) {
    if (!id)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    rt::ObjectArray* zones = builtInZones();
    for (std::int32_t i = 0; i < kBuiltInCount; ++i) {
        auto* zone = static_cast<java_util_TimeZone*>(zones->elements()[i]);
        if (id->equals(zone->getID()))
            return zone;
    }
    return static_cast<java_util_TimeZone*>(zones->elements()[0]);
}

rt::ObjectArray* java_util_TimeZone::getAvailableIDs() {
    rt::ObjectArray* zones = builtInZones();
    rt::ObjectArray* ids = rt::newObjectArray(kBuiltInCount);
    for (std::int32_t i = 0; i < kBuiltInCount; ++i) {
        auto* zone = static_cast<java_util_TimeZone*>(zones->elements()[i]);
        rt::String* id = zone->getID();
        ids->elements()[i] = id;
    }
    return ids;
}

} // namespace lib
