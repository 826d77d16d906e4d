// Decodes the input as a PNG file read through `createImage(InputStream)`,
// from a stream that hands out at most as many bytes a read as the input's
// first byte says (1 to 256). Checks what the reader promises: it never asks
// past what the stream has, it leaves nothing pending from a stream that
// raises nothing, and what it answers is an image of an accepted size.

#include "classlib/io/InputStream.h"
#include "fuzz/Harness.h"
#include "platform/Platform.h"
#include "platform/lcdui/Image.h"
#include "platform/lcdui/PngDecoder.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzing::check;

// A stream over the bytes outside the heaps, in reads of at most `m_largestRead`.
class SlicedStream final : public lib::java_io_InputStream {
public:
    SlicedStream(const std::uint8_t* data, std::size_t size, std::int32_t largestRead)
        : java_io_InputStream(rt::ClassId::java_io_InputStream)
        , m_data(data)
        , m_size(size)
        , m_largestRead(largestRead) {}

    using java_io_InputStream::read;
    std::int32_t read() override { return m_position < m_size ? m_data[m_position++] : -1; }
    std::int32_t available() override { return static_cast<std::int32_t>(m_size - m_position); }
    std::int32_t read(rt::ByteArray* buffer, std::int32_t offset, std::int32_t length) override {
        check(buffer && offset >= 0 && length >= 0 && offset + length <= buffer->length());
        auto count = static_cast<std::int32_t>(
            std::min<std::size_t>({static_cast<std::size_t>(length), static_cast<std::size_t>(m_largestRead),
                                   m_size - m_position}));
        if (count == 0)
            return -1;
        std::memcpy(buffer->elements() + offset, m_data + m_position, static_cast<std::size_t>(count));
        m_position += static_cast<std::size_t>(count);
        return count;
    }

    RT_NO_REFERENCE_FIELDS(SlicedStream, java_io_InputStream)

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
    std::int32_t m_largestRead;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 20))
        return 0;
    {
        fuzzing::QuietLog quiet;
        using platform::javax_microedition_lcdui_Image;
        // Held only by this frame, which no collection scans: a full buffer
        // heap falls back to the process heap.
        rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20}};
        runtime.bufferHeap().setFailureHandler(nullptr);
        platform::installPlatform(runtime);
        auto* stream = rt::make<SlicedStream>(data + 1, size - 1, data[0] + 1);
        javax_microedition_lcdui_Image* image = javax_microedition_lcdui_Image::createImage(stream);
        check(!rt::exceptionPending());
        if (image)
            check(platform::pngSizeAllowed(image->getWidth(), image->getHeight()) &&
                  static_cast<bool>(image->surface()));
    }
    return 0;
}
