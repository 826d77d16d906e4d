#include "platform/shell/ConnectionScreen.h"

#include "host/Host.h"
#include "host/Log.h"
#include "platform/app/BlockingLock.h"
#include "platform/shell/screenText.h"

#include <array>

namespace platform {

namespace {

constexpr std::array<std::u16string_view, ConnectionScreen::kFrameCount> kFrames = {
    u"    . . . . . . .    ", u"          .          ", u"        . . .        ",
    u"      . . . . .      ", u"    . . . . . . .    ",
};
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

} // namespace

ConnectionScreen::ConnectionScreen(host::Host& host, host::Mutex& screenLock, ErrorBox errorBox)
    : m_host(host)
    , m_screenLock(screenLock)
    , m_errorBox(std::move(errorBox))
    , m_lock(host.threads().createMutex())
    , m_stop(host.threads().createEvent()) {
}

ConnectionScreen::~ConnectionScreen() {
    BlockingLock lock(*m_lock);
    stopAnimation();
}

std::u16string_view ConnectionScreen::frameText(int frame) {
    return kFrames[static_cast<std::size_t>(frame) % kFrames.size()];
}

std::uint32_t ConnectionScreen::frameColour(int frame) {
    return frame % kFrameCount == 0 ? kWhite : kRed;
}

void ConnectionScreen::beginWait() {
    BlockingLock lock(*m_lock);
    if (m_waits++ > 0)
        return;
    m_running = true;
    auto thread = m_host.threads().create([this] { animate(); });
    if (!thread.ok()) {
        // The request runs all the same, only without the dots.
        host::logf(host::LogCategory::Platform, "connection: no thread for the wait animation: %s",
                   thread.error().message.c_str());
        m_running = false;
        return;
    }
    m_thread = std::move(thread).value();
    m_thread->resume();
}

void ConnectionScreen::endWait() {
    BlockingLock lock(*m_lock);
    if (m_waits == 0 || --m_waits > 0)
        return;
    stopAnimation();
}

void ConnectionScreen::stopAnimation() {
    m_running = false;
    if (!m_thread)
        return;
    m_stop->set();
    m_thread->join();
    m_thread.reset();
    // A stop the thread never waited for must not end the next animation early.
    m_stop->wait(0);
}

void ConnectionScreen::animate() {
    for (int step = 0; m_running; ++step) {
        drawFrame(step % kFrameCount);
        if (m_stop->wait(kStepMs))
            return;
    }
}

void ConnectionScreen::drawFrame(int frame) {
    BlockingLock lock(m_screenLock);
    host::Screen& screen = m_host.screen();
    drawTextOver(m_host.text(), frameText(frame), frameColour(frame), screen.pixels(), screen.size(), kLeft,
                 kTop);
    screen.present();
}

void ConnectionScreen::showError(const std::string& caption, const std::string& text) {
    if (!m_errorBox || !m_errorBox(caption, text))
        ConnectionUi::showError(caption, text);
}

} // namespace platform
