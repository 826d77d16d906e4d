#include "platform/io/constants.h"

#include "classlib/io/DataInputStream.h"
#include "host/Log.h"
#include "platform/io/Class.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

namespace {

// One log line for a failed load; clears what is pending and closes `in`.
[[gnu::format(printf, 2, 3)]] bool fail(lib::java_io_InputStream* in, const char* format, ...) {
    rt::clearPendingException();
    if (in)
        in->close();
    char reason[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    host::logf(host::LogCategory::Platform, "constant strings: %s; the game cannot start", reason);
    return false;
}

} // namespace

bool loadConstants() {
    lib::java_io_InputStream* resource =
        Class::getResourceAsStream(rt::String::newFromCString("/constants.bin"));
    if (!resource)
        return fail(nullptr, "\"/constants.bin\" is not in the resource archive");
    auto* in = rt::make<lib::java_io_DataInputStream>(resource);
    std::int32_t count = in->readInt();
    if (rt::exceptionPending())
        return fail(in, "\"/constants.bin\" is too short for its count");
    if (count < 0)
        return fail(in, "\"/constants.bin\" has the negative count %d", count);
    // Every string takes at least its 2-byte length: a count beyond that is
    // a cut file, found before a huge array is made for it.
    std::int32_t present = in->available();
    if (count > present / 2)
        return fail(in, "\"/constants.bin\" holds %d bytes, too few for %d strings", present, count);
    rt::ObjectArray* strings = rt::newObjectArray(count);
    for (std::int32_t i = 0; i < count; ++i) {
        rt::String* text = in->readUTF();
        if (rt::getPendingException() &&
            rt::getPendingException()->classId() == rt::ClassId::java_io_UTFDataFormatException)
            return fail(in, "string %d of \"/constants.bin\" is not modified UTF-8", i);
        if (rt::exceptionPending())
            return fail(in, "\"/constants.bin\" ends after %d of %d strings", i, count);
        rt::Array::setRef(strings, i, text);
    }
    in->close();
    rt::getStaticClass().setConstantStrings(strings);
    return true;
}

} // namespace platform
