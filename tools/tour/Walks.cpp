#include "tools/tour/Walks.h"

namespace tour {

using game::State;
using namespace steps;

namespace {

Step shotOf(std::string name, State state, std::function<bool(const Frame&, Player&, std::string&)> act,
            std::int32_t settleMs = 900) {
    Step step;
    step.what = "the " + name + " screen";
    step.ready = inState(state, settleMs);
    step.shot = std::move(name);
    step.act = std::move(act);
    return step;
}

} // namespace

std::vector<Step> wholeTour() {
    std::vector<Step> tour;
    tour.push_back(shotOf("splash", State::Splash, nothing(), 1500));
    tour.push_back(shotOf("splash-text", State::Splash, nothing(), 6800));
    tour.push_back(shotOf("sound-question", State::SoundQuestion, press(SoftKey::Left)));
    tour.push_back(shotOf("title", State::Title, tapAt(320, 240)));
    tour.push_back(shotOf("main-menu", State::MainMenu, tapText(u"Play")));
    tour.push_back(shotOf("new-here-question", State::StartQuestion, tapText(u"No")));
    tour.push_back(shotOf("race-menu", State::RaceMenu, tapText(u"Career")));
    tour.push_back(shotOf("career", State::BonusMenu, press(SoftKey::Right)));
    tour.push_back(shotOf("race-menu-again", State::RaceMenu, tapText(u"Championship")));
    tour.push_back(shotOf("championship", State::BonusMenu, press(SoftKey::Right)));
    tour.push_back(shotOf("race-menu-3", State::RaceMenu, tapText(u"Challenges")));
    tour.push_back(shotOf("challenges", State::ModeMenu, press(SoftKey::Right)));
    tour.push_back(shotOf("race-menu-4", State::RaceMenu, tapText(u"Single Race")));
    tour.push_back(shotOf("single-race", State::PreRaceSelect, press(SoftKey::Right)));
    return tour;
}

} // namespace tour
