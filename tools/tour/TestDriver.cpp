#include "tools/tour/TestDriver.h"

#include "game/framework/OrvelLibConfig.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/StartSequence.h"
#include "game/race/cEntity.h"

namespace tour {

namespace {

// The heading (2048 to the circle) the driver wants, from the car's place
// across the road and the bends ahead: back towards the centre line over
// about three segments (a heading h moves the car about 3h units across a
// segment), leaning into the bends against the drift that carries a car
// outward. Bounded to 15 degrees, below the 20 at which the steering
// slow-down starts.
std::int32_t wantedHeading(const game::cEntity* car) {
    std::int32_t ahead = 0;
    for (std::int32_t k = 0; k < 3; ++k)
        ahead += game::segmentCurveAt(car->m_segment + k);
    std::int32_t want = -car->m_lateral / 10 - ahead;
    constexpr std::int32_t kMost = 85;
    return want > kMost ? kMost : (want < -kMost ? -kMost : want);
}

// Below this difference of headings the driver lets go.
constexpr std::int32_t kDeadBand = 8;

} // namespace

std::string finishingOrder() {
    const std::int32_t count = game::racerCount();
    std::string order;
    for (std::int32_t place = 0; place < count; ++place)
        for (std::int32_t i = 0; i < count; ++i)
            if (const game::cEntity* car = game::racerAt(i); car && car->m_racePosition == place)
                order += (order.empty() ? "" : " ") + (car == game::racerStatics().s_playerCar
                                                           ? std::string("P")
                                                           : std::to_string(car->m_carType));
    return order;
}

std::function<void(const Frame&, Player&)> driveToCentre() {
    return [](const Frame& frame, Player& player) {
        const game::cEntity* car = game::racerStatics().s_playerCar;
        if (frame.state != game::State::Race || !car || game::raceStatics().s_raceFinished ||
            game::startSequenceStatics().s_startPhaseTimer > 0) {
            player.letGo();
            return;
        }
        const std::int32_t width = game::config().s_gameScreenWidth;
        const std::int32_t height = game::config().s_gameScreenHeight;
        const std::int32_t turn = wantedHeading(car) - car->m_heading;
        if (turn < -kDeadBand)
            player.hold(width / 4, height / 2);
        else if (turn > kDeadBand)
            player.hold(3 * width / 4, height / 2);
        else
            player.letGo();
    };
}

Step raceToFinish(std::function<void(const Frame&, Player&)> during, std::string& outcome) {
    Step step;
    step.what = "the race's finish";
    step.ready = [](const Frame& frame) {
        return (frame.state == game::State::Race || frame.state == game::State::RaceResults) &&
               game::raceStatics().s_raceFinished != 0;
    };
    step.during = std::move(during);
    step.act = [&outcome](const Frame&, Player& player, std::string&) {
        player.letGo();
        outcome = game::raceOverText() + "; order " + finishingOrder();
        return true;
    };
    // Three laps of the longest track with no hand on the wheel, with room
    // to spare.
    step.timeoutMs = 3000000;
    return step;
}

std::vector<Step> quickRaceSteps(std::function<void(const Frame&, Player&)> during, std::string& outcome) {
    std::vector<Step> race;
    // The sound question, when the program asks it, comes before the load.
    Step sound;
    sound.what = "the sound question or the start prompt";
    sound.ready = [](const Frame& frame) {
        return steps::inState(game::State::SoundQuestion)(frame) ||
               steps::showing(game::State::Loading, u"Tap the screen to start")(frame);
    };
    sound.act = [](const Frame& frame, Player& player, std::string& problem) {
        return frame.state != game::State::SoundQuestion ||
               steps::press(SoftKey::Left)(frame, player, problem);
    };
    race.push_back(sound);
    Step start;
    start.what = "the start prompt";
    start.ready = steps::showing(game::State::Loading, u"Tap the screen to start");
    start.act = steps::tapText(u"Tap the screen to start");
    race.push_back(start);
    race.push_back(raceToFinish(std::move(during), outcome));
    return race;
}

} // namespace tour
