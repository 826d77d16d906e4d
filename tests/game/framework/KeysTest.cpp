// Key codes to game keys, and what one latch per frame makes of presses,
// holds and releases in both forms of key state.

#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <climits>

namespace {

struct KeysTest : framework_testing::FrameworkTest {
    KeysTest() {
        game::OrvelLibConfig::staticInit();
        setUp();
    }
    static void setUp() {
        game::initKeyTables();
        game::makeKeyStateArrays();
    }
    static std::int32_t counter(std::int32_t gameKey) {
        return rt::ByteArray::get(game::keyStatics().s_keyState, gameKey);
    }
};

TEST_F(KeysTest, KeyCodesReachTheirGameKeys) {
    struct Case {
        std::int32_t keyCode;
        std::int32_t gameKey;
    };
    const Case cases[] = {
        {'2', 1},  {'8', 2},  {'4', 3},  {'6', 4},  {'5', 5}, {'0', 6}, {'1', 7},     {'3', 9},
        {'7', 13}, {'9', 15}, {'*', 16}, {'#', 17}, {-1, 1},  {-2, 2},  {-3, 3},      {-4, 4},
        {-5, 5},   {-6, 18},  {-7, 19},  {-999, 0}, {'A', 0}, {0, 0},   {INT_MIN, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game::getGameKey(c.keyCode), c.gameKey) << c.keyCode;

    game::mapKey(0, '2', 11);
    EXPECT_EQ(game::getGameKey('2'), 11);
    game::mapKey(1, -999, 8);
    EXPECT_EQ(game::getGameKey(-999), 8);

    game::config().s_softKeysNotSwapped = 0;
    game::initKeyTables();
    EXPECT_EQ(game::getGameKey(-6), 19);
    EXPECT_EQ(game::getGameKey(-7), 18);
}

TEST_F(KeysTest, APressGoesDownInOneFrameCountsUpTo126AndGoesUpOnRelease) {
    game::keyPressed('5');
    game::updateKeys();
    EXPECT_TRUE(game::isKeyPressed(5));
    EXPECT_TRUE(game::isKeyHeld(5));
    EXPECT_EQ(game::getPressedKey(), 5);
    EXPECT_EQ(game::keyStatics().s_lastPressedKey, 5);
    game::keyPressed('5'); // a repeat does not restart the count
    game::updateKeys();
    EXPECT_FALSE(game::isKeyPressed(5));
    EXPECT_TRUE(game::isKeyHeld(5));
    EXPECT_EQ(counter(5), 2);
    EXPECT_EQ(game::getPressedKey(), -1);
    for (int frame = 0; frame < 200; ++frame)
        game::updateKeys();
    EXPECT_EQ(counter(5), 126);
    game::keyReleased('5');
    game::updateKeys();
    EXPECT_TRUE(game::isKeyReleased(5));
    EXPECT_FALSE(game::isKeyHeld(5));
    EXPECT_EQ(counter(5), -126);
    EXPECT_EQ(game::getReleasedKey(), 5);
    game::updateKeys();
    EXPECT_EQ(counter(5), 0);
    EXPECT_FALSE(game::isKeyReleased(5));
}

TEST_F(KeysTest, APressAndReleaseBetweenFramesReadsAsReleasedOnly) {
    game::keyPressed(-1);
    game::keyReleased(-1);
    game::updateKeys();
    EXPECT_EQ(counter(1), -1);
    EXPECT_TRUE(game::isKeyReleased(1));
    EXPECT_FALSE(game::isKeyPressed(1));

    game::config().s_keyCounters = 0; // the mask form sees both
    game::keyPressed(-1);
    game::keyReleased(-1);
    game::updateKeys();
    EXPECT_TRUE(game::isKeyPressed(1));
    EXPECT_TRUE(game::isKeyReleased(1));
    EXPECT_FALSE(game::isKeyHeld(1));
    game::updateKeys();
    EXPECT_FALSE(game::isKeyPressed(1));
}

TEST_F(KeysTest, SoftKeysHeldReadPressedThenReleasedThenUp) {
    game::keyPressed(-6); // F1 on the platform
    game::keyPressed(-7); // F2
    game::updateKeys();
    EXPECT_TRUE(game::isKeyPressed(18));
    EXPECT_TRUE(game::isKeyPressed(19));
    EXPECT_EQ(game::getPressedKey(), 19);
    game::updateKeys();
    EXPECT_TRUE(game::isKeyReleased(18));
    EXPECT_TRUE(game::isKeyReleased(19));
    game::updateKeys();
    EXPECT_EQ(counter(18), 0);
    EXPECT_EQ(counter(19), 0);
}

TEST_F(KeysTest, AKeyLockClearsEveryFrameAndCountsDownUnlessForever) {
    game::KeyStatics& keys = game::keyStatics();
    game::loopStatics().s_frameMs = 40;
    keys.s_keyLockMs = 60;
    game::keyPressed('5');
    game::updateKeys();
    EXPECT_FALSE(game::isKeyHeld(5));
    EXPECT_EQ(keys.s_keyLockMs, 20);
    game::updateKeys();
    EXPECT_EQ(keys.s_keyLockMs, -20);
    game::keyPressed('5');
    game::updateKeys();
    EXPECT_TRUE(game::isKeyPressed(5));

    keys.s_keyLockMs = game::kKeyLockForever;
    for (int frame = 0; frame < 3; ++frame) {
        game::keyPressed('6');
        game::updateKeys();
        EXPECT_FALSE(game::isKeyHeld(4));
    }
    EXPECT_EQ(keys.s_keyLockMs, game::kKeyLockForever);
}

TEST_F(KeysTest, WithoutArraysKeyEventsReportAndChangeNothing) {
    game::dropKeyStateArrays();
    log.clear();
    game::keyPressed('5');
    game::updateKeys();
    EXPECT_FALSE(game::isKeyHeld(5));
    EXPECT_FALSE(log.lines().empty());
}

} // namespace
