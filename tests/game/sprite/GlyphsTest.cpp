#include "game/sprite/Glyphs.h"

#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "tests/game/sprite/PaintFixture.h"

namespace {

using namespace sprite_testing;

constexpr std::int32_t kInk = static_cast<std::int32_t>(0xFFFF0000u);
constexpr std::int32_t kShade = static_cast<std::int32_t>(0xFF0000FFu);
constexpr std::int32_t kDrawn = 0x0F000000;

// Two glyphs of 2 bits a pixel, four pixels a byte: "x" (3 x 2, values
// 1 2 3 / 0 1 0) and "y" (2 x 2, values 0 1 / 1 0), 2 rows tall.
struct GlyphsTest : PaintTest {
    game::BitmapFont* font = rt::make<game::BitmapFont>();

    GlyphsTest() {
        font->m_glyphHeight = 2;
        font->m_inkColour = kInk;
        font->m_shadeColour = kShade;
        font->m_twoColour = 1;
        font->m_chars = rt::make<rt::String>(u"xy");
        font->m_glyphWidths = rt::newIntArray(2);
        rt::Array::fill32(font->m_glyphWidths, {3, 2});
        font->m_bits = rt::newByteArray(3);
        rt::Array::fill8(font->m_bits, {1 | 2 << 2 | 3 << 4, 1, 1 << 2 | 1 << 4});
        font->m_glyphOffsets = rt::newIntArray(2);
        rt::Array::fill32(font->m_glyphOffsets, {0, 2});
        font->m_byteShift = 2;
        font->m_pixelInByteMask = 3;
        font->m_bitShift = 1;
        font->m_valueMask = 3;
        font->m_spaceWidth = 4;
        font->m_loaded = 1;
    }

    game::ASprite* delegating() {
        game::ASprite* sprite = game::ASprite::initDefaults();
        sprite->m_usesSystemFont = 1;
        sprite->m_systemFont = font;
        sprite->m_spaceWidth = 5;
        return sprite;
    }
};

TEST_F(GlyphsTest, UnpacksValuesIntoInkShadeOrNothing) {
    rt::IntArray* pixels = game::unpackGlyphPixels(font, 0, nullptr);
    EXPECT_EQ(ints(pixels, 6), (std::vector<std::int32_t>{kInk | kDrawn, kShade | kDrawn, kShade | kDrawn, 0,
                                                          kInk | kDrawn, 0}));
    font->m_twoColour = 0;
    game::unpackGlyphPixels(font, 0, pixels);
    EXPECT_EQ(ints(pixels, 6), (std::vector<std::int32_t>{kInk | kDrawn, 0, 0, 0, kInk | kDrawn, 0}));
    EXPECT_EQ(ints(game::unpackGlyphPixels(font, 1, nullptr), 4),
              (std::vector<std::int32_t>{0, kInk | kDrawn, kInk | kDrawn, 0}));
}

TEST_F(GlyphsTest, NeverWritesPastTheBufferNorReadsPastTheBits) {
    // A buffer shorter than the glyph is left alone; the glyph gets a new one.
    rt::IntArray* small = rt::newIntArray(4);
    rt::Array::fill32(small, {7, 7, 7, 7});
    rt::IntArray* filled = game::unpackGlyphPixels(font, 0, small);
    EXPECT_NE(filled, small);
    EXPECT_EQ(ints(small, 4), (std::vector<std::int32_t>{7, 7, 7, 7}));
    EXPECT_EQ(filled->length(), 6);

    // Bits that end inside the glyph read as 0 there.
    rt::Array::fill32(font->m_glyphOffsets, {2, 2});
    EXPECT_EQ(ints(game::unpackGlyphPixels(font, 0, nullptr), 6),
              (std::vector<std::int32_t>{0, kInk | kDrawn, kInk | kDrawn, 0, 0, 0}));

    // A glyph of width 0 leaves the buffer untouched.
    rt::Array::fill32(font->m_glyphWidths, {0, 2});
    EXPECT_EQ(game::unpackGlyphPixels(font, 0, small), small);
    EXPECT_EQ(ints(small, 4), (std::vector<std::int32_t>{7, 7, 7, 7}));

    // A glyph larger than any buffer is refused, and its painters draw
    // nothing from the small buffer the font holds.
    rt::Array::fill32(font->m_glyphWidths, {1 << 20, 2});
    EXPECT_EQ(game::unpackGlyphPixels(font, 0, small), small);
    font->m_pixelBuffer = small;
    game::ASprite* sprite = delegating();
    Canvas canvas{16, 16};
    for (std::int8_t lines : {0, 1}) {
        game::glyphStatics().s_drawGlyphLines = lines;
        EXPECT_EQ(game::paintChar(sprite, canvas.graphics, 'x', 0, 0), 1 << 20);
    }
    game::glyphStatics().s_drawGlyphLines = 0;
    EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

TEST_F(GlyphsTest, PaintCharDispatchesAndAnswersTheAdvance) {
    game::ASprite* sprite = delegating();
    for (std::int8_t lines : {0, 1}) {
        game::glyphStatics().s_drawGlyphLines = lines;
        Canvas canvas{16, 16};
        EXPECT_EQ(game::paintChar(sprite, canvas.graphics, ' ', 0, 0), 5);
        EXPECT_EQ(game::paintChar(sprite, canvas.graphics, '|', 0, 0), 0);
        EXPECT_EQ(game::paintChar(sprite, canvas.graphics, 'z', 0, 0), 0);
        EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0})) << "nothing drawn so far";
        EXPECT_EQ(game::paintChar(sprite, canvas.graphics, 'x' | 0x10000, 4, 6), 3) << "a 16-bit unit";
        EXPECT_EQ(canvas.at(4, 6), on565(kInk));
        EXPECT_EQ(canvas.at(5, 6), on565(kShade));
        EXPECT_EQ(canvas.at(6, 6), on565(kShade));
        EXPECT_EQ(canvas.at(4, 7), 0);
        EXPECT_EQ(canvas.at(5, 7), on565(kInk));
        EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{4, 6, 7, 8}));
    }
    game::glyphStatics().s_drawGlyphLines = 0;
    font->m_loaded = 0;
    Canvas canvas{16, 16};
    EXPECT_EQ(game::paintChar(sprite, canvas.graphics, 'x', 0, 0), 0);
    EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

TEST_F(GlyphsTest, DrawStringPaintsADelegatingSpritesCharactersThroughTheFontObject) {
    game::ASprite* sprite = delegating();
    rt::String* text = rt::make<rt::String>(u"x y|x");
    // x at 4 (3 wide), the space (5), y at 12 (2 wide), the separator (0), x at 14.
    for (std::int8_t lines : {0, 1}) {
        game::glyphStatics().s_drawGlyphLines = lines;
        Canvas canvas{24, 12};
        game::drawText(sprite, canvas.graphics, text, 4, 6, 0, false);
        EXPECT_EQ(game::fontStatics().s_textWidth, 3 + 5 + 2 + 3) << "measured through the font object";
        EXPECT_EQ(canvas.at(4, 6), on565(kInk));
        EXPECT_EQ(canvas.at(5, 6), on565(kShade));
        EXPECT_EQ(canvas.at(13, 6), on565(kInk));
        EXPECT_EQ(canvas.at(12, 7), on565(kInk));
        EXPECT_EQ(canvas.at(14, 6), on565(kInk));
        EXPECT_EQ(canvas.bounds(), (std::vector<std::int32_t>{4, 6, 17, 8})) << "lines " << int{lines};
    }
    game::glyphStatics().s_drawGlyphLines = 0;
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
