#pragma once

// The promotion screen: game state 46 and the screen's own state machine
// (loading, browsing, leaving, paused, choosing a link), its worker thread
// that hands a chosen address to the browser and ends the game, the touch
// hooks and the two optional soft-key commands.
//
// Threads: everything runs on the game thread except `Ovix::run` and
// `openLink`, on the worker. They share the screen's state and the worker's
// run flag (atomics) and the chosen address (under the monitor of the
// screen's lock object); the worker takes an address once.

#include "game/promo/PromoScreenStatics.h"
#include "runtime/Object.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

// The worker thread's runnable (class 130, a Runnable).
class Ovix final : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::Ovix;

    Ovix()
        : Object(kClassId) {}

    void* getInterface(rt::ClassId interfaceId) override;
    // Polls every second for a chosen address while the screen runs this
    // worker; ends within a second after the screen stops.
    void run() override;

    RT_NO_REFERENCE_FIELDS(Ovix, Object)
};

// Game state 46.
void statePromotion(std::int32_t message);

} // namespace game

namespace game::promo {

// Milliseconds between the worker's polls, and its wait after a hand-over.
inline constexpr std::int64_t kWorkerPeriod = 1000;
inline constexpr std::int64_t kHandOverWait = 200;

// Starts a visit: input reset, `start`, the step count, the visit noted, the
// first available page.
void enter(rt::String* text, std::int32_t langIndex);
// Resets the screen and makes sure one worker runs; nothing for a language
// outside the codes.
void start(rt::String* text, std::int32_t langIndex);
// One update with `action`; answers 1 when the caller must leave the screen.
std::int32_t update(std::int32_t action);
void setPaused(bool pause);
void resetInput();
// Prepares the current page: list mode, rows, the link button, its text.
void selectPage();
// Drops the pictures; with `all` the file's table, the font, the images,
// the texts and the line widths too.
void freeResources(bool all);
// Creates the record store whose existence records the visit.
void noteVisit();
// The worker's hand-over of `address`: the browser, a short wait, browsing
// again, the game ended.
void openLink(rt::String* address);

// Ends the worker at once: it stops polling and leaves its wait. The game
// calls it when it ends, so that no worker outlives the application.
void stopWorker();

// Drops the soft-key commands (made by the loading when set up with commands).
void removeCommands();

// The touch hooks the framework calls.
void touchPressed(std::int32_t action);
void touchReleased();
void touchHovered(std::int32_t action);

} // namespace game::promo
