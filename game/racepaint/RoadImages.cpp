#include "game/racepaint/RoadImages.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/RaceImages.h"
#include "game/race/TrackData.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/lcdui/Image.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

namespace {

using platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kFullShade = 256;
constexpr std::int32_t kFullTint = 128;

// The darkening of an image of `halfWidth`, in 256ths.
std::int32_t darkening(std::int32_t halfWidth, std::int32_t depth, std::int32_t far, std::int32_t near) {
    if (halfWidth <= far)
        return depth;
    if (halfWidth >= near)
        return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(depth) * (near - halfWidth) / (near - far));
}

std::int32_t shadePixel(std::int32_t argb, std::int32_t dark, std::int32_t tintColour, std::int32_t tint) {
    std::int32_t out = 0xFF000000;
    for (std::int32_t shift = 0; shift <= 16; shift += 8) {
        std::int32_t channel = (argb >> shift) & 255;
        channel = channel * (kFullShade - dark) >> 8;
        const std::int32_t target = (tintColour >> shift) & 255;
        channel += (target - channel) * tint / kFullTint;
        out |= channel << shift;
    }
    return out;
}

} // namespace

RoadImageStatics& roadImageStatics() {
    return rt::getStaticClass().statics<RoadImageStatics>();
}

void roadImageStaticInit() {
    RoadImageStatics& s = roadImageStatics();
    s.s_roadImageLaneWidth = rt::newShortArray(kRoadImageCount);
    s.s_fillPattern = rt::newIntArray(std::max(config().s_gameScreenWidth, 1));
}

std::int32_t weatherTintStrength(std::int32_t weatherMode, std::int32_t weatherStrength) {
    if (weatherMode != kParticleWeather)
        return 0;
    return ((weatherStrength - 50) << 7) / 100;
}

rt::ObjectArray* buildGradientImage(rt::IntArray* pixels, std::int32_t width, std::int32_t height,
                                    std::int32_t shadeDepth, std::int32_t shadeFar, std::int32_t shadeNear,
                                    std::int32_t tintColour, std::int32_t tintStrength) {
    if (!pixels || width < 1 || height < 1 || static_cast<std::int64_t>(width) * height > pixels->length())
        return nullptr;
    RoadImageStatics& s = roadImageStatics();
    constexpr std::int32_t kLargest = roadImageWidth(kRoadImageCount - 1) * kRoadBandRows;
    if (!s.s_roadImagePixels || s.s_roadImagePixels->length() < kLargest)
        s.s_roadImagePixels = rt::newIntArray(kLargest);
    rt::ObjectArray* images = rt::newObjectArray(kRoadImageCount);
    if (!images || !s.s_roadImagePixels)
        return nullptr;
    shadeDepth = std::clamp(shadeDepth, 0, kFullShade);
    tintStrength = std::clamp(tintStrength, 0, kFullTint);
    for (std::int32_t j = 0; j < kRoadImageCount; ++j) {
        const std::int32_t imageWidth = roadImageWidth(j);
        const std::int32_t dark = darkening(imageWidth, shadeDepth, shadeFar, shadeNear);
        {
            // No allocation while the spans are held.
            std::span<const std::int32_t> source = rt::IntArray::span(pixels);
            std::span<std::int32_t> out = rt::IntArray::span(s.s_roadImagePixels);
            for (std::int32_t row = 0; row < kRoadBandRows; ++row) {
                const std::int32_t sourceRow = row * height / kRoadBandRows;
                for (std::int32_t x = 0; x < imageWidth; ++x) {
                    // The first and last columns (the outer edge, the centre
                    // line) map onto the picture's own.
                    const std::int32_t sourceX = (x * (width - 1) + (imageWidth - 1) / 2) / (imageWidth - 1);
                    out[row * imageWidth + x] =
                        shadePixel(source[sourceRow * width + sourceX], dark, tintColour, tintStrength);
                }
            }
        }
        javax_microedition_lcdui_Image* image =
            createRGBImage(s.s_roadImagePixels, imageWidth, kRoadBandRows, false);
        rt::ObjectArray::set(images, j, image);
    }
    return images;
}

void buildRaceBackground(std::int32_t index) {
    RoadImageStatics& s = roadImageStatics();
    if (!s.s_backgroundImages || index < 0 || index >= s.s_backgroundImages->length())
        return;
    auto* image =
        static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(s.s_backgroundImages, index));
    if (!image)
        return;
    const std::int32_t width = image->getWidth();
    const std::int32_t height = image->getHeight();
    s.s_backgroundWidth = width;
    s.s_backgroundHeight = height;
    if (!s.s_backgroundPixels || s.s_backgroundPixels->length() != width * height) {
        s.s_backgroundPixels = nullptr;
        s.s_backgroundPixels = rt::newIntArray(width * height);
    }
    getRGB(image, s.s_backgroundPixels, 0, width, 0, 0, width, height);
    rt::ObjectArray::set(s.s_backgroundImages, index, nullptr);
    image = nullptr;
    collectAfterUnload();

    const TrackStatics& t = trackStatics();
    rt::ObjectArray* images = buildGradientImage(
        s.s_backgroundPixels, width, height, trackStyle(TrackStyleSlot::ShadeDepth),
        trackStyle(TrackStyleSlot::ShadeFar), trackStyle(TrackStyleSlot::ShadeNear), kWeatherTintColour,
        weatherTintStrength(t.s_trackAmbience, t.s_trackAmbienceLevel));
    if (!s.s_backgroundRows || s.s_backgroundRows->length() < s.s_backgroundImages->length()) {
        rt::ObjectArray* rows = rt::newObjectArray(s.s_backgroundImages->length());
        if (s.s_backgroundRows)
            rt::Array::copy(s.s_backgroundRows, 0, rows, 0, s.s_backgroundRows->length());
        s.s_backgroundRows = rows;
    }
    rt::ObjectArray::set(s.s_backgroundRows, index, images);
}

void grabImagePixels() {
    RoadImageStatics& s = roadImageStatics();
    const std::int32_t width = s.s_backgroundWidth;
    const std::int32_t height = s.s_backgroundHeight;
    if (width < 1 || height < 1)
        return;
    constexpr std::int32_t kBlocks = 3;
    if (!s.s_sliceObjectPixels)
        s.s_sliceObjectPixels = rt::newObjectArray(kBlocks);
    rt::ObjectArray* images = raceImageStatics().s_roadsideImages;
    for (std::int32_t i = 0; i < kBlocks; ++i) {
        auto* block = static_cast<rt::IntArray*>(rt::ObjectArray::get(s.s_sliceObjectPixels, i));
        if (!block || block->length() != width * height) {
            block = rt::newIntArray(width * height);
            rt::ObjectArray::set(s.s_sliceObjectPixels, i, block);
        }
        auto* image = images && i < images->length()
                          ? static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(images, i))
                          : nullptr;
        if (!image || image->getWidth() < 1 || image->getHeight() < 1) {
            std::ranges::fill(rt::IntArray::span(block), 0);
            continue;
        }
        const std::int32_t imageWidth = image->getWidth();
        const std::int32_t imageHeight = image->getHeight();
        // The image's pixels through the shared buffer, then sampled nearest.
        rt::IntArray* argb = ensurePixelBuffer(imageWidth * imageHeight);
        if (!argb)
            return;
        getRGB(image, argb, 0, imageWidth, 0, 0, imageWidth, imageHeight);
        std::span<const std::int32_t> source = rt::IntArray::span(argb);
        std::span<std::int32_t> out = rt::IntArray::span(block);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                out[y * width + x] = source[(y * imageHeight / height) * imageWidth + x * imageWidth / width];
    }
}

void computeRoadImageLaneWidths() {
    RoadImageStatics& s = roadImageStatics();
    if (!s.s_roadImageLaneWidth)
        s.s_roadImageLaneWidth = rt::newShortArray(kRoadImageCount);
    const std::int32_t lanes = std::max(trackStatics().s_laneCount, 1);
    rt::ObjectArray* images = s.s_backgroundRows && s.s_backgroundRows->length() > 0
                                  ? static_cast<rt::ObjectArray*>(rt::ObjectArray::get(s.s_backgroundRows, 0))
                                  : nullptr;
    for (std::int32_t j = 0; j < kRoadImageCount; ++j) {
        auto* image = images && j < images->length()
                          ? static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(images, j))
                          : nullptr;
        const std::int32_t width = image ? image->getWidth() : 0;
        rt::ShortArray::set(s.s_roadImageLaneWidth, j, static_cast<std::int16_t>(width * 2 / lanes));
    }
}

} // namespace game
