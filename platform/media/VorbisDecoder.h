#pragma once

// Ogg Vorbis decoded from memory with Tremor, the integer decoder, through
// its callback interface: no file is written. The bytes must stay in place
// while the decoder is open.

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// The stream information the decoder reports (Tremor's `vorbis_info`).
struct VorbisInfo {
    int version = 0;
    int channels = 0;
    long rate = 0;
    long bitrateUpper = 0;
    long bitrateNominal = 0;
    long bitrateLower = 0;
    long bitrateWindow = 0;
};

class VorbisDecoder {
public:
    VorbisDecoder();
    ~VorbisDecoder();
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // False (and closed) for bytes that are not an Ogg Vorbis stream.
    bool open(std::span<const std::uint8_t> bytes);
    bool isOpen() const { return m_open; }
    void close();

    // Of the first logical stream.
    const VorbisInfo& info() const { return m_info; }
    // The stream's length in milliseconds, -1 when unknown.
    std::int64_t totalMilliseconds();
    // Up to `buffer.size()` bytes of interleaved signed 16-bit little-endian
    // PCM; 0 at the end, which is also where a chained stream changes its
    // channels or rate; below 0 for a decoding error.
    long read(std::span<std::uint8_t> buffer);

private:
    struct State;
    std::unique_ptr<State> m_state;
    VorbisInfo m_info;
    bool m_open = false;
};

} // namespace platform
