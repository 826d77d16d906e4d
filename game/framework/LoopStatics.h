#pragma once

// The statics of the game library's loop and of the game's canvas: the
// canvas, the MIDlet and display it runs on, the loop's run state and
// pause flags, frame timing and the drawing targets of a frame, and the
// game's 640 x 480 screen buffer with its orientation.
//
// Threads: the window thread runs start-up, pause, resume and destroy; the
// game thread runs the loop and the paint. The flags both read and write
// (run state, pause, in-paint, resumed) are atomics; everything else is
// written by one thread at a time (start-up before the game thread exists,
// then the game thread).

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <atomic>
#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Display;
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
class javax_microedition_midlet_MIDlet;
} // namespace platform

namespace game {

class OrvelLib;
class cGame;

using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

struct LoopStatics {
    // The canvas made by the first startApp; null before.
    cGame* s_gameInstance = nullptr;
    // The running canvas, set by OrvelLib::init.
    OrvelLib* s_canvas = nullptr;
    platform::javax_microedition_midlet_MIDlet* s_midlet = nullptr;
    platform::javax_microedition_lcdui_Display* s_display = nullptr;

    // -1 stopped or stopping, 0 running.
    std::atomic<std::int32_t> s_runState{0};
    // 1 between the library's hideNotify and showNotify.
    std::atomic<std::int8_t> s_paused{0};
    // 1 while a paint runs its frame; init leaves it 1 until the game thread starts.
    std::atomic<std::int8_t> s_inPaint{0};
    // 1 after a resume until the loop's next turn has painted.
    std::atomic<std::int8_t> s_resumedThisFrame{0};
    // 1 between the game's hideNotify and showNotify.
    std::atomic<std::int8_t> s_gamePaused{0};

    // Frame timing, in the device tick's milliseconds.
    std::int32_t s_frameTime = 0;  // target period, 1000 / frames per second
    std::int32_t s_fixedSleep = 0; // fixed sleep per turn; -1 none
    std::int64_t s_frameClock = 0;
    std::int32_t s_frameMs = 0; // last frame, 0..1000
    std::int32_t s_totalMs = 0;
    std::int32_t s_frameCount = 0;
    std::int32_t s_fpsTimes100 = 0;
    std::int64_t s_paintTime = 0;
    std::int64_t s_lastPaintTime = 0;

    // Drawing targets: the Graphics of the paint running now (null outside a
    // paint), the one the game draws with, the one the frame was given, and
    // the screen buffer's.
    Graphics* s_screenGraphics = nullptr;
    Graphics* s_graphics = nullptr;
    Graphics* s_frameGraphics = nullptr;
    Graphics* s_bufferGraphics = nullptr;
    // The library's optional back buffer (off by default).
    Image* s_backBuffer = nullptr;
    Graphics* s_backBufferGraphics = nullptr;
    std::int32_t s_backBufferActive = 0;

    // The library's screen size: the configured one, then what sizeChanged says.
    std::int32_t s_canvasWidth = 0;
    std::int32_t s_canvasHeight = 0;

    // The game's screen buffer (configured width x height), its size twice
    // over beside it, and two row buffers of one and two widths.
    Image* s_screenBuffer = nullptr;
    std::int32_t s_bufferWidth = 0;
    std::int32_t s_bufferHeight = 0;
    std::int32_t s_twiceBufferWidth = 0;
    std::int32_t s_twiceBufferHeight = 0;
    rt::IntArray* s_rowBuffer = nullptr;
    rt::IntArray* s_wideRowBuffer = nullptr;

    // The orientation property's value; 1 while the buffer is drawn turned by
    // a quarter, with the touch extents turned to match.
    rt::String* s_orientationValue = nullptr;
    std::int8_t s_rotated = 0;
    std::int32_t s_touchWidth = 0;
    std::int32_t s_touchHeight = 0;

    // The music to restart on resume, -1 none.
    std::int32_t s_pausedMusic = -1;
    // An optional number shown each frame.
    std::int8_t s_debugNumber = 0;
    std::int32_t s_watchedValue = 0;
    std::int8_t s_debugByte = 0;

    RT_REFERENCE_FIELDS(LoopStatics, rt::NoReferenceBase, s_gameInstance, s_canvas, s_midlet, s_display,
                        s_screenGraphics, s_graphics, s_frameGraphics, s_bufferGraphics, s_backBuffer,
                        s_backBufferGraphics, s_screenBuffer, s_rowBuffer, s_wideRowBuffer,
                        s_orientationValue)
};

LoopStatics& loopStatics();

} // namespace game
