#include "platform/Platform.h"

#include "classlib/ClassLibrary.h"

namespace platform {

void installPlatform(rt::Runtime& runtime) {
    lib::installClassLibrary(runtime);
}

} // namespace platform
