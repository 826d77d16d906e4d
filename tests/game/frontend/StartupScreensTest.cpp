// The screens from the splash to the title and the question states, walked
// frame by frame: what each paints when, which key or tap acts, and where
// each leads.

#include "game/frontend/StartupScreens.h"
#include "game/data/EventSlots.h"
#include "game/data/Progress.h"
#include "game/data/SoundRequests.h"
#include "game/framework/StaticInit.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceEntity.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

namespace {

using framework_testing::recordMessage;

// The stand-in answer frame (sprite 65 frame 3) is 68 x 34 and the box has
// no box points, so answer i of a question spans y 240 + 34 i .. + 34 around
// x 320.
constexpr std::int32_t kAnswerX = 320;
std::int32_t answerY(std::int32_t i) {
    return 240 + 34 * i + 10;
}

struct StartupScreensTest : frontend_testing::FrontEndTest {
    StartupScreensTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        game::initProgressStatics();
        game::registerStartupScreens();
        for (game::State next : {game::State::Loading, game::State::MainMenu, game::State::RaceMenu})
            game::setStateHandler(next, recordMessage<game::State{}>);
        game::setSoundOption(false);
    }
};

TEST_F(StartupScreensTest, TheSplashShowsItsPicturesAndOnlyItsTimeEndsIt) {
    using game::SoundChoice;
    struct Case {
        const char* what;
        std::int8_t askSound;
        SoundChoice saved;
        game::State next;
        bool soundOn;
    };
    const Case cases[] = {
        {"the sound question follows", 1, SoundChoice::None, game::State::SoundQuestion, false},
        {"the question is skipped: sound on, the menus load", 0, SoundChoice::None, game::State::Loading,
         true},
        {"skipped, the player's saved choice holds", 0, SoundChoice::Off, game::State::Loading, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::setSoundOption(false);
        game::progressStatics().s_savedByteA = static_cast<std::int32_t>(c.saved);
        standIn(0);
        open(game::State::Splash);
        EXPECT_TRUE(painted("frame 0:0 @320,240"));
        game::startupStatics().s_askSound = c.askSound;
        std::int32_t lastSplashTime = 0;
        while (state() == game::State::Splash && game::stateStatics().s_stateTime < 20000) {
            std::int32_t time = game::stateStatics().s_stateTime;
            if (time == 5000)
                tap(320, 240);
            lastSplashTime = time;
            frame();
            if (time == 40) {
                EXPECT_TRUE(framework_testing::s_paints.empty()) << "no repaint without a change";
            }
            if (time == 3040) {
                EXPECT_TRUE(painted("frame 0:1 @320,240"));
            }
        }
        EXPECT_EQ(lastSplashTime, 11040) << "the first update past 11 s leaves, a tap does not";
        EXPECT_EQ(state(), c.next);
        EXPECT_EQ(game::isSoundOn(), c.soundOn);
        if (c.next == game::State::Loading) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::Title);
        }
    }
}

TEST_F(StartupScreensTest, TheSoundQuestionAnswersByKeyOrTapAndLoadsTheMenusOnce) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> keys;
        std::int32_t tapAnswer; // -1 none
        std::int32_t finalKey;  // released in the tap's frame
        bool loads, soundOn;
        game::SoundChoice saved = game::SoundChoice::None; // by an earlier run
    };
    const Case cases[] = {
        {"down toggles the answer", {2}, -1, -1, false, false},
        {"the saved yes comes first: select keeps it", {5}, -1, -1, true, true, game::SoundChoice::On},
        {"up toggles it back", {1, 1}, -1, -1, false, false},
        {"select after down: sound on", {2, 5}, -1, -1, true, true},
        {"the left soft key on no: sound off", {18}, -1, -1, true, false},
        {"a tap on yes", {}, 1, -1, true, true},
        {"a tap on no with a select released in the same frame", {2}, 0, 5, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::setSoundOption(false);
        game::progressStatics().s_savedByteA = static_cast<std::int32_t>(c.saved);
        open(game::State::SoundQuestion);
        for (std::int32_t key : c.keys)
            frame(key);
        if (c.tapAnswer >= 0) {
            tap(kAnswerX, answerY(c.tapAnswer));
            frame(c.finalKey);
        }
        EXPECT_EQ(stacked(game::State::Loading), c.loads ? 1 : 0);
        EXPECT_EQ(game::isSoundOn(), c.soundOn);
        if (c.loads) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::Title);
        } else {
            EXPECT_EQ(game::startupScreenStatics().s_soundAnswer, c.keys.size() % 2);
        }
    }
}

TEST_F(StartupScreensTest, TheTitleBlinksItsPromptAndASelectOrATapOpensTheMainMenu) {
    const std::pair<const char*, std::int32_t> ways[] = {{"key 5", 5}, {"key 11", 11}, {"a tap", -1}};
    for (const auto& [what, key] : ways) {
        SCOPED_TRACE(what);
        game::initStateMachine();
        open(game::State::Title);
        int repaints = 0;
        for (int i = 0; i < 50; ++i) {
            frame(i == 0 ? 2 : -1);
            repaints += framework_testing::s_paints.empty() ? 0 : 1;
        }
        EXPECT_EQ(state(), game::State::Title) << "other keys do nothing";
        // 2 s at half a second a phase: a repaint at each change only.
        EXPECT_EQ(repaints, 4);
        if (key < 0)
            tap(10, 10);
        frame(key);
        EXPECT_EQ(state(), game::State::MainMenu);
    }
}

// Yes to the first race sets up the guided race's event (game mode 6, the
// event slot's variant 6) and loads it.
TEST_F(StartupScreensTest, QuestionStatesCarryOutTheirAnswers) {
    struct Case {
        const char* what;
        game::State question, below;
        std::int32_t answer;
        game::State after;
        bool reset;
        bool guidedRace;
    };
    const Case cases[] = {
        {"no to the reset keeps the progress", game::State::ResetQuestion, game::State::Options, 0,
         game::State::Options, false, false},
        {"yes to the reset writes the defaults", game::State::ResetQuestion, game::State::Options, 1,
         game::State::Options, true, false},
        {"no to the first race: the race menu", game::State::StartQuestion, game::State::MainMenu, 0,
         game::State::RaceMenu, false, false},
        {"yes to the first race: the guided race loads", game::State::StartQuestion, game::State::MainMenu, 1,
         game::State::Loading, false, true},
    };
    game::setStateHandler(game::State::Options, recordMessage<game::State::Options>);
    game::initEventSlots();
    const game::EventSlotStatics& slots = game::eventSlotStatics();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        rt::ByteArray::set(slots.s_eventVariant, slots.s_currentEvent, 0);
        game::ProgressStatics& progress = game::progressStatics();
        progress.s_progressMaskA = 0x55;
        progress.s_progressMaskC = 0x11;
        open(c.below);
        open(c.question);
        if (c.answer == 1)
            frame(2);
        frame(5);
        frame();
        EXPECT_EQ(state(), c.after);
        EXPECT_EQ(progress.s_progressMaskA, c.reset ? 7 : 0x55);
        bool asked = c.question == game::State::StartQuestion;
        EXPECT_EQ(progress.s_progressMaskC, c.reset ? 3 : asked ? 0x19 : 0x11);
        EXPECT_EQ(game::stateStatics().s_gameMode,
                  c.guidedRace ? game::GameMode::Guided : game::GameMode::LapRace);
        EXPECT_EQ(rt::ByteArray::get(slots.s_eventVariant, slots.s_currentEvent),
                  c.guidedRace ? game::gameModeNumber(game::GameMode::Guided) : 0);
        if (c.guidedRace) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RaceCountdown);
            EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadRace) << "a race load";
        }
    }
}

// The sound question's property, read from the started game's app.jad.
TEST(StartupSoundQuestion, IsSkippedOnlyByAPropertyOfZero) {
    struct Case {
        std::vector<datakit::Property> properties;
        bool ask;
    };
    const Case cases[] = {
        {{{"MIDlet-Name", "Vorlax Rally"}}, true}, // missing: the platform answers a placeholder text
        {{{"Vorlax-Sound-Question", "0"}}, false}, {{{"Vorlax-Sound-Question", " 0\t"}}, false},
        {{{"Vorlax-Sound-Question", "1"}}, true},  {{{"Vorlax-Sound-Question", "00"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.properties[0].second);
        framework_testing::StartedGame game(c.properties);
        ASSERT_TRUE(game.started);
        game::startupStatics().s_askSound = c.ask ? 0 : 1;
        EXPECT_EQ(game::readAppPropertyFlag(), c.ask);
        EXPECT_EQ(game::startupStatics().s_askSound, c.ask ? 1 : 0);
    }
}

} // namespace
