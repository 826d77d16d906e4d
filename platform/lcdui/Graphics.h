#pragma once

// `javax_microedition_lcdui_Graphics`: draws on one image with a colour, a
// clip rectangle and a translation. All drawing is software on the target's
// 16-bit pixels; a target without them (an indexed image) takes nothing.
//
// Coordinates given to a drawing call are moved by the translation; the clip
// is kept in absolute pixels of the target, (x1, y1) inclusive and (x2, y2)
// exclusive, and always lies within the target. Colours are 0xAARRGGBB and
// drawn as RGB565 by truncation. Both setColor forms store alpha 0xFF; a new
// Graphics holds colour 0, whose alpha 0 makes fills and lines draw nothing
// until a colour is set.
//
// Bad arguments never stop a call and nothing is thrown: the checks write
// their line and the stack trace and the call goes on, cut down to what lies
// inside the images and arrays involved.

#include "platform/lcdui/Image.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {

class javax_microedition_lcdui_Graphics : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Graphics;

    // Transforms, as MIDP numbers them; 4 to 7 exchange width and height.
    static constexpr std::int32_t TRANS_NONE = 0;
    static constexpr std::int32_t TRANS_MIRROR_ROT180 = 1;
    static constexpr std::int32_t TRANS_MIRROR = 2;
    static constexpr std::int32_t TRANS_ROT180 = 3;
    static constexpr std::int32_t TRANS_MIRROR_ROT270 = 4;
    static constexpr std::int32_t TRANS_ROT90 = 5;
    static constexpr std::int32_t TRANS_ROT270 = 6;
    static constexpr std::int32_t TRANS_MIRROR_ROT90 = 7;

    // Anchors.
    static constexpr std::int32_t HCENTER = 1;
    static constexpr std::int32_t VCENTER = 2;
    static constexpr std::int32_t LEFT = 4;
    static constexpr std::int32_t RIGHT = 8;
    static constexpr std::int32_t TOP = 16;
    static constexpr std::int32_t BOTTOM = 32;
    static constexpr std::int32_t BASELINE = 64;

    // Set up on `target`: clip the whole image, colour 0, no translation.
    explicit javax_microedition_lcdui_Graphics(javax_microedition_lcdui_Image* target);

    // The operation after `Object`'s. A component outside 0..255 logs
    // "setColor r", "setColor g" or "setColor b" and is used as it is.
    virtual void setColor(std::int32_t red, std::int32_t green, std::int32_t blue);
    void setColor(std::int32_t rgb);
    std::int32_t getColor() const { return static_cast<std::int32_t>(m_colour); }
    std::int32_t getRedComponent() const { return (m_colour >> 16) & 255; }
    std::int32_t getGreenComponent() const { return (m_colour >> 8) & 255; }
    std::int32_t getBlueComponent() const { return m_colour & 255; }
    std::int32_t getDisplayColor(std::int32_t colour) const { return colour; }

    void translate(std::int32_t dx, std::int32_t dy);
    std::int32_t getTranslateX() const { return m_translateX; }
    std::int32_t getTranslateY() const { return m_translateY; }

    // The rectangle, translated and cut to the target, becomes the clip.
    void setClip(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // The clip becomes its intersection with the translated rectangle.
    void clipRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    std::int32_t getClipX() const { return m_clipX1 - m_translateX; }
    std::int32_t getClipY() const { return m_clipY1 - m_translateY; }
    std::int32_t getClipWidth() const { return m_clipX2 - m_clipX1; }
    std::int32_t getClipHeight() const { return m_clipY2 - m_clipY1; }

    // `width` x `height` pixels; an alpha below 255 mixes the colour in by alpha / 256.
    void fillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // Both end points drawn.
    void drawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    // The outline of `width` + 1 x `height` + 1 pixels.
    void drawRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // Corners of radius max(arcWidth - 2, 0) / 2; the arc height is not used.
    void drawRoundRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       std::int32_t arcWidth, std::int32_t arcHeight);
    void fillRoundRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       std::int32_t arcWidth, std::int32_t arcHeight);
    // Whole quadrants of the ellipse in (x, y, width, height) between the
    // angles `start` and `start + arc` (degrees, counter-clockwise from 3 o'clock).
    void drawArc(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t start,
                 std::int32_t arc);
    void fillArc(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t start,
                 std::int32_t arc);
    void fillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                      std::int32_t y3);

    // Copies the region (xSource, ySource, width, height) of `source` under
    // `transform` to the anchor point (x, y). Pixel types 0 to 2 only.
    void drawRegion(javax_microedition_lcdui_Image* source, std::int32_t xSource, std::int32_t ySource,
                    std::int32_t width, std::int32_t height, std::int32_t transform, std::int32_t x,
                    std::int32_t y, std::int32_t anchor);
    void drawImage(javax_microedition_lcdui_Image* image, std::int32_t x, std::int32_t y,
                   std::int32_t anchor);
    // `width` x `height` entries 0xAARRGGBB, row r from `offset + r * scanLength`.
    void drawRGB(rt::IntArray* rgb, std::int32_t offset, std::int32_t scanLength, std::int32_t x,
                 std::int32_t y, std::int32_t width, std::int32_t height, bool processAlpha);

    // Text in the system font (Font.h), in the current colour. The anchor
    // point (x, y) is taken without the translation and the clip; the text is
    // cut at the edges of the target image.
    void drawString(rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor);
    void drawSubstring(rt::String* text, std::int32_t offset, std::int32_t length, std::int32_t x,
                       std::int32_t y, std::int32_t anchor);
    void drawChar(char16_t character, std::int32_t x, std::int32_t y, std::int32_t anchor);
    void drawChars(rt::CharArray* data, std::int32_t offset, std::int32_t length, std::int32_t x,
                   std::int32_t y, std::int32_t anchor);

    javax_microedition_lcdui_Image* target() const { return m_image; }

    RT_REFERENCE_FIELDS(javax_microedition_lcdui_Graphics, Object, m_image)

private:
    struct Clip;
    Clip clip(const Surface16& surface) const;
    void plot(std::int32_t x, std::int32_t y);
    // drawArc (pixels) and fillArc (spans from the centre line).
    void traceArc(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t start,
                  std::int32_t arc, bool fill);
    // fillRect's work on an absolute (translated) rectangle.
    void fillArea(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);
    void drawText(rt::String* text, std::int32_t begin, std::int32_t end, std::int32_t x, std::int32_t y,
                  std::int32_t anchor);

    javax_microedition_lcdui_Image* m_image = nullptr;
    std::uint32_t m_colour = 0;
    std::int32_t m_clipX1 = 0;
    std::int32_t m_clipY1 = 0;
    std::int32_t m_clipX2 = 0;
    std::int32_t m_clipY2 = 0;
    std::int32_t m_translateX = 0;
    std::int32_t m_translateY = 0;
};

} // namespace platform
