// The selection screens' zones and the racer list's stylus: where each zone
// lies, and when a tap confirms an entry.

#include "game/frontend/SelectionZones.h"
#include "game/data/Progress.h"
#include "game/race/RaceTables.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/frontend/FrontEndFixture.h"

#include <string>
#include <vector>

namespace {

struct SelectionZonesTest : frontend_testing::FrontEndTest {
    SelectionZonesTest() {
        standIn(7);
        // The player's block of 5 records and the drivers' of 3: 5 entries
        // in the grid.
        rt::ShortArray* counts = rt::newShortArray(3);
        rt::ShortArray::set(counts, 0, 5);
        rt::ShortArray::set(counts, 1, 3);
        rt::ShortArray::set(counts, 2, 8);
        game::raceTableStatics().s_racerBlockSizes = counts;
        game::initProgressStatics();
    }

    static std::vector<std::string> zones(rt::ObjectArray* table) {
        std::vector<std::string> out;
        for (std::int32_t i = 0; i < table->length(); ++i) {
            std::string text;
            for (std::int32_t v :
                 rt::IntArray::span(static_cast<rt::IntArray*>(rt::ObjectArray::get(table, i))))
                text += (text.empty() ? "" : " ") + std::to_string(v);
            out.push_back(text);
        }
        return out;
    }
};

TEST_F(SelectionZonesTest, TheGridHasAZoneForEachCarOfThePlayersBlockMadeOnce) {
    rt::ObjectArray* grid = game::buildGridZones();
    EXPECT_EQ(zones(grid), (std::vector<std::string>{"45 88 85 85", "151 88 85 85", "257 88 85 85",
                                                     "45 176 85 85", "151 176 85 85"}));
    game::raceTableStatics().s_racerBlockSizes = nullptr;
    EXPECT_EQ(game::buildGridZones(), grid);
}

TEST_F(SelectionZonesTest, EachSelectionScreenGetsItsArrowZones) {
    // Sprite 7 frame 0 is 7 wide (w); the screen is 640 x 480.
    struct Case {
        game::State state;
        std::vector<std::string> zones;
    };
    const Case cases[] = {
        {game::State::ReferenceList, {"-1 237 14 7", "628 237 14 7"}},
        {game::State::CupSelect, {"26 216 14 28", "600 216 14 28"}},
        {game::State::BonusMenu, {"26 216 14 28", "600 216 14 28"}},
        {game::State::PreRaceSelect, {"26 136 28 28", "586 136 28 28", "26 381 28 28", "586 381 28 28"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        setState(c.state, game::GameMode::LapRace);
        rt::ObjectArray* made = game::buildScreenZones();
        EXPECT_EQ(zones(made), c.zones);
        EXPECT_EQ(game::menuStatics().s_arrowZones, made);
    }
}

TEST_F(SelectionZonesTest, ATapConfirmsAnUnlockedEntryOnlyAfterItsSelectionHasSettled) {
    struct Case {
        const char* what;
        std::int32_t entry;
        std::int32_t settleMs; // between the pick and the confirming tap
        bool onConfirmRectangle;
        bool confirmed;
    };
    const Case cases[] = {
        {"the tap that picks an entry does not confirm it", 1, -1, false, false},
        {"a tap 320 ms later does", 1, 320, false, true},
        {"too soon", 1, 200, false, false},
        {"the confirm rectangle", 2, 320, true, true},
        {"a locked entry", 4, 320, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::SelectionZoneStatics& statics = game::selectionZoneStatics();
        statics = game::SelectionZoneStatics{};
        game::progressStatics().s_progressMaskA = 0x7; // entries 0 to 2
        game::resetMenu(5);
        setState(game::State::RacerList, game::GameMode::LapRace);
        std::int32_t x = 45 + 106 * (c.entry % 3) + 40;
        std::int32_t y = 88 + 88 * (c.entry / 3) + 40;
        game::loopStatics().s_frameMs = 40;
        tap(x, y);
        game::latchPointer();
        bool confirmed = game::touchListScreen(8);
        EXPECT_EQ(game::touchStatics().s_selection, c.entry);
        for (std::int32_t ms = 0; c.settleMs >= 0 && ms < c.settleMs; ms += 40) {
            game::latchPointer();
            confirmed = confirmed || game::touchListScreen(8);
        }
        if (c.settleMs >= 0) {
            // Sprite 8 frame 0 is 8 x 4: the rectangle spans (400, 296) to (408, 300).
            if (c.onConfirmRectangle)
                tap(404, 298);
            else
                tap(x, y);
            game::latchPointer();
            confirmed = game::touchListScreen(8);
        }
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(statics.s_listConfirmed, c.confirmed ? 1 : 0);
        EXPECT_EQ(statics.s_chosenRacer, c.confirmed ? c.entry : -1);
    }
}

} // namespace
