// Writes the seeds of the race data harnesses from the demo set's race
// packs: each pack's entries whole, and one cut short, into
// CORPUS/<harness>/; the race harness's seeds from the first track, event
// and zone entries; and the promotion file harness's seeds, the demo set's
// promotion with its pictures made tiny, whole and cut short; and the race
// load harness's seeds, each entry it can replace as the race set holds it
// (for every race the track and event entries), and an empty and a cut
// track entry.
// Usage: write_race_seeds CORPUS
#include "fuzz/RaceLoadInput.h"
#include "tests/game/frontend/RaceSetFolder.h"
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

// The race load harness's seeds into `folder`.
void writeRaceLoadSeeds(const fs::path& folder) {
    fs::create_directories(folder);
    const std::vector<frontend_testing::RaceSetPackFile> packs = frontend_testing::raceSetPackFiles();
    const auto entryOf = [&](std::uint8_t selector) {
        const fuzzing::RaceLoadTarget target = fuzzing::raceLoadTarget(selector);
        datakit::Bytes input{selector};
        for (const frontend_testing::RaceSetPackFile& pack : packs)
            if (pack.constantString == target.pack && target.entry < pack.entries.size())
                input.insert(input.end(), pack.entries[target.entry].begin(),
                             pack.entries[target.entry].end());
        return input;
    };
    const auto put = [&](const std::string& name, const datakit::Bytes& input) {
        write(folder / name, input);
    };
    for (int race = 0; race < static_cast<int>(fuzzing::kRaceLoadTracks.size()); ++race) {
        const std::string track = std::to_string(fuzzing::kRaceLoadTracks[static_cast<std::size_t>(race)]);
        put("track_" + track, entryOf(fuzzing::raceLoadSelector(0, race, 0)));
        put("event_" + track, entryOf(fuzzing::raceLoadSelector(1, race, 0)));
    }
    for (int racer = 0; racer < datakit::kRaceSetRacers; ++racer)
        put("racer_" + std::to_string(racer), entryOf(fuzzing::raceLoadSelector(2, 0, racer)));
    for (std::size_t i = 0; i < datakit::kRaceSetMarkedSlots.size(); ++i)
        put("object_sprite_" + std::to_string(datakit::kRaceSetMarkedSlots[i]),
            entryOf(fuzzing::raceLoadSelector(3, 0, static_cast<int>(i))));
    for (std::size_t i = 0; i < fuzzing::kRaceLoadSprites.size(); ++i)
        put("sprite_" + std::to_string(fuzzing::kRaceLoadSprites[i]),
            entryOf(fuzzing::raceLoadSelector(4, 0, static_cast<int>(i))));
    put("track_0_empty", {fuzzing::raceLoadSelector(0, 0, 0)});
    const datakit::Bytes track = entryOf(fuzzing::raceLoadSelector(0, 0, 0));
    put("track_0_cut", datakit::Bytes(track.begin(), track.begin() + static_cast<long>(track.size() / 2)));
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
    writeRaceLoadSeeds(corpus / "race_load");
    return 0;
}
