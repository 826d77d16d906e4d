#pragma once

// A connection to the X display of the environment, for tests that look at a
// real window from outside: find it by title, read its pixels, click in it.
// Kept apart from the tests because the X headers define macros that clash
// with other headers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class XDisplay {
public:
    // Connects to $DISPLAY; `connected` says whether that worked.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool connected() const { return m_display != nullptr; }
    // Waits until the server has handled every request so far.
    void sync();
    // The window of that title anywhere in the tree.
    std::optional<unsigned long> find(const std::string& title);
    // The window's pixels as the server holds them, 0x00RRGGBB, row by row.
    std::vector<std::uint32_t> capture(unsigned long window, int& width, int& height);
    // Moves the pointer to (x, y) in the window and presses and releases the
    // first button there, as a person would.
    void click(unsigned long window, int x, int y);
    // Presses and releases the key of X key symbol `keysym` (XK_Escape, ...).
    void pressKey(unsigned long keysym);
    // Gives the keyboard focus to the root window, away from every program.
    void focusRoot();
    // Lets the keyboard focus follow the pointer again, as the server starts.
    void focusFollowsPointer();
    // The window that `window` says it is transient for (WM_TRANSIENT_FOR), if any.
    std::optional<unsigned long> transientFor(unsigned long window);
    // The class of `window`'s WM_CLASS (its second part), empty without one.
    std::string windowClass(unsigned long window);
    // Asks the window's program to close it, as a window manager does when
    // the user closes a window: a WM_DELETE_WINDOW message. False, sending
    // nothing, when the window does not take the message (WM_PROTOCOLS does
    // not list it: a window manager would have to kill the program).
    bool askToClose(unsigned long window);

private:
    std::optional<unsigned long> find(unsigned long window, const std::string& title);

    void* m_display;
};

} // namespace testing_support
