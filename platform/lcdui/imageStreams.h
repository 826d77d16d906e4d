#pragma once

// Images from input streams: the bytes a stream has available, collected and
// decoded as PNG. Written against any stream class with the two operations
// of `java_io_InputStream` it needs,
//
//     std::int32_t available();
//     std::int32_t read(rt::ByteArray* buffer, std::int32_t offset, std::int32_t length);
//
// each of which may leave an exception pending. `createImage` by resource
// name is `createImageFromStream` over the resource's stream; the stream is
// left open.

#include "platform/lcdui/Image.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

// Reads, 512 bytes at most at a time, while the stream says at least one
// byte is available and each read brings some: a read that brings nothing
// ends the collection, so a stream that keeps promising bytes it never gives
// cannot hold the caller, and nothing beyond what a byte array can hold is
// collected. Null when an exception is pending after a call,
// else a new byte array of everything read.
template <class InputStream>
[[nodiscard]] rt::ByteArray* collectAvailableBytes(InputStream* stream) {
    constexpr std::int32_t kChunk = 512;
    std::vector<std::uint8_t> collected;
    rt::ByteArray* chunk = rt::newByteArray(kChunk);
    for (;;) {
        std::int32_t available = stream->available();
        if (rt::exceptionPending())
            return nullptr;
        if (available < 1)
            break;
        std::int32_t count = stream->read(chunk, 0, kChunk);
        if (rt::exceptionPending())
            return nullptr;
        if (count < 1 || collected.size() > static_cast<std::size_t>(INT32_MAX - kChunk))
            break;
        count = count < kChunk ? count : kChunk;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(chunk->elements());
        collected.insert(collected.end(), bytes, bytes + count);
    }
    rt::ByteArray* all = rt::newByteArray(static_cast<std::int32_t>(collected.size()));
    if (!collected.empty())
        std::memcpy(all->elements(), collected.data(), collected.size());
    return all;
}

// The PNG image in the bytes `stream` has available; null when an exception
// is pending after a read, or when the bytes are no image.
template <class InputStream>
[[nodiscard]] javax_microedition_lcdui_Image* createImageFromStream(InputStream* stream) {
    rt::ByteArray* bytes = collectAvailableBytes(stream);
    if (!bytes)
        return nullptr;
    return javax_microedition_lcdui_Image::createImage(bytes, 0, bytes->length());
}

} // namespace platform
