#include "tools/datakit/ByteWriter.h"

#include "host/Verify.h"
#include "runtime/charsets.h"

namespace datakit {

void ByteWriter::u16(std::uint16_t value) {
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    m_bytes.push_back(static_cast<std::uint8_t>(value));
}

void ByteWriter::i32(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8)
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
}

void ByteWriter::i64(std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    i32(static_cast<std::int32_t>(bits >> 32));
    i32(static_cast<std::int32_t>(bits));
}

void ByteWriter::utf(std::u16string_view text) {
    std::size_t length = rt::modifiedUtf8Length(text);
    HOST_VERIFY_MSG(length <= 0xFFFF, "text too long for a modified UTF-8 string");
    u16(static_cast<std::uint16_t>(length));
    std::size_t at = m_bytes.size();
    m_bytes.resize(at + length);
    rt::encodeModifiedUtf8(text, m_bytes.data() + at);
}

void ByteWriter::utf(std::string_view latin1) {
    utf(widen(latin1));
}

void ByteWriter::patchI32(std::size_t at, std::int32_t value) {
    HOST_VERIFY(at + 4 <= m_bytes.size());
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        m_bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (24 - 8 * i));
}

std::u16string widen(std::string_view latin1) {
    std::u16string units;
    units.reserve(latin1.size());
    for (char c : latin1)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return units;
}

} // namespace datakit
