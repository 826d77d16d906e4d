#include "classlib/util/TimeZoneImpl.h"

#include "classlib/lang/StringBuffer.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"

#include <array>
#include <cstdlib>

namespace lib {

namespace {

constexpr std::array<std::int32_t, 12> kMaximumMonthLength = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

rt::String* constantString(std::int32_t index) {
    return rt::getStaticClass().getConstantString(index);
}

// Raises `IllegalArgumentException` with a constant string followed by a number.
void raiseWithValue(std::int32_t text, std::int32_t value) {
    StringBuffer* message = rt::make<StringBuffer>(16);
    message->append(constantString(text));
    message->append(value);
    rt::raise(rt::ClassId::java_lang_IllegalArgumentException, message->toString());
}

std::int32_t mod7(std::int32_t value) {
    std::int32_t rest = value % 7;
    return rest < 0 ? rest + 7 : rest;
}

void appendTwoDigitsOfLong(StringBuffer* text, std::int64_t value) {
    if (value < 10)
        text->append(u'0');
    text->append(value);
}

} // namespace

java_util_TimeZoneImpl::java_util_TimeZoneImpl(std::int32_t rawOffset, rt::String* id)
    : java_util_TimeZone(kClassId)
    , m_id(id)
    , m_buildsId(id == nullptr ? 1 : 0)
    , m_rawOffset(rawOffset) {
}

java_util_TimeZoneImpl::java_util_TimeZoneImpl(NewInstance)
    : java_util_TimeZone(kClassId)
    , m_daylightSavings(0) {
}

java_util_TimeZoneImpl::java_util_TimeZoneImpl(std::int32_t rawOffset, rt::String* id,
                                               std::int32_t startMonth, std::int32_t startDay,
                                               std::int32_t startDayOfWeek, std::int32_t startTime,
                                               std::int32_t endMonth, std::int32_t endDay,
                                               std::int32_t endDayOfWeek, std::int32_t endTime,
                                               std::int32_t daylightSavings)
    : java_util_TimeZoneImpl(rawOffset, id) {
    m_start = Rule{startMonth, startDay, startDayOfWeek, startTime};
    m_end = Rule{endMonth, endDay, endDayOfWeek, endTime};
    m_daylightSavings = daylightSavings;
    // Either rule's day 0 switches daylight saving off, and that rule is not checked.
    m_useDaylight = startDay != 0 && endDay != 0;
    if (startDay != 0 && !decodeRule(m_start, kStartRuleTexts))
        return;
    if (endDay != 0 && !decodeRule(m_end, kEndRuleTexts))
        return;
    if (daylightSavings <= 0)
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException, constantString(kDaylightSavingsText));
}

std::int32_t java_util_TimeZoneImpl::maximumMonthLength(std::int32_t month) {
    return kMaximumMonthLength[static_cast<std::size_t>(month)];
}

bool java_util_TimeZoneImpl::decodeRule(Rule& rule, std::int32_t firstText) {
    if (rule.month < 0 || rule.month > 11) {
        raiseWithValue(firstText, rule.month);
        return false;
    }
    if (rule.time < 0 || rule.time > kMillisPerDay) {
        raiseWithValue(firstText + 1, rule.time);
        return false;
    }
    if (rule.dayOfWeek == 0) {
        rule.mode = RuleMode::DayOfMonth;
    } else {
        if (rule.dayOfWeek > 0) {
            rule.mode = RuleMode::DayOfWeekInMonth;
        } else {
            rule.dayOfWeek = -rule.dayOfWeek;
            if (rule.day > 0) {
                rule.mode = RuleMode::DayOfWeekOnOrAfter;
            } else {
                rule.day = -rule.day;
                rule.mode = RuleMode::DayOfWeekOnOrBefore;
            }
        }
        if (rule.dayOfWeek > 7) {
            raiseWithValue(firstText + 2, rule.dayOfWeek);
            return false;
        }
    }
    if (rule.mode == RuleMode::DayOfWeekInMonth) {
        if (rule.day < -5 || rule.day > 5) {
            raiseWithValue(firstText + 3, rule.day);
            return false;
        }
    } else if (rule.day < 1 || rule.day > maximumMonthLength(rule.month)) {
        raiseWithValue(firstText + 4, rule.day);
        return false;
    }
    return true;
}

std::int32_t java_util_TimeZoneImpl::getOffset(std::int32_t era, std::int32_t year, std::int32_t month,
                                               std::int32_t day, std::int32_t dayOfWeek,
                                               std::int32_t millisInDay) {
    if (month < 0 || month > 11) {
        raiseWithValue(kMonthText, month);
        return 0;
    }
    return getOffset(era, year, month, day, dayOfWeek, millisInDay, maximumMonthLength(month));
}

std::int32_t java_util_TimeZoneImpl::getOffset(std::int32_t era, std::int32_t year, std::int32_t month,
                                               std::int32_t day, std::int32_t dayOfWeek,
                                               std::int32_t millisInDay, std::int32_t monthLength) {
    if ((era != 0 && era != 1) || month < 0 || month > 11 || day < 1 || day > monthLength || dayOfWeek < 1 ||
        dayOfWeek > 7 || millisInDay < 0 || millisInDay >= kMillisPerDay || monthLength < 28 ||
        monthLength > 31)
        return rt::raise(rt::ClassId::java_lang_IllegalArgumentException);

    if (!m_useDaylight || year < m_startYear || era != 1)
        return m_rawOffset;
    Day date{month, monthLength, day, dayOfWeek, millisInDay};
    bool southern = m_start.month > m_end.month;
    std::int32_t startCompare = compareToRule(date, m_start);
    std::int32_t endCompare = 0;
    if (southern != (startCompare >= 0)) {
        // The end rule's time is daylight time: compare the daylight time of
        // the moment, carried into the next day when it passes midnight. A
        // carry out of December counts as a month after every rule's.
        Day daylight = date;
        daylight.millis += m_daylightSavings;
        while (daylight.millis >= kMillisPerDay && daylight.month < 12) {
            daylight.millis -= kMillisPerDay;
            daylight.dayOfWeek = daylight.dayOfWeek % 7 + 1;
            if (++daylight.day > daylight.monthLength) {
                daylight.day = 1;
                ++daylight.month;
                if (daylight.month < 12)
                    daylight.monthLength = maximumMonthLength(daylight.month);
            }
        }
        endCompare = compareToRule(daylight, m_end);
    }
    bool inDaylight =
        southern ? (startCompare >= 0 || endCompare < 0) : (startCompare >= 0 && endCompare < 0);
    return inDaylight ? m_rawOffset + m_daylightSavings : m_rawOffset;
}

std::int32_t java_util_TimeZoneImpl::compareToRule(const Day& date, const Rule& rule) {
    if (date.month != rule.month)
        return date.month < rule.month ? -1 : 1;
    std::int32_t ruleDay = 0;
    switch (rule.mode) {
    case RuleMode::DayOfMonth:
        ruleDay = rule.day;
        break;
    case RuleMode::DayOfWeekInMonth:
        if (rule.day > 0)
            ruleDay = 1 + (rule.day - 1) * 7 + mod7(rule.dayOfWeek - date.dayOfWeek + date.day + 6);
        else
            ruleDay = date.monthLength + (rule.day + 1) * 7 -
                      mod7(date.monthLength - date.day + date.dayOfWeek - rule.dayOfWeek + 7);
        break;
    case RuleMode::DayOfWeekOnOrAfter:
        ruleDay = rule.day + mod7(49 + rule.dayOfWeek - rule.day - date.dayOfWeek + date.day);
        break;
    case RuleMode::DayOfWeekOnOrBefore:
        ruleDay = rule.day - mod7(49 - rule.dayOfWeek + rule.day + date.dayOfWeek - date.day);
        break;
    case RuleMode::None:
        break;
    }
    if (date.day != ruleDay)
        return date.day < ruleDay ? -1 : 1;
    if (date.millis != rule.time)
        return date.millis < rule.time ? -1 : 1;
    return 0;
}

rt::String* java_util_TimeZoneImpl::getID() {
    if (m_buildsId == 0)
        return m_id;
    StringBuffer* text = rt::make<StringBuffer>(9);
    text->append(constantString(kGmtText));
    std::int32_t offset = getRawOffset();
    text->append(offset < 0 ? u'-' : u'+');
    std::int64_t minutes = std::llabs(static_cast<std::int64_t>(offset)) / 60000;
    appendTwoDigitsOfLong(text, minutes / 60);
    text->append(constantString(kIdSeparatorText));
    appendTwoDigitsOfLong(text, minutes % 60);
    return text->toString();
}

} // namespace lib
