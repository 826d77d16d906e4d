#pragma once

// `Class::getResourceAsStream`: the resource query of the whole system. A
// name ending in ".bar" (exactly, case counts) is first opened as the file of
// that device path (lower-cased) and served whole; any other name, or a
// ".bar" name that is no such file, is looked up in the resource archive
// (ResourceArchive.h). Null when neither has it; a null name is reported.

#include "runtime/String.h"

namespace lib {
class java_io_InputStream;
}

namespace platform {

class Class {
public:
    static lib::java_io_InputStream* getResourceAsStream(rt::String* name);
};

} // namespace platform
