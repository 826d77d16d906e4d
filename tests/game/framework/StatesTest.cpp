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

using game::State;

struct StatesTest : FrameworkTest {
    StatesTest() { game::initStateMachine(); }

    // Pushes `states` over the start-up state that init leaves at the bottom.
    static void stack(std::initializer_list<State> states) {
        for (State state : states)
            game::pushState(state);
    }
    static std::vector<State> entries() {
        std::vector<State> out;
        for (std::int32_t i = 1; i <= game::stateStatics().s_stateStackDepth; ++i)
            out.push_back(game::getStackedState(i));
        return out;
    }
};

TEST_F(StatesTest, InitLeavesStateOneCurrentAtTheBottomAndRequested) {
    const game::StateStatics& states = game::stateStatics();
    EXPECT_EQ(states.s_state, game::State::StartupLoad);
    EXPECT_EQ(states.s_prevState, game::State::Quit);
    EXPECT_EQ(states.s_stateEntered, 1);
    EXPECT_EQ(states.s_stateChangePending, 1);
    EXPECT_EQ(states.s_nextState, game::State::StartupLoad);
    EXPECT_EQ(entries(), (std::vector<State>{State::StartupLoad}));
}

TEST_F(StatesTest, APushBeyondThirtyTwoIsDroppedWithItsRequest) {
    // Numbers 2 .. 32, states with a handler or not.
    for (std::int32_t number = 2; number <= 32; ++number)
        game::pushState(game::stateFromNumber(number));
    game::StateStatics& states = game::stateStatics();
    ASSERT_EQ(states.s_stateStackDepth, 32);
    EXPECT_EQ(states.s_nextState, game::State::TextScreen);
    game::pushState(game::State::TrackFlyover);
    EXPECT_EQ(states.s_stateStackDepth, 32);
    EXPECT_EQ(states.s_nextState, game::State::TextScreen);
    EXPECT_EQ(game::getStackedState(32), game::State::TextScreen);
    EXPECT_EQ(game::getStackedState(33), State{});
    EXPECT_EQ(game::getStackedState(0), State{});
}

TEST_F(StatesTest, BackToStateUnwindsToTheHighestEntryBelowTheTopOrPushes) {
    struct Case {
        const char* name;
        std::initializer_list<State> pushed; // over the start-up state at the bottom
        State target;
        std::vector<State> after;
    };
    constexpr State kBottom = State::StartupLoad;
    const Case cases[] = {
        {"found once",
         {State::Title, State::MainMenu, State::RaceMenu},
         State::MainMenu,
         {kBottom, State::Title, State::MainMenu}},
        {"found twice: the higher",
         {State::MainMenu, State::RaceMenu, State::MainMenu, State::BonusMenu},
         State::MainMenu,
         {kBottom, State::MainMenu, State::RaceMenu, State::MainMenu}},
        {"the bottom", {State::Title, State::MainMenu}, kBottom, {kBottom}},
        {"only on top: pushed again",
         {State::Title, State::MainMenu},
         State::MainMenu,
         {kBottom, State::Title, State::MainMenu, State::MainMenu}},
        {"not found: pushed",
         {State::Title, State::MainMenu},
         State::TrackFlyover,
         {kBottom, State::Title, State::MainMenu, State::TrackFlyover}},
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
    EXPECT_EQ(states.s_nextState, game::State::Quit);
    EXPECT_EQ(states.s_state, game::State::StartupLoad);
    EXPECT_EQ(log.lines().size(), 1u);
    game::popState(); // at depth 0: nothing at all
    EXPECT_EQ(states.s_stateStackDepth, 0);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(StatesTest, AChangeTakesEffectAfterTheOldStateExitsAndOnlyTheLastRequestCounts) {
    game::setStateHandler(game::State::StartupLoad, recordMessage<game::State::StartupLoad>);
    game::setStateHandler(game::State::Splash, recordMessage<game::State::Splash>);
    game::applyStateChange();
    s_messages.clear();
    game::pushState(game::State::SoundQuestion);
    game::pushState(game::State::Splash);
    game::sendStateMessage(game::kUpdate);
    EXPECT_EQ(game::stateStatics().s_state, game::State::StartupLoad);
    ASSERT_TRUE(game::applyStateChange());
    const game::StateStatics& states = game::stateStatics();
    EXPECT_EQ(s_messages, (std::vector<std::string>{"1:1", "1:3"}));
    EXPECT_EQ(states.s_state, game::State::Splash);
    EXPECT_EQ(states.s_prevState, game::State::StartupLoad);
    EXPECT_EQ(states.s_stateEntered, 1);
    EXPECT_EQ(states.s_nextState, game::State::Quit);
    EXPECT_EQ(entries(), (std::vector<State>{State::StartupLoad, State::SoundQuestion, State::Splash}));
}

TEST_F(StatesTest, MessagesToStatesWithoutHandlersOnlyCountAndQuitStopsTheLoopOnUpdate) {
    game::StateStatics& states = game::stateStatics();
    // Numbers without a handler, and one outside the states.
    for (std::int32_t number : {0, 11, 44, 99}) {
        const State state = game::stateFromNumber(number);
        states.s_state = state;
        std::int32_t before = states.s_messageCount;
        game::sendStateMessage(game::kUpdate);
        EXPECT_EQ(states.s_messageCount, before + 1) << state;
    }
    states.s_state = game::State::Quit;
    game::sendStateMessage(game::kPaint);
    EXPECT_EQ(game::loopStatics().s_runState, 0);
    game::sendStateMessage(game::kUpdate);
    EXPECT_EQ(game::loopStatics().s_runState, -1);
}

} // namespace
