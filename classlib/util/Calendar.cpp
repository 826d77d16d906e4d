#include "classlib/util/Calendar.h"

#include "classlib/util/CalendarStatics.h"
#include "classlib/util/Date.h"
#include "classlib/util/TimeZone.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/checks.h"

#include <array>

namespace lib {

namespace {

// The day of the year on which each month starts.
constexpr std::array<std::int32_t, 12> kMonthStart = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr std::array<std::int32_t, 12> kLeapMonthStart = {0,   31,  60,  91,  121, 152,
                                                          182, 213, 244, 274, 305, 335};

constexpr std::uint32_t kHourShift = 22;
constexpr std::uint32_t kHourBits = 0x3FF;

// Division and remainder rounded toward minus infinity (b > 0).
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t quotient = a / b;
    return a % b < 0 ? quotient - 1 : quotient;
}
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    std::int64_t rest = a % b;
    return rest < 0 ? rest + b : rest;
}

bool isLeapYear(std::int64_t year, bool gregorian) {
    if (year % 4 != 0)
        return false;
    return !gregorian || year % 100 != 0 || year % 400 == 0;
}

// The Julian day number of a date in the Julian or the Gregorian calendar;
// a month above 11 counts into the following years.
std::int64_t julianDay(bool gregorian, std::int64_t year, std::int32_t month, std::int32_t day) {
    year += month / 12;
    month %= 12;
    std::int64_t before = year - 1;
    std::int64_t jd = 365 * before + floorDiv(before, 4) + 1721423;
    if (gregorian)
        jd += floorDiv(before, 400) - floorDiv(before, 100) + 2;
    const auto& starts = isLeapYear(year, gregorian) ? kLeapMonthStart : kMonthStart;
    return jd + starts[static_cast<std::size_t>(month)] + day;
}

struct DateFields {
    std::int64_t year;
    std::int32_t month;
    std::int32_t day;
    std::int32_t dayOfWeek;
};

// The date of the local time `local` (ms since 1970-01-01 00:00 local).
DateFields dateFieldsOf(std::int64_t local) {
    std::int64_t days = floorDiv(local, kMillisPerDay);
    std::int64_t year;
    std::int64_t dayOfYear;
    bool leap;
    if (local < java_util_Calendar::kGregorianChange) {
        // Days since 0001-01-01 of the Julian calendar.
        std::int64_t d = days + 719164;
        year = floorDiv(4 * (d + 366), 1461);
        dayOfYear = d - 365 * year - floorDiv(year - 1, 4) + 365;
        leap = isLeapYear(year, false);
    } else {
        // Days since 0001-01-01 of the proleptic Gregorian calendar, taken
        // apart into cycles of 400, 100, 4 and 1 years.
        std::int64_t d = days + 719162;
        std::int64_t cycles400 = floorDiv(d, 146097);
        std::int64_t rest = floorMod(d, 146097);
        std::int64_t cycles100 = rest / 36524;
        rest %= 36524;
        std::int64_t cycles4 = rest / 1461;
        rest %= 1461;
        std::int64_t years = rest / 365;
        rest %= 365;
        year = 400 * cycles400 + 100 * cycles100 + 4 * cycles4 + years;
        if (cycles100 == 4 || years == 4) {
            // The last day of a leap year, which the divisions count as a next year's first.
            dayOfYear = 365;
        } else {
            year += 1;
            dayOfYear = rest;
        }
        leap = isLeapYear(year, true);
    }
    std::int64_t correction = dayOfYear < (leap ? 60 : 59) ? 0 : (leap ? 1 : 2);
    auto month = static_cast<std::int32_t>((12 * (dayOfYear + correction) + 6) / 367);
    const auto& starts = leap ? kLeapMonthStart : kMonthStart;
    auto day = static_cast<std::int32_t>(dayOfYear - starts[static_cast<std::size_t>(month)] + 1);
    // 1970-01-01 was a Thursday (5).
    auto dayOfWeek = static_cast<std::int32_t>(floorMod(days + 4, 7) + 1);
    return DateFields{year, month, day, dayOfWeek};
}

java_util_Calendar* sharedCalendar() {
    CalendarStatics& statics = calendarStatics();
    if (java_util_Calendar* calendar = publishedIn(statics.m_sharedCalendar))
        return calendar;
    return publishOnce(statics.m_sharedCalendar, rt::make<java_util_Calendar>());
}

} // namespace

java_util_Calendar::java_util_Calendar()
    : Object(kClassId) {
    m_zone = java_util_TimeZone::getDefault();
    m_time = getWallClockMillis();
    m_timeValid = 1;
    computeFields();
}

java_util_Calendar::java_util_Calendar(NewInstance)
    : Object(kClassId) {
}

java_util_TimeZone* java_util_Calendar::zone() {
    if (!m_zone)
        m_zone = java_util_TimeZone::getDefault();
    return m_zone;
}

java_util_Calendar* java_util_Calendar::getInstance() {
    return sharedCalendar();
}

java_util_Calendar* java_util_Calendar::getInstance(java_util_TimeZone* zone) {
    java_util_Calendar* calendar = sharedCalendar();
    if (!zone) {
        rt::reportNullPointer();
        return calendar;
    }
    calendar->m_zone = zone;
    calendar->ensureTime();
    calendar->computeFields();
    return calendar;
}

std::int64_t java_util_Calendar::getWallClockMillis() {
    rt::ThreadTable* threads = rt::Runtime::current().threadTable();
    return threads ? threads->clock().wallClockSeconds() * 1000 : 0;
}

std::int32_t java_util_Calendar::hourOfDay() const {
    return m_timeWord >> kHourShift;
}

void java_util_Calendar::setHourOfDay(std::int32_t hour) {
    auto word = static_cast<std::uint32_t>(m_timeWord);
    word =
        (word & ~(kHourBits << kHourShift)) | ((static_cast<std::uint32_t>(hour) & kHourBits) << kHourShift);
    m_timeWord = static_cast<std::int32_t>(word);
}

std::int32_t java_util_Calendar::get(std::int32_t field) {
    switch (field) {
    case YEAR:
        return m_dateWord >> 9;
    case MONTH:
        return (m_dateWord >> 5) & 15;
    case DATE:
        return m_dateWord & 31;
    case DAY_OF_WEEK:
        if (m_dayOfWeek == 0) {
            ensureTime();
            computeFields();
        }
        return m_dayOfWeek;
    case AM_PM:
        return hourOfDay() >= 12 ? 1 : 0;
    case HOUR: {
        std::int32_t hour = hourOfDay() % 12;
        return hour == 0 ? 12 : hour;
    }
    case HOUR_OF_DAY:
        return hourOfDay();
    case MINUTE:
        return (m_timeWord >> 16) & 63;
    case SECOND:
        return (m_timeWord >> 10) & 63;
    case MILLISECOND:
        return m_timeWord & 1023;
    default:
        return rt::raise(rt::ClassId::java_lang_ArrayIndexOutOfBoundsException);
    }
}

void java_util_Calendar::set(std::int32_t field, std::int32_t value) {
    // Replaces the bits of `mask << shift` in `word` by `value`'s low bits.
    auto put = [](std::int32_t& word, std::uint32_t shift, std::uint32_t mask, std::int32_t value) {
        auto bits = static_cast<std::uint32_t>(word) & ~(mask << shift);
        word = static_cast<std::int32_t>(bits | ((static_cast<std::uint32_t>(value) & mask) << shift));
    };
    switch (field) {
    case YEAR:
    case MONTH:
    case DATE:
    case AM_PM:
    case HOUR:
    case HOUR_OF_DAY:
    case MINUTE:
    case SECOND:
    case MILLISECOND:
        break;
    default:
        rt::raise(rt::ClassId::java_lang_ArrayIndexOutOfBoundsException);
        return;
    }
    m_timeValid = 0;
    m_dayOfWeek = 0;
    m_fieldsValid = 0;
    switch (field) {
    case YEAR:
        put(m_dateWord, 9, 0x7FFFFF, value);
        break;
    case MONTH:
        put(m_dateWord, 5, 15, value);
        break;
    case DATE:
        put(m_dateWord, 0, 31, value);
        break;
    case MINUTE:
        put(m_timeWord, 16, 63, value);
        break;
    case SECOND:
        put(m_timeWord, 10, 63, value);
        break;
    case MILLISECOND:
        put(m_timeWord, 0, 1023, value);
        break;
    case HOUR_OF_DAY:
        setHourOfDay(value % 24);
        m_pendingHour12 = -1;
        m_pendingAmPm = -1;
        break;
    case HOUR: {
        std::int32_t hour = value < 12 ? value : 12;
        if (m_pendingAmPm == -1) {
            setHourOfDay(hour);
            m_pendingHour12 = hour;
            break;
        }
        if (m_pendingAmPm != 0)
            setHourOfDay(hour == 12 ? 12 : hour + 12);
        else
            setHourOfDay(hour == 12 ? 0 : hour);
        m_pendingHour12 = -1;
        m_pendingAmPm = -1;
        break;
    }
    case AM_PM: {
        if (m_pendingHour12 == -1) {
            m_pendingAmPm = value;
            break;
        }
        std::int32_t hour = m_pendingHour12;
        if (value != 0 && hour != 12)
            hour += 12;
        else if (value == 0 && hour == 12)
            hour = 0;
        setHourOfDay(hour);
        m_pendingHour12 = -1;
        m_pendingAmPm = -1;
        break;
    }
    default:
        break;
    }
}

void java_util_Calendar::ensureTime() {
    if (m_timeValid)
        return;
    computeTime();
    if (!rt::exceptionPending())
        m_timeValid = 1;
}

void java_util_Calendar::computeTime() {
    std::int64_t year = m_dateWord >> 9;
    std::int32_t month = (m_dateWord >> 5) & 15;
    std::int32_t day = m_dateWord & 31;
    bool gregorian = year >= 1582;
    std::int64_t millis = (julianDay(gregorian, year, month, day) - kEpochJulianDay) * kMillisPerDay;
    if (gregorian != (millis >= kGregorianChange)) {
        gregorian = !gregorian;
        millis = (julianDay(gregorian, year, month, day) - kEpochJulianDay) * kMillisPerDay;
    }
    std::int64_t secondsInDay =
        (static_cast<std::int64_t>(hourOfDay()) * 60 + get(MINUTE)) * 60 + get(SECOND);
    std::int64_t local = millis + get(MILLISECOND) + 1000 * secondsInDay;

    // The zone sees the date the fields stand for, not the fields as written:
    // month 13, February 31 or hour 30 are valid fields but no valid date.
    DateFields date = dateFieldsOf(local);
    auto millisInDay = static_cast<std::int32_t>(floorMod(local, kMillisPerDay));
    std::int32_t offset = zone()->getOffset(1, static_cast<std::int32_t>(date.year), date.month, date.day,
                                            date.dayOfWeek, millisInDay);
    if (rt::exceptionPending())
        return;
    m_daylightOffset = offset - zone()->getRawOffset();
    m_time = local - offset;
    m_fieldsValid = 1;
}

void java_util_Calendar::setDateFields(std::int64_t local) {
    DateFields date = dateFieldsOf(local);
    m_dateWord = static_cast<std::int32_t>((static_cast<std::uint32_t>(date.year) << 9) |
                                           (static_cast<std::uint32_t>(date.month & 15) << 5) |
                                           static_cast<std::uint32_t>(date.day & 31));
    m_dayOfWeek = date.dayOfWeek;
}

void java_util_Calendar::computeFields() {
    std::int32_t rawOffset = zone()->getRawOffset();
    std::int64_t local = saturatingTimeSum(m_time, rawOffset);
    setDateFields(local);
    auto millisInDay = static_cast<std::int32_t>(floorMod(local, kMillisPerDay));
    std::int32_t offset = zone()->getOffset(1, get(YEAR), get(MONTH), get(DATE), m_dayOfWeek, millisInDay);
    if (rt::exceptionPending())
        return;
    std::int32_t daylight = offset - rawOffset;
    m_daylightOffset = daylight;
    m_fieldsValid = 1;

    // Daylight saving may carry the time of day into the next day.
    std::int64_t timeOfDay = static_cast<std::int64_t>(millisInDay) + daylight;
    if (timeOfDay >= kMillisPerDay || timeOfDay < 0) {
        setDateFields(saturatingTimeSum(local, daylight));
        timeOfDay = floorMod(timeOfDay, kMillisPerDay);
    }
    std::int32_t rest = static_cast<std::int32_t>(timeOfDay);
    std::int32_t millisecond = rest % 1000;
    rest /= 1000;
    std::int32_t second = rest % 60;
    rest /= 60;
    std::int32_t minute = rest % 60;
    std::int32_t hour = rest / 60;
    m_timeWord = static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(hour) << kHourShift) | (static_cast<std::uint32_t>(minute) << 16) |
        (static_cast<std::uint32_t>(second) << 10) | static_cast<std::uint32_t>(millisecond));
}

java_util_Date* java_util_Calendar::getTime() {
    ensureTime();
    if (rt::exceptionPending())
        return nullptr;
    java_util_Date* date = rt::make<java_util_Date>(m_time);
    m_date = date;
    return date;
}

void java_util_Calendar::setTime(java_util_Date* date) {
    if (!date) {
        rt::reportNullPointer();
        return;
    }
    setTimeInMillis(date->getTime());
}

std::int64_t java_util_Calendar::getTimeInMillis() {
    ensureTime();
    return m_time;
}

void java_util_Calendar::setTimeInMillis(std::int64_t millis) {
    m_time = millis;
    m_timeValid = 1;
    m_dayOfWeek = 0;
    computeFields();
}

void java_util_Calendar::setTimeZone(java_util_TimeZone* zone) {
    if (!zone) {
        rt::reportNullPointer();
        return;
    }
    ensureTime();
    m_zone = zone;
    computeFields();
}

bool java_util_Calendar::equals(rt::Object* other) {
    if (other == this)
        return true;
    if (!rt::instanceOf(other, kClassId))
        return false;
    return getTimeInMillis() == static_cast<java_util_Calendar*>(other)->getTimeInMillis();
}

bool java_util_Calendar::before(rt::Object* other) {
    if (!rt::instanceOf(other, kClassId))
        return false;
    return getTimeInMillis() < static_cast<java_util_Calendar*>(other)->getTimeInMillis();
}

bool java_util_Calendar::after(rt::Object* other) {
    if (!rt::instanceOf(other, kClassId))
        return false;
    return getTimeInMillis() > static_cast<java_util_Calendar*>(other)->getTimeInMillis();
}

} // namespace lib
