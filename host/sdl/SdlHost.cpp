#include "host/sdl/SdlHost.h"

#include "host/Log.h"
#include "host/sdl/SdlAudio.h"
#include "host/sdl/SdlDialogs.h"
#include "host/sdl/SdlFrameHandoff.h"
#include "host/sdl/SdlLibrary.h"
#include "host/sdl/SdlScreen.h"
#include "host/sdl/SdlWindow.h"
#include "host/system/SystemBrowser.h"
#include "host/system/SystemClock.h"
#include "host/system/SystemDevice.h"
#include "host/system/SystemInstanceLock.h"
#include "host/system/SystemThreads.h"
#include "host/text/FreeTypeText.h"

#include <string>
#include <string_view>

namespace host {

namespace {

// Owns SDL's video for as long as the services that use it.
class SdlHost final : public Host {
public:
    SdlHost(HostServices services, std::unique_ptr<SdlFrameHandoff> handoff)
        : Host(std::move(services))
        , m_handoff(std::move(handoff)) {}

    ~SdlHost() override {
        releaseServices();
        sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO);
        sdl().SDL_Quit();
    }

private:
    std::unique_ptr<SdlFrameHandoff> m_handoff;
};

// SDL's video drivers that show nothing on any screen. SDL falls back on
// them when no display exists; a window there would wait for ever for a
// player who cannot see it.
bool showsNothing(const char* driver) {
    return driver &&
           (sdl().SDL_strcasecmp(driver, "offscreen") == 0 || sdl().SDL_strcasecmp(driver, "dummy") == 0);
}

// Whether SDL_VIDEODRIVER (a name or a comma-separated list) names `driver`.
bool asked(const char* driver) {
    const char* hint = sdl().SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!hint || !driver)
        return false;
    std::string_view names = hint;
    while (!names.empty()) {
        const std::size_t comma = names.find(',');
        const std::string name(names.substr(0, comma));
        if (sdl().SDL_strcasecmp(name.c_str(), driver) == 0)
            return true;
        names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
    }
    return false;
}

} // namespace

std::unique_ptr<Host> makeSdlHost(const SdlOptions& options) {
    if (auto loaded = ensureSdl(); !loaded) {
        logFailuref(LogCategory::Host, "host: no display (%s)", loaded.error().message.c_str());
        return nullptr;
    }
    // The program handles its own signals. The window's picture is made in
    // software anyway, so SDL shows it through the window system directly
    // rather than through an OpenGL renderer it would otherwise start.
    sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (sdl().SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        logFailuref(LogCategory::Host, "host: no display (%s)", sdl().SDL_GetError());
        sdl().SDL_Quit();
        return nullptr;
    }
    if (const char* driver = sdl().SDL_GetCurrentVideoDriver(); showsNothing(driver) && !asked(driver)) {
        logFailuref(LogCategory::Host,
                    "host: no display (only SDL's \"%s\" video driver, which shows nothing)", driver);
        sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO);
        sdl().SDL_Quit();
        return nullptr;
    }

    HostServices services;
    services.clock = std::make_unique<SystemClock>();
    services.threads = std::make_unique<SystemThreads>();
    services.device = std::make_unique<SystemDevice>(options.language);
    services.folders = std::make_unique<SystemFolders>(options.folders);
    std::string lockFolder =
        options.instanceLockFolder.empty() ? SystemInstanceLock::defaultFolder() : options.instanceLockFolder;
    services.instanceLock = std::make_unique<SystemInstanceLock>(lockFolder);
    services.browser = std::make_unique<SystemBrowser>(options.browserProgram);
    // The same font as headless runs, so text is drawn alike everywhere.
    services.text = std::make_unique<FreeTypeText>();

    auto handoff = std::make_unique<SdlFrameHandoff>();
    auto window = std::make_unique<SdlWindow>(*handoff, options.screenSize, options.turn, options.scale);
    services.dialogs = std::make_unique<SdlDialogs>(*window);
    services.window = std::move(window);
    services.screen = std::make_unique<SdlScreen>(options.screenSize, *handoff);
    services.audio = makeSdlAudio(options.audioDriver, *services.clock, *services.threads);
    services.mediaGraphs =
        std::make_unique<SystemMediaGraphs>(*services.audio, *services.threads, options.mediaGraphs);
    return std::make_unique<SdlHost>(std::move(services), std::move(handoff));
}

} // namespace host
