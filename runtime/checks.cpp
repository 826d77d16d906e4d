#include "runtime/checks.h"

#include "host/Log.h"

#include <cstdarg>

namespace rt {

void reportRuntimeError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    host::vlogf(host::LogCategory::Runtime, format, arguments);
    va_end(arguments);
}

} // namespace rt
