// The pause menu and the guided race as a player meets them: the real
// program on the demo set, from its start through Quick Race (the guided
// race), every tap aimed at what the frame drew. The pause menu shows each
// of its items, each answers where it is drawn, its sound item switches and
// says so; the help is a box of a few lines inside the screen; the guide
// holds the count until its explanation is tapped away, its steps are done
// by the controls they show, and the guided race ends on its last step and
// goes back to the menus, within two minutes of driving.

#include "game/framework/HudFrames.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "tests/support/DemoSet.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RaceOverLine.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/TestDriver.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

    PauseMenuTour() { EXPECT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok()); }
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

// The guide's step, and whether it waits for its input (its explanation
// done) rather than counting down after it.
std::int32_t guideStep() {
    return game::eventGoalStatics().s_guideStep;
}
bool waitsAt(const tour::Frame& f, std::int32_t step) {
    return f.state == State::Race && f.stateTime > 300 && guideStep() == step &&
           game::eventGoalStatics().s_guideTimer == 0;
}

// A player driving on until `done`, steering as the test driver does
// (keeping to the road's middle through the race's steering zones).
void drive(std::vector<tour::Step>& steps, const std::string& what,
           std::function<bool(const tour::Frame&)> done) {
    tour::Step s = step(what, std::move(done), nothing());
    s.during = tour::driveToCentre();
    s.timeoutMs = 300000;
    steps.push_back(s);
}

// The guide car is on the track, ahead of the player.
bool guideCarRides() {
    const game::cEntity* player = game::racerStatics().s_playerCar;
    for (std::int32_t i = 0; i < game::racerCount(); ++i)
        if (const game::cEntity* car = game::racerAt(i); car && car != player && car->m_active)
            return player && car->m_racePosition < player->m_racePosition;
    return false;
}

TEST_F(PauseMenuTour, TheGuidesStepsAreDoneByTheControlsTheyShow) {
    std::vector<tour::Step> steps = intoTheGuidedRace();
    // The count waits under the explanation: still the countdown 3 s on.
    steps.push_back(step("the explanation", showing(State::RaceCountdown, u"Tap to continue", 3000),
                         tapText(u"Tap to continue")));
    const auto at = [](std::int32_t n) { return [n](const tour::Frame& f) { return waitsAt(f, n); }; };
    steps.push_back(
        step("step 0: steer left", at(0), tapFrame(game::kRaceTouchSprite, game::kLeftButtonFrame)));
    steps.push_back(
        step("step 1: steer right", at(1), tapFrame(game::kRaceTouchSprite, game::kRightButtonFrame)));
    // The brake's hint stands where the brake answers: held, the car stops.
    steps.push_back(step(
        "step 2: brake", [](const tour::Frame& f) { return waitsAt(f, 2) && f.findText(u"Brake"); },
        holdText(u"Brake", 400)));
    steps.push_back(
        step("step 3: the star button", at(3), tapFrame(game::kRaceTouchSprite, game::kActionButtonFrame)));
    // The item boxes lie across the road at the start of every straight:
    // the box brings the guide car on, and the item the next step fires at
    // it shows in the item slot, the control that fires it.
    drive(steps, "step 4: an item box", [](const tour::Frame& f) { return waitsAt(f, 5); });
    steps.push_back(step(
        "step 5: the guide car on the road",
        [](const tour::Frame& f) { return waitsAt(f, 5) && guideCarRides(); },
        tapFrame(game::kRaceIconSprite, game::kItemSlotFrame)));
    drive(steps, "step 5: the item hits the guide car", [](const tour::Frame& f) { return waitsAt(f, 6); });
    // The guide car drops behind; held, the item slot takes aim back at it.
    steps.push_back(
        step("step 6: aim back", at(6), holdFrame(game::kRaceIconSprite, game::kItemSlotFrame, 40)));
    drive(steps, "step 6: the guide car runs into the aimed item",
          [](const tour::Frame& f) { return waitsAt(f, 7); });
    // Coins lie across the lanes after the item boxes: driving on collects them.
    drive(steps, "step 7: the coins", [](const tour::Frame& f) { return waitsAt(f, game::kGuideJumpStep); });
    // Past the ramp a ten-coin hangs over the road; the jump catches it and
    // the guided race ends on its last step.
    drive(steps, "step 8: the ten-coin in the air",
          [](const tour::Frame& f) { return f.state != State::Race || guideStep() == game::kGuideSteps; });
    // The race is won on the last step; its end is tapped away.
    steps.push_back(
        step("the finish", showing(State::Race, u"Tap to continue"), tapText(u"Tap to continue")));
    tour::Step menus = step("back to the menus", inState(State::MainMenu, 300), nothing());
    menus.timeoutMs = 60000;
    steps.push_back(menus);
    testing_support::LogCapture log;
    const tour::TourResult result = tour::runTour(demo, steps);
    ASSERT_TRUE(result.finished) << result.problem;
    // The tutorial is short: the race's own account of its time.
    std::string over;
    for (const std::string& l : log.lines())
        if (l.find("race over:") != std::string::npos)
            over = l;
    const std::optional<testing_support::RaceOverLine> race = testing_support::parseRaceOverLine(over);
    ASSERT_TRUE(race) << over;
    EXPECT_LT(race->minutes, 3) << over;
}

} // namespace
