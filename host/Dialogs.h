#pragma once

// The dialogs service: the one question the shell asks, a yes/no box. The sdl
// back-end shows a message box; the headless back-end takes the next answer
// of its script and records the question.

#include <string>

namespace host {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Asks `text` under `caption` (both UTF-8) and waits for the answer: true
    // for yes. A box that cannot be shown answers no. Window thread only.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
};

} // namespace host
