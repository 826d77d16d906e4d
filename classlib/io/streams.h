#pragma once

// Start-up of the byte and data streams.

#include "runtime/Forward.h"

namespace lib {

// Registers the factories of the stream classes that `newInstanceById` can
// make, and makes the stream of `System.out` and `System.err`.
void installStreams(rt::Runtime& runtime);

} // namespace lib
