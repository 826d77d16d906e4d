#pragma once

// `java_util_TimeZoneImpl`: the concrete time zone. A raw offset, an ID, and
// optionally a daylight-saving period bounded by a start rule and an end rule.
//
// A rule names a month and a time of day (milliseconds of standard time for
// the start, of daylight time for the end) and picks the day in one of four
// modes, from the signs of the day and the day of week it is given:
//   day > 0, day of week 0:   that day of the month;
//   day of week > 0:          the day-th such weekday of the month, counted
//                             from the end when day is negative (-1 the last);
//   day > 0, day of week < 0: the first such weekday on or after that day;
//   day < 0, day of week < 0: the last such weekday on or before -day.
// A day of 0 in either rule means the zone has no daylight saving. A start
// month later than the end month makes the period run over the year's end.
//
// Month lengths come from one table of maximum lengths (February 29 days),
// whatever the year.

#include "classlib/ClassLibrary.h"
#include "classlib/util/TimeZone.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_util_TimeZoneImpl final : public java_util_TimeZone {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_TimeZoneImpl;
    static constexpr std::int32_t kDefaultDaylightSavings = 3600000;
    // Constant strings of the messages; each rule's five follow its first in
    // the order month, time, day of week, week, day.
    static constexpr std::int32_t kDaylightSavingsText = rt::constants::kNonPositiveDaylightSavings;
    static constexpr std::int32_t kMonthText = rt::constants::kBadMonth;
    static constexpr std::int32_t kIdSeparatorText = rt::constants::kZoneIdSeparator;
    static constexpr std::int32_t kStartRuleTexts = rt::constants::kStartRuleMessages;
    static constexpr std::int32_t kEndRuleTexts = rt::constants::kEndRuleMessages;

    enum class RuleMode : std::int32_t {
        None = 0,
        DayOfMonth = 1,
        DayOfWeekInMonth = 2,
        DayOfWeekOnOrAfter = 3,
        DayOfWeekOnOrBefore = 4,
    };

    // A zone without daylight saving. A null `id` makes `getID` build the
    // text "<185><sign><hh><186><mm>" from the raw offset.
    java_util_TimeZoneImpl(std::int32_t rawOffset, rt::String* id);
    // Every field zero: raw offset 0, no daylight saving, no ID (`getID` answers null).
    explicit java_util_TimeZoneImpl(NewInstance);
    // A zone with daylight saving of `daylightSavings` ms between the two
    // rules. A rule value out of range raises `IllegalArgumentException`
    // with its constant string and the value; a saving that is not positive
    // raises it with constant string 183.
    java_util_TimeZoneImpl(std::int32_t rawOffset, rt::String* id, std::int32_t startMonth,
                           std::int32_t startDay, std::int32_t startDayOfWeek, std::int32_t startTime,
                           std::int32_t endMonth, std::int32_t endDay, std::int32_t endDayOfWeek,
                           std::int32_t endTime, std::int32_t daylightSavings);

    std::int32_t getOffset(std::int32_t era, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::int32_t dayOfWeek, std::int32_t millisInDay) override;
    // The same with the month's length given: era 0 or 1, 1 <= day <=
    // monthLength, day of week 1..7, 0 <= millisInDay < 86400000 and
    // 28 <= monthLength <= 31, else `IllegalArgumentException`.
    std::int32_t getOffset(std::int32_t era, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::int32_t dayOfWeek, std::int32_t millisInDay, std::int32_t monthLength);
    std::int32_t getRawOffset() override { return m_rawOffset; }
    bool useDaylightTime() override { return m_useDaylight; }
    rt::String* getID() override;

    // The length of `month` (0..11) in the longest year.
    static std::int32_t maximumMonthLength(std::int32_t month);

    RT_REFERENCE_FIELDS(java_util_TimeZoneImpl, java_util_TimeZone, m_id)

private:
    struct Rule {
        std::int32_t month = 0;
        std::int32_t day = 0;
        std::int32_t dayOfWeek = 0;
        std::int32_t time = 0;
        RuleMode mode = RuleMode::None;
    };
    struct Day {
        std::int32_t month;
        std::int32_t monthLength;
        std::int32_t day;
        std::int32_t dayOfWeek;
        std::int64_t millis;
    };

    // Checks a rule and sets its mode; false after raising.
    static bool decodeRule(Rule& rule, std::int32_t firstText);
    // -1, 0 or 1 as `date` lies before, at or after the moment `rule` names in its month.
    static std::int32_t compareToRule(const Day& date, const Rule& rule);

    rt::String* m_id = nullptr;
    std::int32_t m_buildsId = 0;
    std::int32_t m_rawOffset = 0;
    bool m_useDaylight = false;
    Rule m_start;
    Rule m_end;
    std::int32_t m_startYear = 0;
    std::int32_t m_daylightSavings = kDefaultDaylightSavings;
};

} // namespace lib
