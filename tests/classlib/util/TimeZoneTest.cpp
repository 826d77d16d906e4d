#include "classlib/util/TimeZone.h"
#include "classlib/util/TimeZoneImpl.h"
#include "tests/classlib/util/CalendarFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using lib::java_util_TimeZone;
using lib::java_util_TimeZoneImpl;
using testing_support::takePendingException;
using testing_support::textOf;

constexpr std::int32_t kHour = 3600000;
constexpr std::int32_t kNoon = 12 * kHour;
const std::string kIllegalArgument = "java_lang_IllegalArgumentException";

// The day of week (1 = Sunday) of a Gregorian date.
std::int32_t dayOfWeek(std::int32_t year, std::int32_t month, std::int32_t day) {
    static constexpr std::int32_t kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 2)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month] + day) % 7 + 1;
}

struct TimeZoneTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20}};
    TimeZoneTest() { testing_support::installCalendarSupport(runtime); }

    struct RuleSet {
        std::int32_t startMonth, startDay, startDayOfWeek, startTime;
        std::int32_t endMonth, endDay, endDayOfWeek, endTime;
    };
    static java_util_TimeZoneImpl* zone(const RuleSet& r, std::int32_t savings = kHour) {
        return rt::make<java_util_TimeZoneImpl>(0, rt::String::newFromCString("X"), r.startMonth, r.startDay,
                                                r.startDayOfWeek, r.startTime, r.endMonth, r.endDay,
                                                r.endDayOfWeek, r.endTime, savings);
    }
    // The daylight part of the zone's offset in 2009 on a date at a time of standard time.
    static std::int32_t daylightIn2009(java_util_TimeZone* z, std::int32_t month, std::int32_t day,
                                       std::int32_t millis = kNoon) {
        return z->getOffset(1, 2009, month, day, dayOfWeek(2009, month, day), millis) - z->getRawOffset();
    }
};

TEST_F(TimeZoneTest, TheDefaultAndTheBuiltInZones) {
    java_util_TimeZone* zone = java_util_TimeZone::getDefault();
    EXPECT_EQ(java_util_TimeZone::getDefault(), zone);
    EXPECT_EQ(zone->getRawOffset(), 0);
    EXPECT_FALSE(zone->useDaylightTime());
    EXPECT_EQ(textOf(zone->getID()), "GMT+00:00");
    EXPECT_EQ(zone->getOffset(1, 2009, 6, 1, 4, kNoon), 0);

    rt::ObjectArray* ids = java_util_TimeZone::getAvailableIDs();
    ASSERT_EQ(ids->length(), 2);
    EXPECT_EQ(textOf(static_cast<rt::String*>(ids->elements()[0])), "GMT");
    EXPECT_EQ(textOf(static_cast<rt::String*>(ids->elements()[1])), "UTC");
    EXPECT_NE(java_util_TimeZone::getAvailableIDs(), ids);

    java_util_TimeZone* utc = java_util_TimeZone::getTimeZone(rt::String::newFromCString("UTC"));
    EXPECT_EQ(textOf(utc->getID()), "UTC");
    EXPECT_EQ(utc->getRawOffset(), 0);
    EXPECT_EQ(java_util_TimeZone::getTimeZone(rt::String::newFromCString("UTC")), utc);
    EXPECT_EQ(textOf(java_util_TimeZone::getTimeZone(rt::String::newFromCString("Mars"))->getID()), "GMT");
    EXPECT_EQ(java_util_TimeZone::getTimeZone(nullptr), nullptr);
    EXPECT_EQ(takePendingException(), "java_lang_NullPointerException");
}

TEST_F(TimeZoneTest, AnIdIsBuiltFromTheOffsetWhenNoneIsGiven) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "GMT+00:00"},
        {-3 * kHour - 1800000, "GMT-03:30"},
        {5 * kHour + 45 * 60000, "GMT+05:45"},
        {10 * kHour, "GMT+10:00"},
        {-1, "GMT-00:00"},
        {-100 * kHour, "GMT-100:00"},
    };
    for (const auto& [offset, id] : cases)
        EXPECT_EQ(textOf(rt::make<java_util_TimeZoneImpl>(offset, nullptr)->getID()), id);
    auto* named = rt::make<java_util_TimeZoneImpl>(kHour, rt::String::newFromCString("CET"));
    EXPECT_EQ(textOf(named->getID()), "CET");
    EXPECT_EQ(named->getOffset(1, 2009, 6, 1, 4, kNoon), kHour);
}

TEST_F(TimeZoneTest, DaylightRulesInEveryMode) {
    struct Case {
        const char* name;
        RuleSet rules;
        // Month, day and the expected daylight part at noon.
        struct Check {
            std::int32_t month, day, daylight;
        } checks[7];
    };
    const Case cases[] = {
        {"day of month: April 15 to September 15",
         {3, 15, 0, 0, 8, 15, 0, 0},
         {{3, 14, 0}, {3, 15, kHour}, {8, 14, kHour}, {8, 15, 0}, {0, 1, 0}, {11, 31, 0}, {6, 1, kHour}}},
        {"first Sunday of April to last Sunday of October",
         {3, 1, 1, 0, 9, -1, 1, 0},
         {{3, 4, 0}, {3, 5, kHour}, {9, 24, kHour}, {9, 25, 0}, {9, 31, 0}, {2, 29, 0}, {5, 30, kHour}}},
        {"Sunday on or after March 8 to Sunday on or after November 1",
         {2, 8, -1, 0, 10, 1, -1, 0},
         {{2, 7, 0}, {2, 8, kHour}, {9, 31, kHour}, {10, 1, 0}, {2, 1, 0}, {10, 30, 0}, {3, 1, kHour}}},
        {"Saturday on or before April 30 to Saturday on or before September 30",
         {3, -30, -7, 0, 8, -30, -7, 0},
         {{3, 24, 0}, {3, 25, kHour}, {8, 25, kHour}, {8, 26, 0}, {3, 30, kHour}, {8, 30, 0}, {0, 1, 0}}},
        {"southern: first Sunday of October to first Sunday of March",
         {9, 1, 1, 0, 2, 1, 1, 0},
         {{0, 15, kHour}, {1, 28, kHour}, {2, 1, 0}, {5, 1, 0}, {9, 3, 0}, {9, 4, kHour}, {11, 31, kHour}}},
    };
    for (const Case& c : cases) {
        java_util_TimeZoneImpl* z = zone(c.rules);
        ASSERT_EQ(takePendingException(), "none") << c.name;
        EXPECT_TRUE(z->useDaylightTime());
        for (const auto& check : c.checks)
            EXPECT_EQ(daylightIn2009(z, check.month, check.day), check.daylight)
                << c.name << ": " << check.month + 1 << "-" << check.day;
    }
}

TEST_F(TimeZoneTest, TheRulesTimesAreStandardTimeForTheStartAndDaylightTimeForTheEnd) {
    // From March 1 02:00 standard time to October 15 00:00 daylight time.
    java_util_TimeZoneImpl* z = zone({2, 1, 0, 2 * kHour, 9, 15, 0, 0});
    EXPECT_EQ(daylightIn2009(z, 2, 1, 2 * kHour - 1), 0);
    EXPECT_EQ(daylightIn2009(z, 2, 1, 2 * kHour), kHour);
    // 23:00 standard time is midnight of the 15th in daylight time: the end.
    EXPECT_EQ(daylightIn2009(z, 9, 14, 23 * kHour - 1), kHour);
    EXPECT_EQ(daylightIn2009(z, 9, 14, 23 * kHour), 0);
    // The last hour of December 31 carries into no month of the year.
    EXPECT_EQ(daylightIn2009(zone({3, 1, 1, 0, 9, -1, 1, 0}), 11, 31, 23 * kHour + 1800000), 0);
    // Not before the first daylight year (0), nor before the Christian era.
    EXPECT_EQ(z->getOffset(1, -1, 6, 1, 3, kNoon), 0);
    EXPECT_EQ(z->getOffset(0, 2009, 6, 1, 4, kNoon), 0);
}

TEST_F(TimeZoneTest, RuleValuesOutOfRangeAreRefused) {
    struct Case {
        RuleSet rules;
        std::int32_t savings;
        std::string error;
    };
    const RuleSet ok{2, 1, 0, 0, 9, 1, 0, 0};
    auto with = [&](auto change) {
        RuleSet r = ok;
        change(r);
        return r;
    };
    const Case cases[] = {
        {with([](RuleSet& r) { r.startMonth = 12; }), kHour, "Illegal start month 12"},
        {with([](RuleSet& r) { r.startTime = -1; }), kHour, "Illegal start time -1"},
        {with([](RuleSet& r) { r.startTime = 86400001; }), kHour, "Illegal start time 86400001"},
        {with([](RuleSet& r) { r.startDayOfWeek = 8; }), kHour, "Illegal start day of week 8"},
        {with([](RuleSet& r) { r.startDayOfWeek = -9; }), kHour, "Illegal start day of week 9"},
        {with([](RuleSet& r) { r.startDay = 6, r.startDayOfWeek = 1; }), kHour, "Illegal start week 6"},
        {with([](RuleSet& r) { r.startDay = -6, r.startDayOfWeek = 1; }), kHour, "Illegal start week -6"},
        {with([](RuleSet& r) { r.startDay = 32; }), kHour, "Illegal start day 32"},
        {with([](RuleSet& r) { r.startMonth = 3, r.startDay = 31; }), kHour, "Illegal start day 31"},
        {with([](RuleSet& r) { r.startDay = -31, r.startDayOfWeek = -1, r.startMonth = 1; }), kHour,
         "Illegal start day 31"},
        {with([](RuleSet& r) { r.endMonth = -1; }), kHour, "Illegal end month -1"},
        {with([](RuleSet& r) { r.endTime = -5; }), kHour, "Illegal end time -5"},
        {with([](RuleSet& r) { r.endDayOfWeek = 8; }), kHour, "Illegal end day of week 8"},
        {with([](RuleSet& r) { r.endDay = 7, r.endDayOfWeek = 2; }), kHour, "Illegal end week 7"},
        {with([](RuleSet& r) { r.endDay = 0x7FFFFFFF; }), kHour, "Illegal end day 2147483647"},
        {ok, 0, "Illegal DST savings"},
        {ok, -kHour, "Illegal DST savings"},
    };
    for (const Case& c : cases) {
        zone(c.rules, c.savings);
        EXPECT_EQ(takePendingException(), kIllegalArgument + ": " + c.error);
    }
    // A rule day of 0 means no daylight saving; that rule is not looked at.
    java_util_TimeZoneImpl* none = zone(with([](RuleSet& r) { r.startDay = 0, r.startMonth = 40; }));
    EXPECT_EQ(takePendingException(), "none");
    EXPECT_FALSE(none->useDaylightTime());
    EXPECT_EQ(daylightIn2009(none, 6, 1), 0);
    EXPECT_EQ(takePendingException(), "none");
}

TEST_F(TimeZoneTest, GetOffsetRefusesDatesOutOfRange) {
    java_util_TimeZoneImpl* z = zone({2, 1, 0, 0, 9, 1, 0, 0});
    EXPECT_EQ(z->getOffset(1, 2009, 12, 1, 3, 0), 0);
    EXPECT_EQ(takePendingException(), kIllegalArgument + ": Illegal month 12");
    EXPECT_EQ(z->getOffset(1, 2009, -1, 1, 3, 0), 0);
    EXPECT_EQ(takePendingException(), kIllegalArgument + ": Illegal month -1");
    struct Case {
        std::int32_t era, month, day, dayOfWeek, millis;
    };
    const Case cases[] = {
        {2, 0, 1, 5, 0}, {-1, 0, 1, 5, 0}, {1, 0, 0, 5, 0},  {1, 0, 32, 5, 0},       {1, 3, 31, 5, 0},
        {1, 0, 1, 0, 0}, {1, 0, 1, 8, 0},  {1, 0, 1, 5, -1}, {1, 0, 1, 5, 86400000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(z->getOffset(c.era, 2009, c.month, c.day, c.dayOfWeek, c.millis), 0);
        EXPECT_EQ(takePendingException(), kIllegalArgument)
            << c.era << " " << c.month << " " << c.day << " " << c.dayOfWeek << " " << c.millis;
    }
    // February has 29 days in the table, whatever the year.
    EXPECT_EQ(z->getOffset(1, 2009, 1, 29, 1, 0), 0);
    EXPECT_EQ(takePendingException(), "none");
    for (std::int32_t monthLength : {27, 32}) {
        z->getOffset(1, 2009, 1, 1, 1, 0, monthLength);
        EXPECT_EQ(takePendingException(), kIllegalArgument) << monthLength;
    }
}

} // namespace
