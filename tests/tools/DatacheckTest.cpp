// datacheck on the demo set and on sets broken through datakit, one broken
// invariant of each group the game's loaders rely on: each is refused,
// naming the resource and the rule.

#include "tools/datacheck/DataCheck.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "runtime/constantStrings.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Midi.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/SoundPack.h"
#include "tools/datakit/SpriteWriter.h"
#include "tools/datakit/TextTable.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/mkdata/DemoSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using mkdata::ProgramFolder;

// Puts `entries` in place of the pack `file` (every part of it).
void replacePack(ProgramFolder& folder, std::u16string_view file,
                 const std::vector<datakit::Bytes>& entries) {
    std::u16string partPrefix = std::u16string(file) + std::u16string(mkdata::kPackPartSeparatorText);
    std::erase_if(folder.archive, [&](const datakit::ArchiveEntry& entry) {
        return entry.name == file || entry.name.starts_with(partPrefix);
    });
    for (datakit::ArchiveEntry& part :
         datakit::packArchiveEntries(file, mkdata::kPackPartSeparatorText, datakit::writePack(entries)))
        folder.archive.push_back(std::move(part));
}

void replaceEntry(ProgramFolder& folder, std::u16string_view name, datakit::Bytes bytes) {
    for (datakit::ArchiveEntry& entry : folder.archive)
        if (entry.name == name)
            entry.bytes = std::move(bytes);
}

// Every track of the demo set, with `edit` made to track 2.
void editTrack(ProgramFolder& folder, const std::function<void(datakit::TrackModel&)>& edit) {
    std::vector<datakit::Bytes> tracks;
    for (int track = 0; track < mkdata::kDemoTrackCount; ++track) {
        datakit::TrackModel model = mkdata::demoTrack(track);
        if (track == 2)
            edit(model);
        tracks.push_back(datakit::packEntry(0, datakit::writeTrack(model)));
    }
    replacePack(folder, mkdata::kTrackPackFile, tracks);
}

void editConstant(ProgramFolder& folder, std::int32_t number, std::u16string text) {
    std::vector<datakit::ConstantText> texts = mkdata::demoConstantTexts();
    for (datakit::ConstantText& entry : texts)
        if (entry.number == number)
            entry.text = text;
    replaceEntry(folder, u"constants.bin", datakit::writeConstantTable(texts));
}

void editPromo(ProgramFolder& folder, const std::function<void(datakit::PromoModel&)>& edit) {
    datakit::PromoModel model = mkdata::demoPromoModel();
    edit(model);
    replaceEntry(folder, mkdata::kPromoFile, datakit::writePromo(model));
}

// The demo set's text tables with text `id` of table `entry` set to `text`.
void editText(ProgramFolder& folder, int entry, std::size_t id, std::u16string text) {
    std::vector<datakit::Bytes> tables;
    for (int table = 0; table < mkdata::kTextEntryCount; ++table) {
        std::vector<std::u16string> texts = mkdata::demoTexts(table);
        if (table == entry) {
            texts.resize(std::max(texts.size(), id + 1));
            texts[id] = std::move(text);
        }
        tables.push_back(datakit::packEntry(0, datakit::writeTextTable(texts)));
    }
    replacePack(folder, mkdata::kTextPackFile, tables);
}

std::vector<datacheck::Finding> check(const ProgramFolder& folder) {
    testing_support::TemporaryFolder root("vorlax-datacheck");
    EXPECT_TRUE(mkdata::writeProgramFolder(folder, root.path() / "set").ok());
    return datacheck::checkDataSet(root.path() / "set");
}

std::string lines(const std::vector<datacheck::Finding>& findings) {
    std::string out;
    for (const datacheck::Finding& finding : findings)
        out += datacheck::describe(finding) + "\n";
    return out;
}

// The game's own progress lines, the sound load's among them, pass; a line
// that tells of something skipped or replaced does not.
TEST(Datacheck, TellsTheGamesProgressLinesFromWarnings) {
    struct Row {
        const char* line;
        bool progress;
    };
    for (const Row& row :
         {Row{"state 4 -> 5", true}, Row{"text pack /texts.pak: entry 2 loaded", true},
          Row{"sounds 0 to 2", true}, Row{"sounds 18 to 23", true}, Row{"all sounds loaded", true},
          Row{"sound engine: all 24 sounds stopped", true}, Row{"sounds 0 to 2 not loaded", false},
          Row{"sound 3: no such entry", false}, Row{"sound engine: fault in sound 3", false},
          Row{"race over: place 2 of 6, time 3:31.642, laps 3, best lap 1:07.413, winner 3:20.925", true}})
        EXPECT_EQ(datacheck::isProgressLine(row.line), row.progress) << row.line;
}

TEST(Datacheck, TheDemoSetIsSound) {
    std::vector<datacheck::Finding> findings = check(testing_support::demoSet());
    EXPECT_TRUE(findings.empty()) << lines(findings);
}

struct Mutation {
    const char* name;
    void (*edit)(ProgramFolder&);
    const char* resource; // a part of the finding's resource
    const char* rule;
    const char* detail = nullptr; // a part of the finding's detail, when set
};

const Mutation kMutations[] = {
    {"a pack name left empty", [](ProgramFolder& f) { editConstant(f, rt::constants::kZonePack, u""); },
     "constant string", "named-pack"},
    {"the text encoding renamed",
     [](ProgramFolder& f) { editConstant(f, rt::constants::kTextEncoding, u"latin1"); }, "constant string",
     "constant-value"},
    {"a track pack of five tracks",
     [](ProgramFolder& f) {
         std::vector<datakit::Bytes> tracks;
         for (int track = 0; track < 5; ++track)
             tracks.push_back(datakit::packEntry(0, datakit::writeTrack(mkdata::demoTrack(track))));
         replacePack(f, mkdata::kTrackPackFile, tracks);
     },
     "tracks.pak", "pack-entries"},
    {"a car with steering frames only",
     [](ProgramFolder& f) {
         auto sprites = mkdata::demoSprites();
         sprites[44]->frames.resize(10);
         replacePack(f, mkdata::kSpritePackFile, datakit::spritePackEntries(sprites));
     },
     "sprite 44", "car-frames"},
    {"a gate's animation without frames",
     [](ProgramFolder& f) {
         auto sprites = mkdata::demoSprites();
         sprites[game::kTrackEffectSprite]->anims[game::kTimedGateAnim].clear();
         replacePack(f, mkdata::kSpritePackFile, datakit::spritePackEntries(sprites));
     },
     "sprite 25 animation 13", "track-effects"},
    {"a text with a character no font has",
     [](ProgramFolder& f) { editText(f, mkdata::kMenuTexts, 300, u"Caf\u00e9"); }, "text table 2",
     "font-coverage"},
    {"an after-race answer left empty", [](ProgramFolder& f) { editText(f, mkdata::kRaceTexts, 93, u""); },
     "text table 3 text 93", "text-missing"},
    {"a main menu item wider than its item",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 150, u"Playthechampionshipfromthestartinglineonward");
     },
     "text table 2 text 150", "text-width"},
    {"an options label wider than its item",
     [](ProgramFolder& f) { editText(f, mkdata::kMenuTexts, 302, u"Reset every cup, record and car"); },
     "text table 2 text 302", "text-lines"},
    {"a question title that fits the screen but not its box",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 25, u"Are you really sure you want to leave the rally right now?");
     },
     "text table 2 text 25", "text-lines"},
    {"a race help page too long for its box",
     [](ProgramFolder& f) {
         std::u16string page;
         for (int i = 0; i < 8; ++i)
             page += u"Steer with the round arrow buttons at the sides of the screen. ";
         editText(f, mkdata::kRaceTexts, 25, page);
     },
     "text table 3 text 25", "text-lines"},
    {"a one-line question title that wraps",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 26,
                  u"New here? The Desert Sprint is short and friendly and it teaches the bends, the boost "
                  u"pads and the item boxes before the real championship begins; try it first?");
     },
     "text table 2 text 26", "text-lines"},
    // Each screen's boxes, each named by the finding.
    {"a track name wider than its band",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, mkdata::kFirstTrackNameText + 2,
                  u"Kilimanjaroforestcircuitgrandloopofthenorth");
     },
     "text table 2 text", "text-width", "event screen's track band"},
    {"an event description of two lines",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 177, u"Race three laps against five rivals and finish in front");
     },
     "text table 2 text 177", "text-lines", "event screen's type band"},
    {"a goal label that runs into its value",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 174, u"Beatthetargettimeofthetrackinthisevent");
     },
     "text table 2 text 174", "text-width", "event screen's goal band"},
    {"a lock note wider than the track's picture",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 200, u"Lockeduntilyouwinthecupandtherallyofthecup");
     },
     "text table 2 text 200", "text-width", "event screen's lock note"},
    {"a racer name that runs into the time column",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, mkdata::kFirstRacerNameText + 3, u"Wispwispwispwisp");
     },
     "text table 2 text", "text-width", "results table's name column"},
    {"a racer name wider than its plate",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, mkdata::kFirstRacerNameText + 3,
                  u"Wispwispwispwispwispwispwispwisp");
     },
     "text table 2 text", "text-width", "car list's name plate"},
    {"a gauge label that reaches into the grid",
     [](ProgramFolder& f) { editText(f, mkdata::kMenuTexts, 286, u"Acceleration0to100"); },
     "text table 2 text 286", "text-width", "car list's gauge labels"},
    {"a car's lock note wider than the detail column",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 288, u"Winthecupandthenthechampionshiptounlockit");
     },
     "text table 2 text 288", "text-width", "car list's lock note"},
    {"a cup's tracks running under the arrows",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 69,
                  u"Dune Loop, Harbour Run, Pine Pass, Glacier Gate, Canyon Climb and Night City");
     },
     "text table 2 text 69", "text-lines", "cup screen"},
    {"a cup name wider than its picture",
     [](ProgramFolder& f) { editText(f, mkdata::kMenuTexts, 48, u"Professionalsonlyseries"); },
     "text table 2 text 48", "text-width", "career screen's picture names"},
    {"a loading prompt wider than the screen",
     [](ProgramFolder& f) {
         editText(
             f, mkdata::kLoadingTexts, 2,
             u"Tap anywhere on the screen to start the race when you are ready for the lights to go out");
     },
     "text table 1 text 2", "text-lines", "loading screen prompt"},
    {"an event title wider than the loading screen",
     [](ProgramFolder& f) {
         editText(f, mkdata::kMenuTexts, 152,
                  u"Timetrialagainsttheclockandthemedalsofthegoldsilverandbronze");
     },
     "text table 2 text 152", "text-width", "loading screen event titles"},
    {"a sound state that pushes the sound item past its answer",
     [](ProgramFolder& f) { editText(f, mkdata::kRaceTexts, 64, u": Off for the rest of the race"); },
     "text table 3 text 59", "text-width", "pause menu's sound item"},
    {"fog that starts at the far end",
     [](ProgramFolder& f) { editTrack(f, [](datakit::TrackModel& t) { t.headerValue = 15360; }); },
     "tracks.pak entry 2", "fog-start"},
    {"a surface beyond the surface table",
     [](ProgramFolder& f) { editTrack(f, [](datakit::TrackModel& t) { t.segments[40].surface = 7; }); },
     "tracks.pak entry 2", "surface-index"},
    {"a camera path of one point",
     [](ProgramFolder& f) {
         editTrack(f, [](datakit::TrackModel& t) { t.cameraPaths = {{0, 300, 90, 10}}; });
     },
     "camera path 0", "camera-path"},
    {"two camera points on one segment",
     [](ProgramFolder& f) {
         editTrack(f, [](datakit::TrackModel& t) { t.cameraPaths = {{4, 300, 90, 10, 4, 240, 45, 12}}; });
     },
     "camera path 0", "camera-path"},
    {"two camera points of speed 0",
     [](ProgramFolder& f) {
         editTrack(f, [](datakit::TrackModel& t) { t.cameraPaths = {{0, 300, 90, 0, 8, 240, 45, 0}}; });
     },
     "camera path 0", "camera-path"},
    {"a road picture id past the race image pack",
     [](ProgramFolder& f) { editTrack(f, [](datakit::TrackModel& t) { t.imageIds.push_back(200); }); },
     "raceimages.pak entry 200", "road-picture"},
    {"a backdrop in an empty sprite slot",
     [](ProgramFolder& f) {
         const auto sprites = mkdata::demoSprites();
         const auto empty = std::find(sprites.begin() + 1, sprites.end(), std::nullopt) - sprites.begin();
         ASSERT_LT(empty, game::kSpriteCount);
         editTrack(f,
                   [empty](datakit::TrackModel& t) { t.backdropSprite = static_cast<std::int8_t>(empty); });
     },
     "sprites.pak entry", "backdrop-sprite"},
    {"a track object marking a slot of the second table that has no sprite",
     [](ProgramFolder& f) {
         editTrack(f, [](datakit::TrackModel& t) {
             t.objects.at(0).shapes.push_back({6, {50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
         });
     },
     "objects.pak entry 50", "object-sprite"},
    {"a module larger than the pixel buffer",
     [](ProgramFolder& f) {
         auto sprites = mkdata::demoSprites();
         sprites[14]->maxModulePixels = SIZE_MAX;
         sprites[14]->frames.push_back(
             {.fills = {},
              .images = {datakit::paintImage(0, 0, 300, 300, [](int, int) { return 1; })},
              .boxes = {}});
         replacePack(f, mkdata::kSpritePackFile, datakit::spritePackEntries(sprites));
     },
     "sprite 14 module", "module-size"},
    {"a sprite whose frame-module names a module it does not have",
     [](ProgramFolder& f) {
         std::vector<datakit::Bytes> entries = datakit::spritePackEntries(mkdata::demoSprites());
         datakit::SpriteModel model;
         model.modules.resize(1);
         model.modules[0].type = 2;
         model.modules[0].width = model.modules[0].height = 4;
         model.fmodules.resize(1);
         model.fmodules[0].module = 1;
         model.frames.resize(1);
         model.frames[0].fmoduleCount = 1;
         entries[14] = datakit::packEntry(0, datakit::writeSprite(model));
         replacePack(f, mkdata::kSpritePackFile, entries);
     },
     "sprite 14", "sprite-structure", "frame-module 0 names module 1 of 1"},
    {"a race of more racers than there are",
     [](ProgramFolder& f) {
         std::vector<datakit::Bytes> events;
         for (int track = 0; track < mkdata::kDemoTrackCount; ++track) {
             datakit::EventEntry event = mkdata::demoEvent(track);
             if (track == 4)
                 event.variants[0].row[16] = 40;
             events.push_back(datakit::packEntry(0, datakit::writeEventEntry(event)));
         }
         replacePack(f, mkdata::kEventPackFile, events);
     },
     "events.pak entry 4", "racer-count"},
    {"wave sounds typed as MIDI",
     [](ProgramFolder& f) {
         replaceEntry(f, mkdata::kSoundContentTypesFile,
                      datakit::writeContentTypes({"audio/midi", "audio/x-wav"}));
     },
     "sound 0", "content-type"},
    {"a MIDI song, typed as MIDI, where the engine plays WAVE",
     [](ProgramFolder& f) {
         std::vector<datakit::SoundEntry> sounds;
         for (datakit::Bytes& wave : mkdata::demoSoundWaves())
             sounds.push_back({mkdata::kDemoWaveContentType, std::move(wave)});
         sounds[5] = {2, mkdata::demoSongMidi(mkdata::kMenuSong)};
         replacePack(f, mkdata::kSoundPackFile, datakit::soundPackEntries(sounds));
     },
     "sound 5", "engine-content-type"},
    {"a glyph sheet without a palette",
     [](ProgramFolder& f) {
         editPromo(f, [](datakit::PromoModel& m) { m.font.sheet = datakit::writePng(1, 1, {0xFF000000}); });
     },
     "promotion file", "glyph-sheet-palette"},
    {"more promotion texts than text bytes",
     [](ProgramFolder& f) {
         editPromo(f, [](datakit::PromoModel& m) { m.languages[1].texts = {"", "", ""}; });
     },
     "promotion file language 1", "text-count"},
    {"a glyph above the highest code",
     [](ProgramFolder& f) { editPromo(f, [](datakit::PromoModel& m) { m.font.highestCode = 100; }); },
     "promotion file", "glyph-code"},
    {"a space glyph 12 px high",
     [](ProgramFolder& f) {
         editPromo(f, [](datakit::PromoModel& m) {
             for (datakit::PromoGlyph& glyph : m.font.glyphs)
                 if (glyph.code == ' ')
                     glyph.height = 12;
         });
     },
     "promotion file", "space-glyph"},
    {"a space glyph 25 px high",
     [](ProgramFolder& f) {
         editPromo(f, [](datakit::PromoModel& m) {
             for (datakit::PromoGlyph& glyph : m.font.glyphs)
                 if (glyph.code == ' ')
                     glyph.height = 25;
         });
     },
     "promotion file", "space-glyph"},
    {"a promotion text of ten line ends",
     [](ProgramFolder& f) {
         editPromo(
             f, [](datakit::PromoModel& m) { m.languages[0].texts[0] = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk"; });
     },
     "promotion file language 0 text 0", "text-lines"},
};

class DatacheckMutation : public testing::TestWithParam<Mutation> {};

TEST_P(DatacheckMutation, IsRefusedNamingTheResourceAndTheRule) {
    ProgramFolder folder = testing_support::demoSet();
    GetParam().edit(folder);
    std::vector<datacheck::Finding> findings = check(folder);
    bool named = false;
    for (const datacheck::Finding& finding : findings)
        named |= finding.rule == GetParam().rule &&
                 finding.resource.find(GetParam().resource) != std::string::npos &&
                 (!GetParam().detail || finding.detail.find(GetParam().detail) != std::string::npos);
    EXPECT_TRUE(named) << GetParam().name << "\n" << lines(findings);
}

INSTANTIATE_TEST_SUITE_P(OnePerInvariant, DatacheckMutation, testing::ValuesIn(kMutations),
                         [](const testing::TestParamInfo<Mutation>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

} // namespace
