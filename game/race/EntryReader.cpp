#include "game/race/EntryReader.h"

#include "game/data/PackReader.h"
#include "game/framework/Streams.h"
#include "host/Log.h"

#include <algorithm>

namespace game {

EntryReader EntryReader::ofEntry(std::int32_t entry, const char* pack) {
    rt::ByteArray* payload = packReadEntry(entry);
    std::vector<std::uint8_t> bytes;
    if (payload) {
        std::span<std::int8_t> view = rt::ByteArray::span(payload);
        bytes.assign(view.begin(), view.end());
    }
    EntryReader reader(std::move(bytes), pack);
    if (!payload)
        reader.fail("entry", "cannot be read");
    return reader;
}

EntryReader EntryReader::ofEntryPrefix(std::int32_t entry, std::int32_t limit, const char* pack) {
    std::int32_t length = packSeek(entry);
    if (length < 0) {
        EntryReader reader({}, pack);
        reader.fail("entry", "cannot be read");
        return reader;
    }
    std::int32_t count = std::min(length, limit);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(readByte());
    return EntryReader(std::move(bytes), pack);
}

bool EntryReader::take(std::size_t count) {
    if (m_bytes.size() - m_position < count) {
        noteFault("the entry ends after " + std::to_string(size()) + " bytes, inside a field");
        m_cut = true;
        m_position = m_bytes.size();
        return false;
    }
    return true;
}

std::int32_t EntryReader::u8() {
    if (!take(1))
        return 0;
    return m_bytes[m_position++];
}

std::int32_t EntryReader::u16() {
    if (!take(2))
        return 0;
    std::int32_t value = m_bytes[m_position] | (m_bytes[m_position + 1] << 8);
    m_position += 2;
    return value;
}

std::int32_t EntryReader::u16be() {
    if (!take(2))
        return 0;
    std::int32_t value = (m_bytes[m_position] << 8) | m_bytes[m_position + 1];
    m_position += 2;
    return value;
}

std::int32_t EntryReader::s32() {
    if (!take(4))
        return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_bytes[m_position + static_cast<std::size_t>(i)];
    m_position += 4;
    return static_cast<std::int32_t>(value);
}

std::int32_t EntryReader::colour() {
    if (!take(3))
        return 0;
    std::uint32_t value = 0xFF000000u | (static_cast<std::uint32_t>(m_bytes[m_position]) << 16) |
                          (static_cast<std::uint32_t>(m_bytes[m_position + 1]) << 8) |
                          m_bytes[m_position + 2];
    m_position += 3;
    return static_cast<std::int32_t>(value);
}

void EntryReader::skip(std::int64_t count) {
    if (count <= 0)
        return;
    if (!take(static_cast<std::size_t>(count)))
        return;
    m_position += static_cast<std::size_t>(count);
}

rt::ByteArray* EntryReader::byteArray(std::int32_t count) {
    rt::ByteArray* array = rt::newByteArray(count);
    for (std::int32_t i = 0; i < count; ++i)
        rt::ByteArray::set(array, i, static_cast<std::int8_t>(u8()));
    return array;
}

bool EntryReader::fits(std::int64_t count, std::int64_t width, const char* field) {
    if (count >= 0 && count * width <= remaining())
        return true;
    noteFault(std::string(field) + ": a count of " + std::to_string(count) + " needs " +
              std::to_string(count * width) + " bytes, the entry has " + std::to_string(remaining()) +
              " left");
    m_failed = true;
    return false;
}

void EntryReader::fail(const char* field, const char* why) {
    noteFault(std::string(field) + " " + why);
    m_failed = true;
}

void EntryReader::noteFault(std::string text) {
    if (m_failed || m_cut)
        return;
    host::logf(host::LogCategory::Game, "%s: %s", m_pack, text.c_str());
    m_fault = std::move(text);
}

} // namespace game
