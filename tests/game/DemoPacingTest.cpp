// The demo's frame pacing as a player meets it: the real program, headless,
// playing the demo that the run command plays without a display
// (tools/demo/demo.script) on a fresh copy of the demo set, each frame timed
// from the present before it (tests/support/PacedDemo.h).
//
// A frame's work is held to its processor time, not to the machine's clock:
// on a loaded machine the clock also counts the time the system gives to
// other processes, and frames that do almost nothing (the splash, a race
// frame) were seen taking 90 to 100 ms by it while their processor time
// stayed under 6 ms. The most work of any frame is about 11 ms here (a race
// load's step); the bound leaves room for a slower machine.

#include "tests/support/BuildPaths.h"
#include "tests/support/PacedDemo.h"

#include "host/stressSwitches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testing_support::PacedFrame;
using testing_support::PacedRun;

// Builds whose speed says nothing about the program's: without the
// optimiser, or under a sanitizer.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kTimedBuild = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kTimedBuild = false;
#else
constexpr bool kTimedBuild = true;
#endif
#else
constexpr bool kTimedBuild = true;
#endif

constexpr double kMostWorkSeconds = 0.100;
// The question box's pause after a choice, which shows the chosen answer
// and lets its sound start, and the frame it is taken in.
constexpr std::uint64_t kChoicePauseMs = 200;
constexpr std::uint64_t kFrameMs = 40;

// A collection before every allocation (the stress run) makes the demo's
// three thousand frames take many minutes, and shows nothing about pacing.
bool stressed() {
    return host::collectionStressRequested();
}

const PacedRun& demoRun() {
    static const PacedRun s_run = testing_support::runPacedDemo(std::filesystem::path(VORLAX_SOURCE_DIR) /
                                                                "tools" / "demo" / "demo.script");
    return s_run;
}

std::string describe(const PacedRun& run, const PacedFrame& frame) {
    return "frame " + std::to_string(&frame - run.frames.data() + 1) + " (state " +
           std::to_string(game::stateNumber(frame.state)) + ", loading step " +
           std::to_string(frame.loadingStep) + ")";
}

TEST(DemoPacing, EveryFrameOfTheDemoTakesUnder100MsOfWork) {
    if (stressed())
        GTEST_SKIP() << "the collection stress run";
    if (!kTimedBuild)
        GTEST_SKIP() << "an unoptimised or sanitizer build: its frame times say nothing";
    const PacedRun& run = demoRun();
    ASSERT_EQ(run.status, 0);
    ASSERT_GT(run.frames.size(), 2500u) << "the demo ended early";
    const PacedFrame& most =
        *std::max_element(run.frames.begin(), run.frames.end(), [](const PacedFrame& a, const PacedFrame& b) {
            return a.cpuSeconds < b.cpuSeconds;
        });
    EXPECT_LT(most.cpuSeconds, kMostWorkSeconds)
        << describe(run, most) << " took " << most.cpuSeconds * 1000 << " ms of processor time";
}

// The virtual clock moves within a frame only while the program sleeps or
// waits, which a window run spends as the machine's time: no frame blocks
// but the two the demo answers a question box in ("new here?" and the
// after-race menu), each holding the box's pause.
TEST(DemoPacing, NoFrameOfTheDemoWaitsButForAQuestionBoxsPause) {
    if (stressed())
        GTEST_SKIP() << "the collection stress run";
    const PacedRun& run = demoRun();
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> waited;
    for (const PacedFrame& frame : run.frames) {
        if (frame.virtualMs <= kFrameMs)
            continue;
        waited.push_back(describe(run, frame) + ": " + std::to_string(frame.virtualMs) + " ms");
        EXPECT_EQ(frame.virtualMs, kChoicePauseMs + kFrameMs) << waited.back();
    }
    EXPECT_EQ(waited.size(), 2u) << testing::PrintToString(waited);
}

} // namespace
