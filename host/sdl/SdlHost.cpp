#include "host/sdl/SdlHost.h"

#include "host/Log.h"
#include "host/headless/HeadlessDialogs.h"
#include "host/headless/HeadlessScreen.h"
#include "host/headless/HeadlessWindow.h"
#include "host/sdl/SdlAudio.h"
#include "host/sdl/SdlDialogs.h"
#include "host/sdl/SdlFrameHandoff.h"
#include "host/sdl/SdlScreen.h"
#include "host/sdl/SdlWindow.h"
#include "host/system/SystemBrowser.h"
#include "host/system/SystemClock.h"
#include "host/system/SystemDevice.h"
#include "host/system/SystemInstanceLock.h"
#include "host/system/SystemThreads.h"
#include "host/text/FreeTypeText.h"

#include <SDL.h>

namespace host {

namespace {

// Owns SDL's video for as long as the services that use it.
class SdlHost final : public Host {
public:
    SdlHost(HostServices services, std::unique_ptr<SdlFrameHandoff> handoff, bool video)
        : Host(std::move(services))
        , m_handoff(std::move(handoff))
        , m_video(video) {}

    ~SdlHost() override {
        releaseServices();
        if (m_video)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }

private:
    std::unique_ptr<SdlFrameHandoff> m_handoff;
    bool m_video;
};

} // namespace

std::unique_ptr<Host> makeSdlHost(const SdlOptions& options) {
    // The program handles its own signals. The window's picture is made in
    // software anyway, so SDL shows it through the window system directly
    // rather than through an OpenGL renderer it would otherwise start.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;

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
    if (video) {
        auto window = std::make_unique<SdlWindow>(*handoff, options.screenSize, options.turn, options.scale);
        services.dialogs = std::make_unique<SdlDialogs>(*window);
        services.window = std::move(window);
        services.screen = std::make_unique<SdlScreen>(options.screenSize, *handoff);
    } else {
        logf(LogCategory::Host, "host: no display (%s); the window and the screen are headless",
             SDL_GetError());
        services.window = std::make_unique<HeadlessWindow>(*services.clock, std::vector<ScriptedEvent>{});
        HeadlessScreen::Options screen;
        screen.size = options.screenSize;
        services.screen = std::make_unique<HeadlessScreen>(std::move(screen));
        services.dialogs = std::make_unique<HeadlessDialogs>(std::vector<bool>{});
    }
    services.audio = makeSdlAudio(options.audioDriver, *services.clock, *services.threads);
    services.mediaGraphs =
        std::make_unique<SystemMediaGraphs>(*services.audio, *services.threads, options.mediaGraphs);
    return std::make_unique<SdlHost>(std::move(services), std::move(handoff), video);
}

} // namespace host
