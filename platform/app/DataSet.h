#pragma once

// The first step of every start-up: finding the data set, reading the
// archive's index, loading its constant strings and checking "app.jad",
// answered as a start-up result. A program folder without "data.bar" has no
// data set (the answer names the folder); an archive whose index is broken,
// whose constant strings cannot be loaded, or whose "app.jad" is beyond its
// bounds is a broken one (the answer names the file and what is wrong).

#include "platform/app/StartupHooks.h"

namespace platform {

// Runs on the first thread once the runtime and its files stand.
StartupResult loadDataSet();

} // namespace platform
