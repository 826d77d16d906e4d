#pragma once

// The dialogs service: the one question the shell asks, a yes/no box, and the
// error box of a failed connection. The sdl back-end shows message boxes; the
// headless back-end takes the next answer of its script, and records every
// question and every error box.

#include <string>

namespace host {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Asks `text` under `caption` (both UTF-8) and waits for the answer: true
    // for yes. A box that cannot be shown answers no. Window thread only.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;

    // Shows `text` under `caption` (both UTF-8; the text may be empty) with
    // an error icon and one button, and waits until it is dismissed. A box
    // that cannot be shown is logged instead. Window thread only.
    virtual void showError(const std::string& caption, const std::string& text) = 0;
};

} // namespace host
