// vorlax-trial PROGRAM_FOLDER ROW SEED DRIVER: runs the quick race of race
// row ROW (0..5) of the data set in PROGRAM_FOLDER with the shared random
// generator seeded SEED, with the test driver steering (DRIVER "driver") or
// no input at all after the start prompt ("none"), and prints the race's
// "race over" line. Exit status 0 when the race finished, 1 when it did not
// (the line on standard error says why), 64 on bad arguments.

#include "tools/tour/TestDriver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string driver = argc == 5 ? argv[4] : "";
    if (argc != 5 || (driver != "driver" && driver != "none")) {
        std::fprintf(stderr, "usage: vorlax-trial PROGRAM_FOLDER ROW SEED driver|none\n");
        return 64;
    }
    const int row = std::atoi(argv[2]);
    const long long seed = std::atoll(argv[3]);
    std::string outcome;
    const auto steps = tour::quickRaceSteps(driver == "driver" ? tour::driveToCentre() : nullptr, outcome);
    const tour::TourResult result = tour::runTour(argv[1], steps, seed, tour::TourPlayer::FirstTime, row);
    if (outcome.empty()) {
        std::fprintf(stderr, "vorlax-trial: %s\n", result.problem.c_str());
        return 1;
    }
    std::printf("row %d seed %lld %s: %s\n", row, seed, driver.c_str(), outcome.c_str());
    return 0;
}
