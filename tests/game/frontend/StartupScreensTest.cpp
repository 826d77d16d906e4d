// The screens from the splash to the title and the question states, walked
// frame by frame: what each paints when, which key or tap acts, and where
// each leads.

#include "game/data/SoundRequests.h"
#include "game/frontend/StartupScreens.h"
#include "game/data/Progress.h"
#include "game/framework/Overlay.h"
#include "game/framework/StaticInit.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SlidingMenus.h"
#include "game/ui/MenuStatics.h"
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
        for (std::int32_t next : {4, 6, 17})
            game::setStateHandler(next, recordMessage<0>);
        game::setSoundOption(false);
    }
};

TEST_F(StartupScreensTest, TheSplashShowsItsPicturesAndOnlyItsTimeEndsIt) {
    struct Case {
        const char* what;
        std::int8_t askSound;
        std::int32_t next;
        bool soundOn;
    };
    const Case cases[] = {
        {"the sound question follows", 1, game::kSoundQuestionState, false},
        {"the question is skipped: sound on, the menus load", 0, game::kLoadingState, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        game::setSoundOption(false);
        standIn(0);
        open(game::kSplashState);
        EXPECT_TRUE(painted("frame 0:0 @320,240"));
        game::startupStatics().s_askSound = c.askSound;
        std::int32_t lastSplashTime = 0;
        while (state() == game::kSplashState && game::stateStatics().s_stateTime < 20000) {
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
        if (c.next == game::kLoadingState) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::kTitleState);
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
    };
    const Case cases[] = {
        {"down toggles the answer", {2}, -1, -1, false, false},
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
        open(game::kSoundQuestionState);
        for (std::int32_t key : c.keys)
            frame(key);
        if (c.tapAnswer >= 0) {
            tap(kAnswerX, answerY(c.tapAnswer));
            frame(c.finalKey);
        }
        EXPECT_EQ(stacked(game::kLoadingState), c.loads ? 1 : 0);
        EXPECT_EQ(game::isSoundOn(), c.soundOn);
        if (c.loads) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::kTitleState);
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
        open(game::kTitleState);
        int repaints = 0;
        for (int i = 0; i < 50; ++i) {
            frame(i == 0 ? 2 : -1);
            repaints += framework_testing::s_paints.empty() ? 0 : 1;
        }
        EXPECT_EQ(state(), game::kTitleState) << "other keys do nothing";
        // 2 s at half a second a phase: a repaint at each change only.
        EXPECT_EQ(repaints, 4);
        if (key < 0)
            tap(10, 10);
        frame(key);
        EXPECT_EQ(state(), game::kMainMenuState);
    }
}

int s_eventsPrepared = 0;

TEST_F(StartupScreensTest, QuestionStatesCarryOutTheirAnswers) {
    struct Case {
        const char* what;
        std::int32_t question, below;
        std::int32_t answer;
        std::int32_t after;
        bool reset;
        int eventsPrepared;
    };
    const Case cases[] = {
        {"no to the reset keeps the progress", game::kResetQuestionState, 30, 0, 30, false, 0},
        {"yes to the reset writes the defaults", game::kResetQuestionState, 30, 1, 30, true, 0},
        {"no to the first race: the race menu", game::kStartQuestionState, 6, 0, 17, false, 0},
        {"yes to the first race: the one-off event loads", game::kStartQuestionState, 6, 1, 4, false, 1},
    };
    game::seams().race.setupMode6Event = [] { ++s_eventsPrepared; };
    game::setStateHandler(30, recordMessage<30>);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s_eventsPrepared = 0;
        game::initStateMachine();
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
        bool asked = c.question == game::kStartQuestionState;
        EXPECT_EQ(progress.s_progressMaskC, c.reset ? 3 : asked ? 0x19 : 0x11);
        EXPECT_EQ(s_eventsPrepared, c.eventsPrepared);
        if (c.eventsPrepared != 0) {
            EXPECT_EQ(game::stateStatics().s_loadingNextState, game::kRaceCountdownState);
            EXPECT_EQ(game::stateStatics().s_loadingState, game::kLoadRace) << "a race load";
        }
    }
}

} // namespace
