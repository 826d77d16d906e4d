#include "game/race/RaceImages.h"

#include "game/data/PackReader.h"
#include "game/race/TrackData.h"
#include "host/Log.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

constexpr std::int32_t kSceneryAlphaMask = 0x70FFFFFF;

// The image of `entry`, or null (logged, a pending exception dropped).
platform::javax_microedition_lcdui_Image* loadImage(std::int32_t entry, const char* what) {
    platform::javax_microedition_lcdui_Image* image = loadImageFromPack(entry);
    if (rt::catchException(rt::ClassId::java_lang_Throwable))
        image = nullptr;
    if (!image)
        host::logf(host::LogCategory::Game, "race images: the %s (entry %d) cannot be loaded", what, entry);
    return image;
}

} // namespace

RaceImageStatics& raceImageStatics() {
    return rt::getStaticClass().statics<RaceImageStatics>();
}

void maskSceneryPixels(std::span<std::int32_t> pixels) {
    for (std::int32_t& pixel : pixels)
        pixel &= kSceneryAlphaMask;
}

void loadImageArray() {
    RaceImageStatics& s = raceImageStatics();
    if (!s.s_roadsideImages)
        s.s_roadsideImages = rt::newObjectArray(3);
    if (!s.s_roadsideImages2)
        s.s_roadsideImages2 = rt::newObjectArray(3);
    const std::int32_t entries[3] = {1, 2, 0};
    for (std::int32_t i = 0; i < 3; ++i) {
        platform::javax_microedition_lcdui_Image* image = loadImage(entries[i], "roadside image");
        if (!image)
            return;
        rt::ObjectArray::set(s.s_roadsideImages, i, image);
    }
}

void loadImageVariant() {
    std::int32_t entry =
        rt::IntArray::get(trackStatics().s_trackStyle, styleIndex(TrackStyleSlot::SceneryImage));
    platform::javax_microedition_lcdui_Image* image = loadImage(entry, "scenery image");
    if (!image)
        return;
    RaceImageStatics& s = raceImageStatics();
    std::int32_t width = image->getWidth();
    std::int32_t height = image->getHeight();
    rt::IntArray* pixels = rt::newIntArray(width * height);
    image->getRGB(pixels, 0, width, 0, 0, width, height);
    maskSceneryPixels(rt::IntArray::span(pixels));
    s.s_sceneryWidth = width;
    s.s_sceneryHeight = height;
    s.s_sceneryPixels = pixels;
}

} // namespace game
