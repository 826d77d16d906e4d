#include "classlib/ClassLibrary.h"

#include "classlib/io/streams.h"
#include "classlib/lang/Throwable.h"

namespace lib {

void installClassLibrary(rt::Runtime& runtime) {
    installThrowables(runtime);
    installStreams(runtime);
}

} // namespace lib
