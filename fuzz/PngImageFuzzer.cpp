// Decodes the input as a PNG file through `createImage(bytes, offset,
// length)` and draws what comes out, checking what the decoder promises: no
// read outside the bytes (the sanitizers watch an exactly sized copy), an
// image only of a size the decoder accepts, and pixels that the image's own
// operations can read and draw.

#include "fuzz/Harness.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "platform/lcdui/PngDecoder.h"
#include "runtime/Runtime.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzing::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    {
        fuzzing::QuietLog quiet;
        using platform::javax_microedition_lcdui_Image;
        // Everything made here is held only by this frame, which no
        // collection scans: a full buffer heap falls back to the process heap.
        rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20}};
        runtime.bufferHeap().setFailureHandler(nullptr);
        auto length = static_cast<std::int32_t>(size);
        rt::ByteArray* bytes = rt::newByteArray(length);
        if (size > 0)
            std::memcpy(bytes->elements(), data, size);
        javax_microedition_lcdui_Image* image = javax_microedition_lcdui_Image::createImage(bytes, 0, length);
        if (image) {
            check(platform::pngSizeAllowed(image->getWidth(), image->getHeight()));
            check(image->pixelType() >= 0 && image->pixelType() <= 2);
            check(static_cast<bool>(image->surface()));
            std::int32_t width = image->getWidth() < 64 ? image->getWidth() : 64;
            std::int32_t height = image->getHeight() < 64 ? image->getHeight() : 64;
            rt::IntArray* argb = rt::newIntArray(width * height);
            image->getRGB(argb, 0, width, 0, 0, width, height);
            auto* target = javax_microedition_lcdui_Image::createImage(48, 48)->getGraphics();
            target->drawRegion(image, 0, 0, width, height, static_cast<std::int32_t>(size % 8), 24, 24,
                               platform::javax_microedition_lcdui_Graphics::HCENTER |
                                   platform::javax_microedition_lcdui_Graphics::VCENTER);
        }
    }
    return 0;
}
