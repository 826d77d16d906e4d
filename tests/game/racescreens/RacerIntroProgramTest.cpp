// The racer intro as a player meets it: the real program on the demo set,
// a single race chosen on one track and then on another, the names the
// intro's camera shows read from what the frames drew. Each track fields
// its own rivals.

#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Touch.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using game::State;
using namespace tour::steps;

// Taps the highest right arrow drawn: on the event screen, the track's.
tour::Step nextTrack() {
    return step("the track's right arrow", inState(State::PreRaceSelect, 600),
                [](const tour::Frame& frame, tour::Player& player, std::string& problem) {
                    const game::DrawRecord* highest = nullptr;
                    for (const game::DrawRecord& draw : frame.draws)
                        if (draw.call == game::DrawCall::PaintFrame && draw.depth == 0 &&
                            draw.subject == game::spriteAt(game::kMenuArrowSprite) &&
                            draw.args[0] == game::kRightArrowFrame &&
                            (!highest || draw.box[1] < highest->box[1]))
                            highest = &draw;
                    if (!highest) {
                        problem = "no right arrow is drawn";
                        return false;
                    }
                    player.tap(highest->box[0] + highest->box[2] / 2, highest->box[1] + highest->box[3] / 2);
                    return true;
                });
}

// The texts the racer intro drew from its start to the countdown, the
// blinking prompt left out.
std::set<std::u16string> introNames(const std::filesystem::path& demo, int track) {
    std::vector<tour::Step> steps = {
        step("the sound question", inState(State::SoundQuestion), press(tour::SoftKey::Left)),
        step("the title", inState(State::Title), tapAt(320, 240)),
        step("the main menu", showing(State::MainMenu, u"Play", 900), tapText(u"Play")),
        step("the first-time question", showing(State::StartQuestion, u"No"), tapText(u"No")),
        step("the race menu", showing(State::RaceMenu, u"Single Race", 900), tapText(u"Single Race")),
        step("the car list", inState(State::RacerList), press(tour::SoftKey::Left)),
    };
    for (int i = 0; i < track; ++i)
        steps.push_back(nextTrack());
    steps.push_back(step("the event screen", inState(State::PreRaceSelect, 600), tapText(u"Select")));
    steps.push_back(step("the loaded race", showing(State::Loading, u"Tap the screen to start"),
                         tapText(u"Tap the screen to start")));
    steps.push_back(step("the flyover", inState(State::TrackFlyover, 300), press(tour::SoftKey::Left)));
    std::set<std::u16string> names;
    steps.push_back(step(
        "the whole racer intro",
        [&names](const tour::Frame& frame) {
            if (frame.state == State::RacerIntro)
                for (const game::DrawRecord& draw : frame.draws)
                    if (draw.call == game::DrawCall::DrawText && draw.text != u"Tap to continue")
                        names.insert(draw.text);
            return frame.state == State::RaceCountdown;
        },
        nothing()));
    const tour::TourResult result = tour::runTour(demo, steps);
    EXPECT_TRUE(result.finished) << "track " << track << ": " << result.problem;
    return names;
}

TEST(RacerIntroProgram, EachTrackFieldsItsOwnRivals) {
    testing_support::TemporaryFolder root("vorlax-racer-intro");
    const std::filesystem::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    const std::set<std::u16string> first = introNames(demo, 0);
    const std::set<std::u16string> second = introNames(demo, 1);
    // A grid of six: five rivals and the player, each named in turn.
    EXPECT_EQ(first.size(), 6u);
    EXPECT_EQ(second.size(), 6u);
    EXPECT_NE(first, second);
}

} // namespace
