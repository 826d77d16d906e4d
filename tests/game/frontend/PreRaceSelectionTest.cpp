// The pre-race selection over small race tables: which event it starts on,
// where a choice leads, what a locked event and data that leads nowhere
// allow, and the lap option it leaves for the race.

#include "game/frontend/PreRaceSelection.h"
#include "classlib/lang/StringBuffer.h"
#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/frontend/Championship.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceView.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

#include <optional>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace pre_race_selection_test {

namespace {

using framework_testing::recordMessage;

constexpr std::int32_t kFireKey = 11;
constexpr std::int32_t kBackKey = 19;

rt::IntArray* ints(std::initializer_list<std::int32_t> values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::int32_t v : values)
        rt::IntArray::set(array, i++, v);
    return array;
}

rt::ObjectArray* objects(std::initializer_list<rt::Object*> values) {
    rt::ObjectArray* array = rt::newObjectArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (rt::Object* v : values)
        rt::ObjectArray::set(array, i++, v);
    return array;
}

rt::ByteArray* pair(std::int32_t row, std::int32_t variant) {
    rt::ByteArray* p = rt::newByteArray(2);
    rt::ByteArray::set(p, 0, static_cast<std::int8_t>(row));
    rt::ByteArray::set(p, 1, static_cast<std::int8_t>(variant));
    return p;
}

rt::IntArray* eventRowNamed(std::int32_t nameIndex) {
    rt::IntArray* row = rt::newIntArray(17);
    rt::IntArray::set(row, 4, nameIndex);
    return row;
}

struct PreRaceSelectionTest : frontend_testing::FrontEndTest {
    PreRaceSelectionTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 0;
        game::initProgressStatics();
        game::registerPreRaceSelection();
        game::setStateHandler(game::State::Loading, recordMessage<game::State::Loading>);
        // Race rows 0 to 2 on tracks 0, 1 and 9 (9: outside the tables).
        rt::ShortArray* rows = rt::newShortArray(3 * 8);
        const std::int16_t tracks[] = {0, 1, 9};
        for (std::int32_t r = 0; r < 3; ++r) {
            rt::ShortArray::set(rows, 8 * r, tracks[r]);
            rt::ShortArray::set(rows, 8 * r + 2, static_cast<std::int16_t>(10 + r));
        }
        game::raceTableStatics().s_themeTable = rows;
        game::EventStatics& events = game::eventStatics();
        // Track 1's variant 1 names an index past its name table.
        events.s_eventRows =
            objects({objects({eventRowNamed(0)}), objects({eventRowNamed(0), eventRowNamed(5)}), nullptr,
                     nullptr, nullptr, nullptr});
        events.s_pathFields[0] = objects({ints({200}), ints({201}), nullptr, nullptr, nullptr, nullptr});
        // Mode 0: rows 0, 1 and 0 again; 1: row 1; 2: a row past the table; 3: none;
        // 4: a track outside the tables; 5: a name past the name table.
        events.s_eventsByType = objects({objects({pair(0, 0), pair(1, 0), pair(0, 0)}), objects({pair(1, 0)}),
                                         objects({pair(7, 0)}), objects({}), objects({pair(2, 0)}),
                                         objects({pair(1, 1)}), objects({})});
        game::initEventSlots();
        game::progressStatics().s_progressMaskB = 0b01;
    }

    static std::int32_t item(std::int32_t i) {
        return rt::ShortArray::get(game::touchStatics().s_menuItems, i);
    }
};

TEST_F(PreRaceSelectionTest, AChoiceLeadsThroughTheLoaderOnlyForAnUnlockedEventThatLeadsSomewhere) {
    struct Case {
        const char* what;
        game::GameMode mode;
        std::int32_t remembered, maskB;
        std::optional<game::State> next; // none: nothing chosen
        std::int32_t track;              // the slot's track afterwards (-1: left as it was)
    } cases[] = {
        {"mode 0 starts with the flyover", game::GameMode::LapRace, 0, 0b01, game::State::TrackFlyover, 0},
        {"a remembered event past the list starts on event 0", game::GameMode::LapRace, 9, 0b01,
         game::State::TrackFlyover, 0},
        {"other modes start with the countdown", game::GameMode::TimeTrial, 0, 0b01,
         game::State::RaceCountdown, 1},
        {"a locked event is shown but not chosen", game::GameMode::LapRace, 1, 0b01, std::nullopt, 1},
        {"mask 0b101 unlocks the third event", game::GameMode::LapRace, 2, 0b101, game::State::TrackFlyover,
         0},
        {"and not the second", game::GameMode::LapRace, 1, 0b101, std::nullopt, 1},
        {"a race row past the table", game::GameMode::Collection, 0, 0b01, std::nullopt, -1},
        {"a mode without events", game::GameMode::Score, 0, 0b01, std::nullopt, -1},
        {"a track outside the tables", game::GameMode::StopAndGo, 0, 0b01, std::nullopt, -1},
        {"a name index past the name table", game::GameMode::Points, 0, 0b01, std::nullopt, -1},
    };
    for (const Case& c : cases) {
        game::stateStatics().s_gameMode = c.mode;
        game::progressStatics().s_progressMaskB = c.maskB;
        game::rememberSelection(game::State::PreRaceSelect, c.remembered);
        game::initEventSlots();
        rt::ByteArray::set(game::eventSlotStatics().s_eventTrack, 0, -1);
        open(game::State::PreRaceSelect);
        frame(kFireKey);
        const bool chosen = stacked(game::State::Loading) == 1 || state() == game::State::Loading;
        EXPECT_EQ(chosen, c.next.has_value()) << c.what;
        if (c.next) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, *c.next) << c.what;
            EXPECT_EQ(game::stateStatics().s_loadKind, 2) << c.what;
            EXPECT_EQ(game::preRaceStatics().s_eventSelected, 1) << c.what;
        } else {
            EXPECT_EQ(state(), game::State::PreRaceSelect) << c.what;
            EXPECT_EQ(game::touchStatics().s_leftSoftKey, -1) << c.what;
            // Back works whatever the data.
            frame(kBackKey);
            EXPECT_NE(state(), game::State::PreRaceSelect) << c.what;
        }
        EXPECT_EQ(rt::ByteArray::get(game::eventSlotStatics().s_eventTrack, 0), c.track) << c.what;
        while (game::stateStatics().s_stateStackDepth > 1)
            game::popState(), (void)game::applyStateChange();
        game::preRaceStatics().s_eventSelected = 0;
    }
}

TEST_F(PreRaceSelectionTest, TheLapOptionStartsAtThreeLapsAndIsLeftForTheRace) {
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    rt::ShortArray::set(game::rememberedSelections(), game::kLapOptionSlot, 0);
    open(game::State::PreRaceSelect);
    EXPECT_EQ(item(1), game::kDefaultLapOption);
    rt::ShortArray::set(game::touchStatics().s_menuItems, 1, 4); // five laps
    frame(kBackKey);
    EXPECT_EQ(rt::ShortArray::get(game::rememberedSelections(), game::kLapOptionSlot), 4);

    EXPECT_EQ(game::raceSeams().lapOption(), -1) << "no event chosen here: the row's laps";
    game::preRaceStatics().s_eventSelected = 1;
    EXPECT_EQ(game::raceSeams().lapOption(), 4) << "what the race reads";
    game::preRaceStatics().s_eventSelected = 0;

    // Other modes have no lap option and leave it alone.
    game::stateStatics().s_gameMode = game::GameMode::TimeTrial;
    open(game::State::PreRaceSelect);
    EXPECT_EQ(game::touchStatics().s_menuCount, 1);
    frame(kBackKey);
    EXPECT_EQ(rt::ShortArray::get(game::rememberedSelections(), game::kLapOptionSlot), 4);
    EXPECT_EQ(game::raceSeams().lapOption(), -1);
}

// The goal texts of the current slot's event by game mode: its target (the
// event row's first target value) as a time, as a number with the text's
// thousands separator, or the race type's name; the shared text buffer's
// earlier contents never show.
TEST_F(PreRaceSelectionTest, TheGoalTextsShowTheEventsTargetByGameMode) {
    rt::ObjectArray* texts = rt::newObjectArray(200);
    for (const auto& [id, text] : {std::pair{151, "Circuit"}, std::pair{153, "Knockout"},
                                   std::pair{174, "Time"}, std::pair{175, "Points"}, std::pair{176, ",."}})
        rt::Array::setRef(texts, id, rt::String::newFromCString(text));
    game::textStatics().s_textCache = texts;
    game::textStatics().s_textCount = 200;
    // Track 0's variant 0: its target 83,456 ms; a type-2 event.
    rt::IntArray::set(
        static_cast<rt::IntArray*>(rt::ObjectArray::get(
            static_cast<rt::ObjectArray*>(rt::ObjectArray::get(game::eventStatics().s_eventRows, 0)), 0)),
        1, 83456);
    game::EventSlotStatics& slots = game::eventSlotStatics();
    rt::ByteArray::set(slots.s_eventTrack, 0, 0);
    rt::ByteArray::set(slots.s_eventVariant, 0, 0);
    game::setSlotEventType(0, game::EventType::Collection);
    struct Case {
        game::GameMode mode;
        const char *goal, *value;
    };
    for (const Case& c :
         {Case{game::GameMode::LapRace, "Knockout", ""}, Case{game::GameMode::TimeTrial, "Time", "1:23.450"},
          Case{game::GameMode::StopAndGo, "Time", "1:23.450"},
          Case{game::GameMode::Points, "Points", "83,456"},
          Case{game::GameMode::Collection, "Knockout", ""}}) {
        game::stateStatics().s_gameMode = c.mode;
        game::startupStatics().s_textBuffer = rt::make<lib::StringBuffer>(16);
        game::startupStatics().s_textBuffer->append(rt::String::newFromCString("stale"));
        game::buildRaceGoalTexts();
        auto text = [](std::int32_t i) {
            auto* string =
                static_cast<rt::String*>(rt::ObjectArray::get(game::preRaceStatics().s_goalTexts, i));
            return string ? string->toUtf8() : std::string("(null)");
        };
        EXPECT_EQ(text(0), c.goal) << "mode " << c.mode;
        EXPECT_EQ(text(1), c.value) << "mode " << c.mode;
    }
}

// The bands under the event's texts are translucent black over the
// screen: the picture behind them shows through, darkened.
TEST_F(PreRaceSelectionTest, TheTextBandsDarkenThePictureBehindThem) {
    platform::javax_microedition_lcdui_Image* image = whiteScreen();
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    open(game::State::PreRaceSelect);
    const std::vector<std::int32_t> argb = framework_testing::pixels(image);
    const std::int32_t band = argb[static_cast<std::size_t>(125 * 640 + 335)] & 0xFFFFFF;
    EXPECT_GT(band & 0xFF, 0x20) << std::hex << band;
    EXPECT_LT(band & 0xFF, 0x60) << std::hex << band;
    EXPECT_EQ(band >> 16, band & 0xFF) << "grey: black over white";
}

// The after-race menu's next race names the event after the finished one;
// the next race's load sets that event up instead of the same race again,
// once. An event the data cannot lead to leaves the slot as it was.
TEST_F(PreRaceSelectionTest, TheNextRaceLoadsTheEventTheAfterRaceMenuChose) {
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::raceResultsStatics().s_championship = 0;
    ASSERT_TRUE(game::writeModeEvent(game::GameMode::LapRace, 0));
    game::EventSlotStatics& slots = game::eventSlotStatics();
    game::raceMenuStatics().s_nextTrack = 1;
    game::setupNextRaceEvent();
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent), 1);
    EXPECT_EQ(game::raceMenuStatics().s_nextTrack, -1);

    game::raceMenuStatics().s_nextTrack = 7; // past the mode's events
    game::setupNextRaceEvent();
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent), 1);
    EXPECT_EQ(game::raceMenuStatics().s_nextTrack, -1);
}

} // namespace

} // namespace pre_race_selection_test
