#pragma once

// Start-up of the date and timer classes.

#include "runtime/Forward.h"

namespace lib {

// Registers the factories of the date and timer classes that
// `newInstanceById` can make (Calendar, Date, TaskQueue, TimerThread and
// TimeZoneImpl), each in its state before any constructor of the profile.
void installTimekeeping(rt::Runtime& runtime);

} // namespace lib
