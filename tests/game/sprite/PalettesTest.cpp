#include "platform/lcdui/Image.h"
#include "tests/game/sprite/SpriteFixture.h"

namespace {

using namespace sprite_testing;
using game::ASprite;

using Palettes = SpriteTest;

rt::IntArray* colours(std::initializer_list<std::uint32_t> values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::uint32_t v : values)
        rt::IntArray::set(array, i++, static_cast<std::int32_t>(v));
    return array;
}

std::vector<std::uint32_t> values(rt::IntArray* array) {
    std::vector<std::uint32_t> out;
    for (std::int32_t v : rt::IntArray::span(array))
        out.push_back(static_cast<std::uint32_t>(v));
    return out;
}

// A sprite with two palettes of `count` colours in a table of 16 slots.
ASprite* withPalettes(rt::IntArray* first, rt::IntArray* second) {
    ASprite* sprite = ASprite::initDefaults();
    sprite->m_palettes = rt::newObjectArray(16);
    sprite->m_paletteCount = 2;
    sprite->m_colourCount = first->length();
    sprite->setPalette(0, first);
    sprite->setPalette(1, second);
    return sprite;
}

TEST_F(Palettes, GreyIsTheOnlyTransformAndOthersLeaveTheTarget) {
    rt::IntArray* source = colours({0xFF102030, 0x80FFFFFF, 0xFF00FF01});
    rt::IntArray* target = colours({1, 2, 3});
    EXPECT_EQ(ASprite::transformPalette(1, source, target), target);
    EXPECT_EQ(values(target), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(ASprite::transformPalette(-1, source, target), source);
    EXPECT_EQ(ASprite::transformPalette(0, source, target), nullptr);
    EXPECT_EQ(ASprite::transformPalette(4, source, target), target);
    EXPECT_EQ(values(target), (std::vector<std::uint32_t>{0xFF202020, 0x80FFFFFF, 0xFF555555}));
    EXPECT_EQ(values(ASprite::transformPaletteCopy(4, source)), values(target));
    // A target shorter than the source is refused, not overrun.
    rt::IntArray* shortTarget = colours({9});
    EXPECT_EQ(ASprite::transformPalette(4, source, shortTarget), shortTarget);
    EXPECT_EQ(values(shortTarget), (std::vector<std::uint32_t>{9}));
}

TEST_F(Palettes, AlphaLevelFollowsTheTransparencyRule) {
    struct Case {
        bool transparency, translucency;
        std::uint32_t before, after;
    } cases[] = {
        {true, false, 0xFF123456, 0x80123456}, {true, false, 0xFFFF00FF, 0xFFFF00FF},
        {true, false, 0x00000000, 0x00000000}, {false, false, 0xFFFF00FF, 0x80FF00FF},
        {false, true, 0x80123456, 0x40123456}, {true, true, 0xFF123456, 0x7F123456},
    };
    for (const Case& c : cases) {
        ASprite* sprite = withPalettes(colours({c.before}), colours({0}));
        sprite->setPaletteAlpha(0, 0x80, c.transparency, c.translucency);
        EXPECT_EQ(values(sprite->getPalette(0))[0], c.after) << std::hex << c.before;
    }
}

TEST_F(Palettes, AlphaFromAnotherPaletteAndCopiesWithAlpha) {
    ASprite* sprite = withPalettes(colours({0xFF112233, 0x00112233, 0xFFFF00FF}),
                                   colours({0xFF804020, 0xFF804020, 0xFF804020}));
    sprite->restorePaletteAlpha(0, 1);
    EXPECT_EQ(values(sprite->getPalette(0)),
              (std::vector<std::uint32_t>{0x80112233, 0x00112233, 0xFFFF00FF}));
    EXPECT_TRUE(sprite->m_hasTransparency && sprite->m_hasTranslucency);

    ASprite* copy = withPalettes(colours({0xFF112233, 0xFFFF00FF, 0x40000000}), colours({0, 0, 0}));
    copy->setPaletteAlphaARGB(0, 1, 127, true, true);
    EXPECT_EQ(values(copy->getPalette(1)), (std::vector<std::uint32_t>{0x7E112233, 0x00FF00FF, 0x1F000000}));
    copy->setPaletteAlphaARGB(0, 1, 127, false, false);
    EXPECT_EQ(values(copy->getPalette(1)), (std::vector<std::uint32_t>{0x7F112233, 0x7FFF00FF, 0x7F000000}));
}

TEST_F(Palettes, VariantsGoToSlotsPastTheDataAndMissingOnesChangeNothing) {
    ASprite* sprite = withPalettes(colours({0xFF102030}), colours({0}));
    rt::IntArray* variant = rt::newIntArray(1);
    sprite->setPalette(5, variant);
    EXPECT_EQ(sprite->setPaletteVariant(4, sprite->getPalette(0), 5), variant);
    EXPECT_EQ(values(variant)[0], 0xFF202020u);
    // Slot 5 is not one of the data's palettes: not current, not answered.
    EXPECT_EQ(sprite->getPalette(5), nullptr);
    for (std::int32_t bad : {-1, 2, 5})
        sprite->setCurrentPalette(bad);
    EXPECT_EQ(sprite->getCurrentPalette(), 0);
    sprite->setCurrentPalette(1);
    EXPECT_EQ(sprite->getCurrentPalette(), 1);
    // A palette that does not exist: a report, nothing else.
    sprite->setPaletteAlpha(9, 0x80, false, false);
    sprite->setPaletteAlphaARGB(0, 40, 0x80, false, false);
    sprite->setPalette(40, variant);
    EXPECT_EQ(values(sprite->getPalette(0))[0], 0xFF102030u);
}

using SpriteRelease = SpriteTest;

TEST_F(SpriteRelease, PixelDataGoesAndBuiltImagesStay) {
    datakit::SpriteModel model = datakit::randomSprite(5, {.format = datakit::sprite_bits::kPixelSection,
                                                           .colourCount = 4,
                                                           .paletteCount = 2,
                                                           .encoding = 0x56F2});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    std::int32_t module = 0; // module 0 is an image module
    ASSERT_EQ(sprite->getModuleType(module), 0);
    sprite->ensureImageTables(1);
    sprite->setCurrentPalette(1);
    std::int32_t width = std::max(sprite->getModuleWidth(module), 1);
    std::int32_t height = std::max(sprite->getModuleHeight(module), 1);
    sprite->storeModuleImage(game::ensurePixelBuffer(width * height), width, height, 1, module);
    platform::javax_microedition_lcdui_Image* image = sprite->getModuleImage(module, 1);
    ASSERT_NE(image, nullptr);

    sprite->freePixelData();
    EXPECT_EQ(sprite->getPalette(0), nullptr);
    EXPECT_FALSE(sprite->hasModuleData(module));
    EXPECT_EQ(sprite->decodeModule(module), nullptr);
    EXPECT_EQ(sprite->getModuleImage(module, 1), image);
    EXPECT_EQ(sprite->getModuleImage(module, 0), nullptr);
    sprite->setCurrentPalette(0);
    EXPECT_EQ(sprite->getCurrentPalette(), 0);

    sprite->freeModuleData();
    EXPECT_EQ(sprite->getModuleImage(module, 1), nullptr);
    EXPECT_EQ(sprite->getFrameCount(), 0);
    sprite->freeModuleData();
    EXPECT_FALSE(log.contains("NullPointer"));
}

} // namespace
