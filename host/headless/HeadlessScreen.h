#pragma once

#include "host/Result.h"
#include "host/Screen.h"
#include "host/display/WindowView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct XXH3_state_s;

namespace host {

// The hash of a frame: 64-bit XXH3 (seed 0) over its pixels, each as two
// bytes, low byte first, so a frame has the same hash on every machine. Tests
// hash the pixels they expect the same way.
std::uint64_t hashFrame(std::span<const std::uint16_t> pixels);

// A screen without a display: every presented frame is counted, the last one
// is kept (one copy per present), each is hashed when the run asks for hashes
// and can be written as a PNG file.
class HeadlessScreen final : public Screen {
public:
    struct Options {
        ScreenSize size;
        std::string frameFolder; // when set, frame N is written there as frame-NNNNNN.png
        // When both are set and `now` gives the virtual time in ms, the
        // first frame is written to `shotFolder` as shot-0000000.png, and
        // then the first frame at or after each multiple of `shotPeriod`
        // ms as shot-MMMMMMM.png, M the last multiple it reached: one shot
        // per period however fast or slow frames come.
        std::string shotFolder;
        std::uint32_t shotPeriod = 0;
        // How shots show the screen: as the device holds it, or turned as a
        // window shows it.
        WindowTurn shotTurn = WindowTurn::AsDevice;
        std::function<std::uint64_t()> now;
        bool hashFrames = false;           // when set, `frameHashes` has the hash of every frame
        std::uint32_t quitAfterFrames = 0; // when set, `onQuit` runs after that frame
        std::function<void()> onQuit;
        // Runs after each present, on the presenting thread, outside the screen's lock.
        std::function<void()> onPresented;
    };

    explicit HeadlessScreen(Options options);

    ScreenSize size() const override { return m_options.size; }
    std::span<std::uint16_t> pixels() override { return m_pixels; }
    void present() override;

    // Any thread.
    std::uint32_t frameCount() const;
    // One hash a frame, in order, when the options ask for them; else empty.
    std::vector<std::uint64_t> frameHashes() const;
    std::vector<std::uint16_t> lastFrame() const;
    // Writes the last presented frame; fails when none was presented yet.
    Result<void> writeLastFrame(const std::string& path) const;

private:
    struct HashStateDeleter {
        void operator()(XXH3_state_s* state) const;
    };

    // Copies the surface into `m_lastFrame` and answers its hash.
    std::uint64_t copyAndHashFrame();
    // Writes the frame in `m_lastFrame` as a shot when its period has come.
    void writeShotIfDue();

    Options m_options;
    std::vector<std::uint16_t> m_pixels;
    mutable std::mutex m_lock;
    std::uint32_t m_frameCount = 0;
    std::uint64_t m_nextShot = 0;
    std::vector<std::uint64_t> m_hashes;
    std::vector<std::uint16_t> m_lastFrame;
    std::unique_ptr<XXH3_state_s, HashStateDeleter> m_hashState; // when hashing
};

} // namespace host
