#pragma once
// The game's tables that belong to no single track: the 10-short records
// (racers among them) and the race table from entry 0 of the game tables
// pack (constant string 157); the event tables from the event pack (159),
// one entry per race row; and the current track's zones from the zone pack
// (161).
//
// Game tables entry 0 (little-endian): P chunks (u8) and their values
// (P x u16); per chunk k records (u8) of 9 x u8 and a u16; per record a
// byte string (u8 length); R race rows of 8 x s8 (field 0 the track, field
// 1 the event entry or -1); then lists, blocks and extras that the game
// keeps and nothing reads. A block item count of 128 or more stops the read
// of that rest, logged, and the tables before it stay.
//
// Event entry e (EventEntryLayout.h): path points, variants, per variant
// the event row, its list, objects, skipped items, dynamic triggers and
// short table. Tables are indexed by the entry (the short tables by the
// track); the data keep race row r = track r = entry r, and a row that
// breaks it is logged. A row whose entry or track lies outside 0..5 is
// skipped, logged.
//
// Zone entry (big-endian, through a data input stream): s16 n (a negative
// count is 0), then n zones of u16, s8, s8. An entry shorter than its count
// is logged and keeps the zones read.
//
// Counts are checked against the entry's bytes as for tracks (TrackData.h).
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <string>

namespace game {

inline constexpr std::int32_t kRecordShorts = 10;
inline constexpr std::int32_t kRaceRowValues = 8;
inline constexpr std::int32_t kPathFields = 10;

struct RaceTableStatics {
    // Per chunk: short[10k] of records, its value, and per record a byte[].
    rt::ObjectArray* s_racerRecords = nullptr;
    rt::ShortArray* s_recordChunkValues = nullptr;
    // short[P + 1]: each chunk's record count, then their total.
    rt::ShortArray* s_racerBlockSizes = nullptr;
    rt::ObjectArray* s_recordBytes = nullptr;
    // The race table, 8 values per row: [0] track, [1] event entry, [2] icon,
    // [3] second display value, [7] opponent filter.
    rt::ShortArray* s_themeTable = nullptr;
    // Lists, blocks and extras: kept, read by nobody.
    rt::ShortArray* s_listValues = nullptr;
    rt::ObjectArray* s_listItems = nullptr;
    rt::ObjectArray* s_blockFlags = nullptr;
    rt::ByteArray* s_blockCounts = nullptr;
    rt::ByteArray* s_blockTriples = nullptr;
    rt::ObjectArray* s_blockBytes = nullptr;
    rt::ObjectArray* s_blockItemTriples = nullptr;
    rt::ObjectArray* s_blockItemBytesA = nullptr;
    rt::ObjectArray* s_blockItemBytesB = nullptr;
    rt::ObjectArray* s_blockItemRows = nullptr;
    rt::ShortArray* s_blockValues = nullptr;
    rt::ObjectArray* s_blockItemValues = nullptr;
    rt::ObjectArray* s_extraItems = nullptr;
    rt::ShortArray* s_extraValues = nullptr;

    RT_REFERENCE_FIELDS(RaceTableStatics, rt::NoReferenceBase, s_racerRecords, s_recordChunkValues,
                        s_racerBlockSizes, s_recordBytes, s_themeTable, s_listValues, s_listItems,
                        s_blockFlags, s_blockCounts, s_blockTriples, s_blockBytes, s_blockItemTriples,
                        s_blockItemBytesA, s_blockItemBytesB, s_blockItemRows, s_blockValues,
                        s_blockItemValues, s_extraItems, s_extraValues)
};

struct EventStatics {
    // Object[6] by entry, each int[n] by path point.
    rt::ObjectArray* s_pathFields[kPathFields] = {};
    // Object[6] by entry, each Object[v] by variant of int[17].
    rt::ObjectArray* s_eventRows = nullptr;
    // Object[6] by entry of Object[v] (int[3c], int[6d], int[h]) and of
    // int[v] counts.
    rt::ObjectArray* s_eventLists = nullptr;
    rt::ObjectArray* s_eventObjects = nullptr;
    rt::ObjectArray* s_dynamicTriggers = nullptr;
    rt::ObjectArray* s_eventListCounts = nullptr;
    rt::ObjectArray* s_eventObjectCounts = nullptr;
    rt::ObjectArray* s_dynamicTriggerCounts = nullptr;
    // Object[6] by track of Object[v] of short[q].
    rt::ObjectArray* s_variantShorts = nullptr;
    // Object[7] by event type of byte[n][2] pairs (race row, variant).
    rt::ObjectArray* s_eventsByType = nullptr;
    // The current track's zones: three shorts each.
    std::int32_t s_trackZoneCount = 0;
    rt::ShortArray* s_trackZones = nullptr;

    RT_REFERENCE_FIELDS(EventStatics, rt::NoReferenceBase, s_pathFields[0], s_pathFields[1], s_pathFields[2],
                        s_pathFields[3], s_pathFields[4], s_pathFields[5], s_pathFields[6], s_pathFields[7],
                        s_pathFields[8], s_pathFields[9], s_eventRows, s_eventLists, s_eventObjects,
                        s_dynamicTriggers, s_eventListCounts, s_eventObjectCounts, s_dynamicTriggerCounts,
                        s_variantShorts, s_eventsByType, s_trackZones)
};

RaceTableStatics& raceTableStatics();
EventStatics& eventStatics();

// Each is named by the constant string that names its pack (157 the game
// tables, 159 the events, 161 the track zones). Entry 0 of the game tables
// pack; answers what is broken in it (a cut or lying count, no race rows),
// empty when it is sound.
std::string loadTablesFromPack157();
// The event entry of every race row, then the by-type lists, the progress
// tables and the two event records; answers the first entry's fault (cut,
// a lying count, not readable), empty when every entry read whole.
std::string loadTablesFromPack159();
// The zones of the current event's track; answers what is broken in the
// entry, empty when it is sound.
std::string loadTablesFromPack161();

class EntryReader;
// The readers of one entry, for the loaders above and for tests: the game
// tables, event entry `entry` (0..5) of `track` (0..5), and zones.
void readGameTables(EntryReader& reader);
void readEventEntry(EntryReader& reader, std::int32_t entry, std::int32_t track);
// The zones of `track` (named in log lines).
void readZones(EntryReader& reader, std::int32_t track);

// Field `column` of record `id` of the 10-short records; -1 for a negative
// id or one past the last record.
std::int32_t getRecordShort(std::int32_t id, std::int32_t column);
// The number of race rows.
std::int32_t raceRowCount();
// Field `field` of race row `row`.
std::int32_t raceRowValue(std::int32_t row, std::int32_t field);
// The fields of a race row that give the event slot its two icons
// (`s_eventIcon`, `s_eventIcon2`).
inline constexpr std::int32_t kRaceRowIconField = 2;
inline constexpr std::int32_t kRaceRowIcon2Field = 3;
// The event row of `entry` and `variant`, null when there is none.
rt::IntArray* eventRow(std::int32_t entry, std::int32_t variant);

// The saved event tables from the by-type lists: the three best times of
// each type-1 event (fields 1 to 3 of its row) in the event records, and
// the references of the type-4 and type-5 events (field 1) in the event
// results and progress values (SaveRecords.h).
void buildProgressTables();

// The race data that start-up loads, in order: the game tables, the racer
// definitions, the event tables (which read the saved event records), and
// the wire model of every race row's track. A broken event entry ends the
// run as broken data, naming the event pack.
void loadStartupRaceData();
// A broken file of the race data: the file (its pack's name, "/racers.pak")
// and what is wrong ("racer 3 has no time"); `what` is empty when the data
// are sound.
struct RaceDataProblem {
    std::string file;
    std::string what;
};
// Loads the game tables and the racer definitions and answers the first
// file broken among them. Start-up runs it before the game so that broken
// tables or racers end the program with the broken-data status.
RaceDataProblem checkRaceData();

} // namespace game
