#pragma once

// The screen service: the device's display, an RGB565 surface of the screen's
// size (480 x 640 unless told otherwise), and its presentation. What is in the
// surface when `present` is called is what the device shows.
//
// The sdl back-end copies the presented surface and hands it to the window
// thread, which shows it at its next turn (SDL draws a window only on the
// thread that made it). The headless back-end counts and hashes every
// presented frame and can write it as PNG.

#include <cstdint>
#include <functional>
#include <span>

namespace host {

inline constexpr int kDeviceScreenWidth = 480;
inline constexpr int kDeviceScreenHeight = 640;

struct ScreenSize {
    int width = kDeviceScreenWidth;
    int height = kDeviceScreenHeight;

    bool operator==(const ScreenSize&) const = default;
};

class Screen {
public:
    virtual ~Screen() = default;

    // Pixels of the screen, in screen pixels. Fixed for the host's life.
    virtual ScreenSize size() const = 0;

    // The surface: width x height RGB565 pixels, rows top-down without
    // padding. The memory stays where it is for the host's life. Writers and
    // `present` are kept apart by their callers (in practice one thread draws
    // and presents).
    virtual std::span<std::uint16_t> pixels() = 0;

    // Shows the surface as it is now. Any thread; returns at once.
    virtual void present() = 0;

    // Sees every presented frame (a replay's recorder): called by `present`
    // with the surface, on the presenting thread, before the frame counts
    // as shown. Set before anything is presented.
    using PresentObserver = std::function<void(std::span<const std::uint16_t>)>;
    void setPresentObserver(PresentObserver observer) { m_presentObserver = std::move(observer); }

protected:
    void notifyPresented(std::span<const std::uint16_t> pixels) {
        if (m_presentObserver)
            m_presentObserver(pixels);
    }

private:
    PresentObserver m_presentObserver;
};

} // namespace host
