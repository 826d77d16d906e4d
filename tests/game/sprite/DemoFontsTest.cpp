// The demo set's fonts, read from its font pack as the start-up reads them:
// every printable character finds its own glyph, and a drawn glyph shows
// the glyph table's ink levels in the palette's shades with its shadow.

#include "game/framework/LoopStatics.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "platform/lcdui/pixels.h"
#include "tests/game/data/DataFixture.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/DemoSet.h"
#include "tools/mkdata/DemoSet.h"

namespace {

struct DemoFontsTest : data_testing::DataTest {
    DemoFontsTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kPackPartSeparator, "."},
                                                 {rt::constants::kFontPack, "/fonts.pak"}});
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        putArchive(testing_support::demoSet().archive);
        game::startupStatics().s_fonts = rt::newObjectArray(6);
        game::packOpen(rt::getStaticClass().getConstantString(rt::constants::kFontPack));
        for (std::int32_t f = 0; f < 3; ++f) {
            game::ASprite* font = game::ASprite::initDefaults();
            font->loadDefault(game::packReadEntry(f), 0);
            rt::ObjectArray::set(game::startupStatics().s_fonts, f, font);
            game::loadCharMap(f, 3 + f);
        }
        game::closeStream();
    }
    static game::ASprite* font(std::int32_t f) {
        return static_cast<game::ASprite*>(rt::ObjectArray::get(game::startupStatics().s_fonts, f));
    }
};

TEST_F(DemoFontsTest, EveryPrintableCharacterHasItsGlyph) {
    for (std::int32_t f = 0; f < 3; ++f) {
        ASSERT_GT(font(f)->getFrameCount(), 2) << f;
        for (std::int32_t c = 32; c < 127; ++c)
            EXPECT_EQ(game::getCharIndex(font(f), c), 2 + c - 32) << "font " << f << " character " << c;
        EXPECT_EQ(game::getCharIndex(font(f), 0xE9), 1) << "no glyph for e-acute";
        EXPECT_EQ(font(f)->m_paletteCount, 4);
    }
}

// Grey ink levels come out as the palette's blends and the shadow follows
// the darker half of the levels; 'j' starts left of its pen on some faces.
TEST_F(DemoFontsTest, GlyphsShowTheTablesLevelsPlacedAndShaded) {
    const std::vector<mkdata::DemoFont> fonts = mkdata::demoFonts();
    constexpr int kSide = 40, kPen = 3;
    for (std::int32_t f = 0; f < 3; ++f) {
        const datakit::GlyphTable& table = fonts[static_cast<std::size_t>(f)].glyphs;
        const datakit::FontStyle& style = fonts[static_cast<std::size_t>(f)].style;
        ASSERT_GT(table.levels, 1) << f;
        for (char16_t c : {u'A', u'g', u'%', u'j'}) {
            const datakit::GlyphBitmap& glyph = table.glyphs[static_cast<std::size_t>(c - 32)];
            auto* image = platform::javax_microedition_lcdui_Image::createImage(kSide, kSide);
            auto* g = image->getGraphics();
            g->setColor(0);
            g->fillRect(0, 0, kSide, kSide);
            font(f)->setCurrentPalette(1);
            game::drawString(font(f), g, rt::make<rt::String>(std::u16string(1, c)), nullptr, kPen, kPen, 0,
                             false);
            const auto [ink, shade] = style.palettes[1];
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x) {
                    const int gx = x - kPen - glyph.left, gy = y - kPen;
                    std::uint16_t want = 0;
                    if (const int level = datakit::glyphLevel(glyph, gx, gy); level > 0)
                        want =
                            platform::pixels::rgb888To565(datakit::inkShade(ink, shade, level, table.levels));
                    else if (style.shadow &&
                             datakit::glyphLevel(glyph, gx - 1, gy - 1) >= (table.levels + 1) / 2)
                        want = platform::pixels::rgb888To565(shade);
                    ASSERT_EQ(image->surface().row(y)[x], want)
                        << "font " << f << " '" << char(c) << "' at " << x << "," << y;
                }
            game::measureString(font(f), rt::make<rt::String>(std::u16string(1, c)), nullptr);
            EXPECT_EQ(game::fontStatics().s_textWidth,
                      glyph.advance + (style.shadow ? 1 : 0) + style.letterGap);
            EXPECT_EQ(game::fontStatics().s_textHeight, table.height + (style.shadow ? 1 : 0));
        }
    }
}

} // namespace
