// The composition root leaves nothing half-connected: every registry member
// the game calls is filled, and a build that misses one stops at start-up
// with exit status 1 and a line naming it, before any code could call it.

#include "game/Game.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/race/RaceSeams.h"
#include "tests/game/framework/GameFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GameWiring, TheGameFillsEveryRegistryItCalls) {
    game::registerGame();
    EXPECT_EQ(game::missingGameRegistration(), "");
}

struct MissingCase {
    const char* name;
    void (*unregister)();
    const char* line;
};

const MissingCase kMissing[] = {
    {"state handler", [] { game::setStateHandler(game::State::PreRaceSelect, nullptr); },
     "no handler for state 12"},
    {"frame hook", [] { game::seams().frame.soundService = nullptr; }, "frame.soundService"},
    {"sound hook", [] { game::seams().sound.playSound = nullptr; }, "sound.playSound"},
    {"loading step", [] { game::seams().loading.loadRaceTables = nullptr; }, "loading.loadRaceTables"},
    {"sprite hook", [] { game::seams().sprites.drawString = nullptr; }, "sprites.drawString"},
    {"promotion hook", [] { game::seams().promotion.setup = nullptr; }, "promotion.setup"},
    {"lap option", [] { game::raceSeams().lapOption = nullptr; }, "race.lapOption"},
    {"the framework's first",
     [] {
         game::raceSeams().lapOption = nullptr;
         game::seams().sound.playSound = nullptr;
     },
     "sound.playSound"},
};

TEST(GameWiring, AMissingRegistrationIsNamed) {
    for (const MissingCase& c : kMissing) {
        game::registerGame();
        c.unregister();
        EXPECT_EQ(game::missingGameRegistration(), c.line) << c.name;
    }
    game::registerGame();
}

// Registering again gives back what a test replaced.
TEST(GameWiring, RegisteringAgainRefillsEveryMember) {
    bool (*const replaced)() = [] { return true; };
    game::registerGame();
    game::seams().race.raceFinished = replaced;
    game::raceSeams().lapOption = nullptr;
    game::registerGame();
    EXPECT_EQ(game::missingGameRegistration(), "");
    EXPECT_NE(game::seams().race.raceFinished, replaced);
}

// The start-up itself refuses: exit status 1 and one line naming the hook,
// and the data set is not even opened.
TEST(GameWiring, StartUpStopsOnAMissingRegistrationWithALineNamingIt) {
    framework_testing::s_register = [] { game::raceSeams().lapOption = nullptr; };
    {
        framework_testing::StartedGame game;
        EXPECT_FALSE(game.startup.ok());
        EXPECT_EQ(game.startup.status(), platform::ExitStatus::CannotStart);
        EXPECT_EQ(game.startup.message(),
                  "the game is not wired completely: race.lapOption is not registered");
    }
    game::registerGame();
}

} // namespace
