#pragma once

// The framework's registries: what it calls in the subsystems above it
// (state handlers, the loading steps of state 1, frame and sound hooks).
// The composition root fills them once at start-up, before the MIDlet
// exists; the framework only reads them. They hold plain function pointers,
// never guest references, so the collector need not see them.
//
// An empty entry is the least behaviour: a state without a handler ignores
// its messages, a missing loading step loads nothing, a missing frame hook
// does nothing (the clip hook falls back to a plain clip).

#include <array>
#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

// State numbers in use run from -1 (quit) to 46.
inline constexpr std::int32_t kQuitState = -1;
inline constexpr std::int32_t kLastState = 46;
inline constexpr std::int32_t kStateSlots = kLastState + 2;

// Takes the message (0 enter, 1 update, 2 paint, 3 exit, 4 resume, 5 pause).
// Changes state only through pushState, popState and backToState; an
// exception it leaves pending goes to the caller of sendStateMessage.
using StateHandler = void (*)(std::int32_t message);

// Called by the frame step in its order (see cGame::frameStep).
struct FrameHooks {
    // Clips the game's drawing to the configured screen; null: a plain setClip.
    void (*clip)(platform::javax_microedition_lcdui_Graphics* graphics, std::int32_t x, std::int32_t y,
                 std::int32_t width, std::int32_t height) = nullptr;
    void (*paintOverlay)(platform::javax_microedition_lcdui_Graphics* graphics) = nullptr;
    void (*soundService)() = nullptr;
    void (*latchPointer)() = nullptr;
};

// What pause and resume ask of the sound layer.
struct SoundHooks {
    // The music playing now, -1 when none (or sound is off).
    std::int32_t (*playingMusic)() = nullptr;
    void (*stopAllSounds)() = nullptr;
    void (*stopMusic)() = nullptr;
    void (*queueFreeChannel)(std::int32_t channel) = nullptr;
    void (*playSound)(std::int32_t sound) = nullptr;
};

// State 1's loading steps that belong to later subsystems, in the order
// they run on its enter message. Each may leave an exception pending, which
// ends the message.
struct LoadingSteps {
    // Reads the main progress record (its result is not used).
    void (*loadRecord)() = nullptr;
    // Opens the pack named `packName` and reads entries 0 and 1, the cosine
    // table and its companion, into the fixed-point statics.
    void (*loadFixedPointTables)(std::int32_t packNameConstant) = nullptr;
    // Reads the start-up pack and sets up the start-up sounds.
    void (*loadStartupPack)() = nullptr;
    // Makes the zoomed-frame and pre-zoomed-frame caches.
    void (*initZoomCaches)() = nullptr;
    // The game's own class initialisers that run after the framework's
    // (sprites, promotion screen).
    void (*staticInit)() = nullptr;
};

struct Seams {
    std::array<StateHandler, kStateSlots> states{};
    FrameHooks frame;
    SoundHooks sound;
    LoadingSteps loading;
};

// The registries of this process.
Seams& seams();

// Registers `handler` for `state` (-1..46; others are ignored).
void setStateHandler(std::int32_t state, StateHandler handler);
// The handler of `state`, null when it has none.
StateHandler stateHandler(std::int32_t state);

} // namespace game
