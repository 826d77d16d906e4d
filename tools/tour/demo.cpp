// vorlax-demo-script PROGRAM_FOLDER SCRIPT: walks the run command's demo
// (`demoWalk`) on the data set in PROGRAM_FOLDER, as a player who has never
// played, and writes what the player did to SCRIPT as a timed headless
// script: each tap, key and stylus hold at the virtual time it was given,
// with the step it belongs to as a comment. Played back with the same data
// set (`vorlax --headless --script SCRIPT FOLDER`), the script walks the
// same screens and drives the same race. Exit status 0 when every step was
// done, 1 when one could not be (the line on standard error says why), 64 on
// bad arguments.

#include "host/headless/HeadlessScript.h"
#include "tools/tour/Tour.h"
#include "tools/tour/Walks.h"

#include <cstdio>
#include <fstream>

namespace {

// The seed the walk and the script give the program.
constexpr std::int64_t kSeed = 1;

// An input given after the present at virtual time T arrives at the window's
// next look at its events, which comes after T: the script times it 1 ms on.
constexpr std::uint64_t kAfterPresent = 1;

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlax-demo-script PROGRAM_FOLDER SCRIPT\n");
        return 64;
    }
    const tour::TourResult result = tour::runTour(argv[1], tour::demoWalk(), kSeed);
    if (!result.finished || !result.problem.empty()) {
        std::fprintf(stderr, "vorlax-demo-script: %s\n", result.problem.c_str());
        return 1;
    }
    std::string text =
        "# The demo that tools/run.sh plays without a display, written by vorlax-demo-script from\n"
        "# a walk of the program that taps what the screens draw where they draw it and steers by\n"
        "# the race's state; played on a fresh copy of the demo data set (mkdata's) it walks the\n"
        "# same screens and drives the same race. Stylus positions are the portrait screen's.\n"
        "seed " +
        std::to_string(kSeed) + "\n0 activate\n0 focus-gained\n";
    const std::vector<tour::Step> walk = tour::demoWalk();
    std::size_t step = walk.size() + 1;
    std::uint64_t last = 0;
    for (const tour::GivenInput& input : result.inputs) {
        if (input.step != step) {
            step = input.step;
            text += "# " + (step < walk.size() ? walk[step].what : std::string("the end")) + "\n";
        }
        auto event = host::formatEvent(input.event);
        if (!event) {
            std::fprintf(stderr, "vorlax-demo-script: %s\n", event.error().message.c_str());
            return 1;
        }
        last = input.time + kAfterPresent;
        text += std::to_string(last) + ' ' + event.value() + '\n';
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "vorlax-demo-script: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("vorlax-demo-script: %zu inputs over %llu ms of game time in %s\n", result.inputs.size(),
                static_cast<unsigned long long>(last), argv[2]);
    return 0;
}
