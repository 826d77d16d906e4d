#include "game/framework/DrawingTap.h"

#include "platform/lcdui/Graphics.h"

#include <algorithm>

namespace game {

namespace drawing_tap_detail {

DrawingTap* s_tap = nullptr;
std::int32_t s_depth = 0;

void report(DrawCall call, const platform::javax_microedition_lcdui_Graphics* g, const void* subject,
            std::initializer_list<std::int32_t> args, std::u16string_view text,
            const std::array<std::int32_t, 4>& box) {
    DrawRecord record;
    record.text = text;
    record.box = box;
    record.call = call;
    record.depth = s_depth;
    record.subject = subject;
    record.argCount = static_cast<std::int32_t>(std::min(args.size(), kDrawRecordArgs));
    std::copy_n(args.begin(), record.argCount, record.args.begin());
    record.clip = {g->getClipX(), g->getClipY(), g->getClipWidth(), g->getClipHeight()};
    record.colour = g->getColor();
    s_tap->record(record);
}

} // namespace drawing_tap_detail

DrawingTap* drawingTap() {
    return drawing_tap_detail::s_tap;
}

void setDrawingTap(DrawingTap* tap) {
    drawing_tap_detail::s_tap = tap;
    drawing_tap_detail::s_depth = 0;
}

} // namespace game
