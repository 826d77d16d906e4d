#include "platform/display/DisplayDriverDDraw.h"

namespace platform {

DisplayDriverDDraw::DisplayDriverDDraw(host::DirectDraw& directDraw, int screenWidth, int screenHeight,
                                       int logicalWidth, int logicalHeight)
    : DisplayDriver(screenWidth, screenHeight, logicalWidth, logicalHeight, host::kSourceCopy)
    , m_directDraw(directDraw) {
}

DisplayDriverDDraw::~DisplayDriverDDraw() {
    close();
}

bool DisplayDriverDDraw::open(host::Window* window) {
    m_window = window;
    // Every failure below releases what was taken so far, the last first.
    m_library = m_directDraw.loadLibrary("ddraw.dll");
    if (!m_library) {
        close();
        return false;
    }
    m_create = m_library->procAddress("DirectDrawCreate");
    if (!m_create) {
        close();
        return false;
    }
    m_object = (*m_create)();
    if (!m_object || !setNormalCooperation()) {
        close();
        return false;
    }

    m_primaryDescription = {};
    m_primaryDescription.flags = host::kDdsdCaps;
    m_primaryDescription.caps = host::kDdsCapsPrimarySurface;
    m_primary = m_object->createSurface(m_primaryDescription);
    if (!m_primary || !m_primary->lock(m_primaryDescription)) {
        close();
        return false;
    }
    takeScreenFields(m_primaryDescription);
    m_primary->unlock();

    m_backDescription = {};
    m_backDescription.flags = host::kDdsdCaps | host::kDdsdHeight | host::kDdsdWidth | host::kDdsdPixelFormat;
    m_backDescription.height = static_cast<std::uint32_t>(m_logicalHeight);
    m_backDescription.width = static_cast<std::uint32_t>(m_logicalWidth);
    m_backDescription.pixelFormat = m_primaryDescription.pixelFormat;
    m_back = m_object->createSurface(m_backDescription);
    if (!m_back || !m_back->lock(m_backDescription)) {
        close();
        return false;
    }
    m_surfacePitch = m_backDescription.pitch;
    m_back->unlock();

    m_bltRop = m_presentMode;
    m_bltFlags = host::kBltRop;
    return true;
}

void DisplayDriverDDraw::close() {
    m_window = nullptr;
    m_back.reset();
    m_primary.reset();
    m_object.reset();
    m_create = nullptr;
    m_library.reset();
    m_backDescription.surface = nullptr;
}

bool DisplayDriverDDraw::setNormalCooperation() {
    return m_object && m_object->setCooperativeLevel(m_window, host::kCooperativeNormal);
}

bool DisplayDriverDDraw::setFullScreenCooperation() {
    return m_object && m_object->setCooperativeLevel(m_window, host::kCooperativeFullScreen);
}

void DisplayDriverDDraw::takeScreenFields(const host::SurfaceDescription& primary) {
    m_screenWidth = static_cast<int>(primary.width);
    m_screenHeight = static_cast<int>(primary.height);
    m_bitsPerPixel = static_cast<int>(primary.pixelFormat.rgbBitCount);
    m_bytesPerPixel = primary.xPitch;
    m_screenPitch = primary.pitch;
}

void DisplayDriverDDraw::restorePrimaryIfLost() {
    if (!m_primary || !m_primary->isLost())
        return;
    m_primary->restore();
    host::SurfaceDescription description = m_primaryDescription;
    if (!m_primary->lock(description))
        return;
    m_primaryDescription = description;
    takeScreenFields(description);
    m_primary->unlock();
}

void DisplayDriverDDraw::restoreBackIfLost() {
    if (!m_back || !m_back->isLost())
        return;
    m_back->restore();
    host::SurfaceDescription description = m_backDescription;
    if (!m_back->lock(description))
        return;
    m_backDescription = description;
    m_surfacePitch = description.pitch;
    m_back->unlock();
}

int DisplayDriverDDraw::screenWidth() {
    restorePrimaryIfLost();
    return m_screenWidth;
}

int DisplayDriverDDraw::screenHeight() {
    restorePrimaryIfLost();
    return m_screenHeight;
}

int DisplayDriverDDraw::bitsPerPixel() {
    restorePrimaryIfLost();
    return m_bitsPerPixel;
}

int DisplayDriverDDraw::bytesPerPixel() {
    restorePrimaryIfLost();
    return m_bytesPerPixel;
}

int DisplayDriverDDraw::screenPitch() {
    restorePrimaryIfLost();
    return m_screenPitch;
}

int DisplayDriverDDraw::surfacePitch() {
    restoreBackIfLost();
    return m_surfacePitch;
}

bool DisplayDriverDDraw::lock() {
    host::SurfaceDescription description = m_backDescription;
    return m_back && m_back->lock(description);
}

bool DisplayDriverDDraw::unlock() {
    return m_back && m_back->unlock();
}

std::uint16_t* DisplayDriverDDraw::surfacePixels() {
    restoreBackIfLost();
    return m_back ? m_backDescription.surface : nullptr;
}

int DisplayDriverDDraw::present() {
    if (!m_primary || !m_back)
        return 0;
    restorePrimaryIfLost();
    restoreBackIfLost();
    m_primary->blt(*m_back, m_bltFlags, m_bltRop);
    return 0;
}

} // namespace platform
