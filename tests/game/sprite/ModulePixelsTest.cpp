#include "game/sprite/PixelDecoder.h"
#include "platform/lcdui/Image.h"
#include "tests/game/sprite/SpriteFixture.h"

#include <cstring>

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::ASprite;
namespace bits = datakit::sprite_bits;

using ModulePixels = SpriteTest;

// The pixels the model says module `m` has in palette `p`.
std::vector<std::int32_t> expectedPixels(const datakit::SpritePixels& pixels, std::size_t p, std::size_t m) {
    std::vector<std::int32_t> out;
    const auto& indexes = pixels.indexes[m];
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        std::uint32_t colour = pixels.palettes[p][indexes[i]];
        if (pixels.encoding == 0xA256)
            colour = (colour & 0x00FFFFFFu) | (static_cast<std::uint32_t>(pixels.alphas[m][i]) << 24);
        out.push_back(static_cast<std::int32_t>(colour));
    }
    return out;
}

TEST_F(ModulePixels, EveryEncodingAndPaletteFormatDecodesWhatWasEncoded) {
    for (std::uint16_t encoding : datakit::kSpriteEncodings) {
        for (std::uint16_t paletteFormat : {std::uint16_t{0x8888}, std::uint16_t{0x5515}}) {
            for (std::int32_t colours : {1, 2, 16, 17, 256}) {
                SCOPED_TRACE(testing::Message() << std::hex << "encoding 0x" << encoding << " format 0x"
                                                << paletteFormat << std::dec << " colours " << colours);
                SpriteModel model =
                    datakit::randomSprite(static_cast<std::uint32_t>(encoding + colours),
                                          {.format = bits::kPixelSection | bits::kModuleSizeShorts,
                                           .paletteFormat = paletteFormat,
                                           .colourCount = colours,
                                           .paletteCount = 2,
                                           .encoding = encoding,
                                           .maxModuleSide = 40});
                ASprite* sprite = loadSprite(datakit::writeSprite(model));
                ASSERT_EQ(sprite->m_colourCount, colours);
                for (std::size_t p = 0; p < 2; ++p) {
                    sprite->setCurrentPalette(static_cast<std::int32_t>(p));
                    for (std::size_t m = 0; m < model.modules.size(); ++m) {
                        std::vector<std::int32_t> expected = expectedPixels(*model.pixels, p, m);
                        rt::IntArray* decoded = sprite->decodeModule(static_cast<std::int32_t>(m));
                        ASSERT_NE(decoded, nullptr);
                        ASSERT_EQ(ints(decoded, static_cast<std::int32_t>(expected.size())), expected)
                            << "palette " << p << " module " << m;
                    }
                }
            }
        }
    }
}

TEST_F(ModulePixels, PaletteFormatsConvertAndFlagTransparency) {
    struct Case {
        std::uint16_t value;
        std::uint32_t colour;
    } cases16[] = {{0x7C1F, 0x00FF00FF}, {0xFC1F, 0xFFF800F8}, {0x0000, 0x00000000}, {0x8421, 0xFF080808}};
    for (const Case& c : cases16)
        EXPECT_EQ(static_cast<std::uint32_t>(game::colourFrom1555(c.value)), c.colour) << std::hex << c.value;

    struct Flags {
        std::uint32_t colour;
        bool transparency;
        bool translucency;
    } cases32[] = {{0x00123456, true, false}, {0x80123456, true, true}, {0xFF123456, false, false}};
    for (const Flags& c : cases32) {
        SpriteModel model;
        model.format = bits::kPixelSection;
        model.modules = {{0, 0, 1, 1, {}}};
        datakit::SpritePixels pixels;
        pixels.palettes = {{c.colour}};
        pixels.indexes = {{0}};
        model.pixels = pixels;
        ASprite* sprite = loadSprite(datakit::writeSprite(model));
        EXPECT_EQ(sprite->m_hasTransparency != 0, c.transparency) << std::hex << c.colour;
        EXPECT_EQ(sprite->m_hasTranslucency != 0, c.translucency) << std::hex << c.colour;
        EXPECT_EQ(static_cast<std::uint32_t>(rt::IntArray::get(sprite->getPalette(0), 0)), c.colour);
    }
}

TEST_F(ModulePixels, ControlBytesThatWriteNothingAndIndexesPastThePalette) {
    const std::int32_t palette[] = {0x10, 0x11, 0x12};
    struct Case {
        const char* what;
        std::int32_t encoding;
        std::int32_t colours;
        std::vector<std::uint8_t> data;
        std::vector<std::int32_t> pixels;
    } cases[] = {
        {"one colour: a byte is a run of byte + 1", 0x64F0, 1, {2, 0}, {0x10, 0x10, 0x10, 0x10}},
        {"128 takes its colour byte and writes nothing",
         0x27F1,
         3,
         {128, 2, 1, 130, 2},
         {0x11, 0x12, 0x12, 0}},
        {"a run of 0 and no literals write nothing",
         0x56F2,
         3,
         {0, 1, 128, 2, 2, 129, 0},
         {0x12, 0x12, 0x10, 0}},
        {"254 as alpha comes only from a run",
         0xA256,
         3,
         {3, 1, 254, 1, 254, 7, 254, 0, 9, 5},
         {static_cast<std::int32_t>(0xFE000011), 0x07000011, 0x05000011}},
        {"an index past the palette is transparent", 0x1600, 3, {0x25, 0xF1}, {0x12, 0, 0, 0x11}},
        {"pixels the data does not reach are transparent", 0x0400, 3, {0x6F}, {0x11, 0x12, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<std::int32_t> out(c.pixels.size(), 0x7777);
        ASSERT_TRUE(game::decodePixels(c.encoding, game::runIndexLayout(c.colours), c.data,
                                       std::span(palette).first(static_cast<std::size_t>(c.colours)), out));
        EXPECT_EQ(out, c.pixels) << c.what;
    }
    std::vector<std::int32_t> out(4, 0x7777);
    EXPECT_FALSE(game::decodePixels(0x5602, {}, std::vector<std::uint8_t>{1, 2}, palette, out));
}

TEST_F(ModulePixels, RunIndexLayoutFollowsTheColourCount) {
    struct Case {
        std::int32_t colours, mask, bits;
    } cases[] = {{1, 0, 0}, {2, 1, 1}, {16, 15, 4}, {17, 31, 5}, {256, 255, 8}};
    for (const Case& c : cases) {
        game::RunIndexLayout layout = game::runIndexLayout(c.colours);
        EXPECT_EQ(layout.mask, c.mask) << c.colours;
        EXPECT_EQ(layout.bits, c.bits) << c.colours;
    }
}

// One image module of `width` x `height` with the given indexes, in
// `encoding`, through one palette of `colours` colours (colour k = 0xFF000000 + k).
SpriteModel oneModule(std::uint16_t width, std::uint16_t height, std::uint16_t encoding, std::int32_t colours,
                      std::int32_t palettes = 1) {
    SpriteModel model;
    model.format = bits::kPixelSection | bits::kModuleSizeShorts | bits::kModuleDataSizes32;
    model.modules = {{0, 0, width, height, {}}};
    datakit::SpritePixels pixels;
    pixels.colourCount = colours;
    pixels.encoding = encoding;
    for (std::int32_t p = 0; p < palettes; ++p) {
        std::vector<std::uint32_t> palette;
        for (std::int32_t k = 0; k < colours; ++k)
            palette.push_back(0xFF000000u + static_cast<std::uint32_t>(p << 8) +
                              static_cast<std::uint32_t>(k));
        pixels.palettes.push_back(palette);
    }
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = static_cast<std::uint8_t>(i % static_cast<std::size_t>(colours));
    pixels.indexes = {indexes};
    model.pixels = pixels;
    return model;
}

TEST_F(ModulePixels, MoreThanSixteenPalettesAllDecode) {
    ASprite* sprite = loadSprite(datakit::writeSprite(oneModule(2, 2, 0x56F2, 4, 20)));
    ASSERT_EQ(sprite->m_paletteCount, 20);
    sprite->setCurrentPalette(19);
    rt::IntArray* pixels = sprite->decodeModule(0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(rt::IntArray::get(pixels, 3)), 0xFF001303u);
}

TEST_F(ModulePixels, ModulesLargerThanTheBufferGrowItAndPackedBytesStopAtTheModule) {
    ASprite* large = loadSprite(datakit::writeSprite(oneModule(300, 300, 0x64F0, 16)));
    rt::IntArray* pixels = large->decodeModule(0);
    ASSERT_NE(pixels, nullptr);
    ASSERT_GE(pixels->length(), 90000);
    EXPECT_EQ(rt::IntArray::get(pixels, 89999), static_cast<std::int32_t>(0xFF000000u + 89999 % 16));

    // 3 x 3 pixels in 2 bytes of 1-bit data: the seven bits past the module
    // leave the buffer alone.
    ASprite* small = loadSprite(datakit::writeSprite(oneModule(3, 3, 0x0200, 2)));
    rt::IntArray* buffer = game::ensurePixelBuffer(16);
    for (std::int32_t& entry : rt::IntArray::span(buffer, 9, 7))
        entry = 0x5A5A;
    ASSERT_EQ(small->decodeModule(0), buffer);
    EXPECT_EQ(
        ints(buffer, 16),
        (std::vector<std::int32_t>{
            static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFF000001),
            static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFF000001),
            static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFF000001),
            static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFF000001),
            static_cast<std::int32_t>(0xFF000000), 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A}));
}

TEST_F(ModulePixels, ASizePastTheDataIsCutToWhatIsLeft) {
    SpriteModel model = oneModule(4, 4, 0x56F2, 16);
    std::vector<std::uint8_t> bytes = datakit::writeSprite(model);
    std::size_t dataBytes = datakit::encodeSpritePixels(0x56F2, 16, model.pixels->indexes[0]).size();
    std::size_t sizeAt = bytes.size() - dataBytes - 4;
    std::memset(bytes.data() + sizeAt, 0xFF, 4);
    ASprite* sprite = loadSprite(bytes);
    ASSERT_NE(sprite->m_moduleData, nullptr);
    ASSERT_EQ(sprite->m_moduleData->length(), static_cast<std::int32_t>(dataBytes));
    rt::IntArray* pixels = sprite->decodeModule(0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(rt::IntArray::get(pixels, 15), static_cast<std::int32_t>(0xFF00000F));
}

TEST_F(ModulePixels, WhatCannotBeDecodedAnswersNull) {
    SpriteModel model = oneModule(2, 2, 0x56F2, 4, 2);
    // An encoding this game does not decode.
    model.pixels->encoding = 0x5602;
    EXPECT_EQ(loadSprite(datakit::writeSprite(model))->decodeModule(0), nullptr);
    EXPECT_TRUE(log.contains("0x5602"));

    model.pixels->encoding = 0x56F2;
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    // A palette the data did not give.
    sprite->m_currentPalette = 3;
    EXPECT_EQ(sprite->decodeModule(0), nullptr);
    sprite->m_currentPalette = 1;
    EXPECT_NE(sprite->decodeModule(0), nullptr);
    // No pixel section.
    model.format &= ~bits::kPixelSection;
    EXPECT_EQ(loadSprite(datakit::writeSprite(model))->decodeModule(0), nullptr);
}

TEST_F(ModulePixels, TheUndefinedTablesBitIsIgnoredAndNeverWritten) {
    SpriteModel model = oneModule(3, 2, 0x27F1, 5);
    std::vector<std::uint8_t> bytes = datakit::writeSprite(model);
    model.format |= bits::kUndefinedTables;
    EXPECT_EQ(datakit::writeSprite(model), bytes);
    bytes[5] |= 0x02; // bit 0x2000000 of the format word
    ASprite* sprite = loadSprite(bytes);
    EXPECT_TRUE(log.contains("0x2000000"));
    rt::IntArray* pixels = sprite->decodeModule(0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(rt::IntArray::get(pixels, 5), static_cast<std::int32_t>(0xFF000000));
}

TEST_F(ModulePixels, ModuleImagesTakeAlphaOnlyWhenAPixelIsNotOpaque) {
    ASprite* sprite = loadSprite(datakit::writeSprite(oneModule(2, 2, 0x56F2, 4)));
    sprite->ensureImageTables(0);
    using Image = platform::javax_microedition_lcdui_Image;
    rt::IntArray* argb = rt::newIntArray(6);
    rt::Array::fill32(argb,
                      {static_cast<std::int32_t>(0xFFFF00FF), static_cast<std::int32_t>(0xFF123456),
                       static_cast<std::int32_t>(0xFF000000), static_cast<std::int32_t>(0xFFFFFFFF), 0, 0});
    // Entries past width x height are not looked at.
    sprite->storeModuleImage(argb, 2, 2, 0, 0);
    Image* opaque = sprite->getModuleImage(0, 0);
    ASSERT_NE(opaque, nullptr);
    EXPECT_EQ(opaque->pixelType(), Image::kRgb565);
    rt::IntArray* back = rt::newIntArray(4);
    opaque->getRGB(back, 0, 2, 0, 0, 2, 2);
    EXPECT_EQ(static_cast<std::uint32_t>(rt::IntArray::get(back, 0)) >> 24, 0xFFu);

    rt::IntArray::set(argb, 1, 0x00123456);
    sprite->storeModuleImage(argb, 2, 2, 0, 0);
    Image* keyed = sprite->getModuleImage(0, 0);
    EXPECT_NE(keyed, opaque);
    keyed->getRGB(back, 0, 2, 0, 0, 2, 2);
    EXPECT_EQ(rt::IntArray::get(back, 1), 0);
    EXPECT_EQ(sprite->getModuleImage(0, 1), nullptr);
}

} // namespace
