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
#include <iosfwd>

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

// The game's states, each a screen or a phase with one handler. The numbers
// are the ones the state stack and the menu target tables hold; a number
// without a name (0, 11, 13, 19..29, 44) has no handler and ignores every
// message.
enum class State : std::int32_t {
    // Taking message 1 ends the game loop. The previous and the requested
    // state hold it when there is none.
    Quit = -1,
    // The start-up load, at the bottom of the stack; then the splash.
    StartupLoad = 1,
    Splash = 2,
    SoundQuestion = 3,
    // The staged loader; when done it goes back to `s_loadingNextState`.
    Loading = 4,
    Title = 5,
    MainMenu = 6,
    ExitQuestion = 7,
    QuitRaceQuestion = 8,
    RestartQuestion = 9,
    // The question before the saved progress is reset.
    ResetQuestion = 10,
    // The event of the chosen game mode, before a race.
    PreRaceSelect = 12,
    // The grid of racers.
    RacerList = 14,
    ModeMenu = 15,
    // The championship (cup) to run, after the racer list.
    CupSelect = 16,
    RaceMenu = 17,
    BonusMenu = 18,
    Options = 30,
    ReferenceList = 31,
    // The scrolling text screen.
    TextScreen = 32,
    PauseMenu = 33,
    RaceOptions = 34,
    // The help pages over the race.
    RaceHelp = 35,
    // After a race: next race, retry or leave.
    RaceEndMenu = 36,
    // The notice shown before the promotion screen.
    PromotionNotice = 37,
    // The reward screen at the end of a championship.
    RewardScreen = 38,
    RacerIntro = 39,
    TrackFlyover = 40,
    RaceCountdown = 41,
    Race = 42,
    RaceResults = 43,
    // The first-time question before the race menu.
    StartQuestion = 45,
    Promotion = 46,
};

// A state as the guest int arrays hold it (the state stack, the menu target
// tables), and back. Every conversion between the two goes through these.
constexpr std::int32_t stateNumber(State state) {
    return static_cast<std::int32_t>(state);
}
constexpr State stateFromNumber(std::int32_t number) {
    return static_cast<State>(number);
}

// Writes the state's number.
std::ostream& operator<<(std::ostream& out, State state);

// The numbers a table indexed by state covers, -1 .. the last state.
inline constexpr std::int32_t kStateSlots = stateNumber(State::Promotion) + 2;

// The game modes the front end chooses from. The events of a mode are the
// events of the event type with the mode's number, so a mode's number also
// picks its event list and its records.
enum class GameMode : std::int32_t {
    // A race over laps against the others: a single race or a championship,
    // entered through the track flyover.
    LapRace = 0,
    // A distance against the clock, with three best times per event.
    TimeTrial = 1,
    // The four modes of the mode menu, its items in order.
    Collection = 2,
    Score = 3,
    StopAndGo = 4,
    Points = 5,
    // The one-off guided race that explains the controls; its race carries
    // a soft key of its own.
    Guided = 6,
};

// A game mode as the tables indexed by mode and the event rows hold it, and
// back.
constexpr std::int32_t gameModeNumber(GameMode mode) {
    return static_cast<std::int32_t>(mode);
}
constexpr GameMode gameModeFromNumber(std::int32_t number) {
    return static_cast<GameMode>(number);
}

// Writes the game mode's number.
std::ostream& operator<<(std::ostream& out, GameMode mode);

struct StateStatics {
    // 0, no state, until the state machine is set up.
    State s_state{};
    State s_prevState{};
    // The requested state; `State::Quit` when none.
    State s_nextState{};
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
    // The kinds the loading state loads (bits of the load kinds), and where
    // it goes when it has finished.
    std::int32_t s_loadKind = 0;
    State s_loadingNextState{};
    // The game mode the front end chose; several states and the overlay
    // behave by it.
    GameMode s_gameMode = GameMode::LapRace;

    RT_REFERENCE_FIELDS(StateStatics, rt::NoReferenceBase, s_stateStack)
};

StateStatics& stateStatics();

// The set-up of OrvelLib::init: `initStateFields`, `initStateStack`, then
// pushState(State::StartupLoad), so that state is also the bottom of the stack.
void initStateMachine();
// The start-up load current and to be entered, no previous or requested
// state, the state's frame counters 0.
void initStateFields();
// A new empty stack of 32 entries.
void initStateStack();
// The load kinds, as bits; the loading state runs them in the order race,
// next race, menus.
inline constexpr std::int32_t kLoadRace = 2;
inline constexpr std::int32_t kLoadMenus = 4;
inline constexpr std::int32_t kLoadNextRace = 8;

// What the loading state loads (`kind`, bits of the load kinds), and the
// state that follows the loading.
void setLoadingTarget(std::int32_t kind, State nextState);

// Sends `message` to the current state's handler; counts it unless an
// exception is left pending. `State::Quit` takes message 1 only: the game
// loop stops.
void sendStateMessage(std::int32_t message);

// Requests a change to `state` without touching the stack.
void requestState(State state);
// Requests a change to `state` and pushes it; at depth 32 does nothing.
void pushState(State state);
// Pops the top and requests the state below it. At depth 1 the stack
// empties and nothing is requested; at depth 0 nothing happens.
void popState();
// Unwinds to the highest entry below the top that holds `state` and
// requests it; pushes `state` when there is none.
void backToState(State state);
// The entry at position `position` (1 = bottom .. 32), whatever the depth;
// 0, no state, outside.
State getStackedState(std::int32_t position);
// The top entry; `State::Quit` when the stack is empty or missing (quietly:
// painters ask it every frame).
State topOfStateStack();

// The state a race of `mode` starts in after its load: the track flyover
// in a lap race, else the countdown.
State firstRaceState(GameMode mode);

// Questions on the current state and game mode.
bool isInRace();
// The race of the guided game mode is running.
bool isGuidedRace();
// The menu states that show a right soft key: the pre-race selection, the
// racer list, the mode menu, the cup selection, the race and bonus menus,
// the options, the reference list, the text screen, the race options and
// the race help.
bool isSoftKeyMenuState();

// The frame step's end: when a change is pending, sends the exit message to
// the current state and makes the requested one current (entered next
// frame). Answers false when the exit message left an exception pending.
bool applyStateChange();

} // namespace game
