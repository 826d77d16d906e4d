#include "platform/io/Class.h"

#include "platform/io/File.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/ResourceArchive.h"
#include "runtime/checks.h"

namespace platform {

lib::java_io_InputStream* Class::getResourceAsStream(rt::String* name) {
    if (!name || name->isFreed()) {
        rt::reportNullPointer();
        return nullptr;
    }
    if (name->endsWith(rt::String::newFromCString(".bar"))) {
        if (FileInputStream* file = rt::make<javax_microedition_io_File>(name)->openInputStream())
            return file;
    }
    return ResourceArchive::openEntry(name);
}

} // namespace platform
