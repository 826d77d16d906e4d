#pragma once

// A MIDlet and a canvas for platform tests and benchmarks, standing for the
// game's. What they are asked to do goes into a `MidletRecord` that the test
// owns and reads after the run (the guest objects are gone by then).
//
// The MIDlet's first startApp makes the canvas, makes it current and, unless
// told otherwise, starts a game thread that paints a frame every 40 ms until
// the canvas receives the key 'Q' (released), then calls notifyDestroyed.
// Frame k is the whole screen in `frameColour(k)`.

#include "platform/app/ApplicationImpl.h"
#include "platform/app/StartupHooks.h"
#include "platform/lcdui/Canvas.h"
#include "platform/lcdui/Display.h"
#include "platform/lcdui/Graphics.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"
#include "tests/support/ConstantStrings.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

class TestCanvas;
class TestMidlet;

struct MidletRecord {
    // Every life-cycle and input call, in order: "startApp", "keyPressed -6",
    // "pointerPressed 240 320", ...
    std::vector<std::string> calls() const {
        std::lock_guard guard(m_lock);
        return m_calls;
    }
    void add(std::string call) {
        std::lock_guard guard(m_lock);
        m_calls.push_back(std::move(call));
    }
    int count(const std::string& call) const {
        std::lock_guard guard(m_lock);
        return static_cast<int>(std::count(m_calls.begin(), m_calls.end(), call));
    }

    bool startGameThread = true;
    // The canvas's paint fills the screen with `frameColour(k)` first; when
    // off, a paint draws nothing of its own.
    bool fillFrames = true;
    // Runs on the first thread at the end of the first startApp.
    std::function<void(TestMidlet&)> onStart;
    // Runs on the window thread for each key released, after it is recorded.
    std::function<void(TestMidlet&, std::int32_t)> onKeyReleased;
    // Runs on the game thread after each `serviceRepaints`.
    std::function<void(TestMidlet&)> afterFrame;
    // Runs in the canvas's paint after the frame's fill.
    std::function<void(platform::javax_microedition_lcdui_Graphics*, int frame)> onPaint;
    // Runs in destroyApp (on the first thread, at shutdown).
    std::function<void(TestMidlet&)> onDestroy;

    std::atomic<int> painted{0};
    std::vector<std::uint32_t> paintTimes; // game thread only
    std::atomic<bool> quit{false};
    std::atomic<int> made{0};
    std::atomic<int> freed{0};

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_calls;
};

// The record of the test that runs; set by `midletHooks`.
inline MidletRecord* s_record = nullptr;

constexpr std::uint32_t frameColour(int frame) {
    constexpr std::uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                          0x00FFFF, 0xFF00FF, 0x808080};
    return kColours[frame % 7];
}

constexpr std::uint16_t rgb565(std::uint32_t colour) {
    return static_cast<std::uint16_t>(((colour >> 19) & 0x1F) << 11 | ((colour >> 10) & 0x3F) << 5 |
                                      ((colour >> 3) & 0x1F));
}

class TestCanvas final : public platform::javax_microedition_lcdui_Canvas {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::cGame;

    explicit TestCanvas(platform::javax_microedition_midlet_MIDlet* midlet)
        : javax_microedition_lcdui_Canvas(kClassId)
        , m_midlet(midlet) {
        ++s_record->made;
    }
    ~TestCanvas() override { ++s_record->freed; }

    void keyPressed(std::int32_t key) override { s_record->add("keyPressed " + std::to_string(key)); }
    void keyReleased(std::int32_t key) override;
    void pointerPressed(std::int32_t x, std::int32_t y) override { point("pointerPressed", x, y); }
    void pointerReleased(std::int32_t x, std::int32_t y) override { point("pointerReleased", x, y); }
    void pointerDragged(std::int32_t x, std::int32_t y) override { point("pointerDragged", x, y); }
    void showNotify() override { s_record->add("showNotify"); }
    void hideNotify() override { s_record->add("hideNotify"); }
    void paint(platform::javax_microedition_lcdui_Graphics* graphics) override {
        int frame = s_record->painted;
        if (s_record->fillFrames) {
            graphics->setColor(static_cast<std::int32_t>(frameColour(frame)));
            graphics->fillRect(0, 0, getWidth(), getHeight());
        }
        if (s_record->onPaint)
            s_record->onPaint(graphics, frame);
        ++s_record->painted;
        if (auto* impl = platform::ApplicationImpl::current())
            s_record->paintTimes.push_back(impl->host().clock().tickCount());
    }

    RT_REFERENCE_FIELDS(TestCanvas, javax_microedition_lcdui_Canvas, m_midlet)

private:
    void point(const char* what, std::int32_t x, std::int32_t y) {
        s_record->add(std::string(what) + " " + std::to_string(x) + " " + std::to_string(y));
    }

    // The MIDlet that made the canvas (a `TestMidlet`).
    platform::javax_microedition_midlet_MIDlet* m_midlet;
};

// Runs its own game loop as the target of its game thread, as the game's
// MIDlet does: the thread's listed target keeps it, never a C++ callable.
class TestMidlet final : public platform::javax_microedition_midlet_MIDlet, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::Zelvora;

    TestMidlet()
        : javax_microedition_midlet_MIDlet(kClassId) {
        ++s_record->made;
    }
    ~TestMidlet() override { ++s_record->freed; }

    void startApp() override {
        s_record->add("startApp");
        if (m_canvas)
            return;
        m_canvas = rt::make<TestCanvas>(this);
        platform::javax_microedition_lcdui_Display::getDisplay(this)->setCurrent(m_canvas);
        if (s_record->startGameThread)
            rt::make<rt::java_lang_Thread>(this)->start();
        if (s_record->onStart)
            s_record->onStart(*this);
    }
    void pauseApp() override { s_record->add("pauseApp"); }
    // As the game does: the game loop ends.
    void destroyApp(bool unconditional) override {
        s_record->add(unconditional ? "destroyApp true" : "destroyApp false");
        s_record->quit = true;
        if (s_record->onDestroy)
            s_record->onDestroy(*this);
    }

    TestCanvas* canvas() const { return m_canvas; }

    // The game loop, on the game thread.
    void run() override {
        while (!s_record->quit) {
            m_canvas->serviceRepaints();
            if (s_record->afterFrame)
                s_record->afterFrame(*this);
            rt::java_lang_Thread::sleep(40);
        }
        notifyDestroyed();
    }
    void* getInterface(rt::ClassId interfaceId) override {
        return interfaceId == rt::ClassId::java_lang_Runnable
                   ? static_cast<rt::java_lang_Runnable*>(this)
                   : javax_microedition_midlet_MIDlet::getInterface(interfaceId);
    }

    RT_REFERENCE_FIELDS(TestMidlet, javax_microedition_midlet_MIDlet, m_canvas)

private:
    TestCanvas* m_canvas = nullptr;
};

inline void TestCanvas::keyReleased(std::int32_t key) {
    s_record->add("keyReleased " + std::to_string(key));
    if (key == 'Q')
        s_record->quit = true;
    if (s_record->onKeyReleased)
        s_record->onKeyReleased(static_cast<TestMidlet&>(*m_midlet), key);
}

// Start-up hooks that run the test MIDlet with `record`; the statics step
// installs the constant string of the default exception message.
inline platform::StartupHooks midletHooks(MidletRecord& record) {
    s_record = &record;
    platform::StartupHooks hooks;
    hooks.initializeStatics = [] {
        installConstantStrings({{rt::constants::kDefaultMessage, "exception"}});
        return platform::StartupResult::ready();
    };
    hooks.makeMidlet = []() -> platform::javax_microedition_midlet_MIDlet* { return rt::make<TestMidlet>(); };
    return hooks;
}

} // namespace testing_support
