#include "game/framework/Seams.h"

#include "game/framework/States.h"

#include <utility>

namespace game {

namespace {

// Whether the game enters `state`, so that it needs a handler: every named
// state but the quit state, which the state machine takes itself. Each
// state is a case of its own, so that a new one cannot be left out.
bool entered(State state) {
    switch (state) {
    case State::Quit:
        return false;
    case State::StartupLoad:
    case State::Splash:
    case State::SoundQuestion:
    case State::Loading:
    case State::Title:
    case State::MainMenu:
    case State::ExitQuestion:
    case State::QuitRaceQuestion:
    case State::RestartQuestion:
    case State::ResetQuestion:
    case State::PreRaceSelect:
    case State::RacerList:
    case State::ModeMenu:
    case State::CupSelect:
    case State::RaceMenu:
    case State::BonusMenu:
    case State::Options:
    case State::ReferenceList:
    case State::TextScreen:
    case State::PauseMenu:
    case State::RaceOptions:
    case State::RaceHelp:
    case State::RaceEndMenu:
    case State::PromotionNotice:
    case State::RewardScreen:
    case State::RacerIntro:
    case State::TrackFlyover:
    case State::RaceCountdown:
    case State::Race:
    case State::RaceResults:
    case State::StartQuestion:
    case State::Promotion:
        return true;
    }
    // A number between the named states.
    return false;
}

} // namespace

Seams& seams() {
    // Function pointers only: nothing here is a guest reference.
    static Seams s_seams;
    return s_seams;
}

void setStateHandler(State state, StateHandler handler) {
    const std::int32_t slot = stateNumber(state) + 1;
    if (slot >= 0 && slot < kStateSlots)
        seams().states[static_cast<std::size_t>(slot)] = handler;
}

StateHandler stateHandler(State state) {
    const std::int32_t slot = stateNumber(state) + 1;
    if (slot < 0 || slot >= kStateSlots)
        return nullptr;
    return seams().states[static_cast<std::size_t>(slot)];
}

std::string missingRegistration() {
    for (std::int32_t number = stateNumber(State::Quit); number < kStateSlots - 1; ++number) {
        const State state = stateFromNumber(number);
        if (entered(state) && !stateHandler(state))
            return "no handler for state " + std::to_string(number);
    }
    const Seams& s = seams();
    const std::pair<const char*, bool> members[] = {
        {"frame.soundService", s.frame.soundService != nullptr},
        {"sound.playingMusic", s.sound.playingMusic != nullptr},
        {"sound.stopAllSounds", s.sound.stopAllSounds != nullptr},
        {"sound.stopMusic", s.sound.stopMusic != nullptr},
        {"sound.queueFreeChannel", s.sound.queueFreeChannel != nullptr},
        {"sound.playSound", s.sound.playSound != nullptr},
        {"sound.suspend", s.sound.suspend != nullptr},
        {"sound.makeSoundRunner", s.sound.makeSoundRunner != nullptr},
        {"sound.endSoundThread", s.sound.endSoundThread != nullptr},
        {"loading.loadRecord", s.loading.loadRecord != nullptr},
        {"loading.loadFixedPointTables", s.loading.loadFixedPointTables != nullptr},
        {"loading.loadStartupPack", s.loading.loadStartupPack != nullptr},
        {"loading.loadRaceTables", s.loading.loadRaceTables != nullptr},
        {"loading.initZoomCaches", s.loading.initZoomCaches != nullptr},
        {"loading.staticInit", s.loading.staticInit != nullptr},
        {"sprites.frameWidth", s.sprites.frameWidth != nullptr},
        {"sprites.frameHeight", s.sprites.frameHeight != nullptr},
        {"sprites.paintFrame", s.sprites.paintFrame != nullptr},
        {"sprites.selectFontPalette", s.sprites.selectFontPalette != nullptr},
        {"sprites.drawString", s.sprites.drawString != nullptr},
        {"race.raceFinished", s.race.raceFinished != nullptr},
        {"promotion.actionAtPoint", s.promotion.actionAtPoint != nullptr},
        {"promotion.pressed", s.promotion.pressed != nullptr},
        {"promotion.released", s.promotion.released != nullptr},
        {"promotion.hovered", s.promotion.hovered != nullptr},
        {"promotion.available", s.promotion.available != nullptr},
        {"promotion.setup", s.promotion.setup != nullptr},
        {"promotion.stop", s.promotion.stop != nullptr},
    };
    for (const auto& [name, filled] : members)
        if (!filled)
            return name;
    return {};
}

} // namespace game
