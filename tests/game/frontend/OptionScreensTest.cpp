// The options' sound switch and reset item, and the text screen's scroll.

#include "game/frontend/OptionScreens.h"
#include "game/data/Progress.h"
#include "game/data/SoundRequests.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/data/SoundRequestLog.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

using framework_testing::recordMessage;

constexpr std::int32_t kLeft = 10;
constexpr std::int32_t kRight = 12;
constexpr std::int32_t kDown = 14;
constexpr std::int32_t kFire = 11;

struct OptionScreensTest : frontend_testing::FrontEndTest {
    OptionScreensTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 0;
        game::initProgressStatics();
        game::registerOptionScreens();
        game::setStateHandler(game::State::ResetQuestion, recordMessage<game::State::ResetQuestion>);
        data_testing::installSilentSoundEngine();
    }
};

TEST_F(OptionScreensTest, TheSoundSwitchStopsAndStartsTheMusicAndTheResetItemNeedsItsBit) {
    game::setSoundOption(false);
    game::progressStatics().s_progressMaskC = 0;
    open(game::State::Options);
    EXPECT_EQ(game::touchStatics().s_menuCount, 1);
    frame(kRight);
    EXPECT_TRUE(game::isSoundOn());
    frame(kLeft);
    EXPECT_FALSE(game::isSoundOn());
    EXPECT_EQ(data_testing::requestedSounds(log), (std::vector<std::int32_t>{5, -1}))
        << "the menus' music, then every sound stopped";

    game::progressStatics().s_progressMaskC = 1 << 3;
    open(game::State::Options);
    EXPECT_EQ(game::touchStatics().s_menuCount, 2);
    frame(kDown);
    frame(kFire);
    EXPECT_EQ(state(), game::State::ResetQuestion);
}

// Where the last frame drew text `label` ("T301"): its anchor point.
std::pair<std::int32_t, std::int32_t> drawnAt(const std::string& label) {
    for (const std::string& made : framework_testing::s_paints)
        if (made.starts_with("text '" + label + "' @")) {
            std::int32_t x = 0, y = 0;
            std::sscanf(made.c_str() + label.size() + 9, "%d,%d", &x, &y);
            return {x, y};
        }
    ADD_FAILURE() << label << " is not drawn";
    return {-1, -1};
}

// Each option is drawn with its label inside the zone its taps land in, the
// sound item naming the switch's state; a tap on the drawn label switches.
TEST_F(OptionScreensTest, EachOptionShowsItsLabelWhereItIsTapped) {
    // Texts "T0" .. "T309".
    rt::ObjectArray* texts = rt::newObjectArray(310);
    for (std::int32_t i = 0; i < texts->length(); ++i)
        rt::Array::setRef(texts, i, rt::String::newFromCString(("T" + std::to_string(i)).c_str()));
    game::textStatics().s_textCache = texts;
    game::textStatics().s_textCount = texts->length();
    game::setSoundOption(false);
    game::progressStatics().s_progressMaskC = 1 << 3;
    open(game::State::Options);
    rt::ObjectArray* zones = game::touchStatics().s_menuZones;
    ASSERT_NE(zones, nullptr);
    for (const auto& [i, label] : {std::pair{0, "T301"}, std::pair{1, "T302"}}) {
        SCOPED_TRACE(label);
        const auto [x, y] = drawnAt(label);
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        EXPECT_GE(x, rt::IntArray::get(zone, 0));
        EXPECT_LT(x, rt::IntArray::get(zone, 0) + rt::IntArray::get(zone, 2));
        EXPECT_GE(y, rt::IntArray::get(zone, 1));
        EXPECT_LT(y, rt::IntArray::get(zone, 1) + rt::IntArray::get(zone, 3));
    }
    const auto [x, y] = drawnAt("T301");
    tap(x, y);
    frame();
    EXPECT_TRUE(game::isSoundOn());
    EXPECT_TRUE(painted("text 'T300'")) << "the sound item now says on";
}

TEST_F(OptionScreensTest, TheTextScreenScrollsTwoPixelsAFrameFourWithTheKeyHeldAndStartsAgain) {
    game::config().s_keyCounters = 1;
    // The page starts 80 px below the text area's top; opening it ran a frame.
    const std::int32_t start = game::kPageTop + 80;
    open(game::State::TextScreen);
    EXPECT_EQ(game::menuStatics().s_scrollTextY, start - game::kPageScroll);
    frame();
    EXPECT_EQ(game::menuStatics().s_scrollTextY, start - 2 * game::kPageScroll);
    // Held: the frame's key state counts up instead of being released.
    game::keyStatics().s_keyState->elements()[2] = 1;
    game::sendStateMessage(game::kUpdate);
    EXPECT_EQ(game::menuStatics().s_scrollTextY, start - 2 * game::kPageScroll - game::kPageFastScroll);
    bool restarted = false;
    std::int32_t lastLine = game::textPageLine();
    for (int f = 0; f < 2000 && !restarted; ++f) {
        frame();
        restarted = game::textPageLine() < lastLine;
        lastLine = game::textPageLine();
    }
    EXPECT_TRUE(restarted);
    EXPECT_EQ(game::textPageLine(), game::kFirstPageLine);
    EXPECT_EQ(game::menuStatics().s_scrollTextY, start);
}

// The text screen's layer is translucent black: the picture behind its
// lines shows through, darkened.
TEST_F(OptionScreensTest, TheTextScreensLayerDarkensThePictureBehindIt) {
    platform::javax_microedition_lcdui_Image* image = whiteScreen();
    open(game::State::TextScreen);
    const std::vector<std::int32_t> argb = framework_testing::pixels(image);
    const std::int32_t layer = argb[static_cast<std::size_t>(300 * 640 + 20)] & 0xFFFFFF;
    EXPECT_GT(layer & 0xFF, 0x30) << std::hex << layer;
    EXPECT_LT(layer & 0xFF, 0x70) << std::hex << layer;
    EXPECT_EQ(layer >> 16, layer & 0xFF) << "grey: black over white";
}

} // namespace
