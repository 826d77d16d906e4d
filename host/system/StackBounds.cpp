#include "host/system/StackBounds.h"

#include "host/Verify.h"

#include <pthread.h>

namespace host {

StackBounds stackBoundsOfCallingThread() {
    pthread_attr_t attributes;
    HOST_VERIFY(pthread_getattr_np(pthread_self(), &attributes) == 0);
    void* low = nullptr;
    std::size_t size = 0;
    int result = pthread_attr_getstack(&attributes, &low, &size);
    pthread_attr_destroy(&attributes);
    HOST_VERIFY(result == 0);
    auto start = reinterpret_cast<std::uintptr_t>(low);
    return {start, start + size};
}

} // namespace host
