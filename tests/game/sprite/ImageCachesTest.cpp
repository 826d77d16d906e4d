// Module image caches: what a cache request builds and drops, copies
// between palettes, the modules of one frame, and a sprite without pixels.

#include "game/sprite/ImageCaches.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/Paint.h"
#include "tests/game/sprite/PaintFixture.h"

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::ASprite;

using ImageCaches = PaintTest;

// Three palettes; modules 0 and 1 have pixels, module 2 is a filled
// rectangle; frame 0 uses module 0 three times and the rectangle, frame 1
// module 1.
SpriteModel cacheModel() {
    SpriteModel model = paletteModel({0, 0xFFFF0000u});
    model.pixels->palettes.push_back({0, 0xFF00FF00u});
    model.pixels->palettes.push_back({0, 0xFF0000FFu});
    addFlatModule(model, 3, 2, 1);
    addFlatModule(model, 2, 2, 1);
    addPrimitive(model, {.type = 2, .colour = 0xFFFFFFFFu, .width = 2, .height = 2, .params = {}});
    addFrame(model, {{.module = 0}, {.module = 0, .x = 4}, {.module = 2, .x = 8}, {.module = 0, .x = 12}});
    addFrame(model, {{.module = 1}});
    return model;
}

// Which of the three palettes have images for modules 0 and 1 (and none for
// the primitive module).
std::vector<std::int32_t> cachedPalettes(const ASprite* sprite) {
    std::vector<std::int32_t> out;
    for (std::int32_t p = 0; p < 3; ++p) {
        bool images = sprite->getModuleImage(0, p) && sprite->getModuleImage(1, p);
        EXPECT_EQ(sprite->getModuleImage(2, p), nullptr);
        if (images)
            out.push_back(p);
    }
    return out;
}

TEST_F(ImageCaches, CacheWordChoosesPalettesAndWhetherPixelsStay) {
    struct Case {
        std::int32_t spec;
        std::vector<std::int32_t> palettes;
        bool pixelsKept;
    };
    const Case cases[] = {
        {0x10005, {0, 2}, true}, {0x30000, {0}, false}, {0x10000, {0}, true},
        {0x00005, {}, true},     {0x20004, {}, true}, // dropping without building would lose the sprite
    };
    game::StartupStatics& startup = game::startupStatics();
    startup.s_sprites = rt::newObjectArray(4);
    startup.s_spriteCacheSpecs = rt::newIntArray(4);
    for (const Case& c : cases) {
        ASprite* sprite = loadSprite(datakit::writeSprite(cacheModel()));
        sprite->setCurrentPalette(1);
        rt::ObjectArray::set(startup.s_sprites, 3, sprite);
        rt::IntArray::set(startup.s_spriteCacheSpecs, 3, c.spec);
        game::buildSpriteCache(3);
        SCOPED_TRACE(testing::Message() << std::hex << "spec 0x" << c.spec);
        EXPECT_EQ(cachedPalettes(sprite), c.palettes);
        EXPECT_EQ(sprite->m_moduleData != nullptr, c.pixelsKept);
        EXPECT_EQ(sprite->getCurrentPalette(), 1) << "the caller's palette comes back";
    }
    game::buildSpriteCache(-1); // nothing to do, nothing reported
    EXPECT_FALSE(log.contains("NullPointer"));
}

TEST_F(ImageCaches, CopyModeSharesTheImagesOfAnotherPalette) {
    ASprite* sprite = loadSprite(datakit::writeSprite(cacheModel()));
    game::buildCacheImages(sprite, 0, 0, -1, -1);
    sprite->freePixelData(); // a copy must not need to decode
    game::buildCacheImages(sprite, 1, 0, -1, 0);
    for (std::int32_t m = 0; m < 3; ++m)
        EXPECT_EQ(sprite->getModuleImage(m, 1), sprite->getModuleImage(m, 0)) << "module " << m;
    EXPECT_NE(sprite->getModuleImage(0, 1), nullptr);
    // A copy from a palette without images, or into a palette beyond the
    // table, caches nothing.
    game::buildCacheImages(sprite, 2, 0, -1, 5);
    EXPECT_EQ(sprite->getModuleImage(0, 2), nullptr);
    game::buildCacheImages(sprite, 99, 0, -1, -1);
    EXPECT_TRUE(log.contains("palette 99 has no image row"));
}

TEST_F(ImageCaches, FrameCacheBuildsOnlyTheFramesModulesOnce) {
    ASprite* sprite = loadSprite(datakit::writeSprite(cacheModel()));
    game::buildFrameCacheImages(sprite, 0, 0, -1);
    Image* first = sprite->getModuleImage(0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(sprite->getModuleImage(1, 0), nullptr) << "module 1 is not in frame 0";
    game::buildFrameCacheImages(sprite, 0, 0, -1);
    EXPECT_EQ(sprite->getModuleImage(0, 0), first) << "an image already built is kept";
}

TEST_F(ImageCaches, AfterAFrameCacheOnlyThatFramesModulesCanBeDrawn) {
    game::StartupStatics& startup = game::startupStatics();
    startup.s_sprites = rt::newObjectArray(1);
    ASprite* sprite = loadSprite(datakit::writeSprite(cacheModel()));
    rt::ObjectArray::set(startup.s_sprites, 0, sprite);
    game::buildSpriteFrameCache(0, 0);
    EXPECT_EQ(sprite->m_moduleData, nullptr);
    game::paintFrame(sprite, screen.graphics, 1, 2, 2, 0, 0, 0);
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    game::paintFrame(sprite, screen.graphics, 0, 2, 2, 0, 0, 0);
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{2, 2, 17, 4}));
}

TEST_F(ImageCaches, SpriteWithoutPixelSectionGetsAnEmptyRow) {
    SpriteModel model = cacheModel();
    model.format &= ~datakit::sprite_bits::kPixelSection;
    model.pixels.reset();
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    game::buildCacheImages(sprite, 0, 0, -1, -1);
    ASSERT_NE(sprite->m_moduleImages, nullptr);
    auto* row = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(sprite->m_moduleImages, 0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->length(), 3);
    EXPECT_EQ(cachedPalettes(sprite), std::vector<std::int32_t>{});
}

} // namespace
