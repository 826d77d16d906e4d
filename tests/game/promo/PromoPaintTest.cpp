// The promotion pages painted on a 640 x 480 image and probed by pixel: the
// property page's bars, a regular page's gaps when its text is tall, and the
// glyphs drawn each through a clip of its own box.

#include "game/promo/PromoPaint.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoScreen.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/promo/PromoFixture.h"

#include <algorithm>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace promo_paint_test {

namespace {

using datakit::Bytes;
using promo_testing::dot;
using promo_testing::PromoTest;
namespace promo = game::promo;
using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
// Colours as the screen keeps them (RGB565).
constexpr std::uint32_t kMask = 0xF8FCF8u;

Bytes block(std::uint32_t width, std::uint32_t height, std::uint32_t argb) {
    return datakit::writePng(width, height, std::vector<std::uint32_t>(width * height, argb));
}

struct PromoPaintTest : PromoTest {
    PromoPaintTest() {
        datakit::PromoModel model;
        // Three lines of text on the regular page.
        model.languages.push_back({"EN", {"DUNE\nRALLY\nRUN"}, dot(0xFF0000AA)});
        model.pageNames = {"DUNE"};
        model.font = promo_testing::upperCaseFont();
        // The soft-key frames 30 x 16, its icon 10 x 24, the other screen images 10 x 20.
        for (int i = 0; i < 14; ++i)
            model.screenImages.push_back(i >= 12  ? block(30, 16, 0xFF00FF00)
                                         : i == 9 ? block(10, 24, 0xFF00FF00)
                                                  : block(10, 20, 0xFF00FF00));
        model.pagePictures = {dot(0xFF111111)};
        model.propertyPicture = dot(0xFF222222);
        model.portalPicture = dot(0xFF555555);
        setUp(datakit::writePromo(model), {{"Vorlax-Promo-Base", "https://o.example/%s"},
                                           {"Vorlax-Promo-Pages", "DUNE=dune"},
                                           {"Vorlax-Promo-Featured", "https://featured.example/"}});
        loadAndBrowse();
    }

    // `page` painted with its picture replaced by a `width` x `height` block.
    void show(std::int32_t page, std::int32_t width, std::int32_t height) {
        game::PromoScreenStatics& screen = game::promoScreenStatics();
        Image* picture = Image::createImage(width, height);
        Graphics* g = picture->getGraphics();
        g->setColor(kPicture);
        g->fillRect(0, 0, width, height);
        rt::ObjectArray::set(screen.s_pageImages, page, picture);
        screen.s_page = page;
        promo::selectPage();
        screen.s_hasLinkButton = 0;
        // A fresh canvas: a guest object held only by the fixture would not
        // be seen by the collector.
        Image* canvas = Image::createImage(kWidth, kHeight);
        promo::paint(canvas->getGraphics());
        rt::IntArray* out = rt::newIntArray(kWidth * kHeight);
        canvas->getRGB(out, 0, kWidth, 0, 0, kWidth, kHeight);
        pixels.assign(out->elements(), out->elements() + kWidth * kHeight);
    }
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        return static_cast<std::uint32_t>(pixels[static_cast<std::size_t>(y * kWidth + x)]) & kMask;
    }
    // The rows of column `x` in `colour`.
    std::vector<std::int32_t> rowsOf(std::int32_t x, std::uint32_t colour) const {
        std::vector<std::int32_t> rows;
        for (std::int32_t y = 0; y < kHeight; ++y)
            if (at(x, y) == (colour & kMask))
                rows.push_back(y);
        return rows;
    }
    // The first row holding `colour` anywhere, or -1.
    std::int32_t firstRowOf(std::uint32_t colour) const {
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x)
                if (at(x, y) == (colour & kMask))
                    return y;
        return -1;
    }

    static constexpr std::uint32_t kPicture = 0x202020;
    std::vector<std::int32_t> pixels;
};

// Three bars over the property page's picture, stacked downward inside the
// picture's right half, each drawn only after the one above it.
TEST_F(PromoPaintTest, ThePropertyPageDrawsItsBarsByThePicturesWidth) {
    const std::int32_t centre = kWidth / 2;
    struct Bar {
        std::uint32_t colour;
        std::int32_t x, width, height;
    };
    const Bar bars[] = {{0xCCCCCC, 20, 54, 3}, {0xD7D7D7, 14, 37, 2}, {0xDCB9B8, 11, 26, 1}};
    // All three bars, or none: the first needs a picture wider than 220.
    for (auto [pictureWidth, drawn] :
         {std::pair{240, 3}, std::pair{221, 3}, std::pair{220, 0}, std::pair{150, 0}}) {
        SCOPED_TRACE(pictureWidth);
        show(game::promoStatics().s_propertyPage, pictureWidth, 60);
        std::vector<std::int32_t> pictureRows = rowsOf(centre, kPicture);
        ASSERT_FALSE(pictureRows.empty());
        std::int32_t previousTop = -1;
        for (int i = 0; i < 3; ++i) {
            const Bar& bar = bars[i];
            // A column that only this bar and the longer ones above it cross.
            std::vector<std::int32_t> rows = rowsOf(centre + bar.x + bar.width - 1, bar.colour);
            if (i >= drawn) {
                EXPECT_TRUE(rows.empty()) << "bar " << i;
                continue;
            }
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(bar.height)) << "bar " << i;
            EXPECT_TRUE(rowsOf(centre + bar.x - 1, bar.colour).empty()) << "bar " << i << " starts at its x";
            EXPECT_TRUE(rowsOf(centre + bar.x + bar.width, bar.colour).empty()) << "bar " << i;
            EXPECT_GT(rows.front(), previousTop) << "bar " << i << " lies below the one before";
            EXPECT_LT(rows.back(), pictureRows.back()) << "bar " << i << " lies above the bottom line";
            previousTop = rows.back();
        }
    }
}

// A regular page spreads its room in three gaps; a text too tall for the room
// left above the soft keys takes its gaps from the room without them and is
// raised by half a line.
TEST_F(PromoPaintTest, ATallTextOnARegularPageTakesItsGapsFromTheWholeHeight) {
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    screen.s_page = 0;
    promo::selectPage();
    const std::int32_t textHeight = 3 * screen.s_fontHeight;
    struct Case {
        std::int32_t spare; // the height left besides picture and text
        bool wide;          // the text is wider than the screen less two soft-key icons
        std::int32_t gap;
        bool raised;
    };
    const Case cases[] = {
        {30, false, 10, false}, // room 30, in three gaps
        {30, true, 2, false},   // room 30 less the icon's 24-pixel band
        {27, true, 1, false},   // three pixels of room: enough
        {26, true, 8, true},    // two: too tall; gaps from the 26 pixels, the text raised
        {9, true, 3, true},     // none above the band
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spare);
        SCOPED_TRACE(c.wide);
        rt::String* text = c.wide ? rt::String::newFromCString(
                                        "DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE DUNE "
                                        "DUNE DUNE DUNE DUNE DUNE DUNE DUNE\nRALLY\nRUN")
                                  : rt::String::newFromCString("DUNE\nRALLY\nRUN");
        rt::ObjectArray::set(screen.s_texts, screen.s_pageTextIndex, text);
        promo::measureText(text);
        ASSERT_EQ(screen.s_textHeight, textHeight);
        ASSERT_EQ(screen.s_textWidth > kWidth - 20, c.wide);
        const std::int32_t pictureHeight = kHeight - textHeight - c.spare;
        show(0, 100, pictureHeight);
        std::vector<std::int32_t> pictureRows = rowsOf(kWidth / 2, kPicture);
        ASSERT_FALSE(pictureRows.empty());
        EXPECT_EQ(pictureRows.front(), c.gap);
        // The ink starts within the top half of the text's first line.
        const std::int32_t top = pictureHeight + 2 * c.gap - (c.raised ? screen.s_fontHeight / 2 : 0);
        std::int32_t ink = -1;
        for (std::int32_t y = top; y < kHeight && ink < 0; ++y)
            for (std::int32_t x = 0; x < kWidth && ink < 0; ++x)
                if (at(x, y) == (0x00B4EFu & kMask))
                    ink = y;
        EXPECT_GE(ink, top);
        EXPECT_LT(ink, top + screen.s_fontHeight / 2);
        EXPECT_EQ(firstRowOf(0x00B4EF), ink) << "no ink above the text's top";
    }
}

// Each glyph is drawn through a clip of its own box: a box running past the
// sheet's edge draws the part of the glyph the sheet holds rather than
// nothing, and the text leaves the clip on the whole screen.
TEST_F(PromoPaintTest, GlyphsAreDrawnThroughTheirOwnClip) {
    game::PromoStatics& statics = game::promoStatics();
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    Image* sheet = static_cast<Image*>(rt::ObjectArray::get(screen.s_fontImages, 1));
    ASSERT_NE(sheet, nullptr);
    // The box of 'Z', the sheet's last glyph, is widened 6 pixels past the sheet's edge.
    const std::int32_t rowBytes = statics.s_glyphRowWide + 4;
    const std::int32_t x = promo::getTableByte('Z', statics.s_glyphColX);
    ASSERT_GT(sheet->getWidth() - x, 0);
    rt::ByteArray::set(statics.s_glyphTable, 'Z' * rowBytes + statics.s_glyphColW,
                       static_cast<std::int8_t>(sheet->getWidth() - x + 6));

    auto inkCount = [&](const char* text, std::int32_t clipWidth) {
        Image* target = Image::createImage(kWidth, kHeight);
        Graphics* g = target->getGraphics();
        g->setColor(0);
        g->fillRect(0, 0, kWidth, kHeight);
        g->setClip(0, 0, clipWidth, kHeight);
        promo::drawText(rt::String::newFromCString(text), g, 100, 100, 16 | 4);
        EXPECT_EQ(g->getClipWidth(), kWidth) << text;
        EXPECT_EQ(g->getClipHeight(), kHeight) << text;
        rt::IntArray* out = rt::newIntArray(kWidth * kHeight);
        target->getRGB(out, 0, kWidth, 0, 0, kWidth, kHeight);
        int count = 0;
        for (std::int32_t i = 0; i < kWidth * kHeight; ++i)
            count += (static_cast<std::uint32_t>(rt::IntArray::get(out, i)) & kMask) == (0x00B4EFu & kMask);
        return count;
    };
    EXPECT_GT(inkCount("Z", kWidth), 10);
    // The clip a caller set does not cut the text: the screen's clip is set first.
    EXPECT_EQ(inkCount("Z", 50), inkCount("Z", kWidth));
}

} // namespace

} // namespace promo_paint_test
