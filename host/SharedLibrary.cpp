#include "host/SharedLibrary.h"

#include <dlfcn.h>

namespace host {

Result<SharedLibrary> SharedLibrary::open(const std::string& name) {
    // Every function bound at once: a missing one shows now, not in the middle
    // of a run. Local: what the library defines stays out of the program's
    // own lookups.
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return Error::withMessage("cannot load " + name + ": " + (reason ? reason : "unknown reason"));
    }
    return SharedLibrary(handle);
}

void* SharedLibrary::symbol(const char* symbol) const {
    return dlsym(m_handle, symbol);
}

} // namespace host
