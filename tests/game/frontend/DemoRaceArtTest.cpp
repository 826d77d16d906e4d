// Each demo race loaded through the staged loader from the main menu and
// played into its countdown and its first seconds, as a player sees it: the
// load logs no warning, the backdrop covers the sky's lower edge across the
// whole screen with painted art rather than flat colour, and the race's
// head-up display and touch buttons draw shaded art. With the environment
// variable VORLAX_ART_SHOTS naming a folder, the frames looked at are also
// written there as PNG, to be judged by eye.

#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/race/RaceState.h"
#include "game/racepaint/RaceScene.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceStart.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/PngWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::int32_t s_track = 0;
bool s_started = false;

// The main menu's first update starts the demo event of `s_track`, as the
// event choice does.
void mainMenuStartsTheRace(std::int32_t message) {
    if (message != game::kUpdate || s_started)
        return;
    s_started = true;
    // The event's type names the game mode it is raced in.
    const game::GameMode mode = game::gameModeFromNumber(mkdata::demoEvent(s_track).variants[0].row[0]);
    frontend_testing::startRaceLoad(s_track, mode);
}

std::vector<std::uint32_t> screen() {
    std::vector<std::uint32_t> out;
    for (std::int32_t p : framework_testing::pixels(game::loopStatics().s_screenBuffer))
        out.push_back(0xFF000000u | static_cast<std::uint32_t>(p));
    return out;
}

void keepShot(const std::vector<std::uint32_t>& pixels, const std::string& name) {
    const char* folder = std::getenv("VORLAX_ART_SHOTS");
    if (!folder || !*folder)
        return;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(datakit::writeFile((std::filesystem::path(folder) / (name + ".png")).string(),
                                   datakit::writePng(kWidth, kHeight, pixels))
                    .ok());
}

struct DemoRaceArtTest : ::testing::TestWithParam<int> {
    DemoRaceArtTest() {
        s_track = GetParam();
        s_started = false;
        framework_testing::s_register = [] {
            // The splash goes straight to the menus' load (fonts and all,
            // which the race's display draws with), then the main menu.
            game::setStateHandler(game::State::Splash, [](std::int32_t message) {
                if (message == game::kUpdate)
                    game::startLoading(game::kLoadMenus, game::State::MainMenu);
            });
            game::setStateHandler(game::State::MainMenu, mainMenuStartsTheRace);
        };
    }
};

TEST_P(DemoRaceArtTest, TheStagedRaceShowsABackdropAcrossTheSkyAndAShadedDisplay) {
    const int track = GetParam();
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    game.log.clear();
    // A frame and the 40 ms of virtual time that pass before the next one.
    const auto step = [&game] {
        const bool ran = game.frame();
        game.host->clock().sleep(40);
        return ran;
    };
    int f = 0;
    while (f++ < 600 && !game::loadingStatics().s_loadingDone)
        ASSERT_TRUE(step());
    ASSERT_TRUE(game::loadingStatics().s_loadingDone);
    step();
    game::pointerPressed(10, 10);
    step();
    game::pointerReleased(10, 10);
    // Into the countdown (a tap cuts the flyover short), then race on.
    for (f = 0; f < 400 && game::stateStatics().s_state != game::State::RaceCountdown; ++f) {
        if (f % 20 == 10) {
            game::pointerPressed(320, 240);
            step();
            game::pointerReleased(320, 240);
        }
        ASSERT_TRUE(step());
    }
    ASSERT_EQ(game::stateStatics().s_state, game::State::RaceCountdown) << "track " << track;
    for (f = 0; f < 30; ++f)
        ASSERT_TRUE(step());
    keepShot(screen(), "track" + std::to_string(track) + "-countdown");
    for (f = 0; f < 400 && game::stateStatics().s_state == game::State::RaceCountdown; ++f)
        ASSERT_TRUE(step());
    for (f = 0; f < 60; ++f)
        ASSERT_TRUE(step());
    const std::vector<std::uint32_t> race = screen();
    keepShot(race, "track" + std::to_string(track) + "-race");
    for (const std::string& line : game.log.lines())
        if (!datacheck::isProgressLine(line))
            ADD_FAILURE() << "track " << track << ": " << line;

    // The backdrop stands on the horizon: the rows just above it are
    // covered in every column (no gap where the panorama wraps), in many
    // colours (shaded ridges, not a flat band).
    const std::int32_t horizon = game::raceSceneStatics().s_horizonY;
    ASSERT_GT(horizon, 24);
    ASSERT_LT(horizon, kHeight);
    const std::uint32_t sky = 0xFF000000u | mkdata::demoTrackColours(track).sky;
    std::set<std::uint32_t> colours;
    int bareColumns = 0;
    for (int x = 0; x < kWidth; ++x) {
        bool covered = false;
        for (int y = horizon - 6; y < horizon - 1; ++y) {
            const std::uint32_t p = race[static_cast<std::size_t>(y * kWidth + x)];
            covered = covered || p != sky;
            colours.insert(p);
        }
        bareColumns += covered ? 0 : 1;
    }
    EXPECT_EQ(bareColumns, 0) << "track " << track;
    EXPECT_GE(colours.size(), 12u) << "track " << track;
}

// What the display's painters read of each sprite: the frames, the
// animations and the frames with box points.
struct HudSlot {
    int slot;
    std::vector<int> frames;
    int anims = 0;
    int boxedFrame = -1, boxes = 0;
};

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int f = first; f <= last; ++f)
        out.push_back(f);
    return out;
}

// Every frame of the display, the start and the touch buttons that the
// painters read is there, drawn in shades (a gradient and an outline give
// at least four colours, where a flat placeholder has two), and the countdown has its four animations and the
// name tag its three boxes.
TEST(DemoHudArt, EveryFrameTheDisplayReadsIsThereAndShaded) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    const std::vector<HudSlot> slots = {
        {12, range(0, 9)},  {15, range(0, 22)},           {26, range(0, 25)}, {30, {6, 7, 17}},
        {63, range(0, 13)}, {64, range(0, 22), 4, 10, 3}, {66, range(0, 5)},
    };
    const std::vector<std::optional<datakit::PaintedSprite>> sprites = mkdata::demoSprites();
    auto* sheet = platform::javax_microedition_lcdui_Image::createImage(kWidth, kHeight * 3);
    auto* g = sheet->getGraphics();
    g->setColor(0x6A7888);
    g->fillRect(0, 0, kWidth, kHeight * 3);
    int sheetX = 0, sheetY = 0, rowHeight = 0;
    for (const HudSlot& need : slots) {
        ASSERT_TRUE(sprites[static_cast<std::size_t>(need.slot)]) << need.slot;
        const datakit::Bytes bytes =
            datakit::writePaintedSprite(*sprites[static_cast<std::size_t>(need.slot)]);
        rt::ByteArray* data = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(data->elements()));
        game::ASprite* sprite = game::ASprite::initDefaults();
        sprite->loadDefault(data, 0);
        EXPECT_GE(sprite->getAnimCount(), need.anims) << "sprite " << need.slot;
        for (int a = 0; a < need.anims && a < sprite->getAnimCount(); ++a)
            EXPECT_GE(sprite->getAFrameCount(a), 1) << "sprite " << need.slot << " animation " << a;
        if (need.boxedFrame >= 0 && need.boxedFrame + 1 < sprite->getFrameCount()) {
            const rt::ShortArray* first = sprite->m_frameFirstBox;
            ASSERT_NE(first, nullptr) << "sprite " << need.slot;
            EXPECT_EQ(rt::ShortArray::get(first, need.boxedFrame + 1) -
                          rt::ShortArray::get(first, need.boxedFrame),
                      need.boxes)
                << "sprite " << need.slot;
        }
        for (int frame : need.frames) {
            ASSERT_LT(frame, sprite->getFrameCount()) << "sprite " << need.slot;
            const int w = game::getFrameWidth(sprite, frame), h = game::getFrameHeight(sprite, frame);
            ASSERT_GT(w * h, 0) << "sprite " << need.slot << " frame " << frame;
            // Each frame alone on a small image, its colours counted.
            auto* alone = platform::javax_microedition_lcdui_Image::createImage(w + 8, h + 8);
            auto* ag = alone->getGraphics();
            ag->setColor(0x00FF00);
            ag->fillRect(0, 0, w + 8, h + 8);
            const int dx = 4 - sprite->getFModuleX(frame, 0), dy = 4 - sprite->getFModuleY(frame, 0);
            game::paintFrame(sprite, ag, frame, dx, dy, 0, 0, 0);
            std::set<std::int32_t> colours;
            for (std::int32_t p : framework_testing::pixels(alone))
                if ((p & 0xFFFFFF) != 0x00FF00)
                    colours.insert(p & 0xFFFFFF);
            EXPECT_GE(colours.size(), 4u) << "sprite " << need.slot << " frame " << frame;
            if (sheetX + w + 4 > kWidth) {
                sheetX = 0;
                sheetY += rowHeight + 4;
                rowHeight = 0;
            }
            game::paintFrame(sprite, g, frame, sheetX + dx - 4, sheetY + dy - 4, 0, 0, 0);
            sheetX += w + 4;
            rowHeight = std::max(rowHeight, h);
        }
    }
    std::vector<std::uint32_t> pixels;
    for (std::int32_t p : framework_testing::pixels(sheet))
        pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(p));
    if (const char* folder = std::getenv("VORLAX_ART_SHOTS"); folder && *folder) {
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(datakit::writeFile((std::filesystem::path(folder) / "hud-sheet.png").string(),
                                       datakit::writePng(kWidth, kHeight * 3, pixels))
                        .ok());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTrack, DemoRaceArtTest, ::testing::Range(0, mkdata::kDemoTrackCount));

} // namespace
