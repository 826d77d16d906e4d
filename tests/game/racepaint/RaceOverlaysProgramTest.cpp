// What the race draws over and beside its scene, as `vorlax --headless
// --race 0` shows it on the demo set with no input (the car runs wide into
// the sand and over the bumps), run through the program's start-up in this
// process with the drawing log: the head-up display stays inside the screen
// and clear of the pause button, counts the event row's three laps and
// shows a split where its layout puts it; no pixel of the sprites' colour
// key shows under the car, on the road or off it; and the ground beyond a
// wall's end is the verge's, never a kerb's colour.

#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/race/RaceEntity.h"
#include "game/racepaint/Hud.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/DemoSet.h"
#include "tests/support/DrawingLog.h"
#include "tools/mkdata/DemoSet.h"

#include <array>
#include <cstdlib>
#include <fstream>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace race_overlays_program_test {

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kRow = 0;
// Past the first split (about 1230 frames) and well into the sand.
constexpr int kFrames = 2000;
// Every this many race frames the pixels are looked at.
constexpr int kPixelEvery = 10;
// The colour key 0xFF00FF at the shadow's alpha (0xCC) over the road or
// the sand.
constexpr std::uint32_t kKeyOverGround = 0xEF1CDE;

struct Seen {
    testing_support::DrawingLog* log = nullptr;
    int raceFrames = 0;
    std::string lapTotal;
    bool splitWhereLaidOut = false;
    std::vector<std::string> problems;
};
Seen g_seen;

using Rect = std::array<std::int32_t, 4>; // left, top, right, bottom

Rect frameRect(const game::DrawRecord& r) {
    rt::IntArray* out = rt::newIntArray(4);
    game::getFrameRect(static_cast<game::ASprite*>(const_cast<void*>(r.subject)), out, r.args[0], r.args[1],
                       r.args[2], r.args[3]);
    return {rt::IntArray::get(out, 0), rt::IntArray::get(out, 1), rt::IntArray::get(out, 2),
            rt::IntArray::get(out, 3)};
}

bool overlap(const Rect& a, const Rect& b) {
    return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

bool near(std::int32_t rgb, std::uint32_t model) {
    for (int shift : {0, 8, 16})
        if (std::abs(((rgb >> shift) & 255) - static_cast<int>((model >> shift) & 255)) > 24)
            return false;
    return true;
}

void checkDisplay(const std::vector<game::DrawRecord>& records) {
    const void* hudSprites[] = {game::raceSprite(game::kHudNumberSprite),
                                game::raceSprite(game::kPlaceSprite)};
    const void* buttons = game::raceSprite(game::kMenuItemSprite);
    std::vector<Rect> shown;
    std::optional<Rect> pause;
    for (const game::DrawRecord& r : records) {
        if (r.call == game::DrawCall::DrawText && !r.text.empty() && r.text[0] == u'/')
            g_seen.lapTotal = std::string(r.text.begin(), r.text.end());
        if (r.call == game::DrawCall::DrawText && r.box[0] + r.box[2] == 145 && r.box[1] == 110)
            g_seen.splitWhereLaidOut = true;
        if (r.call != game::DrawCall::PaintFrame || r.depth != 0)
            continue;
        if (r.subject == buttons && r.args[0] == game::kPauseFrameOff)
            pause = frameRect(r);
        else if (r.subject == hudSprites[0] || r.subject == hudSprites[1])
            shown.push_back(frameRect(r));
    }
    if (!pause) {
        g_seen.problems.push_back("no pause button drawn");
        return;
    }
    if ((*pause)[2] - (*pause)[0] != (*pause)[3] - (*pause)[1])
        g_seen.problems.push_back("the pause button is not square");
    for (const Rect& r : shown) {
        if (r[0] < 0 || r[1] < 0 || r[2] > 640 || r[3] > 480)
            g_seen.problems.push_back("a display frame leaves the screen at y " + std::to_string(r[1]));
        if (overlap(r, *pause))
            g_seen.problems.push_back("a display frame runs under the pause button at x " +
                                      std::to_string(r[2]));
    }
}

std::uint64_t watchFrame() {
    const std::vector<game::DrawRecord> records = g_seen.log->records();
    g_seen.log->clear();
    if (game::stateStatics().s_state != game::State::Race)
        return 0;
    ++g_seen.raceFrames;
    if (g_seen.raceFrames % 30 == 1 || game::raceEntityStatics().s_splitShownTimer >= 0)
        checkDisplay(records);
    // Fills down to the screen's bottom corner: the ground beyond a wall's
    // end, out to the side of the screen.
    const datakit::RoadLook look = mkdata::demoRoadLook(kRow);
    for (const game::DrawRecord& r : records) {
        const bool corner = (r.args[0] <= 0 || r.args[0] + r.args[2] >= 640) && r.args[1] + r.args[3] >= 480;
        if (r.call == game::DrawCall::FillRect && r.depth == 0 && corner && r.args[2] * r.args[3] > 4000)
            for (std::uint32_t kerb : look.kerb)
                if (near(r.colour, kerb))
                    g_seen.problems.push_back("ground in a kerb colour " +
                                              testing_support::DrawingLog::line(r));
    }
    // Around the player's car, which stands at the bottom centre: its
    // shadow's frame box.
    if (g_seen.raceFrames % kPixelEvery == 0) {
        const std::vector<std::int32_t> pixels =
            framework_testing::pixels(game::loopStatics().s_screenBuffer);
        for (std::int32_t y = 340; y < 480; ++y)
            for (std::int32_t x = 200; x < 440; ++x)
                if (near(pixels[static_cast<std::size_t>(y * 640 + x)], kKeyOverGround)) {
                    g_seen.problems.push_back("colour key at " + std::to_string(x) + "," + std::to_string(y) +
                                              " in race frame " + std::to_string(g_seen.raceFrames));
                    return 0;
                }
    }
    return 0;
}

TEST(RaceOverlaysProgram, TheDisplayTheGroundAndTheCarsShadowAsTheRaceShowsThem) {
    testing_support::TemporaryFolder root{"vorlax-race-overlays"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    const fs::path script = root.path() / "race.script";
    std::ofstream(script) << "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n";
    testing_support::DrawingLog log;
    g_seen = {};
    g_seen.log = &log;
    framework_testing::s_register = [] { game::startWithQuickRace(kRow); };
    EXPECT_EQ(framework_testing::runQuickRaceProgram(root.path(), kRow, script, watchFrame,
                                                     {"--seed", "1", "--frames", std::to_string(kFrames)}),
              0);
    EXPECT_GT(g_seen.raceFrames, 500);
    EXPECT_EQ(g_seen.lapTotal, "/3");
    EXPECT_TRUE(g_seen.splitWhereLaidOut);
    std::vector<std::string> first(
        g_seen.problems.begin(), g_seen.problems.begin() + std::min<std::size_t>(g_seen.problems.size(), 8));
    EXPECT_TRUE(first.empty()) << ::testing::PrintToString(first);
}

} // namespace

} // namespace race_overlays_program_test
