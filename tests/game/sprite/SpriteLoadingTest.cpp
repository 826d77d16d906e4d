// Sprites loaded from a pack entry: the palette mask walks only the
// sprite's own palettes, a tint leaves the colour key and the untinted
// colour alone, the two pre-rendered entries keep only their images, and
// the table loader fills the slot of the entry's number; and a slot
// emptied again, on stand-in sprites.

#include "game/sprite/SpriteLoading.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "tests/game/data/DataFixture.h"
#include "tests/game/framework/TouchFixture.h"
#include "tools/datakit/PaintedSprite.h"

#include <optional>

namespace {

// Key (alpha 0), the untinted colour opaque and half-transparent, a plain colour.
const std::vector<std::uint32_t> kPalette0 = {0x00FF00FFu, 0xFFF800F8u, 0x80F800F8u, 0xFF102030u};
const std::vector<std::uint32_t> kPalette1 = {0x00FF00FFu, 0xFFF800F8u, 0x80F800F8u, 0xFF405060u};

datakit::PaintedSprite twoPaletteSprite() {
    datakit::PaintedSprite sprite;
    sprite.palettes = {kPalette0, kPalette1};
    datakit::PaintedFrame frame;
    frame.fills.push_back({.colour = 0x203040, .x = 0, .y = 0, .width = 4, .height = 4});
    frame.images.push_back(datakit::paintImage(0, 0, 4, 2, [](int x, int y) { return (x + y) % 4; }));
    frame.images.push_back(datakit::paintImage(0, 2, 2, 2, [](int x, int) { return 3 - x; }));
    sprite.frames = {frame};
    return sprite;
}

struct SpriteLoadingTest : data_testing::DataTest {
    SpriteLoadingTest() {
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        game::startupStatics().s_sprites = rt::newObjectArray(game::kSpriteCount);
        // Entries 0 to 65 hold the sprite, except the empty entry 7.
        std::vector<std::optional<datakit::PaintedSprite>> sprites(66, twoPaletteSprite());
        sprites[7].reset();
        putPack("sprites.pak", datakit::writePack(datakit::spritePackEntries(sprites)));
        open("/sprites.pak");
    }

    static std::vector<std::uint32_t> palette(game::ASprite* sprite, std::int32_t p) {
        auto span = rt::IntArray::span(sprite->getPalette(p));
        return {span.begin(), span.end()};
    }
    static std::vector<std::uint32_t> tinted(const std::vector<std::uint32_t>& colours, std::uint32_t alpha) {
        std::vector<std::uint32_t> out = colours;
        out[3] = (out[3] & 0xFFFFFFu) | (alpha << 24);
        return out;
    }
};

TEST_F(SpriteLoadingTest, MaskTintsOnlyTheSpritesOwnPalettesAndSparesKeyAndUntintedColour) {
    struct Case {
        std::int32_t mask, alpha;
        bool tint0, tint1;
    } cases[] = {
        {3, 255, false, false}, // alpha 255: nothing changes
        {1, 0x40, true, false},      {2, 0x40, false, true},
        {15, 0x40, true, true},      // bits past the sprite's two palettes
        {-1, 0x40, true, true},      // a negative mask ends too
        {0x7FFFFFFF, 0, true, true}, // alpha 0 on every coloured entry
    };
    for (const Case& c : cases) {
        log.clear();
        game::ASprite* sprite = game::loadSprite(0, 1, c.mask, c.alpha);
        ASSERT_NE(sprite, nullptr) << c.mask;
        const auto alpha = static_cast<std::uint32_t>(c.alpha);
        EXPECT_EQ(palette(sprite, 0), c.tint0 ? tinted(kPalette0, alpha) : kPalette0) << c.mask;
        EXPECT_EQ(palette(sprite, 1), c.tint1 ? tinted(kPalette1, alpha) : kPalette1) << c.mask;
        EXPECT_TRUE(log.lines().empty()) << c.mask << ": " << log.lines().front();
        // Plain entries keep their module pixels and build no images.
        EXPECT_NE(sprite->m_moduleData, nullptr);
        EXPECT_EQ(sprite->getModuleImage(1, 0), nullptr);
    }
}

TEST_F(SpriteLoadingTest, EntriesFourAndSixtyFiveKeepOnlyTheImagesOfTheMaskedPalettes) {
    struct Case {
        std::int32_t entry, mask;
        bool images0, images1;
    } cases[] = {
        {4, 2, false, true},
        {65, 3, true, true},
        {65, 0, true, false}, // no bits: palette 0
        {4, -1, true, true},
    };
    for (const Case& c : cases) {
        game::ASprite* sprite = game::loadSprite(0, c.entry, c.mask, 255);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->m_moduleData, nullptr) << c.entry << " mask " << c.mask;
        for (std::int32_t module : {1, 2}) {
            EXPECT_EQ(sprite->getModuleImage(module, 0) != nullptr, c.images0)
                << c.entry << " mask " << c.mask;
            EXPECT_EQ(sprite->getModuleImage(module, 1) != nullptr, c.images1)
                << c.entry << " mask " << c.mask;
        }
        // The rectangle module is drawn as a primitive: never an image.
        EXPECT_EQ(sprite->getModuleImage(0, 0), nullptr);
    }
}

TEST_F(SpriteLoadingTest, TableLoaderFillsTheSlotOfTheEntryAndLeavesAnUnreadableOneEmpty) {
    game::ASprite* plain = game::loadSpriteToTable(9, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(rt::ObjectArray::get(game::startupStatics().s_sprites, 9), plain);
    EXPECT_EQ(palette(plain, 0), kPalette0);
    EXPECT_EQ(plain->getFrameCount(), 1);

    rt::ObjectArray::set(game::startupStatics().s_sprites, 66, plain);
    EXPECT_EQ(game::loadSpriteToTable(66, 0), nullptr); // past the pack's entries
    EXPECT_EQ(rt::ObjectArray::get(game::startupStatics().s_sprites, 66), nullptr);
    EXPECT_TRUE(log.contains("sprites.pak"));

    log.clear();
    EXPECT_EQ(game::loadSpriteToTable(7, 0), nullptr); // an empty entry is no sprite
    EXPECT_TRUE(log.contains("entry 7 holds no sprite"));
}

using UnloadSpriteTest = framework_testing::TouchTest;

// A loaded sprite gives up its module data (its frames go with it); a slot
// holding anything else is emptied all the same.
TEST_F(UnloadSpriteTest, UnloadingASpriteFreesItsImagesAndEmptiesTheSlot) {
    auto* sprite = static_cast<game::ASprite*>(game::spriteAt(65));
    ASSERT_EQ(sprite->getFrameCount(), framework_testing::kStandInFrames);
    game::unloadSprite(65);
    EXPECT_EQ(sprite->getFrameCount(), 0);
    EXPECT_EQ(game::spriteAt(65), nullptr);
    EXPECT_EQ(game::spriteFrameWidth(65, 4), 0) << "an empty slot has frames of size 0";
    game::unloadSprite(65);
    game::unloadSprite(-1);
    rt::Array::setRef(game::startupStatics().s_sprites, 64, rt::newIntArray(1));
    game::unloadSprite(64);
    EXPECT_EQ(game::spriteAt(64), nullptr) << "not a sprite, dropped all the same";
    EXPECT_FALSE(log.contains("NullPointer"));
}

} // namespace
