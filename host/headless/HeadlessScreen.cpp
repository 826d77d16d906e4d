#include "host/headless/HeadlessScreen.h"

#include "host/Log.h"
#include "host/png/PngWriter.h"

#include <cstdio>

namespace host {

std::uint64_t hashFrame(std::span<const std::uint16_t> pixels) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::uint16_t pixel : pixels) {
        hash = (hash ^ (pixel & 0xFFu)) * 0x100000001b3ull;
        hash = (hash ^ (pixel >> 8)) * 0x100000001b3ull;
    }
    return hash;
}

HeadlessScreen::HeadlessScreen(Options options)
    : m_options(std::move(options))
    , m_pixels(static_cast<std::size_t>(m_options.size.width) *
               static_cast<std::size_t>(m_options.size.height)) {
}

void HeadlessScreen::present() {
    std::uint32_t count;
    {
        std::lock_guard guard(m_lock);
        m_lastFrame = m_pixels;
        m_hashes.push_back(hashFrame(m_lastFrame));
        count = static_cast<std::uint32_t>(m_hashes.size());
        if (!m_options.frameFolder.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06u.png", count);
            std::string path = m_options.frameFolder + "/" + name;
            auto written = writePng(path, m_lastFrame, m_options.size.width, m_options.size.height);
            if (!written)
                logf(LogCategory::Host, "host: %s", written.error().message.c_str());
        }
    }
    if (count == m_options.quitAfterFrames && m_options.onQuit)
        m_options.onQuit();
}

std::uint32_t HeadlessScreen::frameCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<std::uint32_t>(m_hashes.size());
}

std::vector<std::uint64_t> HeadlessScreen::frameHashes() const {
    std::lock_guard guard(m_lock);
    return m_hashes;
}

std::vector<std::uint16_t> HeadlessScreen::lastFrame() const {
    std::lock_guard guard(m_lock);
    return m_lastFrame;
}

Result<void> HeadlessScreen::writeLastFrame(const std::string& path) const {
    std::lock_guard guard(m_lock);
    if (m_hashes.empty())
        return Error::withMessage("host: no frame was presented");
    return writePng(path, m_lastFrame, m_options.size.width, m_options.size.height);
}

} // namespace host
