#pragma once

// Start-up of the class library: `installClassLibrary` is the one call a
// program (or a test) makes once the runtime exists and before other runtime
// threads run. Each area of the library registers what the runtime needs from
// it: the throwable hooks, and the factories of the classes that
// `java_lang_Class::newInstanceById` can make.

#include "runtime/Forward.h"

namespace lib {

void installClassLibrary(rt::Runtime& runtime);

// The argument of a constructor that makes the state `newInstanceById`
// answers for a class whose () constructor does more: the header set, every
// field zero, no constructor of the profile run.
struct NewInstance {
    explicit NewInstance() = default;
};

} // namespace lib
