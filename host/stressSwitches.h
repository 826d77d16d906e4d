#pragma once

// Switches a test run sets in the process's environment to make the program
// check itself harder, so that one build serves both the ordinary and the
// stress run. Each query reads the environment when called; any thread, as
// long as nothing changes the environment at the same time.

namespace host {

// Whether `VORLAX_GC_STRESS` asks for a collection before every object
// allocation: set to anything but "" or "0".
bool collectionStressRequested();

} // namespace host
