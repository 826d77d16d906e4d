#pragma once

// `OrvelLib`: the game library's canvas, which `cGame` extends. It owns the
// library's half of the life cycle and the game loop: set-up (`init`), the
// start of the game thread (`start`), the thread's body (`run`), the paint
// that latches the keys, times the frame and hands it to the game
// (`paintFrame`), and the library's pause and resume.
//
// The loop runs on the game thread: each turn asks the platform for one
// synchronous repaint (which comes back into `paintFrame`), then waits out
// the frame period on the host's clock. `runFrame` is one turn without the
// wait, which tests and benchmarks call on their own thread.
//
// Its statics live in `LoopStatics` (LoopStatics.h).

#include "platform/lcdui/Canvas.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Display;
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
class javax_microedition_midlet_MIDlet;
} // namespace platform

namespace game {

class OrvelLib : public platform::javax_microedition_lcdui_Canvas, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::OrvelLib;

    // Library set-up, once: the canvas becomes current, the key maps are
    // built, the clocks start and state 1 is pushed. `inPaint` stays 1 until
    // the game thread runs.
    static void init(OrvelLib* canvas, platform::javax_microedition_midlet_MIDlet* midlet,
                     platform::javax_microedition_lcdui_Display* display);
    // Starts the loop (its thread unless the configuration says the caller
    // drives it); does nothing while the loop runs.
    static void start(OrvelLib* canvas);
    // Makes `displayable` current when there is a display.
    static void setCurrent(platform::javax_microedition_lcdui_Displayable* displayable);
    // The library's resume and pause, each only from the other state.
    static void libraryShowNotify(OrvelLib* canvas);
    static void libraryHideNotify(OrvelLib* canvas);

    // The game thread's body: turns until the run state is -1, then drops
    // the loop's buffers and ends the MIDlet.
    void run() override;
    // One turn of the loop without the wait: a synchronous repaint and the
    // frame hook. False (and nothing done) when the loop is stopped or paused.
    bool runFrame();
    // The library's paint: latch, timing, the game's update on the drawing
    // target. Every way out clears the in-paint flag.
    void paintFrame(platform::javax_microedition_lcdui_Graphics* graphics);

    // The game's part, given by `cGame`.
    virtual void gameUpdate(platform::javax_microedition_lcdui_Graphics* graphics) = 0;
    virtual void gameHideNotify() = 0;
    virtual void gameShowNotify() = 0;

    void* getInterface(rt::ClassId interfaceId) override;

    // The loop's reference time, ms.
    std::int64_t m_lastTick = 0;

    RT_NO_REFERENCE_FIELDS(OrvelLib, javax_microedition_lcdui_Canvas)

protected:
    explicit OrvelLib(rt::ClassId classId)
        : javax_microedition_lcdui_Canvas(classId) {}

private:
    // One whole turn, the wait included.
    void turn();
    void cleanUp();
};

} // namespace game
