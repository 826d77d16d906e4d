#include "host/sdl/SdlX11.h"

#include "host/SharedLibrary.h"
#include "host/sdl/SdlLibrary.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace host {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

// The Xlib functions called here, from the library SDL's X11 driver has
// loaded already (so opening it costs nothing).
struct XlibFunctions {
    decltype(&::XDeleteProperty) XDeleteProperty = nullptr;
    decltype(&::XSetClassHint) XSetClassHint = nullptr;
    decltype(&::XFlush) XFlush = nullptr;
};

// Null when Xlib or one of its functions is missing.
const XlibFunctions* xlib() {
    static const XlibFunctions s_functions = [] {
        XlibFunctions functions;
        auto library = SharedLibrary::open("libX11.so.6");
        if (!library || !library.value().bind(functions.XDeleteProperty, "XDeleteProperty") ||
            !library.value().bind(functions.XSetClassHint, "XSetClassHint") ||
            !library.value().bind(functions.XFlush, "XFlush"))
            return XlibFunctions{};
        return functions;
    }();
    return s_functions.XFlush ? &s_functions : nullptr;
}

} // namespace

void makeNormalTopLevel(SDL_Window* window, const std::string& className) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !sdl().SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    const XlibFunctions* x = xlib();
    if (!x)
        return;
    ::Display* display = info.info.x11.display;
    const ::Window x11Window = info.info.x11.window;
    x->XDeleteProperty(display, x11Window, XA_WM_TRANSIENT_FOR);
    std::string name = className;
    XClassHint hint{name.data(), name.data()};
    x->XSetClassHint(display, x11Window, &hint);
    x->XFlush(display);
}

#else

void makeNormalTopLevel(SDL_Window*, const std::string&) {
}

#endif

} // namespace host
