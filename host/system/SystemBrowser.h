#pragma once

#include "host/Browser.h"

namespace host {

// Hands addresses to a program of the desktop, `xdg-open` unless told
// otherwise, run with the address as its one argument.
class SystemBrowser final : public Browser {
public:
    explicit SystemBrowser(std::string program = "xdg-open")
        : m_program(std::move(program)) {}

    Result<void> open(const std::string& address) override;

private:
    std::string m_program;
};

} // namespace host
