#include "tools/datakit/ByteWriter.h"

#include "host/Verify.h"
#include "runtime/charsets.h"

namespace datakit {

namespace {

// The byte of `bits` that goes `index` bytes after the start of a `width`-byte value.
std::uint8_t byteAt(ByteOrder order, std::uint64_t bits, int width, int index) {
    int shift = 8 * (order == ByteOrder::Big ? width - 1 - index : index);
    return static_cast<std::uint8_t>(bits >> shift);
}

} // namespace

void ByteWriter::put(ByteOrder order, std::uint64_t bits, int width) {
    for (int i = 0; i < width; ++i)
        m_bytes.push_back(byteAt(order, bits, width, i));
}

void ByteWriter::tag(const char (&name)[5]) {
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<std::uint8_t>(name[i]));
}

void ByteWriter::utf(std::u16string_view text) {
    std::size_t length = rt::modifiedUtf8Length(text);
    HOST_VERIFY_MSG(length <= 0xFFFF, "text too long for a modified UTF-8 string");
    u16(ByteOrder::Big, static_cast<std::uint16_t>(length));
    std::size_t at = m_bytes.size();
    m_bytes.resize(at + length);
    rt::encodeModifiedUtf8(text, m_bytes.data() + at);
}

void ByteWriter::utf(std::string_view latin1) {
    utf(widen(latin1));
}

void ByteWriter::patchI32(ByteOrder order, std::size_t at, std::int32_t value) {
    HOST_VERIFY(at + 4 <= m_bytes.size());
    for (int i = 0; i < 4; ++i)
        m_bytes[at + static_cast<std::size_t>(i)] = byteAt(order, static_cast<std::uint32_t>(value), 4, i);
}

std::u16string widen(std::string_view latin1) {
    std::u16string units;
    units.reserve(latin1.size());
    for (char c : latin1)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return units;
}

} // namespace datakit
