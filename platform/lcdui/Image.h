#pragma once

// `javax_microedition_lcdui_Image`: a pixel surface. Pixel types:
//   0 RGB565, opaque;
//   1 RGB565 where the value 0xF81F (magenta) is transparent;
//   2 ARGB4444 (4 bits each of alpha, red, green, blue);
//   3 one byte per pixel; any other value 4 bits per pixel (indexed).
// Types 0 to 2 keep their pixels in a 16-bit array (`rt::ShortArray`) of
// (pitch / 2) x height elements, the others in a byte array. Rows are `pitch`
// bytes apart; a 16-bit row holds the width rounded up to even.
//
// An image made to be drawn into is mutable. The screen image lies over the
// display surface through an array that does not own that memory.
//
// The pixel array is an ordinary buffer-heap array: any allocation may move
// its elements, so `surface()` is asked again after one.

#include "classlib/ClassLibrary.h"
#include "runtime/Array.h"
#include "runtime/Object.h"

namespace lib {
class java_io_InputStream;
}

#include <cstdint>

namespace platform {

class javax_microedition_lcdui_Graphics;

// 16-bit pixels of an image as its drawing code sees them; `pixels` is null
// when the image has none that can be used (an indexed image, or an array too
// short for the image's size). Valid until the next allocation.
struct Surface16 {
    std::uint16_t* pixels = nullptr;
    std::int32_t pitch = 0; // pixels from one row to the next
    std::int32_t width = 0;
    std::int32_t height = 0;

    explicit operator bool() const { return pixels != nullptr; }
    std::uint16_t* row(std::int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * pitch; }
};

class javax_microedition_lcdui_Image : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Image;

    static constexpr std::int32_t kRgb565 = 0;
    static constexpr std::int32_t kRgb565Keyed = 1;
    static constexpr std::int32_t kArgb4444 = 2;
    static constexpr std::int32_t kIndexed8 = 3;
    // Bit 24 of allocate's type word asks for a mutable image.
    static constexpr std::int32_t kMutableRequest = 0x1000000;

    // Clears the fields and runs allocate.
    javax_microedition_lcdui_Image(std::int32_t width, std::int32_t height, std::int32_t typeWord,
                                   std::int32_t extra);
    // The zero state `newInstanceById` makes: 0 x 0, immutable, type 0 and no
    // pixel array, so drawing it or drawing into it changes no pixel.
    explicit javax_microedition_lcdui_Image(lib::NewInstance)
        : Object(kClassId) {}

    // Operations after `Object`'s, in this order.
    // A new Graphics on the image; an immutable image logs "!mutable" and
    // still gets one.
    virtual javax_microedition_lcdui_Graphics* getGraphics();
    virtual std::int32_t getWidth();
    virtual std::int32_t getHeight();
    // Sizes the image and makes its pixel array (all 0): the type is
    // `typeWord` without bit 24; `extra` bytes come before the pixels of a
    // type 3 or 4-bit image. Bit 24 makes the image mutable; a mutable image
    // of a type other than 0 logs "imagetype".
    virtual void allocate(std::int32_t width, std::int32_t height, std::int32_t typeWord, std::int32_t extra);

    // A mutable type-0 image, every pixel 0 (black).
    static javax_microedition_lcdui_Image* createImage(std::int32_t width, std::int32_t height);
    // A mutable image of the region (x, y, width, height) of `source` under
    // `transform` (height x width for transforms 4 to 7).
    static javax_microedition_lcdui_Image* createImage(javax_microedition_lcdui_Image* source, std::int32_t x,
                                                       std::int32_t y, std::int32_t width,
                                                       std::int32_t height, std::int32_t transform);
    // An immutable image decoded from the PNG file in `length` bytes of
    // `data` from `offset` (PngDecoder.h). Null, after a log line, for a
    // range outside the array or a size the decoder refuses.
    static javax_microedition_lcdui_Image* createImage(rt::ByteArray* data, std::int32_t offset,
                                                       std::int32_t length);
    // An immutable image decoded from the bytes `stream` has available (the
    // body of createImage by resource name, over the resource's stream):
    // reads of up to 512 bytes while available() answers at least 1, ended
    // early by a read that brings nothing, so a stream that keeps promising
    // bytes it never gives cannot hold the caller. Null when an exception is
    // pending after available() or read() (it stays pending), or when the
    // bytes are no image. The stream is left open.
    [[nodiscard]] static javax_microedition_lcdui_Image* createImage(lib::java_io_InputStream* stream);
    // An immutable image from `width` x `height` entries 0xAARRGGBB of `rgb`:
    // ARGB4444 when `processAlpha` and some entry has a partial alpha (not 0,
    // not 255, not on the colour 0xFF00FF); else 565, where with
    // `processAlpha` the entries of alpha 0 become the colour key.
    static javax_microedition_lcdui_Image* createRGBImage(rt::IntArray* rgb, std::int32_t width,
                                                          std::int32_t height, bool processAlpha);
    // The screen image: `width` x `height` pixels over `surface`, rows
    // `pitchBytes` apart, mutable. The memory stays the caller's and must
    // outlive the image; it must not be a movable buffer.
    static javax_microedition_lcdui_Image* createOverSurface(std::int32_t width, std::int32_t height,
                                                             std::int32_t pitchBytes, std::uint16_t* surface);

    // Writes the region (x, y, width, height) as 0xAARRGGBB into `argb`, row
    // r from `offset + r * scanLength`. 565 pixels come opaque (the colour
    // key of a type-1 image as 0), ARGB4444 ones with each nibble times 17.
    // Bad arguments log and the copy is cut down to what lies inside the
    // image and the array.
    void getRGB(rt::IntArray* argb, std::int32_t offset, std::int32_t scanLength, std::int32_t x,
                std::int32_t y, std::int32_t width, std::int32_t height);

    // The pixel array: null, after a log line, when it is not of the class named.
    rt::ShortArray* getShortPixels();
    rt::ByteArray* getBytePixels();

    // Makes a 16-bit image of type 0 or 1 by its pixels: type 1 when any
    // pixel is the colour key, else 0.
    void detectColourKey();

    Surface16 surface() const;
    std::int32_t pixelType() const { return m_pixelType; }
    void setPixelType(std::int32_t type) { m_pixelType = type; }
    bool isMutable() const { return m_mutable != 0; }
    std::int32_t pitch() const { return m_pitch; }
    rt::Array* pixelArray() const { return m_pixels; }

    RT_REFERENCE_FIELDS(javax_microedition_lcdui_Image, Object, m_pixels)

private:
    rt::Array* m_pixels = nullptr;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_pitch = 0;
    std::int8_t m_mutable = 0;
    std::int32_t m_pixelType = 0;
};

} // namespace platform
