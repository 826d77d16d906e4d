// The demo set's font pack: the three font sprites at entries 0 to 2 and
// their character maps at entries 3 to 5, rendered by FreeType with three
// ink levels from the DejaVu faces kept beside these sources. Font 0 sets text pages, font 1 the menus (bold,
// with a shadow), font 2 lists and the race HUD (with a shadow). Each has
// four palettes: white, amber, grey and red ink.

#include "tools/datakit/FontWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/TypedArrayWriter.h"
#include "tools/mkdata/DemoSet.h"

namespace mkdata {

namespace {

constexpr std::uint8_t kInkLevels = 3;

// The printable ASCII characters, which every demo text keeps to.
std::u16string printableAscii() {
    std::u16string codes;
    for (char16_t c = 32; c < 127; ++c)
        codes.push_back(c);
    return codes;
}

} // namespace

std::string demoSansFace() {
    return VORLAX_DEMO_FONT_DIR "/DejaVuSans.ttf";
}

std::string demoSansBoldFace() {
    return VORLAX_DEMO_FONT_DIR "/DejaVuSans-Bold.ttf";
}

std::vector<DemoFont> demoFonts() {
    const std::vector<std::array<std::uint32_t, 2>> palettes = {
        {0xFFFFFFFFu, 0xFF202020u},
        {0xFFFFC040u, 0xFF402000u},
        {0xFFB0B0B0u, 0xFF101010u},
        {0xFFE03020u, 0xFF300000u},
    };
    auto style = [&](bool shadow, std::uint8_t lineGap) {
        return datakit::FontStyle{.scale = 1,
                                  .shadow = shadow,
                                  .letterGap = 0,
                                  .lineGap = lineGap,
                                  .palettes = palettes,
                                  .encoding = 0x1600};
    };
    const std::u16string codes = printableAscii();
    const std::string sans = demoSansFace(), bold = demoSansBoldFace();
    return {
        {datakit::renderFaceGlyphs(sans, 12, codes, kInkLevels), style(false, 2)},
        {datakit::renderFaceGlyphs(bold, 19, codes, kInkLevels), style(true, 2)},
        {datakit::renderFaceGlyphs(bold, 12, codes, kInkLevels), style(true, 1)},
    };
}

void produceFontPack(ProgramFolder& folder) {
    std::vector<datakit::Bytes> sprites;
    std::vector<datakit::Bytes> maps;
    for (const DemoFont& demo : demoFonts()) {
        datakit::FontData font = datakit::buildFont(demo.glyphs, demo.style);
        sprites.push_back(datakit::packEntry(0, datakit::writeSprite(font.sprite)));
        maps.push_back(datakit::packEntry(0, datakit::writeTypedArray(datakit::shortArray(font.charMap))));
    }
    sprites.insert(sprites.end(), maps.begin(), maps.end());
    for (datakit::ArchiveEntry& file :
         datakit::packArchiveEntries(kFontPackFile, kPackPartSeparatorText, datakit::writePack(sprites)))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
