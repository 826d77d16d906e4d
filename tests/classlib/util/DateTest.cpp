#include "classlib/util/Date.h"
#include "classlib/util/Calendar.h"
#include "classlib/util/TaskQueue.h"
#include "classlib/util/TimeZoneImpl.h"
#include "classlib/util/TimerThread.h"
#include "classlib/util/timekeeping.h"
#include "host/headless/HeadlessHost.h"
#include "runtime/Thread.h"
#include "tests/classlib/util/CalendarFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace date_test {

namespace {

using lib::java_util_Calendar;
using lib::java_util_Date;
using testing_support::textOf;

constexpr std::int64_t kDay = 86400000;

struct DateTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20}};
    DateTest() { testing_support::installCalendarSupport(runtime); }

    static std::string text(std::int64_t time) { return textOf(rt::make<java_util_Date>(time)->toString()); }
};

TEST_F(DateTest, TwoDatesKeepTheirOwnTimes) {
    java_util_Date* early = rt::make<java_util_Date>(1000);
    java_util_Date* late = rt::make<java_util_Date>(1246492800000);
    EXPECT_EQ(early->getTime(), 1000);
    EXPECT_EQ(late->getTime(), 1246492800000);
    EXPECT_EQ(textOf(early->toString()), "Thu Jan 01 00:00:01 GMT+00:00 1970");
    EXPECT_EQ(textOf(late->toString()), "Thu Jul 02 00:00:00 GMT+00:00 2009");
    early->setTime(-kDay);
    EXPECT_EQ(late->getTime(), 1246492800000);
    EXPECT_EQ(textOf(early->toString()), "Wed Dec 31 00:00:00 GMT+00:00 1969");

    // Each getTime of the Calendar is a Date of its own.
    java_util_Calendar* calendar = java_util_Calendar::getInstance();
    calendar->setTimeInMillis(5000);
    java_util_Date* first = calendar->getTime();
    calendar->set(java_util_Calendar::YEAR, 2000);
    java_util_Date* second = calendar->getTime();
    EXPECT_NE(first, second);
    EXPECT_EQ(first->getTime(), 5000);
    EXPECT_EQ(second->getTime(), 946684805000);
    calendar->setTime(first);
    EXPECT_EQ(calendar->getTimeInMillis(), 5000);
}

TEST_F(DateTest, TextForm) {
    struct Case {
        std::int64_t time;
        const char* text;
    };
    const Case cases[] = {
        {0, "Thu Jan 01 00:00:00 GMT+00:00 1970"},
        {-354582 * kDay + 45296000, "Sun Mar 05 12:34:56 GMT+00:00 0999"},
        {-719530 * kDay, "Thu Jan 01 00:00:00 GMT+00:00 0000"},
        {-735527 * kDay + 9 * 3600000, "Tue Mar 15 09:00:00 GMT+00:00 -44"},
        {1230768000000 - 1, "Wed Dec 31 23:59:59 GMT+00:00 2008"},
        {327403382400000, "Mon Jan 01 00:00:00 GMT+00:00 12345"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(c.time), c.text) << c.time;

    // In the shared Calendar's zone; an empty ID is left out with its blank.
    auto* india = rt::make<lib::java_util_TimeZoneImpl>(19800000, rt::String::newFromCString("IST"));
    java_util_Calendar::getInstance(india);
    EXPECT_EQ(text(0), "Thu Jan 01 05:30:00 IST 1970");
    java_util_Calendar::getInstance(rt::make<lib::java_util_TimeZoneImpl>(0, rt::String::newFromCString("")));
    EXPECT_EQ(text(0), "Thu Jan 01 00:00:00 1970");
    java_util_Calendar::getInstance(lib::java_util_TimeZone::getDefault());
}

TEST_F(DateTest, EqualsAndHashCodeFollowTheTime) {
    java_util_Date* a = rt::make<java_util_Date>(0x123456789);
    java_util_Date* b = rt::make<java_util_Date>(0x123456789);
    EXPECT_TRUE(a->equals(b));
    EXPECT_EQ(a->hashCode(), 0x1 ^ 0x23456789);
    EXPECT_EQ(rt::make<java_util_Date>(-1)->hashCode(), 0);
    b->setTime(0x12345678A);
    EXPECT_FALSE(a->equals(b));
    EXPECT_FALSE(a->equals(java_util_Calendar::getInstance()));
    EXPECT_FALSE(a->equals(nullptr));
}

// What `newInstanceById` makes, before any constructor has run, works as far
// as it goes: a Date without a Calendar keeps its time to itself.
TEST_F(DateTest, ObjectsMadeByClassIdAreUsable) {
    lib::installTimekeeping(runtime);
    auto byId = [](rt::ClassId id) {
        rt::Object* made = rt::java_lang_Class::newInstanceById(rt::toInt(id));
        EXPECT_TRUE(made && made->classId() == id) << rt::toInt(id);
        return made;
    };
    java_util_Calendar* shared = java_util_Calendar::getInstance();
    shared->setTimeInMillis(777);

    auto* date = static_cast<java_util_Date*>(byId(rt::ClassId::java_util_Date));
    EXPECT_EQ(date->getTime(), 0);
    date->setTime(5000);
    EXPECT_EQ(date->getTime(), 5000);
    EXPECT_EQ(textOf(date->toString()), "no date");
    EXPECT_EQ(shared->getTimeInMillis(), 777);

    auto* calendar = static_cast<java_util_Calendar*>(byId(rt::ClassId::java_util_Calendar));
    EXPECT_NE(calendar, shared);
    calendar->setTimeInMillis(kDay);
    EXPECT_EQ(calendar->get(java_util_Calendar::DATE), 2);

    auto* zone = static_cast<lib::java_util_TimeZoneImpl*>(byId(rt::ClassId::java_util_TimeZoneImpl));
    EXPECT_EQ(zone->getID(), nullptr);
    EXPECT_EQ(zone->getOffset(1, 2009, 6, 1, 4, 0), 0);
    EXPECT_FALSE(zone->useDaylightTime());

    auto* queue = static_cast<lib::java_util_TaskQueue*>(byId(rt::ClassId::java_util_TaskQueue));
    EXPECT_TRUE(queue->isEmpty());
    queue->clear();
    EXPECT_EQ(queue->capacity(), 0);

    auto* thread = static_cast<lib::java_util_TimerThread*>(byId(rt::ClassId::java_util_TimerThread));
    thread->run(); // no queue: returns at once
}

// A Date made without a time reads the device tick, the Timer's time base.
TEST(DateTick, ANewDateReadsTheTickCount) {
    auto host = host::makeHeadlessHost({});
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host->threads(), &host->clock()}};
    testing_support::installCalendarSupport(runtime);
    std::int64_t start = host->clock().tickCount();
    rt::java_lang_Thread::sleep(1234);
    EXPECT_EQ(rt::make<java_util_Date>()->getTime(), start + 1234);
}

} // namespace

} // namespace date_test
