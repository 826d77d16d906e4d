#include "game/racepaint/RoadBands.h"

#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/RoadProjection.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/Drawing.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kBandRows = kRoadBandRows;
std::int32_t byteAt(rt::ByteArray* array, std::int32_t index) {
    return array && index >= 0 && index < array->length() ? rt::ByteArray::get(array, index) : 0;
}

rt::ObjectArray* imagesOf(std::int32_t surface) {
    rt::ObjectArray* rows = roadImageStatics().s_backgroundRows;
    if (!rows || surface < 0 || surface >= rows->length())
        return nullptr;
    auto* images = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(rows, surface));
    return images && images->length() > 0 ? images : nullptr;
}

// The surface's images, or surface 0's when it has none (logged once).
rt::ObjectArray* surfaceImages(std::int32_t surface) {
    if (rt::ObjectArray* images = imagesOf(surface))
        return images;
    RoadBandStatics& s = roadBandStatics();
    if (!s.s_surfaceFaultLogged) {
        s.s_surfaceFaultLogged = 1;
        host::logf(host::LogCategory::Game, "road bands: surface %d has no road images; surface 0 painted",
                   surface);
    }
    return imagesOf(0);
}

std::int32_t imageWidth(rt::ObjectArray* images, std::int32_t j) {
    auto* image = static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(images, j));
    return image ? image->getWidth() : 0;
}

// The first image from the estimate on whose doubled width covers `width`,
// or the widest.
std::int32_t chooseImage(rt::ObjectArray* images, std::int32_t width) {
    const std::int32_t last = images->length() - 1;
    const std::int32_t estimate = ((width >> 1) - kRoadImageFirstWidth) >> 4;
    for (std::int32_t j = std::max(estimate, 0); j < last; ++j)
        if (2 * imageWidth(images, j) >= width)
            return j;
    return last;
}

std::int32_t laneWidthOf(std::int32_t j) {
    rt::ShortArray* widths = roadImageStatics().s_roadImageLaneWidth;
    return widths && j < widths->length() ? rt::ShortArray::get(widths, j) : 0;
}

} // namespace

RoadBandStatics& roadBandStatics() {
    return rt::getStaticClass().statics<RoadBandStatics>();
}

void roadBandStaticInit() {
    RoadBandStatics& s = roadBandStatics();
    s.s_clipTop = 0;
    s.s_clipLeft = 0;
    s.s_clipBottom = config().s_gameScreenHeight;
    s.s_viewWidth = config().s_gameScreenWidth;
    s.s_surfaceFaultLogged = 0;
}

void paintRoadBands(const RoadBandView& view) {
    RoadBandStatics& s = roadBandStatics();
    const RoadSliceStatics& slices = roadSliceStatics();
    const TrackStatics& t = trackStatics();
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    const std::int32_t screenWidth = config().s_gameScreenWidth;
    const std::int32_t screenHeight = config().s_gameScreenHeight;
    std::int32_t clip = s.s_clipBottom;
    s.s_roadClipBottom = s.s_clipBottom;
    const std::int32_t left = s.s_clipLeft - view.shakeX;
    const std::int32_t width = s.s_viewWidth;
    for (std::int32_t i = 0; i < kMainRoadSlices - 1; ++i) {
        const std::int32_t angle = slices.s_sliceAngle[i];
        if (slices.s_sliceScreenWidth[i] == 0 || slices.s_sliceScreenWidth[i + 1] == 0 ||
            std::max(angle, -angle) >= view.angleLimit)
            continue;
        const std::int32_t seg = slices.s_sliceSegment[i];
        s.s_sliceClipY[i] = clip;
        s.s_sliceClipLeft[i] = left;
        s.s_sliceClipWidth[i] = width;
        const std::int64_t x0 = slices.s_sliceScreenX[i], y0 = slices.s_sliceScreenY[i];
        const std::int64_t w0 = slices.s_sliceScreenWidth[i];
        const std::int64_t x1 = slices.s_sliceScreenX[i + 1], w1 = slices.s_sliceScreenWidth[i + 1];
        std::int64_t y1 = slices.s_sliceScreenY[i + 1];
        const std::int32_t edges = byteAt(t.s_segmentEdgeFlags, seg);
        const std::int32_t offLeft = edges & 1, offRight = (edges >> 1) & 1;
        if (y0 < s.s_clipTop || y1 > s.s_clipBottom)
            continue;
        if (y0 < y1) {
            // The road falls away behind a crest: nothing here or farther
            // shows below the crest line.
            if (y0 < clip)
                clip = static_cast<std::int32_t>(y0 + 1);
            s.s_sliceClipY[i] = clip;
            continue;
        }
        std::int64_t row = y0;
        if (y0 >= s.s_roadClipBottom)
            row = s.s_roadClipBottom - kBandRows;
        else if (y0 >= s.s_clipBottom)
            row = s.s_clipBottom - kBandRows;
        y1 = std::max<std::int64_t>(y1, s.s_clipTop);
        if (row < y1 || s.s_sliceClipWidth[i] < 1)
            continue;
        // Edges in 16.16, in 64 bits: near slices lie far off the screen.
        const std::int64_t rise = y1 - y0 - 1;
        const std::int64_t xStep = ((x1 - x0) << 16) / rise;
        const std::int64_t wStep = ((w1 - w0) << 16) / rise;
        std::int64_t edgeX = (row - y0) * xStep + (x0 << 16);
        std::int64_t edgeW = (row - y0) * wStep + (w0 << 16);
        if (offLeft + offRight >= t.s_laneCount) {
            s.s_roadClipBottom = static_cast<std::int32_t>(y1);
            continue;
        }
        if (byteAt(t.s_segmentAttributes, 2 * seg + 1) == kFlatGroundAttribute) {
            if (g) {
                g->setColor(kFlatGroundColour);
                fillRect(g, -10, static_cast<std::int32_t>(y1), screenWidth + 20,
                         static_cast<std::int32_t>(y0 - y1));
            }
            s.s_roadClipBottom = static_cast<std::int32_t>(row + kBandRows);
            continue;
        }
        rt::ObjectArray* images = surfaceImages(byteAt(t.s_segmentAttributes, 2 * seg));
        if (!images)
            continue;
        const std::int32_t clipLeft = s.s_sliceClipLeft[i];
        const std::int32_t clipRight = clipLeft + s.s_sliceClipWidth[i];
        for (; row >= y1; row -= kBandRows, edgeX -= kBandRows * xStep, edgeW -= kBandRows * wStep) {
            const std::int64_t w = edgeW >> 16;
            const std::int32_t j =
                chooseImage(images, static_cast<std::int32_t>(std::clamp<std::int64_t>(w, -1, 1 << 20)));
            auto* image = static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(images, j));
            if (!image)
                continue;
            const std::int64_t imageW = image->getWidth();
            std::int64_t excess = (2 * imageW - w) >> 1;
            const std::int64_t lane = laneWidthOf(j);
            std::int64_t bandLeft = (edgeX >> 16) + lane * offLeft;
            std::int64_t bandWidth = w - lane * offRight - lane * offLeft;
            if (bandLeft < clipLeft) {
                const std::int64_t cut = bandLeft - clipLeft;
                bandWidth += cut;
                excess -= cut;
                bandLeft = clipLeft;
            }
            bandWidth = std::min(bandWidth, clipRight - bandLeft);
            if (bandWidth <= 0)
                continue;
            const std::int64_t part = excess + bandWidth > imageW ? imageW - excess : bandWidth;
            const std::int64_t right = bandLeft + part;
            const auto y = static_cast<std::int32_t>(row);
            if (right > 0 && part > 0) {
                setClip(g, static_cast<std::int32_t>(bandLeft), y, static_cast<std::int32_t>(part),
                        kBandRows);
                drawImage(g, image, static_cast<std::int32_t>(bandLeft - excess), y, kAnchorTopLeft);
                setClip(g, 0, 0, screenWidth, screenHeight);
            }
            if (right < screenWidth) {
                // The right half: the same image mirrored about the centre.
                const std::int64_t rest = bandWidth - part;
                drawRegion(image, static_cast<std::int32_t>(imageW - rest), 0,
                           static_cast<std::int32_t>(rest), kBandRows,
                           javax_microedition_lcdui_Graphics::TRANS_MIRROR, static_cast<std::int32_t>(right),
                           y, kAnchorTopLeft);
            }
        }
        s.s_roadClipBottom = static_cast<std::int32_t>(row + kBandRows);
    }
    s.s_sliceClipLeft[kMainRoadSlices - 1] = left;
    s.s_sliceClipWidth[kMainRoadSlices - 1] = width;
}

} // namespace game
