// The overlay's soft keys and pause button on recorded paint calls.

#include "game/framework/Overlay.h"
#include "game/framework/Texts.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "tests/game/framework/TouchFixture.h"

#include <algorithm>
#include <set>

namespace {

using framework_testing::s_paints;
using framework_testing::TouchTest;

using OverlayTest = TouchTest;

std::int32_t countPainted(const char* prefix) {
    return static_cast<std::int32_t>(std::count_if(
        s_paints.begin(), s_paints.end(), [&](const std::string& p) { return p.rfind(prefix, 0) == 0; }));
}

TEST_F(OverlayTest, SoftKeysArePaintedInExactlyTheirStates) {
    using game::State;
    const std::set<State> rightKeyStates = {State::PreRaceSelect, State::RacerList,     State::ModeMenu,
                                            State::CupSelect,     State::RaceMenu,      State::BonusMenu,
                                            State::Options,       State::ReferenceList, State::TextScreen,
                                            State::RaceOptions,   State::RaceHelp};
    setLabels();
    // The text of the guided race's own key.
    game::textStatics().s_textCache = rt::newObjectArray(game::kGuidedRaceSoftKeyText + 1);
    rt::Array::setRef(game::textStatics().s_textCache, game::kGuidedRaceSoftKeyText,
                      rt::String::newFromCString("G"));
    game::setSoftKeys(2, 1);
    for (game::GameMode mode : {game::GameMode::LapRace, game::GameMode::Guided}) {
        // Every number a state can have, named or not.
        for (std::int32_t number = -1; number < game::kStateSlots - 1; ++number) {
            const State state = game::stateFromNumber(number);
            setState(state, mode);
            s_paints.clear();
            game::paintOverlay(game::loopStatics().s_graphics);
            bool left = mode == game::GameMode::Guided && state == State::Race;
            // In the guided race the left key is painted twice: with its own
            // label, then with the guide's text (while label 3 exists).
            EXPECT_EQ(countPainted("text 'L2'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'G'"), left ? 1 : 0) << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("text 'L1'"), rightKeyStates.count(state))
                << "mode " << mode << " state " << state;
            EXPECT_EQ(countPainted("frame"), countPainted("text")) << "mode " << mode << " state " << state;
        }
    }

    setState(game::State::PreRaceSelect, game::GameMode::LapRace);
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:5 @575,450", "palette 2:1", "text 'L1' @608,465 a3"}));
    setState(game::State::Race, game::GameMode::Guided);
    pressAt(0, 460);
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints,
              (std::vector<std::string>{"frame 65:4 @-8,450", "palette 2:1", "text 'L2' @30,465 a3",
                                        "frame 65:4 @-8,450", "palette 2:1", "text 'G' @30,465 a3"}));
}

TEST_F(OverlayTest, NoKeysMeansNothingPaintedAndNoZonesBuilt) {
    setLabels();
    game::setSoftKeys(-1, -1);
    for (game::State state : {game::State::PreRaceSelect, game::State::Race}) {
        setState(state, game::GameMode::LapRace);
        game::paintOverlay(game::loopStatics().s_graphics);
    }
    EXPECT_TRUE(s_paints.empty());
    EXPECT_EQ(game::touchStatics().s_softKeyZones, nullptr);
}

TEST_F(OverlayTest, ThePauseButtonIsPaintedUntilTheRaceHasFinished) {
    setState(game::State::Race, game::GameMode::LapRace);
    game::setSoftKeys(game::kPauseButtonLabel, -1);
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_TRUE(s_paints.empty()) << "no button before its zone is built";
    game::buildPauseButtonZone();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_EQ(s_paints, (std::vector<std::string>{"frame 65:8 @567,0"}));
    game::raceStatics().s_raceFinished = 1;
    s_paints.clear();
    game::paintOverlay(game::loopStatics().s_graphics);
    EXPECT_TRUE(s_paints.empty());
}

} // namespace
