#include "host/sdl/SdlWindow.h"

#include "host/Log.h"
#include "host/sdl/SdlLibrary.h"
#include "host/sdl/SdlX11.h"

#include <algorithm>

namespace host {

namespace {

// The device's virtual-key code for an SDL key, or 0 for keys it does not have.
std::int32_t virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return vk::F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return vk::Return;
    case SDLK_ESCAPE:
        return vk::Escape;
    case SDLK_HOME:
        return vk::Home;
    case SDLK_LEFT:
        return vk::Left;
    case SDLK_UP:
        return vk::Up;
    case SDLK_RIGHT:
        return vk::Right;
    case SDLK_DOWN:
        return vk::Down;
    case SDLK_BACKSPACE:
        return vk::Back;
    case SDLK_TAB:
        return vk::Tab;
    case SDLK_SPACE:
        return vk::Space;
    case SDLK_LGUI:
        return vk::LeftWindows;
    case SDLK_RGUI:
        return vk::RightWindows;
    default:
        return 0;
    }
}

WindowEvent simpleEvent(WindowEventType type) {
    WindowEvent event;
    event.type = type;
    return event;
}

} // namespace

SdlWindow::SdlWindow(SdlFrameHandoff& handoff, ScreenSize screen, WindowTurn turn, int scale)
    : m_handoff(handoff)
    , m_screen(screen)
    , m_turn(turn)
    , m_scale(std::max(scale, 1))
    , m_frame(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height)) {
}

SdlWindow::~SdlWindow() {
    if (m_window)
        sdl().SDL_DestroyWindow(m_window);
}

Result<void> SdlWindow::open(const std::string& className, const std::string& title) {
    if (m_window)
        return Error::withMessage("host: the window is already open");
    ScreenSize size = windowSizeFor(m_screen, m_turn, m_scale);
    m_window = sdl().SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      size.width, size.height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!m_window)
        return Error::withMessage(std::string("host: the window cannot be made: ") + sdl().SDL_GetError());
    makeNormalTopLevel(m_window, className);
    draw();
    return {};
}

WindowView SdlWindow::currentView() const {
    int width = 0;
    int height = 0;
    sdl().SDL_GetWindowSize(m_window, &width, &height);
    return {m_screen, m_turn, width, height};
}

void SdlWindow::draw() {
    SDL_Surface* surface = sdl().SDL_GetWindowSurface(m_window);
    if (!surface)
        return;
    WindowView view{m_screen, m_turn, surface->w, surface->h};
    m_picture.resize(static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h));
    renderWindow(view, m_frame.data(), m_picture.data(), surface->w);
    if (sdl().SDL_ConvertPixels(surface->w, surface->h, SDL_PIXELFORMAT_RGB888, m_picture.data(),
                                surface->w * 4, surface->format->format, surface->pixels,
                                surface->pitch) != 0) {
        logf(LogCategory::Host, "host: a frame cannot be shown: %s", sdl().SDL_GetError());
        return;
    }
    sdl().SDL_UpdateWindowSurface(m_window);
}

void SdlWindow::showNewestFrame() {
    if (m_handoff.take(m_frame))
        draw();
}

bool SdlWindow::stylusPosition(int x, int y, bool holdAtEdge, WindowEvent& event) const {
    WindowView view = currentView();
    if (holdAtEdge) {
        PictureRect picture = pictureRect(view);
        if (picture.width == 0)
            return false;
        x = std::clamp(x, picture.x, picture.x + picture.width - 1);
        y = std::clamp(y, picture.y, picture.y + picture.height - 1);
    }
    return windowToScreen(view, x, y, event.x, event.y);
}

void SdlWindow::translate(const SDL_Event& sdl) {
    switch (sdl.type) {
    case SDL_QUIT:
        m_events.push_back(simpleEvent(WindowEventType::Quit));
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (sdl.type == SDL_KEYDOWN && m_sentAway) {
            comeBack();
            m_keyBringingBack = sdl.key.keysym.sym;
            break;
        }
        if (sdl.type == SDL_KEYUP && sdl.key.keysym.sym == m_keyBringingBack) {
            m_keyBringingBack = SDLK_UNKNOWN;
            break;
        }
        if (std::int32_t key = virtualKeyOf(sdl.key.keysym.sym); key != 0) {
            WindowEvent event =
                simpleEvent(sdl.type == SDL_KEYDOWN ? WindowEventType::KeyDown : WindowEventType::KeyUp);
            event.key = key;
            m_events.push_back(event);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (m_sentAway) {
            // The press is not passed on; its release is, and the shell,
            // which saw the focus go, drops it.
            comeBack();
            m_stylusDown = sdl.button.button == SDL_BUTTON_LEFT;
            break;
        }
        if (sdl.button.button == SDL_BUTTON_LEFT && !m_stylusDown) {
            WindowEvent event = simpleEvent(WindowEventType::StylusDown);
            if (stylusPosition(sdl.button.x, sdl.button.y, false, event)) {
                m_stylusDown = true;
                m_events.push_back(event);
            }
        }
        break;
    case SDL_MOUSEMOTION:
        if (m_stylusDown) {
            WindowEvent event = simpleEvent(WindowEventType::StylusMove);
            if (stylusPosition(sdl.motion.x, sdl.motion.y, true, event))
                m_events.push_back(event);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (sdl.button.button == SDL_BUTTON_LEFT && m_stylusDown) {
            m_stylusDown = false;
            WindowEvent event = simpleEvent(WindowEventType::StylusUp);
            if (stylusPosition(sdl.button.x, sdl.button.y, true, event))
                m_events.push_back(event);
        }
        break;
    case SDL_DISPLAYEVENT:
        m_events.push_back(simpleEvent(WindowEventType::DisplaySettingsChanged));
        break;
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_sentAway = false;
            reportFocus(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_sentAway = true;
            reportFocus(false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            m_foreground = false;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            if (m_sentAway) {
                comeBack();
            } else {
                m_foreground = true;
                draw();
            }
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            draw();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

bool SdlWindow::pollEvent(WindowEvent& event) {
    if (!m_window)
        return false;
    showNewestFrame();
    SDL_Event polled;
    while (m_events.empty() && sdl().SDL_PollEvent(&polled))
        translate(polled);
    if (m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void SdlWindow::reportFocus(bool focused) {
    if (focused == m_focused)
        return;
    m_focused = focused;
    WindowEvent active = simpleEvent(WindowEventType::Activate);
    active.active = focused;
    m_events.push_back(active);
    m_events.push_back(simpleEvent(focused ? WindowEventType::FocusGained : WindowEventType::FocusLost));
}

void SdlWindow::comeBack() {
    bringToFront();
    // Without a window manager nobody else gives the window the keyboard.
    sdl().SDL_SetWindowInputFocus(m_window);
}

// The window shown in front is the player's: it has the focus from here on,
// whether or not a window manager says so.
void SdlWindow::bringToFront() {
    if (!m_window)
        return;
    sdl().SDL_RestoreWindow(m_window);
    sdl().SDL_ShowWindow(m_window);
    sdl().SDL_RaiseWindow(m_window);
    m_foreground = true;
    m_sentAway = false;
    draw();
    reportFocus(true);
}

void SdlWindow::minimize() {
    if (!m_window)
        return;
    sdl().SDL_MinimizeWindow(m_window);
    m_foreground = false;
    m_sentAway = true;
    reportFocus(false);
}

} // namespace host
