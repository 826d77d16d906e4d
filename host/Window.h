#pragma once

// The window service: the program's one window and the events its window
// procedure handles. Events come from a real window's keyboard and mouse (sdl)
// or from a timed script (headless). Keys carry the device's virtual-key
// codes; stylus positions are in screen coordinates (pixels of `Screen`).

#include "host/Result.h"

#include <cstdint>
#include <string>

namespace host {

// The virtual-key codes the window can report besides the letters 'A'..'Z'
// and the digits '0'..'9', which are their character codes.
namespace vk {
inline constexpr std::int32_t Back = 8;
inline constexpr std::int32_t Tab = 9;
inline constexpr std::int32_t Return = 13;
inline constexpr std::int32_t Escape = 27;
inline constexpr std::int32_t Space = 32;
inline constexpr std::int32_t Home = 36;
inline constexpr std::int32_t Left = 37;
inline constexpr std::int32_t Up = 38;
inline constexpr std::int32_t Right = 39;
inline constexpr std::int32_t Down = 40;
inline constexpr std::int32_t LeftWindows = 91;
inline constexpr std::int32_t RightWindows = 92;
inline constexpr std::int32_t F1 = 112; // F2..F12 follow in order
inline constexpr std::int32_t F12 = 123;
inline constexpr std::int32_t ProcessKey = 229;
} // namespace vk

enum class PowerTransition : std::uint8_t {
    On,
    Idle,
    Suspend,
    Unattended,
};

enum class WindowEventType : std::uint8_t {
    Activate, // `active` says whether the window became active
    FocusGained,
    FocusLost,
    KeyDown,    // `key`
    KeyUp,      // `key`
    StylusDown, // `x`, `y`
    StylusMove, // `x`, `y`; only while the stylus is down
    StylusUp,   // `x`, `y`
    DisplaySettingsChanged,
    Power, // `power`
    Quit,
};

struct WindowEvent {
    WindowEventType type = WindowEventType::Quit;
    bool active = false;
    std::int32_t key = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    PowerTransition power = PowerTransition::On;

    bool operator==(const WindowEvent&) const = default;
};

class Window {
public:
    virtual ~Window() = default;

    // Makes the window, once; `className` and `title` name it. Window thread
    // only (the thread that made the host).
    virtual Result<void> open(const std::string& className, const std::string& title) = 0;
    virtual bool isOpen() const = 0;

    // The next pending event, if any, without waiting. Window thread only; each
    // call is also the window thread's turn to show a presented frame.
    virtual bool pollEvent(WindowEvent& event) = 0;

    // Brings the window to the front and shows it. Window thread only.
    virtual void bringToFront() = 0;
    // Minimises the window; it is no longer in the foreground. Window thread only.
    virtual void minimize() = 0;
    // Whether the window is shown in the foreground (open, not minimised, not
    // left for another program). Any thread.
    virtual bool isForeground() const = 0;
};

} // namespace host
