#include "platform/display/DisplayDriverGDI.h"

namespace platform {

DisplayDriverGDI::DisplayDriverGDI(host::Gdi& gdi, int screenWidth, int screenHeight, int logicalWidth,
                                   int logicalHeight)
    : DisplayDriver(screenWidth, screenHeight, logicalWidth, logicalHeight, host::kStretchColorOnColor)
    , m_gdi(gdi) {
}

DisplayDriverGDI::~DisplayDriverGDI() {
    close();
}

bool DisplayDriverGDI::open(host::Window* window) {
    m_windowDc = m_gdi.getWindowDc(window);
    m_window = window;
    m_bitsPerPixel = 16;
    m_bytesPerPixel = 2;
    m_screenPitch = m_screenWidth * 2;
    m_surfacePitch = m_logicalWidth * 2;
    // Without the window's device context no frame could ever be shown, so
    // that is a failure to open rather than a display that stays dark.
    if (!m_windowDc) {
        close();
        return false;
    }

    host::BitmapInfo info;
    info.width = m_logicalWidth;
    info.height = -m_logicalHeight;
    info.planes = 1;
    info.bitCount = 16;
    info.compression = host::kBitFields;
    info.sizeImage = static_cast<std::uint32_t>(m_logicalWidth * m_logicalHeight * 2);
    info.redMask = 0xF800;
    info.greenMask = 0x07E0;
    info.blueMask = 0x001F;
    m_section = m_gdi.createDibSection(*m_windowDc, info);
    if (!m_section) {
        close();
        return false;
    }

    m_bitmap = {0, m_logicalWidth, m_logicalHeight, 1, 16, m_section->bits()};
    m_memoryDc = m_gdi.createCompatibleDc(*m_windowDc);
    if (!m_memoryDc) {
        close();
        return false;
    }
    return true;
}

void DisplayDriverGDI::close() {
    m_windowDc.reset();
    m_window = nullptr;
    m_memoryDc.reset();
    m_section.reset();
    m_bitmap = {};
}

int DisplayDriverGDI::present() {
    if (!m_window || !m_windowDc || !m_memoryDc)
        return 0;
    m_gdi.selectObject(*m_memoryDc, m_section);
    m_gdi.setStretchBltMode(*m_windowDc, static_cast<int>(m_presentMode));
    bool shown = m_gdi.stretchBlt(*m_windowDc, 0, 0, m_screenWidth, m_screenHeight, *m_memoryDc, 0, 0,
                                  m_logicalWidth, m_logicalHeight);
    return shown ? 1 : 0;
}

} // namespace platform
