#include "game/framework/Seams.h"

#include "game/framework/States.h"

#include <utility>

namespace game {

namespace {

// The states the game enters; each needs its handler. State 1 is the
// start-up load at the bottom of the stack.
constexpr std::int32_t kGameStates[] = {
    1,
    kSplashState,
    kSoundQuestionState,
    kLoadingState,
    kTitleState,
    kMainMenuState,
    kExitQuestionState,
    kQuitRaceQuestionState,
    kRestartQuestionState,
    kResetQuestionState,
    kPreRaceState,
    kListScreenState,
    kModeMenuState,
    kTrackSelectState,
    kRaceMenuState,
    kBonusMenuState,
    kOptionsState,
    kReferenceListState,
    kTextPageState,
    kPauseMenuState,
    kRaceOptionsState,
    kRaceHelpState,
    kRaceEndMenuState,
    kNoticeState,
    kTextScreenState,
    kRacerIntroState,
    kTrackFlyoverState,
    kRaceCountdownState,
    kRaceState,
    kResultsState,
    kStartQuestionState,
    kPromotionState,
};

} // namespace

Seams& seams() {
    // Function pointers only: nothing here is a guest reference.
    static Seams s_seams;
    return s_seams;
}

void setStateHandler(std::int32_t state, StateHandler handler) {
    if (state >= kQuitState && state <= kLastState)
        seams().states[static_cast<std::size_t>(state + 1)] = handler;
}

StateHandler stateHandler(std::int32_t state) {
    if (state < kQuitState || state > kLastState)
        return nullptr;
    return seams().states[static_cast<std::size_t>(state + 1)];
}

std::string missingRegistration() {
    for (std::int32_t state : kGameStates)
        if (!stateHandler(state))
            return "no handler for state " + std::to_string(state);
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
