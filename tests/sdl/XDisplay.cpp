#include "tests/sdl/XDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace testing_support {

namespace {

Display* asDisplay(void* display) {
    return static_cast<Display*>(display);
}

} // namespace

XDisplay::XDisplay()
    : m_display(std::getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr) {
}

XDisplay::~XDisplay() {
    if (m_display)
        XCloseDisplay(asDisplay(m_display));
}

void XDisplay::sync() {
    XSync(asDisplay(m_display), False);
}

std::optional<unsigned long> XDisplay::find(const std::string& title) {
    return find(DefaultRootWindow(asDisplay(m_display)), title);
}

std::optional<unsigned long> XDisplay::find(unsigned long window, const std::string& title) {
    Display* display = asDisplay(m_display);
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        bool match = title == name;
        XFree(name);
        if (match)
            return window;
    }
    Window root;
    Window parent;
    Window* children = nullptr;
    unsigned count = 0;
    std::optional<unsigned long> found;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            found = find(children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

std::vector<std::uint32_t> XDisplay::capture(unsigned long window, int& width, int& height) {
    Display* display = asDisplay(m_display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    width = attributes.width;
    height = attributes.height;
    std::vector<std::uint32_t> pixels;
    if (attributes.map_state != IsViewable)
        return pixels;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return pixels;
}

void XDisplay::click(unsigned long window, int x, int y) {
    Display* display = asDisplay(m_display);
    int rootX = 0;
    int rootY = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
}

void XDisplay::pressKey(unsigned long keysym) {
    Display* display = asDisplay(m_display);
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XFlush(display);
}

void XDisplay::focusRoot() {
    Display* display = asDisplay(m_display);
    XSetInputFocus(display, DefaultRootWindow(display), RevertToPointerRoot, CurrentTime);
    XFlush(display);
}

void XDisplay::focusFollowsPointer() {
    Display* display = asDisplay(m_display);
    XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
    XFlush(display);
}

std::optional<unsigned long> XDisplay::transientFor(unsigned long window) {
    Window owner = 0;
    if (!XGetTransientForHint(asDisplay(m_display), window, &owner))
        return std::nullopt;
    return owner;
}

std::string XDisplay::windowClass(unsigned long window) {
    XClassHint hint{};
    if (!XGetClassHint(asDisplay(m_display), window, &hint))
        return {};
    std::string name = hint.res_class ? hint.res_class : "";
    XFree(hint.res_name);
    XFree(hint.res_class);
    return name;
}

bool XDisplay::askToClose(unsigned long window) {
    Display* display = asDisplay(m_display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* taken = nullptr;
    int count = 0;
    bool takesIt = false;
    if (XGetWMProtocols(display, window, &taken, &count)) {
        for (int i = 0; i < count; ++i)
            takesIt = takesIt || taken[i] == deleteWindow;
        XFree(taken);
    }
    if (!takesIt)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return true;
}

} // namespace testing_support
