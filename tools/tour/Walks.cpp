#include "tools/tour/Walks.h"

#include "game/framework/HudFrames.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Touch.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/StartSequence.h"
#include "game/race/cEntity.h"
#include "platform/shell/Program.h"
#include "tools/tour/TestDriver.h"

namespace tour {

using game::State;
using namespace steps;

namespace {

using Act = std::function<bool(const Frame&, Player&, std::string&)>;

// A screen seen for the first time: its picture is taken, then `act`.
Step shotOf(std::string name, State state, Act act, std::int32_t settleMs = 900) {
    Step step;
    step.what = "the " + name + " screen";
    step.ready = inState(state, settleMs);
    step.shot = std::move(name);
    step.act = std::move(act);
    return step;
}

// A screen seen before: no picture.
Step back(State state, Act act) {
    Step step;
    step.what = "state " + std::to_string(game::stateNumber(state)) + " again";
    step.ready = inState(state, 900);
    step.act = std::move(act);
    return step;
}

enum class Row { Top, Bottom };

// Taps the drawn arrow of `frame` in the top or the bottom row of arrows
// (on the event screen: the track's, the laps'), `times` times over as many steps.
std::vector<Step> arrowTaps(State state, std::int32_t frame, Row row, int times) {
    std::vector<Step> taps;
    for (int i = 0; i < times; ++i) {
        Step step;
        step.what = std::string(row == Row::Top ? "the upper " : "the lower ") +
                    (frame == game::kLeftArrowFrame ? "left arrow" : "right arrow");
        step.ready = inState(state, 600);
        step.act = [frame, row](const Frame& shown, Player& player, std::string& problem) {
            const game::DrawRecord* found = nullptr;
            for (const game::DrawRecord& draw : shown.draws)
                if (draw.call == game::DrawCall::PaintFrame && draw.depth == 0 &&
                    draw.subject == game::spriteAt(game::kMenuArrowSprite) && draw.args[0] == frame &&
                    (!found ||
                     (row == Row::Bottom ? draw.box[1] >= found->box[1] : draw.box[1] <= found->box[1])))
                    found = &draw;
            if (!found) {
                problem = "no such arrow is drawn";
                return false;
            }
            player.tap(found->box[0] + found->box[2] / 2, found->box[1] + found->box[3] / 2);
            return true;
        };
        taps.push_back(step);
    }
    return taps;
}

std::vector<Step> lowerLeftArrow(State state, int times) {
    return arrowTaps(state, game::kLeftArrowFrame, Row::Bottom, times);
}

// The track the demo races, as so many tracks on from the event screen's
// first: the shortest lap a newcomer may race.
constexpr int kDemoTrack = 1;

// The coins the demo's driver collects before it fires them as nitro.
constexpr std::int32_t kNitroCoins = 1;

// The demo's hands in the race: steers as the test driver does, and once
// the player's car holds `kNitroCoins` coins lets go and presses the coin
// plate, where the head-up display draws it.
std::function<void(const Frame&, Player&)> driveWithNitro() {
    return [drive = driveToCentre()](const Frame& frame, Player& player) {
        const game::cEntity* car = game::racerStatics().s_playerCar;
        if (frame.state == State::Race && car && !game::raceStatics().s_raceFinished &&
            game::startSequenceStatics().s_startPhaseTimer <= 0 && car->m_collected >= kNitroCoins) {
            player.letGo();
            std::string problem;
            if (holdFrame(game::kCoinSprite, game::kCoinPlateFrame, 2)(frame, player, problem))
                return;
        }
        drive(frame, player);
    };
}

} // namespace

std::vector<Step> demoWalk() {
    // A step named as a player would say it, done once the screen has
    // settled and then been in one of the run's pictures (one every
    // `kShotPeriod` of game time), so that the pictures show every screen.
    auto pictured = [](State state, std::string what, Act act, std::int32_t settleMs = 600) {
        return step(
            std::move(what),
            [state, settleMs](const Frame& frame) {
                const std::uint64_t settled = frame.now - static_cast<std::uint64_t>(frame.stateTime) +
                                              static_cast<std::uint64_t>(settleMs);
                const std::uint64_t shot =
                    (settled + platform::kShotPeriod - 1) / platform::kShotPeriod * platform::kShotPeriod;
                return frame.state == state && frame.now >= shot;
            },
            std::move(act));
    };
    // A step the pictures need not show.
    auto on = [](State state, std::string what, Act act, std::int32_t settleMs = 900) {
        return step(std::move(what), inState(state, settleMs), std::move(act));
    };
    std::vector<Step> walk;
    walk.push_back(
        on(State::SoundQuestion, "the sound question: yes, the left soft key", press(SoftKey::Left)));
    walk.push_back(pictured(State::Title, "the title: a tap on its picture", tapAt(320, 240), 100));
    walk.push_back(pictured(State::MainMenu, "the main menu: Play", tapText(u"Play")));
    walk.push_back(on(State::StartQuestion, "new here? No", tapText(u"No"), 600));
    walk.push_back(pictured(State::RaceMenu, "the race menu: Single Race", tapText(u"Single Race")));
    walk.push_back(pictured(State::RacerList, "the first car, the left soft key", press(SoftKey::Left)));
    for (Step tap : arrowTaps(State::PreRaceSelect, game::kRightArrowFrame, Row::Top, kDemoTrack)) {
        tap.what = "the event: the next track, its upper right arrow";
        walk.push_back(tap);
    }
    for (Step tap : lowerLeftArrow(State::PreRaceSelect, 2)) {
        tap.what = "the event: a lap fewer, its lower left arrow";
        walk.push_back(tap);
    }
    walk.push_back(pictured(State::PreRaceSelect, "the event: Select", tapText(u"Select"), 0));
    Step loaded =
        pictured(State::Loading, "the loaded race: the prompt", tapText(u"Tap the screen to start"));
    loaded.ready = [pictured = loaded.ready](const Frame& frame) {
        return pictured(frame) && showing(State::Loading, u"Tap the screen to start")(frame);
    };
    walk.push_back(loaded);
    walk.push_back(pictured(State::TrackFlyover, "the flyover: a tap on the road ends it", tapAt(320, 400)));
    walk.push_back(on(State::RacerIntro, "the racers: a tap ends their show", tapAt(320, 400), 300));
    // A race won goes on to the results by itself; otherwise the finish waits for a tap.
    Step race = step(
        "the race: steering, the coins fired as nitro from the coin plate, the finish",
        [](const Frame& frame) {
            return frame.state == State::RaceResults || showing(State::Race, u"Tap to continue", 1000)(frame);
        },
        [](const Frame& frame, Player& player, std::string& problem) {
            player.letGo();
            return frame.state == State::RaceResults || tapText(u"Tap to continue")(frame, player, problem);
        });
    race.during = driveWithNitro();
    race.timeoutMs = 300000;
    walk.push_back(race);
    Step results = pictured(State::RaceResults, "the results: their prompt", tapText(u"Tap to continue"));
    results.ready = [pictured = results.ready](const Frame& frame) {
        return pictured(frame) && showing(State::RaceResults, u"Tap to continue", 1500)(frame);
    };
    walk.push_back(results);
    walk.push_back(pictured(State::RaceEndMenu, "the after-race menu: Leave", tapText(u"Leave")));
    walk.push_back(pictured(State::MainMenu, "the main menu again", nothing()));
    return walk;
}

std::vector<Step> wholeTour() {
    std::vector<Step> tour;
    // Start-up: the splash, its text, the sound question, the title.
    tour.push_back(shotOf("splash", State::Splash, nothing(), 1500));
    tour.push_back(shotOf("splash-text", State::Splash, nothing(), 6800));
    tour.push_back(shotOf("sound-question", State::SoundQuestion, press(SoftKey::Left)));
    tour.push_back(shotOf("title", State::Title, tapAt(320, 240)));
    // Play, the first-time question, the race menu and each play mode up to
    // its event: the career's cups, car and championship; the time trial's
    // event; a challenge's event.
    tour.push_back(shotOf("main-menu", State::MainMenu, tapText(u"Play")));
    tour.push_back(shotOf("new-here-question", State::StartQuestion, tapText(u"No")));
    tour.push_back(shotOf("race-menu", State::RaceMenu, tapText(u"Career")));
    tour.push_back(shotOf("career", State::BonusMenu, tapFrame(game::kBonusPictureSprite, 0)));
    tour.push_back(back(State::RacerList, press(SoftKey::Left)));
    tour.push_back(shotOf("championship", State::CupSelect, press(SoftKey::Right)));
    tour.push_back(back(State::RacerList, press(SoftKey::Right)));
    tour.push_back(back(State::BonusMenu, press(SoftKey::Right)));
    tour.push_back(back(State::RaceMenu, tapText(u"Time Trial")));
    tour.push_back(back(State::RacerList, press(SoftKey::Left)));
    tour.push_back(shotOf("time-trial-event", State::PreRaceSelect, press(SoftKey::Right)));
    tour.push_back(back(State::RacerList, press(SoftKey::Right)));
    tour.push_back(back(State::RaceMenu, tapText(u"Challenges")));
    tour.push_back(shotOf("challenges", State::ModeMenu, tapText(u"Coin Rush")));
    tour.push_back(back(State::RacerList, press(SoftKey::Left)));
    tour.push_back(shotOf("coin-rush-event", State::PreRaceSelect, press(SoftKey::Right)));
    tour.push_back(back(State::RacerList, press(SoftKey::Right)));
    tour.push_back(back(State::ModeMenu, press(SoftKey::Right)));
    // A single race: the car, the event, loading, the flyover, the racer
    // intro, the countdown, the race, its pause menu and help, its finish,
    // the results and the after-race menu.
    tour.push_back(back(State::RaceMenu, tapText(u"Single Race")));
    tour.push_back(shotOf("choose-your-car", State::RacerList, press(SoftKey::Left)));
    tour.push_back(shotOf("choose-your-event", State::PreRaceSelect, nothing()));
    // One lap: the laps' arrow, from three down to one.
    for (const Step& tap : lowerLeftArrow(State::PreRaceSelect, 2))
        tour.push_back(tap);
    tour.push_back(shotOf("choose-your-event-one-lap", State::PreRaceSelect, tapText(u"Select"), 600));
    tour.push_back(shotOf("loading", State::Loading, nothing(), 100));
    Step loadingDone = shotOf("loading-done", State::Loading, tapText(u"Tap the screen to start"));
    loadingDone.ready = showing(State::Loading, u"Tap the screen to start");
    tour.push_back(loadingDone);
    tour.push_back(shotOf("flyover", State::TrackFlyover, nothing(), 1500));
    tour.push_back(shotOf("racer-intro", State::RacerIntro, nothing(), 1500));
    tour.push_back(shotOf("countdown", State::RaceCountdown, nothing(), 1200));
    tour.push_back(shotOf("race", State::Race, tapFrame(game::kMenuItemSprite, game::kPauseFrameOff), 5000));
    tour.push_back(shotOf("pause-menu", State::PauseMenu, tapText(u"Help")));
    tour.push_back(shotOf("in-race-help", State::RaceHelp, tapText(u"Back")));
    tour.push_back(back(State::PauseMenu, tapText(u"Sound")));
    Step soundOn = shotOf("pause-menu-sound-on", State::PauseMenu, tapText(u"Restart"));
    soundOn.ready = showing(State::PauseMenu, u": On");
    tour.push_back(soundOn);
    tour.push_back(shotOf("restart-question", State::RestartQuestion, tapText(u"No")));
    tour.push_back(back(State::PauseMenu, tapText(u"Exit Game")));
    tour.push_back(shotOf("exit-question-over-race", State::ExitQuestion, tapText(u"No")));
    tour.push_back(back(State::PauseMenu, tapText(u"Continue")));
    Step finish;
    finish.what = "the race's finish";
    finish.ready = showing(State::Race, u"Tap to continue", 1000);
    finish.shot = "race-finish";
    finish.act = tapText(u"Tap to continue");
    finish.timeoutMs = 900000;
    tour.push_back(finish);
    tour.push_back(shotOf("results", State::RaceResults, tapAt(320, 240), 3000));
    tour.push_back(shotOf("after-race-menu", State::RaceEndMenu, tapText(u"Leave")));
    // A quick race (the guided race): the guide's explanation over the
    // countdown, its first steps, each done by the control it shows, and the
    // way out through the pause menu's quit question.
    tour.push_back(back(State::MainMenu, tapText(u"Play")));
    tour.push_back(back(State::RaceMenu, tapText(u"Quick Race")));
    Step loaded = back(State::Loading, tapText(u"Tap the screen to start"));
    loaded.ready = showing(State::Loading, u"Tap the screen to start");
    tour.push_back(loaded);
    tour.push_back(shotOf("guide-explanation", State::RaceCountdown, tapText(u"Tap to continue"), 1200));
    tour.push_back(shotOf("guide-steer-left", State::Race, tapFrame(game::kRaceTouchSprite, 0), 1500));
    tour.push_back(shotOf("guide-well-done", State::Race, nothing(), 300));
    tour.push_back(shotOf("guide-steer-right", State::Race, tapFrame(game::kRaceTouchSprite, 2), 1500));
    tour.push_back(
        shotOf("guide-stop", State::Race, tapFrame(game::kMenuItemSprite, game::kPauseFrameOff), 1500));
    tour.push_back(back(State::PauseMenu, tapText(u"Quit Race")));
    tour.push_back(shotOf("quit-race-question", State::QuitRaceQuestion, tapText(u"Yes")));
    // The main menu's other items and the exit question.
    tour.push_back(back(State::MainMenu, tapText(u"Options")));
    tour.push_back(shotOf("options", State::Options, press(SoftKey::Right)));
    tour.push_back(back(State::MainMenu, tapText(u"Help")));
    tour.push_back(
        shotOf("help", State::ReferenceList, tapFrame(game::kMenuArrowSprite, game::kRightArrowFrame)));
    tour.push_back(shotOf("help-page-2", State::ReferenceList,
                          tapFrame(game::kMenuArrowSprite, game::kRightArrowFrame), 300));
    tour.push_back(shotOf("help-page-3", State::ReferenceList, press(SoftKey::Right), 300));
    tour.push_back(back(State::MainMenu, tapText(u"About")));
    tour.push_back(shotOf("about", State::TextScreen, press(SoftKey::Right)));
    tour.push_back(back(State::MainMenu, tapText(u"More Games")));
    tour.push_back(shotOf("more-games-notice", State::PromotionNotice, tapAt(320, 240)));
    // The More Games pages, each reached by its drawn right arrow; the drawn
    // back key leaves.
    constexpr int kPromoPages = 6;
    for (int page = 1; page <= kPromoPages; ++page) {
        const bool last = page == kPromoPages;
        Step shot =
            shotOf("more-games-page-" + std::to_string(page), State::Promotion,
                   last ? tapPromoImage({12, 13}, "back key") : tapPromoImage({6, 7}, "right page arrow"),
                   page == 1 ? 2000 : 300);
        tour.push_back(shot);
    }
    tour.push_back(back(State::MainMenu, tapText(u"Exit")));
    tour.push_back(shotOf("exit-question", State::ExitQuestion, tapText(u"No")));
    tour.push_back(back(State::MainMenu, nothing()));
    return tour;
}

} // namespace tour
