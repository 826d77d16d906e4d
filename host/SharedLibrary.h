#pragma once

// A system library opened when a service first needs it, not when the program
// starts. Libraries the program links are all mapped and relocated before
// `main`, with every library they need in turn; a large one that only some
// runs use (the window system's, the MIDI synthesiser's) would make every
// start pay for it. A service names such a library here and binds the
// functions it calls through a table of its own.
//
// An opened library stays for the life of the process: its functions may be
// held anywhere, and a library that starts threads of its own cannot be
// safely closed. Any thread.

#include "host/Result.h"

#include <string>

namespace host {

class SharedLibrary {
public:
    // Opens the library with the system name `name` (a soname such as
    // "libSDL2-2.0.so.0"), with every library it needs; opening one that is
    // open already is cheap. Fails with the loader's reason.
    static Result<SharedLibrary> open(const std::string& name);

    // The address of the function or variable `symbol` of the library or of a
    // library it needs; null when there is none.
    void* symbol(const char* symbol) const;

    // Sets `function` to `symbol` and says whether there was one.
    template <class Function>
    bool bind(Function*& function, const char* symbol) const {
        function = reinterpret_cast<Function*>(this->symbol(symbol));
        return function != nullptr;
    }

private:
    explicit SharedLibrary(void* handle)
        : m_handle(handle) {}

    void* m_handle;
};

} // namespace host
