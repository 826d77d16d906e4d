#pragma once

// A stand-in for the device's DirectDraw, as much as a display back-end uses
// of it: the library opened at run time by name, its create entry, the
// DirectDraw object with its cooperation levels, and surfaces with lock,
// unlock, restore and blit. The primary surface is the host's `Screen`; a
// blit onto it is presented. Surfaces keep their memory, at the same address,
// for their whole life, restores included.
//
// Handles are objects: dropping one releases it. Every step can be told to
// fail through `DisplayFaults`, and `DisplayFaults::loseSurfaces` loses every
// surface. One thread uses a set of handles at a time.

#include "host/display/DisplayFaults.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

class Screen;
class Window;

// Surface description flags, capabilities and blit values of the interface.
inline constexpr std::uint32_t kDdsdCaps = 0x1;
inline constexpr std::uint32_t kDdsdHeight = 0x2;
inline constexpr std::uint32_t kDdsdWidth = 0x4;
inline constexpr std::uint32_t kDdsdPixelFormat = 0x1000;
inline constexpr std::uint32_t kDdsCapsPrimarySurface = 64;
inline constexpr std::uint32_t kCooperativeNormal = 0;
inline constexpr std::uint32_t kCooperativeFullScreen = 1;
inline constexpr std::uint32_t kBltRop = 0x20000;
inline constexpr std::uint32_t kSourceCopy = 0xCC0020;

struct DdPixelFormat {
    std::uint32_t rgbBitCount = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

struct SurfaceDescription {
    std::uint32_t flags = 0;
    std::uint32_t caps = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t pitch = 0;  // bytes per row
    std::int32_t xPitch = 0; // bytes per pixel
    DdPixelFormat pixelFormat;
    std::uint16_t* surface = nullptr; // filled by a lock
};

class DirectDrawSurface {
public:
    DirectDrawSurface(Screen* screen, int width, int height, const DisplayFaults& faults);

    // Fills `description` with the surface's size, format, pitches and memory.
    // False when the surface is lost or the lock is refused.
    bool lock(SurfaceDescription& description);
    bool unlock();
    bool isLost() const;
    // Brings a lost surface back, its memory unchanged. False when refused.
    bool restore();
    // Copies all of `source` over all of this surface, stretched (nearest
    // pixel). Only `kBltRop` with `kSourceCopy`; false when either surface is
    // lost.
    bool blt(DirectDrawSurface& source, std::uint32_t flags, std::uint32_t rop);

private:
    std::uint16_t* pixels();

    Screen* m_screen; // the primary surface shows the screen
    int m_width;
    int m_height;
    const DisplayFaults& m_faults;
    std::vector<std::uint16_t> m_pixels; // a back surface's own memory
    std::uint32_t m_generation;
    bool m_locked = false;
};

class DirectDrawObject {
public:
    DirectDrawObject(Screen& screen, const DisplayFaults& faults);

    // False for a level other than normal and full-screen, or without an open window.
    bool setCooperativeLevel(const Window* window, std::uint32_t level);
    // The primary surface (caps `kDdsCapsPrimarySurface`) or an off-screen
    // surface of the given width, height and RGB565 pixel format. Null when
    // refused.
    std::unique_ptr<DirectDrawSurface> createSurface(const SurfaceDescription& description);

private:
    Screen& m_screen;
    const DisplayFaults& m_faults;
};

// What the create entry of the library makes.
class DirectDrawCreateEntry {
public:
    DirectDrawCreateEntry(Screen& screen, const DisplayFaults& faults);
    // Null when the create fails.
    std::unique_ptr<DirectDrawObject> operator()() const;

private:
    Screen& m_screen;
    const DisplayFaults& m_faults;
};

class DirectDrawLibrary {
public:
    DirectDrawLibrary(Screen& screen, const DisplayFaults& faults);
    // The entry of that name; null when the library has none.
    const DirectDrawCreateEntry* procAddress(const std::string& name) const;

private:
    const DisplayFaults& m_faults;
    DirectDrawCreateEntry m_create;
};

class DirectDraw {
public:
    DirectDraw(Screen& screen, const DisplayFaults& faults);

    // Opens a library by file name, letters compared without case; only
    // "ddraw.dll" is on the device. Null when missing.
    std::unique_ptr<DirectDrawLibrary> loadLibrary(const std::string& name);

private:
    Screen& m_screen;
    const DisplayFaults& m_faults;
};

} // namespace host
