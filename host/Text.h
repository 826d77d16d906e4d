#pragma once

// The text service: the device's stock system font, with which the platform
// measures and draws text. There is one font at one size; whoever asks gets
// the same metrics, widths and pixels, so text looks the same under every
// back-end and a headless run draws it bit for bit alike.
//
// Text is one line of UTF-16 units. Surrogate pairs are one character, a
// lone surrogate draws as U+FFFD; line breaks and other control characters
// take no room and draw nothing.
//
// Any thread may call; calls are serialised inside the service. When no font
// could be loaded, `metrics` answers nothing, widths are 0 and nothing is
// rendered.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace host {

struct FontMetrics {
    int ascent = 0; // pixels from a line's top to its baseline
    int height = 0; // pixels of a line: ascent plus descent

    bool operator==(const FontMetrics&) const = default;
};

class Text {
public:
    virtual ~Text() = default;

    // The system font's metrics; nothing when there is no font.
    virtual std::optional<FontMetrics> metrics() = 0;

    // The width in pixels that `text` takes: the sum of its characters'
    // advances, the same number `render` needs as its width to show it all.
    virtual int measure(std::u16string_view text) = 0;

    // Draws `text` into `pixels`, `width` x `height` 32-bit pixels 0x00RRGGBB,
    // rows top-down without padding: every pixel first becomes `background`,
    // then the text is drawn in `foreground` from the left edge with its line
    // top on row 0. Glyph edges are anti-aliased: a partly covered pixel mixes
    // the two colours by coverage. Parts of glyphs outside the buffer are cut.
    // False, with the buffer untouched, when there is no font or `pixels` is
    // smaller than `width` x `height`.
    virtual bool render(std::u16string_view text, std::uint32_t foreground, std::uint32_t background,
                        std::span<std::uint32_t> pixels, int width, int height) = 0;
};

} // namespace host
