#include "host/media/MidiFile.h"

#include <algorithm>
#include <cstring>

namespace host {

namespace {

constexpr std::uint32_t kDefaultTempo = 500'000; // microseconds per quarter note
// Ticks beyond this are far past any duration we accept; it keeps sums in range.
constexpr std::uint64_t kMaxTick = std::uint64_t{1} << 40;

enum class Kind : std::uint8_t { Message, Tempo, End };

struct TickEvent {
    std::uint64_t tick;
    Kind kind;
    std::uint8_t status, data1, data2;
    std::uint32_t tempo;
};

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

class TrackReader {
public:
    TrackReader(std::span<const std::uint8_t> data)
        : m_data(data) {}

    // Appends the track's events to `events`; answers false when the message
    // limit is reached.
    bool read(std::vector<TickEvent>& events, std::size_t& messageCount) {
        std::uint64_t tick = 0;
        std::uint8_t running = 0;
        while (m_at < m_data.size()) {
            std::uint32_t delta;
            if (!varLength(delta))
                break;
            tick = std::min(tick + delta, kMaxTick);
            if (m_at >= m_data.size())
                break;
            std::uint8_t lead = m_data[m_at];
            if (lead == 0xFF) {
                ++m_at;
                if (m_at >= m_data.size())
                    break;
                std::uint8_t type = m_data[m_at++];
                std::uint32_t length;
                if (!varLength(length) || length > m_data.size() - m_at)
                    break;
                const std::uint8_t* body = m_data.data() + m_at;
                m_at += length;
                running = 0;
                if (type == 0x51 && length >= 3) {
                    std::uint32_t tempo =
                        std::uint32_t{body[0]} << 16 | std::uint32_t{body[1]} << 8 | body[2];
                    events.push_back({tick, Kind::Tempo, 0, 0, 0, tempo});
                } else if (type == 0x2F) {
                    break;
                }
                continue;
            }
            if (lead == 0xF0 || lead == 0xF7) {
                ++m_at;
                std::uint32_t length;
                if (!varLength(length) || length > m_data.size() - m_at)
                    break;
                m_at += length;
                running = 0;
                continue;
            }
            std::uint8_t status;
            if (lead & 0x80) {
                if (lead >= 0xF0)
                    break; // a system message has no place in a file
                status = lead;
                running = lead;
                ++m_at;
            } else if (running) {
                status = running;
            } else {
                break;
            }
            std::uint8_t kind = status & 0xF0;
            std::size_t size = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (size > m_data.size() - m_at)
                break;
            std::uint8_t data1 = m_data[m_at] & 0x7F;
            std::uint8_t data2 = size == 2 ? m_data[m_at + 1] & 0x7F : 0;
            m_at += size;
            if (messageCount == kMaxMidiMessages)
                return false;
            ++messageCount;
            events.push_back({tick, Kind::Message, status, data1, data2, 0});
        }
        events.push_back({tick, Kind::End, 0, 0, 0, 0});
        return true;
    }

private:
    bool varLength(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_at >= m_data.size())
                return false;
            std::uint8_t byte = m_data[m_at++];
            value = value << 7 | (byte & 0x7F);
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_at = 0;
};

} // namespace

Result<MidiSong> parseMidiFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0)
        return Error::withMessage("midi: not a MIDI file");
    std::uint32_t headerLength = bigEndian32(bytes.data() + 4);
    if (headerLength < 6 || headerLength > bytes.size() - 8)
        return Error::withMessage("midi: broken header");
    std::uint16_t division = static_cast<std::uint16_t>(bytes[12] << 8 | bytes[13]);

    // Microseconds per tick, as a fraction, and whether tempo events apply.
    bool smpte = division & 0x8000;
    double ticksPerQuarter = division;
    double smpteTickMicroseconds = 0;
    if (smpte) {
        int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
            return Error::withMessage("midi: broken time division");
        smpteTickMicroseconds = 1e6 / (framesPerSecond * ticksPerFrame);
    } else if (division == 0) {
        return Error::withMessage("midi: broken time division");
    }

    std::vector<TickEvent> events;
    std::size_t messageCount = 0;
    std::size_t at = 8 + headerLength;
    while (bytes.size() - at >= 8) {
        std::uint32_t length = bigEndian32(bytes.data() + at + 4);
        std::size_t available = std::min<std::size_t>(length, bytes.size() - at - 8);
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) {
            TrackReader track(bytes.subspan(at + 8, available));
            if (!track.read(events, messageCount))
                return Error::withMessage("midi: too many events");
        }
        at += 8 + available;
    }

    // Tracks were appended one after the other; a stable sort by tick keeps
    // the order of events at the same tick, track by track.
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });

    MidiSong song;
    song.messages.reserve(messageCount);
    double microseconds = 0;
    std::uint64_t lastTick = 0;
    std::uint32_t tempo = kDefaultTempo;
    for (const TickEvent& event : events) {
        double perTick = smpte ? smpteTickMicroseconds : tempo / ticksPerQuarter;
        microseconds += static_cast<double>(event.tick - lastTick) * perTick;
        lastTick = event.tick;
        if (microseconds > static_cast<double>(kMaxMidiDuration))
            return Error::withMessage("midi: the song is too long");
        auto now = static_cast<std::uint64_t>(microseconds + 0.5);
        switch (event.kind) {
        case Kind::Message:
            song.messages.push_back({now, event.status, event.data1, event.data2});
            break;
        case Kind::Tempo:
            if (event.tempo > 0)
                tempo = event.tempo;
            break;
        case Kind::End:
            song.durationMicroseconds = std::max(song.durationMicroseconds, now);
            break;
        }
    }
    return song;
}

} // namespace host
