#include "game/sprite/Scaler.h"

#include "game/framework/Anchors.h"
#include "game/framework/DrawingTap.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TransformBlit.h"
#include "game/sprite/ZoomCache.h"
#include "platform/lcdui/Image.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <array>
#include <span>

namespace game {

namespace {

using paint_flags::kMirrorX;
using paint_flags::kMirrorY;
using rt::ByteArray;
using rt::IntArray;
using rt::ObjectArray;
using rt::ShortArray;
using zoom_fp::kShift;

constexpr std::int64_t kOne = zoom_fp::kOne;
constexpr std::int64_t kHalf = zoom_fp::kHalf;
constexpr std::uint32_t kKeyColour = 0x00FF00FF;

// Where the pixels of a plain entry come from: its ARGB pixels, or its
// index pixels through a 256-entry colour table (palette colours, with the
// alpha byte from the alpha table when one applies).
struct PixelSource {
    std::span<const std::int32_t> argb;
    std::span<const std::int8_t> indexes;
    std::array<std::int32_t, 256> colours{};

    std::int32_t operator[](std::size_t i) const {
        return indexes.empty() ? argb[i] : colours[static_cast<std::uint8_t>(indexes[i])];
    }
};

// The scaler's sampling: rows of `cols` pixels written one after another
// into `out`, source rows by rounding the row position, columns by
// truncating the column position. `fetch` reads source entry row x W +
// column. Answers the rows written.
struct ScaleLoop {
    std::int32_t* out;
    std::int32_t cols, rows, W, H;
    std::int64_t colStart, colStep, rowPosition, rowStep;
    bool columnsInside;

    template <class Fetch>
    std::int32_t run(Fetch fetch) const {
        std::int64_t rowAt = rowPosition;
        std::int32_t written = 0;
        for (std::int32_t r = 0; r < rows; ++r) {
            const std::int64_t sourceRow = (rowAt + kHalf) >> kShift;
            rowAt += rowStep;
            // Rows that round outside the frame are dropped, not repeated.
            if (sourceRow < 0 || sourceRow >= H)
                continue;
            std::int32_t* row = out + static_cast<std::ptrdiff_t>(written) * cols;
            ++written;
            const std::size_t base = static_cast<std::size_t>(sourceRow) * static_cast<std::size_t>(W);
            std::int64_t position = colStart;
            if (columnsInside) {
                for (std::int32_t c = 0; c < cols; ++c, position += colStep)
                    row[c] = fetch(base + static_cast<std::size_t>(position >> kShift));
            } else {
                // A position that truncates past an edge takes the edge column.
                for (std::int32_t c = 0; c < cols; ++c, position += colStep)
                    row[c] = fetch(base + static_cast<std::size_t>(
                                              std::clamp<std::int64_t>(position >> kShift, 0, W - 1)));
            }
        }
        return written;
    }
};

IntArray* paletteAt(ObjectArray* palettes, std::int32_t p) {
    rt::Object* object = ObjectArray::get(palettes, p);
    return object && object->classId() == IntArray::kClassId ? static_cast<IntArray*>(object) : nullptr;
}

// Resolves the source of a W x H entry under the painter statics; false
// when the entry has no pixels to draw (a missing array or palette, or
// fewer pixels than W x H). `alphaTable` allows the next palette's alpha.
bool resolveSource(ZoomedSpritePlayer* entry, std::int32_t W, std::int32_t H, bool alphaTable,
                   PixelSource& source) {
    const ZoomStatics& z = zoomStatics();
    const auto pixels = static_cast<std::int32_t>(static_cast<std::int64_t>(W) * H);
    if (!entry->m_indexPixels || (entry->m_argbPixels && z.s_zoomPalette == entry->m_argbPalette)) {
        if (!entry->m_argbPixels || entry->m_argbPixels->length() < pixels)
            return false;
        source.argb = IntArray::span(entry->m_argbPixels, 0, pixels);
        return true;
    }
    if (!entry->m_palettes || entry->m_indexPixels->length() < pixels)
        return false;
    const std::int32_t slots = entry->m_palettes->length();
    const std::int32_t p = z.s_zoomPalette >= 0 && z.s_zoomPalette < slots ? z.s_zoomPalette : 0;
    IntArray* palette = paletteAt(entry->m_palettes, p);
    if (!palette)
        return false;
    const auto colours = IntArray::span(palette);
    for (std::size_t i = 0; i < source.colours.size() && i < colours.size(); ++i)
        source.colours[i] = colours[i];
    IntArray* next =
        alphaTable && z.s_zoomAlphaPalette && p + 1 < slots ? paletteAt(entry->m_palettes, p + 1) : nullptr;
    if (next) {
        const auto alphas = IntArray::span(next);
        for (std::size_t i = 0; i < source.colours.size(); ++i) {
            std::int32_t a = i < alphas.size() ? alphas[i] : 0;
            if (z.s_zoomAlpha != -1)
                a = ((a & 0xFF) * z.s_zoomAlpha) >> 8;
            source.colours[i] =
                static_cast<std::int32_t>((static_cast<std::uint32_t>(source.colours[i]) & 0xFFFFFFu) +
                                          (static_cast<std::uint32_t>(a) << 24));
        }
    }
    source.indexes = ByteArray::span(entry->m_indexPixels, 0, pixels);
    return true;
}

// One axis of the scaled paint: the drawn span [lo, hi) relative to the
// position `at`, cut to [0, extent]. `cutLow` is the cut at the low end of
// the destination, mirrored or not.
struct AxisClip {
    std::int64_t cutLow = 0;
    std::int64_t dest = 0;
    std::int64_t count = 0;
};

AxisClip clipAxis(std::int64_t at, std::int64_t lo, std::int64_t hi, std::int64_t extent, bool mirrored) {
    AxisClip clip;
    std::int64_t cutHigh = 0;
    if (!mirrored) {
        cutHigh = at + hi > extent ? at + hi - extent : 0;
        clip.cutLow = at + lo < 0 ? -(at + lo) : 0;
        clip.dest = at + lo + clip.cutLow;
    } else {
        cutHigh = at - lo > extent ? at - lo - extent : 0;
        clip.cutLow = at - hi < 0 ? hi - at : 0;
        clip.dest = at - hi + clip.cutLow;
    }
    clip.count = hi - lo - clip.cutLow - cutHigh;
    return clip;
}

// The start of a source position: the cut's worth of steps in from the
// first source pixel, or from the last one when mirrored.
std::int64_t sourceStart(std::int32_t size, std::int64_t step, std::int64_t cut, bool mirrored) {
    return mirrored ? (static_cast<std::int64_t>(size - 1) << kShift) - step * cut + kOne - 1 : step * cut;
}

void paintRecord(ZoomCacheKind kind, std::int32_t s, std::span<const std::int16_t> record, std::int32_t scale,
                 std::int32_t x, std::int32_t y, std::int32_t flags, bool bank, std::int32_t alpha,
                 bool fade) {
    const std::int64_t dx = (record[1] * static_cast<std::int64_t>(scale) + kHalf) >> kShift;
    const std::int64_t dy = (record[2] * static_cast<std::int64_t>(scale) + kHalf) >> kShift;
    const auto px = static_cast<std::int32_t>((flags & kMirrorX) ? x - dx : x + dx);
    const auto py = static_cast<std::int32_t>((flags & kMirrorY) ? y - dy : y + dy);
    const std::int32_t combined = record[3] ^ flags;
    const std::int32_t frame = record[4];
    if (kind == ZoomCacheKind::PreZoomed) {
        paintPreZoomedCached(s, frame, scale, px, py, combined, bank);
        return;
    }
    if (ZoomedSpritePlayer* entry = findZoomEntry(kind, s, frame, false, bank))
        paintZoomed(entry, scale, px, py, combined, bank, alpha, fade);
}

// The animation entry's records, n frames of 5 shorts; empty without them.
std::span<const std::int16_t> animRecords(ZoomedSpritePlayer* entry) {
    if (!entry || !entry->m_animRecords)
        return {};
    const std::int32_t frames = std::min(entry->m_animFrameCount, entry->m_animRecords->length() / 5);
    if (frames < 1)
        return {};
    return ShortArray::span(entry->m_animRecords, 0, frames * 5);
}

std::int32_t fadeAlpha(std::int32_t frame) {
    // Frames past the twelfth would give a negative alpha whose low byte
    // reads as nearly opaque again: the fade stays at 0 instead.
    return std::max(0, 255 - frame * 255 / 12);
}

bool paintAnimByTime(ZoomCacheKind kind, std::int32_t s, std::int32_t a, std::int32_t scale, std::int32_t x,
                     std::int32_t y, std::int32_t flags, std::int32_t time, std::int32_t duration, bool bank,
                     bool fade, std::int32_t alpha) {
    const ReportedDraw reported(DrawCall::PaintZoomedAnim, loopStatics().s_graphics, nullptr,
                                {s, a, scale, x, y, flags, time});
    const auto records = animRecords(findZoomEntry(kind, s, a, true, bank));
    const auto frames = static_cast<std::int32_t>(records.size() / 5);
    if (frames < 1)
        return true;
    std::int32_t total = 0;
    for (std::int32_t k = 0; k < frames; ++k)
        total = rt::iadd(total, records[5 * k]);
    if (total <= 0)
        return true; // no frame has any time: nothing to show
    std::int32_t position = duration != 0 ? rt::idiv(rt::imul(total, time), duration) : 0;
    std::int32_t k = 0;
    for (std::int32_t i = 0; i < frames; ++i) {
        position = rt::isub(position, records[5 * i]);
        if (position < 0) {
            k = i;
            break;
        }
    }
    bool finished = false;
    if (k > total - 1) {
        k = total - 1;
        finished = true;
    }
    k = std::clamp(k, 0, frames - 1);
    if (fade) {
        ZoomStatics& z = zoomStatics();
        (kind == ZoomCacheKind::Zoomed ? z.s_zoomAlpha : z.s_preZoomAlpha) = fadeAlpha(k);
    }
    paintRecord(kind, s, records.subspan(static_cast<std::size_t>(5 * k), 5), scale, x, y, flags, bank, alpha,
                fade);
    return finished;
}

} // namespace

void paintZoomed(ZoomedSpritePlayer* entry, std::int32_t scale, std::int32_t x, std::int32_t y,
                 std::int32_t flags, bool, std::int32_t alpha, bool alphaMask) {
    if (!entry) {
        rt::reportNullPointer();
        return;
    }
    if (!entry->m_rects || entry->m_rects->length() < 4 || scale <= 0)
        return;
    const std::int32_t W = static_cast<std::uint16_t>(ShortArray::get(entry->m_rects, 0));
    const std::int32_t H = static_cast<std::uint16_t>(ShortArray::get(entry->m_rects, 1));
    const std::int64_t x0 = ShortArray::get(entry->m_rects, 2);
    const std::int64_t y0 = ShortArray::get(entry->m_rects, 3);
    if (W < 1 || H < 1)
        return;
    IntArray* target = ensureRgbBuffer(0);
    if (!target)
        return;
    PixelSource source;
    if (!resolveSource(entry, W, H, !alphaMask, source))
        return;

    const std::int64_t s = scale;
    const std::int64_t L = (x0 * s + kHalf) >> kShift, R = ((x0 + W) * s + kHalf) >> kShift;
    const std::int64_t T = (y0 * s + kHalf) >> kShift, B = ((y0 + H) * s + kHalf) >> kShift;
    if (R - L <= 0 || B - T <= 0)
        return;
    const bool mirrorX = (flags & kMirrorX) != 0, mirrorY = (flags & kMirrorY) != 0;
    const OrvelLibConfig& cfg = config();
    const AxisClip cx = clipAxis(x, L, R, cfg.s_gameScreenWidth, mirrorX);
    const AxisClip cy = clipAxis(y, T, B, cfg.s_gameScreenHeight, mirrorY);
    if (cx.count < 1 || cy.count < 1 || cx.count * cy.count >= target->length())
        return;
    const auto cols = static_cast<std::int32_t>(cx.count);
    const auto rows = static_cast<std::int32_t>(cy.count);

    const std::int64_t step = kOne * kOne / s;
    const std::int64_t colStart = sourceStart(W, step, cx.cutLow, mirrorX);
    const std::int64_t colStep = mirrorX ? -step : step;
    std::int64_t rowPosition = sourceStart(H, step, cy.cutLow, mirrorY);
    const std::int64_t rowStep = mirrorY ? -step : step;

    // The column positions move monotonically, so when both ends fall inside
    // the frame every column does and the loops read without a clamp.
    const std::int64_t lastColumn = (colStart + colStep * (cols - 1)) >> kShift;
    const bool inside =
        (colStart >> kShift) >= 0 && (colStart >> kShift) < W && lastColumn >= 0 && lastColumn < W;
    const auto out = IntArray::span(target, 0, cols * rows);
    const ScaleLoop loop{out.data(), cols, rows, W, H, colStart, colStep, rowPosition, rowStep, inside};
    const std::int32_t written =
        source.indexes.empty()
            ? loop.run([argb = source.argb.data()](std::size_t i) { return argb[i]; })
            : loop.run([indexes = source.indexes.data(), colours = source.colours.data()](std::size_t i) {
                  return colours[static_cast<std::uint8_t>(indexes[i])];
              });
    if (written == 0)
        return;
    if (alphaMask) {
        const std::int32_t effective = alpha != 0 ? alpha : zoomStatics().s_zoomAlpha;
        const auto drawn = out.first(static_cast<std::size_t>(written) * cols);
        if (effective == -1) {
            for (std::int32_t& pixel : drawn)
                if (static_cast<std::uint32_t>(pixel) != kKeyColour)
                    pixel = static_cast<std::int32_t>(0xFF000000u);
        } else {
            const std::uint32_t mask = (static_cast<std::uint32_t>(effective) << 24) | 0x00FFFFFFu;
            for (std::int32_t& pixel : drawn)
                pixel = static_cast<std::int32_t>(static_cast<std::uint32_t>(pixel) & mask);
        }
    }
    drawRGB(loopStatics().s_graphics, target, 0, cols, static_cast<std::int32_t>(cx.dest),
            static_cast<std::int32_t>(cy.dest), cols, written, true, true, 0);
}

void paintZoomedCached(std::int32_t s, std::int32_t f, std::int32_t scale, std::int32_t x, std::int32_t y,
                       std::int32_t flags, bool bank, std::int32_t alpha, bool alphaMask) {
    const ReportedDraw reported(DrawCall::PaintZoomed, loopStatics().s_graphics, nullptr,
                                {s, f, scale, x, y, flags, zoomStatics().s_zoomPalette, alpha});
    if (ZoomedSpritePlayer* entry = findZoomEntry(ZoomCacheKind::Zoomed, s, f, false, bank))
        paintZoomed(entry, scale, x, y, flags, bank, alpha, alphaMask);
}

bool paintZoomedAnim(std::int32_t s, std::int32_t a, std::int32_t scale, std::int32_t x, std::int32_t y,
                     std::int32_t flags, std::int32_t time, std::int32_t duration, bool bank, bool fade,
                     std::int32_t alpha) {
    return paintAnimByTime(ZoomCacheKind::Zoomed, s, a, scale, x, y, flags, time, duration, bank, fade,
                           alpha);
}

bool paintPreZoomedAnim(std::int32_t s, std::int32_t a, std::int32_t scale, std::int32_t x, std::int32_t y,
                        std::int32_t flags, std::int32_t time, std::int32_t duration, bool bank, bool fade) {
    return paintAnimByTime(ZoomCacheKind::PreZoomed, s, a, scale, x, y, flags, time, duration, bank, fade, 0);
}

void paintZoomedFaded(std::int32_t s, std::int32_t a, std::int32_t index, std::int32_t counter,
                      std::int32_t scale, std::int32_t x, std::int32_t y, std::int32_t flags, bool bank,
                      bool fade, std::int32_t alpha) {
    const ReportedDraw reported(DrawCall::PaintZoomedAnim, loopStatics().s_graphics, nullptr,
                                {s, a, scale, x, y, flags, index == -1 ? counter : index});
    const auto records = animRecords(findZoomEntry(ZoomCacheKind::Zoomed, s, a, true, bank));
    const auto frames = static_cast<std::int32_t>(records.size() / 5);
    if (frames < 1)
        return;
    if (index == -1)
        index = rt::irem(counter, frames);
    if (index < 0 || index >= frames)
        return;
    if (fade)
        zoomStatics().s_zoomAlpha = fadeAlpha(index);
    paintRecord(ZoomCacheKind::Zoomed, s, records.subspan(static_cast<std::size_t>(5 * index), 5), scale, x,
                y, flags, bank, alpha, fade);
}

void paintZoomedStrip(std::int32_t s, std::int32_t f, std::int32_t xLeft, std::int32_t xRight,
                      std::int32_t topLeft, std::int32_t topRight, std::int32_t bottomRight,
                      std::int32_t bottomLeft, std::int32_t flags, bool bank) {
    const OrvelLibConfig& cfg = config();
    const std::int64_t SW = cfg.s_gameScreenWidth, SH = cfg.s_gameScreenHeight;
    if (xRight <= xLeft || bottomLeft < topLeft || bottomRight < topRight || xRight < 1 || xLeft >= SW)
        return;
    ZoomedSpritePlayer* entry = findZoomEntry(ZoomCacheKind::Zoomed, s, f, false, bank);
    if (!entry || !entry->m_rects || entry->m_rects->length() < 4)
        return;
    const std::int32_t W = static_cast<std::uint16_t>(ShortArray::get(entry->m_rects, 0));
    const std::int32_t H = static_cast<std::uint16_t>(ShortArray::get(entry->m_rects, 1));
    IntArray* target = ensureRgbBuffer(0);
    PixelSource source;
    if (W < 1 || H < 1 || !target || !resolveSource(entry, W, H, false, source))
        return;

    std::int64_t n = static_cast<std::int64_t>(xRight) - xLeft;
    std::int64_t du = (static_cast<std::int64_t>(W) << kShift) / n;
    std::int64_t u = 0;
    if (flags & kMirrorX) {
        u = (static_cast<std::int64_t>(W) << kShift) - du;
        du = -du;
    }
    std::int64_t t = static_cast<std::int64_t>(topLeft) << kShift;
    const std::int64_t dt = ((static_cast<std::int64_t>(topRight) - topLeft) << kShift) / n;
    std::int64_t b = static_cast<std::int64_t>(bottomLeft) << kShift;
    const std::int64_t db = ((static_cast<std::int64_t>(bottomRight) - bottomLeft) << kShift) / n;
    std::int64_t left = xLeft;
    if (left < 0) {
        n += left;
        u -= du * left;
        t -= dt * left;
        b -= db * left;
        left = 0;
    }
    if (xRight > SW)
        n -= xRight - SW;
    if (n < 1 || ((u + kHalf) >> kShift) < 0)
        return;
    // The rows the columns' spans reach, from the edges' ends (the edges are
    // straight, so their ends bound every column), cut to the screen.
    const std::int64_t tEnd = t + dt * (n - 1), bEnd = b + db * (n - 1);
    const std::int64_t top = std::max<std::int64_t>(0, std::min((t + kHalf) >> kShift, tEnd >> kShift));
    const std::int64_t bottom = std::min<std::int64_t>(SH, std::max((b + kHalf) >> kShift, bEnd >> kShift));
    const std::int64_t rows = bottom - top;
    if (rows < 1 || rows * n >= target->length())
        return;
    const auto width = static_cast<std::int32_t>(n);
    const auto out = IntArray::span(target, 0, static_cast<std::int32_t>(rows * n));
    for (std::int32_t c = 0; c < width; ++c) {
        const std::int64_t round = c == 0 ? kHalf : 0;
        const std::int64_t ct = (t + round) >> kShift, cb = (b + round) >> kShift;
        const std::int64_t column = std::clamp<std::int64_t>((u + round) >> kShift, 0, W - 1);
        const std::int64_t first = std::max(ct, top), last = std::min(cb, bottom);
        for (std::int64_t r = top; r < bottom; ++r)
            if (r < first || r >= last)
                out[static_cast<std::size_t>((r - top) * n + c)] = 0;
        if (ct < cb) {
            const std::int64_t rowStep = (static_cast<std::int64_t>(H) << kShift) / (cb - ct);
            std::int64_t position = (first - ct) * rowStep;
            for (std::int64_t r = first; r < last; ++r, position += rowStep) {
                const std::int64_t row = std::clamp<std::int64_t>(position >> kShift, 0, H - 1);
                out[static_cast<std::size_t>((r - top) * n + c)] =
                    source[static_cast<std::size_t>(row * W + column)];
            }
        }
        t += dt;
        b += db;
        u += du;
    }
    drawRGB(loopStatics().s_graphics, target, 0, width, static_cast<std::int32_t>(left),
            static_cast<std::int32_t>(top), width, static_cast<std::int32_t>(rows), true, true, 0);
}

void paintPreZoomedStep(ZoomedSpritePlayer* entry, std::int32_t scale, std::int32_t x, std::int32_t y,
                        std::int32_t flags) {
    if (!entry) {
        rt::reportNullPointer();
        return;
    }
    auto* images =
        static_cast<ObjectArray*>(ObjectArray::get(entry->m_stepImages, zoomStatics().s_preZoomPalette));
    if (!images || images->classId() != ObjectArray::kClassId || images->length() < 1)
        return;
    const std::int32_t steps = images->length();
    const std::int32_t k = std::clamp(
        static_cast<std::int32_t>(
            (static_cast<std::int64_t>(steps) * std::min<std::int64_t>(scale, kOne) - 1) >> kShift),
        0, steps - 1);
    auto* image = static_cast<platform::javax_microedition_lcdui_Image*>(ObjectArray::get(images, k));
    if (!image) {
        rt::reportNullPointer();
        return;
    }
    const std::int32_t rx = ShortArray::get(entry->m_rects, 4 * k + 2);
    const std::int32_t ry = ShortArray::get(entry->m_rects, 4 * k + 3);
    drawRegion(image, 0, 0, image->getWidth(), image->getHeight(),
               IntArray::get(spriteStatics().s_transformToMidp, flags & 7), rt::iadd(x, rx), rt::iadd(y, ry),
               kAnchorTopLeft);
}

void paintPreZoomedCached(std::int32_t s, std::int32_t f, std::int32_t scale, std::int32_t x, std::int32_t y,
                          std::int32_t flags, bool bank) {
    const ReportedDraw reported(DrawCall::PaintPreZoomed, loopStatics().s_graphics, nullptr,
                                {s, f, scale, x, y, flags});
    ZoomedSpritePlayer* entry = findZoomEntry(ZoomCacheKind::PreZoomed, s, f, false, bank);
    if (entry && entry->m_stepped)
        paintPreZoomedStep(entry, scale, x, y, flags);
}

} // namespace game
