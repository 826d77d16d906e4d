#include "classlib/ClassLibrary.h"

#include "classlib/LangAndUtil.h"
#include "classlib/io/streams.h"
#include "classlib/lang/Throwable.h"
#include "classlib/util/timekeeping.h"

namespace lib {

void installClassLibrary(rt::Runtime& runtime) {
    installThrowables(runtime);
    installStreams(runtime);
    installTimekeeping(runtime);
    installLangAndUtil(runtime);
}

} // namespace lib
