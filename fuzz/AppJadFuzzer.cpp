// Takes the input as "app.jad" (an entry of an archive written around it) and
// reads the application properties, checking what the reader promises: a
// table always, never more properties than lines, every key and value
// trimmed, no key holding ':', and each key answering its own value.

#include "classlib/util/Hashtable.h"
#include "fuzz/PlatformFiles.h"
#include "platform/io/ApplicationProperties.h"
#include "tools/datakit/Archive.h"

#include <algorithm>

namespace {

using fuzzing::check;

bool trimmed(rt::String* text) {
    std::u16string_view units = text->view();
    return units.empty() || (units.front() > 32 && units.back() > 32);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    fuzzing::putFile("data.bar", datakit::writeArchive(
                                     {datakit::archiveEntry("app.jad", datakit::Bytes(data, data + size))}));
    fuzzing::PlatformFiles platform;
    lib::java_util_Hashtable* properties = platform::readApplicationProperties();
    check(properties && !rt::exceptionPending());
    auto lines = static_cast<std::int32_t>(std::count(data, data + size, '\n') + 1);
    check(properties->size() <= lines);
    auto* keys = properties->keys();
    while (keys->hasMoreElements()) {
        auto* key = static_cast<rt::String*>(keys->nextElement());
        check(key && key->classId() == rt::ClassId::String);
        check(trimmed(key) && key->indexOf(u':') < 0 && key->indexOf(u'\n') < 0);
        rt::String* value = platform::getApplicationProperty(properties, key);
        check(trimmed(value) && value->indexOf(u'\n') < 0);
        check(value == properties->get(key));
    }
    check(!rt::exceptionPending());
    return 0;
}
