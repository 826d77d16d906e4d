#include "platform/media/VorbisDecoder.h"

#include <tremor/ivorbiscodec.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

std::size_t readCallback(void* to, std::size_t size, std::size_t count, void* source) {
    auto* cursor = static_cast<Cursor*>(source);
    if (size == 0)
        return 0;
    std::size_t items = std::min(count, (cursor->bytes.size() - cursor->at) / size);
    std::memcpy(to, cursor->bytes.data() + cursor->at, items * size);
    cursor->at += items * size;
    return items;
}

int seekCallback(void* source, ogg_int64_t offset, int whence) {
    auto* cursor = static_cast<Cursor*>(source);
    auto size = static_cast<ogg_int64_t>(cursor->bytes.size());
    ogg_int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(cursor->at)
                                            : size;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        return -1;
    if (offset > size - base || offset < -base)
        return -1;
    cursor->at = static_cast<std::size_t>(base + offset);
    return 0;
}

long tellCallback(void* source) {
    return static_cast<long>(static_cast<Cursor*>(source)->at);
}

} // namespace

struct VorbisDecoder::State {
    OggVorbis_File file{};
    Cursor cursor;
    int section = -1;
};

VorbisDecoder::VorbisDecoder()
    : m_state(std::make_unique<State>()) {
}

VorbisDecoder::~VorbisDecoder() {
    close();
}

bool VorbisDecoder::open(std::span<const std::uint8_t> bytes) {
    close();
    m_state->cursor = Cursor{bytes, 0};
    ov_callbacks callbacks{readCallback, seekCallback, nullptr, tellCallback};
    if (ov_open_callbacks(&m_state->cursor, &m_state->file, nullptr, 0, callbacks) != 0) {
        // A refused stream is cleared by the decoder itself.
        return false;
    }
    m_open = true;
    vorbis_info* info = ov_info(&m_state->file, -1);
    if (!info) {
        close();
        return false;
    }
    m_info = VorbisInfo{info->version,         info->channels,      info->rate,          info->bitrate_upper,
                        info->bitrate_nominal, info->bitrate_lower, info->bitrate_window};
    m_state->section = -1;
    return true;
}

void VorbisDecoder::close() {
    if (m_open)
        ov_clear(&m_state->file);
    m_open = false;
}

std::int64_t VorbisDecoder::totalMilliseconds() {
    if (!m_open)
        return -1;
    ogg_int64_t total = ov_time_total(&m_state->file, -1);
    return total < 0 ? -1 : total;
}

long VorbisDecoder::read(std::span<std::uint8_t> buffer) {
    if (!m_open)
        return -1;
    int section = 0;
    long got = ov_read(&m_state->file, reinterpret_cast<char*>(buffer.data()),
                       static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 20)), &section);
    if (got > 0 && section != m_state->section) {
        vorbis_info* info = ov_info(&m_state->file, section);
        if (!info || info->channels != m_info.channels || info->rate != m_info.rate)
            return 0;
        m_state->section = section;
    }
    return got;
}

} // namespace platform
