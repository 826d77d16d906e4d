#pragma once

// The framework's registries: what it calls in the subsystems above it
// (state handlers, the loading steps of state 1, frame and sound hooks, and
// what touch and the overlay ask of sprites, the race and the promotion
// screen).
// The composition root fills them once at start-up, before the MIDlet
// exists; the framework only reads them. They hold plain function pointers,
// never guest references, so the collector need not see them.
//
// An empty entry is the least behaviour: a state without a handler ignores
// its messages, a missing loading step loads nothing, a missing frame hook
// does nothing (the clip hook falls back to the game's own clip wrapper,
// GameGraphics.h).

#include "game/framework/EventType.h"
#include "game/framework/States.h"

#include <array>
#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace rt {
class Object;
class String;
} // namespace rt

namespace game {

// Takes the message (0 enter, 1 update, 2 paint, 3 exit, 4 resume, 5 pause).
// Changes state only through pushState, popState and backToState; an
// exception it leaves pending goes to the caller of sendStateMessage.
using StateHandler = void (*)(std::int32_t message);

// Called by the frame step in its order (see cGame::frameStep).
struct FrameHooks {
    // Clips the game's drawing to the configured screen; null: `setClip` of
    // GameGraphics.h, through the screen scaling and the virtual screen.
    void (*clip)(platform::javax_microedition_lcdui_Graphics* graphics, std::int32_t x, std::int32_t y,
                 std::int32_t width, std::int32_t height) = nullptr;
    void (*soundService)() = nullptr;
};

// What pause and resume ask of the sound layer.
struct SoundHooks {
    // The music playing now, -1 when none (or sound is off).
    std::int32_t (*playingMusic)() = nullptr;
    void (*stopAllSounds)() = nullptr;
    void (*stopMusic)() = nullptr;
    void (*queueFreeChannel)(std::int32_t channel) = nullptr;
    void (*playSound)(std::int32_t sound) = nullptr;
    // The library's pause and resume: mark the sounds suspended (no player
    // starts meanwhile) and stop them, or let them play again.
    void (*suspend)(bool suspended) = nullptr;
    // Makes the runnable of the sound thread (an object with a Runnable
    // view whose `run` is the sound loop); null: no sound thread.
    rt::Object* (*makeSoundRunner)() = nullptr;
    // The MIDlet's destroy: asks the sound thread to end, so that it is gone
    // before the platform stops the threads that are left.
    void (*endSoundThread)() = nullptr;
};

// The sprite engine's sprites and bitmap fonts. A sprite is an entry of the
// sprite table (StartupStatics::s_sprites); the framework never passes a
// null one, and answers a frame of size 0 for a slot not loaded. Fonts go
// by their number in the font table. Empty: frames of size 0, nothing
// painted, nothing freed.
struct SpriteHooks {
    std::int32_t (*frameWidth)(rt::Object* sprite, std::int32_t frame) = nullptr;
    std::int32_t (*frameHeight)(rt::Object* sprite, std::int32_t frame) = nullptr;
    void (*paintFrame)(rt::Object* sprite, platform::javax_microedition_lcdui_Graphics* graphics,
                       std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t flags) = nullptr;
    // Drops the sprite's images and module data.
    void (*freeImages)(rt::Object* sprite) = nullptr;
    void (*selectFontPalette)(std::int32_t font, std::int32_t palette) = nullptr;
    // Draws `text` with the font; anchor 3 centres it on (x, y).
    void (*drawString)(std::int32_t font, platform::javax_microedition_lcdui_Graphics* graphics,
                       rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor) = nullptr;
};

// What the framework reads of the race and its set-up. Empty: race type
// `EventType::None`, drag value 0, the race not finished, no HUD
// bits to clear, goal values 0, nothing formatted, a car value of 0, no
// one-off event prepared.
struct RaceHooks {
    // The race type of the current race.
    EventType (*raceType)() = nullptr;
    // The race's current drag value.
    std::int32_t (*dragValue)() = nullptr;
    bool (*raceFinished)() = nullptr;
    void (*clearHudBits)() = nullptr;
    // The goal of the selected race in `gameMode`: a time in ms (modes 1
    // and 4) or a number (mode 5).
    std::int32_t (*goalValue)(GameMode gameMode) = nullptr;
    // Write [+|-]m:ss[.cc], or the value with `separator` every three
    // digits (none when it is 0), into the shared text buffer
    // (StartupStatics::s_textBuffer), replacing what it held.
    void (*formatTime)(std::int32_t ms, bool forceMinutes, bool withHundredths, bool withSign) = nullptr;
    void (*formatNumber)(std::int32_t value, char16_t separator, bool shortForm) = nullptr;
    // The value of the player's car that the frame-rate display shows last.
    std::int32_t (*playerCarValue)() = nullptr;
    // Prepares the one-off event of game mode 6 (its track, racers and
    // goal) before the front end sends it through the loading state.
    void (*setupMode6Event)() = nullptr;
};

// The promotion screen's side of every pointer event, with the point already
// turned into game space. Empty: no action anywhere, nothing stored, the
// screen not available.
struct PromotionHooks {
    // The action under (x, y); 0 when none.
    std::int32_t (*actionAtPoint)(std::int32_t x, std::int32_t y) = nullptr;
    // A press: a non-zero `action` becomes the pressed one (press flag set,
    // drag flag cleared); the hovered action and both release flags are
    // cleared whatever `action` is.
    void (*pressed)(std::int32_t action) = nullptr;
    // A release: clears the pressed action, the hovered one and one release flag.
    void (*released)() = nullptr;
    // A non-zero action under a drag or release becomes the hovered one.
    void (*hovered)(std::int32_t action) = nullptr;
    // Whether the promotion screen can be shown (its menu item takes room).
    bool (*available)() = nullptr;
    // Sets the promotion screen up once the menus are loaded (its data file
    // and page table).
    void (*setup)() = nullptr;
    // Ends the promotion screen's worker thread when the application ends.
    void (*stop)() = nullptr;
};

// The race's side of the loading state 4. Empty: there is no race to
// release and no race to load, so the race kinds end without work.
struct RaceLoadHooks {
    // Releases what the last race left: `mode` 0 before the next race over a
    // finished one, 1 before the menus are loaded.
    void (*prepareRace)(std::int32_t mode) = nullptr;
    // One step (0 .. 39) of a race load: `next` 0 for a race from the menus,
    // 1 for the next race over a finished one.
    void (*loadStep)(std::int32_t step, std::int32_t next) = nullptr;
    // The loading state hands over to the flyover (40) or the countdown (41):
    // the race's last images are made.
    void (*startRace)(State nextState) = nullptr;
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
    // Reads the game tables, the racer definitions, the event tables (with
    // the saved records they size) and the wire model of every race row.
    void (*loadRaceTables)() = nullptr;
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
    SpriteHooks sprites;
    RaceHooks race;
    PromotionHooks promotion;
    RaceLoadHooks raceLoad;
};

// The registries of this process.
Seams& seams();

// Registers `handler` for `state` (a number outside the states is ignored).
void setStateHandler(State state, StateHandler handler);
// The handler of `state`, null when it has none.
StateHandler stateHandler(State state);

} // namespace game
