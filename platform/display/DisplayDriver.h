#pragma once

// The display back-end: one RGB565 surface of the logical screen size
// (480 x 640) that the runtime draws into, presented stretched over the whole
// device screen. Two back-ends share this interface: `DisplayDriverGDI` and
// `DisplayDriverDDraw`. The runtime opens one (openDisplay.h), takes the
// surface pixels once, presents after every painted frame, and closes and
// destroys it at shutdown. All calls come from one thread at a time.

#include <cstdint>

namespace host {
class Window;
}

namespace platform {

inline constexpr int kLogicalScreenWidth = 480;
inline constexpr int kLogicalScreenHeight = 640;

class DisplayDriver {
public:
    DisplayDriver(int screenWidth, int screenHeight, int logicalWidth, int logicalHeight,
                  std::uint32_t presentMode)
        : m_screenWidth(screenWidth)
        , m_screenHeight(screenHeight)
        , m_logicalWidth(logicalWidth)
        , m_logicalHeight(logicalHeight)
        , m_presentMode(presentMode) {}
    // A back-end's destructor closes it first.
    virtual ~DisplayDriver() = default;
    DisplayDriver(const DisplayDriver&) = delete;
    DisplayDriver& operator=(const DisplayDriver&) = delete;

    // Acquires what the back-end needs on `window`; on failure releases what
    // it took, in reverse order, and answers false.
    virtual bool open(host::Window* window) = 0;
    // Releases everything; safe to call again.
    virtual void close() = 0;
    virtual bool setNormalCooperation() = 0;
    virtual bool setFullScreenCooperation() = 0;
    virtual void useFirstScalingMode() = 0;
    virtual void useSecondScalingMode() = 0;
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    virtual int bitsPerPixel() = 0;
    virtual int bytesPerPixel() = 0;
    virtual int screenPitch() = 0;
    virtual int surfacePitch() = 0;
    virtual bool lock() = 0;
    virtual bool unlock() = 0;
    virtual int logicalWidth() = 0;
    virtual int logicalHeight() = 0;
    // The drawing surface: logical width x height pixels, rows `surfacePitch`
    // bytes apart. Null before a successful open. Its address stays the same
    // until close.
    virtual std::uint16_t* surfacePixels() = 0;
    // Shows the surface. Failures are not reported to the runtime.
    virtual int present() = 0;

    std::uint32_t presentMode() const { return m_presentMode; }

protected:
    host::Window* m_window = nullptr;
    int m_bitsPerPixel = 0;
    int m_screenWidth;
    int m_screenHeight;
    int m_bytesPerPixel = 0;
    int m_screenPitch = 0;
    int m_surfacePitch = 0;
    int m_logicalWidth;
    int m_logicalHeight;
    // The GDI stretch mode, or the DirectDraw raster operation.
    std::uint32_t m_presentMode;
};

} // namespace platform
