#include "tools/datakit/GameTablesWriter.h"

namespace datakit {

Bytes writeGameTables(const GameTables& t) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(t.chunks.size()));
    for (const RecordChunk& chunk : t.chunks)
        out.u16(kLE, chunk.value);
    for (const RecordChunk& chunk : t.chunks) {
        out.u8(static_cast<std::uint8_t>(chunk.records.size()));
        for (const TableRecord& record : chunk.records) {
            out.bytes(record.fields);
            out.u16(kLE, record.field9);
        }
    }
    for (const RecordChunk& chunk : t.chunks)
        for (const TableRecord& record : chunk.records) {
            out.u8(static_cast<std::uint8_t>(record.bytes.size()));
            out.bytes(record.bytes);
        }
    out.u8(static_cast<std::uint8_t>(t.races.size()));
    for (const RaceRow& row : t.races)
        for (std::int8_t value : row.values)
            out.i8(value);
    out.u8(static_cast<std::uint8_t>(t.listValues.size()));
    for (std::uint16_t value : t.listValues)
        out.u16(kLE, value);
    for (const auto& items : t.listItems) {
        out.u8(static_cast<std::uint8_t>(items.size() / 3));
        out.bytes(std::span(items).first(items.size() / 3 * 3));
    }
    out.u8(static_cast<std::uint8_t>(t.blocks.size()));
    for (const TableBlock& block : t.blocks)
        out.u16(kLE, block.value);
    for (const TableBlock& block : t.blocks)
        out.bytes(block.flags);
    for (const TableBlock& block : t.blocks)
        out.u8(
            static_cast<std::uint8_t>(block.countOverride >= 0 ? block.countOverride : block.items.size()));
    for (const TableBlock& block : t.blocks)
        for (const BlockItem& item : block.items)
            out.u16(kLE, item.value);
    for (const TableBlock& block : t.blocks)
        out.bytes(block.triple);
    for (const TableBlock& block : t.blocks)
        out.bytes(block.bytes);
    for (const TableBlock& block : t.blocks)
        for (const BlockItem& item : block.items)
            out.bytes(item.triple);
    for (const TableBlock& block : t.blocks)
        for (const BlockItem& item : block.items)
            out.u8(item.byteA);
    for (const TableBlock& block : t.blocks)
        for (const BlockItem& item : block.items)
            out.u8(item.byteB);
    for (const TableBlock& block : t.blocks)
        for (const BlockItem& item : block.items) {
            std::size_t sets = item.row.size() / 13;
            out.u8(static_cast<std::uint8_t>(sets));
            for (std::size_t x = 0; x < sets * 13; ++x) {
                std::size_t slot = x % 13;
                if (slot >= 11)
                    out.i32(kLE, item.row[x]);
                else if (slot == 9)
                    out.u16(kLE, static_cast<std::uint16_t>(item.row[x]));
                else
                    out.i8(static_cast<std::int8_t>(item.row[x]));
            }
        }
    out.u8(static_cast<std::uint8_t>(t.extraValues.size()));
    for (std::uint16_t value : t.extraValues)
        out.u16(kLE, value);
    for (const auto& items : t.extraItems) {
        out.u8(static_cast<std::uint8_t>(items.size() / 5));
        out.bytes(std::span(items).first(items.size() / 5 * 5));
    }
    return std::move(out).take();
}

} // namespace datakit
