#include "game/framework/Streams.h"

#include "classlib/io/InputStream.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// Drops a pending `java_lang_Exception`; answers whether one was dropped.
bool swallowException() {
    return rt::catchException(rt::ClassId::java_lang_Exception) != nullptr;
}

} // namespace

StreamStatics& streamStatics() {
    return rt::getStaticClass().statics<StreamStatics>();
}

std::int32_t readByte() {
    StreamStatics& streams = streamStatics();
    ++streams.s_packPosition;
    if (!streams.s_packStream)
        return 0;
    std::int32_t value = streams.s_packStream->read();
    if (rt::exceptionPending()) {
        swallowException();
        return 0;
    }
    return value;
}

std::int32_t readShortLE() {
    std::int32_t low = readByte() & 0xFF;
    return low | (readByte() & 0xFF) << 8;
}

std::int32_t readIntLE() {
    std::int32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= (readByte() & 0xFF) << shift;
    return value;
}

std::int32_t readAvailable(lib::java_io_InputStream* stream, rt::ByteArray* buf, std::int32_t off,
                           std::int32_t len) {
    if (!stream || len <= 0)
        return 0;
    std::int32_t done = 0;
    while (done < len) {
        std::int32_t n = stream->read(buf, off + done, len - done);
        // A read may hand out bytes and raise in the same call; those came.
        if (n > 0)
            done += n;
        if (rt::exceptionPending() || n <= 0)
            break;
    }
    return done;
}

std::int32_t readFully(rt::ByteArray* buf, std::int32_t off, std::int32_t len) {
    StreamStatics& streams = streamStatics();
    (void)readAvailable(streams.s_packStream, buf, off, len);
    swallowException();
    streams.s_packPosition += len;
    return len;
}

void closeStream() {
    StreamStatics& streams = streamStatics();
    if (streams.s_packStream) {
        streams.s_packStream->close();
        swallowException();
    }
    streams.s_packStream = nullptr;
    streams.s_packPosition = 0;
    collectAfterUnload();
}

std::int32_t streamReadByte(lib::java_io_InputStream* stream) {
    if (!stream)
        return -1;
    std::int32_t value = stream->read();
    if (rt::exceptionPending())
        return 0;
    if (value >= 0)
        ++streamStatics().s_arrayBytesRead;
    return value;
}

std::int32_t streamReadShort(lib::java_io_InputStream* stream) {
    std::int32_t low = streamReadByte(stream) & 0xFF;
    return low | (streamReadByte(stream) & 0xFF) << 8;
}

std::int32_t streamReadInt(lib::java_io_InputStream* stream) {
    std::int32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= (streamReadByte(stream) & 0xFF) << shift;
    return value;
}

std::int32_t streamReadFully(lib::java_io_InputStream* stream, rt::ByteArray* buf, std::int32_t off,
                             std::int32_t len) {
    StreamStatics& streams = streamStatics();
    const std::int32_t got = readAvailable(stream, buf, off, len);
    swallowException();
    streams.s_streamShortfall = len > 0 ? len - got : 0;
    streams.s_arrayBytesRead += len;
    return len;
}

} // namespace game
