#pragma once
// The layout of an event entry of the event pack (constant string 159; one
// entry per track, little-endian): a u8 count of path points and the points,
// a u8 count of variants, then per variant its sections in the order of
// `kEventVariantSections`. The event loader (RaceTables.cpp) reads and
// datakit's event writer (tools/datakit/EventPackWriter.cpp) writes the
// entry from this header and EventRowLayout.h, so the two cannot disagree on
// the order of the sections or the fields of their records.
#include "game/race/EventRowLayout.h"

#include <array>
#include <cstdint>

namespace game {

// A path point: ten values, each into a path table of its own.
inline constexpr std::array kPathPointFields = {
    EventFieldEncoding::U16, EventFieldEncoding::U16, EventFieldEncoding::U16, EventFieldEncoding::U8,
    EventFieldEncoding::S32, EventFieldEncoding::S8,  EventFieldEncoding::S8,  EventFieldEncoding::U8,
    EventFieldEncoding::U8,  EventFieldEncoding::U8,
};
static_assert(eventFieldsBytes(kPathPointFields) == 16);

// The sections of a variant.
enum class EventVariantSection : std::uint8_t {
    Row,             // the event row, `kEventRowFields`
    List,            // u8 count, then items of `kEventListItemFields`
    Objects,         // u8 count, then objects of `kEventObjectFields`
    SkippedItems,    // u8 count, then `kSkippedEventItemBytes` each, skipped
    DynamicTriggers, // u8 count, then an s32 entry each
    Shorts,          // s16 count, then an s16 each (nothing for a count below 1)
};
inline constexpr std::array kEventVariantSections = {
    EventVariantSection::Row,
    EventVariantSection::List,
    EventVariantSection::Objects,
    EventVariantSection::SkippedItems,
    EventVariantSection::DynamicTriggers,
    EventVariantSection::Shorts,
};

inline constexpr std::array kEventListItemFields = {EventFieldEncoding::U16, EventFieldEncoding::U8,
                                                    EventFieldEncoding::U16};
// An object's fields go to the first five of its ints; the sixth stays 0.
inline constexpr std::array kEventObjectFields = {EventFieldEncoding::U8, EventFieldEncoding::S16,
                                                  EventFieldEncoding::U8, EventFieldEncoding::S16,
                                                  EventFieldEncoding::S16};
inline constexpr std::int32_t kEventObjectInts = 6;
inline constexpr std::int32_t kSkippedEventItemBytes = 7;
inline constexpr std::int32_t kDynamicTriggerBytes = 4;
inline constexpr std::int32_t kVariantShortBytes = 2;
// The least a variant takes: its row, the four u8 counts and the s16 count.
inline constexpr std::int32_t kLeastVariantBytes = eventRowBytes() + 4 + 2;

} // namespace game
