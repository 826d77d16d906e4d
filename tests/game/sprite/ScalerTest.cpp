// The software scaler and the zoomed painters: at scale 1.0 the scaler
// draws what painting the frame draws, at any scale it stays inside the
// frame's scaled rectangle and the screen, and its palette, alpha and
// animation rules.

#include "game/sprite/Scaler.h"
#include "tests/game/sprite/ZoomFixture.h"

#include <random>

namespace {

using namespace sprite_testing;
using game::ASprite;
using game::ZoomedSpritePlayer;
using game::zoomStatics;

constexpr std::int32_t kOne = 4096;

ZoomedSpritePlayer* frameEntry(std::int32_t s, std::int32_t f) {
    return game::findZoomEntry(game::ZoomCacheKind::Zoomed, s, f, false, false);
}

// The pattern sprite in slot 0 with frame 0 cached plain, from its module
// data (index entry) or, after caching module images and dropping the
// data, from its images (ARGB entry).
ASprite* cachedPatternSprite(bool fromImages, std::int32_t slot = 0) {
    ASprite* sprite = inTable(slot, loadSprite(datakit::writeSprite(patternModel())));
    if (fromImages) {
        game::buildCacheImages(sprite, 0, 0, -1, -1);
        sprite->freePixelData();
    }
    game::cacheZoomedFrame2(slot, 0);
    game::cacheZoomedFrame2(slot, 1);
    return sprite;
}

TEST_F(ZoomTest, AtScaleOneTheScalerDrawsWhatPaintingTheFrameDraws) {
    // Frame 0 has turned modules, which a frame mirror turns the other way
    // round when painted module by module: it is compared unmirrored. Frame
    // 1 has only mirrored ones and is compared under every mirror.
    struct Case {
        std::int32_t frame, flags;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {1, 1}, {1, 2}, {1, 3}};
    // Inside, cut by the screen's left edge, and cut by the canvas.
    const std::pair<std::int32_t, std::int32_t> places[] = {{40, 30}, {3, 60}, {152, 115}};
    Canvas reference{160, 120, kBackground};
    for (bool fromImages : {false, true}) {
        ASprite* sprite = cachedPatternSprite(fromImages);
        for (const Case& c : cases) {
            ZoomedSpritePlayer* entry = frameEntry(0, c.frame);
            ASSERT_NE(entry, nullptr);
            ASSERT_EQ(entry->m_argbPixels != nullptr, fromImages);
            const std::int32_t y0 = rt::ShortArray::get(entry->m_rects, 3);
            for (auto [x, y] : places) {
                SCOPED_TRACE(testing::Message()
                             << (fromImages ? "ARGB" : "index") << " entry, frame " << c.frame << ", flags "
                             << c.flags << " at " << x << ", " << y);
                clear();
                reference.graphics->setColor(static_cast<std::int32_t>(kBackground));
                reference.graphics->fillRect(0, 0, 160, 120);
                game::paintZoomed(entry, kOne, x, y, c.flags, false, 0, false);
                game::paintFrame(sprite, reference.graphics, c.frame, x, y, c.flags, 0, 0);
                // Mirrored top-bottom, source row 0 lands on row y - y0 - 1
                // and is the one row the scaler's rounding drops.
                const std::int32_t droppedRow = (c.flags & 2) ? y - y0 - 1 : -1;
                for (std::int32_t row = 0; row < 120; ++row) {
                    for (std::int32_t column = 0; column < 160; ++column) {
                        const std::uint16_t expected =
                            row == droppedRow ? on565(kBackground) : reference.at(column, row);
                        ASSERT_EQ(screen.at(column, row), expected) << "pixel " << column << ", " << row;
                    }
                }
            }
        }
    }
}

TEST_F(ZoomTest, RandomScalesAndPlacesStayInsideTheScaledRectangleAndTheScreen) {
    cachedPatternSprite(false, 0);
    cachedPatternSprite(true, 1);
    ZoomedSpritePlayer* entries[2] = {frameEntry(0, 0), frameEntry(1, 0)};
    ASSERT_NE(entries[0], nullptr);
    ASSERT_NE(entries[1], nullptr);
    Canvas big{640, 480, kBackground};
    game::loopStatics().s_graphics = big.graphics;
    std::mt19937 random(26);
    for (std::int32_t i = 0; i < 400; ++i) {
        const std::int32_t scale = std::uniform_int_distribution<std::int32_t>(1, 12 * kOne)(random);
        const std::int32_t x = std::uniform_int_distribution<std::int32_t>(-200, 840)(random);
        const std::int32_t y = std::uniform_int_distribution<std::int32_t>(-200, 680)(random);
        const std::int32_t flags = static_cast<std::int32_t>(random() % 4);
        // Index and ARGB entries, palettes past the last, alpha tables and masks.
        zoomStatics().s_zoomPalette = static_cast<std::int32_t>(random() % 3);
        zoomStatics().s_zoomAlphaPalette = static_cast<std::int8_t>(random() % 2);
        const bool mask = random() % 4 == 0;
        big.graphics->setColor(static_cast<std::int32_t>(kBackground));
        big.graphics->fillRect(0, 0, 640, 480);
        game::paintZoomed(entries[i % 2], scale, x, y, flags, false, mask ? -1 : 0, mask);
        const auto bounds = big.bounds(on565(kBackground));
        if (bounds == std::vector<std::int32_t>{0, 0, 0, 0})
            continue;
        // The frame's rectangle at this scale, placed as the flags mirror it.
        const std::int32_t left = game::getZoomedFrameRect4(0, 0, 2, scale);
        const std::int32_t top = game::getZoomedFrameRect4(0, 0, 3, scale);
        const std::int32_t right = ((-7 + 14) * scale + kOne / 2) >> 12;
        const std::int32_t bottom = ((-4 + 13) * scale + kOne / 2) >> 12;
        const std::int32_t minX = (flags & 1) ? x - right : x + left;
        const std::int32_t maxX = (flags & 1) ? x - left : x + right;
        const std::int32_t minY = (flags & 2) ? y - bottom : y + top;
        const std::int32_t maxY = (flags & 2) ? y - top : y + bottom;
        SCOPED_TRACE(testing::Message()
                     << "scale " << scale << " at " << x << ", " << y << " flags " << flags);
        EXPECT_GE(bounds[0], std::max(minX, 0));
        EXPECT_GE(bounds[1], std::max(minY, 0));
        EXPECT_LE(bounds[2], std::min(maxX, 640));
        EXPECT_LE(bounds[3], std::min(maxY, 480));
    }
    zoomStatics().s_zoomPalette = 0;
    zoomStatics().s_zoomAlphaPalette = 0;
    EXPECT_FALSE(log.contains("OutOfBounds") || log.contains("NullPointer"))
        << testing::PrintToString(log.lines());
}

TEST_F(ZoomTest, DrawsNothingForAnEmptyScaleOrAFrameOffTheScreen) {
    cachedPatternSprite(false);
    ZoomedSpritePlayer* entry = frameEntry(0, 0);
    struct Case {
        std::int32_t scale, x, y, flags;
    };
    const Case cases[] = {
        {0, 50, 50, 0},                         // no scale at all
        {100, 50, 50, 0},                       // 14 x 13 pixels at 1/41 round to no width
        {kOne, -7, 50, 0},                      // right edge at column 0
        {kOne, -7, 50, 1},                      // mirrored: left edge at column 0 from the other side
        {kOne, 50, 700, 2}, {kOne, 647, 50, 0}, // left edge at the screen's right edge
    };
    for (const Case& c : cases) {
        clear();
        game::paintZoomed(entry, c.scale, c.x, c.y, c.flags, false, 0, false);
        EXPECT_EQ(drawnBounds(), (std::vector<std::int32_t>{0, 0, 0, 0}))
            << "scale " << c.scale << " at " << c.x;
    }
}

// One 4 x 2 module of index 1 at the origin; palette 1 holds the alpha
// table of palette 0 (index 1: green, whose low byte gives alpha 0).
ASprite* alphaSprite() {
    datakit::SpriteModel model = paletteModel({kKey, 0xFFFF0000u});
    model.pixels->palettes.push_back({0, 0xFF00FF00u});
    addFlatModule(model, 4, 2, 1);
    addFrame(model, {{.module = 0, .x = 0, .y = 0}});
    ASprite* sprite = inTable(1, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedFrame2(1, 0);
    return sprite;
}

TEST_F(ZoomTest, AlphaPaletteAndAlphaMaskRecolourTheFrame) {
    alphaSprite();
    ZoomedSpritePlayer* entry = frameEntry(1, 0);
    ASSERT_NE(entry, nullptr);
    const std::uint16_t red = on565(0xFF0000u), black = 0, background = on565(kBackground);
    struct Case {
        const char* what;
        std::int32_t palette;
        bool alphaPalette;
        std::int32_t alpha;
        bool mask;
        std::uint16_t inside;
    };
    const Case cases[] = {
        {"own colours", 0, false, 0, false, red},
        {"alpha from the next palette", 0, true, -1, false, background},
        {"no palette after the last: own alpha", 1, true, -1, false, on565(0x00FF00u)},
        {"a palette past the last falls back to 0", 9, false, 0, false, red},
        {"mask of alpha -1: black silhouette", 0, false, -1, true, black},
        {"mask of alpha 0 from the statics", 0, false, 0, true, background},
    };
    for (const Case& c : cases) {
        clear();
        zoomStatics().s_zoomPalette = c.palette;
        zoomStatics().s_zoomAlphaPalette = c.alphaPalette ? 1 : 0;
        zoomStatics().s_zoomAlpha = c.mask ? c.alpha : -1;
        game::paintZoomed(entry, kOne, 10, 10, 0, false, 0, c.mask);
        EXPECT_EQ(screen.at(11, 11), c.inside) << c.what;
        EXPECT_EQ(screen.at(14, 11), background) << c.what << ": right of the frame";
    }
    // A silhouette keeps the key colour transparent.
    datakit::SpriteModel model = paletteModel({kKey, 0xFFFF0000u});
    addPatternModule(model, 4, 1, {0, 1});
    addFrame(model, {{.module = 0, .x = 0, .y = 0}});
    inTable(2, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedFrame2(2, 0);
    clear();
    zoomStatics().s_zoomPalette = 0;
    zoomStatics().s_zoomAlphaPalette = 0;
    game::paintZoomed(frameEntry(2, 0), kOne, 10, 10, 0, false, -1, true);
    EXPECT_EQ((std::vector<std::uint16_t>{screen.at(10, 10), screen.at(11, 10), screen.at(12, 10)}),
              (std::vector<std::uint16_t>{background, black, background}));
}

// Animation 0: frames of times 1, 2, 1 (frames 0, 1, 0 of the pattern
// sprite's frame 0 and a second frame); animation 1: fourteen frames of
// time 1; animation 2: two frames of time 0.
ASprite* animatedSprite() {
    datakit::SpriteModel model = patternModel();
    addFrame(model, {{.module = 2, .x = 0, .y = 0}});
    addAnim(model, {{.frame = 0, .time = 1}, {.frame = 1, .time = 2}, {.frame = 0, .time = 1}});
    addAnim(model, std::vector<datakit::SpriteAFrame>(14, {.frame = 1, .time = 1}));
    addAnim(model, {{.frame = 0, .time = 0}, {.frame = 1, .time = 0}});
    ASprite* sprite = inTable(3, loadSprite(datakit::writeSprite(model)));
    for (std::int32_t a = 0; a < 3; ++a)
        game::cacheZoomedAnim(3, a, nullptr, -1, false, game::zoomStatics().s_zoomStepped != 0);
    return sprite;
}

TEST_F(ZoomTest, TimedAnimationPicksItsFrameByTheSumOfFrameTimes) {
    animatedSprite();
    // The fade writes 255 - 255 x frame / 12, which tells the frame chosen.
    struct Case {
        std::int32_t time, frame;
    };
    const Case cases[] = {{0, 0}, {99, 0}, {100, 1}, {299, 1}, {300, 2}, {399, 2}, {400, 0}, {1000, 0}};
    for (const Case& c : cases) {
        zoomStatics().s_zoomAlpha = 99;
        EXPECT_FALSE(game::paintZoomedAnim(3, 0, kOne, 50, 50, 0, c.time, 400, false, true, 255));
        EXPECT_EQ(zoomStatics().s_zoomAlpha, 255 - c.frame * 255 / 12) << "time " << c.time;
    }
    // Frames past the twelfth fade no further than 0.
    game::paintZoomedFaded(3, 1, 13, 0, kOne, 50, 50, 0, false, true, 0);
    EXPECT_EQ(zoomStatics().s_zoomAlpha, 0);
    game::paintZoomedFaded(3, 1, -1, 27, kOne, 50, 50, 0, false, true, 0);
    EXPECT_EQ(zoomStatics().s_zoomAlpha, 0) << "counter 27 is frame 13";
    // Times that sum to 0, a missing animation: nothing painted, finished.
    clear();
    zoomStatics().s_zoomAlpha = -1;
    EXPECT_TRUE(game::paintZoomedAnim(3, 2, kOne, 50, 50, 0, 10, 400, false, false, 0));
    EXPECT_TRUE(game::paintZoomedAnim(3, 7, kOne, 50, 50, 0, 10, 400, false, false, 0));
    game::paintZoomedFaded(3, 7, 0, 0, kOne, 50, 50, 0, false, false, 0);
    EXPECT_EQ(drawnBounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    // A duration of 0 shows the first frame instead of dividing by it.
    zoomStatics().s_zoomAlpha = 99;
    (void)game::paintZoomedAnim(3, 0, kOne, 50, 50, 0, 10, 0, false, true, 255);
    EXPECT_EQ(zoomStatics().s_zoomAlpha, 255);
    EXPECT_FALSE(log.contains("ArithmeticException"));
}

TEST_F(ZoomTest, StripStretchesTheFrameBetweenItsEdgesAndStaysOnTheScreen) {
    cachedPatternSprite(false);
    // Level edges 20 columns wide and 26 rows tall: the 14 x 13 frame
    // doubled in height, its columns stretched.
    game::paintZoomedStrip(0, 0, 30, 50, 10, 10, 36, 36, 0, false);
    auto bounds = drawnBounds();
    EXPECT_GE(bounds[0], 30);
    EXPECT_LE(bounds[2], 50);
    EXPECT_GE(bounds[1], 10);
    EXPECT_LE(bounds[3], 36);
    EXPECT_GT(bounds[3] - bounds[1], 20);
    // Mirrored and stretched wide, the first column rounds to one past the
    // last source column: the last column stands in, not the next row's first.
    datakit::SpriteModel model = paletteModel({kKey, 0xFF0000FFu, 0xFFFFFFFFu, 0xFFFF0000u});
    addPatternModule(model, 2, 2, {1, 3});
    addFrame(model, {{.module = 0, .x = 0, .y = 0}});
    inTable(1, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedFrame2(1, 0);
    clear();
    game::paintZoomedStrip(1, 0, 10, 40, 60, 60, 70, 70, 1, false);
    EXPECT_EQ(screen.at(10, 60), on565(0xFF0000u));
    EXPECT_EQ(screen.at(39, 60), on565(0x0000FFu));
    // Slanted, partly left of and below the screen, mirrored; and the
    // refusals: no width, edges crossed, wholly off the screen.
    std::mt19937 random(5);
    for (std::int32_t i = 0; i < 200; ++i) {
        auto pick = [&](std::int32_t lo, std::int32_t hi) {
            return std::uniform_int_distribution<std::int32_t>(lo, hi)(random);
        };
        const std::int32_t xl = pick(-300, 700), xr = xl + pick(-5, 400);
        const std::int32_t tl = pick(-100, 600), tr = pick(-100, 600);
        game::paintZoomedStrip(0, 0, xl, xr, tl, tr, tr + pick(-5, 300), tl + pick(-5, 300), pick(0, 3),
                               false);
    }
    EXPECT_FALSE(log.contains("OutOfBounds") || log.contains("NullPointer"))
        << testing::PrintToString(log.lines());
}

TEST_F(ZoomTest, PreZoomedPaintDrawsTheStepTheScaleReaches) {
    inTable(4, loadSprite(datakit::writeSprite(patternModel())));
    game::cachePreZoomedFrame(4, 0, nullptr, 3, false, true);
    ZoomedSpritePlayer* entry = game::findZoomEntry(game::ZoomCacheKind::PreZoomed, 4, 0, false, false);
    ASSERT_NE(entry, nullptr);
    // Steps 5 x 4 at (-2, -1), 9 x 9 at (-5, -3) and 14 x 13 at (-7, -4);
    // what a step draws lies inside its rectangle and reaches past the
    // smaller step's.
    struct Case {
        std::int32_t scale;
        std::vector<std::int32_t> rect;
    };
    const Case cases[] = {
        {1, {38, 39, 43, 43}},    {kOne / 3, {38, 39, 43, 43}}, {kOne / 3 + 1, {35, 37, 44, 46}},
        {kOne, {33, 36, 47, 49}}, {3 * kOne, {33, 36, 47, 49}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale);
        clear();
        game::paintPreZoomedCached(4, 0, c.scale, 40, 40, 0, false);
        const auto bounds = drawnBounds();
        EXPECT_GE(bounds[0], c.rect[0]);
        EXPECT_GE(bounds[1], c.rect[1]);
        EXPECT_LE(bounds[2], c.rect[2]);
        EXPECT_LE(bounds[3], c.rect[3]);
        EXPECT_GT((bounds[2] - bounds[0]) * (bounds[3] - bounds[1]),
                  (c.rect[2] - c.rect[0] - 2) * (c.rect[3] - c.rect[1] - 2));
    }
}

} // namespace
