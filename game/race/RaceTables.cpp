#include "game/race/RaceTables.h"

#include "game/data/EventSlots.h"
#include "game/data/PackReader.h"
#include "game/data/SaveRecords.h"
#include "game/framework/MissingData.h"
#include "game/framework/Streams.h"
#include "game/race/EntryReader.h"
#include "game/race/EventEntryLayout.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/Verify.h"
#include "runtime/constantStrings.h"

#include <vector>

namespace game {

namespace {

constexpr const char* kTablesPackName = "game tables pack";
constexpr const char* kEventPackName = "event pack";
constexpr const char* kZonePackName = "zone pack";
// Block item counts are used as signed bytes.
constexpr std::int32_t kMaxBlockItems = 127;
// Bytes of one block item row value set (13 values), of one zone.
constexpr std::int32_t kItemRowBytes = 20;
constexpr std::int32_t kZoneBytes = 4;

rt::String* constantString(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

rt::ShortArray* readShorts(EntryReader& reader, std::int32_t count, bool wide) {
    rt::ShortArray* array = rt::newShortArray(count);
    for (std::int32_t i = 0; i < count; ++i)
        rt::ShortArray::set(array, i, static_cast<std::int16_t>(wide ? reader.u16() : reader.u8()));
    return array;
}

rt::Object* element(rt::ObjectArray* array, std::int32_t index) {
    return rt::ObjectArray::get(array, index);
}

// The lists, blocks and extras after the race table. Nothing reads them, so
// a fault here leaves the tables before them as they are.
void readListsAndBlocks(EntryReader& reader) {
    RaceTableStatics& s = raceTableStatics();
    std::int32_t lists = reader.u8();
    if (!reader.fits(lists, 3, "lists"))
        return;
    s.s_listValues = readShorts(reader, lists, true);
    s.s_listItems = rt::newObjectArray(lists);
    for (std::int32_t i = 0; i < lists; ++i) {
        std::int32_t items = reader.u8();
        if (!reader.fits(items, 3, "list items"))
            return;
        rt::ObjectArray::set(s.s_listItems, i, readShorts(reader, 3 * items, false));
    }
    std::int32_t blocks = reader.u8();
    if (!reader.fits(blocks, 7 + 4 * static_cast<std::int64_t>(lists), "blocks"))
        return;
    s.s_blockFlags = rt::newObjectArray(blocks);
    s.s_blockCounts = rt::newByteArray(blocks);
    s.s_blockTriples = rt::newByteArray(3 * blocks);
    s.s_blockBytes = rt::newObjectArray(blocks);
    s.s_blockItemTriples = rt::newObjectArray(blocks);
    s.s_blockItemBytesA = rt::newObjectArray(blocks);
    s.s_blockItemBytesB = rt::newObjectArray(blocks);
    s.s_blockItemRows = rt::newObjectArray(blocks);
    s.s_blockItemValues = rt::newObjectArray(blocks);
    s.s_blockValues = readShorts(reader, blocks, true);
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockFlags, i, reader.byteArray(lists + 1));
    std::vector<std::int32_t> counts(static_cast<std::size_t>(blocks));
    for (std::int32_t i = 0; i < blocks; ++i) {
        counts[static_cast<std::size_t>(i)] = reader.u8();
        rt::ByteArray::set(s.s_blockCounts, i, static_cast<std::int8_t>(counts[static_cast<std::size_t>(i)]));
        if (counts[static_cast<std::size_t>(i)] > kMaxBlockItems) {
            host::logf(host::LogCategory::Game,
                       "%s: block %d counts %d items, more than %d; the rest of the entry "
                       "is not read",
                       kTablesPackName, i, counts[static_cast<std::size_t>(i)], kMaxBlockItems);
            return;
        }
    }
    std::int64_t items = 0;
    for (std::int32_t count : counts)
        items += count;
    // Each item takes its value, triple, two bytes and its row count.
    if (!reader.fits(items, 8, "block items"))
        return;
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockItemValues, i,
                             readShorts(reader, counts[static_cast<std::size_t>(i)], true));
    for (std::int32_t i = 0; i < 3 * blocks; ++i)
        rt::ByteArray::set(s.s_blockTriples, i, static_cast<std::int8_t>(reader.u8()));
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockBytes, i, reader.byteArray(3 * lists));
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockItemTriples, i,
                             reader.byteArray(3 * counts[static_cast<std::size_t>(i)]));
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockItemBytesA, i, reader.byteArray(counts[static_cast<std::size_t>(i)]));
    for (std::int32_t i = 0; i < blocks; ++i)
        rt::ObjectArray::set(s.s_blockItemBytesB, i, reader.byteArray(counts[static_cast<std::size_t>(i)]));
    for (std::int32_t i = 0; i < blocks && reader.ok(); ++i) {
        std::int32_t count = counts[static_cast<std::size_t>(i)];
        rt::ObjectArray* rows = rt::newObjectArray(count);
        rt::ObjectArray::set(s.s_blockItemRows, i, rows);
        for (std::int32_t j = 0; j < count; ++j) {
            std::int32_t sets = reader.u8();
            if (!reader.fits(sets, kItemRowBytes, "block item rows"))
                return;
            rt::IntArray* row = rt::newIntArray(13 * sets);
            for (std::int32_t x = 0; x < 13 * sets; ++x) {
                std::int32_t slot = x % 13;
                std::int32_t value = slot >= 11 ? reader.s32() : slot == 9 ? reader.u16() : reader.s8();
                rt::IntArray::set(row, x, value);
            }
            rt::ObjectArray::set(rows, j, row);
        }
    }
    std::int32_t extras = reader.u8();
    if (!reader.fits(extras, 3, "extras"))
        return;
    s.s_extraItems = rt::newObjectArray(extras);
    s.s_extraValues = readShorts(reader, extras, true);
    for (std::int32_t i = 0; i < extras; ++i) {
        std::int32_t count = reader.u8();
        if (!reader.fits(count, 5, "extra items"))
            return;
        rt::ObjectArray::set(s.s_extraItems, i, readShorts(reader, 5 * count, false));
    }
}

} // namespace

void readGameTables(EntryReader& reader) {
    RaceTableStatics& s = raceTableStatics();
    std::int32_t chunks = reader.u8();
    if (!reader.fits(chunks, 3, "record chunks"))
        return;
    s.s_racerRecords = rt::newObjectArray(chunks);
    s.s_recordChunkValues = readShorts(reader, chunks, true);
    s.s_racerBlockSizes = rt::newShortArray(chunks + 1);
    s.s_recordBytes = rt::newObjectArray(chunks);
    std::int32_t total = 0;
    for (std::int32_t i = 0; i < chunks; ++i) {
        std::int32_t records = reader.u8();
        if (!reader.fits(records, 11, "records"))
            return;
        rt::ShortArray* chunk = rt::newShortArray(kRecordShorts * records);
        for (std::int32_t j = 0; j < records; ++j) {
            for (std::int32_t f = 0; f < 9; ++f)
                rt::ShortArray::set(chunk, kRecordShorts * j + f, static_cast<std::int16_t>(reader.u8()));
            rt::ShortArray::set(chunk, kRecordShorts * j + 9, static_cast<std::int16_t>(reader.u16()));
        }
        rt::ObjectArray::set(s.s_racerRecords, i, chunk);
        rt::ShortArray::set(s.s_racerBlockSizes, i, static_cast<std::int16_t>(records));
        rt::ObjectArray::set(s.s_recordBytes, i, rt::newObjectArray(records));
        total += records;
    }
    rt::ShortArray::set(s.s_racerBlockSizes, chunks, static_cast<std::int16_t>(total));
    for (std::int32_t i = 0; i < chunks; ++i) {
        auto* strings = static_cast<rt::ObjectArray*>(element(s.s_recordBytes, i));
        for (std::int32_t j = 0; j < rt::ShortArray::get(s.s_racerBlockSizes, i); ++j) {
            std::int32_t length = reader.u8();
            if (!reader.fits(length, 1, "record bytes"))
                return;
            rt::ObjectArray::set(strings, j, reader.byteArray(length));
        }
    }
    std::int32_t rows = reader.u8();
    if (!reader.fits(rows, kRaceRowValues, "race rows"))
        return;
    s.s_themeTable = rt::newShortArray(kRaceRowValues * rows);
    for (std::int32_t i = 0; i < kRaceRowValues * rows; ++i)
        rt::ShortArray::set(s.s_themeTable, i, static_cast<std::int16_t>(reader.s8()));
    readListsAndBlocks(reader);
}

namespace {

std::int32_t readEventField(EntryReader& reader, EventFieldEncoding encoding) {
    switch (encoding) {
    case EventFieldEncoding::U8:
        return reader.u8();
    case EventFieldEncoding::S8:
        return reader.s8();
    case EventFieldEncoding::U16:
        return reader.u16();
    case EventFieldEncoding::S16:
        return reader.s16();
    case EventFieldEncoding::U31:
        return reader.s32() & 0x7FFFFFFF;
    case EventFieldEncoding::S32:
        return reader.s32();
    }
    return 0;
}

// `count` records of `fields` into `into`, record k from int `stride` x k on.
void readFieldRecords(EntryReader& reader, std::span<const EventFieldEncoding> fields, std::int32_t count,
                      std::int32_t stride, rt::IntArray* into) {
    for (std::int32_t k = 0; k < count; ++k)
        for (std::size_t f = 0; f < fields.size(); ++f)
            rt::IntArray::set(into, stride * k + static_cast<std::int32_t>(f),
                              readEventField(reader, fields[f]));
}

rt::ObjectArray* ensureSlot(rt::ObjectArray* table, std::int32_t index, std::int32_t length) {
    auto* slot = static_cast<rt::ObjectArray*>(element(table, index));
    if (!slot || slot->length() < length) {
        slot = rt::newObjectArray(length);
        rt::ObjectArray::set(table, index, slot);
    }
    return slot;
}

// The readers of an event entry's parts. Each answers whether the entry's
// read goes on; what a part read before a fault stays.

bool readPathPoints(EntryReader& reader, std::int32_t entry) {
    static_assert(kPathPointFields.size() == kPathFields);
    EventStatics& s = eventStatics();
    const std::int32_t points = reader.u8();
    if (!reader.fits(points, eventFieldsBytes(kPathPointFields), "path points"))
        return false;
    rt::IntArray* fields[kPathFields];
    for (std::int32_t f = 0; f < kPathFields; ++f) {
        fields[f] = rt::newIntArray(points);
        rt::ObjectArray::set(s.s_pathFields[f], entry, fields[f]);
    }
    for (std::int32_t p = 0; p < points; ++p)
        for (std::int32_t f = 0; f < kPathFields; ++f)
            rt::IntArray::set(fields[f], p,
                              readEventField(reader, kPathPointFields[static_cast<std::size_t>(f)]));
    return true;
}

// The per-variant tables of `entry`, for `variants` variants.
void makeVariantTables(std::int32_t entry, std::int32_t variants) {
    EventStatics& s = eventStatics();
    auto* rows = rt::newObjectArray(variants);
    auto* lists = rt::newObjectArray(variants);
    auto* objects = rt::newObjectArray(variants);
    auto* triggers = rt::newObjectArray(variants);
    rt::IntArray* listCounts = rt::newIntArray(variants);
    rt::IntArray* objectCounts = rt::newIntArray(variants);
    rt::IntArray* triggerCounts = rt::newIntArray(variants);
    rt::ObjectArray::set(s.s_eventRows, entry, rows);
    rt::ObjectArray::set(s.s_eventLists, entry, lists);
    rt::ObjectArray::set(s.s_eventObjects, entry, objects);
    rt::ObjectArray::set(s.s_dynamicTriggers, entry, triggers);
    rt::ObjectArray::set(s.s_eventListCounts, entry, listCounts);
    rt::ObjectArray::set(s.s_eventObjectCounts, entry, objectCounts);
    rt::ObjectArray::set(s.s_dynamicTriggerCounts, entry, triggerCounts);
}

// The variant being read: its entry, which indexes the per-variant tables,
// its track, which indexes the short tables, its number and their count.
struct Variant {
    std::int32_t entry;
    std::int32_t track;
    std::int32_t index;
    std::int32_t count;
};

// Sets element `variant.index` of the per-variant table `table` of the entry.
void setVariant(rt::ObjectArray* table, const Variant& variant, rt::Object* value) {
    rt::ObjectArray::set(static_cast<rt::ObjectArray*>(element(table, variant.entry)), variant.index, value);
}
void setVariantCount(rt::ObjectArray* counts, const Variant& variant, std::int32_t value) {
    rt::IntArray::set(static_cast<rt::IntArray*>(element(counts, variant.entry)), variant.index, value);
}

bool readEventRow(EntryReader& reader, const Variant& variant) {
    rt::IntArray* values = rt::newIntArray(static_cast<std::int32_t>(kEventRowFields.size()));
    readFieldRecords(reader, kEventRowFields, 1, values->length(), values);
    setVariant(eventStatics().s_eventRows, variant, values);
    return true;
}

// A u8 count of records of `fields`, `stride` ints each, into the variant's
// element of the per-variant table `records`, and the count into `counts`.
bool readVariantRecords(EntryReader& reader, const Variant& variant,
                        std::span<const EventFieldEncoding> fields, std::int32_t stride,
                        rt::ObjectArray* counts, rt::ObjectArray* records, const char* field) {
    const std::int32_t items = reader.u8();
    if (!reader.fits(items, eventFieldsBytes(fields), field))
        return false;
    setVariantCount(counts, variant, items);
    rt::IntArray* values = rt::newIntArray(stride * items);
    readFieldRecords(reader, fields, items, stride, values);
    setVariant(records, variant, values);
    return true;
}

bool readEventList(EntryReader& reader, const Variant& variant) {
    const EventStatics& s = eventStatics();
    return readVariantRecords(reader, variant, kEventListItemFields,
                              static_cast<std::int32_t>(kEventListItemFields.size()), s.s_eventListCounts,
                              s.s_eventLists, "event list");
}

bool readEventObjects(EntryReader& reader, const Variant& variant) {
    const EventStatics& s = eventStatics();
    return readVariantRecords(reader, variant, kEventObjectFields, kEventObjectInts, s.s_eventObjectCounts,
                              s.s_eventObjects, "event objects");
}

bool skipEventItems(EntryReader& reader) {
    const std::int32_t items = reader.u8();
    if (!reader.fits(items, kSkippedEventItemBytes, "skipped event items"))
        return false;
    reader.skip(kSkippedEventItemBytes * items);
    return true;
}

// A variant without dynamic triggers keeps a count of 0 and a null table.
bool readDynamicTriggers(EntryReader& reader, const Variant& variant) {
    EventStatics& s = eventStatics();
    const std::int32_t items = reader.u8();
    if (items == 0)
        return true;
    if (!reader.fits(items, kDynamicTriggerBytes, "dynamic triggers"))
        return false;
    setVariantCount(s.s_dynamicTriggerCounts, variant, items);
    rt::IntArray* entries = rt::newIntArray(items);
    for (std::int32_t k = 0; k < items; ++k)
        rt::IntArray::set(entries, k, reader.s32());
    setVariant(s.s_dynamicTriggers, variant, entries);
    return true;
}

// The short table goes by track, not by entry; a count below 1 reads nothing.
bool readVariantShorts(EntryReader& reader, const Variant& variant) {
    const std::int32_t shorts = reader.s16();
    if (shorts < 1)
        return true;
    if (!reader.fits(shorts, kVariantShortBytes, "variant shorts"))
        return false;
    rt::ShortArray* table = rt::newShortArray(shorts);
    for (std::int32_t k = 0; k < shorts; ++k)
        rt::ShortArray::set(table, k, static_cast<std::int16_t>(reader.s16()));
    rt::ObjectArray::set(ensureSlot(eventStatics().s_variantShorts, variant.track, variant.count),
                         variant.index, table);
    return true;
}

bool readVariantSection(EventVariantSection section, EntryReader& reader, const Variant& variant) {
    switch (section) {
    case EventVariantSection::Row:
        return readEventRow(reader, variant);
    case EventVariantSection::List:
        return readEventList(reader, variant);
    case EventVariantSection::Objects:
        return readEventObjects(reader, variant);
    case EventVariantSection::SkippedItems:
        return skipEventItems(reader);
    case EventVariantSection::DynamicTriggers:
        return readDynamicTriggers(reader, variant);
    case EventVariantSection::Shorts:
        return readVariantShorts(reader, variant);
    }
    return false;
}

// One event entry; `typeFlags` and `typeVariants` note, by (row, type), the
// last variant of each indexed type that was read whole.
void readEventEntry(EntryReader& reader, std::int32_t entry, std::int32_t track, std::int32_t row,
                    std::vector<std::int8_t>& typeFlags, std::vector<std::int8_t>& typeVariants) {
    RT_VERIFY(entry >= 0 && entry < kTrackCount && track >= 0 && track < kTrackCount);
    if (!readPathPoints(reader, entry))
        return;
    const std::int32_t variants = reader.u8();
    if (!reader.fits(variants, kLeastVariantBytes, "variants"))
        return;
    makeVariantTables(entry, variants);
    for (std::int32_t j = 0; j < variants; ++j) {
        const Variant variant{entry, track, j, variants};
        for (EventVariantSection section : kEventVariantSections)
            if (!readVariantSection(section, reader, variant))
                return;
        if (!reader.ok())
            return;
        const std::int32_t type = rt::IntArray::get(eventRow(entry, j), kEventTypeField);
        if (type < kIndexedEventTypes) {
            auto at = static_cast<std::size_t>(kIndexedEventTypes * row + type);
            typeFlags[at] = 1;
            typeVariants[at] = static_cast<std::int8_t>(j);
        }
    }
}

void buildEventsByType(const std::vector<std::int8_t>& typeFlags,
                       const std::vector<std::int8_t>& typeVariants, std::int32_t rows) {
    EventStatics& s = eventStatics();
    for (std::int32_t type = 0; type < kIndexedEventTypes; ++type) {
        std::int32_t count = 0;
        for (std::int32_t r = 0; r < rows; ++r)
            count += typeFlags[static_cast<std::size_t>(kIndexedEventTypes * r + type)];
        rt::ObjectArray* pairs = rt::newObjectArray(count);
        std::int32_t next = 0;
        for (std::int32_t r = 0; r < rows; ++r) {
            auto at = static_cast<std::size_t>(kIndexedEventTypes * r + type);
            if (!typeFlags[at])
                continue;
            rt::ByteArray* pair = rt::newByteArray(2);
            rt::ByteArray::set(pair, 0, static_cast<std::int8_t>(r));
            rt::ByteArray::set(pair, 1, typeVariants[at]);
            rt::ObjectArray::set(pairs, next++, pair);
        }
        rt::ObjectArray::set(s.s_eventsByType, type, pairs);
    }
}

void createEventTables() {
    EventStatics& s = eventStatics();
    for (rt::ObjectArray*& table : s.s_pathFields)
        table = rt::newObjectArray(kTrackCount);
    for (rt::ObjectArray** table : {&s.s_eventRows, &s.s_eventLists, &s.s_eventObjects, &s.s_dynamicTriggers,
                                    &s.s_eventListCounts, &s.s_eventObjectCounts, &s.s_dynamicTriggerCounts})
        *table = rt::newObjectArray(kTrackCount);
    if (!s.s_variantShorts)
        s.s_variantShorts = rt::newObjectArray(kTrackCount);
}

// The event row of a by-type pair (race row, variant).
rt::IntArray* pairRow(rt::ObjectArray* pairs, std::int32_t k) {
    auto* pair = static_cast<rt::ByteArray*>(element(pairs, k));
    std::int32_t row = rt::ByteArray::get(pair, 0);
    return eventRow(raceRowValue(row, 1), rt::ByteArray::get(pair, 1));
}

} // namespace

void readEventEntry(EntryReader& reader, std::int32_t entry, std::int32_t track) {
    EventStatics& s = eventStatics();
    if (!s.s_eventRows)
        createEventTables();
    std::vector<std::int8_t> typeFlags(static_cast<std::size_t>(kIndexedEventTypes * (entry + 1)));
    std::vector<std::int8_t> typeVariants(typeFlags.size());
    readEventEntry(reader, entry, track, entry, typeFlags, typeVariants);
}

RaceTableStatics& raceTableStatics() {
    return rt::getStaticClass().statics<RaceTableStatics>();
}

EventStatics& eventStatics() {
    return rt::getStaticClass().statics<EventStatics>();
}

std::string loadTablesFromPack157() {
    packOpen(constantString(rt::constants::kGameTablesPack));
    EntryReader reader = EntryReader::ofEntry(0, kTablesPackName);
    closeStream();
    readGameTables(reader);
    if (!reader.ok())
        return "entry 0: " + reader.fault();
    if (raceRowCount() == 0)
        return "entry 0 holds no race rows";
    // Row r races on track r from event entry r (or names no entry, -1):
    // the events, the tracks' arrays and the race slots index by the row.
    for (std::int32_t r = 0; r < raceRowCount(); ++r) {
        const std::int32_t track = raceRowValue(r, 0);
        const std::int32_t entry = raceRowValue(r, 1);
        if (entry == -1 ? track >= 0 && track < kTrackCount : entry == r && track == r)
            continue;
        return "entry 0: race row " + std::to_string(r) + " names entry " + std::to_string(entry) +
               " and track " + std::to_string(track) + "; a row names its own entry and track";
    }
    return {};
}

std::string loadTablesFromPack159() {
    EventStatics& s = eventStatics();
    createEventTables();
    s.s_eventsByType = rt::newObjectArray(kIndexedEventTypes);
    const std::int32_t rows = raceRowCount();
    std::vector<std::int8_t> typeFlags(static_cast<std::size_t>(kIndexedEventTypes * rows));
    std::vector<std::int8_t> typeVariants(typeFlags.size());
    std::string problem;
    packOpen(constantString(rt::constants::kEventPack));
    for (std::int32_t r = 0; r < rows; ++r) {
        std::int32_t track = raceRowValue(r, 0);
        std::int32_t entry = raceRowValue(r, 1);
        if (entry == -1)
            continue;
        if (entry < 0 || entry >= kTrackCount || track < 0 || track >= kTrackCount) {
            host::logf(host::LogCategory::Game,
                       "%s: race row %d names entry %d and track %d, outside 0..%d; skipped", kEventPackName,
                       r, entry, track, kTrackCount - 1);
            continue;
        }
        if (entry != r || track != r)
            host::logf(host::LogCategory::Game,
                       "%s: race row %d names entry %d and track %d; rows, tracks and "
                       "entries are expected to agree",
                       kEventPackName, r, entry, track);
        EntryReader reader = EntryReader::ofEntry(entry, kEventPackName);
        readEventEntry(reader, entry, track, r, typeFlags, typeVariants);
        if (!reader.ok() && problem.empty())
            problem = "entry " + std::to_string(entry) + ": " + reader.fault();
    }
    closeStream();
    buildEventsByType(typeFlags, typeVariants, rows);
    buildProgressTables();
    loadRecordB();
    loadRecordA();
    return problem;
}

std::string loadTablesFromPack161() {
    const EventSlotStatics& slots = eventSlotStatics();
    std::int32_t track = rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent);
    packOpen(constantString(rt::constants::kZonePack));
    EntryReader reader = EntryReader::ofEntry(track, kZonePackName);
    closeStream();
    readZones(reader, track);
    if (!reader.ok())
        return "entry " + std::to_string(track) + ": " + reader.fault();
    if (2 + eventStatics().s_trackZoneCount * kZoneBytes > reader.size())
        return "entry " + std::to_string(track) + " is cut inside its zones";
    return {};
}

void readZones(EntryReader& reader, std::int32_t track) {
    EventStatics& s = eventStatics();
    std::int32_t count = reader.s16be();
    if (count < 0)
        count = 0;
    s.s_trackZoneCount = count;
    s.s_trackZones = rt::newShortArray(3 * count);
    std::int32_t zones = 0;
    for (; zones < count && reader.remaining() >= kZoneBytes; ++zones) {
        rt::ShortArray::set(s.s_trackZones, 3 * zones, static_cast<std::int16_t>(reader.u16be()));
        rt::ShortArray::set(s.s_trackZones, 3 * zones + 1, static_cast<std::int16_t>(reader.s8()));
        rt::ShortArray::set(s.s_trackZones, 3 * zones + 2, static_cast<std::int16_t>(reader.s8()));
    }
    if (zones < count || !reader.ok())
        host::logf(host::LogCategory::Game, "%s: entry %d holds %d of its %d zones", kZonePackName, track,
                   zones, count);
}

std::int32_t getRecordShort(std::int32_t id, std::int32_t column) {
    const RaceTableStatics& s = raceTableStatics();
    if (id < 0 || !s.s_racerRecords || !s.s_racerBlockSizes)
        return -1;
    for (std::int32_t block = 0; block < s.s_racerRecords->length(); ++block) {
        std::int32_t size = rt::ShortArray::get(s.s_racerBlockSizes, block);
        if (id < size)
            return rt::ShortArray::get(static_cast<rt::ShortArray*>(element(s.s_racerRecords, block)),
                                       column + id * kRecordShorts);
        id -= size;
    }
    return -1;
}

std::int32_t raceRowCount() {
    const rt::ShortArray* table = raceTableStatics().s_themeTable;
    return table ? table->length() / kRaceRowValues : 0;
}

std::int32_t raceRowValue(std::int32_t row, std::int32_t field) {
    return rt::ShortArray::get(raceTableStatics().s_themeTable, kRaceRowValues * row + field);
}

rt::IntArray* eventRow(std::int32_t entry, std::int32_t variant) {
    const EventStatics& s = eventStatics();
    if (!s.s_eventRows || entry < 0 || entry >= s.s_eventRows->length())
        return nullptr;
    auto* rows = static_cast<rt::ObjectArray*>(element(s.s_eventRows, entry));
    if (!rows || variant < 0 || variant >= rows->length())
        return nullptr;
    return static_cast<rt::IntArray*>(element(rows, variant));
}

void buildProgressTables() {
    const EventStatics& s = eventStatics();
    if (!s.s_eventsByType)
        return;
    SaveRecordStatics& records = saveRecordStatics();
    auto eventsOf = [&](EventType type) {
        return static_cast<rt::ObjectArray*>(element(s.s_eventsByType, eventTypeNumber(type)));
    };
    auto* bestTimes = eventsOf(EventType::Distance);
    std::int32_t timed = bestTimes ? bestTimes->length() : 0;
    records.s_eventRecords = rt::newIntArray(3 * timed);
    for (std::int32_t k = 0; k < timed; ++k) {
        rt::IntArray* row = pairRow(bestTimes, k);
        for (std::int32_t i = 0; i < 3; ++i)
            rt::IntArray::set(records.s_eventRecords, 3 * k + i, rt::IntArray::get(row, 1 + i));
    }
    auto references = [&](EventType type) {
        auto* pairs = eventsOf(type);
        std::int32_t count = pairs ? pairs->length() : 0;
        rt::IntArray* values = rt::newIntArray(count);
        for (std::int32_t k = 0; k < count; ++k)
            rt::IntArray::set(values, k, rt::IntArray::get(pairRow(pairs, k), 1));
        return values;
    };
    records.s_eventResults = references(EventType::StopAndGo);
    records.s_eventProgress = references(EventType::Points);
}

void loadStartupRaceData() {
    (void)loadTablesFromPack157();
    loadRacerDefinitions();
    if (std::string problem = loadTablesFromPack159(); !problem.empty()) {
        rt::String* events = constantString(rt::constants::kEventPack);
        endRunWithBrokenData(events ? events->toUtf8() : std::string("(no pack)"), problem);
        return;
    }
    for (std::int32_t row = 0; row < raceRowCount(); ++row)
        loadTrackArrays(raceRowValue(row, 0));
}

RaceDataProblem checkRaceData() {
    auto fileOf = [](std::int32_t pack) {
        rt::String* name = constantString(pack);
        return name ? name->toUtf8() : std::string("(no pack)");
    };
    if (std::string problem = loadTablesFromPack157(); !problem.empty())
        return {fileOf(rt::constants::kGameTablesPack), problem};
    loadRacerDefinitions();
    return {fileOf(rt::constants::kRacerPack), racerDataProblem()};
}

} // namespace game
