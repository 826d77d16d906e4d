#include "game/sprite/PixelDecoder.h"

#include "game/sprite/ASprite.h"

#include <algorithm>
#include <cstddef>

namespace game {

namespace {

// Reads bytes of one module's data and writes its pixels, each bounded.
class PixelSink {
public:
    PixelSink(std::span<const std::uint8_t> data, std::span<const std::int32_t> palette,
              std::span<std::int32_t> out)
        : m_data(data)
        , m_palette(palette)
        , m_out(out) {}

    bool hasByte() const { return m_read < m_data.size(); }
    // The next byte, or -1 past the data.
    std::int32_t next() { return m_read < m_data.size() ? m_data[m_read++] : -1; }
    bool full() const { return m_write >= m_out.size(); }

    std::int32_t colour(std::int32_t index) const {
        return static_cast<std::size_t>(index) < m_palette.size() ? m_palette[static_cast<std::size_t>(index)]
                                                                  : 0;
    }
    void put(std::int32_t index) {
        if (m_write < m_out.size())
            m_out[m_write++] = colour(index);
    }
    void run(std::int32_t index, std::int32_t count) {
        std::size_t end = std::min(m_out.size(), m_write + static_cast<std::size_t>(std::max(count, 0)));
        std::fill(m_out.begin() + static_cast<std::ptrdiff_t>(m_write),
                  m_out.begin() + static_cast<std::ptrdiff_t>(end), colour(index));
        m_write = end;
    }
    // Pixels the data never reached become transparent black.
    void finish() {
        std::fill(m_out.begin() + static_cast<std::ptrdiff_t>(m_write), m_out.end(), 0);
        m_write = m_out.size();
    }
    std::span<std::int32_t> out() const { return m_out; }

    // Hands `write` each byte of data while `perByte` pixels of the module
    // are left, with where its pixels go.
    template <class Write>
    void wholeBytes(std::size_t perByte, Write&& write) {
        std::size_t count = std::min(m_data.size() - m_read, (m_out.size() - m_write) / perByte);
        const std::uint8_t* in = m_data.data() + m_read;
        std::int32_t* out = m_out.data() + m_write;
        for (std::size_t i = 0; i < count; ++i, out += perByte)
            write(in[i], out);
        m_read += count;
        m_write += count * perByte;
    }

private:
    std::span<const std::uint8_t> m_data;
    std::span<const std::int32_t> m_palette;
    std::span<std::int32_t> m_out;
    std::size_t m_read = 0;
    std::size_t m_write = 0;
};

// 1, 2 or 4 bits per pixel, most significant bits first. Whole bytes that
// fit the module go through a table of the 2, 4 or 16 colours; the last
// byte, which may reach past the module, goes pixel by pixel.
template <int Bits>
void decodePacked(PixelSink& sink) {
    constexpr int perByte = 8 / Bits;
    constexpr int mask = (1 << Bits) - 1;
    std::int32_t colours[1 << Bits];
    for (int k = 0; k <= mask; ++k)
        colours[k] = sink.colour(k);
    sink.wholeBytes(perByte, [&](std::uint8_t byte, std::int32_t* out) {
        for (int k = 0; k < perByte; ++k)
            out[k] = colours[(byte >> ((perByte - 1 - k) * Bits)) & mask];
    });
    while (!sink.full() && sink.hasByte()) {
        std::int32_t byte = sink.next();
        for (int k = perByte - 1; k >= 0 && !sink.full(); --k)
            sink.put((byte >> (k * Bits)) & mask);
    }
}

void decodeRuns(PixelSink& sink, RunIndexLayout runs) {
    while (!sink.full() && sink.hasByte()) {
        std::int32_t byte = sink.next();
        sink.run(byte & runs.mask, (byte >> runs.bits) + 1);
    }
}

void decodePixelsOrRuns(PixelSink& sink) {
    while (!sink.full() && sink.hasByte()) {
        std::int32_t byte = sink.next();
        if (byte < 128) {
            sink.put(byte);
        } else {
            std::int32_t index = sink.next();
            if (index < 0)
                break;
            sink.run(index, byte - 128);
        }
    }
}

void decodeRunsOrLiterals(PixelSink& sink) {
    while (!sink.full() && sink.hasByte()) {
        std::int32_t byte = sink.next();
        if (byte < 128) {
            std::int32_t index = sink.next();
            if (index < 0)
                break;
            sink.run(index, byte);
        } else {
            for (std::int32_t k = byte - 128; k > 0 && sink.hasByte(); --k)
                sink.put(sink.next());
        }
    }
}

// The alpha pass after the colours: a byte a gives the next pixel alpha a;
// 254 is followed by a count and a value for that many pixels.
void decodeAlpha(PixelSink& sink) {
    std::span<std::int32_t> out = sink.out();
    std::size_t at = 0;
    auto setAlpha = [&](std::int32_t alpha) {
        out[at] = static_cast<std::int32_t>((static_cast<std::uint32_t>(out[at]) & 0x00FFFFFFu) |
                                            (static_cast<std::uint32_t>(alpha) << 24));
        ++at;
    };
    while (at < out.size() && sink.hasByte()) {
        std::int32_t alpha = sink.next();
        if (alpha != 254) {
            setAlpha(alpha);
            continue;
        }
        std::int32_t count = sink.next();
        std::int32_t value = sink.next();
        if (value < 0)
            break;
        for (; count > 0 && at < out.size(); --count)
            setAlpha(value);
    }
}

} // namespace

RunIndexLayout runIndexLayout(std::int32_t colours) {
    RunIndexLayout layout{1, 0};
    if (colours != 1) {
        std::uint32_t v = static_cast<std::uint32_t>(colours - 1);
        do {
            v >>= 1;
            layout.mask *= 2;
            ++layout.bits;
        } while (v != 0 && layout.bits < 31);
    }
    layout.mask -= 1;
    return layout;
}

bool isKnownEncoding(std::int32_t encoding) {
    switch (encoding) {
    case pixel_encoding::kBits1:
    case pixel_encoding::kBits2:
    case pixel_encoding::kBits4:
    case pixel_encoding::kRuns:
    case pixel_encoding::kPixelsOrRuns:
    case pixel_encoding::kRunsOrLiterals:
    case pixel_encoding::kRunsOrLiteralsAlpha:
        return true;
    default:
        return false;
    }
}

bool decodePixels(std::int32_t encoding, RunIndexLayout runs, std::span<const std::uint8_t> data,
                  std::span<const std::int32_t> palette, std::span<std::int32_t> out) {
    PixelSink sink(data, palette, out);
    switch (encoding) {
    case pixel_encoding::kBits1:
        decodePacked<1>(sink);
        break;
    case pixel_encoding::kBits2:
        decodePacked<2>(sink);
        break;
    case pixel_encoding::kBits4:
        decodePacked<4>(sink);
        break;
    case pixel_encoding::kRuns:
        decodeRuns(sink, runs);
        break;
    case pixel_encoding::kPixelsOrRuns:
        decodePixelsOrRuns(sink);
        break;
    case pixel_encoding::kRunsOrLiterals:
        decodeRunsOrLiterals(sink);
        break;
    case pixel_encoding::kRunsOrLiteralsAlpha:
        decodeRunsOrLiterals(sink);
        sink.finish();
        decodeAlpha(sink);
        return true;
    default:
        return false;
    }
    sink.finish();
    return true;
}

std::int32_t colourFrom1555(std::uint16_t value) {
    std::uint32_t red = (value >> 10) & 0x1F;
    std::uint32_t green = (value >> 5) & 0x1F;
    std::uint32_t blue = value & 0x1F;
    std::uint32_t colour = (red << 19) | (green << 11) | (blue << 3);
    if (value & 0x8000)
        return static_cast<std::int32_t>(0xFF000000u | colour);
    return colour == 0x00F800F8u ? 0x00FF00FF : static_cast<std::int32_t>(colour);
}

} // namespace game
