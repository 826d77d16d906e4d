#pragma once

#include "host/Result.h"
#include "host/Screen.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace host {

// The hash of a frame: 64-bit FNV-1a over its pixels, each as two bytes, low
// byte first. Tests hash the pixels they expect the same way.
std::uint64_t hashFrame(std::span<const std::uint16_t> pixels);

// A screen without a display: every presented frame is counted and hashed,
// the last one is kept, and each can be written as a PNG file.
class HeadlessScreen final : public Screen {
public:
    struct Options {
        ScreenSize size;
        std::string frameFolder;           // when set, frame N is written there as frame-NNNNNN.png
        std::uint32_t quitAfterFrames = 0; // when set, `onQuit` runs after that frame
        std::function<void()> onQuit;
    };

    explicit HeadlessScreen(Options options);

    ScreenSize size() const override { return m_options.size; }
    std::span<std::uint16_t> pixels() override { return m_pixels; }
    void present() override;

    // Any thread.
    std::uint32_t frameCount() const;
    std::vector<std::uint64_t> frameHashes() const;
    std::vector<std::uint16_t> lastFrame() const;
    // Writes the last presented frame; fails when none was presented yet.
    Result<void> writeLastFrame(const std::string& path) const;

private:
    Options m_options;
    std::vector<std::uint16_t> m_pixels;
    mutable std::mutex m_lock;
    std::vector<std::uint64_t> m_hashes;
    std::vector<std::uint16_t> m_lastFrame;
};

} // namespace host
