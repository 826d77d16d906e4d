#pragma once

// The demo set with the datakit race set merged over it: the race set's
// packs in place of the demo's race data, and its sprites over the demo's.
// The race loader's tests and the program's end-to-end run load races of
// it.

#include "runtime/constantStrings.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RaceSet.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace frontend_testing {

// Whose sprite a slot takes when both sets have one: the race set's, whose
// sprites the loader's checks read, or the demo's, which carry every frame
// the race's painting draws (the race set's have only what the load needs).
enum class SpriteMerge { RaceSetWins, DemoWins };

// The demo set with the race set's packs in place of its race data, and
// the race set's sprites merged with the demo's.
inline void mergeRaceSet(mkdata::ProgramFolder& demo, SpriteMerge merge) {
    const datakit::RaceSet set = datakit::makeRaceSet();
    std::vector<std::optional<datakit::PaintedSprite>> sprites = mkdata::demoSprites();
    for (std::size_t slot = 0; slot < sprites.size(); ++slot)
        if (set.sprites[slot] && (merge == SpriteMerge::RaceSetWins || !sprites[slot]))
            sprites[slot] = set.sprites[slot];
    std::vector<datakit::ConstantText> names = mkdata::demoConstantTexts();
    for (datakit::RaceSetPack pack : datakit::raceSetPacks(set)) {
        if (pack.constantString == rt::constants::kSpritePack)
            pack.entries = datakit::spritePackEntries(sprites);
        else if (!pack.wholeEntries)
            for (datakit::Bytes& entry : pack.entries)
                entry = datakit::packEntry(0, entry);
        auto named = std::find_if(names.begin(), names.end(), [&](const datakit::ConstantText& text) {
            return text.number == pack.constantString;
        });
        ASSERT_NE(named, names.end()) << pack.constantString;
        const std::u16string file = named->text.substr(1);
        std::erase_if(demo.archive, [&](const datakit::ArchiveEntry& entry) {
            return entry.name == file || entry.name.starts_with(file + u".");
        });
        for (datakit::ArchiveEntry& part :
             datakit::packArchiveEntries(file, u".", datakit::writePack(pack.entries)))
            demo.archive.push_back(std::move(part));
    }
}

inline void useRaceSet(mkdata::ProgramFolder& demo) {
    mergeRaceSet(demo, SpriteMerge::RaceSetWins);
}

} // namespace frontend_testing
