#pragma once

// `Application`: the native host of the MIDlet. It makes the runtime (heaps,
// collector, statics, the thread table with the first thread in slot 0),
// runs the static initialisation, holds the screen Image and its Graphics,
// makes and starts the MIDlet, paints the current Displayable, pauses and
// resumes the MIDlet and closes everything at the end.
//
// The MIDlet, the current Displayable, the screen Image and the screen
// Graphics are roots of the collector for as long as the Application holds
// them.
//
// Threads: `paint` runs on the game thread; everything else on the first
// thread. Key and stylus events reach the Displayable while a frame may be
// painting: no lock is taken between the two.

#include "platform/app/StartupHooks.h"
#include "runtime/ObjectManager.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace rt {
class Runtime;
}

namespace platform {

class ApplicationImpl;
class ConnectionUi;
class javax_microedition_lcdui_Displayable;
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
class javax_microedition_midlet_MIDlet;

class Application {
public:
    explicit Application(ApplicationImpl& impl);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Makes the runtime on the calling (first) thread, installs the class
    // library, hands the platform its host services (PlatformServices.h),
    // then runs the static initialisation. Answers what that answered.
    StartupResult init(StartupHooks& hooks);
    // Keeps `screen` and makes the screen Graphics on it.
    void createScreenGraphics(javax_microedition_lcdui_Image* screen);
    // Makes the MIDlet and calls its startApp. False when there is none.
    bool startApp(StartupHooks& hooks);

    // Game thread: resets the screen Graphics (no translation, the whole
    // screen as clip, white), paints the current Displayable with it and asks
    // for an ordinary collection. Without a Displayable only the clip is reset.
    void paint();

    // The MIDlet's pauseApp and the Displayable's hideNotify, when both
    // exist (false otherwise); what the window does when it loses the focus.
    bool pauseAndHide();
    // The MIDlet's startApp and the Displayable's showNotify, when both exist.
    bool startAndShow();
    // `pauseAndHide` once, leaving the Application paused; `resume` undoes it
    // with `startAndShow`. Focus changes leave the paused state alone.
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }

    // To the current Displayable, if any.
    void keyPressed(std::int32_t keyCode);
    void keyReleased(std::int32_t keyCode);

    // The MIDlet's destroyApp(true), once. The other threads still run: the
    // MIDlet ends its own threads when it is destroyed.
    void destroyMidlet();
    // Lets the other runtime threads end by themselves for a while, then
    // holds for good those that have not; from then on only the calling
    // thread runs guest code.
    void stopOtherThreads();
    // Destroys the MIDlet if that has not happened, forgets the roots, takes
    // the platform's host services back, frees every object and both heaps.
    // When threads had to be held, their stacks may still point into the
    // heaps: the runtime is then kept until the process ends.
    void close();

    javax_microedition_midlet_MIDlet* midlet() const;
    javax_microedition_lcdui_Displayable* currentDisplayable() const;
    void setCurrentDisplayable(javax_microedition_lcdui_Displayable* displayable);
    javax_microedition_lcdui_Image* screenImage() const;
    javax_microedition_lcdui_Graphics* screenGraphics() const;
    rt::Runtime* runtime() const { return m_runtime.get(); }

private:
    struct Roots {
        explicit Roots(rt::ObjectManager& manager)
            : midlet(manager)
            , currentDisplayable(manager)
            , screenImage(manager)
            , screenGraphics(manager) {}
        rt::Handle<javax_microedition_midlet_MIDlet> midlet;
        rt::Handle<javax_microedition_lcdui_Displayable> currentDisplayable;
        rt::Handle<javax_microedition_lcdui_Image> screenImage;
        rt::Handle<javax_microedition_lcdui_Graphics> screenGraphics;
    };

    ApplicationImpl& m_impl;
    std::unique_ptr<rt::Runtime> m_runtime;
    // Made with the runtime and gone before it.
    std::unique_ptr<Roots> m_roots;
    // What connections show while the runtime stands (the shell's).
    ConnectionUi* m_connectionScreen = nullptr;
    // Cleared by every paint; nothing sets it.
    std::atomic<bool> m_collectAfterPaint{false};
    std::atomic<bool> m_paused{false};
    bool m_midletDestroyed = false;
    bool m_threadsHeld = false;
};

} // namespace platform
