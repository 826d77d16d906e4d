#include "classlib/util/Date.h"

#include "classlib/lang/StringBuffer.h"
#include "classlib/util/Calendar.h"
#include "classlib/util/TimeZone.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"

#include <limits>
#include <string>

namespace lib {

namespace {

void appendTwoDigits(StringBuffer* text, std::int32_t value) {
    if (value < 10)
        text->append(u'0');
    text->append(value);
}

} // namespace

std::int64_t currentTickMillis() {
    rt::ThreadTable* threads = rt::Runtime::current().threadTable();
    return threads ? static_cast<std::int64_t>(threads->clock().tickCount()) : 0;
}

std::int64_t saturatingTimeSum(std::int64_t time, std::int64_t delta) {
    std::int64_t sum;
    if (__builtin_add_overflow(time, delta, &sum))
        return delta > 0 ? std::numeric_limits<std::int64_t>::max()
                         : std::numeric_limits<std::int64_t>::min();
    return sum;
}

java_util_Date::java_util_Date()
    : java_util_Date(currentTickMillis()) {
}

java_util_Date::java_util_Date(std::int64_t time)
    : Object(kClassId)
    , m_time(time) {
    m_calendar = java_util_Calendar::getInstance();
    rt::MonitorScope lock(m_calendar);
    loadCalendar(time);
}

java_util_Date::java_util_Date(NewInstance)
    : Object(kClassId) {
}

void java_util_Date::setTime(std::int64_t time) {
    m_time = time;
    if (!m_calendar)
        return;
    rt::MonitorScope lock(m_calendar);
    loadCalendar(time);
}

void java_util_Date::loadCalendar(std::int64_t time) {
    m_calendar->setTimeInMillis(time);
}

bool java_util_Date::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) && static_cast<java_util_Date*>(other)->getTime() == m_time;
}

std::int32_t java_util_Date::hashCode() {
    auto bits = static_cast<std::uint64_t>(m_time);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32) ^
                                     static_cast<std::uint32_t>(bits));
}

rt::String* java_util_Date::toString() {
    rt::StaticClass& constants = rt::getStaticClass();
    if (!m_calendar)
        return constants.getConstantString(kNoCalendarText);
    std::int32_t dayOfWeek, month, day, hour, minute, second, year;
    java_util_TimeZone* zone;
    {
        rt::MonitorScope lock(m_calendar);
        loadCalendar(m_time);
        dayOfWeek = m_calendar->get(java_util_Calendar::DAY_OF_WEEK);
        month = m_calendar->get(java_util_Calendar::MONTH);
        day = m_calendar->get(java_util_Calendar::DATE);
        hour = m_calendar->get(java_util_Calendar::HOUR_OF_DAY);
        minute = m_calendar->get(java_util_Calendar::MINUTE);
        second = m_calendar->get(java_util_Calendar::SECOND);
        year = m_calendar->get(java_util_Calendar::YEAR);
        zone = m_calendar->zone();
    }
    rt::String* id = zone->getID();
    if (!id)
        id = constants.getConstantString(kNoIdText);
    std::int32_t idLength = id ? id->length() : 0;
    std::string yearText = std::to_string(year);

    StringBuffer* text = rt::make<StringBuffer>(static_cast<std::int32_t>(yearText.size()) + idLength + 25);
    text->append(constants.getConstantString(kDayNameTexts + dayOfWeek - 1));
    text->append(u' ');
    text->append(constants.getConstantString(kMonthNameTexts + month));
    text->append(u' ');
    appendTwoDigits(text, day);
    text->append(u' ');
    appendTwoDigits(text, hour);
    text->append(u':');
    appendTwoDigits(text, minute);
    text->append(u':');
    appendTwoDigits(text, second);
    text->append(u' ');
    if (idLength > 0) {
        text->append(id);
        text->append(u' ');
    }
    if (year >= 0 && year < 1000) {
        for (auto digits = yearText.size(); digits < 4; ++digits)
            text->append(u'0');
    }
    text->append(year);
    return text->toString();
}

} // namespace lib
