#include "tools/tour/Walks.h"

#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Touch.h"

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

// Taps the lowest of the drawn left arrows (on the event screen: the laps'),
// `times` times over as many steps.
std::vector<Step> lowerLeftArrow(State state, int times) {
    std::vector<Step> taps;
    for (int i = 0; i < times; ++i) {
        Step step;
        step.what = "the lower left arrow";
        step.ready = inState(state, 600);
        step.act = [](const Frame& frame, Player& player, std::string& problem) {
            const game::DrawRecord* lowest = nullptr;
            for (const game::DrawRecord& draw : frame.draws)
                if (draw.call == game::DrawCall::PaintFrame && draw.depth == 0 &&
                    draw.subject == game::spriteAt(game::kMenuArrowSprite) &&
                    draw.args[0] == game::kLeftArrowFrame && (!lowest || draw.box[1] >= lowest->box[1]))
                    lowest = &draw;
            if (!lowest) {
                problem = "no left arrow is drawn";
                return false;
            }
            player.tap(lowest->box[0] + lowest->box[2] / 2, lowest->box[1] + lowest->box[3] / 2);
            return true;
        };
        taps.push_back(step);
    }
    return taps;
}

} // namespace

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
