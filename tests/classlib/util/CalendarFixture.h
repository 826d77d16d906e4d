#pragma once

// The constant strings the date and timer classes quote, with texts of our
// choosing, and the test throwables, for a runtime made by the test.

#include "runtime/Class.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/RuntimeFixtures.h"

#include <string>

namespace testing_support {

inline void installCalendarConstantStrings() {
    using namespace rt::constants;
    installConstantStrings({
        {kDefaultMessage, "null"},
        {kNonPositiveDaylightSavings, "Illegal DST savings"},
        {kBadMonth, "Illegal month "},
        {kGmtZone, "GMT"},
        {kZoneIdSeparator, ":"},
        {kStartRuleMessages + 0, "Illegal start month "},
        {kStartRuleMessages + 1, "Illegal start time "},
        {kStartRuleMessages + 2, "Illegal start day of week "},
        {kStartRuleMessages + 3, "Illegal start week "},
        {kStartRuleMessages + 4, "Illegal start day "},
        {kEndRuleMessages + 0, "Illegal end month "},
        {kEndRuleMessages + 1, "Illegal end time "},
        {kEndRuleMessages + 2, "Illegal end day of week "},
        {kEndRuleMessages + 3, "Illegal end week "},
        {kEndRuleMessages + 4, "Illegal end day "},
        {kSecondZone, "UTC"},
        {kNegativeDelay, "Negative delay."},
        {kNonPositivePeriod, "Non-positive period."},
        {kNegativeTime, "Illegal execution time."},
        {kTimerCancelled, "Timer already cancelled."},
        {kTaskNotNew, "Task already scheduled or cancelled"},
        {kNoCalendar, "no date"},
        {kMonthNames + 0, "Jan"},
        {kMonthNames + 1, "Feb"},
        {kMonthNames + 2, "Mar"},
        {kMonthNames + 3, "Apr"},
        {kMonthNames + 4, "May"},
        {kMonthNames + 5, "Jun"},
        {kMonthNames + 6, "Jul"},
        {kMonthNames + 7, "Aug"},
        {kMonthNames + 8, "Sep"},
        {kMonthNames + 9, "Oct"},
        {kMonthNames + 10, "Nov"},
        {kMonthNames + 11, "Dec"},
        {kDayNames + 0, "Sun"},
        {kDayNames + 1, "Mon"},
        {kDayNames + 2, "Tue"},
        {kDayNames + 3, "Wed"},
        {kDayNames + 4, "Thu"},
        {kDayNames + 5, "Fri"},
        {kDayNames + 6, "Sat"},
    });
}

inline void installCalendarSupport(rt::Runtime& runtime) {
    installTestThrowables(runtime);
    installCalendarConstantStrings();
}

// The class of the pending exception and its message, which is then cleared;
// "none" when nothing is pending.
inline std::string takePendingException() {
    rt::Object* pending = rt::getPendingException();
    if (!pending)
        return "none";
    rt::clearPendingException();
    auto* throwable = static_cast<TestThrowable*>(pending);
    std::string text = rt::Object::getClass(pending)->name();
    if (throwable->m_message)
        text += ": " + throwable->m_message->toUtf8();
    return text;
}

inline std::string textOf(rt::String* string) {
    return string ? string->toUtf8() : "<null>";
}

} // namespace testing_support
