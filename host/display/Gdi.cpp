#include "host/display/Gdi.h"

#include "host/Arena.h"
#include "host/Screen.h"
#include "host/Window.h"
#include "host/display/StretchBlit.h"

namespace host {

DibSection::DibSection(int width, int height)
    : m_width(width)
    , m_height(height)
    // Written whole by the first frame: committed now, in one step.
    , m_pixels(committedBuffer<std::uint16_t>(static_cast<std::size_t>(width) *
                                              static_cast<std::size_t>(height))) {
}

Gdi::Gdi(Screen& screen, const DisplayFaults& faults)
    : m_screen(screen)
    , m_faults(faults) {
}

std::unique_ptr<DeviceContext> Gdi::getWindowDc(const Window* window) {
    if (!window || !window->isOpen() || m_faults.has(DisplayFault::NoWindowDc))
        return nullptr;
    return std::make_unique<DeviceContext>(DeviceContext::Kind::Window);
}

std::unique_ptr<DeviceContext> Gdi::createCompatibleDc(const DeviceContext&) {
    if (m_faults.has(DisplayFault::NoMemoryDc))
        return nullptr;
    return std::make_unique<DeviceContext>(DeviceContext::Kind::Memory);
}

std::shared_ptr<DibSection> Gdi::createDibSection(const DeviceContext&, const BitmapInfo& info) {
    if (m_faults.has(DisplayFault::NoDibSection))
        return nullptr;
    // The width and height limits keep the pixel count well inside 32 bits.
    bool shapeOk = info.width > 0 && info.width <= 8192 && info.height < 0 && info.height >= -8192 &&
                   info.planes == 1 && info.bitCount == 16;
    bool layoutOk = info.compression == kBitFields && info.redMask == 0xF800 && info.greenMask == 0x07E0 &&
                    info.blueMask == 0x001F;
    if (!shapeOk || !layoutOk)
        return nullptr;
    std::uint32_t bytes =
        static_cast<std::uint32_t>(info.width) * static_cast<std::uint32_t>(-info.height) * 2;
    if (info.sizeImage != 0 && info.sizeImage != bytes)
        return nullptr;
    return std::make_shared<DibSection>(info.width, -info.height);
}

std::shared_ptr<DibSection> Gdi::selectObject(DeviceContext& context, std::shared_ptr<DibSection> section) {
    if (context.m_kind != DeviceContext::Kind::Memory)
        return nullptr;
    std::swap(context.m_selected, section);
    return section;
}

int Gdi::setStretchBltMode(DeviceContext& context, int mode) {
    if (mode != kStretchColorOnColor && mode != kStretchBilinear)
        return 0;
    int previous = context.m_stretchMode;
    context.m_stretchMode = mode;
    return previous;
}

bool Gdi::stretchBlt(DeviceContext& destination, int x, int y, int width, int height,
                     const DeviceContext& source, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight) {
    if (source.m_kind != DeviceContext::Kind::Memory || !source.m_selected)
        return false;
    DibSection& section = *source.m_selected;
    PixelView from{section.bits(), section.width(), section.height(), section.width()};
    PixelRect fromRect{sourceX, sourceY, sourceWidth, sourceHeight};

    PixelView to;
    if (destination.m_kind == DeviceContext::Kind::Window) {
        ScreenSize size = m_screen.size();
        to = {m_screen.pixels().data(), size.width, size.height, size.width};
    } else {
        if (!destination.m_selected || destination.m_selected == source.m_selected)
            return false;
        DibSection& target = *destination.m_selected;
        to = {target.bits(), target.width(), target.height(), target.width()};
    }
    PixelRect toRect{x, y, width, height};
    if (!rectInside(from, fromRect) || !rectInside(to, toRect))
        return false;

    StretchFilter filter =
        destination.m_stretchMode == kStretchBilinear ? StretchFilter::Bilinear : StretchFilter::Nearest;
    stretchBlit(from, fromRect, to, toRect, filter);
    if (destination.m_kind == DeviceContext::Kind::Window)
        m_screen.present();
    return true;
}

} // namespace host
