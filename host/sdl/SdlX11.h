#pragma once

// What the sdl host sets on its window through the X window system itself,
// where SDL does not: apart so that X's names stay out of the other files.

#include <string>

struct SDL_Window;

namespace host {

// On X11, makes `window` a normal top-level window that task bars list: no
// WM_TRANSIENT_FOR (SDL sets it to the root window), and `className` as its
// WM_CLASS. Elsewhere (Wayland, drivers without windows) does nothing.
void makeNormalTopLevel(SDL_Window* window, const std::string& className);

} // namespace host
