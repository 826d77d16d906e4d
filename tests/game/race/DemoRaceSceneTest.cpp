// A race of the demo set as `vorlax --headless --race ROW --script S` shows
// it, run through the program's start-up in this process: in the countdown
// the sky above the horizon is the track's sky and the road at the bottom
// centre, under the player's car, is its tarmac, in the colours mkdata's
// model gives them; the head-up display's sprites and the track's backdrop
// are loaded, the backdrop at its own width. A quick race
// that loads without the race loader's road images, or a demo set whose
// track names a picture that is not its road, shows other colours there.

#include "game/framework/LoopStatics.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceScene.h"
#include "game/sprite/ASprite.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/DemoSet.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// The load ends in about 1.5 s of virtual time; its prompt is tapped at 2 s,
// and the left soft key skips the flyover and the racer intro.
constexpr const char* kToCountdown =
    "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n"
    "2240 key-down F1\n+40 key-up F1\n2640 key-down F1\n+40 key-up F1\n";
// The frame of the countdown that is looked at.
constexpr int kCountdownFrame = 10;
constexpr std::int32_t kScreenWidth = 640;
// A probe's colour may differ from the model's by the screen's and the
// loaded picture's rounding: less than this in each channel.
constexpr int kTolerance = 16;

struct Seen {
    int countdownFrames = 0;
    std::vector<std::int32_t> pixels;
    bool hudLoaded = false;
    std::int32_t backdropSprite = -2;
    std::int32_t backdropWidth = 0;
    bool backdropLoaded = false;
};
Seen g_seen;

bool spriteLoaded(std::int32_t slot) {
    rt::Object* object = rt::ObjectArray::get(game::startupStatics().s_sprites, slot);
    return object && object->classId() == game::ASprite::kClassId &&
           static_cast<game::ASprite*>(object)->getFrameCount() > 0;
}

std::uint64_t watchFrame() {
    if (game::stateStatics().s_state == game::State::RaceCountdown &&
        ++g_seen.countdownFrames == kCountdownFrame) {
        g_seen.pixels = framework_testing::pixels(game::loopStatics().s_screenBuffer);
        g_seen.hudLoaded = spriteLoaded(game::kHudNumberSprite) && spriteLoaded(game::kHudPanelSprite) &&
                           spriteLoaded(game::kPlaceSprite);
        const game::RaceSceneStatics& scene = game::raceSceneStatics();
        g_seen.backdropSprite = scene.s_backdropSprite;
        g_seen.backdropWidth = scene.s_backdropWidth;
        g_seen.backdropLoaded = scene.s_backdropSprite >= 0 && spriteLoaded(scene.s_backdropSprite);
    }
    return 0;
}

std::int32_t g_row = 0;

Seen runRace(const fs::path& folder, std::int32_t row) {
    g_seen = {};
    g_row = row;
    const fs::path script = folder / "countdown.script";
    std::ofstream(script) << kToCountdown;
    framework_testing::s_register = [] { game::startWithQuickRace(g_row); };
    EXPECT_EQ(framework_testing::runQuickRaceProgram(folder, row, script, watchFrame, {"--frames", "400"}),
              0);
    return std::move(g_seen);
}

// The width of frame 0 of a sprite as the model lays it out: the box
// around its rectangles and images.
std::int32_t frameZeroWidth(const datakit::PaintedSprite& sprite) {
    int left = INT_MAX, right = INT_MIN;
    auto widen = [&](int x, int width) {
        left = std::min(left, x);
        right = std::max(right, x + width);
    };
    for (const datakit::PaintedRect& fill : sprite.frames.at(0).fills)
        widen(fill.x, fill.width);
    for (const datakit::PaintedImage& image : sprite.frames.at(0).images)
        widen(image.x, image.width);
    return right - left;
}

bool nearColour(std::int32_t argb, std::uint32_t rgb) {
    for (int shift : {0, 8, 16}) {
        const int painted = (argb >> shift) & 255;
        const int model = static_cast<int>((rgb >> shift) & 255);
        if (std::abs(painted - model) >= kTolerance)
            return false;
    }
    return true;
}

TEST(DemoRaceScene, TheCountdownShowsTheTracksSkyAndItsRoadUnderTheCar) {
    testing_support::TemporaryFolder root{"vorlax-demo-scene"};
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), root.path()).ok());
    // The road's colour is probed on the tracks whose weather the game fixes
    // (no tint over the road); the others draw theirs at random.
    for (std::int32_t row = 0; row < mkdata::kDemoTrackCount; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const Seen seen = runRace(root.path(), row);
        ASSERT_EQ(seen.pixels.size(), static_cast<std::size_t>(kScreenWidth * 480)) << "no countdown frame";
        const mkdata::TrackColours colours = mkdata::demoTrackColours(row);
        auto at = [&](std::int32_t x, std::int32_t y) { return seen.pixels[y * kScreenWidth + x]; };
        // Below the display's top row, beside the clouds, sun and smoke of
        // the demo's skies.
        for (std::int32_t x : {20, 600})
            EXPECT_TRUE(nearColour(at(x, 64), colours.sky))
                << std::hex << at(x, 64) << " at x " << std::dec << x;
        if (row == 0 || row == 3 || row == 5) {
            EXPECT_TRUE(nearColour(at(320, 470), colours.road)) << std::hex << at(320, 470);
        }
        EXPECT_TRUE(seen.hudLoaded);
        // The track's backdrop stays loaded past the load's last step and is
        // painted at its frame 0's width (the last track's is the gate's
        // sprite, which the load caches the gate from).
        const std::int32_t backdrop = mkdata::demoTrack(row).backdropSprite;
        EXPECT_EQ(seen.backdropSprite, backdrop);
        EXPECT_TRUE(seen.backdropLoaded);
        EXPECT_EQ(seen.backdropWidth,
                  frameZeroWidth(*mkdata::demoSprites().at(static_cast<std::size_t>(backdrop))));
    }
}

} // namespace
