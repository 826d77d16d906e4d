// The framework's registries: the first missing registration is named, the
// states the game enters before the members, each in its order; a handler
// is kept only for a state that exists.

#include "game/framework/Seams.h"
#include "game/Game.h"
#include "game/framework/States.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <string>

namespace {

using SeamsTest = framework_testing::FrameworkTest;

TEST_F(SeamsTest, TheFirstMissingRegistrationIsNamedStatesFirst) {
    struct Case {
        const char* missing;
        void (*clear)(game::Seams&);
    };
    const Case cases[] = {
        {"", [](game::Seams&) {}},
        {"no handler for state 1",
         [](game::Seams&) { game::setStateHandler(game::State::StartupLoad, nullptr); }},
        {"no handler for state 46",
         [](game::Seams&) { game::setStateHandler(game::State::Promotion, nullptr); }},
        // The numbers between the named states need no handler, nor does
        // the quit state, which the state machine takes itself.
        {"",
         [](game::Seams&) {
             game::setStateHandler(game::stateFromNumber(11), nullptr);
             game::setStateHandler(game::stateFromNumber(44), nullptr);
             game::setStateHandler(game::State::Quit, nullptr);
         }},
        {"promotion.stop", [](game::Seams& s) { s.promotion.stop = nullptr; }},
        // Two missing: the first in the order above.
        {"no handler for state 4",
         [](game::Seams& s) {
             s.frame.soundService = nullptr;
             game::setStateHandler(game::State::Loading, nullptr);
         }},
        {"sound.stopMusic",
         [](game::Seams& s) {
             s.promotion.stop = nullptr;
             s.sound.stopMusic = nullptr;
         }},
    };
    for (const Case& c : cases) {
        game::registerGame();
        c.clear(game::seams());
        EXPECT_EQ(game::missingRegistration(), c.missing);
    }
    game::registerGame();
}

TEST_F(SeamsTest, HandlersAreKeptForStatesMinusOneTo46Only) {
    game::registerGame();
    const game::StateHandler handler = game::stateHandler(game::State::MainMenu);
    ASSERT_NE(handler, nullptr);
    for (std::int32_t number : {-2, 47}) {
        game::setStateHandler(game::stateFromNumber(number), handler);
        EXPECT_EQ(game::stateHandler(game::stateFromNumber(number)), nullptr) << number;
    }
    for (game::State state : {game::State::Quit, game::State::Promotion}) {
        game::setStateHandler(state, handler);
        EXPECT_EQ(game::stateHandler(state), handler) << state;
    }
    game::registerGame();
}

} // namespace
