#include "host/Host.h"

#include "host/Verify.h"

namespace host {

Host::Host(HostServices services)
    : m_services(std::move(services)) {
    HOST_VERIFY(m_services.clock && m_services.threads && m_services.device && m_services.folders);
    HOST_VERIFY(m_services.instanceLock && m_services.browser && m_services.screen && m_services.window);
    HOST_VERIFY(m_services.dialogs && m_services.text && m_services.audio && m_services.mediaGraphs);
    m_gdi = std::make_unique<Gdi>(*m_services.screen, m_displayFaults);
    m_directDraw = std::make_unique<DirectDraw>(*m_services.screen, m_displayFaults);
}

Host::~Host() {
    releaseServices();
}

void Host::releaseServices() {
    m_directDraw.reset();
    m_gdi.reset();
    m_services.mediaGraphs.reset();
    m_services.audio.reset();
    m_services.text.reset();
    m_services.dialogs.reset();
    m_services.window.reset();
    m_services.screen.reset();
    m_services.browser.reset();
    m_services.instanceLock.reset();
    m_services.folders.reset();
    m_services.device.reset();
    m_services.threads.reset();
    m_services.clock.reset();
}

} // namespace host
