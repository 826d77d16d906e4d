// The zoom caches: keys, the plain and the stepped builds, the rectangles
// they answer, animation entries and their removal, and what a build does
// with data it cannot use.

#include "classlib/lang/Integer.h"
#include "game/sprite/Scaler.h"
#include "platform/lcdui/Image.h"
#include "tests/game/sprite/ZoomFixture.h"

#include <climits>

namespace {

using namespace sprite_testing;
using game::ASprite;
using game::ZoomCacheKind;
using game::ZoomedSpritePlayer;

ZoomedSpritePlayer* entryOf(ZoomCacheKind kind, std::int32_t s, std::int32_t id, bool anim = false,
                            bool bank = false) {
    return game::findZoomEntry(kind, s, id, anim, bank);
}

std::vector<std::int32_t> shorts(rt::ShortArray* array) {
    auto span = rt::ShortArray::span(array);
    return {span.begin(), span.end()};
}

TEST_F(ZoomTest, KeysAddSpriteAnimationAndBankBitsWrapping) {
    struct Case {
        std::int32_t sprite, id;
        bool anim, bank;
        std::int32_t value;
    };
    const Case cases[] = {
        {0, 0, false, false, 0},
        {3, 17, false, false, 3 * 1024 + 17},
        {3, 17, true, false, (1 << 30) + 3 * 1024 + 17},
        {3, 17, false, true, INT_MIN + 3 * 1024 + 17},
        {3, 17, true, true, INT_MIN + (1 << 30) + 3 * 1024 + 17},
        {(1 << 21) + 1, 5, false, true, 1024 + 5}, // the sprite's top bit and the bank's wrap away
        {-1, 1023, false, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(game::zoomKeyValue(c.sprite, c.id, c.anim, c.bank), c.value) << c.sprite << ", " << c.id;
        lib::java_lang_Integer* key = game::makeCacheKey(c.sprite, c.id, c.anim, c.bank);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->intValue(), c.value);
    }
    // Ids outside 0..1023 would name another sprite's entries: refused.
    EXPECT_EQ(game::makeCacheKey(0, 1024, false, false), nullptr);
    EXPECT_EQ(game::makeCacheKey(1, -1, false, false), nullptr);
    EXPECT_TRUE(log.contains("id 1024 of sprite 0 is outside 0..1023"));
}

// A race paints its cached frames every frame: after the first lookup of a
// key, looking it up again makes no object, and a lookup answers the same
// entry whichever key it reuses.
TEST_F(ZoomTest, RepeatedLookupsMakeNoObject) {
    inTable(0, loadSprite(datakit::writeSprite(patternModel())));
    game::cacheZoomedFrame2(0, 0);
    game::cacheZoomedFrame2(0, 1);
    game::paintCachedZoomed(0, 0, 4096, 40, 40, 0);
    game::paintCachedZoomed(0, 1, 4096, 40, 40, 0);
    const std::size_t objects = runtime.objectManager().objectCount();
    for (int i = 0; i < 100; ++i) {
        game::paintCachedZoomed(0, i & 1, 2048 + 16 * i, 40, 40, 0);
        ASSERT_NE(entryOf(ZoomCacheKind::Zoomed, 0, i & 1), nullptr);
    }
    EXPECT_EQ(runtime.objectManager().objectCount(), objects);
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 0, 0), entryOf(ZoomCacheKind::Zoomed, 0, 1));
}

TEST_F(ZoomTest, SteppedBuildMakesCountScaledImagesAndAnswersTheStepOfAScale) {
    inTable(0, loadSprite(datakit::writeSprite(patternModel())));
    game::cacheZoomedFrame(0, 0, nullptr, 0, false, true);
    EXPECT_EQ(entryOf(ZoomCacheKind::Zoomed, 0, 0), nullptr) << "no steps, no entry";
    game::cacheZoomedFrame(0, 0, nullptr, 3, false, true);
    ZoomedSpritePlayer* entry = entryOf(ZoomCacheKind::Zoomed, 0, 0);
    ASSERT_NE(entry, nullptr);
    // The 14 x 13 frame at (-7, -4), at 1365, 2730 and 4096 / 4096.
    EXPECT_EQ(shorts(entry->m_rects),
              (std::vector<std::int32_t>{5, 4, -2, -1, 9, 9, -5, -3, 14, 13, -7, -4}));
    auto* images = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(entry->m_stepImages, 0));
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->length(), 3);
    for (std::int32_t k = 0; k < 3; ++k) {
        auto* image = static_cast<Image*>(rt::ObjectArray::get(images, k));
        EXPECT_EQ(image->getWidth(), rt::ShortArray::get(entry->m_rects, 4 * k)) << "step " << k;
        EXPECT_EQ(image->getHeight(), rt::ShortArray::get(entry->m_rects, 4 * k + 1)) << "step " << k;
    }
    struct Case {
        std::int32_t scale, step;
    };
    const Case cases[] = {{-50, 0}, {0, 0}, {1365, 0}, {1366, 1}, {2731, 2}, {4096, 2}, {20000, 2}};
    for (const Case& c : cases)
        for (std::int32_t i = 0; i < 4; ++i)
            EXPECT_EQ(game::getZoomedFrameRect4(0, 0, i, c.scale),
                      rt::ShortArray::get(entry->m_rects, 4 * c.step + i))
                << "scale " << c.scale << " value " << i;
    // A plain entry scales its one rectangle, rounding.
    inTable(1, loadSprite(datakit::writeSprite(patternModel())));
    game::cacheZoomedFrame2(1, 0);
    std::vector<std::int32_t> half;
    for (std::int32_t i = 0; i < 4; ++i)
        half.push_back(game::getZoomedFrameRect4(1, 0, i, 2048));
    EXPECT_EQ(half, (std::vector<std::int32_t>{7, 7, -3, -2}));
    EXPECT_EQ(game::getZoomedFrameRect4(1, 5, 0, 4096), 0) << "no entry";
    EXPECT_EQ(game::getZoomedFrameRect4(0, 0, 4, 1), 0) << "no fifth value, not the next step's width";
    // The pre-zoomed build makes the steps of every palette.
    game::buildPreZoomedFrameSteps(1, 0, nullptr, 2, false, true);
    ZoomedSpritePlayer* pre = entryOf(ZoomCacheKind::PreZoomed, 1, 0);
    ASSERT_NE(pre, nullptr);
    EXPECT_NE(rt::ObjectArray::get(pre->m_stepImages, 0), nullptr);
    EXPECT_NE(rt::ObjectArray::get(pre->m_stepImages, 1), nullptr);
}

TEST_F(ZoomTest, PlainBuildKeepsItsIndexesAndAddsPaletteCopiesOnARebuild) {
    ASprite* sprite = inTable(0, loadSprite(datakit::writeSprite(patternModel())));
    rt::IntArray* first = rt::newIntArray(1);
    game::cacheZoomedFrame(0, 0, first, -1, false, false);
    ZoomedSpritePlayer* entry = entryOf(ZoomCacheKind::Zoomed, 0, 0);
    ASSERT_NE(entry, nullptr);
    rt::ByteArray* indexes = entry->m_indexPixels;
    ASSERT_NE(indexes, nullptr);
    EXPECT_EQ(rt::ObjectArray::get(entry->m_palettes, 1), nullptr);
    rt::IntArray* second = rt::newIntArray(1);
    rt::IntArray::set(second, 0, 1);
    game::cacheZoomedFrame(0, 0, second, -1, false, false);
    EXPECT_EQ(entry->m_indexPixels, indexes);
    auto* copy = static_cast<rt::IntArray*>(rt::ObjectArray::get(entry->m_palettes, 1));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, sprite->getPalette(1)) << "a copy, not the sprite's palette";
    EXPECT_EQ(ints(copy, 6), ints(sprite->getPalette(1), 6));
}

TEST_F(ZoomTest, BuildSkipsModulesItCannotReadAndGrowsForLargeOnes) {
    // A module of 300 x 300 indexes is larger than the scratch's first size.
    datakit::SpriteModel large = paletteModel({kKey, 0xFFFF0000u, 0xFF00FF00u});
    addFlatModule(large, 300, 300, 2);
    addFrame(large, {{.module = 0, .x = 0, .y = 0}});
    inTable(0, loadSprite(datakit::writeSprite(large)));
    game::cacheZoomedFrame2(0, 0);
    ZoomedSpritePlayer* entry = entryOf(ZoomCacheKind::Zoomed, 0, 0);
    ASSERT_NE(entry, nullptr);
    auto pixels = rt::ByteArray::span(entry->m_indexPixels);
    ASSERT_EQ(pixels.size(), 90000u);
    EXPECT_EQ(std::ranges::count(pixels, 2), 90000);

    // An encoding that carries alpha, not indexes: nothing decoded, the
    // entry stays transparent.
    datakit::SpriteModel alpha = paletteModel({kKey, 0xFFFF0000u});
    alpha.pixels->encoding = 0xA256;
    addFlatModule(alpha, 3, 2, 1);
    alpha.pixels->alphas.push_back(std::vector<std::uint8_t>(6, 0xFF));
    addFrame(alpha, {{.module = 0, .x = 0, .y = 0}});
    inTable(1, loadSprite(datakit::writeSprite(alpha)));
    game::cacheZoomedFrame2(1, 0);
    EXPECT_TRUE(log.contains("encoding 0xA256 is not decoded"));

    // Neither module data nor a module image: the frame stays transparent
    // instead of copying whatever the scratch holds, here the opaque pixels
    // of a frame just composed from module images.
    ASprite* withImages = inTable(3, loadSprite(datakit::writeSprite(patternModel())));
    game::buildCacheImages(withImages, 0, 0, -1, -1);
    withImages->freePixelData();
    game::cacheZoomedFrame2(3, 0);
    datakit::SpriteModel bare = patternModel();
    bare.format &= ~datakit::sprite_bits::kPixelSection;
    bare.pixels.reset();
    inTable(2, loadSprite(datakit::writeSprite(bare)));
    game::cacheZoomedFrame2(2, 0);
    EXPECT_TRUE(log.contains("has no pixels; skipped"));
    for (std::int32_t s : {1, 2}) {
        ZoomedSpritePlayer* empty = entryOf(ZoomCacheKind::Zoomed, s, 0);
        ASSERT_NE(empty, nullptr);
        ASSERT_NE(empty->m_argbPixels, nullptr) << "sprite " << s;
        for (std::int32_t pixel : rt::IntArray::span(empty->m_argbPixels))
            ASSERT_EQ(pixel, 0) << "sprite " << s;
    }
}

// The second sprite table's sprites are composed frame by frame: every
// frame of one finds the sprite's pixel data, and each entry holds the
// same pixels as the first table's build of that frame.
TEST_F(ZoomTest, EveryFrameOfASecondTableSpriteIsComposedFromItsPixels) {
    const std::vector<std::uint8_t> bytes = datakit::writeSprite(patternModel());
    game::zoomStatics().s_altSprites = rt::newObjectArray(8);
    rt::ObjectArray::set(game::zoomStatics().s_altSprites, 6, loadSprite(bytes));
    inTable(6, loadSprite(bytes));
    for (std::int32_t f = 0; f < 2; ++f) {
        game::cacheZoomedFrame(6, f, nullptr, -1, true, false);
        game::cacheZoomedFrame(6, f, nullptr, -1, false, false);
    }
    EXPECT_FALSE(log.contains("has no pixels"));
    for (std::int32_t f = 0; f < 2; ++f) {
        ZoomedSpritePlayer* second = entryOf(ZoomCacheKind::Zoomed, 6, f, false, true);
        ZoomedSpritePlayer* first = entryOf(ZoomCacheKind::Zoomed, 6, f);
        ASSERT_NE(second, nullptr) << "frame " << f;
        ASSERT_NE(first, nullptr) << "frame " << f;
        ASSERT_NE(second->m_indexPixels, nullptr) << "frame " << f;
        auto composed = rt::ByteArray::span(second->m_indexPixels);
        auto expected = rt::ByteArray::span(first->m_indexPixels);
        EXPECT_TRUE(std::ranges::equal(composed, expected)) << "frame " << f;
    }
}

TEST_F(ZoomTest, AnimationEntriesRecordTheirFramesAndUncachingRemovesThem) {
    datakit::SpriteModel model = patternModel();
    addFrame(model, {{.module = 2, .x = 0, .y = 0}});
    addFrame(model, {{.module = 1, .x = 0, .y = 0}});
    addAnim(model, {{.frame = 1, .time = 3, .x = -4, .y = 7, .flags = 1}, {.frame = 0, .time = 2, .x = 300}});
    inTable(5, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedAnim(5, 0, nullptr, -1, false, game::zoomStatics().s_zoomStepped != 0);
    game::cacheZoomedFrame2(5, 2);
    ZoomedSpritePlayer* anim = entryOf(ZoomCacheKind::Zoomed, 5, 0, true);
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->m_animFrameCount, 2);
    EXPECT_EQ(shorts(anim->m_animRecords), (std::vector<std::int32_t>{3, -4, 7, 1, 1, 2, 300, 0, 0, 0}));
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 5, 0), nullptr);
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 5, 1), nullptr);
    game::uncacheZoomedAnim2(5, 3); // no such animation: nothing removed
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 5, 1), nullptr);
    game::uncacheZoomedAnim2(5, 0);
    EXPECT_EQ(entryOf(ZoomCacheKind::Zoomed, 5, 0, true), nullptr);
    EXPECT_EQ(entryOf(ZoomCacheKind::Zoomed, 5, 0), nullptr);
    EXPECT_EQ(entryOf(ZoomCacheKind::Zoomed, 5, 1), nullptr);
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 5, 2), nullptr) << "a frame the animation does not name stays";
}

TEST_F(ZoomTest, SecondTableSpritesKeyByBankAndKeepTheirPixelsForTheNextFrame) {
    game::zoomStatics().s_altSprites = rt::newObjectArray(4);
    ASprite* sprite = loadSprite(datakit::writeSprite(patternModel()));
    rt::ObjectArray::set(game::zoomStatics().s_altSprites, 2, sprite);
    game::cacheZoomedFrame(2, 0, nullptr, -1, true, false);
    EXPECT_NE(entryOf(ZoomCacheKind::Zoomed, 2, 0, false, true), nullptr);
    EXPECT_EQ(entryOf(ZoomCacheKind::Zoomed, 2, 0, false, false), nullptr);
    EXPECT_NE(sprite->m_moduleData, nullptr) << "the race load drops them after the sprite's last frame";
    // Without the tables, every operation does nothing.
    game::zoomStatics().s_zoomCache = nullptr;
    game::cacheZoomedFrame2(0, 0);
    EXPECT_EQ(game::getZoomedFrameRect4(0, 0, 0, 4096), 0);
}

} // namespace
