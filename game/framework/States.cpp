#include "game/framework/States.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

namespace game {

namespace {

// A missing stack array is reported as every null access is, and the
// operation goes on without it.
bool stackReady(const StateStatics& states) {
    if (states.s_stateStack)
        return true;
    rt::reportNullPointer();
    return false;
}

void requestState(StateStatics& states, std::int32_t state) {
    states.s_stateChangePending = 1;
    states.s_nextState = state;
}

} // namespace

void requestState(std::int32_t state) {
    requestState(stateStatics(), state);
}

bool isInRace() {
    return stateStatics().s_state == kRaceState;
}

bool isRaceMode6() {
    return stateStatics().s_gameMode == kSoftKeyRaceMode && isInRace();
}

bool isSoftKeyMenuState() {
    switch (stateStatics().s_state) {
    case 12:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 30:
    case 31:
    case 32:
    case 34:
    case 35:
        return true;
    default:
        return false;
    }
}

bool isMainOrSelectMenu() {
    std::int32_t state = stateStatics().s_state;
    return state == 12 || state == 16;
}

StateStatics& stateStatics() {
    return rt::getStaticClass().statics<StateStatics>();
}

void initStateMachine() {
    initStateFields();
    initStateStack();
    pushState(1);
}

void initStateFields() {
    StateStatics& states = stateStatics();
    states.s_state = 1;
    states.s_prevState = kNoState;
    states.s_nextState = kNoState;
    states.s_stateChangePending = 0;
    states.s_stateEntered = 1;
    states.s_stateFrames = 0;
    states.s_stateTime = 0;
}

void initStateStack() {
    rt::IntArray* stack = rt::newIntArray(kStateStackSize);
    StateStatics& states = stateStatics();
    states.s_stateStack = stack;
    states.s_stateStackDepth = 0;
}

void setLoadingTarget(std::int32_t loadingState, std::int32_t nextState) {
    StateStatics& states = stateStatics();
    states.s_loadingState = loadingState;
    states.s_loadingNextState = nextState;
}

void sendStateMessage(std::int32_t message) {
    StateStatics& states = stateStatics();
    if (states.s_state == kQuitState) {
        if (message == kUpdate)
            loopStatics().s_runState = -1;
    } else if (StateHandler handler = stateHandler(states.s_state)) {
        handler(message);
    }
    if (!rt::exceptionPending())
        states.s_messageCount += 1;
}

void pushState(std::int32_t state) {
    StateStatics& states = stateStatics();
    if (states.s_stateStackDepth >= kStateStackSize || !stackReady(states))
        return;
    requestState(states, state);
    rt::IntArray::set(states.s_stateStack, states.s_stateStackDepth, state);
    states.s_stateStackDepth += 1;
}

void popState() {
    StateStatics& states = stateStatics();
    if (states.s_stateStackDepth <= 0)
        return;
    states.s_stateStackDepth -= 1;
    // The bottom state has nothing below it to go back to: the stack is
    // empty now and the current state stays.
    if (states.s_stateStackDepth == 0) {
        host::logf(host::LogCategory::Game, "popState: the stack is empty; state %d stays", states.s_state);
        return;
    }
    if (!stackReady(states))
        return;
    requestState(states, rt::IntArray::get(states.s_stateStack, states.s_stateStackDepth - 1));
}

void backToState(std::int32_t state) {
    StateStatics& states = stateStatics();
    if (states.s_stateStack) {
        for (std::int32_t i = states.s_stateStackDepth - 2; i >= 0; --i) {
            if (rt::IntArray::get(states.s_stateStack, i) == state) {
                states.s_stateStackDepth = i + 2;
                popState();
                return;
            }
        }
    }
    pushState(state);
}

std::int32_t getStackedState(std::int32_t position) {
    StateStatics& states = stateStatics();
    if (position < 1 || position > kStateStackSize || !stackReady(states))
        return 0;
    return rt::IntArray::get(states.s_stateStack, position - 1);
}

bool applyStateChange() {
    StateStatics& states = stateStatics();
    if (!states.s_stateChangePending)
        return true;
    sendStateMessage(kExit);
    if (rt::exceptionPending())
        return false;
    states.s_prevState = states.s_state;
    states.s_state = states.s_nextState;
    states.s_stateChangePending = 0;
    states.s_stateEntered = 1;
    states.s_nextState = kNoState;
    return true;
}

} // namespace game
