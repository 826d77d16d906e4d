#include "platform/lcdui/Image.h"

#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/InputStream.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/PngDecoder.h"
#include "platform/lcdui/pixels.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/checks.h"

#include <algorithm>

namespace platform {

namespace {

std::span<const std::uint8_t> pngBytes(rt::ByteArray* data, std::int32_t offset, std::int32_t length) {
    return {reinterpret_cast<const std::uint8_t*>(data->elements()) + offset,
            static_cast<std::size_t>(length)};
}

constexpr std::int32_t roundUpToEven(std::int32_t value) {
    return value + (value & 1);
}

} // namespace

javax_microedition_lcdui_Image::javax_microedition_lcdui_Image(std::int32_t width, std::int32_t height,
                                                               std::int32_t typeWord, std::int32_t extra)
    : Object(kClassId) {
    allocate(width, height, typeWord, extra);
}

void javax_microedition_lcdui_Image::allocate(std::int32_t width, std::int32_t height, std::int32_t typeWord,
                                              std::int32_t extra) {
    std::int32_t type = typeWord & ~kMutableRequest;
    m_width = width;
    m_height = height;
    m_pixelType = type;
    // A negative or overflowing size gives an array the image cannot use;
    // `surface()` then answers no pixels, so nothing is drawn.
    if (type >= kRgb565 && type <= kArgb4444) {
        m_pitch = roundUpToEven(width) * 2;
        m_pixels = rt::newShortArray((m_pitch / 2) * height);
    } else if (type == kIndexed8) {
        m_pitch = width;
        m_pixels = rt::newByteArray(extra + width * height + 1);
    } else {
        m_pitch = roundUpToEven(width) / 2;
        m_pixels = rt::newByteArray(extra + m_pitch * height + 1);
    }
    if (typeWord & kMutableRequest) {
        m_mutable = 1;
        if (type != kRgb565)
            rt::reportRuntimeError("imagetype");
    }
}

javax_microedition_lcdui_Graphics* javax_microedition_lcdui_Image::getGraphics() {
    if (!m_mutable)
        rt::reportRuntimeError("!mutable");
    return rt::make<javax_microedition_lcdui_Graphics>(this);
}

std::int32_t javax_microedition_lcdui_Image::getWidth() {
    return m_width;
}

std::int32_t javax_microedition_lcdui_Image::getHeight() {
    return m_height;
}

javax_microedition_lcdui_Image* javax_microedition_lcdui_Image::createImage(std::int32_t width,
                                                                            std::int32_t height) {
    return rt::make<javax_microedition_lcdui_Image>(width, height, kRgb565 | kMutableRequest, 0);
}

javax_microedition_lcdui_Image*
javax_microedition_lcdui_Image::createImage(javax_microedition_lcdui_Image* source, std::int32_t x,
                                            std::int32_t y, std::int32_t width, std::int32_t height,
                                            std::int32_t transform) {
    bool turned = transform >= javax_microedition_lcdui_Graphics::TRANS_MIRROR_ROT270 &&
                  transform <= javax_microedition_lcdui_Graphics::TRANS_MIRROR_ROT90;
    javax_microedition_lcdui_Image* image = createImage(turned ? height : width, turned ? width : height);
    auto* graphics = rt::make<javax_microedition_lcdui_Graphics>(image);
    graphics->drawRegion(source, x, y, width, height, transform, 0, 0,
                         javax_microedition_lcdui_Graphics::TOP | javax_microedition_lcdui_Graphics::LEFT);
    return image;
}

javax_microedition_lcdui_Image*
javax_microedition_lcdui_Image::createImage(rt::ByteArray* data, std::int32_t offset, std::int32_t length) {
    if (!data || data->isFreed()) {
        rt::reportNullPointer();
        return nullptr;
    }
    if (!rt::checkRange(rt::IndexKind::Array, offset, length, data->length()))
        return nullptr;
    PngSummary summary = scanPngChunks(pngBytes(data, offset, length));
    if (!pngSizeAllowed(summary.width, summary.height)) {
        rt::logPrintf("createImage: PNG of %d x %d pixels refused", summary.width, summary.height);
        return nullptr;
    }
    std::int32_t type = summary.colourType == kPngColourTypeRgbAlpha ? kArgb4444 : kRgb565;
    auto* image = rt::make<javax_microedition_lcdui_Image>(summary.width, summary.height, type, 0);
    // No allocation from here on: the bytes and the pixels stay where they are.
    PngDecoded decoded = decodePng(pngBytes(data, offset, length), image->surface(), type == kArgb4444);
    // The decoder saw every pixel it wrote, and the rest of a new image is 0.
    if (type == kRgb565 && decoded.wroteColourKey)
        image->setPixelType(kRgb565Keyed);
    return image;
}

javax_microedition_lcdui_Image*
javax_microedition_lcdui_Image::createImage(lib::java_io_InputStream* stream) {
    if (!stream) {
        rt::reportNullPointer();
        return nullptr;
    }
    constexpr std::int32_t kReadSize = 512;
    auto* collected = rt::make<lib::java_io_ByteArrayOutputStream>();
    rt::ByteArray* chunk = rt::newByteArray(kReadSize);
    for (;;) {
        std::int32_t available = stream->available();
        if (rt::exceptionPending())
            return nullptr;
        if (available < 1)
            break;
        std::int32_t count = stream->read(chunk, 0, kReadSize);
        if (rt::exceptionPending())
            return nullptr;
        if (count < 1)
            break;
        // Bytes that cannot be kept (a count beyond the read, a collection
        // beyond what an array holds) are reported by the write and end it.
        std::int32_t before = collected->size();
        collected->write(chunk, 0, count);
        if (collected->size() == before)
            break;
    }
    rt::ByteArray* bytes = collected->toByteArray();
    return createImage(bytes, 0, bytes ? bytes->length() : 0);
}

javax_microedition_lcdui_Image* javax_microedition_lcdui_Image::createRGBImage(rt::IntArray* rgb,
                                                                               std::int32_t width,
                                                                               std::int32_t height,
                                                                               bool processAlpha) {
    if (!rgb || rgb->isFreed()) {
        rt::reportRuntimeError("createRGBImage rgbData");
        return nullptr;
    }
    if (width <= 0 || height <= 0) {
        rt::reportRuntimeError("createRGBImage width, height");
        return nullptr;
    }
    std::int64_t count = static_cast<std::int64_t>(width) * height;
    // A short array fills the pixels it holds entries for; the rest stay 0.
    std::int64_t available = count;
    if (rgb->length() < count) {
        rt::reportRuntimeError("createRGBImage length");
        available = rgb->length();
    }

    bool needsAlpha = false;
    if (processAlpha) {
        const std::int32_t* entries = rgb->elements();
        for (std::int64_t i = 0; i < available && !needsAlpha; ++i) {
            auto entry = static_cast<std::uint32_t>(entries[i]);
            std::uint32_t alpha = entry >> 24;
            needsAlpha = alpha != 0 && alpha != 255 && (entry & 0xFFFFFF) != 0xFF00FF;
        }
    }
    auto* image =
        rt::make<javax_microedition_lcdui_Image>(width, height, needsAlpha ? kArgb4444 : kRgb565, 0);
    auto* graphics = rt::make<javax_microedition_lcdui_Graphics>(image);
    if (processAlpha && !needsAlpha) {
        graphics->setColor(0xFF00FF);
        graphics->fillRect(0, 0, width, height);
    }
    auto fullRows = static_cast<std::int32_t>(available / width);
    auto lastRow = static_cast<std::int32_t>(available % width);
    graphics->drawRGB(rgb, 0, width, 0, 0, width, fullRows, processAlpha);
    if (lastRow > 0)
        graphics->drawRGB(rgb, fullRows * width, width, 0, fullRows, lastRow, 1, processAlpha);
    if (processAlpha && !needsAlpha)
        image->detectColourKey();
    return image;
}

javax_microedition_lcdui_Image* javax_microedition_lcdui_Image::createOverSurface(std::int32_t width,
                                                                                  std::int32_t height,
                                                                                  std::int32_t pitchBytes,
                                                                                  std::uint16_t* surface) {
    auto* image = rt::make<javax_microedition_lcdui_Image>(0, 0, kRgb565 | kMutableRequest, 0);
    rt::ShortArray* pixels =
        rt::make<rt::ForeignShortArray>(reinterpret_cast<std::int16_t*>(surface), (pitchBytes / 2) * height);
    image->m_pixels = pixels;
    image->m_width = width;
    image->m_height = height;
    image->m_pitch = pitchBytes;
    return image;
}

void javax_microedition_lcdui_Image::getRGB(rt::IntArray* argb, std::int32_t offset, std::int32_t scanLength,
                                            std::int32_t x, std::int32_t y, std::int32_t width,
                                            std::int32_t height) {
    if (!argb || argb->isFreed()) {
        rt::reportRuntimeError("getRGB argb null");
        return;
    }
    if (argb->length() < static_cast<std::int64_t>(offset) + static_cast<std::int64_t>(width) * height)
        rt::reportRuntimeError("getRGB length");
    if (x < 0 || y < 0)
        rt::reportRuntimeError("getRGB x,y outside");
    if (static_cast<std::int64_t>(x) + width > m_width || static_cast<std::int64_t>(y) + height > m_height)
        rt::reportRuntimeError("getRGB width,height outside");
    if (m_pixelType < kRgb565 || m_pixelType > kArgb4444) {
        rt::reportRuntimeError("m_pixelType");
        return;
    }
    Surface16 pixels = surface();
    if (!pixels)
        return;
    // Only the part of the rectangle inside the image is read, and only the
    // entries inside the array are written.
    std::int64_t left = std::max<std::int64_t>(x, 0);
    std::int64_t right = std::min<std::int64_t>(static_cast<std::int64_t>(x) + width, pixels.width);
    std::int64_t top = std::max<std::int64_t>(y, 0);
    std::int64_t bottom = std::min<std::int64_t>(static_cast<std::int64_t>(y) + height, pixels.height);
    std::int32_t* entries = argb->elements();
    const std::int64_t length = argb->length();
    for (std::int64_t row = top; row < bottom; ++row) {
        const std::uint16_t* source = pixels.row(static_cast<std::int32_t>(row));
        std::int64_t base = offset + (row - y) * static_cast<std::int64_t>(scanLength) - x;
        std::int64_t first = std::max(left, -base);
        std::int64_t last = std::min(right, length - base);
        for (std::int64_t column = first; column < last; ++column) {
            std::uint16_t pixel = source[column];
            std::uint32_t value;
            if (m_pixelType == kArgb4444)
                value = pixels::argb4444ToArgb(pixel);
            else if (m_pixelType == kRgb565Keyed && pixel == pixels::kColourKey)
                value = 0;
            else
                value = pixels::rgb565ToArgb(pixel);
            entries[base + column] = static_cast<std::int32_t>(value);
        }
    }
}

rt::ShortArray* javax_microedition_lcdui_Image::getShortPixels() {
    if (!m_pixels || m_pixels->classId() != rt::ClassId::ShortArray) {
        rt::reportRuntimeError("getShortPixels");
        return nullptr;
    }
    return static_cast<rt::ShortArray*>(m_pixels);
}

rt::ByteArray* javax_microedition_lcdui_Image::getBytePixels() {
    if (!m_pixels || m_pixels->classId() != rt::ClassId::ByteArray) {
        rt::reportRuntimeError("getBytePixels");
        return nullptr;
    }
    return static_cast<rt::ByteArray*>(m_pixels);
}

void javax_microedition_lcdui_Image::detectColourKey() {
    Surface16 pixels = surface();
    if (!pixels)
        return;
    m_pixelType = kRgb565;
    for (std::int32_t y = 0; y < pixels.height; ++y) {
        const std::uint16_t* row = pixels.row(y);
        if (std::find(row, row + pixels.width, pixels::kColourKey) != row + pixels.width) {
            m_pixelType = kRgb565Keyed;
            return;
        }
    }
}

Surface16 javax_microedition_lcdui_Image::surface() const {
    if (!m_pixels || m_pixels->isFreed() || m_pixels->classId() != rt::ClassId::ShortArray)
        return {};
    if (m_width < 0 || m_height < 0 || m_pitch < 0 || m_pitch % 2 != 0 ||
        static_cast<std::int64_t>(m_width) * 2 > m_pitch ||
        static_cast<std::int64_t>(m_pitch / 2) * m_height > m_pixels->length())
        return {};
    auto* elements = static_cast<rt::ShortArray*>(m_pixels)->elements();
    if (!elements)
        return {};
    return Surface16{reinterpret_cast<std::uint16_t*>(elements), m_pitch / 2, m_width, m_height};
}

} // namespace platform
