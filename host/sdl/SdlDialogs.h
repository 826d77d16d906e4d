#pragma once

#include "host/Dialogs.h"

struct SDL_Window;

namespace host {

class SdlWindow;

// Message boxes over the window: the yes/no question and the error box.
class SdlDialogs final : public Dialogs {
public:
    explicit SdlDialogs(SdlWindow& window)
        : m_window(window) {}

    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showError(const std::string& caption, const std::string& text) override;

private:
    SdlWindow& m_window;
};

} // namespace host
