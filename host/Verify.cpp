#include "host/Verify.h"

#include <cstdio>
#include <cstdlib>

namespace host {

void verifyFailed(const char* file, int line, const char* expression, const char* message) {
    // Written straight to stderr: the log's sink may be the thing that broke.
    std::fprintf(stderr, "VERIFY failed at %s:%d: %s%s%s\n", file, line, expression, message ? ": " : "",
                 message ? message : "");
    std::fflush(stderr);
    std::abort();
}

} // namespace host
