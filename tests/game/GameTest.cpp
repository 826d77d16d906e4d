// The composition root: `registerGame` fills the framework's and the race's
// registries, and fills them again whenever it runs; start-up refuses to go
// on without a registration the game needs, with exit status 1 and a line
// naming it.

#include "game/Game.h"
#include "game/framework/Seams.h"
#include "game/race/RaceSeams.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/TemporaryFolder.h"

#include <string>

namespace {

using GameRegistration = framework_testing::FrameworkTest;

TEST_F(GameRegistration, EveryRegistryIsFilledAndTheFirstMissingMemberIsNamed) {
    struct Case {
        const char* missing;
        void (*clear)();
    };
    const Case cases[] = {
        {"", [] {}},
        {"race.painter", [] { game::raceSeams().painter = nullptr; }},
        {"race.lapOption", [] { game::raceSeams().lapOption = nullptr; }},
        // The framework's come first.
        {"sound.playSound",
         [] {
             game::raceSeams().painter = nullptr;
             game::seams().sound.playSound = nullptr;
         }},
        {"no handler for state 42", [] { game::setStateHandler(game::kRaceState, nullptr); }},
    };
    for (const Case& c : cases) {
        game::registerGame();
        c.clear();
        EXPECT_EQ(game::missingGameRegistration(), c.missing);
    }
    // A member a test replaced is the game's again.
    bool (*const replaced)() = [] { return true; };
    game::seams().race.raceFinished = replaced;
    game::raceSeams().painter = nullptr;
    game::registerGame();
    EXPECT_EQ(game::missingGameRegistration(), "");
    EXPECT_NE(game::seams().race.raceFinished, replaced);
    EXPECT_FALSE(game::seams().race.raceFinished()) << "no race has finished";
}

TEST(GameStartup, StopsWithStatusOneNamingAMissingRegistration) {
    testing_support::TemporaryFolder folder("vorlax-registration");
    framework_testing::writeDemoSet(folder.path());
    testing_support::LogCapture log;
    framework_testing::s_register = [] { game::raceSeams().lapOption = nullptr; };
    EXPECT_EQ(framework_testing::runWholeGame(folder.path(), "0 activate\n0 focus-gained\n1000 quit\n"), 1);
    EXPECT_TRUE(log.contains("vorlax: the game is not wired completely: race.lapOption is not registered"));
    EXPECT_FALSE(log.contains("state 1 -> 2")) << "nothing ran";
    game::registerGame();
}

} // namespace
