#include "host/stressSwitches.h"

#include <cstdlib>
#include <cstring>

namespace host {

bool collectionStressRequested() {
    const char* value = std::getenv("VORLAX_GC_STRESS");
    return value && *value && std::strcmp(value, "0") != 0;
}

} // namespace host
