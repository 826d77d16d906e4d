// Painting modules, frames and animation frames: placement under every
// flag combination, primitives, measuring, the animation frame chosen by a
// ratio, and the cached path against the decoded one.

#include "game/sprite/Paint.h"
#include "game/framework/GameGraphics.h"
#include "game/sprite/ImageCaches.h"
#include "tests/game/sprite/PaintFixture.h"

#include <climits>
#include <random>

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::ASprite;

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kGreen = 0xFF00FF00u;

struct Rect {
    std::int32_t left, top, right, bottom;
    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// Frame 0: image module A (6 x 3, red) at (2, 1), image module B (2 x 4,
// blue) at (-5, 0), and a filled-rectangle module C (4 x 2, green) at (0, -4).
ASprite* threeModuleSprite() {
    SpriteModel model = paletteModel({0, kRed, kBlue});
    addFlatModule(model, 6, 3, 1);
    addFlatModule(model, 2, 4, 2);
    addPrimitive(model, {.type = 2, .colour = kGreen, .width = 4, .height = 2, .params = {}});
    addFrame(model,
             {{.module = 0, .x = 2, .y = 1}, {.module = 1, .x = -5, .y = 0}, {.module = 2, .x = 0, .y = -4}});
    return loadSprite(datakit::writeSprite(model));
}

TEST_F(PaintTest, FrameModulesLandOnTheirMirroredAndTurnedRectangles) {
    ASprite* sprite = threeModuleSprite();
    // The rectangles of A, B and C drawn with the frame's origin at (20, 20),
    // worked out by hand: mirrors reflect each drawn rectangle about the
    // origin, the quarter turn exchanges a module's sides in place.
    struct Case {
        std::int32_t flags;
        Rect a, b, c;
    };
    const Case cases[] = {
        {0, {22, 21, 28, 24}, {15, 20, 17, 24}, {20, 16, 24, 18}},
        {1, {12, 21, 18, 24}, {23, 20, 25, 24}, {16, 16, 20, 18}},
        {2, {22, 16, 28, 19}, {15, 16, 17, 20}, {20, 22, 24, 24}},
        {3, {12, 16, 18, 19}, {23, 16, 25, 20}, {16, 22, 20, 24}},
        {4, {22, 21, 25, 27}, {15, 20, 19, 22}, {20, 16, 22, 20}},
        {5, {15, 21, 18, 27}, {21, 20, 25, 22}, {18, 16, 20, 20}},
        {6, {22, 13, 25, 19}, {15, 18, 19, 20}, {20, 20, 22, 24}},
        {7, {15, 13, 18, 19}, {21, 18, 25, 20}, {18, 20, 20, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags);
        Canvas canvas(40, 40);
        game::paintFrame(sprite, canvas.graphics, 0, 20, 20, c.flags, 0, 0);
        for (std::int32_t y = 0; y < 40; ++y)
            for (std::int32_t x = 0; x < 40; ++x) {
                std::uint16_t expected = c.a.contains(x, y)   ? on565(kRed)
                                         : c.b.contains(x, y) ? on565(kBlue)
                                         : c.c.contains(x, y) ? on565(kGreen)
                                                              : 0;
                ASSERT_EQ(canvas.at(x, y), expected) << "at (" << x << ", " << y << ")";
            }
        // The measure sees the same rectangles, the primitive included.
        rt::IntArray* rect = rt::newIntArray(4);
        game::getFrameRect(sprite, rect, 0, 20, 20, c.flags);
        EXPECT_EQ(ints(rect, 4), (std::vector<std::int32_t>{std::min({c.a.left, c.b.left, c.c.left}),
                                                            std::min({c.a.top, c.b.top, c.c.top}),
                                                            std::max({c.a.right, c.b.right, c.c.right}),
                                                            std::max({c.a.bottom, c.b.bottom, c.c.bottom})}));
    }
}

TEST_F(PaintTest, AnimationFramesPlaceTheirFrameByHotspotAndMirroredOffset) {
    SpriteModel model = paletteModel({0, kRed});
    addFlatModule(model, 4, 2, 1);
    std::uint8_t frame = addFrame(model, {{.module = 0}});
    addAnim(model, {{.frame = frame, .time = 1, .x = 5, .y = 3}});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    struct Case {
        std::int32_t flags;
        std::vector<std::int32_t> bounds;
    };
    // The frame's origin lands at (45, 33) unmirrored and at (35, 33)
    // mirrored in x, where the module itself then lies left of the origin.
    for (const Case& c : {Case{0, {45, 33, 49, 35}}, Case{1, {31, 33, 35, 35}}, Case{2, {45, 25, 49, 27}}}) {
        Canvas canvas(64, 64);
        game::paintAFrame(sprite, canvas.graphics, 0, 0, 50, 40, c.flags, 10, 10);
        EXPECT_EQ(canvas.bounds(), c.bounds) << "flags " << c.flags;
    }
}

TEST_F(PaintTest, MeasureCountsEveryModuleAndAnEmptyFrameNothing) {
    SpriteModel model = paletteModel({0, kRed});
    addFlatModule(model, 3, 3, 1);
    addPrimitive(model, {.type = 5, .width = 2, .height = 7, .params = {}}); // blank: measured, never drawn
    addFlatModule(model, 0, 4, 1); // no width: measured at its place
    std::uint8_t full =
        addFrame(model, {{.module = 0}, {.module = 1, .x = -6, .y = 1}, {.module = 2, .x = 9}});
    std::uint8_t empty = addFrame(model, {});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    rt::IntArray* rect = rt::newIntArray(4);
    game::getFrameRect(sprite, rect, full, 0, 0, 0);
    EXPECT_EQ(ints(rect, 4), (std::vector<std::int32_t>{-6, 0, 9, 8}));
    EXPECT_EQ(game::getFrameWidth(sprite, full), 15);
    EXPECT_EQ(game::getFrameHeight(sprite, full), 8);
    game::getFrameRect(sprite, rect, empty, 0, 0, 0);
    EXPECT_EQ(ints(rect, 4), (std::vector<std::int32_t>{INT_MAX, INT_MAX, INT_MIN, INT_MIN}));
    EXPECT_EQ(game::spriteStatics().s_paintMode, 0);
    game::paintFrame(sprite, screen.graphics, full, 20, 20, 0, 0, 0);
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{20, 20, 23, 23}));
}

TEST_F(PaintTest, RectangleOutlineGoesToTheTargetGraphics) {
    SpriteModel model = paletteModel({0});
    addPrimitive(model, {.type = 1, .colour = kRed, .width = 10, .height = 5, .params = {}});
    addFrame(model, {{.module = 0}});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    Canvas target(32, 32);
    game::paintFrame(sprite, target.graphics, 0, 4, 6, 0, 0, 0);
    // A 10 x 5 outline: drawRect(x, y, 9, 4) covers 10 x 5 pixels.
    EXPECT_EQ(target.bounds(), (std::vector<std::int32_t>{4, 6, 14, 11}));
    EXPECT_EQ(target.at(5, 8), 0) << "the outline is hollow";
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0})) << "nothing on the frame's Graphics";
}

TEST_F(PaintTest, FilledRectangleIsOpaqueUnlessItsAlphaIsPartial) {
    const std::uint16_t grey = on565(0xFF808080u);
    struct Case {
        std::uint32_t colour;
        bool blended;
    };
    for (const Case& c : {Case{0xFF0000FFu, false}, Case{0x000000FFu, false}, Case{0x800000FFu, true}}) {
        SpriteModel model = paletteModel({0});
        addPrimitive(model, {.type = 2, .colour = c.colour, .width = 20, .height = 18, .params = {}});
        addFrame(model, {{.module = 0}});
        ASprite* sprite = loadSprite(datakit::writeSprite(model));
        Canvas canvas(40, 40, 0xFF808080u);
        game::paintFrame(sprite, canvas.graphics, 0, 3, 2, 0, 0, 0);
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        EXPECT_EQ(canvas.bounds(grey), (std::vector<std::int32_t>{3, 2, 23, 20}));
        std::uint16_t pixel = canvas.at(22, 19);
        EXPECT_EQ(pixel == on565(0xFF0000FFu), !c.blended);
        EXPECT_EQ(canvas.at(2, 2), grey);
    }
}

TEST_F(PaintTest, RatioChoosesTheAnimationFrame) {
    SpriteModel model = paletteModel({0, kRed});
    addFlatModule(model, 1, 1, 1);
    // Frame i is one pixel at x = i.
    std::vector<datakit::SpriteAFrame> aframes;
    for (std::uint8_t i = 0; i < 4; ++i)
        aframes.push_back({.frame = addFrame(model, {{.module = 0, .x = i}}), .time = 1});
    std::uint8_t anim = addAnim(model, aframes);
    std::uint8_t none = addAnim(model, {});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    struct Case {
        std::int32_t anim, num, den;
        std::int32_t painted; // -1 none
        bool past;
    };
    const Case cases[] = {
        {anim, 0, 4, 0, false}, {anim, 1, 4, 1, false}, {anim, 3, 4, 3, false}, {anim, 4, 4, 3, true},
        {anim, 9, 4, 3, true},  {anim, 1, 0, 0, false}, {none, 1, 2, -1, true},
    };
    for (const Case& c : cases) {
        Canvas canvas(8, 8);
        game::loopStatics().s_graphics = canvas.graphics;
        bool past = game::paintAFrameByRatio(sprite, c.anim, 2, 2, 0, c.num, c.den);
        SCOPED_TRACE(testing::Message() << c.num << " / " << c.den);
        EXPECT_EQ(past, c.past);
        std::vector<std::int32_t> expected = {0, 0, 0, 0};
        if (c.painted >= 0)
            expected = {2 + c.painted, 2, 3 + c.painted, 3};
        EXPECT_EQ(canvas.bounds(), expected);
    }
}

// Modules of art-like pixels: runs of opaque colours and of the transparent
// index 0, in a palette without the 565 colour key among its opaque colours.
SpriteModel artSprite() {
    SpriteModel model = paletteModel(
        {0x00FF00FFu, 0xFFE01010u, 0xFF10E010u, 0xFF1010E0u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808000u});
    std::mt19937 random(11);
    const std::pair<std::uint16_t, std::uint16_t> sizes[] = {{7, 5}, {3, 9}, {12, 12}, {1, 6}};
    for (auto [w, h] : sizes) {
        model.modules.push_back({.type = 0, .width = w, .height = h, .params = {}});
        std::vector<std::uint8_t> indexes;
        while (indexes.size() < static_cast<std::size_t>(w) * h)
            indexes.insert(indexes.end(), 1 + random() % 3, static_cast<std::uint8_t>(random() % 7));
        indexes.resize(static_cast<std::size_t>(w) * h);
        model.pixels->indexes.push_back(std::move(indexes));
    }
    addFrame(model, {{.module = 0, .x = -9, .y = -3},
                     {.module = 1, .x = 2, .y = -8, .flags = 1},
                     {.module = 2, .x = -4, .y = 2, .flags = 6},
                     {.module = 3, .x = 10, .y = 0, .flags = 5}});
    return model;
}

TEST_F(PaintTest, CachedAndDecodedModulesPaintTheSameSurfaceUnderEveryFlag) {
    SpriteModel model = artSprite();
    ASprite* decoded = loadSprite(datakit::writeSprite(model));
    ASprite* cached = loadSprite(datakit::writeSprite(model));
    game::buildCacheImages(cached, 0, 0, -1, -1);
    for (std::int32_t m = 0; m < 4; ++m)
        ASSERT_NE(cached->getModuleImage(m, 0), nullptr);
    cached->freePixelData(); // every pixel must now come from the images
    for (std::int32_t flags = 0; flags < 8; ++flags) {
        SCOPED_TRACE(testing::Message() << "flags " << flags);
        Canvas fromPixels(48, 48, 0xFF406080u), fromImages(48, 48, 0xFF406080u);
        game::paintFrame(decoded, fromPixels.graphics, 0, 24, 24, flags, 0, 0);
        game::paintFrame(cached, fromImages.graphics, 0, 24, 24, flags, 0, 0);
        ASSERT_NE(fromPixels.bounds(on565(0xFF406080u)), (std::vector<std::int32_t>{0, 0, 0, 0}));
        ASSERT_EQ(fromPixels.pixels(), fromImages.pixels());
    }
}

TEST_F(PaintTest, ModulesOutsideTheClipAreSkippedBeforeDecoding) {
    SpriteModel model = paletteModel({0, kRed});
    addFlatModule(model, 4, 4, 1);
    addFrame(model, {{.module = 0}});
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    screen.graphics->setClip(10, 10, 10, 10);
    rt::IntArray* buffer = game::ensurePixelBuffer(16);
    struct Case {
        std::int32_t x, y;
        bool decoded;
    };
    // Touching the clip's left or top edge from outside still decodes (an
    // invisible draw); starting on its right or bottom edge does not.
    for (const Case& c : {Case{6, 12, true}, Case{12, 6, true}, Case{5, 12, false}, Case{20, 12, false},
                          Case{12, 20, false}, Case{19, 19, true}}) {
        rt::IntArray::set(buffer, 0, 0x1234);
        game::paintFrame(sprite, screen.graphics, 0, c.x, c.y, 0, 0, 0);
        EXPECT_EQ(rt::IntArray::get(buffer, 0) != 0x1234, c.decoded) << c.x << ", " << c.y;
    }
}

} // namespace
