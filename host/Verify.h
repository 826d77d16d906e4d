#pragma once

// Checks of our own invariants. A failed check is a bug in this program, never
// something that bad data can cause: it prints where and why, then aborts.
// Checks stay on in every build.

namespace host {

[[noreturn]] void verifyFailed(const char* file, int line, const char* expression, const char* message);

} // namespace host

#define HOST_VERIFY(expression)                                                                              \
    do {                                                                                                     \
        if (!(expression)) [[unlikely]]                                                                      \
            ::host::verifyFailed(__FILE__, __LINE__, #expression, nullptr);                                  \
    } while (0)

#define HOST_VERIFY_MSG(expression, message)                                                                 \
    do {                                                                                                     \
        if (!(expression)) [[unlikely]]                                                                      \
            ::host::verifyFailed(__FILE__, __LINE__, #expression, message);                                  \
    } while (0)

#define HOST_VERIFY_NOT_REACHED() ::host::verifyFailed(__FILE__, __LINE__, "not reached", nullptr)
