#pragma once

// The framework's registries: what it calls in the subsystems above it (the
// state handlers, the loading steps of state 1, the frame's sound service,
// and what pause, touch and the overlay ask of the sound layer, the sprites,
// the race and the promotion screen). The composition root fills every
// member once at start-up, before the MIDlet exists, and start-up stops with
// a line naming the first one missing (`missingRegistration`), so the
// framework calls them without a test. They hold plain function pointers,
// never guest references, so the collector need not see them.

#include "game/framework/States.h"

#include <array>
#include <cstdint>
#include <string>

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

// The sprite engine's sprites and bitmap fonts, for the touch zones and the
// soft keys. A sprite is an entry of the sprite table
// (StartupStatics::s_sprites); the framework never passes a null one, and
// answers a frame of size 0 for a slot not loaded. Fonts go by their number
// in the font table; a font not loaded yet draws nothing.
struct SpriteHooks {
    std::int32_t (*frameWidth)(rt::Object* sprite, std::int32_t frame) = nullptr;
    std::int32_t (*frameHeight)(rt::Object* sprite, std::int32_t frame) = nullptr;
    void (*paintFrame)(rt::Object* sprite, platform::javax_microedition_lcdui_Graphics* graphics,
                       std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t flags) = nullptr;
    void (*selectFontPalette)(std::int32_t font, std::int32_t palette) = nullptr;
    // Draws `text` with the font; anchor 3 centres it on (x, y).
    void (*drawString)(std::int32_t font, platform::javax_microedition_lcdui_Graphics* graphics,
                       rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor) = nullptr;
};

// What the overlay reads of the race: the pause button shows only while the
// race runs.
struct RaceHooks {
    bool (*raceFinished)() = nullptr;
};

// The promotion screen: its side of every pointer event, with the point
// already turned into game space, and its set-up and end.
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
};

// The registries of this process.
Seams& seams();

// Registers `handler` for `state` (a number outside the states is ignored).
void setStateHandler(State state, StateHandler handler);
// The handler of `state`, null when it has none.
StateHandler stateHandler(State state);

// The first registration the game needs that is missing, as a line naming
// it ("no handler for state 12", "sound.playSound"); empty when every state
// the game enters has its handler and every member above is filled.
std::string missingRegistration();

} // namespace game
