#include "classlib/util/Calendar.h"
#include "classlib/util/Date.h"
#include "classlib/util/TimeZoneImpl.h"
#include "host/headless/HeadlessHost.h"
#include "runtime/Thread.h"
#include "tests/classlib/util/CalendarFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

namespace {

using lib::java_util_Calendar;
using lib::java_util_TimeZoneImpl;
using testing_support::takePendingException;

constexpr std::int64_t kDay = 86400000;

constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return ((a % b) + b) % b;
}

// The calendar the class should follow, written independently of it: the
// Julian calendar before 1582-10-15, the Gregorian from then on.
struct CivilDate {
    std::int64_t year;
    std::int32_t month; // 0 = January
    std::int32_t day;
    std::int32_t dayOfWeek; // 1 = Sunday

    bool operator==(const CivilDate&) const = default;
};

// Gregorian date of a day count since 1970-01-01, by eras of 400 years
// counted from 0000-03-01.
CivilDate gregorianFromDays(std::int64_t days) {
    std::int64_t z = days + 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    auto day = static_cast<std::int32_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    auto month = static_cast<std::int32_t>(shiftedMonth < 10 ? shiftedMonth + 2 : shiftedMonth - 10);
    std::int64_t year = yearOfEra + era * 400 + (month <= 1 ? 1 : 0);
    return {year, month, day, 0};
}

// Julian date of a Julian day number (valid from about 4800 BC).
CivilDate julianFromDayNumber(std::int64_t jdn) {
    std::int64_t c = jdn + 32082;
    std::int64_t d = (4 * c + 3) / 1461;
    std::int64_t e = c - 1461 * d / 4;
    std::int64_t m = (5 * e + 2) / 153;
    auto day = static_cast<std::int32_t>(e - (153 * m + 2) / 5 + 1);
    auto month = static_cast<std::int32_t>(m + 2 - 12 * (m / 10));
    return {d - 4800 + m / 10, month, day, 0};
}

CivilDate civilFromDays(std::int64_t days) {
    std::int64_t jdn = days + 2440588;
    CivilDate date = days < -141427 ? julianFromDayNumber(jdn) : gregorianFromDays(days);
    date.dayOfWeek = static_cast<std::int32_t>(floorMod(jdn + 1, 7) + 1);
    return date;
}

struct CalendarTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{8 << 20, 8 << 20}};
    CalendarTest() { testing_support::installCalendarSupport(runtime); }

    static java_util_Calendar* calendar() { return java_util_Calendar::getInstance(); }

    // Sets every field but the day of week.
    static void setFields(java_util_Calendar* c, std::int64_t year, std::int32_t month, std::int32_t day,
                          std::int32_t hour = 0, std::int32_t minute = 0, std::int32_t second = 0,
                          std::int32_t millisecond = 0) {
        c->set(java_util_Calendar::YEAR, static_cast<std::int32_t>(year));
        c->set(java_util_Calendar::MONTH, month);
        c->set(java_util_Calendar::DATE, day);
        c->set(java_util_Calendar::HOUR_OF_DAY, hour);
        c->set(java_util_Calendar::MINUTE, minute);
        c->set(java_util_Calendar::SECOND, second);
        c->set(java_util_Calendar::MILLISECOND, millisecond);
    }
    // The fields, brought up to date first by reading the day of week.
    static std::string fieldsOf(java_util_Calendar* c) {
        std::int32_t dayOfWeek = c->get(java_util_Calendar::DAY_OF_WEEK);
        std::ostringstream text;
        text << c->get(java_util_Calendar::YEAR) << '-' << c->get(java_util_Calendar::MONTH) + 1 << '-'
             << c->get(java_util_Calendar::DATE) << ' ' << c->get(java_util_Calendar::HOUR_OF_DAY) << ':'
             << c->get(java_util_Calendar::MINUTE) << ':' << c->get(java_util_Calendar::SECOND) << '.'
             << c->get(java_util_Calendar::MILLISECOND) << " d" << dayOfWeek;
        return text.str();
    }
};

TEST_F(CalendarTest, TimeToFieldsToTimeAgreesWithAnIndependentCalendar) {
    java_util_Calendar* c = calendar();
    int failures = 0;
    std::string firstFailure;
    auto check = [&](std::int64_t days) {
        std::int64_t millisInDay = floorMod(days * 7919 * 1009 + 12345, kDay);
        std::int64_t time = days * kDay + millisInDay;
        CivilDate expected = civilFromDays(days);
        c->setTimeInMillis(time);
        CivilDate actual{c->get(java_util_Calendar::YEAR), c->get(java_util_Calendar::MONTH),
                         c->get(java_util_Calendar::DATE), c->get(java_util_Calendar::DAY_OF_WEEK)};
        std::int64_t timeOfDay = ((static_cast<std::int64_t>(c->get(java_util_Calendar::HOUR_OF_DAY)) * 60 +
                                   c->get(java_util_Calendar::MINUTE)) *
                                      60 +
                                  c->get(java_util_Calendar::SECOND)) *
                                     1000 +
                                 c->get(java_util_Calendar::MILLISECOND);
        auto part = [&](std::int64_t unit, std::int64_t range) {
            return static_cast<std::int32_t>(millisInDay / unit % range);
        };
        setFields(c, expected.year, expected.month, expected.day, part(3600000, 24), part(60000, 60),
                  part(1000, 60), part(1, 1000));
        std::int64_t back = c->getTimeInMillis();
        if ((actual != expected || timeOfDay != millisInDay || back != time) && failures++ == 0)
            firstFailure =
                "day " + std::to_string(days) + ": " + fieldsOf(c) + ", back " + std::to_string(back);
    };
    for (std::int64_t days = -100000; days <= 100000; ++days)
        check(days);
    // Sparser, from about 4600 BC to AD 10000, across the change of calendars.
    for (std::int64_t days = -2400000; days <= 3000000; days += 97)
        check(days);
    EXPECT_EQ(failures, 0) << firstFailure;
}

TEST_F(CalendarTest, NamedDays) {
    struct Case {
        std::int64_t year;
        std::int32_t month, day;
        std::int64_t time;     // of 00:00 UTC
        std::string readsBack; // the fields after the time is made from them
    };
    const Case cases[] = {
        {1970, 0, 1, 0, "1970-1-1 0:0:0.0 d5"},
        {2000, 1, 29, 951782400000, "2000-2-29 0:0:0.0 d3"},
        {1900, 1, 29, -2203891200000, "1900-3-1 0:0:0.0 d5"},  // no Gregorian leap day in 1900
        {1500, 1, 29, -171596 * kDay, "1500-2-29 0:0:0.0 d7"}, // a Julian leap day
        {1582, 9, 15, java_util_Calendar::kGregorianChange, "1582-10-15 0:0:0.0 d6"},
        {1582, 9, 4, java_util_Calendar::kGregorianChange - kDay, "1582-10-4 0:0:0.0 d5"},
        // A day the change skipped is taken as Julian: ten days on in the Gregorian count.
        {1582, 9, 10, java_util_Calendar::kGregorianChange + 5 * kDay, "1582-10-20 0:0:0.0 d4"},
        {999, 2, 5, -354582 * kDay, "999-3-5 0:0:0.0 d1"},
        {0, 0, 1, -719530 * kDay, "0-1-1 0:0:0.0 d5"},
    };
    java_util_Calendar* c = calendar();
    for (const Case& row : cases) {
        setFields(c, row.year, row.month, row.day);
        EXPECT_EQ(c->getTimeInMillis(), row.time) << row.readsBack;
        EXPECT_EQ(fieldsOf(c), row.readsBack);
    }
    c->setTimeInMillis(java_util_Calendar::kGregorianChange - 1);
    EXPECT_EQ(fieldsOf(c), "1582-10-4 23:59:59.999 d5");
}

TEST_F(CalendarTest, TwelveHourClockAndAmPm) {
    java_util_Calendar* c = calendar();
    struct Reading {
        std::int32_t hourOfDay, hour, amPm;
    };
    const Reading readings[] = {{0, 12, 0}, {1, 1, 0}, {11, 11, 0}, {12, 12, 1}, {13, 1, 1}, {23, 11, 1}};
    for (const Reading& r : readings) {
        c->setTimeInMillis(r.hourOfDay * 3600000LL + 59 * 60000);
        EXPECT_EQ(c->get(java_util_Calendar::HOUR), r.hour) << r.hourOfDay;
        EXPECT_EQ(c->get(java_util_Calendar::AM_PM), r.amPm) << r.hourOfDay;
    }

    // HOUR and AM_PM pair up in either order; alone, HOUR writes the hour as given.
    struct Pairing {
        std::int32_t first, firstValue, second, secondValue, hourOfDay;
    };
    constexpr std::int32_t H = java_util_Calendar::HOUR, P = java_util_Calendar::AM_PM;
    const Pairing pairings[] = {
        {H, 3, P, 1, 15},  {H, 3, P, 0, 3},
        {H, 12, P, 0, 0},  {H, 12, P, 1, 12},
        {P, 1, H, 3, 15},  {P, 0, H, 12, 0},
        {P, 1, H, 12, 12}, {P, 1, H, 40, 12},
        {H, 7, H, 9, 9},   {P, 1, java_util_Calendar::HOUR_OF_DAY, 5, 5},
    };
    for (const Pairing& p : pairings) {
        c->setTimeInMillis(0);
        c->set(p.first, p.firstValue);
        c->set(p.second, p.secondValue);
        EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), p.hourOfDay)
            << p.first << "=" << p.firstValue << ", " << p.second << "=" << p.secondValue;
    }
    // A pending AM/PM does not outlive an hour of day set in between.
    c->setTimeInMillis(0);
    c->set(P, 1);
    c->set(java_util_Calendar::HOUR_OF_DAY, 5);
    c->set(H, 3);
    EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), 3);
}

TEST_F(CalendarTest, FieldsAreTakenLenientlyAndWrittenOnlyIntoTheirOwnBits) {
    java_util_Calendar* c = calendar();
    setFields(c, 2009, 5, 15, 10, 20, 30, 400);
    const std::int64_t june15 = c->getTimeInMillis();

    // Month 13 is February of the next year; the field reads 13 until the fields are recomputed.
    c->set(java_util_Calendar::MONTH, 13);
    EXPECT_EQ(c->get(java_util_Calendar::MONTH), 13);
    setFields(c, 2009, 13, 15);
    std::int64_t time = c->getTimeInMillis();
    EXPECT_EQ(c->get(java_util_Calendar::MONTH), 13);
    EXPECT_EQ(fieldsOf(c), "2010-2-15 0:0:0.0 d2");
    EXPECT_EQ(c->get(java_util_Calendar::MONTH), 1);
    EXPECT_EQ(c->getTimeInMillis(), time);

    // February 31 is March 3; day 0 the last of the month before.
    setFields(c, 2009, 1, 31);
    EXPECT_EQ(fieldsOf(c), "2009-3-3 0:0:0.0 d3");
    setFields(c, 2009, 2, 0);
    EXPECT_EQ(fieldsOf(c), "2009-2-28 0:0:0.0 d7");

    // A negative hour stays in the hour bits: minutes, seconds and date keep their values.
    setFields(c, 2009, 5, 15, 10, 20, 30, 400);
    c->set(java_util_Calendar::HOUR_OF_DAY, -1);
    EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), -1);
    EXPECT_EQ(c->get(java_util_Calendar::MINUTE), 20);
    EXPECT_EQ(c->get(java_util_Calendar::SECOND), 30);
    EXPECT_EQ(c->get(java_util_Calendar::MILLISECOND), 400);
    EXPECT_EQ(c->get(java_util_Calendar::DATE), 15);
    EXPECT_EQ(c->getTimeInMillis(), june15 - 11 * 3600000LL);
    c->set(java_util_Calendar::HOUR, -3);
    EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), -3);
    EXPECT_EQ(c->get(java_util_Calendar::MINUTE), 20);
    c->set(java_util_Calendar::HOUR_OF_DAY, 30);
    EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), 6);

    // Other fields wrap within their bits.
    const std::pair<std::int32_t, std::int32_t> wraps[] = {
        {java_util_Calendar::MINUTE, 64 + 7},        {java_util_Calendar::SECOND, -1},
        {java_util_Calendar::MILLISECOND, 1024 + 5}, {java_util_Calendar::DATE, 32 + 9},
        {java_util_Calendar::MONTH, 16 + 4},
    };
    const std::int32_t expected[] = {7, 63, 5, 9, 4};
    for (std::size_t i = 0; i < std::size(wraps); ++i) {
        setFields(c, 2009, 5, 15, 10, 20, 30, 400);
        c->set(wraps[i].first, wraps[i].second);
        EXPECT_EQ(c->get(wraps[i].first), expected[i]);
        EXPECT_EQ(c->get(java_util_Calendar::YEAR), 2009);
        EXPECT_EQ(c->get(java_util_Calendar::HOUR_OF_DAY), 10);
    }
    c->set(java_util_Calendar::YEAR, -4000);
    EXPECT_EQ(c->get(java_util_Calendar::YEAR), -4000);
}

TEST_F(CalendarTest, UnknownFieldNumbersRaiseAndChangeNothing) {
    java_util_Calendar* c = calendar();
    c->setTimeInMillis(123456789);
    for (std::int32_t field : {0, 3, 4, 6, 8, 15, -1, 1000}) {
        EXPECT_EQ(c->get(field), 0);
        EXPECT_EQ(takePendingException(), "java_lang_ArrayIndexOutOfBoundsException") << field;
        c->set(field, 5);
        EXPECT_EQ(takePendingException(), "java_lang_ArrayIndexOutOfBoundsException") << field;
    }
    EXPECT_EQ(c->getTimeInMillis(), 123456789);
    EXPECT_EQ(fieldsOf(c), "1970-1-2 10:17:36.789 d6");
}

TEST_F(CalendarTest, OneSharedCalendarWhoseZoneMovesTheFieldsButNotTheTime) {
    java_util_Calendar* c = calendar();
    EXPECT_EQ(java_util_Calendar::getInstance(), c);
    c->setTimeInMillis(0);
    auto* india = rt::make<java_util_TimeZoneImpl>(19800000, rt::String::newFromCString("IST"));
    c->setTimeZone(india);
    EXPECT_EQ(c->getTimeInMillis(), 0);
    EXPECT_EQ(fieldsOf(c), "1970-1-1 5:30:0.0 d5");

    // Fields set in one zone keep their moment when the zone changes.
    setFields(c, 2009, 0, 1, 5, 30);
    c->setTimeZone(lib::java_util_TimeZone::getDefault());
    EXPECT_EQ(fieldsOf(c), "2009-1-1 0:0:0.0 d5");

    EXPECT_EQ(java_util_Calendar::getInstance(india), c);
    EXPECT_EQ(fieldsOf(c), "2009-1-1 5:30:0.0 d5");
    EXPECT_EQ(java_util_Calendar::getInstance(nullptr), c);
    EXPECT_EQ(fieldsOf(c), "2009-1-1 5:30:0.0 d5");
}

TEST_F(CalendarTest, DaylightSavingCarriesTheFieldsIntoTheNextDay) {
    // Central European rules: one hour ahead, one more from the last Sunday
    // of March 02:00 to the last Sunday of October 03:00 (daylight time).
    auto* cet = rt::make<java_util_TimeZoneImpl>(3600000, rt::String::newFromCString("CET"), 2, -1, 1,
                                                 7200000, 9, -1, 1, 10800000, 3600000);
    java_util_Calendar* c = calendar();
    c->setTimeZone(cet);
    const std::int64_t july1 = 14426 * kDay;
    struct Case {
        std::int64_t time;
        std::string fields;
    };
    const Case cases[] = {
        {july1 + 22 * 3600000LL + 1800000, "2009-7-2 0:30:0.0 d5"},
        {july1 + 21 * 3600000LL + 1800000, "2009-7-1 23:30:0.0 d4"},
        {-1, "1970-1-1 0:59:59.999 d5"},
        // 2009-03-29 01:00 UTC starts daylight saving, 2009-10-25 01:00 UTC ends it.
        {14332 * kDay + 3600000 - 1, "2009-3-29 1:59:59.999 d1"},
        {14332 * kDay + 3600000, "2009-3-29 3:0:0.0 d1"},
        {14542 * kDay + 3600000 - 1, "2009-10-25 2:59:59.999 d1"},
        {14542 * kDay + 3600000, "2009-10-25 2:0:0.0 d1"},
    };
    for (const Case& row : cases) {
        c->setTimeInMillis(row.time);
        EXPECT_EQ(fieldsOf(c), row.fields) << row.time;
    }
    // And back: the fields of a summer night give its time.
    setFields(c, 2009, 6, 2, 0, 30);
    EXPECT_EQ(c->getTimeInMillis(), july1 + 22 * 3600000LL + 1800000);
    c->setTimeZone(lib::java_util_TimeZone::getDefault());
}

TEST_F(CalendarTest, ExtremeTimesSaturateInsteadOfOverflowing) {
    java_util_Calendar* c = calendar();
    auto* east = rt::make<java_util_TimeZoneImpl>(43200000, nullptr);
    auto* west = rt::make<java_util_TimeZoneImpl>(-43200000, nullptr);
    for (auto* zone : {east, west}) {
        c->setTimeZone(zone);
        for (std::int64_t time :
             {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
            c->setTimeInMillis(time);
            std::int32_t day = c->get(java_util_Calendar::DAY_OF_WEEK);
            EXPECT_TRUE(day >= 1 && day <= 7);
            EXPECT_EQ(c->getTimeInMillis(), time);
            EXPECT_EQ(takePendingException(), "none");
        }
    }
    c->setTimeZone(lib::java_util_TimeZone::getDefault());
}

TEST_F(CalendarTest, EqualsBeforeAndAfterCompareTimes) {
    java_util_Calendar* shared = calendar();
    auto* other = rt::make<java_util_Calendar>();
    shared->setTimeInMillis(1000);
    other->setTimeInMillis(1000);
    EXPECT_TRUE(shared->equals(other));
    EXPECT_FALSE(shared->before(other));
    other->set(java_util_Calendar::SECOND, 2);
    EXPECT_FALSE(shared->equals(other));
    EXPECT_TRUE(shared->before(other));
    EXPECT_TRUE(other->after(shared));
    EXPECT_FALSE(shared->after(other));
    rt::Object* notACalendar = rt::make<lib::java_util_Date>(1000);
    EXPECT_FALSE(shared->equals(notACalendar));
    EXPECT_FALSE(shared->before(notACalendar));
    EXPECT_FALSE(shared->after(nullptr));
}

// The calendar time comes from the host: the headless clock's epoch plus its virtual time.
TEST(CalendarWallClock, ANewCalendarReadsTheHostsCalendarTime) {
    host::HeadlessOptions options;
    options.wallClockEpoch = 1230768000; // 2009-01-01 00:00:00 UTC
    auto host = host::makeHeadlessHost(std::move(options));
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host->threads(), &host->clock()}};
    testing_support::installCalendarSupport(runtime);

    java_util_Calendar* first = java_util_Calendar::getInstance();
    EXPECT_EQ(first->getTimeInMillis(), 1230768000000);
    rt::java_lang_Thread::sleep(90500);
    auto* later = rt::make<java_util_Calendar>();
    EXPECT_EQ(later->getTimeInMillis(), 1230768090000);
    EXPECT_EQ(later->get(java_util_Calendar::MINUTE), 1);
    EXPECT_EQ(later->get(java_util_Calendar::SECOND), 30);
    EXPECT_EQ(java_util_Calendar::getInstance(), first);
}

} // namespace
