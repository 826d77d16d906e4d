#include "host/headless/HeadlessScreen.h"

#include "host/Arena.h"
#include "host/Log.h"
#include "host/Verify.h"
#include "host/png/PngWriter.h"

#include <xxhash.h>
#if defined(__x86_64__)
#include <xxh_x86dispatch.h>
#endif

#include <algorithm>
#include <bit>
#include <cstdio>

namespace host {

namespace {

// Hashes more bytes into `state`. On x86-64 the library picks the widest
// vector unit of the machine at run time (the plain entry is built for the
// oldest); the value is the same either way.
void updateHash(XXH3_state_t* state, const void* bytes, std::size_t count) {
#if defined(__x86_64__)
    XXH3_64bits_update_dispatch(state, bytes, count);
#else
    XXH3_64bits_update(state, bytes, count);
#endif
}

} // namespace

std::uint64_t hashFrame(std::span<const std::uint16_t> pixels) {
    if constexpr (std::endian::native == std::endian::little) {
        return XXH3_64bits(pixels.data(), pixels.size_bytes());
    } else {
        // The hash is defined on little-endian bytes: a big-endian machine
        // swaps each pixel first, so it gives the same hash.
        std::vector<std::uint16_t> swapped(pixels.begin(), pixels.end());
        for (std::uint16_t& pixel : swapped)
            pixel = static_cast<std::uint16_t>(pixel << 8 | pixel >> 8);
        return XXH3_64bits(swapped.data(), swapped.size() * sizeof(std::uint16_t));
    }
}

HeadlessScreen::HeadlessScreen(Options options)
    : m_options(std::move(options))
    // Both written whole by the first frame: committed now, in one step each.
    , m_pixels(committedBuffer<std::uint16_t>(static_cast<std::size_t>(m_options.size.width) *
                                              static_cast<std::size_t>(m_options.size.height)))
    , m_lastFrame(committedBuffer<std::uint16_t>(m_pixels.size())) {
    if (m_options.hashFrames) {
        m_hashState.reset(XXH3_createState());
        HOST_VERIFY_MSG(m_hashState, "no memory for the frame hash");
    }
}

void HeadlessScreen::HashStateDeleter::operator()(XXH3_state_s* state) const {
    XXH3_freeState(state);
}

std::uint64_t HeadlessScreen::copyAndHashFrame() {
    if constexpr (std::endian::native == std::endian::little) {
        // Each piece is hashed right after it is copied, while it is still in
        // the nearest cache: the frame is read from memory once. Hashing in
        // pieces gives the same value as hashing the whole.
        constexpr std::size_t kPiece = 4096;
        XXH3_64bits_reset(m_hashState.get());
        for (std::size_t at = 0; at < m_pixels.size(); at += kPiece) {
            std::size_t count = std::min(kPiece, m_pixels.size() - at);
            std::copy_n(m_pixels.data() + at, count, m_lastFrame.data() + at);
            updateHash(m_hashState.get(), m_lastFrame.data() + at, count * sizeof(std::uint16_t));
        }
        return XXH3_64bits_digest(m_hashState.get());
    } else {
        std::copy(m_pixels.begin(), m_pixels.end(), m_lastFrame.begin());
        return hashFrame(m_lastFrame);
    }
}

void HeadlessScreen::present() {
    notifyPresented(m_pixels);
    std::uint32_t count;
    {
        std::lock_guard guard(m_lock);
        // The one copy of the frame, into storage made once; the hash and the
        // PNG are made from it.
        if (m_options.hashFrames)
            m_hashes.push_back(copyAndHashFrame());
        else
            std::copy(m_pixels.begin(), m_pixels.end(), m_lastFrame.begin());
        count = ++m_frameCount;
        if (!m_options.frameFolder.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06u.png", count);
            std::string path = m_options.frameFolder + "/" + name;
            auto written = writePng(path, m_lastFrame, m_options.size.width, m_options.size.height);
            if (!written)
                logf(LogCategory::Host, "host: %s", written.error().message.c_str());
        }
        writeShotIfDue();
    }
    if (m_options.onPresented)
        m_options.onPresented();
    if (count == m_options.quitAfterFrames && m_options.onQuit)
        m_options.onQuit();
}

void HeadlessScreen::writeShotIfDue() {
    if (m_options.shotFolder.empty() || m_options.shotPeriod == 0 || !m_options.now)
        return;
    std::uint64_t now = m_options.now();
    if (now < m_nextShot)
        return;
    std::uint64_t reached = now - now % m_options.shotPeriod;
    m_nextShot = reached + m_options.shotPeriod;
    char name[40];
    std::snprintf(name, sizeof name, "shot-%07llu.png", static_cast<unsigned long long>(reached));
    const ScreenSize shape = windowSizeFor(m_options.size, m_options.shotTurn, 1);
    auto written =
        writePng(m_options.shotFolder + "/" + name,
                 turnedPicture(m_lastFrame, m_options.size, m_options.shotTurn), shape.width, shape.height);
    if (!written)
        logf(LogCategory::Host, "host: %s", written.error().message.c_str());
}

std::uint32_t HeadlessScreen::frameCount() const {
    std::lock_guard guard(m_lock);
    return m_frameCount;
}

std::vector<std::uint64_t> HeadlessScreen::frameHashes() const {
    std::lock_guard guard(m_lock);
    return m_hashes;
}

std::vector<std::uint16_t> HeadlessScreen::lastFrame() const {
    std::lock_guard guard(m_lock);
    if (m_frameCount == 0)
        return {};
    return m_lastFrame;
}

Result<void> HeadlessScreen::writeLastFrame(const std::string& path) const {
    std::lock_guard guard(m_lock);
    if (m_frameCount == 0)
        return Error::withMessage("host: no frame was presented");
    return writePng(path, m_lastFrame, m_options.size.width, m_options.size.height);
}

} // namespace host
