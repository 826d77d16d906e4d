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
        {"no handler for state 1", [](game::Seams&) { game::setStateHandler(1, nullptr); }},
        {"no handler for state 46",
         [](game::Seams&) { game::setStateHandler(game::kPromotionState, nullptr); }},
        // States the game never enters need no handler.
        {"",
         [](game::Seams&) {
             game::setStateHandler(11, nullptr);
             game::setStateHandler(44, nullptr);
         }},
        {"promotion.stop", [](game::Seams& s) { s.promotion.stop = nullptr; }},
        // Two missing: the first in the order above.
        {"no handler for state 4",
         [](game::Seams& s) {
             s.frame.soundService = nullptr;
             game::setStateHandler(game::kLoadingState, nullptr);
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
    const game::StateHandler handler = game::stateHandler(game::kMainMenuState);
    ASSERT_NE(handler, nullptr);
    for (std::int32_t state : {-2, 47}) {
        game::setStateHandler(state, handler);
        EXPECT_EQ(game::stateHandler(state), nullptr) << state;
    }
    for (std::int32_t state : {-1, 46}) {
        game::setStateHandler(state, handler);
        EXPECT_EQ(game::stateHandler(state), handler) << state;
    }
    game::registerGame();
}

} // namespace
