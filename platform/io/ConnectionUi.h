#pragma once

// What a connection shows on the device while it works: the wait animation of
// an HTTP request and the message boxes of socket failures. The shell sets
// the real one at start-up (it draws on the screen and owns the message box);
// until then, and in tests that set none, there is no animation and a message
// box becomes a log line.

#include <string>

namespace platform {

class ConnectionUi {
public:
    virtual ~ConnectionUi() = default;
    // Around one request: the dots run from `beginWait` until `endWait`.
    virtual void beginWait() {}
    virtual void endWait() {}
    // An error box with `caption` and `text` (UTF-8; the text may be empty).
    virtual void showError(const std::string& caption, const std::string& text);
};

// The one in use; never null. `setConnectionUi(nullptr)` restores the default.
// The object must outlive every connection that may use it.
ConnectionUi& connectionUi();
void setConnectionUi(ConnectionUi* ui);

} // namespace platform
