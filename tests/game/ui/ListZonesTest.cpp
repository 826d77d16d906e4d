// The question lists' touch zones, which must lie over the answers the
// question box paints, and the pause list's stylus.

#include "game/ui/ListZones.h"
#include "game/data/SoundRequests.h"
#include "game/framework/StaticInit.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/data/SoundRequestLog.h"
#include "tests/game/framework/TouchFixture.h"
#include "tests/support/ConstantStrings.h"

#include <string>
#include <vector>

namespace {

struct ListZonesTest : framework_testing::TouchTest {
    ListZonesTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        // The game's pause lists and their targets; the touch set-up stays.
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 1;
        game::loopStatics().s_touchWidth = 480;
        data_testing::installSilentSoundEngine();
    }

    static rt::IntArray* ids(std::initializer_list<std::int32_t> values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        rt::Array::fill32(array, values);
        return array;
    }

    static std::vector<std::string> zones(rt::ObjectArray* table) {
        std::vector<std::string> out;
        for (std::int32_t i = 0; i < table->length(); ++i) {
            auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(table, i));
            std::string text;
            for (std::int32_t v : rt::IntArray::span(zone))
                text += std::to_string(v) + " ";
            out.push_back(text);
        }
        return out;
    }
};

// Sprite 65 frame 3 is 68 x 34 and the stand-in box frame has no box points,
// so the question box paints its answers at (286, centre y + 34 i).
TEST_F(ListZonesTest, TheZonesLieOverThePaintedAnswers) {
    const std::pair<game::State, std::int32_t> cases[] = {{game::State::SoundQuestion, 240},
                                                          {game::State::PauseMenu, 200}};
    for (const auto& [state, top] : cases) {
        SCOPED_TRACE(state);
        setState(state, game::GameMode::LapRace);
        EXPECT_EQ(zones(game::buildListZones(ids({3, 4}))),
                  (std::vector<std::string>{"286 " + std::to_string(top) + " 68 34 ",
                                            "286 " + std::to_string(top + 34) + " 68 34 "}));
    }
}

TEST_F(ListZonesTest, APauseListTapReturnsTogglesSoundOrOpensTheItemsState) {
    struct Case {
        const char* what;
        bool longList;
        std::int32_t item;
        bool soundBefore;
        game::State after;
        bool soundAfter;
        std::vector<std::int32_t> sounds;
    };
    const Case cases[] = {
        {"the first item returns to the race", true, 0, true, game::State::Race, true, {21}},
        {"an item with a target opens it", true, 1, false, game::State::RestartQuestion, false, {}},
        {"the sound item switches sound off", true, 2, true, game::State::PauseMenu, false, {-1}},
        {"the sound item switches sound on", true, 2, false, game::State::PauseMenu, true, {21}},
        {"the short list's sound item", false, 1, true, game::State::PauseMenu, false, {-1}},
        {"the short list's last item", false, 4, true, game::State::ExitQuestion, true, {21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        for (game::State state : {game::State::Race, game::State::PauseMenu}) {
            game::pushState(state);
            game::applyStateChange();
        }
        game::menuStatics().s_questionAnswerTexts =
            game::menuRow(c.longList ? game::kPauseMenu : game::kPauseMenuShort, game::kMenuTexts);
        game::setSoundOption(c.soundBefore);
        log.clear();
        pressAt(320, 200 + 34 * c.item + 5);
        EXPECT_TRUE(game::touchPauseMenu());
        game::applyStateChange();
        EXPECT_EQ(game::stateStatics().s_state, c.after);
        EXPECT_EQ(game::isSoundOn(), c.soundAfter);
        EXPECT_EQ(data_testing::requestedSounds(log), c.sounds) << "-1: the music stopped";
    }
}

} // namespace
