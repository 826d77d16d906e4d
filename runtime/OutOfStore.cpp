#include "runtime/OutOfStore.h"

#include "host/Log.h"

namespace rt {

void outOfStore() {
    host::logLine(host::LogCategory::Runtime, "ERROR: Operator new failed: out of store.\n");
    throw OutOfStore();
}

void installOutOfStoreHandler() {
    std::set_new_handler(&outOfStore);
}

} // namespace rt
