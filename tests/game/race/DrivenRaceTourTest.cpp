// Whole races as a player meets them: the real program on the demo set,
// started on a race row's quick race, the start prompt tapped where it is
// drawn. The test driver, which steers by the race's state through the
// race's steering zones, places in the top three of the first track's race;
// a player who does nothing after the start prompt leaves the road and
// finishes in the lower half. Each race's end writes its "race over" line
// once, and the line says what the race says.

#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/TestDriver.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

struct DrivenRaceTour : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-driven-race"};
    fs::path demo = root.path() / "demo";

    DrivenRaceTour() { EXPECT_TRUE(mkdata::writeProgramFolder(mkdata::makeDemoSet(), demo).ok()); }
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
    const std::regex line(
        R"(race over: place (\d) of 6, time \d+:\d\d\.\d{3}, laps 3, best lap \d+:\d\d\.\d{3}, )"
        R"(winner \d+:\d\d\.\d{3})");
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
        std::smatch match;
        ASSERT_TRUE(std::regex_search(said[0], match, line)) << said[0];
        EXPECT_NE(outcome.find(match[0].str()), std::string::npos) << outcome;
        const int place = std::stoi(match[1].str());
        EXPECT_GE(place, c.bestPlace) << outcome;
        EXPECT_LE(place, c.worstPlace) << outcome;
    }
}

} // namespace
