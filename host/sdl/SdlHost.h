#pragma once

// The sdl host: a real window through SDL2 with keyboard and mouse (the
// stylus), a yes/no message box, the machine's clock and free-running
// threads, the browser through `xdg-open`. Made on the process's first
// thread, which becomes the window thread.
//
// When SDL cannot show a window (no display), the window, the screen and the
// dialogs fall back to their headless siblings, with one log line; the clock
// and the threads stay real.

#include "host/Host.h"
#include "host/display/WindowView.h"
#include "host/system/SystemFolders.h"
#include "host/system/SystemMediaGraph.h"

#include <memory>
#include <string>

namespace host {

struct SdlOptions {
    WindowTurn turn = WindowTurn::Turned;
    int scale = 1; // window pixels per screen pixel at first; the window can be resized
    ScreenSize screenSize;
    FolderOptions folders;
    LanguageId language = 0;        // 0: from the user's locale
    std::string instanceLockFolder; // empty: the desktop's usual place
    std::string browserProgram = "xdg-open";
    std::string audioDriver; // empty: SDL's choice
    MediaGraphOptions mediaGraphs;
};

std::unique_ptr<Host> makeSdlHost(const SdlOptions& options);

} // namespace host
