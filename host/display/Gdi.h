#pragma once

// A stand-in for the device's graphics interface, as much as a display
// back-end uses of it: the window's device context, a drawing section of
// 16-bit pixels, a memory device context to select it into, and the stretch
// blit with its stretch modes. It draws on the host's `Screen`: a blit into
// the window's device context lands on the screen and is presented.
//
// Handles are objects: dropping one releases it. A section stays alive while
// a device context has it selected. One thread uses a set of handles at a time.

#include "host/display/DisplayFaults.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace host {

class Screen;
class Window;

inline constexpr int kStretchColorOnColor = 3; // rows and columns are dropped or repeated
inline constexpr int kStretchBilinear = 5;     // neighbouring pixels are blended

inline constexpr std::uint32_t kBitFields = 3; // compression: pixels laid out by the three masks

// The description of a section to make.
struct BitmapInfo {
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

// A drawing section: width x height RGB565 pixels, rows top-down, that never
// move while the section lives.
class DibSection {
public:
    DibSection(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint16_t* bits() { return m_pixels.data(); }

private:
    int m_width;
    int m_height;
    std::vector<std::uint16_t> m_pixels;
};

class DeviceContext {
public:
    enum class Kind : std::uint8_t {
        Window, // draws on the screen
        Memory, // draws on the selected section
    };

    explicit DeviceContext(Kind kind)
        : m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    friend class Gdi;
    Kind m_kind;
    int m_stretchMode = kStretchColorOnColor;
    std::shared_ptr<DibSection> m_selected;
};

class Gdi {
public:
    Gdi(Screen& screen, const DisplayFaults& faults);

    // The device context of an open window; null without one.
    std::unique_ptr<DeviceContext> getWindowDc(const Window* window);
    std::unique_ptr<DeviceContext> createCompatibleDc(const DeviceContext& context);
    // Only the section the display uses can be made: 16 bits per pixel in bit
    // fields with the masks 0xF800, 0x07E0 and 0x001F, one plane, rows
    // top-down, a size image of width x height x 2 or 0. Null otherwise.
    std::shared_ptr<DibSection> createDibSection(const DeviceContext& context, const BitmapInfo& info);
    // Selects `section` into a memory context; answers the section it held.
    // Null (and nothing changes) for a window context.
    std::shared_ptr<DibSection> selectObject(DeviceContext& context, std::shared_ptr<DibSection> section);
    // Answers the previous mode, or 0 (and nothing changes) for a mode that is
    // neither `kStretchColorOnColor` nor `kStretchBilinear`.
    int setStretchBltMode(DeviceContext& context, int mode);
    // Copies the source context's rectangle onto the destination's, scaled by
    // the destination's stretch mode, with the source's pixels as they are.
    // The source must be a memory context holding a section and both
    // rectangles must lie inside their surfaces; false otherwise.
    bool stretchBlt(DeviceContext& destination, int x, int y, int width, int height,
                    const DeviceContext& source, int sourceX, int sourceY, int sourceWidth, int sourceHeight);

private:
    Screen& m_screen;
    const DisplayFaults& m_faults;
};

} // namespace host
