#pragma once

// Start-up of the device platform: `installPlatform` is the one call a
// program (or a test) makes once the runtime exists and before other runtime
// threads run. It installs the class library, then registers the factories
// of the platform's classes that `java_lang_Class::newInstanceById` can make.

#include "runtime/Forward.h"

namespace platform {

void installPlatform(rt::Runtime& runtime);

} // namespace platform
