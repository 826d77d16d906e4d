#include "runtime/checks.h"

#include "host/Log.h"
#include "runtime/ThreadState.h"

#include <cstdarg>

namespace rt {

void logPrintf(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    host::vlogf(host::LogCategory::Runtime, format, arguments);
    va_end(arguments);
}

void printStackTrace() {
    logPrintf("%s", ThreadState::current().traceText().c_str());
}

void reportRuntimeError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    host::vlogf(host::LogCategory::Runtime, format, arguments);
    va_end(arguments);
    printStackTrace();
}

void reportNullPointer() {
    reportRuntimeError("NullPointer");
}

void reportCheckCast() {
    reportRuntimeError("check cast");
}

void reportNegativeArrayLength() {
    reportRuntimeError("length of array should be >= 0");
}

void reportIndexOutOfBounds(IndexKind kind, std::int64_t index, std::int64_t length) {
    const char* what = kind == IndexKind::Array ? "ArrayIndexOutOfBounds" : "StringIndexOutOfBounds";
    reportRuntimeError("%s index=%lld length=%lld", what, static_cast<long long>(index),
                       static_cast<long long>(length));
}

bool checkRange(IndexKind kind, std::int64_t begin, std::int64_t count, std::int64_t length) {
    if (begin < 0 || begin > length) {
        reportIndexOutOfBounds(kind, begin, length);
        return false;
    }
    if (count < 0 || begin + count > length) {
        reportIndexOutOfBounds(kind, begin + count, length);
        return false;
    }
    return true;
}

} // namespace rt
