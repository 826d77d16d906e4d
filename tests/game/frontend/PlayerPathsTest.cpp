// A new player's ways into a race and back, walked through the program's
// own start-up on a fresh copy of the demo set: every item of the play menu
// and both answers of the first-time question lead to a race, the pause
// menu's way out comes back to the menus, and a finished race's after-race
// menu runs the race again or the next one. Every step waits for what the
// screen draws and taps it there, as a player would.

#include "game/framework/MenuFrames.h"
#include "game/framework/States.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/TestDriver.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using game::DrawCall;
using game::DrawRecord;
using game::State;
using tour::Frame;
using tour::Player;
using tour::SoftKey;
using tour::Step;

// A finished race takes several minutes of the game's time.
constexpr std::int32_t kRaceTimeoutMs = 1200000;

std::string name(State state) {
    return "state " + std::to_string(game::stateNumber(state));
}

Step tapOn(State state, std::u16string text, std::int32_t settleMs = 900) {
    Step step;
    step.what = "a tap on \"" + std::string(text.begin(), text.end()) + "\" in " + name(state);
    step.ready = tour::steps::showing(state, text, settleMs);
    step.act = tour::steps::tapText(std::move(text));
    return step;
}

Step pressOn(State state, SoftKey key, std::int32_t settleMs = 900) {
    Step step;
    step.what = "the soft key in " + name(state);
    step.ready = tour::steps::inState(state, settleMs);
    step.act = tour::steps::press(key);
    return step;
}

Step waitFor(State state, std::int32_t timeoutMs = 20000) {
    Step step;
    step.what = name(state);
    step.ready = tour::steps::inState(state, 300);
    step.act = tour::steps::nothing();
    step.timeoutMs = timeoutMs;
    return step;
}

// A tap `below` pixels under the middle of the drawn `text`: on the picture
// a label names from above.
Step tapUnder(State state, std::u16string text, std::int32_t below) {
    Step step = tapOn(state, text);
    step.act = [text, below](const Frame& frame, Player& player, std::string& problem) {
        const DrawRecord* drawn = frame.findText(text);
        if (!drawn) {
            problem = "the label is not drawn";
            return false;
        }
        const auto [x, y, width, height] = drawn->box;
        player.tap(x + width / 2, y + height + below);
        return true;
    };
    return step;
}

// The first car of the grid: its helmet, the first frame drawn over the
// layer that darkens the whole screen, tapped `inset` pixels into it; then
// the left soft key once the highlight has settled.
std::vector<Step> firstCar() {
    constexpr std::int32_t kInset = 20;
    Step car;
    car.what = "the first car in " + name(State::RacerList);
    car.ready = tour::steps::inState(State::RacerList);
    car.act = [](const Frame& frame, Player& player, std::string& problem) {
        bool overLayer = false;
        for (const DrawRecord& draw : frame.draws) {
            if (draw.depth != 0)
                continue;
            if (draw.call == DrawCall::FillRectAlpha && draw.args[0] == 0 && draw.args[1] == 0 &&
                draw.args[2] >= tour::kGameWidth) {
                overLayer = true;
            } else if (overLayer && draw.call == DrawCall::PaintFrame) {
                player.tap(draw.args[1] + kInset, draw.args[2] + kInset);
                return true;
            }
        }
        problem = "no car is drawn over the grid's layer";
        return false;
    };
    // A tap on the car already highlighted chooses it at once; any other
    // is chosen with the left soft key.
    Step choose;
    choose.what = "the car chosen in " + name(State::RacerList);
    choose.ready = [](const Frame& frame) {
        return frame.state != State::RacerList || frame.stateTime >= 1500;
    };
    choose.act = [](const Frame& frame, Player& player, std::string&) {
        if (frame.state == State::RacerList)
            player.press(SoftKey::Left);
        return true;
    };
    return {car, choose};
}

// The lower row's left arrow of the pre-race selection (the laps' arrow),
// found as the third of the four arrows drawn one after another.
Step lapArrowDown() {
    Step step;
    step.what = "the laps' left arrow in " + name(State::PreRaceSelect);
    step.ready = tour::steps::inState(State::PreRaceSelect, 600);
    step.act = [](const Frame& frame, Player& player, std::string& problem) {
        const std::int32_t arrows[] = {game::kLeftArrowFrame, game::kRightArrowFrame, game::kLeftArrowFrame,
                                       game::kRightArrowFrame};
        std::vector<const DrawRecord*> frames;
        for (const DrawRecord& draw : frame.draws)
            if (draw.depth == 0 && draw.call == DrawCall::PaintFrame)
                frames.push_back(&draw);
        for (std::size_t i = frames.size(); i >= 4; --i) {
            bool match = true;
            for (std::size_t k = 0; k < 4; ++k)
                match = match && frames[i - 4 + k]->args[0] == arrows[k];
            if (match) {
                player.tap(frames[i - 2]->args[1] + 8, frames[i - 2]->args[2] + 8);
                return true;
            }
        }
        problem = "the four arrows are not drawn";
        return false;
    };
    return step;
}

// From the start to the race menu: the sound question, the title, the
// main menu's play item and the first-time question answered no.
std::vector<Step> toRaceMenu() {
    return {pressOn(State::SoundQuestion, SoftKey::Left), tapOn(State::Title, u"Tap the screen to continue"),
            tapOn(State::MainMenu, u"Play"), tapOn(State::StartQuestion, u"No")};
}

// The loaded race's prompt.
Step startRace() {
    return tapOn(State::Loading, u"Tap the screen to start", 300);
}

// The guided race's explanation holds the countdown until it is tapped
// away; other races count down alone.
Step pastExplanation() {
    Step step;
    step.what = "the countdown or its explanation";
    step.ready = [](const Frame& frame) {
        return frame.state == State::Race || (frame.state == State::RaceCountdown && frame.stateTime >= 600 &&
                                              frame.findText(u"Tap to continue"));
    };
    step.act = [](const Frame& frame, Player& player, std::string& problem) {
        return frame.state == State::Race || tour::steps::tapText(u"Tap to continue")(frame, player, problem);
    };
    step.timeoutMs = 120000;
    return step;
}

// Into the race, then its pause menu's way out, back to the menus.
std::vector<Step> raceAndQuit() {
    // The flyover and the racer intro take their time.
    Step pause = pressOn(State::Race, SoftKey::Left, 2000);
    pause.timeoutMs = 120000;
    return {pastExplanation(), pause, tapOn(State::PauseMenu, u"Quit Race"),
            tapOn(State::QuitRaceQuestion, u"Yes"), waitFor(State::MainMenu)};
}

std::vector<Step> join(std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> all;
    for (const std::vector<Step>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct PlayerPaths : ::testing::Test {
    static void SetUpTestSuite() {
        s_root = new testing_support::TemporaryFolder("vorlax-player-paths");
        ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), s_root->path()).ok());
    }
    static void TearDownTestSuite() {
        delete s_root;
        s_root = nullptr;
    }

    // Walks `steps` and checks that they all could be done, that a race was
    // run and that the walk came back to the menus.
    static tour::TourResult walk(const std::vector<Step>& steps) {
        tour::TourResult result = tour::runTour(s_root->path(), steps);
        EXPECT_TRUE(result.finished) << result.problem;
        EXPECT_GT(result.raceFrames, 0) << "no race was run";
        return result;
    }

    static testing_support::TemporaryFolder* s_root;
};

testing_support::TemporaryFolder* PlayerPaths::s_root = nullptr;

bool entered(const tour::TourResult& result, std::initializer_list<State> states) {
    auto at = result.states.begin();
    for (State state : states) {
        at = std::find(at, result.states.end(), state);
        if (at == result.states.end())
            return false;
    }
    return true;
}

TEST_F(PlayerPaths, EachItemOfThePlayMenuLeadsToARaceAndBack) {
    struct Path {
        const char* name;
        std::vector<Step> steps;
        std::initializer_list<State> through;
    };
    const Path paths[] = {
        {"career",
         join({toRaceMenu(),
               {tapOn(State::RaceMenu, u"Career"), tapUnder(State::BonusMenu, u"Rookie Cup", 40)},
               firstCar(),
               {tapOn(State::CupSelect, u"Rookie Cup"), startRace(), waitFor(State::TrackFlyover)},
               raceAndQuit()}),
         {State::BonusMenu, State::RacerList, State::CupSelect, State::Loading, State::TrackFlyover,
          State::Race}},
        {"single race",
         join({toRaceMenu(),
               {tapOn(State::RaceMenu, u"Single Race")},
               firstCar(),
               {tapOn(State::PreRaceSelect, u"Select"), startRace(), waitFor(State::TrackFlyover)},
               raceAndQuit()}),
         {State::RacerList, State::PreRaceSelect, State::Loading, State::TrackFlyover, State::Race}},
        {"time trial",
         join({toRaceMenu(),
               {tapOn(State::RaceMenu, u"Time Trial")},
               firstCar(),
               {tapOn(State::PreRaceSelect, u"Beat the target time"), startRace()},
               raceAndQuit()}),
         {State::RacerList, State::PreRaceSelect, State::Loading, State::RaceCountdown, State::Race}},
        {"challenges",
         join({toRaceMenu(),
               {tapOn(State::RaceMenu, u"Challenges"), tapOn(State::ModeMenu, u"Coin Rush")},
               firstCar(),
               {tapOn(State::PreRaceSelect, u"Select"), startRace()},
               raceAndQuit()}),
         {State::ModeMenu, State::RacerList, State::PreRaceSelect, State::Loading, State::Race}},
        {"quick race",
         join({toRaceMenu(), {tapOn(State::RaceMenu, u"Quick Race"), startRace()}, raceAndQuit()}),
         {State::Loading, State::RaceCountdown, State::Race}},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        const tour::TourResult result = walk(path.steps);
        EXPECT_TRUE(entered(result, path.through));
    }
}

TEST_F(PlayerPaths, TheFirstTimeQuestionLeadsToTheTutorialRaceOrToThePlayMenu) {
    const std::vector<Step> start = {pressOn(State::SoundQuestion, SoftKey::Left),
                                     tapOn(State::Title, u"Tap the screen to continue"),
                                     tapOn(State::MainMenu, u"Play")};
    // Yes: the question names the race that loads.
    const tour::TourResult yes = walk(join(
        {start,
         {tapOn(State::StartQuestion, u"Yes"), tapOn(State::Loading, u"Desert Sprint", 300), startRace()},
         raceAndQuit()}));
    EXPECT_TRUE(entered(yes, {State::StartQuestion, State::Loading, State::RaceCountdown, State::Race}));
    // No: the play menu, and from it a race.
    const tour::TourResult no =
        walk(join({start,
                   {tapOn(State::StartQuestion, u"No"), tapOn(State::RaceMenu, u"Quick Race"), startRace()},
                   raceAndQuit()}));
    EXPECT_TRUE(entered(no, {State::StartQuestion, State::RaceMenu, State::Loading, State::Race}));
}

TEST_F(PlayerPaths, AFinishedRaceIsRunAgainOrFollowedByTheNextTrack) {
    // A single race of one lap, steered to the finish by the test driver.
    const std::vector<Step> oneLap =
        join({toRaceMenu(),
              {tapOn(State::RaceMenu, u"Single Race")},
              firstCar(),
              {lapArrowDown(), lapArrowDown(), tapOn(State::PreRaceSelect, u"Select"), startRace()}});
    Step results = tapOn(State::RaceResults, u"Tap to continue", 2000);
    results.timeoutMs = kRaceTimeoutMs;
    results.during = tour::driveToCentre();
    // Retry runs the race again at once; the next race loads behind the bar
    // first.
    struct Answer {
        const char* name;
        std::vector<Step> steps;
    };
    const Answer answers[] = {
        {"retry", {tapOn(State::RaceEndMenu, u"Retry")}},
        {"next race", {tapOn(State::RaceEndMenu, u"Next Race"), startRace()}},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.name);
        const tour::TourResult result = walk(join({oneLap, {results}, answer.steps, raceAndQuit()}));
        EXPECT_TRUE(entered(result, {State::Race, State::RaceResults, State::RaceEndMenu, State::Race}));
    }
}

} // namespace
