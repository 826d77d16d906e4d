// Writes the seeds of the race data harnesses from the demo set's race
// packs: each pack's entries whole, and one cut short, into
// CORPUS/<harness>/; the race harness's seeds from the first track, event
// and zone entries; and the promotion file harness's seeds, the demo set's
// promotion with its pictures made tiny, whole and cut short.
// Usage: write_race_seeds CORPUS
#include "tools/datakit/Archive.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/PromoWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The payloads of the one-part pack whose part 0 is `file`.
std::vector<datakit::Bytes> entriesOf(const mkdata::ProgramFolder& demo, std::u16string_view file) {
    for (const datakit::ArchiveEntry& entry : demo.archive) {
        if (entry.name != file)
            continue;
        const datakit::Bytes& part = entry.bytes;
        auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(part[at] | part[at + 1] << 8); };
        auto u32 = [&](std::size_t at) {
            return static_cast<std::uint32_t>(part[at] | part[at + 1] << 8 | part[at + 2] << 16 |
                                              part[at + 3] << 24);
        };
        std::uint32_t count = u16(0);
        std::size_t table = 4 + 2 * u16(2);
        std::vector<datakit::Bytes> payloads;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t from = u32(table + 4 * i), to = u32(table + 4 * i + 4);
            if (to > from)
                payloads.emplace_back(part.begin() + from + 1, part.begin() + to);
        }
        return payloads;
    }
    return {};
}

void write(const fs::path& path, const datakit::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The demo promotion with every picture a single pixel, small enough for a
// fuzzing input.
datakit::Bytes smallPromotion() {
    datakit::PromoModel model = mkdata::demoPromoModel();
    const datakit::Bytes dot = datakit::writePng(1, 1, {0xFF336699u});
    for (datakit::PromoLanguage& language : model.languages)
        language.picture = dot;
    for (auto* pictures :
         {&model.screenImages, &model.pagePictures, &model.list0Pictures, &model.list1Pictures})
        std::fill(pictures->begin(), pictures->end(), dot);
    model.propertyPicture = model.portalPicture = dot;
    return datakit::writePromo(model);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 64;
    const fs::path corpus = argv[1];
    const mkdata::ProgramFolder demo = mkdata::makeDemoSet();
    const struct {
        const char* harness;
        std::u16string_view pack;
        std::size_t seeds;
    } packs[] = {{"track_entry", mkdata::kTrackPackFile, 2},
                 {"racer_entry", mkdata::kRacerPackFile, 3},
                 {"game_tables", mkdata::kGameTablesPackFile, 1},
                 {"event_entry", mkdata::kEventPackFile, 2},
                 {"zone_entry", mkdata::kZonePackFile, 2}};
    for (const auto& pack : packs) {
        fs::create_directories(corpus / pack.harness);
        std::vector<datakit::Bytes> entries = entriesOf(demo, pack.pack);
        for (std::size_t i = 0; i < entries.size() && i < pack.seeds; ++i) {
            write(corpus / pack.harness / ("demo_" + std::to_string(i)), entries[i]);
            datakit::Bytes cut(entries[i].begin(),
                               entries[i].begin() + static_cast<long>(entries[i].size() * 2 / 3));
            write(corpus / pack.harness / ("demo_" + std::to_string(i) + "_cut"), cut);
        }
    }
    // The race harness: track 0, event entry 0 and zones 0 of the demo set,
    // each behind its u16 length, then a few steps of keys.
    fs::create_directories(corpus / "race");
    datakit::Bytes race;
    for (std::u16string_view pack : {mkdata::kTrackPackFile, mkdata::kEventPackFile, mkdata::kZonePackFile}) {
        const std::vector<datakit::Bytes> entries = entriesOf(demo, pack);
        const datakit::Bytes entry = entries.empty() ? datakit::Bytes{} : entries[0];
        race.push_back(static_cast<std::uint8_t>(entry.size()));
        race.push_back(static_cast<std::uint8_t>(entry.size() >> 8));
        race.insert(race.end(), entry.begin(), entry.end());
    }
    write(corpus / "race" / "demo_0", race);
    for (std::uint8_t key : {0x00, 0x18, 0x1B, 0x43, 0x5D, 0xF0})
        race.push_back(key);
    write(corpus / "race" / "demo_0_keys", race);
    fs::create_directories(corpus / "promo_file");
    const datakit::Bytes promotion = smallPromotion();
    write(corpus / "promo_file" / "demo_small", promotion);
    write(corpus / "promo_file" / "demo_small_cut",
          datakit::Bytes(promotion.begin(), promotion.begin() + static_cast<long>(promotion.size() / 2)));
    return 0;
}
