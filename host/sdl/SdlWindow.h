#pragma once

#include "host/Window.h"
#include "host/display/WindowView.h"
#include "host/sdl/SdlFrameHandoff.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace host {

// The program's window: shows the newest presented frame at each turn of the
// window thread, turned and scaled as its view says, and turns SDL's keyboard,
// mouse and window events into the device's. The left mouse button is the
// stylus; moves are reported only while it is down, and positions map back to
// screen pixels (a press outside the picture is ignored; a move or release
// outside it is held at the picture's edge).
//
// Focus: the window reports each change of focus once, as the pair of
// events the shell expects (Activate, then FocusGained or FocusLost),
// whether SDL reports it or the window decides it. A request to minimise
// gives the focus away at once, as the phone's shell saw it; a window
// manager may refuse the request, or there may be none, and the window then
// stays on the screen with the game paused. It comes back, with the focus,
// when it is shown, restored, focused, brought to the front, clicked or
// typed into again. The key that brings it back is not passed on; of the
// click, only the release is, which the shell drops after a focus loss.
class SdlWindow final : public Window {
public:
    SdlWindow(SdlFrameHandoff& handoff, ScreenSize screen, WindowTurn turn, int scale);
    ~SdlWindow() override;

    Result<void> open(const std::string& className, const std::string& title) override;
    bool isOpen() const override { return m_window != nullptr; }
    bool pollEvent(WindowEvent& event) override;
    void bringToFront() override;
    void minimize() override;
    bool isForeground() const override { return m_window != nullptr && m_foreground.load(); }

    SDL_Window* sdlWindow() const { return m_window; }

private:
    void showNewestFrame();
    void draw();
    void translate(const SDL_Event& event);
    bool stylusPosition(int x, int y, bool holdAtEdge, WindowEvent& event) const;
    WindowView currentView() const;
    // Reports a change of focus once: the Activate and Focus events pair.
    void reportFocus(bool focused);
    // The window is the player's again after it was sent away.
    void comeBack();

    SdlFrameHandoff& m_handoff;
    ScreenSize m_screen;
    WindowTurn m_turn;
    int m_scale;
    SDL_Window* m_window = nullptr;
    std::vector<std::uint16_t> m_frame;
    std::vector<std::uint32_t> m_picture;
    std::deque<WindowEvent> m_events;
    bool m_stylusDown = false;
    std::atomic<bool> m_foreground{true};
    bool m_focused = false;             // as last reported
    bool m_sentAway = false;            // minimised or left, and not back yet
    std::int32_t m_keyBringingBack = 0; // SDL's key whose release is not passed on
};

} // namespace host
