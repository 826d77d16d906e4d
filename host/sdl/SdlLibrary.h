#pragma once

// SDL, loaded when the sdl back-end starts (host/SharedLibrary.h) rather than
// with the program: with the window system's and the sound servers' libraries
// it needs, it is most of what a program linking it maps before `main`, and a
// headless run never calls it. Every SDL function the back-end calls is
// bound here and reached through `sdl()`, under its own name.
//
// Any thread.

#include "host/Result.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace host {

#define HOST_SDL_FUNCTIONS(X)                                                                                \
    X(SDL_GetError)                                                                                          \
    X(SDL_GetHint)                                                                                           \
    X(SDL_SetHint)                                                                                           \
    X(SDL_InitSubSystem)                                                                                     \
    X(SDL_QuitSubSystem)                                                                                     \
    X(SDL_Quit)                                                                                              \
    X(SDL_GetCurrentVideoDriver)                                                                             \
    X(SDL_strcasecmp)                                                                                        \
    X(SDL_CreateWindow)                                                                                      \
    X(SDL_DestroyWindow)                                                                                     \
    X(SDL_GetWindowSize)                                                                                     \
    X(SDL_GetWindowSurface)                                                                                  \
    X(SDL_UpdateWindowSurface)                                                                               \
    X(SDL_ConvertPixels)                                                                                     \
    X(SDL_PollEvent)                                                                                         \
    X(SDL_SetWindowInputFocus)                                                                               \
    X(SDL_RestoreWindow)                                                                                     \
    X(SDL_ShowWindow)                                                                                        \
    X(SDL_RaiseWindow)                                                                                       \
    X(SDL_MinimizeWindow)                                                                                    \
    X(SDL_GetWindowWMInfo)                                                                                   \
    X(SDL_ShowMessageBox)                                                                                    \
    X(SDL_ShowSimpleMessageBox)                                                                              \
    X(SDL_OpenAudioDevice)                                                                                   \
    X(SDL_PauseAudioDevice)                                                                                  \
    X(SDL_CloseAudioDevice)

struct SdlLibrary {
#define HOST_SDL_MEMBER(name) decltype(&::name) name = nullptr;
    HOST_SDL_FUNCTIONS(HOST_SDL_MEMBER)
#undef HOST_SDL_MEMBER
};

// Loads SDL once for the process and binds its functions; fails, each time
// asked, with the loader's reason when SDL or one of its functions is missing.
Result<void> ensureSdl();

// SDL's functions; only after `ensureSdl` succeeded.
const SdlLibrary& sdl();

} // namespace host
