#include "tools/datakit/PngWriter.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace datakit {

namespace {

std::uint32_t crc32(std::string_view tag, const Bytes& data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    auto feed = [&](std::uint8_t byte) { c = table[(c ^ byte) & 0xFF] ^ (c >> 8); };
    for (char ch : tag)
        feed(static_cast<std::uint8_t>(ch));
    for (std::uint8_t byte : data)
        feed(byte);
    return c ^ 0xFFFFFFFFu;
}

void chunk(ByteWriter& out, const char (&tag)[5], const Bytes& data) {
    out.u32(ByteOrder::Big, static_cast<std::uint32_t>(data.size()));
    out.tag(tag);
    out.bytes(data);
    out.u32(ByteOrder::Big, crc32(std::string_view(tag, 4), data));
}

// A zlib stream of stored blocks.
Bytes zlibStored(const Bytes& raw) {
    ByteWriter out;
    out.u8(0x78);
    out.u8(0x01);
    std::size_t at = 0;
    do {
        std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
        bool last = at + length == raw.size();
        out.u8(last ? 1 : 0);
        out.u16(ByteOrder::Little, static_cast<std::uint16_t>(length));
        out.u16(ByteOrder::Little, static_cast<std::uint16_t>(~length));
        out.bytes(std::span(raw).subspan(at, length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    out.u32(ByteOrder::Big, (b << 16) | a);
    return std::move(out).take();
}

// A zlib stream of `raw` deflated at the best level.
Bytes zlibDeflated(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

void signatureAndHeader(ByteWriter& out, std::uint32_t width, std::uint32_t height, std::uint8_t colourType) {
    for (std::uint8_t byte : {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A})
        out.u8(byte);
    ByteWriter header;
    header.u32(ByteOrder::Big, width);
    header.u32(ByteOrder::Big, height);
    for (std::uint8_t byte : {std::uint8_t{8}, colourType, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0}})
        header.u8(byte);
    chunk(out, "IHDR", header.bytes());
}

} // namespace

Bytes writePalettePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& palette,
                      const std::vector<std::uint8_t>& indexes, PngData data) {
    ByteWriter out;
    signatureAndHeader(out, width, height, 3);
    Bytes colours;
    Bytes alphas;
    bool translucent = false;
    for (std::uint32_t argb : palette) {
        colours.push_back(static_cast<std::uint8_t>(argb >> 16));
        colours.push_back(static_cast<std::uint8_t>(argb >> 8));
        colours.push_back(static_cast<std::uint8_t>(argb));
        alphas.push_back(static_cast<std::uint8_t>(argb >> 24));
        translucent = translucent || alphas.back() != 0xFF;
    }
    chunk(out, "PLTE", colours);
    if (translucent)
        chunk(out, "tRNS", alphas);
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + width));
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        auto row = indexes.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * width);
        raw.insert(raw.end(), row, row + width);
    }
    chunk(out, "IDAT", data == PngData::Deflated ? zlibDeflated(raw) : zlibStored(raw));
    chunk(out, "IEND", {});
    return std::move(out).take();
}

Bytes writePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& pixels) {
    ByteWriter out;
    signatureAndHeader(out, width, height, 6);
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 4 * width));
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t argb = pixels[static_cast<std::size_t>(y) * width + x];
            raw.push_back(static_cast<std::uint8_t>(argb >> 16));
            raw.push_back(static_cast<std::uint8_t>(argb >> 8));
            raw.push_back(static_cast<std::uint8_t>(argb));
            raw.push_back(static_cast<std::uint8_t>(argb >> 24));
        }
    }
    chunk(out, "IDAT", zlibStored(raw));
    chunk(out, "IEND", {});
    return std::move(out).take();
}

} // namespace datakit
