#include "host/sdl/SdlDialogs.h"

#include "host/Log.h"
#include "host/sdl/SdlLibrary.h"
#include "host/sdl/SdlWindow.h"

namespace host {

bool SdlDialogs::askYesNo(const std::string& caption, const std::string& text) {
    enum : int { No = 0, Yes = 1 };
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, No, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, Yes, "Yes"},
    };
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.window = m_window.sdlWindow();
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = 2;
    box.buttons = buttons;
    int pressed = No;
    if (sdl().SDL_ShowMessageBox(&box, &pressed) != 0) {
        logf(LogCategory::Host, "host: the question cannot be shown: %s", sdl().SDL_GetError());
        return false;
    }
    return pressed == Yes;
}

void SdlDialogs::showError(const std::string& caption, const std::string& text) {
    if (sdl().SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(),
                                       m_window.sdlWindow()) != 0) {
        logf(LogCategory::Host, "host: the error box cannot be shown: %s: %s (%s)", caption.c_str(),
             text.c_str(), sdl().SDL_GetError());
    }
}

} // namespace host
