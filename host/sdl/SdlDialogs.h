#pragma once

#include "host/Dialogs.h"

struct SDL_Window;

namespace host {

class SdlWindow;

// A yes/no message box over the window.
class SdlDialogs final : public Dialogs {
public:
    explicit SdlDialogs(SdlWindow& window)
        : m_window(window) {}

    bool askYesNo(const std::string& caption, const std::string& text) override;

private:
    SdlWindow& m_window;
};

} // namespace host
