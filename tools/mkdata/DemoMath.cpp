// The demo set's fixed-point pack: entry 0 the quarter-wave cosine table,
// entry 1 its companion. Nothing in the game reads the companion's values
// (the arctangent table is built at run time), so it is an empty int array.

#include "tools/datakit/PackWriter.h"
#include "tools/datakit/TypedArrayWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <cmath>
#include <numbers>

namespace mkdata {

std::vector<std::int32_t> demoCosineTable() {
    std::vector<std::int32_t> table;
    for (int i = 0; i <= kQuarterCircle; ++i) {
        double radians = i * (std::numbers::pi / 2) / kQuarterCircle;
        table.push_back(static_cast<std::int32_t>(std::lround(std::cos(radians) * kFixedOne)));
    }
    return table;
}

void produceFixedPointPack(ProgramFolder& folder) {
    std::vector<datakit::Bytes> entries = {
        datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray(demoCosineTable()))),
        datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({}))),
    };
    for (datakit::ArchiveEntry& file : datakit::packArchiveEntries(
             kFixedPointPackFile, kPackPartSeparatorText, datakit::writePack(entries)))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
