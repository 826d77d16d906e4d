// The demo set's font pack: the three font sprites at entries 0 to 2 and
// their character maps at entries 3 to 5, all from the project's 5 x 7
// glyph table. Font 0 sets text pages, font 1 the menus (doubled, with a
// shadow), font 2 lists and the race HUD (with a shadow). Each has four
// palettes: white, amber, grey and red ink.

#include "tools/datakit/FontWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/TypedArrayWriter.h"
#include "tools/mkdata/DemoSet.h"

namespace mkdata {

std::vector<datakit::FontStyle> demoFontStyles() {
    const std::vector<std::array<std::uint32_t, 2>> palettes = {
        {0xFFFFFFFFu, 0xFF202020u},
        {0xFFFFC040u, 0xFF402000u},
        {0xFFB0B0B0u, 0xFF101010u},
        {0xFFE03020u, 0xFF300000u},
    };
    datakit::FontStyle page{.scale = 1, .shadow = false, .letterGap = 1, .lineGap = 3, .palettes = palettes};
    datakit::FontStyle menu{.scale = 2, .shadow = true, .letterGap = 2, .lineGap = 4, .palettes = palettes};
    datakit::FontStyle list{.scale = 1, .shadow = true, .letterGap = 1, .lineGap = 2, .palettes = palettes};
    return {page, menu, list};
}

void produceFontPack(ProgramFolder& folder) {
    const datakit::GlyphTable glyphs = datakit::asciiFont5x7();
    std::vector<datakit::Bytes> sprites;
    std::vector<datakit::Bytes> maps;
    for (const datakit::FontStyle& style : demoFontStyles()) {
        datakit::FontData font = datakit::buildFont(glyphs, style);
        sprites.push_back(datakit::packEntry(0, datakit::writeSprite(font.sprite)));
        maps.push_back(datakit::packEntry(0, datakit::writeTypedArray(datakit::shortArray(font.charMap))));
    }
    sprites.insert(sprites.end(), maps.begin(), maps.end());
    for (datakit::ArchiveEntry& file :
         datakit::packArchiveEntries(kFontPackFile, kPackPartSeparatorText, datakit::writePack(sprites)))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
