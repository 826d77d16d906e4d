#include "platform/io/constants.h"

#include "classlib/io/InputStream.h"
#include "host/Log.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "platform/io/ResourceArchive.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/charsets.h"

#include <cstdarg>
#include <cstdio>
#include <span>
#include <vector>

namespace platform {

namespace {

// One log line for a failed load; clears whatever is pending.
[[gnu::format(printf, 1, 2)]] bool fail(const char* format, ...) {
    rt::clearPendingException();
    char reason[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    host::logf(host::LogCategory::Platform, "constant strings: %s; the game cannot start", reason);
    return false;
}

} // namespace

// The resource is read whole and parsed here rather than through a data
// stream: until this load ends there are no constant strings, and the
// exceptions a data stream raises at a cut or malformed string would each
// report the missing default message on the way.
bool loadConstants() {
    // The archive's load has logged what is wrong with it.
    if (!ResourceArchive::loadIndex())
        return false;
    lib::java_io_InputStream* resource =
        Class::getResourceAsStream(rt::String::newFromCString("/constants.bin"));
    if (!resource)
        return fail("\"/constants.bin\" is not in the resource archive");
    // An archive entry knows its size: a file too large is refused before a byte is read.
    if (std::int32_t size = resource->available(); size > kMaxConstantsBytes) {
        resource->close();
        return fail("\"/constants.bin\" is %d bytes long, more than the %d it may have", size,
                    kMaxConstantsBytes);
    }
    rt::ByteArray* content = readAllBytes(resource);
    resource->close();
    if (!content)
        return fail("\"/constants.bin\" cannot be read");
    // A native copy: the strings made below may move the array's elements.
    auto* first = reinterpret_cast<const std::uint8_t*>(content->elements());
    std::vector<std::uint8_t> bytes(first, first + content->length());

    if (bytes.size() < 4)
        return fail("\"/constants.bin\" is too short for its count");
    auto count = static_cast<std::int32_t>(bigEndian(std::span(bytes).first(4)));
    if (count < 0)
        return fail("\"/constants.bin\" has the negative count %d", count);
    // Every string takes at least its 2-byte length: a count beyond that is
    // a cut file, found before an array is made for it.
    std::size_t present = bytes.size() - 4;
    if (static_cast<std::size_t>(count) > present / 2)
        return fail("\"/constants.bin\" holds %zu bytes, too few for %d strings", present, count);
    if (count > kMaxConstants)
        return fail("\"/constants.bin\" has %d strings, more than the %d it may have", count, kMaxConstants);

    rt::ObjectArray* strings = rt::newObjectArray(count);
    std::size_t at = 4;
    std::u16string units;
    for (std::int32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 2)
            return fail("\"/constants.bin\" ends after %d of %d strings", i, count);
        std::size_t length = bigEndian(std::span(bytes).subspan(at, 2));
        at += 2;
        if (bytes.size() - at < length)
            return fail("\"/constants.bin\" ends after %d of %d strings", i, count);
        units.clear();
        if (!rt::decodeModifiedUtf8(std::span(bytes).subspan(at, length), units))
            return fail("string %d of \"/constants.bin\" is not modified UTF-8", i);
        at += length;
        rt::Array::setRef(strings, i, rt::make<rt::String>(std::u16string_view(units)));
    }
    rt::getStaticClass().setConstantStrings(strings);
    return true;
}

} // namespace platform
