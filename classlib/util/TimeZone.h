#pragma once

// `java_util_TimeZone`: an offset from UTC, with or without a daylight-saving
// period. `java_util_TimeZoneImpl` (classlib/util/TimeZoneImpl.h) is its one
// concrete class.
//
// The program has one default zone, made on first use: raw offset 0, no
// daylight saving and no stored ID, so its `getID` is built from the offset
// ("GMT+00:00" with the usual constant strings). Two built-in zones of raw
// offset 0 carry the IDs of constant strings 185 and 197; they are what
// `getAvailableIDs` lists and `getTimeZone` finds.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

inline constexpr std::int64_t kMillisPerDay = 86400000;

class java_util_TimeZone : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_TimeZone;
    // Constant strings of the two built-in zones' IDs.
    static constexpr std::int32_t kGmtText = rt::constants::kGmtZone;
    static constexpr std::int32_t kSecondZoneText = rt::constants::kSecondZone;

    // The offset from UTC, in milliseconds, of local standard time
    // `millisInDay` on the given date (era 1 is AD, month 0 is January,
    // day of week 1 is Sunday), daylight saving included. A month outside
    // 0..11 and other values out of range raise `IllegalArgumentException`.
    virtual std::int32_t getOffset(std::int32_t era, std::int32_t year, std::int32_t month, std::int32_t day,
                                   std::int32_t dayOfWeek, std::int32_t millisInDay) = 0;
    // The offset of standard time, in milliseconds.
    virtual std::int32_t getRawOffset() = 0;
    virtual bool useDaylightTime() = 0;
    // The zone's ID; may be null for a zone made without one.
    virtual rt::String* getID() = 0;

    // The default zone (see the file comment).
    static java_util_TimeZone* getDefault();
    // The built-in zone whose ID equals `id`; the first built-in zone (raw
    // offset 0) for an ID it does not know. A null ID raises `NullPointerException`.
    static java_util_TimeZone* getTimeZone(rt::String* id);
    // A new array of the built-in zones' IDs.
    static rt::ObjectArray* getAvailableIDs();

    RT_NO_REFERENCE_FIELDS(java_util_TimeZone, Object)

protected:
    explicit java_util_TimeZone(rt::ClassId classId)
        : Object(classId) {}
};

} // namespace lib
