#include "host/headless/HeadlessHost.h"

#include "host/headless/HeadlessClock.h"
#include "host/headless/HeadlessDevice.h"
#include "host/headless/HeadlessScheduler.h"
#include "host/headless/HeadlessThreads.h"
#include "host/system/SystemInstanceLock.h"
#include "host/text/FreeTypeText.h"

namespace host {

HeadlessHost::HeadlessHost(HostServices services, std::shared_ptr<HeadlessScheduler> scheduler)
    : Host(std::move(services))
    , m_scheduler(std::move(scheduler)) {
}

HeadlessHost::~HeadlessHost() {
    // Threads still alive must never run again once the services are gone.
    m_scheduler->stop();
    releaseServices();
}

std::unique_ptr<HeadlessHost> makeHeadlessHost(HeadlessOptions options) {
    auto scheduler = HeadlessScheduler::create();
    auto frames = std::make_shared<HeadlessFrames>(std::move(options.script.frames), scheduler);
    HostServices services;
    services.clock = std::make_unique<HeadlessClock>(scheduler, options.wallClockEpoch, frames);
    if (options.script.seed)
        services.clock->fixRandomSeed(*options.script.seed);
    services.threads = std::make_unique<HeadlessThreads>(scheduler);
    services.device = std::make_unique<HeadlessDevice>(options.language, options.memory, services.clock.get(),
                                                       std::move(options.script.orientations));
    services.folders = std::make_unique<SystemFolders>(options.folders);
    services.instanceLock = std::make_unique<SystemInstanceLock>(options.instanceLockFolder);
    services.browser = std::make_unique<HeadlessBrowser>();
    auto window = std::make_unique<HeadlessWindow>(*services.clock, std::move(options.script.events), frames);
    HeadlessWindow* windowPointer = window.get();
    HeadlessScreen::Options screenOptions;
    screenOptions.size = options.screenSize;
    screenOptions.frameFolder = options.frameFolder;
    screenOptions.shotFolder = options.shotFolder;
    screenOptions.shotPeriod = options.shotPeriod;
    screenOptions.shotTurn = options.shotTurn;
    screenOptions.now = [scheduler] { return scheduler->now(); };
    screenOptions.hashFrames = options.hashFrames || options.script.hashFrames;
    screenOptions.quitAfterFrames = options.quitAfterFrames;
    screenOptions.onQuit = [windowPointer] { windowPointer->postQuit(); };
    // The screen is made after its options; the driver reaches it through this slot.
    auto presentedScreen = std::make_shared<HeadlessScreen*>(nullptr);
    if (frames->active() || options.afterPresent)
        screenOptions.onPresented = [frames, windowPointer, scheduler, presentedScreen,
                                     afterPresent = std::move(options.afterPresent)] {
            if (frames->active())
                frames->presented();
            if (afterPresent)
                for (const WindowEvent& event : afterPresent((*presentedScreen)->pixels(), scheduler->now()))
                    windowPointer->post(event);
        };
    auto screen = std::make_unique<HeadlessScreen>(std::move(screenOptions));
    *presentedScreen = screen.get();
    services.screen = std::move(screen);
    services.window = std::move(window);
    services.dialogs = std::make_unique<HeadlessDialogs>(std::move(options.script.answers));
    services.text = std::make_unique<FreeTypeText>();
    services.audio = std::make_unique<HeadlessAudio>(*services.clock, *services.threads, options.audio);
    services.mediaGraphs = std::make_unique<SystemMediaGraphs>(*services.audio, *services.threads,
                                                               std::move(options.mediaGraphs));

    auto host = std::make_unique<HeadlessHost>(std::move(services), std::move(scheduler));
    for (DisplayFault fault : options.script.faults)
        host->displayFaults().set(fault);
    return host;
}

} // namespace host
