#include "platform/lcdui/Image.h"
#include "tests/platform/lcdui/LcduiFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using namespace lcdui_testing;

using ImageTest = LcduiTest;

TEST_F(ImageTest, AllocateSizesThePixelArrayByType) {
    struct Case {
        std::int32_t width, height, typeWord, extra;
        rt::ClassId arrayClass;
        std::int32_t pitch, arrayLength;
        bool isMutable, logsImageType;
    };
    const Case cases[] = {
        {5, 3, 0, 0, rt::ClassId::ShortArray, 12, 18, false, false},
        {4, 3, 1, 9, rt::ClassId::ShortArray, 8, 12, false, false},
        {3, 2, 2 | Image::kMutableRequest, 0, rt::ClassId::ShortArray, 8, 8, true, true},
        {5, 3, 3, 10, rt::ClassId::ByteArray, 5, 10 + 15 + 1, false, false},
        {5, 3, 4, 6, rt::ClassId::ByteArray, 3, 6 + 9 + 1, false, false},
        {6, 2, 7 | Image::kMutableRequest, 0, rt::ClassId::ByteArray, 3, 7, true, true},
        {7, 1, Image::kMutableRequest, 0, rt::ClassId::ShortArray, 16, 8, true, false},
    };
    for (const Case& c : cases) {
        log.clear();
        auto* image = rt::make<Image>(c.width, c.height, c.typeWord, c.extra);
        EXPECT_EQ(image->getWidth(), c.width);
        EXPECT_EQ(image->getHeight(), c.height);
        EXPECT_EQ(image->pixelType(), c.typeWord & ~Image::kMutableRequest);
        EXPECT_EQ(image->pixelArray()->classId(), c.arrayClass);
        EXPECT_EQ(image->pitch(), c.pitch);
        EXPECT_EQ(image->pixelArray()->length(), c.arrayLength);
        EXPECT_EQ(image->isMutable(), c.isMutable);
        EXPECT_EQ(log.contains("imagetype"), c.logsImageType) << c.typeWord;
        EXPECT_EQ(image->getShortPixels() != nullptr, c.arrayClass == rt::ClassId::ShortArray);
        EXPECT_EQ(image->getBytePixels() != nullptr, c.arrayClass == rt::ClassId::ByteArray);
    }
}

TEST_F(ImageTest, SizesNoArrayCanHoldDrawNothing) {
    for (auto size : {std::pair{-4, 3}, std::pair{65536, 65536}, std::pair{INT_MAX, 2}}) {
        auto* image = rt::make<Image>(size.first, size.second, Image::kMutableRequest, 0);
        EXPECT_FALSE(image->surface());
        Graphics* graphics = image->getGraphics();
        graphics->setColor(0xFFFFFF);
        graphics->fillRect(0, 0, 10, 10);
        graphics->drawLine(0, 0, 10, 10);
        graphics->drawImage(Image::createImage(2, 2), 0, 0, 0);
        rt::IntArray* out = rt::newIntArray(4);
        image->getRGB(out, 0, 2, 0, 0, 2, 2);
    }
}

TEST_F(ImageTest, ImagesAreMutableOnlyWhenMadeToBeDrawnInto) {
    Image* blank = Image::createImage(3, 2);
    EXPECT_TRUE(blank->isMutable());
    EXPECT_EQ(blank->pixelType(), Image::kRgb565);
    EXPECT_EQ(argb(blank), std::vector<std::uint32_t>(6, kBlack));
    blank->getGraphics();
    EXPECT_TRUE(log.lines().empty());

    rt::IntArray* rgb = rt::newIntArray(1);
    Image* fixed = Image::createRGBImage(rgb, 1, 1, false);
    EXPECT_FALSE(fixed->isMutable());
    Graphics* graphics = fixed->getGraphics();
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0], "!mutable");
    graphics->setColor(0xFFFFFF);
    graphics->fillRect(0, 0, 1, 1);
    EXPECT_EQ(pixel(fixed, 0, 0), kWhite);
}

TEST_F(ImageTest, GetRgbWidensEachPixelType) {
    auto* image = rt::make<Image>(4, 1, Image::kRgb565, 0);
    rt::ShortArray* pixels = image->getShortPixels();
    rt::Array::fill16(pixels, {0xF800, 0x07E0, 0x0821, static_cast<std::int16_t>(0xF81F)});
    EXPECT_EQ(argb(image), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF080408, 0xFFFF00FF}));
    image->setPixelType(Image::kRgb565Keyed);
    EXPECT_EQ(argb(image)[3], 0u);
    image->setPixelType(Image::kArgb4444);
    EXPECT_EQ(argb(image), (std::vector<std::uint32_t>{0xFF880000, 0x0077EE00, 0x00882211, 0xFF8811FF}));
    image->setPixelType(Image::kIndexed8);
    rt::IntArray* out = rt::newIntArray(4);
    image->getRGB(out, 0, 4, 0, 0, 4, 1);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0], "m_pixelType");
}

TEST_F(ImageTest, GetRgbChecksLogAndCopyOnlyWhatLiesInside) {
    Image* image = Image::createImage(3, 2);
    Graphics* graphics = image->getGraphics();
    graphics->setColor(0xFFFFFF);
    graphics->fillRect(1, 0, 2, 2);
    const std::uint32_t unset = 0x12345678;
    struct Case {
        std::int32_t arrayLength, offset, scanLength, x, y, width, height;
        const char* line;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {6, 0, 3, 0, 0, 3, 2, nullptr, {kBlack, kWhite, kWhite, kBlack, kWhite, kWhite}},
        {4, 1, 2, 1, 0, 2, 2, nullptr, {unset, kWhite, kWhite, kWhite}},
        {4, 0, 3, 0, 0, 3, 2, "getRGB length", {kBlack, kWhite, kWhite, kBlack}},
        {4, 0, 2, -1, 0, 2, 2, "getRGB x,y outside", {unset, kBlack, unset, kBlack}},
        {4, 0, 2, 2, 1, 2, 2, "getRGB width,height outside", {kWhite, unset, unset, unset}},
        {4, -2, 2, 0, 0, 2, 2, nullptr, {kBlack, kWhite, unset, unset}},
        {4, 0, INT_MAX, 0, 0, 3, 2, nullptr, {kBlack, kWhite, kWhite, unset}},
    };
    for (const Case& c : cases) {
        log.clear();
        rt::IntArray* out = rt::newIntArray(c.arrayLength);
        for (std::int32_t i = 0; i < c.arrayLength; ++i)
            out->elements()[i] = static_cast<std::int32_t>(unset);
        image->getRGB(out, c.offset, c.scanLength, c.x, c.y, c.width, c.height);
        EXPECT_EQ(
            std::vector<std::uint32_t>(reinterpret_cast<std::uint32_t*>(out->elements()),
                                       reinterpret_cast<std::uint32_t*>(out->elements()) + c.arrayLength),
            c.expected)
            << c.offset << " " << c.x << "," << c.y;
        if (c.line) {
            ASSERT_FALSE(log.lines().empty());
            EXPECT_EQ(log.lines()[0], c.line);
        }
    }
    log.clear();
    image->getRGB(nullptr, 0, 3, 0, 0, 3, 2);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0], "getRGB argb null");
}

TEST_F(ImageTest, CreateRgbImageChoosesItsTypeByAlpha) {
    auto entries = [](std::initializer_list<std::uint32_t> values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        std::int32_t i = 0;
        for (std::uint32_t value : values)
            array->elements()[i++] = static_cast<std::int32_t>(value);
        return array;
    };
    // Only alpha 0 and 255: a keyed 565 image whose transparent pixels are 0xF81F.
    Image* keyed =
        Image::createRGBImage(entries({0xFFFFFFFF, 0x00123456, 0xFF0000FF, 0x00FFFFFF}), 2, 2, true);
    EXPECT_EQ(keyed->pixelType(), Image::kRgb565Keyed);
    EXPECT_EQ(keyed->getShortPixels()->elements()[1], static_cast<std::int16_t>(0xF81F));
    EXPECT_EQ(argb(keyed), (std::vector<std::uint32_t>{kWhite, 0, 0xFF0000FF, 0}));

    // Nothing transparent: a plain 565 image.
    EXPECT_EQ(Image::createRGBImage(entries({0xFFFFFFFF, 0xFF000000}), 2, 1, true)->pixelType(),
              Image::kRgb565);

    // A partial alpha makes ARGB4444, unless it sits on the colour 0xFF00FF.
    Image* translucent = Image::createRGBImage(entries({0x80FF8040, 0x00000000, 0xFF102030}), 3, 1, true);
    EXPECT_EQ(translucent->pixelType(), Image::kArgb4444);
    EXPECT_EQ(argb(translucent), (std::vector<std::uint32_t>{0x88FF8844, 0, 0xFF112233}));
    // (A partial alpha over the key colour mixes to the key itself.)
    EXPECT_EQ(Image::createRGBImage(entries({0x80FF00FF, 0xFFFFFFFF}), 2, 1, true)->pixelType(),
              Image::kRgb565Keyed);

    // Without processAlpha every entry is opaque.
    Image* opaque = Image::createRGBImage(entries({0x00FFFFFF, 0x80000000}), 2, 1, false);
    EXPECT_EQ(opaque->pixelType(), Image::kRgb565);
    EXPECT_EQ(argb(opaque), (std::vector<std::uint32_t>{kWhite, kBlack}));
    EXPECT_TRUE(log.lines().empty());

    // A short array fills the pixels it has entries for.
    Image* shortOne = Image::createRGBImage(entries({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}), 2, 2, false);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0], "createRGBImage length");
    EXPECT_EQ(argb(shortOne), (std::vector<std::uint32_t>{kWhite, kWhite, kWhite, kBlack}));

    struct Case {
        rt::IntArray* rgb;
        std::int32_t width, height;
        const char* line;
    };
    for (const Case& c : {Case{nullptr, 1, 1, "createRGBImage rgbData"},
                          Case{entries({0}), 0, 1, "createRGBImage width, height"},
                          Case{entries({0}), 1, -1, "createRGBImage width, height"}}) {
        log.clear();
        EXPECT_EQ(Image::createRGBImage(c.rgb, c.width, c.height, true), nullptr);
        ASSERT_FALSE(log.lines().empty());
        EXPECT_EQ(log.lines()[0], c.line);
    }
}

TEST_F(ImageTest, CreateImageFromARegionAppliesTheTransform) {
    rt::IntArray* rgb = rt::newIntArray(6);
    rt::Array::fill32(rgb, {static_cast<std::int32_t>(0xFFFF0000), static_cast<std::int32_t>(0xFF00FF00),
                            static_cast<std::int32_t>(0xFF0000FF), static_cast<std::int32_t>(0xFFFFFFFF),
                            static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFFFF00FF)});
    Image* source = Image::createRGBImage(rgb, 3, 2, false);
    Image* turned = Image::createImage(source, 1, 0, 2, 2, Graphics::TRANS_ROT90);
    EXPECT_TRUE(turned->isMutable());
    EXPECT_EQ(turned->getWidth(), 2);
    EXPECT_EQ(turned->getHeight(), 2);
    // Region columns 1-2 turned clockwise: the first row ends up on the right.
    EXPECT_EQ(argb(turned), (std::vector<std::uint32_t>{kBlack, 0xFF00FF00, 0xFFFF00FF, 0xFF0000FF}));
    Image* wide = Image::createImage(source, 0, 0, 3, 1, Graphics::TRANS_MIRROR_ROT270);
    EXPECT_EQ(wide->getWidth(), 1);
    EXPECT_EQ(wide->getHeight(), 3);
    EXPECT_EQ(argb(wide), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
}

TEST_F(ImageTest, ColourKeyDetectionLooksAtEveryPixel) {
    Image* image = Image::createImage(3, 3);
    image->detectColourKey();
    EXPECT_EQ(image->pixelType(), Image::kRgb565);
    Graphics* graphics = image->getGraphics();
    graphics->setColor(0xFF00FF);
    graphics->fillRect(2, 2, 1, 1);
    image->detectColourKey();
    EXPECT_EQ(image->pixelType(), Image::kRgb565Keyed);
    graphics->setColor(0xFB03FC); // the same 565 value
    graphics->fillRect(2, 2, 1, 1);
    image->detectColourKey();
    EXPECT_EQ(image->pixelType(), Image::kRgb565Keyed);
    graphics->setColor(0);
    graphics->fillRect(2, 2, 1, 1);
    image->detectColourKey();
    EXPECT_EQ(image->pixelType(), Image::kRgb565);
}

TEST_F(ImageTest, TheScreenImageDrawsIntoForeignMemoryRowByRow) {
    // 5 x 3 pixels over rows of 8 pixels: the three padding pixels of each row stay.
    std::vector<std::uint16_t> surface(8 * 3, 0x1234);
    Image* screen = Image::createOverSurface(5, 3, 16, surface.data());
    EXPECT_TRUE(screen->isMutable());
    EXPECT_EQ(screen->getWidth(), 5);
    Graphics* graphics = screen->getGraphics();
    graphics->setColor(0xFFFFFF);
    graphics->fillRect(-10, -10, 100, 100);
    for (std::size_t i = 0; i < surface.size(); ++i)
        EXPECT_EQ(surface[i], i % 8 < 5 ? 0xFFFF : 0x1234) << i;
    graphics->setColor(0x000000);
    graphics->drawLine(0, 2, 4, 2);
    EXPECT_EQ(surface[16], 0x0000);
    EXPECT_EQ(surface[21], 0x1234);
}

} // namespace
