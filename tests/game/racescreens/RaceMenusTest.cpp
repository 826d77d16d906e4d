// The states over a race: the pause menu's two lists and where it opens,
// the yes/no questions' answers, the after-race menu's offers, and the
// exit of the pause menu into the race.

#include "game/racescreens/RaceMenus.h"
#include "game/data/Progress.h"
#include "game/framework/Keys.h"
#include "game/framework/Seams.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Touch.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/racepaint/HudFixture.h"

namespace {

using hud_testing::HudTest;

struct RaceMenusTest : HudTest {
    RaceMenusTest() {
        game::makeKeyStateArrays();
        game::initProgressStatics();
        hud_testing::installPauseMenuTables();
    }

    // The stack holds `states` from the bottom; the last is current.
    static void stack(std::initializer_list<game::State> states) {
        game::initStateMachine();
        game::StateStatics& s = game::stateStatics();
        s.s_stateStackDepth = 0;
        for (game::State state : states)
            rt::IntArray::set(s.s_stateStack, s.s_stateStackDepth++, game::stateNumber(state));
        s.s_state = *(states.end() - 1);
        s.s_nextState = game::State::Quit;
    }
    // Key 5 released this frame: the highlighted answer is chosen.
    static void choose(void (*handler)(std::int32_t), std::int32_t answer) {
        game::menuStatics().s_questionAnswer = answer;
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, -2);
        handler(game::kUpdate);
        rt::ByteArray::set(game::keyStatics().s_keyState, 5, 0);
    }
};

TEST_F(RaceMenusTest, ThePauseMenuHasSixItemsOrFiveWithoutRestartAndOpensOnItsKeptItem) {
    struct Case {
        bool championship;
        game::GameMode mode;
        std::int32_t kept, items, opensOn;
    };
    for (const Case& c :
         {Case{false, game::GameMode::LapRace, 3, 6, 3}, Case{true, game::GameMode::LapRace, 3, 5, 3},
          Case{false, game::GameMode::Guided, 1, 5, 1}, Case{false, game::GameMode::LapRace, 5, 6, 5},
          Case{true, game::GameMode::LapRace, 5, 5, 0}, Case{false, game::GameMode::Guided, 7, 5, 2}}) {
        game::raceResultsStatics().s_championship = c.championship ? 1 : 0;
        game::stateStatics().s_gameMode = c.mode;
        game::raceMenuStatics().s_pauseMenuItem = c.kept;
        stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::PauseMenu});
        game::statePauseMenu(game::kEnter);
        rt::IntArray* items = game::menuStatics().s_questionAnswerTexts;
        ASSERT_NE(items, nullptr);
        EXPECT_EQ(items->length(), c.items);
        // The sound item: 2 of six, 1 of five.
        EXPECT_EQ(rt::IntArray::get(items, c.items == 6 ? 2 : 1), 59);
        EXPECT_EQ(game::touchStatics().s_selection, c.opensOn);
        EXPECT_EQ(game::raceMenuStatics().s_pausedState, game::State::Race);
    }
    stack({game::State::PauseMenu});
    game::statePauseMenu(game::kEnter);
    EXPECT_EQ(game::raceMenuStatics().s_pausedState, game::State{}) << "no state below";
}

TEST_F(RaceMenusTest, LeavingThePauseForTheUnfinishedRaceTurnsTheControlsBackOn) {
    for (std::int8_t finished : {0, 1}) {
        stack({game::State::StartupLoad, game::State::Race, game::State::PauseMenu});
        game::raceTouchStatics().s_raceControlsOff = 1;
        game::raceStatics().s_raceFinished = finished;
        game::touchStatics().s_selection = 4;
        game::stateStatics().s_nextState = game::State::Race;
        game::statePauseMenu(game::kExit);
        EXPECT_EQ(game::raceTouchStatics().s_raceControlsOff, finished);
        EXPECT_EQ(game::raceMenuStatics().s_pauseMenuItem, 4);
    }
}

TEST_F(RaceMenusTest, TheQuestionsAnswerNoByPoppingAndYesByTheirAction) {
    game::StateStatics& s = game::stateStatics();
    // No: back to the pause menu.
    stack(
        {game::State::StartupLoad, game::State::Race, game::State::PauseMenu, game::State::RestartQuestion});
    game::stateRestartConfirm(game::kEnter);
    EXPECT_EQ(game::menuStatics().s_questionAnswerCount, 2);
    choose(game::stateRestartConfirm, 0);
    EXPECT_EQ(s.s_nextState, game::State::PauseMenu);

    // Restart: unwinds to the flyover on the stack, or pushes it.
    game::raceStatics().s_raceSetUp = 1;
    stack({game::State::StartupLoad, game::State::Loading, game::State::TrackFlyover, game::State::RacerIntro,
           game::State::RaceCountdown, game::State::Race, game::State::PauseMenu,
           game::State::RestartQuestion});
    choose(game::stateRestartConfirm, 1);
    EXPECT_EQ(s.s_nextState, game::State::TrackFlyover);
    EXPECT_EQ(s.s_stateStackDepth, 3);
    EXPECT_EQ(game::raceStatics().s_raceSetUp, 0);
    stack({game::State::StartupLoad, game::State::Loading, game::State::RaceCountdown, game::State::Race,
           game::State::PauseMenu, game::State::RestartQuestion});
    choose(game::stateRestartConfirm, 1);
    EXPECT_EQ(s.s_nextState, game::State::TrackFlyover);
    EXPECT_EQ(s.s_stateStackDepth, 7) << "pushed over the questions";

    // Quit: the menus load into the main menu, the championship ends.
    game::raceResultsStatics().s_championship = 1;
    stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::PauseMenu,
           game::State::QuitRaceQuestion});
    game::stateQuitRaceConfirm(game::kEnter);
    EXPECT_EQ(game::menuStatics().s_questionTitleText, 7);
    EXPECT_EQ(game::menuStatics().s_questionSecondText, 14);
    game::raceResultsStatics().s_cupRace = 1;
    choose(game::stateQuitRaceConfirm, 1);
    EXPECT_EQ(s.s_nextState, game::State::Loading);
    EXPECT_EQ(s.s_loadKind, game::kLoadMenus);
    EXPECT_EQ(s.s_loadingNextState, game::State::MainMenu);
    EXPECT_FALSE(game::isChampionship());
    EXPECT_EQ(game::raceResultsStatics().s_cupRace, 0) << "the next championship starts at its first race";

    // Leave the game: the quit state.
    game::raceTouchStatics().s_raceControlsOff = 1;
    stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::PauseMenu,
           game::State::ExitQuestion});
    game::stateExitConfirm(game::kEnter);
    EXPECT_EQ(game::menuStatics().s_questionTitleText, 14);
    EXPECT_EQ(game::textListStatics().s_textPage->toUtf8(), "T8") << "over a race, text page 8";
    choose(game::stateExitConfirm, 1);
    EXPECT_EQ(s.s_nextState, game::State::Quit);
    game::raceTouchStatics().s_raceControlsOff = 0;
    game::stateExitConfirm(game::kEnter);
    EXPECT_EQ(game::menuStatics().s_questionTitleText, 25);
    EXPECT_EQ(game::textListStatics().s_textPage->toUtf8(), "T24") << "elsewhere, text page 24";
}

// The options over a paused race: the sound item turns the sound on with
// the menus' choose sound (21), and off again.
TEST_F(RaceMenusTest, TheRaceOptionsSoundItemTurnsTheSoundOnWithTheChooseSound) {
    hud_testing::listenToSounds();
    game::setSoundOption(false);
    stack({game::State::StartupLoad, game::State::Race, game::State::PauseMenu, game::State::RaceOptions});
    game::stateRaceOptions(game::kEnter);
    ASSERT_EQ(game::touchStatics().s_selection, 0);
    choose(game::stateRaceOptions, 0);
    EXPECT_TRUE(game::isSoundOn());
    EXPECT_EQ(hud_testing::requestedSounds(), (std::vector<std::int32_t>{21}));
    choose(game::stateRaceOptions, 0);
    EXPECT_FALSE(game::isSoundOn());
}

// The help page over the race is broken into lines that stay inside the
// box it is drawn in.
TEST_F(RaceMenusTest, TheRaceHelpPageStaysInsideItsBox) {
    std::string page;
    for (int i = 0; i < 8; ++i)
        page += "Steer with the arrows at the sides and brake at the bottom. ";
    rt::Array::setRef(game::textStatics().s_textCache, 25, rt::String::newFromCString(page.c_str()));
    // A box 360 x 172 drawn from its centre, its answers' point 48 below its top.
    datakit::SpriteModel box = sprite_testing::paletteModel({0xFF203060u});
    box.format |= datakit::sprite_bits::kFrameBoxes;
    sprite_testing::addFlatModule(box, 360, 172, 0);
    for (std::int32_t f = 0; f <= game::kRaceHelpBoxFrame; ++f) {
        box.boxes.push_back({.x = 0, .y = -38, .width = 0, .height = 0});
        box.boxes.push_back({.x = 0, .y = -78, .width = 0, .height = 0});
        sprite_testing::addFrame(box, {{.module = 0, .x = -180, .y = -86, .flags = 0}});
        box.frames.back().boxCount = 2;
    }
    rt::Array::setRef(game::startupStatics().s_sprites, game::kQuestionBoxSprite,
                      sprite_testing::loadSprite(datakit::writeSprite(box)));
    stack({game::State::StartupLoad, game::State::Race, game::State::PauseMenu, game::State::RaceHelp});
    game::stateRaceHelp(game::kEnter);
    testing_support::DrawingLog log;
    game::stateRaceHelp(game::kPaint);
    const std::int32_t boxWidth = 360, left = 320 - boxWidth / 2;
    std::int32_t lines = 0;
    for (const game::DrawRecord& r : log.records()) {
        if (r.call != game::DrawCall::DrawText || r.text.starts_with(u"T"))
            continue;
        ++lines;
        EXPECT_GE(r.box[0], left + game::kRaceHelpMargin);
        EXPECT_LE(r.box[0] + r.box[2], left + boxWidth - game::kRaceHelpMargin);
    }
    EXPECT_GE(lines, 2) << "the page is broken into lines";
}

TEST_F(RaceMenusTest, TheAfterRaceMenuOffersTheNextRaceOnlyWhenItIsLoadedAndUnlocked) {
    game::StateStatics& s = game::stateStatics();
    // Two tracks loaded; the race ran on track 0.
    rt::ObjectArray* tracks = rt::newObjectArray(2);
    rt::ObjectArray::set(tracks, 0, rt::ObjectArray::get(game::eventStatics().s_eventRows, 0));
    game::eventStatics().s_eventRows = tracks;
    struct Case {
        game::GameMode mode;
        bool unlocked;
        std::int32_t answers, title;
    };
    for (const Case& c :
         {Case{game::GameMode::LapRace, true, 3, 91}, Case{game::GameMode::LapRace, false, 2, 15},
          Case{game::GameMode::TimeTrial, true, 2, 15}}) {
        game::stateStatics().s_gameMode = c.mode;
        game::progressStatics().s_progressMaskB = c.unlocked ? 1 << 1 : 0;
        stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::RaceResults,
               game::State::RaceEndMenu});
        game::stateRaceEndMenu(game::kEnter);
        EXPECT_EQ(game::menuStatics().s_questionAnswerCount, c.answers) << c.mode << c.unlocked;
        EXPECT_EQ(game::menuStatics().s_questionTitleText, c.title);
    }
    // Without the offer: retry, leave.
    choose(game::stateRaceEndMenu, 0);
    EXPECT_EQ(s.s_nextState, game::State::TrackFlyover);
    stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::RaceResults,
           game::State::RaceEndMenu});
    choose(game::stateRaceEndMenu, 1);
    EXPECT_EQ(s.s_nextState, game::State::Loading);
    EXPECT_EQ(s.s_loadKind, game::kLoadMenus);
    // With it: the next race loads over the menu.
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    stack({game::State::StartupLoad, game::State::Loading, game::State::Race, game::State::RaceResults,
           game::State::RaceEndMenu});
    game::stateRaceEndMenu(game::kEnter);
    choose(game::stateRaceEndMenu, 0);
    EXPECT_EQ(game::raceMenuStatics().s_nextTrack, 1);
    EXPECT_EQ(s.s_loadKind, game::kLoadNextRace);
    EXPECT_EQ(s.s_loadingNextState, game::State::TrackFlyover);
    EXPECT_EQ(s.s_nextState, game::State::Loading);
    EXPECT_EQ(s.s_stateStackDepth, 6);
}

} // namespace
