#pragma once

// `java_util_Date`: a point in time, milliseconds since 1970-01-01 00:00 UTC.
//
// Every Date keeps its own time. For its fields (the text of `toString`) it
// uses the Calendar the program shares, holding that Calendar's monitor
// while it loads its time there and reads the fields back, so that Dates on
// two threads do not mix their fields. Making a Date or setting its time
// also sets the shared Calendar's time, as the library always has.

#include "classlib/util/Calendar.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

// FIXME: the device tick as `java_lang_System::currentTimeMillis` answers it
// (the host's 32-bit tick, zero-extended; 0 without a clock). It stands in
// until System provides it.
std::int64_t currentTickMillis();

// `time + delta`, held at the largest or the smallest 64-bit value where the
// sum would overflow.
std::int64_t saturatingTimeSum(std::int64_t time, std::int64_t delta);

class java_util_Date : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Date;
    // Constant strings of the month names (January first) and the day names (Sunday first).
    static constexpr std::int32_t kMonthNameTexts = rt::constants::kMonthNames;
    static constexpr std::int32_t kDayNameTexts = rt::constants::kDayNames;
    // The text of a zone without an ID.
    static constexpr std::int32_t kNoIdText = rt::constants::kDefaultMessage;
    // The text of a Date without a Calendar.
    static constexpr std::int32_t kNoCalendarText = rt::constants::kNoCalendar;

    // The device tick count now (the time base of the Timer), not the calendar time.
    java_util_Date();
    explicit java_util_Date(std::int64_t time);
    // Time 0 and no Calendar: such a Date never touches the shared Calendar,
    // and its text is constant string 208.
    explicit java_util_Date(NewInstance);

    std::int64_t getTime() const { return m_time; }
    void setTime(std::int64_t time);

    // Another Date of the same time.
    bool equals(rt::Object* other) override;
    // The high 32 bits of the time XOR the low 32 bits.
    std::int32_t hashCode() override;
    // "<day> <month> <dd> <hh>:<mm>:<ss> <zone ID> <year>", in the shared
    // Calendar's zone; the zone ID and its blank are left out when the ID is
    // empty, and a year from 0 to 999 is written with four digits.
    rt::String* toString() override;

    RT_REFERENCE_FIELDS(java_util_Date, Object, m_calendar)

private:
    // Loads `time` into the shared Calendar; the caller holds its monitor.
    void loadCalendar(std::int64_t time);

    java_util_Calendar* m_calendar = nullptr;
    std::int64_t m_time = 0;
};

} // namespace lib
