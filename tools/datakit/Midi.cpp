#include "tools/datakit/Midi.h"

#include <algorithm>
#include <tuple>

namespace datakit {

namespace {

struct TimedEvent {
    std::uint32_t tick;
    int order; // at one tick: note offs before note ons
    std::vector<std::uint8_t> bytes;
};

void varLength(Bytes& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count > 1)
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

std::uint32_t endOf(const MidiSong& song) {
    if (song.endTick)
        return song.endTick;
    std::uint32_t end = 0;
    for (const MidiNote& note : song.notes)
        end = std::max(end, note.start + note.length);
    return end;
}

} // namespace

Bytes writeMidi(const MidiSong& song) {
    std::vector<TimedEvent> events;
    std::uint32_t tempo = song.tempo;
    events.push_back({0,
                      0,
                      {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(tempo >> 16),
                       static_cast<std::uint8_t>(tempo >> 8), static_cast<std::uint8_t>(tempo)}});
    std::uint16_t channels = 0;
    for (const MidiNote& note : song.notes)
        channels |= static_cast<std::uint16_t>(1u << (note.channel & 0x0F));
    for (int channel = 0; channel < 16; ++channel) {
        if (!(channels & (1u << channel)))
            continue;
        std::uint8_t program = song.program;
        for (const MidiProgram& listed : song.programs)
            if ((listed.channel & 0x0F) == channel)
                program = listed.program;
        events.push_back({0, 1, {static_cast<std::uint8_t>(0xC0 | channel), program}});
    }
    for (const MidiNote& note : song.notes) {
        auto channel = static_cast<std::uint8_t>(note.channel & 0x0F);
        events.push_back(
            {note.start, 3, {static_cast<std::uint8_t>(0x90 | channel), note.key, note.velocity}});
        events.push_back(
            {note.start + note.length, 2, {static_cast<std::uint8_t>(0x90 | channel), note.key, 0}});
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
    });

    Bytes track;
    std::uint32_t at = 0;
    for (const TimedEvent& event : events) {
        varLength(track, event.tick - at);
        at = event.tick;
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
    }
    varLength(track, std::max(endOf(song), at) - at);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    ByteWriter out;
    out.tag("MThd");
    out.i32(ByteOrder::Big, 6);
    out.u16(ByteOrder::Big, 0); // format 0
    out.u16(ByteOrder::Big, 1); // one track
    out.u16(ByteOrder::Big, song.ticksPerQuarter);
    out.tag("MTrk");
    out.i32(ByteOrder::Big, static_cast<std::int32_t>(track.size()));
    out.bytes(track);
    return std::move(out).take();
}

std::uint64_t midiDurationMicroseconds(const MidiSong& song) {
    std::uint32_t end = endOf(song);
    for (const MidiNote& note : song.notes)
        end = std::max(end, note.start + note.length);
    return std::uint64_t{end} * song.tempo / song.ticksPerQuarter;
}

} // namespace datakit
