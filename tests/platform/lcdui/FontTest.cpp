#include "platform/lcdui/Font.h"
#include "host/Text.h"
#include "host/text/FreeTypeText.h"
#include "tests/platform/lcdui/LcduiFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>

namespace {

using namespace lcdui_testing;
using Font = platform::javax_microedition_lcdui_Font;

// A text service whose characters are easy to find: each is 6 pixels wide;
// its glyph a solid block of 4 x 7 pixels at (1, 1) in the foreground, and
// its top-left pixel a grey edge (a value that is neither colour). Lines
// are 9 pixels high, the baseline 7 down.
class BlockText final : public host::Text {
public:
    static constexpr int kAdvance = 6;
    static constexpr int kHeight = 9;
    static constexpr int kAscent = 7;
    static constexpr std::uint32_t kEdge = 0x808080;

    std::optional<host::FontMetrics> metrics() override { return host::FontMetrics{kAscent, kHeight}; }
    int measure(std::u16string_view text) override { return static_cast<int>(text.size()) * kAdvance; }
    bool render(std::u16string_view text, std::uint32_t foreground, std::uint32_t background,
                std::span<std::uint32_t> pixels, int width, int height) override {
        ++renders;
        lastBackground = background;
        std::fill(pixels.begin(), pixels.end(), background);
        for (std::size_t i = 0; i < text.size(); ++i) {
            int left = static_cast<int>(i) * kAdvance;
            pixels[static_cast<std::size_t>(left)] = kEdge;
            for (int y = 1; y < 8 && y < height; ++y) {
                for (int x = left + 1; x < left + 5 && x < width; ++x)
                    pixels[static_cast<std::size_t>(y * width + x)] = foreground;
            }
        }
        return true;
    }

    int renders = 0;
    std::uint32_t lastBackground = 0;
};

constexpr std::uint32_t kEdgeOnImage =
    0xFF000000u | (0x80 >> 3) * 255 / 31 << 16 | (0x80 >> 2) * 255 / 63 << 8 | (0x80 >> 3) * 255 / 31;

struct FontTest : LcduiTest {
    BlockText blocks;

    void SetUp() override { Font::setTextService(&blocks); }

    // A white image of `width` x `height` with a Graphics drawing black.
    static Graphics* blackOnWhite(std::int32_t width, std::int32_t height) {
        Graphics* graphics = Image::createImage(width, height)->getGraphics();
        graphics->setColor(0xFFFFFF);
        graphics->fillRect(0, 0, width, height);
        graphics->setColor(0);
        return graphics;
    }

    // What `count` block characters with their top-left at (left, top) leave
    // on a white `width` x `height` image.
    static std::vector<std::uint32_t> blocksAt(std::int32_t width, std::int32_t height, std::int32_t left,
                                               std::int32_t top, std::int32_t count) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), kWhite);
        auto set = [&](std::int32_t x, std::int32_t y, std::uint32_t colour) {
            if (x >= 0 && x < width && y >= 0 && y < height)
                pixels[static_cast<std::size_t>(y * width + x)] = colour;
        };
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t x0 = left + i * BlockText::kAdvance;
            set(x0, top, kEdgeOnImage);
            for (std::int32_t y = top + 1; y < top + 8; ++y) {
                for (std::int32_t x = x0 + 1; x < x0 + 5; ++x)
                    set(x, y, kBlack);
            }
        }
        return pixels;
    }

    static rt::String* text(const char* s) { return rt::String::newFromCString(s); }
};

TEST_F(FontTest, FontsAreCachedByFaceStyleAndSize) {
    Font* defaultFont = Font::getDefaultFont();
    EXPECT_EQ(Font::getDefaultFont(), defaultFont);
    EXPECT_EQ(defaultFont->getFace(), 0);
    EXPECT_TRUE(defaultFont->isPlain());
    EXPECT_EQ(defaultFont->getHeight(), BlockText::kHeight);
    EXPECT_EQ(defaultFont->getBaselinePosition(), BlockText::kAscent);

    Font* boldItalic = Font::getFont(64, Font::STYLE_BOLD | Font::STYLE_ITALIC, 8);
    EXPECT_EQ(Font::getFont(64, Font::STYLE_BOLD | Font::STYLE_ITALIC, 8), boldItalic);
    EXPECT_EQ(boldItalic->getFace(), 64);
    EXPECT_EQ(boldItalic->getStyle(), 3);
    EXPECT_EQ(boldItalic->getSize(), 8);
    EXPECT_TRUE(boldItalic->isBold());
    EXPECT_TRUE(boldItalic->isItalic());
    EXPECT_FALSE(boldItalic->isUnderlined());
    EXPECT_FALSE(boldItalic->isPlain());
    // Every font has the system font's metrics.
    EXPECT_EQ(boldItalic->getHeight(), BlockText::kHeight);

    // More fonts than the cache first holds.
    std::vector<Font*> fonts;
    for (std::int32_t size = 0; size < 40; ++size)
        fonts.push_back(Font::getFont(32, Font::STYLE_UNDERLINED, size << 8));
    runtime.objectManager().gc(0);
    for (std::int32_t size = 0; size < 40; ++size)
        EXPECT_EQ(Font::getFont(32, Font::STYLE_UNDERLINED, size << 8),
                  fonts[static_cast<std::size_t>(size)]);
    EXPECT_NE(Font::getFont(0, 0, 0), boldItalic);

    EXPECT_EQ(Font::getFont(Font::FONT_STATIC_TEXT), defaultFont);
    EXPECT_EQ(Font::getFont(Font::FONT_INPUT_TEXT), defaultFont);
    EXPECT_EQ(Font::getFont(2), nullptr);
    EXPECT_NE(rt::catchException(rt::ClassId::java_lang_IllegalArgumentException), nullptr);
}

TEST_F(FontTest, WithoutATextServiceFontsHaveNothing) {
    Font::setTextService(nullptr);
    Font* font = Font::getFont(32, 1, 16);
    EXPECT_EQ(font->getFace(), 0);
    EXPECT_EQ(font->getHeight(), 0);
    EXPECT_EQ(font->stringWidth(text("abc")), 0);
    Graphics* graphics = blackOnWhite(10, 10);
    graphics->drawString(text("abc"), 0, 0, 0);
    EXPECT_EQ(argb(graphics->target()), std::vector<std::uint32_t>(100, kWhite));
}

TEST_F(FontTest, WidthsMeasureTheUnitsAsked) {
    Font* font = Font::getDefaultFont();
    EXPECT_EQ(font->stringWidth(text("abc")), 18);
    EXPECT_EQ(font->stringWidth(text("")), 0);
    EXPECT_EQ(font->substringWidth(text("abcdef"), 1, 3), 18);
    EXPECT_EQ(font->charWidth(u'x'), 6);
    rt::CharArray* chars = rt::newCharArray(4);
    EXPECT_EQ(font->charsWidth(chars, 1, 2), 12);
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(font->substringWidth(text("abc"), 2, 2), 0);
    EXPECT_TRUE(log.contains("StringIndexOutOfBounds index=4 length=3"));
    EXPECT_EQ(font->charsWidth(chars, -1, 2), 0);
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds index=-1 length=4"));
    EXPECT_EQ(font->stringWidth(nullptr), 0);
    EXPECT_TRUE(log.contains("NullPointer"));
}

TEST_F(FontTest, DrawStringPlacesTheTextByItsAnchor) {
    // "ab" is 12 x 9 with its baseline 7 down; the anchor point is (20, 15).
    struct Case {
        std::int32_t anchor;
        std::int32_t left, top;
    };
    const Case cases[] = {
        {0, 20, 15},
        {Graphics::TOP | Graphics::LEFT, 20, 15},
        {Graphics::TOP | Graphics::RIGHT, 8, 15},
        {Graphics::TOP | Graphics::HCENTER, 14, 15},
        {Graphics::BOTTOM | Graphics::LEFT, 20, 6},
        {Graphics::BOTTOM | Graphics::HCENTER, 14, 6},
        {Graphics::BASELINE | Graphics::RIGHT, 8, 8},
        {Graphics::BASELINE | Graphics::HCENTER, 14, 8},
        {Graphics::VCENTER | Graphics::LEFT, 20, 15},
        // Flags tested later win: HCENTER after RIGHT, BASELINE after BOTTOM.
        {Graphics::RIGHT | Graphics::HCENTER | Graphics::BOTTOM | Graphics::BASELINE, 14, 8},
    };
    for (const Case& c : cases) {
        Graphics* graphics = blackOnWhite(40, 30);
        // Neither the translation nor the clip moves or cuts text.
        graphics->translate(3, -4);
        graphics->setClip(0, 0, 1, 1);
        graphics->drawString(text("ab"), 20, 15, c.anchor);
        EXPECT_EQ(argb(graphics->target()), blocksAt(40, 30, c.left, c.top, 2)) << "anchor " << c.anchor;
    }
    EXPECT_EQ(blocks.lastBackground, 0x00F81Fu);
}

TEST_F(FontTest, TextIsCutAtTheImagesEdges) {
    struct Case {
        std::int32_t x, y;
    };
    for (const Case& c :
         {Case{-4, -3}, Case{35, 25}, Case{-100, 5}, Case{INT_MAX, INT_MIN}, Case{INT_MIN, 0}}) {
        Graphics* graphics = blackOnWhite(40, 30);
        graphics->drawString(text("abc"), c.x, c.y, 0);
        EXPECT_EQ(argb(graphics->target()), blocksAt(40, 30, c.x, c.y, c.x < -1000 || c.x > 1000 ? 0 : 3))
            << c.x << "," << c.y;
    }
}

TEST_F(FontTest, TheOtherTextFormsDrawTheUnitsAsked) {
    Graphics* graphics = blackOnWhite(40, 12);
    graphics->drawSubstring(text("xaby"), 1, 2, 1, 1, 0);
    EXPECT_EQ(argb(graphics->target()), blocksAt(40, 12, 1, 1, 2));
    graphics = blackOnWhite(40, 12);
    graphics->drawChar(u'q', 5, 2, Graphics::TOP | Graphics::RIGHT);
    EXPECT_EQ(argb(graphics->target()), blocksAt(40, 12, -1, 2, 1));
    graphics = blackOnWhite(40, 12);
    graphics->drawChars(rt::newCharArray(5), 1, 3, 0, 0, 0);
    EXPECT_EQ(argb(graphics->target()), blocksAt(40, 12, 0, 0, 3));
    EXPECT_TRUE(log.lines().empty());

    // Nothing at all for null, empty or out-of-range text.
    graphics = blackOnWhite(40, 12);
    int renders = blocks.renders;
    graphics->drawString(nullptr, 0, 0, 0);
    graphics->drawString(text(""), 0, 0, 0);
    graphics->drawSubstring(text("abc"), 2, 5, 0, 0, 0);
    graphics->drawChars(rt::newCharArray(2), 1, 3, 0, 0, 0);
    EXPECT_EQ(blocks.renders, renders);
    EXPECT_EQ(argb(graphics->target()), std::vector<std::uint32_t>(480, kWhite));
    EXPECT_TRUE(log.contains("StringIndexOutOfBounds"));
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds"));
}

TEST_F(FontTest, TextTakesTheGraphicsColour) {
    Graphics* graphics = blackOnWhite(12, 9);
    graphics->setColor(0x123456);
    graphics->drawString(text("a"), 0, 0, 0);
    EXPECT_EQ(pixel(graphics->target(), 2, 2), 0xFF000000u | (0x12 >> 3) * 255 / 31 << 16 |
                                                   (0x34 >> 2) * 255 / 63 << 8 | (0x56 >> 3) * 255 / 31);
}

TEST_F(FontTest, TheSystemFontDrawsWithinItsMeasuredBox) {
    host::FreeTypeText systemFont;
    Font::setTextService(&systemFont);
    Font* font = Font::getDefaultFont();
    rt::String* line = text("HxH");
    const std::int32_t width = font->stringWidth(line);
    const std::int32_t height = font->getHeight();
    ASSERT_GT(width, 10);

    for (std::int32_t anchor : {Graphics::TOP | Graphics::LEFT, Graphics::BOTTOM | Graphics::RIGHT,
                                Graphics::BASELINE | Graphics::HCENTER}) {
        Graphics* graphics = blackOnWhite(100, 60);
        graphics->drawString(line, 50, 30, anchor);
        std::int32_t left = (anchor & Graphics::RIGHT)     ? 50 - width
                            : (anchor & Graphics::HCENTER) ? 50 - width / 2
                                                           : 50;
        std::int32_t top = (anchor & Graphics::BOTTOM)     ? 30 - height
                           : (anchor & Graphics::BASELINE) ? 30 - font->getBaselinePosition()
                                                           : 30;
        std::int32_t lo = INT_MAX, hi = INT_MIN, partial = 0;
        std::vector<std::uint32_t> pixels = argb(graphics->target());
        for (std::int32_t y = 0; y < 60; ++y) {
            for (std::int32_t x = 0; x < 100; ++x) {
                std::uint32_t p = pixels[static_cast<std::size_t>(y * 100 + x)];
                if (p == kWhite)
                    continue;
                EXPECT_TRUE(x >= left && x < left + width && y >= top && y < top + height) << x << "," << y;
                lo = std::min(lo, x);
                hi = std::max(hi, x);
                partial += p != kBlack;
            }
        }
        // The H stems reach close to both ends of the measured width.
        EXPECT_LE(lo, left + 3);
        EXPECT_GE(hi, left + width - 4);
        // Anti-aliased edge pixels are kept, not dropped as background.
        EXPECT_GT(partial, 0);
    }
}

} // namespace
