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
    installConstantStrings({
        {14, "null"},
        {183, "Illegal DST savings"},
        {184, "Illegal month "},
        {185, "GMT"},
        {186, ":"},
        {187, "Illegal start month "},
        {188, "Illegal start time "},
        {189, "Illegal start day of week "},
        {190, "Illegal start week "},
        {191, "Illegal start day "},
        {192, "Illegal end month "},
        {193, "Illegal end time "},
        {194, "Illegal end day of week "},
        {195, "Illegal end week "},
        {196, "Illegal end day "},
        {197, "UTC"},
        {198, "Negative delay."},
        {199, "Non-positive period."},
        {200, "Illegal execution time."},
        {201, "Timer already cancelled."},
        {202, "Task already scheduled or cancelled"},
        {208, "no date"},
        {209, "Jan"},
        {210, "Feb"},
        {211, "Mar"},
        {212, "Apr"},
        {213, "May"},
        {214, "Jun"},
        {215, "Jul"},
        {216, "Aug"},
        {217, "Sep"},
        {218, "Oct"},
        {219, "Nov"},
        {220, "Dec"},
        {221, "Sun"},
        {222, "Mon"},
        {223, "Tue"},
        {224, "Wed"},
        {225, "Thu"},
        {226, "Fri"},
        {227, "Sat"},
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
