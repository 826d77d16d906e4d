#include "platform/io/ApplicationProperties.h"

#include "classlib/io/InputStream.h"
#include "classlib/lang/System.h"
#include "classlib/util/Hashtable.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "runtime/Exceptions.h"
#include "runtime/checks.h"

namespace platform {

rt::String* readAppDescriptor() {
    lib::java_io_InputStream* resource = Class::getResourceAsStream(rt::String::newFromCString("app.jad"));
    if (!resource)
        return nullptr;
    rt::ByteArray* bytes = readAllBytes(resource);
    resource->close();
    if (!bytes)
        return nullptr;
    return rt::make<rt::String>(bytes);
}

lib::java_util_Hashtable* parseApplicationProperties(rt::String* descriptor) {
    auto* properties = rt::make<lib::java_util_Hashtable>();
    if (!descriptor)
        return properties;
    std::int32_t length = descriptor->length();
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t lineEnd = descriptor->indexOf(u'\n', start);
        if (lineEnd < 0)
            lineEnd = length;
        std::int32_t colon = descriptor->indexOf(u':', start);
        // A line without ':' is no property; the ':' found belongs to a later line.
        if (colon >= 0 && colon < lineEnd) {
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
