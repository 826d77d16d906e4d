#pragma once

#include "host/Threads.h"

namespace host {

// The calling thread's stack, as the system reports it.
StackBounds stackBoundsOfCallingThread();

} // namespace host
