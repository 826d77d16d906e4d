#pragma once

// The state machine: the current state, the change requested during a
// frame and the stack of up to 32 states it is unwound on. Handlers request
// changes with pushState, popState and backToState; a change never happens
// inside those calls. The frame step applies the last request of the frame
// after sending the old state its exit message, and the new state gets its
// enter message at the start of the next frame.
//
// Threads: the game thread sends messages and changes states; pause and
// resume (messages 5 and 4) may come from the window thread while the game
// thread idles.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

enum StateMessage : std::int32_t {
    kEnter = 0,
    kUpdate = 1,
    kPaint = 2,
    kExit = 3,
    kResume = 4,
    kPause = 5,
};

inline constexpr std::int32_t kStateStackSize = 32;
inline constexpr std::int32_t kNoState = -1;
// The game's states by number, in one place for every subsystem.
inline constexpr std::int32_t kSplashState = 2;
inline constexpr std::int32_t kSoundQuestionState = 3;
inline constexpr std::int32_t kLoadingState = 4;
inline constexpr std::int32_t kTitleState = 5;
inline constexpr std::int32_t kMainMenuState = 6;
inline constexpr std::int32_t kExitQuestionState = 7;
inline constexpr std::int32_t kQuitRaceQuestionState = 8;
inline constexpr std::int32_t kRestartQuestionState = 9;
inline constexpr std::int32_t kResetQuestionState = 10;
inline constexpr std::int32_t kPreRaceState = 12;
inline constexpr std::int32_t kListScreenState = 14;
inline constexpr std::int32_t kModeMenuState = 15;
inline constexpr std::int32_t kTrackSelectState = 16;
inline constexpr std::int32_t kRaceMenuState = 17;
inline constexpr std::int32_t kBonusMenuState = 18;
inline constexpr std::int32_t kOptionsState = 30;
inline constexpr std::int32_t kReferenceListState = 31;
inline constexpr std::int32_t kTextPageState = 32;
inline constexpr std::int32_t kPauseMenuState = 33;
inline constexpr std::int32_t kRaceOptionsState = 34;
inline constexpr std::int32_t kRaceHelpState = 35;
inline constexpr std::int32_t kRaceEndMenuState = 36;
inline constexpr std::int32_t kNoticeState = 37;
inline constexpr std::int32_t kTextScreenState = 38;
inline constexpr std::int32_t kRacerIntroState = 39;
inline constexpr std::int32_t kTrackFlyoverState = 40;
inline constexpr std::int32_t kRaceCountdownState = 41;
inline constexpr std::int32_t kRaceState = 42;
inline constexpr std::int32_t kResultsState = 43;
inline constexpr std::int32_t kStartQuestionState = 45;
inline constexpr std::int32_t kPromotionState = 46;
// The game mode whose race carries a soft key of its own.
inline constexpr std::int32_t kSoftKeyRaceMode = 6;

struct StateStatics {
    std::int32_t s_state = 0;
    std::int32_t s_prevState = 0;
    // The requested state; -1 when none.
    std::int32_t s_nextState = 0;
    std::int8_t s_stateChangePending = 0;
    // 1 until the current state has had its enter message.
    std::int8_t s_stateEntered = 0;
    std::int32_t s_stateFrames = 0;
    std::int32_t s_stateTime = 0;
    // int[32], entry 0 at the bottom.
    rt::IntArray* s_stateStack = nullptr;
    std::int32_t s_stateStackDepth = 0;
    // Messages that returned without a pending exception.
    std::int32_t s_messageCount = 0;
    // The state the front end changes to for loading (the loading state 4),
    // and where the loading state goes when it has finished.
    std::int32_t s_loadingState = 0;
    std::int32_t s_loadingNextState = 0;
    // The game mode the front end chose (item + 2 of its mode menu); several
    // states and the overlay behave by it.
    std::int32_t s_gameMode = 0;

    RT_REFERENCE_FIELDS(StateStatics, rt::NoReferenceBase, s_stateStack)
};

StateStatics& stateStatics();

// The set-up of OrvelLib::init: `initStateFields`, `initStateStack`, then
// pushState(1), so 1 is also the bottom of the stack.
void initStateMachine();
// State 1 current and to be entered, no previous or requested state, the
// state's frame counters 0.
void initStateFields();
// A new empty stack of 32 entries.
void initStateStack();
// The state the front end changes to for loading, and the state that
// follows the loading.
void setLoadingTarget(std::int32_t loadingState, std::int32_t nextState);

// Sends `message` to the current state's handler; counts it unless an
// exception is left pending. State -1 takes message 1 only: the game loop
// stops.
void sendStateMessage(std::int32_t message);

// Requests a change to `state` without touching the stack.
void requestState(std::int32_t state);
// Requests a change to `state` and pushes it; at depth 32 does nothing.
void pushState(std::int32_t state);
// Pops the top and requests the state below it. At depth 1 the stack
// empties and nothing is requested; at depth 0 nothing happens.
void popState();
// Unwinds to the highest entry below the top that holds `state` and
// requests it; pushes `state` when there is none.
void backToState(std::int32_t state);
// The entry at position `position` (1 = bottom .. 32), whatever the depth; 0 outside.
std::int32_t getStackedState(std::int32_t position);

// Questions on the current state and game mode.
bool isInRace();
bool isRaceMode6();
// The menu states that show a right soft key: 12, 14..18, 30..32, 34, 35.
bool isSoftKeyMenuState();
bool isMainOrSelectMenu();

// The frame step's end: when a change is pending, sends the exit message to
// the current state and makes the requested one current (entered next
// frame). Answers false when the exit message left an exception pending.
bool applyStateChange();

} // namespace game
