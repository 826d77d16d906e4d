#pragma once

// The first step of every start-up: finding the data set and loading its
// constant strings, answered as a start-up result. A program folder without
// "data.bar" has no data set (the answer names the folder); an archive whose
// constant strings cannot be loaded is a broken one (the loader's own log line
// says what is wrong with it, the answer names the archive).

#include "platform/app/StartupHooks.h"

namespace platform {

// Runs on the first thread once the runtime and its files stand.
StartupResult loadDataSet();

} // namespace platform
