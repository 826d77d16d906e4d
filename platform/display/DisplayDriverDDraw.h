#pragma once

// The DirectDraw back-end: DirectDraw is opened at run time from its library;
// a back surface of the logical size is the drawing surface and each present
// blits it, stretched, onto the primary surface. Lost surfaces are restored
// before they are used. The host's surfaces keep their memory across a
// restore, so the surface pixels taken at start stay valid.

#include "host/display/DirectDraw.h"
#include "platform/display/DisplayDriver.h"

#include <memory>

namespace platform {

class DisplayDriverDDraw final : public DisplayDriver {
public:
    DisplayDriverDDraw(host::DirectDraw& directDraw, int screenWidth, int screenHeight, int logicalWidth,
                       int logicalHeight);
    ~DisplayDriverDDraw() override;

    bool open(host::Window* window) override;
    void close() override;
    bool setNormalCooperation() override;
    bool setFullScreenCooperation() override;
    void useFirstScalingMode() override { m_presentMode = host::kSourceCopy; }
    void useSecondScalingMode() override { m_presentMode = host::kSourceCopy; }
    int screenWidth() override;
    int screenHeight() override;
    int bitsPerPixel() override;
    int bytesPerPixel() override;
    int screenPitch() override;
    int surfacePitch() override;
    bool lock() override;
    bool unlock() override;
    int logicalWidth() override { return m_logicalWidth; }
    int logicalHeight() override { return m_logicalHeight; }
    std::uint16_t* surfacePixels() override;
    // Always 0: a failed blit is not reported.
    int present() override;

private:
    // The screen's size, format and pitches as a lock of the primary reports them.
    void takeScreenFields(const host::SurfaceDescription& primary);
    void restorePrimaryIfLost();
    void restoreBackIfLost();

    host::DirectDraw& m_directDraw;
    std::unique_ptr<host::DirectDrawLibrary> m_library;
    const host::DirectDrawCreateEntry* m_create = nullptr;
    std::unique_ptr<host::DirectDrawObject> m_object;
    host::SurfaceDescription m_primaryDescription;
    std::unique_ptr<host::DirectDrawSurface> m_primary;
    host::SurfaceDescription m_backDescription;
    std::unique_ptr<host::DirectDrawSurface> m_back;
    std::uint32_t m_bltRop = 0;
    std::uint32_t m_bltFlags = 0;
};

} // namespace platform
