// The screen tour as golden frames: the real program on the demo set,
// walked by what it shows through every screen of the game, each screen's
// picture hashed and held to tour-frames.txt beside this file ("screen hash"
// rows, in the tour's order). A picture that differs is written as
// tour-SCREEN.png in the tests' build folder; VORLAX_UPDATE_EXPECTED=1 in
// the environment writes the rows seen instead of comparing. Record a row
// only after looking at its picture (tools/tour.sh makes them all). No
// screen's edge cuts a text.

#include "host/headless/HeadlessScreen.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"
#include "tools/tour/Walks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <utility>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace tour_frames_test {

namespace {

namespace fs = std::filesystem;

fs::path expectedFile() {
    return fs::path(VORLAX_TEST_SOURCE_DIR) / "game" / "frontend" / "tour-frames.txt";
}

std::vector<std::pair<std::string, std::uint64_t>> hashes(const tour::TourResult& result) {
    std::vector<std::pair<std::string, std::uint64_t>> rows;
    for (const tour::Picture& picture : result.pictures)
        rows.emplace_back(picture.name, host::hashFrame(picture.pixels));
    return rows;
}

std::vector<std::pair<std::string, std::uint64_t>> readExpected() {
    std::vector<std::pair<std::string, std::uint64_t>> rows;
    std::ifstream in(expectedFile());
    std::string name;
    std::string hash;
    while (in >> name >> hash)
        rows.emplace_back(name, std::stoull(hash, nullptr, 16));
    return rows;
}

TEST(TourFrames, EveryScreenOfTheTourLooksAsRecorded) {
    testing_support::TemporaryFolder root("vorlax-tour-frames");
    const fs::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    const tour::TourResult result = tour::runTour(demo, tour::wholeTour());
    ASSERT_TRUE(result.finished) << result.problem;
    EXPECT_EQ(result.problem, "");
    EXPECT_EQ(result.exitStatus, 0);
    const auto seen = hashes(result);
    // Nothing a player reads is cut by the screen's edge (a text that
    // scrolls moves, and is not counted).
    for (const tour::Picture& picture : result.pictures)
        EXPECT_EQ(picture.cutTexts, std::vector<std::string>{}) << "on the " << picture.name << " screen";

    if (std::getenv("VORLAX_UPDATE_EXPECTED")) {
        std::ofstream out(expectedFile());
        for (const auto& [name, hash] : seen) {
            char row[96];
            std::snprintf(row, sizeof row, "%s %016llx\n", name.c_str(),
                          static_cast<unsigned long long>(hash));
            out << row;
        }
        GTEST_SKIP() << "wrote " << expectedFile();
    }
    const auto expected = readExpected();
    ASSERT_EQ(seen.size(), expected.size()) << "the tour's screens differ from " << expectedFile();
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].first, expected[i].first);
        if (seen[i].second == expected[i].second)
            continue;
        const fs::path picture = fs::path(VORLAX_TEST_OUTPUT_DIR) / ("tour-" + seen[i].first + ".png");
        std::string problem;
        tour::writePicture(result.pictures[i], picture, problem);
        ADD_FAILURE() << "the " << seen[i].first << " screen differs from its recorded frame; it is in "
                      << picture;
    }
}

} // namespace

} // namespace tour_frames_test
