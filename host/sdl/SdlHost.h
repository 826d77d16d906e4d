#pragma once

// The sdl host: a real window through SDL2 with keyboard and mouse (the
// stylus), a yes/no message box, the machine's clock and free-running
// threads, the browser through `xdg-open`. Made on the process's first
// thread, which becomes the window thread.
//
// When SDL cannot show a window (no display) there is no sdl host: a window
// that never shows would leave the program waiting for input that cannot
// come. SDL's drivers that show nothing ("offscreen", "dummy"), which it
// takes when no display exists, count as no display unless SDL_VIDEODRIVER
// names them. The program then says that it needs --headless. A missing audio
// device still falls back to the headless audio (SdlAudio.h).

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

// Null, with one failure line naming SDL's reason, when there is no display.
std::unique_ptr<Host> makeSdlHost(const SdlOptions& options);

} // namespace host
