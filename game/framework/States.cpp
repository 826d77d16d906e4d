#include "game/framework/States.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <ostream>

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

void requestState(StateStatics& states, State state) {
    states.s_stateChangePending = 1;
    states.s_nextState = state;
}

} // namespace

void requestState(State state) {
    requestState(stateStatics(), state);
}

State firstRaceState(GameMode mode) {
    return mode == GameMode::LapRace ? State::TrackFlyover : State::RaceCountdown;
}

bool isInRace() {
    return stateStatics().s_state == State::Race;
}

bool isGuidedRace() {
    return stateStatics().s_gameMode == GameMode::Guided && isInRace();
}

bool isSoftKeyMenuState() {
    switch (stateStatics().s_state) {
    case State::PreRaceSelect:
    case State::RacerList:
    case State::ModeMenu:
    case State::CupSelect:
    case State::RaceMenu:
    case State::BonusMenu:
    case State::Options:
    case State::ReferenceList:
    case State::TextScreen:
    case State::RaceOptions:
    case State::RaceHelp:
        return true;
    default:
        return false;
    }
}

std::ostream& operator<<(std::ostream& out, State state) {
    return out << stateNumber(state);
}

std::ostream& operator<<(std::ostream& out, GameMode mode) {
    return out << gameModeNumber(mode);
}

StateStatics& stateStatics() {
    return rt::getStaticClass().statics<StateStatics>();
}

void initStateMachine() {
    initStateFields();
    initStateStack();
    pushState(State::StartupLoad);
}

void initStateFields() {
    StateStatics& states = stateStatics();
    states.s_state = State::StartupLoad;
    states.s_prevState = State::Quit;
    states.s_nextState = State::Quit;
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

void setLoadingTarget(std::int32_t kind, State nextState) {
    StateStatics& states = stateStatics();
    states.s_loadKind = kind;
    states.s_loadingNextState = nextState;
}

void sendStateMessage(std::int32_t message) {
    StateStatics& states = stateStatics();
    if (states.s_state == State::Quit) {
        if (message == kUpdate)
            loopStatics().s_runState = -1;
    } else if (StateHandler handler = stateHandler(states.s_state)) {
        handler(message);
    }
    if (!rt::exceptionPending())
        states.s_messageCount += 1;
}

void pushState(State state) {
    StateStatics& states = stateStatics();
    if (states.s_stateStackDepth >= kStateStackSize || !stackReady(states))
        return;
    requestState(states, state);
    rt::IntArray::set(states.s_stateStack, states.s_stateStackDepth, stateNumber(state));
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
        host::logf(host::LogCategory::Game, "popState: the stack is empty; state %d stays",
                   stateNumber(states.s_state));
        return;
    }
    if (!stackReady(states))
        return;
    requestState(states,
                 stateFromNumber(rt::IntArray::get(states.s_stateStack, states.s_stateStackDepth - 1)));
}

void backToState(State state) {
    StateStatics& states = stateStatics();
    if (states.s_stateStack) {
        for (std::int32_t i = states.s_stateStackDepth - 2; i >= 0; --i) {
            if (rt::IntArray::get(states.s_stateStack, i) == stateNumber(state)) {
                states.s_stateStackDepth = i + 2;
                popState();
                return;
            }
        }
    }
    pushState(state);
}

State getStackedState(std::int32_t position) {
    StateStatics& states = stateStatics();
    if (position < 1 || position > kStateStackSize || !stackReady(states))
        return State{};
    return stateFromNumber(rt::IntArray::get(states.s_stateStack, position - 1));
}

State topOfStateStack() {
    const StateStatics& states = stateStatics();
    if (!states.s_stateStack || states.s_stateStackDepth <= 0)
        return State::Quit;
    return stateFromNumber(rt::IntArray::get(states.s_stateStack, states.s_stateStackDepth - 1));
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
    states.s_nextState = State::Quit;
    return true;
}

} // namespace game
