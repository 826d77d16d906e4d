// "Choose Your Car" as a new player meets it: the real program on the demo
// set, walked by the screen tour from the title through the main and race
// menus, the car chosen by tapping its cell where the grid draws it.

#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/RacerData.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace racer_choice_program_test {

namespace {

using game::State;
using namespace tour::steps;

// The racer whose cell the player taps: the second car, unlocked from the
// first start.
constexpr std::int32_t kEntry = 1;

// The badge of entry `entry` as the grid drew it last, or null.
const game::DrawRecord* drawnBadge(const tour::Frame& frame, std::int32_t entry) {
    const rt::Object* badges = game::spriteAt(game::kRacerBadgeSprite);
    for (auto draw = frame.draws.rbegin(); draw != frame.draws.rend(); ++draw)
        if (draw->call == game::DrawCall::PaintFrame && draw->subject == badges && draw->args[0] == entry)
            return &*draw;
    return nullptr;
}

tour::Step step(std::string what, std::function<bool(const tour::Frame&)> ready,
                std::function<bool(const tour::Frame&, tour::Player&, std::string&)> act) {
    tour::Step made;
    made.what = std::move(what);
    made.ready = std::move(ready);
    made.act = std::move(act);
    return made;
}

// Taps the middle of entry `entry`'s badge.
std::function<bool(const tour::Frame&, tour::Player&, std::string&)> tapBadge(std::int32_t entry) {
    return [entry](const tour::Frame& frame, tour::Player& player, std::string& problem) {
        const game::DrawRecord* badge = drawnBadge(frame, entry);
        if (!badge) {
            problem = "the badge of entry " + std::to_string(entry) + " is not drawn";
            return false;
        }
        player.tap(badge->box[0] + badge->box[2] / 2, badge->box[1] + badge->box[3] / 2);
        return true;
    };
}

TEST(RacerChoiceProgram, TappingAnUnlockedCarsDrawnCellTwiceChoosesItAndOpensTheEventScreen) {
    testing_support::TemporaryFolder root("vorlax-racer-choice");
    const std::filesystem::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    std::int32_t highlighted = -1;
    std::int32_t chosen = -1;
    std::int32_t frames = 0;
    const std::vector<tour::Step> steps = {
        step("the sound question", inState(State::SoundQuestion), press(tour::SoftKey::Left)),
        step("the title", inState(State::Title), tapAt(320, 240)),
        step("the main menu", showing(State::MainMenu, u"Play", 900), tapText(u"Play")),
        step("the first-time question", showing(State::StartQuestion, u"No"), tapText(u"No")),
        step("the race menu", showing(State::RaceMenu, u"Single Race", 900), tapText(u"Single Race")),
        // The tap that opened the grid selects nothing on it: the first car
        // is highlighted, whatever lies under the tap.
        step("the racer list", showing(State::RacerList, u"Choose Your Car"),
             [&](const tour::Frame& frame, tour::Player& player, std::string& problem) {
                 highlighted = game::touchStatics().s_selection;
                 return tapBadge(kEntry)(frame, player, problem);
             }),
        // The first tap picks the car; a second, once the pick has settled,
        // takes it.
        step(
            "the picked car settled",
            [&](const tour::Frame& frame) { return frame.state == State::RacerList && ++frames > 15; },
            tapBadge(kEntry)),
        step("the event screen", inState(State::PreRaceSelect, 300),
             [&](const tour::Frame&, tour::Player&, std::string&) {
                 chosen = game::racerStatics().s_playerRacerId;
                 return true;
             }),
    };
    const tour::TourResult result = tour::runTour(demo, steps);
    EXPECT_TRUE(result.finished) << result.problem;
    EXPECT_EQ(highlighted, 0);
    EXPECT_EQ(chosen, kEntry);
}

} // namespace

} // namespace racer_choice_program_test
