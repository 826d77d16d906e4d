// The bonus menu's pictures, locked and unlocked, and the notice before the
// promotion screen.

#include "game/frontend/MenuScreens.h"
#include "game/data/Progress.h"
#include "game/framework/StaticInit.h"
#include "game/frontend/SlidingMenus.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

namespace {

using framework_testing::recordMessage;

struct MenuScreensTest : frontend_testing::FrontEndTest {
    MenuScreensTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        // The game's own menu tables; the screen stays unturned.
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 0;
        game::initProgressStatics();
        game::registerMenuScreens();
        for (game::State next : {game::State::RacerList, game::State::RaceMenu, game::State::Promotion})
            game::setStateHandler(next, recordMessage<game::State{}>);
    }

    // Inside picture `i` (stand-in frame i of sprite 11: 11 + i wide).
    static std::int32_t pictureX(std::int32_t i) { return 47 + 204 * i + 5; }
    static std::int32_t pictureY(std::int32_t i) { return 70 + 20 * i + 2; }
};

TEST_F(MenuScreensTest, ALockedPictureIsHighlightedButNotChosen) {
    // The default progress unlocks pictures 0 and 1.
    game::resetUnlocks();
    struct Case {
        const char* what;
        std::int32_t picture;
        std::int32_t key; // released with the stylus resting on the picture; -1: a tap
        std::int32_t leftSoftKey;
        game::State after;
    };
    const Case cases[] = {
        {"a tap on an unlocked picture chooses it", 0, -1, 1, game::State::RacerList},
        {"a tap on the locked picture", 2, -1, -1, game::State::BonusMenu},
        {"select on the locked picture", 2, 5, -1, game::State::BonusMenu},
        {"select on an unlocked picture", 1, 5, 1, game::State::RacerList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::initStateMachine();
        open(game::State::BonusMenu);
        EXPECT_EQ(game::touchStatics().s_selection, -1) << "nothing highlighted at first";
        if (c.key < 0) {
            tap(pictureX(c.picture), pictureY(c.picture));
        } else {
            game::pointerDragged(pictureX(c.picture), pictureY(c.picture));
            frame();
            EXPECT_EQ(state(), game::State::BonusMenu) << "the stylus resting on it only highlights";
            game::pointerDragged(pictureX(c.picture), pictureY(c.picture));
        }
        frame(c.key);
        EXPECT_EQ(game::touchStatics().s_selection, c.picture);
        EXPECT_EQ(game::touchStatics().s_leftSoftKey, c.leftSoftKey);
        EXPECT_EQ(state(), c.after);
    }
}

TEST_F(MenuScreensTest, TheBackKeyReturnsToTheRaceMenu) {
    game::pushState(game::State::RaceMenu);
    game::applyStateChange();
    open(game::State::BonusMenu);
    rt::ByteArray::set(game::keyStatics().s_keyState, 19, 1);
    game::sendStateMessage(game::kUpdate);
    game::applyStateChange();
    EXPECT_EQ(state(), game::State::RaceMenu);
    EXPECT_EQ(stacked(game::State::RaceMenu), 1) << "the menu below is replaced, not stacked twice";
}

TEST_F(MenuScreensTest, TheNoticeLeadsToThePromotionByTheLeftSoftKeyOrATap) {
    for (std::int32_t key : {18, -1}) {
        SCOPED_TRACE(key);
        game::initStateMachine();
        open(game::State::PromotionNotice);
        frame(5);
        EXPECT_EQ(state(), game::State::PromotionNotice);
        if (key < 0)
            tap(600, 400);
        frame(key);
        EXPECT_EQ(state(), game::State::Promotion);
    }
}

} // namespace
