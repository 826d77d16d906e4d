#pragma once
// Entry 0 of the game tables pack, little-endian: the 10-short records in
// chunks (each record 9 bytes and a u16, then a byte string), the race
// table (8 signed bytes per row), and the lists, blocks and extras.
#include "tools/datakit/ByteWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace datakit {

struct TableRecord {
    std::array<std::uint8_t, 9> fields{};
    std::uint16_t field9 = 0;
    std::vector<std::uint8_t> bytes;
};

struct RecordChunk {
    std::uint16_t value = 0;
    std::vector<TableRecord> records;
};

struct RaceRow {
    std::array<std::int8_t, 8> values{};
};

struct BlockItem {
    std::uint16_t value = 0;
    std::array<std::uint8_t, 3> triple{};
    std::uint8_t byteA = 0;
    std::uint8_t byteB = 0;
    // 13 values per set: [11] and [12] s32, [9] u16, the rest s8.
    std::vector<std::int32_t> row;
};

struct TableBlock {
    std::uint16_t value = 0;
    std::vector<std::uint8_t> flags; // lists + 1 bytes
    std::array<std::uint8_t, 3> triple{};
    std::vector<std::uint8_t> bytes; // 3 x lists bytes
    std::vector<BlockItem> items;    // at most 127
    // Written in place of the item count, for broken tables.
    std::int32_t countOverride = -1;
};

struct GameTables {
    std::vector<RecordChunk> chunks;
    std::vector<RaceRow> races;
    std::vector<std::uint16_t> listValues;
    std::vector<std::vector<std::uint8_t>> listItems; // 3 bytes per item
    std::vector<TableBlock> blocks;
    std::vector<std::uint16_t> extraValues;
    std::vector<std::vector<std::uint8_t>> extraItems; // 5 bytes per item
};

Bytes writeGameTables(const GameTables& tables);

} // namespace datakit
