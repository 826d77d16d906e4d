#include "host/sdl/SdlLibrary.h"

#include "host/SharedLibrary.h"

namespace host {

namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

Result<SdlLibrary> loadSdl() {
    auto library = SharedLibrary::open(kSdlLibrary);
    if (!library)
        return std::move(library).error();
    SdlLibrary functions;
#define HOST_SDL_BIND(name)                                                                                  \
    if (!library.value().bind(functions.name, #name))                                                        \
        return Error::withMessage(std::string(kSdlLibrary) + " lacks " + #name);
    HOST_SDL_FUNCTIONS(HOST_SDL_BIND)
#undef HOST_SDL_BIND
    return functions;
}

const Result<SdlLibrary>& loaded() {
    static const Result<SdlLibrary> s_loaded = loadSdl();
    return s_loaded;
}

} // namespace

Result<void> ensureSdl() {
    if (!loaded())
        return loaded().error();
    return {};
}

const SdlLibrary& sdl() {
    return loaded().value();
}

} // namespace host
