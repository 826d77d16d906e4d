#include "platform/media/WaveFile.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// The first 16 bytes of a "fmt " chunk (or of the canonical header from byte 20).
WaveFormatEx formatAt(const std::uint8_t* p) {
    WaveFormatEx format;
    format.formatTag = le16(p);
    format.channels = le16(p + 2);
    format.samplesPerSec = le32(p + 4);
    format.avgBytesPerSec = le32(p + 8);
    format.blockAlign = le16(p + 12);
    format.bitsPerSample = le16(p + 14);
    return format;
}

std::size_t wholeFrames(const WaveFormatEx& format, std::size_t length) {
    return format.blockAlign ? length - length % format.blockAlign : length;
}

} // namespace

std::optional<WaveLayout> parseWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kCanonicalWaveHeader || std::memcmp(bytes.data(), "RIFF", 4) != 0)
        return std::nullopt;

    if (std::memcmp(bytes.data() + 8, "WAVE", 4) == 0) {
        std::optional<WaveFormatEx> format;
        std::optional<std::pair<std::size_t, std::size_t>> data;
        for (std::size_t at = 12; bytes.size() - at >= 8 && !(format && data);) {
            const std::uint8_t* chunk = bytes.data() + at;
            std::size_t size = le32(chunk + 4);
            std::size_t present = std::min(size, bytes.size() - at - 8);
            if (std::memcmp(chunk, "fmt ", 4) == 0 && present >= 16 && !format) {
                format = formatAt(chunk + 8);
                if (present >= 18)
                    format->extraSize = le16(chunk + 24);
            } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
                data = std::pair(at + 8, present);
            }
            // Chunks are padded to an even size.
            std::size_t next = at + 8 + present + (size & 1);
            if (present < size || next > bytes.size())
                break;
            at = next;
        }
        if (format && data)
            return WaveLayout{*format, data->first, wholeFrames(*format, data->second), true};
    }

    WaveLayout layout;
    layout.format = formatAt(bytes.data() + 20);
    layout.dataOffset = kCanonicalWaveHeader;
    layout.dataLength = wholeFrames(layout.format, bytes.size() - kCanonicalWaveHeader);
    return layout;
}

std::int64_t waveDurationMicroseconds(const WaveFormatEx& format, std::size_t dataLength) {
    std::uint64_t bytesPerSecond = std::uint64_t{format.samplesPerSec} * format.blockAlign;
    if (bytesPerSecond == 0)
        return 0;
    return static_cast<std::int64_t>(static_cast<unsigned __int128>(dataLength) * 1'000'000 / bytesPerSecond);
}

} // namespace platform
