// Whole races as a player meets them: the real program on the demo set,
// started on a race row's quick race, the start prompt tapped where it is
// drawn. The test driver, which steers by the race's state through the
// race's steering zones, places in the top three of the first track's race;
// a player who does nothing after the start prompt leaves the road and
// finishes in the lower half. Each race's end writes its "race over" line
// once, and the line says what the race says.

#include "tests/support/DemoSet.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RaceOverLine.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/TestDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace fs = std::filesystem;

struct DrivenRaceTour : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-driven-race"};
    fs::path demo = root.path() / "demo";

    DrivenRaceTour() { EXPECT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok()); }
};

TEST_F(DrivenRaceTour, TheTestDriverPlacesAndAPlayerWhoDoesNothingDoesNot) {
    struct Case {
        const char* what;
        std::int32_t row;
        std::int64_t seed;
        bool driven;
        int bestPlace, worstPlace; // 1 is the first
    };
    const Case cases[] = {
        {"the test driver on the first track", 0, 2, true, 1, 3},
        {"no input on the shortest track", 5, 1, false, 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::LogCapture log;
        std::string outcome;
        const tour::TourResult result =
            tour::runTour(demo, tour::quickRaceSteps(c.driven ? tour::driveToCentre() : nullptr, outcome),
                          c.seed, tour::TourPlayer::FirstTime, c.row);
        ASSERT_TRUE(result.finished) << result.problem;
        std::vector<std::string> said;
        for (const std::string& l : log.lines())
            if (l.find("race over:") != std::string::npos)
                said.push_back(l);
        ASSERT_EQ(said.size(), 1u);
        const std::optional<testing_support::RaceOverLine> over = testing_support::parseRaceOverLine(said[0]);
        ASSERT_TRUE(over) << said[0];
        EXPECT_EQ(over->racers, 6);
        EXPECT_EQ(over->laps, 3);
        EXPECT_NE(outcome.find(over->text), std::string::npos) << outcome;
        const int place = over->place;
        EXPECT_GE(place, c.bestPlace) << outcome;
        EXPECT_LE(place, c.worstPlace) << outcome;
    }
}

} // namespace
