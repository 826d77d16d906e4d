#include "host/display/DirectDraw.h"

#include "host/Screen.h"
#include "host/Window.h"
#include "host/display/StretchBlit.h"

#include <algorithm>
#include <cctype>

namespace host {

namespace {

constexpr DdPixelFormat kRgb565{16, 0xF800, 0x07E0, 0x001F};

bool isRgb565(const DdPixelFormat& format) {
    return format.rgbBitCount == kRgb565.rgbBitCount && format.redMask == kRgb565.redMask &&
           format.greenMask == kRgb565.greenMask && format.blueMask == kRgb565.blueMask;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

DirectDrawSurface::DirectDrawSurface(Screen* screen, int width, int height, const DisplayFaults& faults)
    : m_screen(screen)
    , m_width(width)
    , m_height(height)
    , m_faults(faults)
    , m_generation(faults.lossGeneration()) {
    if (!m_screen)
        m_pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

std::uint16_t* DirectDrawSurface::pixels() {
    return m_screen ? m_screen->pixels().data() : m_pixels.data();
}

bool DirectDrawSurface::isLost() const {
    return m_generation != m_faults.lossGeneration();
}

bool DirectDrawSurface::lock(SurfaceDescription& description) {
    DisplayFault refusal = m_screen ? DisplayFault::PrimaryLockFails : DisplayFault::BackLockFails;
    if (isLost() || m_faults.has(refusal))
        return false;
    description.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    description.caps = m_screen ? kDdsCapsPrimarySurface : 0;
    description.width = static_cast<std::uint32_t>(m_width);
    description.height = static_cast<std::uint32_t>(m_height);
    description.pitch = m_width * 2;
    description.xPitch = 2;
    description.pixelFormat = kRgb565;
    description.surface = pixels();
    m_locked = true;
    return true;
}

bool DirectDrawSurface::unlock() {
    bool wasLocked = m_locked;
    m_locked = false;
    return wasLocked;
}

bool DirectDrawSurface::restore() {
    if (m_faults.has(DisplayFault::RestoreFails))
        return false;
    m_generation = m_faults.lossGeneration();
    return true;
}

bool DirectDrawSurface::blt(DirectDrawSurface& source, std::uint32_t flags, std::uint32_t rop) {
    if (flags != kBltRop || rop != kSourceCopy || isLost() || source.isLost() || &source == this)
        return false;
    PixelView from{source.pixels(), source.m_width, source.m_height, source.m_width};
    PixelView to{pixels(), m_width, m_height, m_width};
    stretchBlit(from, {0, 0, source.m_width, source.m_height}, to, {0, 0, m_width, m_height},
                StretchFilter::Nearest);
    if (m_screen)
        m_screen->present();
    return true;
}

DirectDrawObject::DirectDrawObject(Screen& screen, const DisplayFaults& faults)
    : m_screen(screen)
    , m_faults(faults) {
}

bool DirectDrawObject::setCooperativeLevel(const Window* window, std::uint32_t level) {
    if (m_faults.has(DisplayFault::CooperationFails) || !window || !window->isOpen())
        return false;
    return level == kCooperativeNormal || level == kCooperativeFullScreen;
}

std::unique_ptr<DirectDrawSurface> DirectDrawObject::createSurface(const SurfaceDescription& description) {
    if ((description.flags & kDdsdCaps) && (description.caps & kDdsCapsPrimarySurface)) {
        if (m_faults.has(DisplayFault::NoPrimarySurface))
            return nullptr;
        ScreenSize size = m_screen.size();
        return std::make_unique<DirectDrawSurface>(&m_screen, size.width, size.height, m_faults);
    }
    constexpr std::uint32_t kNeeded = kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    if (m_faults.has(DisplayFault::NoBackSurface) || (description.flags & kNeeded) != kNeeded ||
        !isRgb565(description.pixelFormat) || description.width == 0 || description.width > 8192 ||
        description.height == 0 || description.height > 8192)
        return nullptr;
    return std::make_unique<DirectDrawSurface>(nullptr, static_cast<int>(description.width),
                                               static_cast<int>(description.height), m_faults);
}

DirectDrawCreateEntry::DirectDrawCreateEntry(Screen& screen, const DisplayFaults& faults)
    : m_screen(screen)
    , m_faults(faults) {
}

std::unique_ptr<DirectDrawObject> DirectDrawCreateEntry::operator()() const {
    if (m_faults.has(DisplayFault::DirectDrawCreateFails))
        return nullptr;
    return std::make_unique<DirectDrawObject>(m_screen, m_faults);
}

DirectDrawLibrary::DirectDrawLibrary(Screen& screen, const DisplayFaults& faults)
    : m_faults(faults)
    , m_create(screen, faults) {
}

const DirectDrawCreateEntry* DirectDrawLibrary::procAddress(const std::string& name) const {
    if (name != "DirectDrawCreate" || m_faults.has(DisplayFault::NoDirectDrawCreate))
        return nullptr;
    return &m_create;
}

DirectDraw::DirectDraw(Screen& screen, const DisplayFaults& faults)
    : m_screen(screen)
    , m_faults(faults) {
}

std::unique_ptr<DirectDrawLibrary> DirectDraw::loadLibrary(const std::string& name) {
    if (!equalsIgnoringCase(name, "ddraw.dll") || m_faults.has(DisplayFault::NoDirectDrawLibrary))
        return nullptr;
    return std::make_unique<DirectDrawLibrary>(m_screen, m_faults);
}

} // namespace host
