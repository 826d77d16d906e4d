// The pause menu and the guided race as a player meets them: the real
// program on the demo set, from its start through Quick Race (the guided
// race), every tap aimed at what the frame drew. The pause menu shows each
// of its items, each answers where it is drawn, its sound item switches and
// says so; the help is a box of a few lines inside the screen; the guide
// holds the count until its explanation is tapped away, and its first steps
// are done by the controls they show.

#include "game/framework/HudFrames.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using game::State;
using namespace tour::steps;

tour::Step step(std::string what, std::function<bool(const tour::Frame&)> ready,
                std::function<bool(const tour::Frame&, tour::Player&, std::string&)> act) {
    tour::Step s;
    s.what = std::move(what);
    s.ready = std::move(ready);
    s.act = std::move(act);
    return s;
}

// From the start to the guided race's countdown, as the screen tour walks.
std::vector<tour::Step> intoTheGuidedRace() {
    return {step("the splash", inState(State::Splash, 6800), nothing()),
            step("the sound question", inState(State::SoundQuestion), press(tour::SoftKey::Left)),
            step("the title", inState(State::Title), tapAt(320, 240)),
            step("the main menu", inState(State::MainMenu), tapText(u"Play")),
            step("the first race question", inState(State::StartQuestion), tapText(u"No")),
            step("the race menu", inState(State::RaceMenu), tapText(u"Quick Race")),
            step("the loaded race", inState(State::Loading, 8000), tapAt(320, 240))};
}

struct PauseMenuTour : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-pause-tour"};
    fs::path demo = root.path() / "demo";

    PauseMenuTour() { EXPECT_TRUE(mkdata::writeProgramFolder(mkdata::makeDemoSet(), demo).ok()); }
};

TEST_F(PauseMenuTour, EveryPauseItemIsDrawnAndAnswersWhereItIsDrawn) {
    std::vector<tour::Step> steps = intoTheGuidedRace();
    steps.push_back(step("the explanation", showing(State::RaceCountdown, u"Tap to continue", 1200),
                         tapText(u"Tap to continue")));
    steps.push_back(
        step("the race", inState(State::Race, 1500), tapFrame(game::kMenuItemSprite, game::kPauseFrameOff)));
    // The guided race's short list: every item drawn; the sound item flips
    // between its two words and stays in the menu.
    steps.push_back(step(
        "the pause menu",
        [](const tour::Frame& f) {
            return f.state == State::PauseMenu && f.stateTime > 600 && f.findText(u"Continue") &&
                   f.findText(u"Help") && f.findText(u"Quit Race") && f.findText(u"Exit Game") &&
                   f.findText(u": Off");
        },
        tapText(u"Sound")));
    steps.push_back(step("the sound switched on", showing(State::PauseMenu, u": On", 300), tapText(u"Help")));
    std::string helpProblem;
    steps.push_back(step(
        "the help box",
        [&helpProblem](const tour::Frame& f) {
            if (f.state != State::RaceHelp || f.stateTime < 600)
                return false;
            // Lines of many words, each whole inside the screen.
            int widest = 0;
            for (const game::DrawRecord& r : f.draws) {
                if (r.call != game::DrawCall::DrawText)
                    continue;
                const auto [x, y, w, h] = r.box;
                widest = std::max(widest, w);
                if (x < 0 || y < 0 || x + w > tour::kGameWidth || y + h > tour::kGameHeight)
                    helpProblem += "a line leaves the screen; ";
            }
            if (widest < 250)
                helpProblem += "the widest line is " + std::to_string(widest) + " px; ";
            return true;
        },
        press(tour::SoftKey::Right)));
    steps.push_back(step("the pause menu again", inState(State::PauseMenu, 300), tapText(u"Quit Race")));
    steps.push_back(step("the quit question", inState(State::QuitRaceQuestion), tapText(u"No")));
    steps.push_back(step("the pause menu once more", inState(State::PauseMenu, 300), tapText(u"Exit Game")));
    // The questions opened from the pause menu stand over the race: the
    // exit question asks with the race's own title.
    steps.push_back(
        step("the exit question", showing(State::ExitQuestion, u"Are you sure?"), tapText(u"No")));
    steps.push_back(step("back to the race", inState(State::PauseMenu, 300), tapText(u"Continue")));
    steps.push_back(step("the race again", inState(State::Race, 300), nothing()));
    const tour::TourResult result = tour::runTour(demo, steps);
    ASSERT_TRUE(result.finished) << result.problem;
    EXPECT_EQ(helpProblem, "");
    const std::vector<State> fromPause(
        std::find(result.states.begin(), result.states.end(), State::PauseMenu), result.states.end());
    EXPECT_EQ(fromPause, (std::vector<State>{State::PauseMenu, State::RaceHelp, State::PauseMenu,
                                             State::QuitRaceQuestion, State::PauseMenu, State::ExitQuestion,
                                             State::PauseMenu, State::Race}));
}

TEST_F(PauseMenuTour, TheGuidesFirstStepsAreDoneByTheControlsTheyShow) {
    std::vector<tour::Step> steps = intoTheGuidedRace();
    // The count waits under the explanation: still the countdown 3 s on.
    steps.push_back(step("the explanation", showing(State::RaceCountdown, u"Tap to continue", 3000),
                         tapText(u"Tap to continue")));
    const auto welldone = [](const tour::Frame& f) {
        return f.state == State::Race && f.findText(u"Well done!");
    };
    const auto waiting = [](const tour::Frame& f) {
        return f.state == State::Race && f.stateTime > 300 && !f.findText(u"Well done!");
    };
    steps.push_back(
        step("step 0: steer left", waiting, tapFrame(game::kRaceTouchSprite, game::kLeftButtonFrame)));
    steps.push_back(step("step 0 done", welldone, nothing()));
    steps.push_back(
        step("step 1: steer right", waiting, tapFrame(game::kRaceTouchSprite, game::kRightButtonFrame)));
    steps.push_back(step("step 1 done", welldone, nothing()));
    const tour::TourResult result = tour::runTour(demo, steps);
    ASSERT_TRUE(result.finished) << result.problem;
}

} // namespace
