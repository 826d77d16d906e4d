// The demo set's fonts, read from its font pack as the start-up reads them:
// every printable character finds its own glyph, and a drawn glyph shows
// the glyph table's pixels at the font's scale with its shadow.

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
#include "tools/mkdata/DemoSet.h"

namespace {

struct DemoFontsTest : data_testing::DataTest {
    DemoFontsTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kPackPartSeparator, "."},
                                                 {rt::constants::kFontPack, "/fonts.pak"}});
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        putArchive(mkdata::makeDemoSet().archive);
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

TEST_F(DemoFontsTest, GlyphsShowTheTablesPixelsScaledAndShaded) {
    const datakit::GlyphTable table = datakit::asciiFont5x7();
    const std::vector<datakit::FontStyle> styles = mkdata::demoFontStyles();
    auto inked = [](const datakit::GlyphBitmap& g, int x, int y) {
        return x >= 0 && y >= 0 && x < g.width && y < static_cast<int>(g.rows.size()) &&
               ((g.rows[static_cast<std::size_t>(y)] >> (g.width - 1 - x)) & 1) != 0;
    };
    for (std::int32_t f = 0; f < 3; ++f) {
        const datakit::FontStyle& style = styles[static_cast<std::size_t>(f)];
        for (char16_t c : {u'A', u'g', u'%'}) {
            const datakit::GlyphBitmap& glyph = table.glyphs[static_cast<std::size_t>(c - 32)];
            auto* image = platform::javax_microedition_lcdui_Image::createImage(32, 32);
            auto* g = image->getGraphics();
            g->setColor(0);
            g->fillRect(0, 0, 32, 32);
            font(f)->setCurrentPalette(1);
            game::drawString(font(f), g, rt::make<rt::String>(std::u16string(1, c)), nullptr, 2, 2, 0, false);
            const std::uint16_t ink = platform::pixels::rgb888To565(style.palettes[1][0]);
            const std::uint16_t shade = platform::pixels::rgb888To565(style.palettes[1][1]);
            const int s = style.scale;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    const int gx = x - 2, gy = y - 2;
                    std::uint16_t want = 0;
                    if (gx >= 0 && gy >= 0 && inked(glyph, gx / s, gy / s))
                        want = ink;
                    else if (style.shadow && gx >= 1 && gy >= 1 && inked(glyph, (gx - 1) / s, (gy - 1) / s))
                        want = shade;
                    ASSERT_EQ(image->surface().row(y)[x], want)
                        << "font " << f << " '" << char(c) << "' at " << x << "," << y;
                }
            game::measureString(font(f), rt::make<rt::String>(std::u16string(1, c)), nullptr);
            EXPECT_EQ(game::fontStatics().s_textWidth,
                      glyph.width * s + (style.shadow ? 1 : 0) + style.letterGap);
            EXPECT_EQ(game::fontStatics().s_textHeight, table.height * s + (style.shadow ? 1 : 0));
        }
    }
}

} // namespace
