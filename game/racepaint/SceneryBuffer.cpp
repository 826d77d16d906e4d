#include "game/racepaint/SceneryBuffer.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/TransformBlit.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

constexpr std::int32_t kFarSlice = kRoadSlices - 1;
constexpr std::int32_t kStripRecord = 6;
constexpr std::int32_t kSurfaceWithoutScenery = 5;

std::int32_t wrapToInt(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

// (a + 2048) >> 12 of a 64-bit product, cut to 32 bits.
std::int32_t fxRoundLong(std::int64_t a) {
    return wrapToInt((a + 2048) >> 12);
}

// Table reads that answer `outside` beyond the table: a table shorter than
// the ring has nothing there.
std::int32_t byteOr(rt::ByteArray* a, std::int64_t i, std::int32_t outside) {
    return a && i >= 0 && i < a->length() ? rt::ByteArray::get(a, static_cast<std::int32_t>(i)) : outside;
}

std::int32_t shortAt(rt::ShortArray* a, std::int64_t i) {
    return a && i >= 0 && i < a->length() ? rt::ShortArray::get(a, static_cast<std::int32_t>(i)) : 0;
}

std::int32_t linkAt(std::int32_t segment, std::int32_t slot) {
    const std::int32_t link = byteOr(sceneryStatics().s_sceneryLinks, std::int64_t{4} * segment + slot, -1);
    // A link beyond the four slots would read past the cross-sections.
    return link < kScenerySlots ? link : -1;
}

std::int32_t nextSegment(std::int32_t segment) {
    return segment + 1 >= trackStatics().s_segmentCount ? 0 : segment + 1;
}

struct StripPoint {
    std::int64_t x;
    std::int64_t y;
    std::int64_t z;
};

// The strip's point on slice i, `pos` of the way to slice i + 1, given the
// slot's lateral offset; `exact` divides by 1024 instead of shifting.
StripPoint stripPoint(std::int32_t i, std::int32_t lateral, std::int32_t pos, bool exact) {
    const RoadsideViewStatics& v = roadsideView();
    auto along = [&](const std::int32_t* values) {
        const std::int64_t step = (std::int64_t{values[i + 1]} - values[i]) * pos;
        return std::int64_t{values[i]} + (exact ? step / 1024 : step >> 10);
    };
    return {along(v.s_sliceX) + lateral, along(v.s_sliceHeight), std::int64_t{v.s_sliceDepth[i]} + pos};
}

// The cross-section of slot j at slice i of `segment`; false when it has none.
bool crossSection(std::int32_t i, std::int32_t segment, std::int32_t j, StripPoint& point) {
    SceneryStatics& s = sceneryStatics();
    const std::int64_t at = std::int64_t{8} * segment + 2 * j;
    point = stripPoint(i, shortAt(s.s_sceneryOffsets, at), shortAt(s.s_sceneryOffsets, at + 1), false);
    if (point.z >= kSceneryNearDepth)
        return true;
    const std::int32_t link = linkAt(segment, j);
    if (link < 0 || i == kFarSlice - 1)
        return false;
    const std::int64_t linked = std::int64_t{8} * nextSegment(segment) + 2 * link;
    const StripPoint far =
        stripPoint(i + 1, shortAt(s.s_sceneryOffsets, linked), shortAt(s.s_sceneryOffsets, linked + 1), true);
    // Equal depths leave no edge to move along.
    if (far.z == point.z)
        return false;
    const std::int64_t go = kSceneryNearDepth - point.z;
    point.x += (far.x - point.x) * go / (far.z - point.z);
    point.y += (far.y - point.y) * go / (far.z - point.z);
    point.z = kSceneryNearDepth;
    return true;
}

void noteWritten(SceneryStatics& s, std::int32_t left, std::int32_t right, std::int32_t row) {
    if (!s.s_spanTargetDrawn) {
        s.s_spanLeft = left;
        s.s_spanRight = right;
        s.s_spanTop = row;
        s.s_spanBottom = row + 1;
        s.s_spanTargetDrawn = true;
        return;
    }
    s.s_spanLeft = std::min(s.s_spanLeft, left);
    s.s_spanRight = std::max(s.s_spanRight, right);
    s.s_spanTop = std::min(s.s_spanTop, row);
    s.s_spanBottom = std::max(s.s_spanBottom, row + 1);
}

} // namespace

SceneryStatics& sceneryStatics() {
    return rt::getStaticClass().statics<SceneryStatics>();
}

void setupScenery(rt::IntArray* texture, std::int32_t textureWidth, std::int32_t textureHeight,
                  std::int32_t viewWidth, std::int32_t rows) {
    SceneryStatics& s = sceneryStatics();
    const std::int32_t segments = std::max(trackStatics().s_segmentCount, 0);
    s.s_sceneryFlags = rt::newByteArray(segments * 3);
    s.s_sceneryOffsets = rt::newShortArray(segments * 8);
    s.s_sceneryLinks = rt::newByteArray(segments * kScenerySlots);
    std::ranges::fill(rt::ByteArray::span(s.s_sceneryLinks), std::int8_t{-1});
    rt::ShortArray* records = trackStatics().s_trackShorts;
    const std::int32_t count = records ? records->length() / kStripRecord : 0;
    for (std::int32_t r = 0; r < count; ++r) {
        auto field = [&](std::int32_t k) { return rt::ShortArray::get(records, r * kStripRecord + k); };
        const std::int32_t segment = field(0);
        const std::int32_t slot = field(1);
        if (segment < 0 || segment >= segments || slot < 0 || slot >= kScenerySlots)
            continue;
        const std::int32_t flags = rt::ByteArray::get(s.s_sceneryFlags, 3 * segment);
        rt::ByteArray::set(s.s_sceneryFlags, 3 * segment, static_cast<std::int8_t>(flags | (1 << slot)));
        rt::ShortArray::set(s.s_sceneryOffsets, 8 * segment + 2 * slot, static_cast<std::int16_t>(field(2)));
        rt::ShortArray::set(s.s_sceneryOffsets, 8 * segment + 2 * slot + 1,
                            static_cast<std::int16_t>(field(3)));
        rt::ByteArray::set(s.s_sceneryLinks, kScenerySlots * segment + slot,
                           static_cast<std::int8_t>(field(4)));
    }
    const bool usable = texture && textureWidth > 0 && textureHeight > 0 &&
                        std::int64_t{textureWidth} * textureHeight <= texture->length();
    s.s_sceneryTexture = usable ? texture : nullptr;
    s.s_sceneryTextureWidth = usable ? textureWidth : 0;
    s.s_sceneryTextureHeight = usable ? textureHeight : 0;
    s.s_sceneryBufferWidth = std::max(viewWidth, 0);
    s.s_sceneryBufferRows = std::max(rows, 0);
    s.s_sceneryBuffer = rt::newIntArray(s.s_sceneryBufferWidth * s.s_sceneryBufferRows);
    s.s_spanTargetDrawn = false;
}

bool hasSceneryStrip(std::int32_t segment, std::int32_t slot) {
    return ((byteOr(sceneryStatics().s_sceneryFlags, std::int64_t{3} * segment, 0) >> slot) & 1) != 0;
}

void computeSceneryStrips() {
    SceneryStatics& s = sceneryStatics();
    const RoadsideViewStatics& v = roadsideView();
    std::ranges::fill(s.s_sceneryHalfWidths, 0);
    std::int32_t segment = v.s_cameraSegment;
    for (std::int32_t i = 0; i < kFarSlice; ++i) {
        const std::int32_t surface =
            byteOr(trackStatics().s_segmentAttributes, std::int64_t{2} * segment + 1, 0);
        for (std::int32_t j = 0; j < kScenerySlots; ++j) {
            StripPoint point{};
            if (!hasSceneryStrip(segment, j) || surface == kSurfaceWithoutScenery ||
                !crossSection(i, segment, j, point) || point.z <= 0)
                continue;
            const std::int64_t scale = (std::int64_t{v.s_cameraFocal} << 12) / point.z;
            s.s_sceneryPoints[8 * i + 2 * j] =
                wrapToInt(v.s_screenCenterX + std::int64_t{fxRoundLong(scale * point.x)});
            s.s_sceneryPoints[8 * i + 2 * j + 1] =
                wrapToInt(v.s_viewHorizonY - std::int64_t{fxRoundLong(scale * point.y)});
            s.s_sceneryHalfWidths[4 * i + j] = fxRoundLong(scale * kSceneryHalfWidth);
        }
        segment = nextSegment(segment);
    }
}

void fillFromPattern(rt::IntArray* target, std::int32_t from, std::int32_t count) {
    std::ranges::fill(rt::IntArray::span(target, from, count), 0);
}

void fillTexturedSpan(std::int32_t farLeft, std::int32_t farRight, std::int32_t farY, std::int32_t nearLeft,
                      std::int32_t nearRight, std::int32_t nearY, std::int32_t mode) {
    SceneryStatics& s = sceneryStatics();
    const std::int32_t width = s.s_spanTargetWidth;
    const std::int32_t height = s.s_spanTargetHeight;
    const std::int32_t texWidth = s.s_spanTextureWidth;
    const std::int32_t texHeight = s.s_spanTextureHeight;
    if (mode != kSpanCopyMode || nearY < farY || width <= 0 || height <= 0 || texWidth <= 0 || texHeight <= 0)
        return;
    auto target = rt::IntArray::span(s.s_spanTarget, 0, width * height);
    auto texture = rt::IntArray::span(s.s_spanTexture, 0, texWidth * texHeight);
    if (target.empty() || texture.empty())
        return;
    const std::int64_t rows = std::int64_t{nearY} - farY;
    for (std::int32_t y = std::max(farY, 0); y <= std::min(nearY, height - 1); ++y) {
        const std::int64_t t = y - std::int64_t{farY};
        auto edge = [&](std::int32_t far, std::int32_t near) {
            return rows == 0 ? std::int64_t{far} : far + (std::int64_t{near} - far) * t / rows;
        };
        const std::int64_t left = edge(farLeft, nearLeft);
        const std::int64_t right = edge(farRight, nearRight);
        const std::int64_t from = std::max<std::int64_t>(left, 0);
        const std::int64_t to = std::min<std::int64_t>(right, width - 1);
        if (from > to)
            continue;
        const std::int64_t v = t * texHeight / (rows + 1);
        const std::int64_t span = right - left + 1;
        for (std::int64_t x = from; x <= to; ++x) {
            const std::int64_t u = (x - left) * texWidth / span;
            target[static_cast<std::size_t>(std::int64_t{y} * width + x)] =
                texture[static_cast<std::size_t>(v * texWidth + u)];
        }
        noteWritten(s, static_cast<std::int32_t>(from), static_cast<std::int32_t>(to) + 1, y);
    }
}

bool paintSceneryBuffer() {
    SceneryStatics& s = sceneryStatics();
    const RoadsideViewStatics& v = roadsideView();
    const std::int32_t top = v.s_sliceScreenY[kFarSlice];
    const std::int32_t screenWidth = config().s_gameScreenWidth;
    const std::int32_t screenHeight = config().s_gameScreenHeight;
    s.s_spanTargetWidth = s.s_sceneryBufferWidth;
    s.s_spanTargetHeight = std::clamp(screenHeight - top, 0, s.s_sceneryBufferRows);
    s.s_spanTarget = s.s_sceneryBuffer;
    s.s_spanTexture = s.s_sceneryTexture;
    s.s_spanTextureWidth = s.s_sceneryTextureWidth;
    s.s_spanTextureHeight = s.s_sceneryTextureHeight;
    s.s_spanTargetDrawn = false;
    std::int32_t segment = v.s_cameraSegment - 1;
    for (std::int32_t i = 0; i < kFarSlice; ++i) {
        segment = nextSegment(segment);
        for (std::int32_t j = 0; j < kScenerySlots; ++j) {
            const std::int32_t h = s.s_sceneryHalfWidths[4 * i + j];
            const std::int32_t link = linkAt(segment, j);
            if (h == 0 || link < 0)
                continue;
            const std::int32_t farH = s.s_sceneryHalfWidths[4 * (i + 1) + link];
            if (farH == 0)
                continue;
            const std::int64_t x = s.s_sceneryPoints[8 * i + 2 * j];
            const std::int64_t y = s.s_sceneryPoints[8 * i + 2 * j + 1];
            const std::int64_t farX = s.s_sceneryPoints[8 * (i + 1) + 2 * link];
            const std::int64_t farY = s.s_sceneryPoints[8 * (i + 1) + 2 * link + 1];
            if (farY >= y || y < 1 || (x + h <= 0 && farX + farH <= 0) || farY >= screenHeight ||
                (x - h >= screenWidth && farX - farH >= screenWidth))
                continue;
            fillTexturedSpan(wrapToInt(farX - farH), wrapToInt(farX + farH), wrapToInt(farY - top),
                             wrapToInt(x - h), wrapToInt(x + h), wrapToInt(y - top), kSpanCopyMode);
        }
    }
    if (!s.s_spanTargetDrawn)
        return false;
    const std::int32_t width = s.s_spanTargetWidth;
    const std::int32_t boxWidth = s.s_spanRight - s.s_spanLeft;
    if (platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics)
        drawRGB(g, s.s_spanTarget, s.s_spanTop * width + s.s_spanLeft, width, s.s_spanLeft, top + s.s_spanTop,
                boxWidth, s.s_spanBottom - s.s_spanTop, true, true, 0);
    else
        rt::reportNullPointer();
    for (std::int32_t row = s.s_spanTop; row < s.s_spanBottom; ++row)
        fillFromPattern(s.s_spanTarget, row * width + s.s_spanLeft, boxWidth);
    s.s_spanTargetDrawn = false;
    return true;
}

} // namespace game
