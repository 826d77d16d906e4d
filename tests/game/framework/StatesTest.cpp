// The state stack and the change of state at the end of a frame.

#include "game/framework/States.h"
#include "game/framework/LoopStatics.h"
#include "runtime/Array.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <vector>

namespace {

using framework_testing::FrameworkTest;
using framework_testing::recordMessage;
using framework_testing::s_messages;

struct StatesTest : FrameworkTest {
    StatesTest() { game::initStateMachine(); }

    // Pushes `states` over the 1 that init leaves at the bottom.
    static void stack(std::initializer_list<std::int32_t> states) {
        for (std::int32_t state : states)
            game::pushState(state);
    }
    static std::vector<std::int32_t> entries() {
        std::vector<std::int32_t> out;
        for (std::int32_t i = 1; i <= game::stateStatics().s_stateStackDepth; ++i)
            out.push_back(game::getStackedState(i));
        return out;
    }
};

TEST_F(StatesTest, InitLeavesStateOneCurrentAtTheBottomAndRequested) {
    const game::StateStatics& states = game::stateStatics();
    EXPECT_EQ(states.s_state, 1);
    EXPECT_EQ(states.s_prevState, -1);
    EXPECT_EQ(states.s_stateEntered, 1);
    EXPECT_EQ(states.s_stateChangePending, 1);
    EXPECT_EQ(states.s_nextState, 1);
    EXPECT_EQ(entries(), (std::vector<std::int32_t>{1}));
}

TEST_F(StatesTest, APushBeyondThirtyTwoIsDroppedWithItsRequest) {
    for (std::int32_t s = 2; s <= 32; ++s)
        game::pushState(s);
    game::StateStatics& states = game::stateStatics();
    ASSERT_EQ(states.s_stateStackDepth, 32);
    EXPECT_EQ(states.s_nextState, 32);
    game::pushState(40);
    EXPECT_EQ(states.s_stateStackDepth, 32);
    EXPECT_EQ(states.s_nextState, 32);
    EXPECT_EQ(game::getStackedState(32), 32);
    EXPECT_EQ(game::getStackedState(33), 0);
    EXPECT_EQ(game::getStackedState(0), 0);
}

TEST_F(StatesTest, BackToStateUnwindsToTheHighestEntryBelowTheTopOrPushes) {
    struct Case {
        const char* name;
        std::initializer_list<std::int32_t> pushed; // over the 1 at the bottom
        std::int32_t target;
        std::vector<std::int32_t> after;
    };
    const Case cases[] = {
        {"found once", {5, 6, 17}, 6, {1, 5, 6}},
        {"found twice: the higher", {6, 17, 6, 18}, 6, {1, 6, 17, 6}},
        {"the bottom", {5, 6}, 1, {1}},
        {"only on top: pushed again", {5, 6}, 6, {1, 5, 6, 6}},
        {"not found: pushed", {5, 6}, 40, {1, 5, 6, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game::initStateMachine();
        stack(c.pushed);
        game::backToState(c.target);
        EXPECT_EQ(entries(), c.after);
        EXPECT_EQ(game::stateStatics().s_nextState, c.target);
        EXPECT_EQ(game::stateStatics().s_stateChangePending, 1);
    }
}

TEST_F(StatesTest, PopAtDepthOneEmptiesTheStackWithoutARequestAndLogsOnce) {
    game::applyStateChange(); // state 1 current, nothing pending
    ASSERT_EQ(game::stateStatics().s_stateChangePending, 0);
    log.clear();
    game::popState();
    const game::StateStatics& states = game::stateStatics();
    EXPECT_EQ(states.s_stateStackDepth, 0);
    EXPECT_EQ(states.s_stateChangePending, 0);
    EXPECT_EQ(states.s_nextState, -1);
    EXPECT_EQ(states.s_state, 1);
    EXPECT_EQ(log.lines().size(), 1u);
    game::popState(); // at depth 0: nothing at all
    EXPECT_EQ(states.s_stateStackDepth, 0);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(StatesTest, AChangeTakesEffectAfterTheOldStateExitsAndOnlyTheLastRequestCounts) {
    game::setStateHandler(1, recordMessage<1>);
    game::setStateHandler(2, recordMessage<2>);
    game::applyStateChange();
    s_messages.clear();
    game::pushState(3);
    game::pushState(2);
    game::sendStateMessage(game::kUpdate);
    EXPECT_EQ(game::stateStatics().s_state, 1);
    ASSERT_TRUE(game::applyStateChange());
    const game::StateStatics& states = game::stateStatics();
    EXPECT_EQ(s_messages, (std::vector<std::string>{"1:1", "1:3"}));
    EXPECT_EQ(states.s_state, 2);
    EXPECT_EQ(states.s_prevState, 1);
    EXPECT_EQ(states.s_stateEntered, 1);
    EXPECT_EQ(states.s_nextState, -1);
    EXPECT_EQ(entries(), (std::vector<std::int32_t>{1, 3, 2}));
}

TEST_F(StatesTest, MessagesToStatesWithoutHandlersOnlyCountAndQuitStopsTheLoopOnUpdate) {
    game::StateStatics& states = game::stateStatics();
    for (std::int32_t state : {0, 11, 44, 99}) {
        states.s_state = state;
        std::int32_t before = states.s_messageCount;
        game::sendStateMessage(game::kUpdate);
        EXPECT_EQ(states.s_messageCount, before + 1) << state;
    }
    states.s_state = -1;
    game::sendStateMessage(game::kPaint);
    EXPECT_EQ(game::loopStatics().s_runState, 0);
    game::sendStateMessage(game::kUpdate);
    EXPECT_EQ(game::loopStatics().s_runState, -1);
}

} // namespace
