#include "platform/io/ApplicationProperties.h"

#include "classlib/io/InputStream.h"
#include "classlib/lang/System.h"
#include "classlib/util/Hashtable.h"
#include "host/Log.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "runtime/Exceptions.h"
#include "runtime/checks.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

// Logs the refusal of a descriptor with `count` `what`, above `bound`, and
// keeps the reason in `refused`.
rt::String* refuse(std::string& refused, std::int32_t count, const char* what, std::int32_t bound) {
    refused =
        std::to_string(count) + " " + what + ", more than the " + std::to_string(bound) + " it may have";
    host::logf(host::LogCategory::Platform, "app.jad: %s; the application properties are not read",
               refused.c_str());
    return nullptr;
}

// Reads "app.jad" within its bounds; `refused` is set to the reason when it is
// refused, and tells a refusal from a missing resource.
rt::String* readBoundedDescriptor(std::string& refused) {
    refused.clear();
    lib::java_io_InputStream* resource = Class::getResourceAsStream(rt::String::newFromCString("app.jad"));
    if (!resource)
        return nullptr;
    // An archive entry knows its size: a descriptor too large is refused before a byte is read.
    std::int32_t size = resource->available();
    rt::ByteArray* bytes = size > kMaxAppDescriptorBytes ? nullptr : readAllBytes(resource);
    resource->close();
    if (bytes && bytes->length() > kMaxAppDescriptorBytes)
        size = bytes->length();
    if (size > kMaxAppDescriptorBytes)
        return refuse(refused, size, "bytes", kMaxAppDescriptorBytes);
    if (!bytes)
        return nullptr;
    auto* first = reinterpret_cast<const char*>(bytes->elements());
    auto lines = static_cast<std::int32_t>(std::count(first, first + bytes->length(), '\n')) + 1;
    if (lines > kMaxAppDescriptorLines)
        return refuse(refused, lines, "lines", kMaxAppDescriptorLines);
    return rt::make<rt::String>(bytes);
}

} // namespace

rt::String* readAppDescriptor() {
    std::string refused;
    return readBoundedDescriptor(refused);
}

bool checkAppDescriptor(std::string* problem) {
    std::string refused;
    (void)readBoundedDescriptor(refused);
    if (problem)
        *problem = refused;
    return refused.empty();
}

lib::java_util_Hashtable* parseApplicationProperties(rt::String* descriptor) {
    auto* properties = rt::make<lib::java_util_Hashtable>();
    if (!descriptor)
        return properties;
    std::int32_t length = descriptor->length();
    std::int32_t start = 0;
    while (start < length) {
        // One pass over the line finds its end and its first ':'. The view is
        // taken again for each line: making the key and value may move the
        // descriptor's characters.
        std::u16string_view units = descriptor->view();
        std::int32_t lineEnd = start;
        std::int32_t colon = -1;
        for (; lineEnd < length && units[static_cast<std::size_t>(lineEnd)] != u'\n'; ++lineEnd) {
            if (colon < 0 && units[static_cast<std::size_t>(lineEnd)] == u':')
                colon = lineEnd;
        }
        // A line without ':' is no property.
        if (colon >= 0) {
            rt::String* key = descriptor->substring(start, colon)->trim();
            // Trimming takes a CR before the LF with the other blanks.
            rt::String* value = descriptor->substring(colon + 1, lineEnd)->trim();
            (void)properties->put(key, value);
        }
        start = lineEnd + 1;
    }
    return properties;
}

lib::java_util_Hashtable* readApplicationProperties() {
    return parseApplicationProperties(readAppDescriptor());
}

rt::String* getApplicationProperty(lib::java_util_Hashtable* properties, rt::String* key) {
    if (!properties || !key || key->isFreed())
        rt::reportNullPointer();
    else if (auto* value = static_cast<rt::String*>(properties->get(key)))
        return value;
    return rt::String::newFromCString(lib::java_lang_System::kPropertyValueEmpty);
}

} // namespace platform
