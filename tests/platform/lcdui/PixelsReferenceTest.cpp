// The fast pixel paths against the reference model in ReferencePixels.h:
// random images, sizes, clips, translations, anchors and transforms drawn
// both ways must leave the same bytes. A pinned hash of a fixed scene keeps
// the output from moving with the compiler or its optimisation level.

#include "platform/lcdui/pixels.h"
#include "tests/platform/lcdui/LcduiFixture.h"
#include "tests/platform/lcdui/ReferencePixels.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace lcdui_testing;

// The runtime has no threads, so its collector sees no stack: each trial
// starts with a collection of the last one's images, so that none runs while
// a trial holds its own.
struct PixelsReference : LcduiTest {
    void collectGarbage() { runtime.objectManager().gc(rt::ObjectManager::kImmediate); }
};

// Fills every pixel of `image` (rows up to the pitch) from `next`, then
// gives it `type`. Keyed images get the colour key for about a quarter of
// their pixels, ARGB4444 ones alpha 0 or 15 for about half.
template <class Next>
void paint(Image* image, std::int32_t type, Next next) {
    platform::Surface16 surface = image->surface();
    for (std::int32_t y = 0; y < surface.height; ++y) {
        for (std::int32_t x = 0; x < surface.pitch; ++x) {
            std::uint32_t value = next();
            auto pixel = static_cast<std::uint16_t>(value);
            if (type == Image::kRgb565Keyed && (value >> 16 & 3) == 0)
                pixel = platform::pixels::kColourKey;
            if (type == Image::kArgb4444 && (value >> 16 & 3) < 2)
                pixel = static_cast<std::uint16_t>((pixel & 0x0FFF) | ((value >> 18 & 1) ? 0xF000 : 0));
            surface.row(y)[x] = pixel;
        }
    }
    image->setPixelType(type);
}

// Every 16-bit element of an image's rows, pitch included.
std::vector<std::uint16_t> elements(Image* image) {
    platform::Surface16 surface = image->surface();
    return std::vector<std::uint16_t>(
        surface.pixels, surface.pixels + static_cast<std::ptrdiff_t>(surface.pitch) * surface.height);
}

// The reference model of `graphics`, drawing on `pixels` (a copy of the target's elements).
reference::Drawing modelOf(Graphics* graphics, std::vector<std::uint16_t>& pixels, std::uint32_t colour) {
    Image* target = graphics->target();
    platform::Surface16 surface = target->surface();
    reference::Drawing model;
    model.target = platform::Surface16{pixels.data(), surface.pitch, surface.width, surface.height};
    model.pixelType = target->pixelType();
    model.translateX = graphics->getTranslateX();
    model.translateY = graphics->getTranslateY();
    model.clipX1 = graphics->getClipX() + model.translateX;
    model.clipY1 = graphics->getClipY() + model.translateY;
    model.clipX2 = model.clipX1 + graphics->getClipWidth();
    model.clipY2 = model.clipY1 + graphics->getClipHeight();
    model.colour = colour;
    return model;
}

// The random state a drawing starts from: a target of random size, type and
// pixels with a Graphics whose translation and clip are random.
struct Scene {
    std::mt19937& random;
    Image* target = nullptr;
    Graphics* graphics = nullptr;
    std::string description;

    std::int32_t between(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    }
    bool chance(int percent) { return between(0, 99) < percent; }
    // Mostly small, sometimes larger than a tile of the blits.
    std::int32_t size() { return chance(80) ? between(1, 40) : between(41, 150); }

    Image* image(std::int32_t width, std::int32_t height, std::int32_t type) {
        Image* made = Image::createImage(width, height);
        paint(made, type, [this] { return static_cast<std::uint32_t>(random()); });
        return made;
    }

    explicit Scene(std::mt19937& generator, std::int32_t targetType = 0)
        : random(generator) {
        target = image(size(), size(), targetType);
        graphics = target->getGraphics();
        std::ostringstream text;
        text << "target " << target->getWidth() << "x" << target->getHeight() << " type " << targetType;
        if (chance(70)) {
            std::int32_t dx = between(-20, 20), dy = between(-20, 20);
            graphics->translate(dx, dy);
            text << " translate " << dx << "," << dy;
        }
        if (chance(70)) {
            std::int32_t x = between(-30, target->getWidth()), y = between(-30, target->getHeight());
            std::int32_t width = between(-5, target->getWidth() + 30),
                         height = between(-5, target->getHeight() + 30);
            graphics->setClip(x, y, width, height);
            text << " clip " << x << "," << y << " " << width << "x" << height;
        }
        description = text.str();
    }
};

TEST_F(PixelsReference, DrawRegionMatchesTheReferenceModel) {
    std::mt19937 random(19);
    for (int trial = 0; trial < 6000; ++trial) {
        collectGarbage();
        const std::int32_t sourceType = trial % 3;
        Scene scene(random, sourceType);
        // Now and then the target draws a part of itself, overlapping or not.
        const bool self = scene.chance(12);
        Image* source = self ? scene.target : scene.image(scene.size(), scene.size(), sourceType);
        const std::int32_t sourceWidth = source->getWidth(), sourceHeight = source->getHeight();
        std::int32_t xSource = 0, ySource = 0, width = sourceWidth, height = sourceHeight;
        if (scene.chance(90)) {
            // A region inside the source, or now and then reaching out of it.
            xSource = scene.between(0, sourceWidth - 1);
            ySource = scene.between(0, sourceHeight - 1);
            width = scene.between(1, sourceWidth - xSource);
            height = scene.between(1, sourceHeight - ySource);
            if (scene.chance(10)) {
                xSource -= scene.between(0, 4);
                width += scene.between(0, 8);
                ySource -= scene.between(0, 4);
                height += scene.between(0, 8);
            }
        }
        const std::int32_t transform = scene.between(0, 7);
        const std::int32_t anchor = scene.between(0, 63);
        const std::int32_t x = scene.between(-60, scene.target->getWidth() + 20);
        const std::int32_t y = scene.between(-60, scene.target->getHeight() + 20);
        SCOPED_TRACE(scene.description + " source " + std::to_string(sourceWidth) + "x" +
                     std::to_string(sourceHeight) + (self ? " (itself)" : "") + " region " +
                     std::to_string(xSource) + "," + std::to_string(ySource) + " " + std::to_string(width) +
                     "x" + std::to_string(height) + " transform " + std::to_string(transform) + " anchor " +
                     std::to_string(anchor) + " at " + std::to_string(x) + "," + std::to_string(y));

        std::vector<std::uint16_t> expected = elements(scene.target);
        reference::Drawing model = modelOf(scene.graphics, expected, 0);
        platform::Surface16 from = self ? model.target : source->surface();
        model.drawRegion(from, sourceType, xSource, ySource, width, height, transform, x, y, anchor);
        scene.graphics->drawRegion(source, xSource, ySource, width, height, transform, x, y, anchor);
        ASSERT_EQ(elements(scene.target), expected) << "trial " << trial;
    }
}

TEST_F(PixelsReference, FillRectAndDrawRgbMatchTheReferenceModel) {
    std::mt19937 random(20);
    for (int trial = 0; trial < 3000; ++trial) {
        collectGarbage();
        // drawRGB writes ARGB4444 into an image of that type, 565 otherwise.
        Scene scene(random, trial % 4 == 3 ? Image::kArgb4444 : Image::kRgb565);
        const std::int32_t x = scene.between(-30, scene.target->getWidth() + 5);
        const std::int32_t y = scene.between(-30, scene.target->getHeight() + 5);
        const std::int32_t width = scene.between(-2, scene.target->getWidth() + 40);
        const std::int32_t height = scene.between(-2, scene.target->getHeight() + 40);
        std::vector<std::uint16_t> expected = elements(scene.target);
        if (trial % 2 == 0) {
            const auto colour = static_cast<std::uint32_t>(random());
            SCOPED_TRACE(scene.description + " fillRect " + std::to_string(x) + "," + std::to_string(y) +
                         " " + std::to_string(width) + "x" + std::to_string(height));
            scene.graphics->setColor(static_cast<std::int32_t>(colour));
            modelOf(scene.graphics, expected, colour | 0xFF000000u).fillRect(x, y, width, height);
            scene.graphics->fillRect(x, y, width, height);
            ASSERT_EQ(elements(scene.target), expected) << "trial " << trial;
            continue;
        }
        // Entries of every kind of alpha; the array may be shorter than the
        // rectangle, the offset and the scan length anything near it.
        const std::int32_t length = scene.between(0, 3000);
        rt::IntArray* rgb = rt::newIntArray(length);
        for (std::int32_t i = 0; i < length; ++i) {
            auto entry = static_cast<std::uint32_t>(random());
            std::uint32_t kind = entry >> 8 & 3;
            entry = kind == 0 ? entry | 0xFF000000u : kind == 1 ? entry & 0x00FFFFFFu : entry;
            rgb->elements()[i] = static_cast<std::int32_t>(entry);
        }
        const std::int32_t offset = scene.between(-10, 50);
        const std::int32_t scanLength =
            scene.chance(80) ? width + scene.between(0, 10) : scene.between(-40, 40);
        const bool processAlpha = scene.chance(70);
        SCOPED_TRACE(scene.description + " drawRGB " + std::to_string(length) + " entries from " +
                     std::to_string(offset) + " scan " + std::to_string(scanLength) + " at " +
                     std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
                     std::to_string(height) + (processAlpha ? " with alpha" : ""));
        modelOf(scene.graphics, expected, 0)
            .drawRGB(rgb->elements(), length, offset, scanLength, x, y, width, height, processAlpha);
        scene.graphics->drawRGB(rgb, offset, scanLength, x, y, width, height, processAlpha);
        ASSERT_EQ(elements(scene.target), expected) << "trial " << trial;
    }
}

TEST_F(PixelsReference, SolidAndBlendedFillsAndRgbRowsMatchTheReferenceModel) {
    // The blended fill is out of reach of setColor, which always stores alpha 255.
    std::mt19937 random(21);
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int trial = 0; trial < 2000; ++trial) {
        const int pitch = between(1, 100), width = between(0, pitch), height = between(0, 6);
        std::vector<std::uint16_t> actual(static_cast<std::size_t>(pitch) * 7);
        for (std::uint16_t& pixel : actual)
            pixel = static_cast<std::uint16_t>(random());
        std::vector<std::uint16_t> expected = actual;
        const auto colour = static_cast<std::uint16_t>(random());
        const auto alpha = static_cast<std::uint32_t>(between(0, 255));
        // A solid fill first, whose rows after the first are copies of it,
        // or set bytewise for a colour of two equal bytes: every row, and
        // nothing between the rows, takes the colour.
        const auto solid = trial % 3 == 0 ? static_cast<std::uint16_t>((colour & 0xFF) * 0x101) : colour;
        platform::pixels::fillSolid(actual.data(), pitch, width, height, solid);
        reference::fillSolid(expected.data(), pitch, width, height, solid);
        ASSERT_EQ(actual, expected) << pitch << " " << width << "x" << height << " solid";
        platform::pixels::fillBlended(actual.data(), pitch, width, height, colour, alpha);
        reference::fillBlended(expected.data(), pitch, width, height, colour, alpha);
        ASSERT_EQ(actual, expected) << pitch << " " << width << "x" << height << " alpha " << alpha;

        std::vector<std::int32_t> entries(static_cast<std::size_t>(width));
        for (std::int32_t& entry : entries)
            entry = static_cast<std::int32_t>(random());
        for (int mode = 0; mode < 3; ++mode) {
            platform::pixels::drawRgbRow(entries.data(), actual.data(), width,
                                         static_cast<platform::pixels::RgbMode>(mode));
            reference::drawRgbRow(entries.data(), expected.data(), width,
                                  static_cast<reference::RgbMode>(mode));
            ASSERT_EQ(actual, expected) << width << " entries, mode " << mode;
        }
    }
}

// FNV-1a over the bytes of 16-bit pixels.
std::uint64_t hashOf(const std::vector<std::uint16_t>& pixels) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint16_t pixel : pixels) {
        for (int shift : {0, 8}) {
            hash ^= (pixel >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

TEST_F(PixelsReference, AFixedSceneKeepsItsPinnedHash) {
    // Every source type under every transform and anchor, then fills and
    // drawRGB rows, all from a fixed arithmetic sequence, onto one target.
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8 ^ state << 13;
    };
    Image* target = Image::createImage(96, 80);
    paint(target, Image::kRgb565, next);
    Graphics* graphics = target->getGraphics();
    for (std::int32_t type = 0; type < 3; ++type) {
        Image* source = Image::createImage(37, 29);
        paint(source, type, next);
        for (std::int32_t transform = 0; transform < 8; ++transform) {
            std::int32_t anchor = std::int32_t{1} << (transform % 6);
            graphics->drawRegion(source, transform, type, 37 - transform, 29 - type, transform,
                                 static_cast<std::int32_t>(next() % 110) - 10,
                                 static_cast<std::int32_t>(next() % 90) - 10, anchor);
        }
    }
    graphics->setColor(0x123456);
    graphics->fillRect(5, 7, 50, 3);
    rt::IntArray* rgb = rt::newIntArray(40 * 10);
    for (std::int32_t i = 0; i < 400; ++i)
        rgb->elements()[i] = static_cast<std::int32_t>(next());
    graphics->drawRGB(rgb, 0, 40, 30, 40, 40, 10, true);
    graphics->drawRGB(rgb, 3, 40, 20, 60, 37, 10, false);
    EXPECT_EQ(hashOf(elements(target)), 10908641437255735650ull);
}

} // namespace
