#pragma once

// A listening point on the game's drawing wrappers and sprite paints, for
// tests that check what a painter asked for rather than the pixels it left.
//
// Nothing listens unless a test installs a `DrawingTap`; the wrappers then
// pay one load and one untaken branch. While one is installed each wrapper
// hands it one `DrawRecord` before drawing: the call, its arguments as the
// caller gave them, and the target Graphics' clip and colour at that moment.
// Calls made inside another reported call (the modules of a sprite frame,
// the blit of a module) carry the depth of their nesting, so a listener can
// keep to what a painter asked for itself (depth 0). A call without a
// target Graphics (a measure, a missing target) is not reported.
//
// The tap is no guest state: it holds no guest reference beyond the call
// and is never reset by a replay. Threads: the game thread only.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

enum class DrawCall : std::uint8_t {
    FillRect,
    FillRectAlpha,
    DrawLine,
    DrawRect,
    DrawRegion,
    DrawImage,
    DrawRGB,
    DrawString,
    FillGradient,
    FillTriangle,
    PaintModule,
    PaintFrame,
    PaintAFrame,
    // The zoom caches' painters: a cached frame (sprite, frame, scale, x, y,
    // flags, palette, alpha), a pre-zoomed frame (sprite, frame, scale, x, y,
    // flags) and an animation frame (sprite, animation, scale, x, y, flags,
    // then the time, or the index or counter of a frame chosen by number).
    PaintZoomed,
    PaintPreZoomed,
    PaintZoomedAnim,
    // A bitmap font's text: x, y, anchor and the font's palette, the text
    // drawn (the selected range of it) in `DrawRecord::text`.
    DrawText,
};

inline constexpr std::size_t kDrawRecordArgs = 8;

struct DrawRecord {
    DrawCall call = DrawCall::FillRect;
    // How many reported calls enclose this one.
    std::int32_t depth = 0;
    // The caller's arguments in their order, unused ones 0; an image, array
    // or sprite argument is left out (see `subject`).
    std::array<std::int32_t, kDrawRecordArgs> args{};
    std::int32_t argCount = 0;
    // The target Graphics' clip (x, y, width, height) and colour.
    std::array<std::int32_t, 4> clip{};
    std::int32_t colour = 0;
    // The image, pixel array or sprite drawn, when the call takes one.
    const void* subject = nullptr;
    // The characters of a `DrawText`; empty for other calls.
    std::u16string text;
    // The rectangle (x, y, width, height) a `DrawText`'s characters or a
    // `PaintFrame`'s modules cover, anchor, frame offsets and flips applied;
    // on the promotion screen, which draws its controls as images and
    // shapes, also what each of its images, rectangles and arrows covers;
    // zero for other calls and for an empty frame. What a player sees of a
    // label or a button, so a test or the screen tour taps there.
    std::array<std::int32_t, 4> box{};
};

class DrawingTap {
public:
    virtual ~DrawingTap() = default;
    virtual void record(const DrawRecord& record) = 0;
};

// The installed tap, or null. Installing replaces the previous one.
DrawingTap* drawingTap();
// Only tests install a tap (the drawing log), to see what a painter drew.
void setDrawingTap(DrawingTap* tap);

namespace drawing_tap_detail {
extern DrawingTap* s_tap;
extern std::int32_t s_depth;
void report(DrawCall call, const platform::javax_microedition_lcdui_Graphics* g, const void* subject,
            std::initializer_list<std::int32_t> args, std::u16string_view text = {},
            const std::array<std::int32_t, 4>& box = {});
} // namespace drawing_tap_detail

// Reports one call to the installed tap (nothing when none is) and counts
// the calls made inside it as nested, for as long as it lives.
class ReportedDraw {
public:
    ReportedDraw(DrawCall call, const platform::javax_microedition_lcdui_Graphics* g, const void* subject,
                 std::initializer_list<std::int32_t> args, std::u16string_view text = {},
                 const std::array<std::int32_t, 4>& box = {}) {
        if (drawing_tap_detail::s_tap && g) [[unlikely]] {
            drawing_tap_detail::report(call, g, subject, args, text, box);
            ++drawing_tap_detail::s_depth;
            m_counted = true;
        }
    }
    ~ReportedDraw() {
        if (m_counted)
            --drawing_tap_detail::s_depth;
    }
    ReportedDraw(const ReportedDraw&) = delete;
    ReportedDraw& operator=(const ReportedDraw&) = delete;

private:
    bool m_counted = false;
};

} // namespace game
