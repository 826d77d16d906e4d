#pragma once

// The demo data set: a program folder made entirely by code, with original
// texts for "Vorlax Rally". Producers each add the data of one area, in a
// fixed order; the same program always makes the same bytes (nothing depends
// on the clock, the machine or chance). A new area of data is a new producer
// in the list of DemoSet.cpp.

#include "tools/datakit/Constants.h"
#include "tools/datakit/FontWriter.h"
#include "tools/mkdata/ProgramFolder.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mkdata {

struct Producer {
    std::string_view name;
    void (*produce)(ProgramFolder& folder);
};

// Every producer, in the order they run.
std::span<const Producer> producers();

// The folder every producer has filled.
ProgramFolder makeDemoSet();

// The fixed-point pack: its file in the archive (constant string 143 names it
// with a leading '/'), the separator of part numbers (constant string 110),
// and its cosine table, cos(i x 90 / 512 degrees) x 4096 rounded for
// i = 0..512.
inline constexpr std::u16string_view kFixedPointPackFile = u"fixed.pak";
inline constexpr std::u16string_view kPackPartSeparatorText = u".";
inline constexpr int kQuarterCircle = 512;
inline constexpr int kFixedOne = 4096;
std::vector<std::int32_t> demoCosineTable();
void produceFixedPointPack(ProgramFolder& folder);

// The font pack (constant string 146 names it with a leading '/'): fonts 0
// to 2 at entries 0 to 2, their character maps at entries 3 to 5, made
// with these styles.
inline constexpr std::u16string_view kFontPackFile = u"fonts.pak";
std::vector<datakit::FontStyle> demoFontStyles();
void produceFontPack(ProgramFolder& folder);

// The demo set's text of every catalogued constant string.
std::vector<datakit::ConstantText> demoConstantTexts();

} // namespace mkdata
