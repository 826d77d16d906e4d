// Loading the race data as start-up and a race load do it, each beside a
// baseline in the same run: the plain read of the same pack entries.
//
// - The start-up load (game tables, racers, event tables with the saved
//   records they size, wire models) on the demo set's race data and on a set
//   ten times larger (ten times the racers, records and event variants).
// - `loadTrack` of a 2000-segment track with 8 trigger codes per segment:
//   one loading step, which must fit a 40 ms frame.

#include "game/data/PackReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
#include "platform/io/fileio.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/DemoSet.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/RacerWriter.h"
#include "tools/datakit/TrackWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The platform over a program folder holding `archive`.
struct RaceFolder {
    testing_support::TemporaryFolder root{"vorlax-race-bench"};
    fs::path programFolder = root.path() / "pf" / "Brivanta" / "Vorlax Rally";
    host::SystemFolders folders{host::FolderOptions{programFolder.string(), (root.path() / "pf").string(),
                                                    (root.path() / "temp").string()}};
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20, &host.threads, &host.clock}};
    bool ready = false;

    explicit RaceFolder(const std::vector<datakit::ArchiveEntry>& archive) {
        platform::installPlatform(runtime);
        namespace c = rt::constants;
        testing_support::installConstantStrings({{c::kDefaultMessage, ""},
                                                 {c::kPackPartSeparator, "."},
                                                 {c::kRacerPack, "/racers.pak"},
                                                 {c::kGameTablesPack, "/tables.pak"},
                                                 {c::kTrackPack, "/tracks.pak"},
                                                 {c::kEventPack, "/events.pak"},
                                                 {c::kRecordStorePathSeparator, "\\"},
                                                 {c::kRecordStorePrefix, "rms_"},
                                                 {c::kRecordStoreSuffix, ".dat"},
                                                 {c::kRecordStoreRecordInfix, "_"},
                                                 {c::kEventResultsStore, "Results"},
                                                 {c::kEventRecordsStore, "Records"}});
        platform::setFileFolders(&folders);
        fs::create_directories(programFolder);
        fs::create_directories(root.path() / "temp");
        game::OrvelLibConfig::staticInit();
        game::startupStatics().s_objectFlags = rt::newObjectArray(92);
        ready =
            datakit::writeFile((programFolder / "data.bar").string(), datakit::writeArchive(archive)).ok();
    }
};

// The demo set's race packs, the racers, records and event variants repeated
// `scale` times.
std::vector<datakit::ArchiveEntry> raceArchive(int scale) {
    mkdata::ProgramFolder demo = testing_support::demoSet();
    std::vector<datakit::ArchiveEntry> archive;
    for (datakit::ArchiveEntry& entry : demo.archive)
        if (entry.name.ends_with(u".pak"))
            archive.push_back(std::move(entry));
    if (scale == 1)
        return archive;
    std::erase_if(archive, [](const datakit::ArchiveEntry& entry) {
        return entry.name == mkdata::kRacerPackFile || entry.name == mkdata::kGameTablesPackFile ||
               entry.name == mkdata::kEventPackFile;
    });
    auto addPack = [&](std::u16string_view name, const std::vector<datakit::Bytes>& payloads) {
        std::vector<datakit::Bytes> entries;
        for (const datakit::Bytes& payload : payloads)
            entries.push_back(datakit::packEntry(0, payload));
        for (datakit::ArchiveEntry& part :
             datakit::packArchiveEntries(name, u".", datakit::writePack(entries)))
            archive.push_back(std::move(part));
    };
    datakit::GameTables tables;
    std::vector<datakit::Bytes> racers;
    for (int block = 0; block < 2 * scale; ++block) {
        datakit::RecordChunk chunk;
        for (int i = 0; i < 7; ++i) {
            datakit::TableRecord record;
            record.fields[0] = static_cast<std::uint8_t>(racers.size());
            chunk.records.push_back(record);
            datakit::RacerDefinition racer;
            racer.spriteSet = static_cast<std::uint8_t>(43 + i);
            racer.speed = 210;
            racer.speedSteps = {42, 84, 126, 168, 210};
            racer.timesMs = {1200, 1650, 2100, 2550, 3000};
            racers.push_back(datakit::writeRacer(racer));
        }
        tables.chunks.push_back(chunk);
    }
    for (int race = 0; race < 6; ++race)
        tables.races.push_back(
            {{static_cast<std::int8_t>(race), static_cast<std::int8_t>(race), 0, 0, 0, 0, 0, -1}});
    std::vector<datakit::Bytes> events;
    for (int track = 0; track < 6; ++track) {
        datakit::EventEntry entry;
        entry.path.resize(4);
        for (int v = 0; v < scale; ++v) {
            datakit::EventVariant variant;
            variant.row = {v % 7, 60000, 70000, 80000, 0, 3, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 6};
            variant.triggers = {0x100, 0x200};
            variant.shorts = {0, 1, 2};
            entry.variants.push_back(variant);
        }
        events.push_back(datakit::writeEventEntry(entry));
    }
    addPack(mkdata::kGameTablesPackFile, {datakit::writeGameTables(tables)});
    addPack(mkdata::kRacerPackFile, racers);
    addPack(mkdata::kEventPackFile, events);
    return archive;
}

// Every entry of the race packs that start-up reads, read plainly.
void readRawEntries(const char* pack, std::int32_t entries) {
    game::packOpen(rt::String::newFromCString(pack));
    for (std::int32_t i = 0; i < entries; ++i)
        benchmark::DoNotOptimize(game::packReadEntry(i));
    game::closeStream();
}

void startupLoad(benchmark::State& state, bool baseline) {
    const int scale = static_cast<int>(state.range(0));
    RaceFolder folder(raceArchive(scale));
    if (!folder.ready) {
        state.SkipWithError("the archive could not be written");
        return;
    }
    for (auto _ : state) {
        if (baseline) {
            readRawEntries("/tables.pak", 1);
            readRawEntries("/racers.pak", 14 * scale);
            readRawEntries("/events.pak", 6);
            readRawEntries("/tracks.pak", 6);
        } else {
            game::racerStatics().s_racerDefinitions = nullptr;
            game::loadStartupRaceData();
        }
    }
}

void BM_StartupRaceTables(benchmark::State& state) {
    startupLoad(state, false);
}
void BM_StartupRaceTablesBaseline(benchmark::State& state) {
    startupLoad(state, true);
}
BENCHMARK(BM_StartupRaceTables)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupRaceTablesBaseline)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// A 2000-segment track with every table filled.
std::vector<datakit::ArchiveEntry> bigTrackArchive() {
    datakit::TrackModel track;
    track.laneByte = 0x30;
    track.roadHalfWidth = 900;
    track.triggersPerSegment = 8;
    for (int i = 0; i < 2000; ++i) {
        datakit::TrackSegment segment;
        segment.curve = static_cast<std::int8_t>(i % 50 < 20 ? 3 : 0);
        segment.slope = static_cast<std::int8_t>((i / 40) % 5 - 2);
        segment.triggers.assign(8, static_cast<std::int16_t>(i));
        track.segments.push_back(segment);
    }
    track.hasDecor = true;
    track.objects.resize(20, {{0, 40}, {{0, {1, 2, 3}}, {1, {1, 2, 3, 4, 5, 6, 7}}}});
    track.sideProfiles.resize(4);
    track.cameraPaths.assign(3, std::vector<std::int16_t>(40));
    std::vector<datakit::Bytes> parts =
        datakit::writePack({datakit::packEntry(0, datakit::writeTrack(track))});
    return datakit::packArchiveEntries(u"tracks.pak", u".", parts);
}

void trackLoad(benchmark::State& state, bool baseline) {
    RaceFolder folder(bigTrackArchive());
    if (!folder.ready) {
        state.SkipWithError("the archive could not be written");
        return;
    }
    for (auto _ : state) {
        if (baseline) {
            readRawEntries("/tracks.pak", 1);
        } else {
            game::loadTrack(0);
            if (!game::trackStatics().s_trackLoaded)
                state.SkipWithError("the track did not load");
        }
    }
}

void BM_LoadTrack2000(benchmark::State& state) {
    trackLoad(state, false);
}
void BM_LoadTrack2000Baseline(benchmark::State& state) {
    trackLoad(state, true);
}
BENCHMARK(BM_LoadTrack2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTrack2000Baseline)->Unit(benchmark::kMillisecond);

} // namespace
