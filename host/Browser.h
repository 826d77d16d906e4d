#pragma once

// The browser service: hands a web address to the desktop's browser (sdl:
// `xdg-open`) or records it (headless).

#include "host/Result.h"

#include <string>

namespace host {

class Browser {
public:
    virtual ~Browser() = default;

    // Starts the browser on `address` (UTF-8) and returns without waiting for
    // it. Fails, with the system's error number as the code, when the browser
    // program cannot be started. Any thread.
    virtual Result<void> open(const std::string& address) = 0;
};

} // namespace host
