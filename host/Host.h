#pragma once

// The host: our stand-in for the device's operating system, one object that
// owns a service per need of the platform. Two factories alone choose the
// services and fix the order in which they are built and torn down:
//
//   makeHeadlessHost(options)  host/headless/HeadlessHost.h: virtual clock,
//                              scripted input, hashed frames; what tests use.
//   makeSdlHost(options)       host/sdl/SdlHost.h: a real window through SDL;
//                              what the program uses when a display is there.
//
// Platform code receives a `Host&`; there is no global host.

#include "host/Audio.h"
#include "host/Browser.h"
#include "host/Clock.h"
#include "host/Device.h"
#include "host/Dialogs.h"
#include "host/Folders.h"
#include "host/InstanceLock.h"
#include "host/MediaGraph.h"
#include "host/Screen.h"
#include "host/Text.h"
#include "host/Threads.h"
#include "host/Window.h"
#include "host/display/DirectDraw.h"
#include "host/display/DisplayFaults.h"
#include "host/display/Gdi.h"

#include <memory>

namespace host {

// The services a factory has chosen; every one is present.
struct HostServices {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Threads> threads;
    std::unique_ptr<Device> device;
    std::unique_ptr<Folders> folders;
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<Browser> browser;
    std::unique_ptr<Screen> screen;
    std::unique_ptr<Window> window;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Text> text;
    std::unique_ptr<Audio> audio;
    std::unique_ptr<MediaGraphs> mediaGraphs; // plays through `audio`
};

class Host {
public:
    explicit Host(HostServices services);
    virtual ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Clock& clock() { return *m_services.clock; }
    Threads& threads() { return *m_services.threads; }
    Device& device() { return *m_services.device; }
    Folders& folders() { return *m_services.folders; }
    InstanceLock& instanceLock() { return *m_services.instanceLock; }
    Browser& browser() { return *m_services.browser; }
    Screen& screen() { return *m_services.screen; }
    Window& window() { return *m_services.window; }
    Dialogs& dialogs() { return *m_services.dialogs; }
    Text& text() { return *m_services.text; }
    Audio& audio() { return *m_services.audio; }
    MediaGraphs& mediaGraphs() { return *m_services.mediaGraphs; }

    // The display stand-ins over the screen, and the switches that make their
    // steps fail.
    DisplayFaults& displayFaults() { return m_displayFaults; }
    Gdi& gdi() { return *m_gdi; }
    DirectDraw& directDraw() { return *m_directDraw; }

protected:
    // Releases the services, the last built first. A subclass that must stop
    // something before its services go calls it from its own destructor.
    void releaseServices();

private:
    HostServices m_services;
    DisplayFaults m_displayFaults;
    std::unique_ptr<Gdi> m_gdi;
    std::unique_ptr<DirectDraw> m_directDraw;
};

} // namespace host
