// Takes the input as "/constants.bin" (an entry of an archive written around
// it) and loads the constant strings, checking what the loader promises: it
// either installs exactly the count of strings the file announces, each a
// String, or installs nothing and leaves nothing pending; and an array is
// never made for more strings than the bytes could hold.
//
// The strings an input installs are made permanent, as the game's are; once
// checked they are handed back to the collection that ends the input, and
// the input leaves no object behind. Left permanent, they would pile up input
// after input, and every collection would walk them all.

#include "fuzz/PlatformFiles.h"
#include "platform/io/constants.h"
#include "tools/datakit/Archive.h"

namespace {

void loadAndCheck(const std::uint8_t* data, std::size_t size) {
    using fuzzing::check;
    fuzzing::PlatformFiles platform;
    rt::ObjectArray* before = rt::getStaticClass().constantStrings();
    bool loaded = platform::loadConstants();
    check(!rt::exceptionPending());
    rt::ObjectArray* strings = rt::getStaticClass().constantStrings();
    if (!loaded) {
        check(strings == before);
        return;
    }
    check(size >= 4);
    std::int32_t count = static_cast<std::int32_t>(data[0] << 24 | data[1] << 16 | data[2] << 8 | data[3]);
    check(strings && strings->length() == count && static_cast<std::size_t>(count) <= (size - 4) / 2);
    for (std::int32_t i = 0; i < count; ++i) {
        rt::Object* text = rt::Array::getRef(strings, i);
        check(text && text->classId() == rt::ClassId::String && !text->isCollectable());
        text->setCollectable(true);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    fuzzing::putFile(
        "data.bar",
        datakit::writeArchive({datakit::archiveEntry("constants.bin", datakit::Bytes(data, data + size))}));
    // At most as many as before: the first input's collection also frees
    // what making the shared runtime left.
    const std::size_t objects = rt::Runtime::current().objectManager().objectCount();
    loadAndCheck(data, size);
    fuzzing::check(rt::Runtime::current().objectManager().objectCount() <= objects);
    return 0;
}
