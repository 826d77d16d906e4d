// The options as a player meets them: the real program on the demo set,
// tapped where its labels are drawn, run twice on one program folder so that
// what the first run saved is what the second finds.

#include "game/data/SoundRequests.h"
#include "game/ui/MenuStatics.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

namespace {

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

// The player's sound switch as the game holds it when a step acts.
std::function<bool(const tour::Frame&, tour::Player&, std::string&)> expectSound(bool on) {
    return [on](const tour::Frame&, tour::Player&, std::string& problem) {
        if (game::isSoundOn() == on)
            return true;
        problem = std::string("the sound is ") + (on ? "off" : "on");
        return false;
    };
}

// From the sound question, answered with the highlighted answer, to the
// options screen.
std::vector<tour::Step> toOptions(std::int32_t highlighted) {
    return {
        step(
            "the sound question, its first answer the last choice",
            [highlighted](const tour::Frame& frame) {
                return inState(State::SoundQuestion)(frame) &&
                       game::menuStatics().s_questionAnswer == highlighted;
            },
            press(tour::SoftKey::Left)),
        step("the title", inState(State::Title), tapAt(320, 240)),
        step("the main menu", inState(State::MainMenu), tapText(u"Options")),
    };
}

TEST(OptionsProgram, TheSoundSwitchSetInTheOptionsIsFoundAgainAfterARestart) {
    testing_support::TemporaryFolder folder("vorlax-options");
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), folder).ok());

    // First run: no to the sound question, then the switch turned on.
    std::vector<tour::Step> first = toOptions(0);
    first.push_back(
        step("the options, sound off", showing(State::Options, u"Sound: Off"), tapText(u"Sound: Off")));
    first.push_back(
        step("the options, sound on", showing(State::Options, u"Sound: On"), press(tour::SoftKey::Right)));
    first.push_back(step("back in the main menu", inState(State::MainMenu), expectSound(true)));
    tour::TourResult run = tour::runTour(folder, first, 1, tour::TourPlayer::Returning);
    ASSERT_TRUE(run.finished) << run.problem;

    // Second run: the question offers the saved yes, and the options show it.
    std::vector<tour::Step> second = toOptions(1);
    second.push_back(step("the options, sound on", showing(State::Options, u"Sound: On"), expectSound(true)));
    run = tour::runTour(folder, second, 1, tour::TourPlayer::Returning);
    EXPECT_TRUE(run.finished) << run.problem;
    EXPECT_EQ(run.exitStatus, 0);
}

} // namespace
