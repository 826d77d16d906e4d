#pragma once

// `java_util_Calendar`: a time in milliseconds since 1970-01-01 00:00 UTC and
// its broken-down fields in a time zone. The program shares one Calendar
// (`getInstance`).
//
// The fields live packed in two 32-bit words:
//   time of day  bits 0-9 millisecond, 10-15 second, 16-21 minute,
//                22-31 hour of day (read with its sign);
//   date         bits 0-4 day of month (1..31), 5-8 month (0 = January),
//                9-31 year (read with its sign, so years -4194304..4194303).
// `set` writes a value into its field only, masked to the field's width; the
// next time computation takes the fields leniently (month 13 is February of
// the next year, hour -1 is 23:00 the day before).
//
// Either side may be out of date: after `set` the time is recomputed from the
// fields when it is next needed, and the day of week (the one field computed
// on demand) is recomputed from the time. Dates before 1582-10-15 00:00 UTC
// are Julian, later ones Gregorian; a date that falls into the ten days the
// change skipped is taken as Julian.
//
// A field number other than the ten below raises
// `ArrayIndexOutOfBoundsException` and changes nothing.

#include "classlib/ClassLibrary.h"
#include "classlib/util/TimeZone.h"
#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_util_Date;

class java_util_Calendar : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Calendar;

    // Field numbers.
    static constexpr std::int32_t YEAR = 1;
    static constexpr std::int32_t MONTH = 2;
    static constexpr std::int32_t DATE = 5;
    static constexpr std::int32_t DAY_OF_WEEK = 7;
    static constexpr std::int32_t AM_PM = 9;
    static constexpr std::int32_t HOUR = 10;
    static constexpr std::int32_t HOUR_OF_DAY = 11;
    static constexpr std::int32_t MINUTE = 12;
    static constexpr std::int32_t SECOND = 13;
    static constexpr std::int32_t MILLISECOND = 14;

    // 1582-10-15 00:00 UTC, the first Gregorian day.
    static constexpr std::int64_t kGregorianChange = -12219292800000;
    // The Julian day number of 1970-01-01.
    static constexpr std::int64_t kEpochJulianDay = 2440588;

    // The wall-clock time, in the default zone.
    java_util_Calendar();
    // Every field zero (the date word reads 0-01-00) and no time; the zone
    // is the default one from its first use.
    explicit java_util_Calendar(NewInstance);

    // The shared Calendar, made on the first call.
    static java_util_Calendar* getInstance();
    // The shared Calendar, moved to `zone`: its time is kept (computed from
    // the fields first, in the new zone, when it was out of date) and the
    // fields follow. A null zone is reported and changes nothing.
    static java_util_Calendar* getInstance(java_util_TimeZone* zone);

    // The host's calendar time, in whole seconds times 1000; 0 in a runtime
    // without a clock.
    static std::int64_t getWallClockMillis();

    // A field's value as the packed fields stand (the day of week is brought
    // up to date first). HOUR reads 12 at midnight and noon; AM_PM is 1 from noon.
    std::int32_t get(std::int32_t field);
    // Writes one field. HOUR and AM_PM pair up: a 12-hour value waits for the
    // AM/PM that follows it, and the other way round; either alone writes
    // the hour as it stands (HOUR) or only remembers the half of the day (AM_PM).
    void set(std::int32_t field, std::int32_t value);

    // A new Date of this Calendar's time.
    java_util_Date* getTime();
    // This Calendar's time becomes the Date's. A null Date is reported.
    void setTime(java_util_Date* date);
    std::int64_t getTimeInMillis();
    void setTimeInMillis(std::int64_t millis);
    // The fields follow the new zone; the time stays. A null zone is reported.
    void setTimeZone(java_util_TimeZone* zone);

    // Another Calendar of the same time.
    bool equals(rt::Object* other) override;
    // Strictly earlier / later than another Calendar; false for anything else.
    bool before(rt::Object* other);
    bool after(rt::Object* other);

    RT_REFERENCE_FIELDS(java_util_Calendar, Object, m_zone, m_date)

private:
    friend class java_util_Date;

    // Makes the time valid, computing it from the fields when it is not.
    void ensureTime();
    // The time from the fields; the fields stay as they are.
    void computeTime();
    // The fields, day of week included, from the time.
    void computeFields();
    void setDateFields(std::int64_t local);
    void setHourOfDay(std::int32_t hour);
    java_util_TimeZone* zone();
    std::int32_t hourOfDay() const;

    std::int32_t m_timeWord = 0;
    std::int32_t m_dateWord = 0;
    std::int32_t m_dayOfWeek = 0;
    std::int32_t m_daylightOffset = 0;
    std::int32_t m_fieldsValid = 0;
    std::int64_t m_time = 0;
    std::uint8_t m_timeValid = 0;
    java_util_TimeZone* m_zone = nullptr;
    // The Date the last `getTime` answered.
    rt::Object* m_date = nullptr;
    std::int32_t m_pendingHour12 = -1;
    std::int32_t m_pendingAmPm = -1;
};

} // namespace lib
