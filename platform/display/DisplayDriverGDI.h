#pragma once

// The GDI back-end: a top-down 16-bit bit-field drawing section of the
// logical size, stretched onto the window's device context at each present.
// The section never moves while the back-end is open.

#include "host/display/Gdi.h"
#include "platform/display/DisplayDriver.h"

#include <memory>

namespace platform {

class DisplayDriverGDI final : public DisplayDriver {
public:
    DisplayDriverGDI(host::Gdi& gdi, int screenWidth, int screenHeight, int logicalWidth, int logicalHeight);
    ~DisplayDriverGDI() override;

    bool open(host::Window* window) override;
    void close() override;
    bool setNormalCooperation() override { return true; }
    bool setFullScreenCooperation() override { return true; }
    void useFirstScalingMode() override { m_presentMode = host::kStretchColorOnColor; }
    void useSecondScalingMode() override { m_presentMode = host::kStretchBilinear; }
    int screenWidth() override { return m_screenWidth; }
    int screenHeight() override { return m_screenHeight; }
    int bitsPerPixel() override { return m_bitsPerPixel; }
    int bytesPerPixel() override { return m_bytesPerPixel; }
    int screenPitch() override { return m_screenPitch; }
    int surfacePitch() override { return m_surfacePitch; }
    bool lock() override { return true; }
    bool unlock() override { return true; }
    int logicalWidth() override { return m_logicalWidth; }
    int logicalHeight() override { return m_logicalHeight; }
    std::uint16_t* surfacePixels() override { return m_section ? m_section->bits() : nullptr; }
    // 1 when the stretch blit succeeded, 0 otherwise (also without a window).
    int present() override;

    // The section's description, as it was made.
    struct Bitmap {
        int type = 0;
        int width = 0;
        int height = 0;
        int planes = 0;
        int bitsPerPixel = 0;
        std::uint16_t* bits = nullptr;
    };
    const Bitmap& bitmap() const { return m_bitmap; }

private:
    host::Gdi& m_gdi;
    std::shared_ptr<host::DibSection> m_section;
    Bitmap m_bitmap;
    std::unique_ptr<host::DeviceContext> m_windowDc;
    std::unique_ptr<host::DeviceContext> m_memoryDc;
};

} // namespace platform
