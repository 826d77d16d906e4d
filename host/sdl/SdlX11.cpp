#include "host/sdl/SdlX11.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace host {

void makeNormalTopLevel(SDL_Window* window, const std::string& className) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    ::Display* display = info.info.x11.display;
    const ::Window x11Window = info.info.x11.window;
    XDeleteProperty(display, x11Window, XA_WM_TRANSIENT_FOR);
    std::string name = className;
    XClassHint hint{name.data(), name.data()};
    XSetClassHint(display, x11Window, &hint);
    XFlush(display);
#else
    (void)window;
    (void)className;
#endif
}

} // namespace host
