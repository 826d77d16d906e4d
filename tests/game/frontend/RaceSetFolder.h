#pragma once

// The demo set with datakit's race set in place of its race data: the race
// set's packs replace the demo's, and the race set's sprites go over the
// demo's in the sprite pack. Shared by the race loader's tests, its fuzz
// harness and its benchmarks' checks.
//
// The packs come apart from the folder so that a caller can change one
// entry and put that pack back (`putPack`) without making the rest again.

#include "runtime/constantStrings.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RaceSet.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace frontend_testing {

// A pack of the race set as the archive holds it: its part 0's file name
// and every entry's bytes (header byte included).
struct RaceSetPackFile {
    int constantString = 0;
    std::u16string file;
    std::vector<datakit::Bytes> entries;
};

// The race set's packs, with the sprite pack holding the demo's sprites
// under the race set's.
inline std::vector<RaceSetPackFile> raceSetPackFiles() {
    const datakit::RaceSet set = datakit::makeRaceSet();
    std::vector<std::optional<datakit::PaintedSprite>> sprites = mkdata::demoSprites();
    for (std::size_t slot = 0; slot < sprites.size() && slot < set.sprites.size(); ++slot)
        if (set.sprites[slot])
            sprites[slot] = set.sprites[slot];
    const std::vector<datakit::ConstantText> names = mkdata::demoConstantTexts();
    std::vector<RaceSetPackFile> files;
    for (datakit::RaceSetPack pack : datakit::raceSetPacks(set)) {
        if (pack.constantString == rt::constants::kSpritePack)
            pack.entries = datakit::spritePackEntries(sprites);
        else if (!pack.wholeEntries)
            for (datakit::Bytes& entry : pack.entries)
                entry = datakit::packEntry(0, entry);
        const auto named = std::find_if(names.begin(), names.end(), [&](const datakit::ConstantText& text) {
            return text.number == pack.constantString;
        });
        // Every pack the race set writes is named by the demo's constant
        // strings, with a leading '/' that archive names do not have.
        if (named == names.end() || named->text.empty())
            continue;
        files.push_back({pack.constantString, named->text.substr(1), std::move(pack.entries)});
    }
    return files;
}

// Puts `pack` into `demo`'s archive in place of the parts of the same name.
inline void putPack(mkdata::ProgramFolder& demo, const RaceSetPackFile& pack) {
    std::erase_if(demo.archive, [&](const datakit::ArchiveEntry& entry) {
        return entry.name == pack.file || entry.name.starts_with(pack.file + u".");
    });
    for (datakit::ArchiveEntry& part :
         datakit::packArchiveEntries(pack.file, u".", datakit::writePack(pack.entries)))
        demo.archive.push_back(std::move(part));
}

// The demo set with the race set's packs in place of its race data.
inline void useRaceSet(mkdata::ProgramFolder& demo) {
    for (const RaceSetPackFile& pack : raceSetPackFiles())
        putPack(demo, pack);
}

} // namespace frontend_testing
