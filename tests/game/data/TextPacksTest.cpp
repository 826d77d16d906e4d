// Text packs: a table loaded from a pack entry replaces every loaded text,
// a load that fails leaves none, packed and slot-numbered entries read
// through the same loader, and the demo set holds every text the game asks
// for.

#include "game/data/TextPacks.h"
#include "game/data/EventSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/PreRaceSelection.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceRelease.h"
#include "tests/game/data/DataFixture.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/LzmaWriter.h"
#include "tools/datakit/TextTable.h"

#include <string>
#include <vector>

namespace {

using data_testing::DataTest;
using datakit::Bytes;

std::string textOf(std::int32_t id) {
    rt::String* text = game::getString(id);
    return text ? text->toUtf8() : "(null)";
}

struct TextPacksTest : DataTest {
    // 0 and 1 two tables, 2 a table that claims more texts than it holds,
    // 3 an empty entry, 4 a table packed by LZMA, 5 a table of pack number 2
    // (the multi-pack form).
    TextPacksTest() {
        Bytes broken = datakit::writeTextTable(std::vector<std::u16string>{u"x"}, {.count = 40});
        std::vector<Bytes> entries = {
            datakit::packEntry(0, datakit::writeTextTable(std::vector<std::u16string>{u"Go", u"Stop"})),
            datakit::packEntry(0,
                               datakit::writeTextTable(std::vector<std::u16string>{u"Alpha", u"", u"Gamma"})),
            datakit::packEntry(0, broken),
            {},
            datakit::packEntry(127, datakit::LzmaWriter{}.write(
                                        datakit::writeTextTable(std::vector<std::u16string>{u"Düne"}))),
            datakit::packEntry(
                0, datakit::writeTextTable(std::vector<std::u16string>{u"Slot", u"Two"}, {.packNumber = 2})),
        };
        putPack("t.pak", datakit::writePack(entries, {0, 3}));
        installEncoding();
    }
    static void installEncoding() { game::startupStatics().s_textEncoding = text("UTF-8"); }
    static bool load(const char* pack, std::int32_t entry) { return game::loadTextPack(text(pack), entry); }
};

TEST_F(TextPacksTest, AnEntryReplacesEveryLoadedTextAndTheStreamIsClosed) {
    ASSERT_TRUE(load("t.pak", 1));
    EXPECT_EQ(textOf(0), "Alpha");
    EXPECT_EQ(textOf(1), "(null)"); // an empty text
    EXPECT_EQ(textOf(2), "Gamma");
    EXPECT_EQ(game::streamStatics().s_packStream, nullptr);
    EXPECT_TRUE(log.contains("text pack t.pak: entry 1 loaded"));

    ASSERT_TRUE(load("t.pak", 0));
    EXPECT_EQ(textOf(1), "Stop");
    log.clear();
    EXPECT_EQ(textOf(2), "(null)") << "the first table is gone";
    EXPECT_TRUE(log.contains("no loaded text has id 2"));
}

TEST_F(TextPacksTest, AFailedLoadLeavesNoTextAndSaysSo) {
    struct Case {
        const char* what;
        const char* pack;
        std::int32_t entry;
    };
    const Case cases[] = {
        {"missing pack", "gone.pak", 0},
        {"entry past the pack", "t.pak", 9},
        {"count past the entry", "t.pak", 2},
        {"empty entry", "t.pak", 3},
        {"packed entry with packing off", "t.pak", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(load("t.pak", 1));
        log.clear();
        EXPECT_FALSE(load(c.pack, c.entry));
        EXPECT_EQ(game::textStatics().s_textCount, 0);
        EXPECT_EQ(game::textStatics().s_textOffsets, nullptr);
        EXPECT_EQ(game::streamStatics().s_packStream, nullptr);
        EXPECT_TRUE(log.contains("entry " + std::to_string(c.entry) + " not loaded")) << log.lines().back();
    }
}

TEST_F(TextPacksTest, PackedAndSlotNumberedEntriesReadThroughTheSameLoader) {
    game::config().s_packLzma = 1;
    ASSERT_TRUE(load("t.pak", 4));
    EXPECT_EQ(textOf(0), "Düne");

    game::config().s_multiTextPacks = 1;
    ASSERT_TRUE(load("t.pak", 5));
    EXPECT_EQ(rt::IntArray::get(game::textStatics().s_slotPack, 5), 2);
    EXPECT_EQ(textOf(2 << 10 | 1), "Two");
    // A failed load into another slot leaves this one alone.
    EXPECT_FALSE(load("t.pak", 3));
    EXPECT_EQ(textOf(2 << 10 | 0), "Slot");
}

TEST(DemoTextPack, HoldsEveryTextTheGameAsksFor) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    // State 1 names the text pack; state 2 loads its first table on the
    // update after its first paint.
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(game.frame());
    EXPECT_TRUE(game.log.contains("text pack /texts.pak: entry 0 loaded"));
    EXPECT_EQ(textOf(1), "Continue");
    for (std::int32_t label = 0; label < game::kSoftKeyLabelCount; ++label)
        EXPECT_NE(game::getSoftKeyLabel(label), nullptr) << "soft-key label " << label;

    rt::String* pack = game::startupStatics().s_textPackName;
    for (std::int32_t entry : {mkdata::kMenuTexts, mkdata::kRaceTexts}) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        ASSERT_TRUE(game::loadTextPack(pack, entry));
        game.log.clear();
        game::buildSoftKeyLabels();
        for (std::int32_t label = 0; label < game::kSoftKeyLabelCount; ++label)
            EXPECT_NE(game::getSoftKeyLabel(label), nullptr) << "soft-key label " << label;
        // The front end reads the menu table, the race its own: the pause
        // menus are the race's, the other menus and screens the front end's.
        const bool race = entry == mkdata::kRaceTexts;
        for (std::int32_t menu = race ? game::kPauseMenu : 0;
             menu < (race ? game::kMenuTableCount : game::kPauseMenu); ++menu) {
            for (std::int32_t row : {game::kMenuTexts, game::kMenuThird}) {
                for (std::int32_t id : rt::IntArray::span(game::menuRow(menu, row)))
                    EXPECT_NE(game::getString(id), nullptr) << "menu " << menu << " text " << id;
            }
        }
        if (!race) {
            // The question states, titles and prompts of the front-end screens.
            for (std::int32_t id : {9, 11, 12, 16, 22, 25, 26, 27, 46, 150, 186, 192, 270})
                EXPECT_NE(game::getString(id), nullptr) << "screen text " << id;
            // The goal texts of every game mode, and of every race type for
            // the modes that name the race's type.
            game::initEventSlots();
            for (game::GameMode mode : {game::GameMode::LapRace, game::GameMode::TimeTrial,
                                        game::GameMode::StopAndGo, game::GameMode::Points}) {
                // The types of the game modes' events.
                for (std::int32_t type = 0; type <= game::eventTypeNumber(game::EventType::Guided); ++type) {
                    game::stateStatics().s_gameMode = mode;
                    game::setSlotEventType(game::eventSlotStatics().s_currentEvent,
                                           game::eventTypeFromNumber(type));
                    game::buildRaceGoalTexts();
                    EXPECT_NE(rt::ObjectArray::get(game::preRaceStatics().s_goalTexts, 0), nullptr)
                        << "mode " << mode << ", race type " << type;
                }
            }
            // Each race's name, which the pre-race selection shows: its
            // track's name, through the name index of its event row.
            for (std::int32_t row = 0; row < mkdata::kDemoTrackCount; ++row) {
                game::setupEventSlots(row, false);
                auto* name =
                    static_cast<rt::String*>(rt::ObjectArray::get(game::eventSlotStatics().s_eventName, 0));
                EXPECT_EQ(name ? name->toUtf8() : "(null)", textOf(mkdata::kFirstTrackNameText + row))
                    << "race " << row;
            }
        }
        EXPECT_FALSE(game.log.contains("no loaded text")) << game.log.lines().front();
    }
}

} // namespace
